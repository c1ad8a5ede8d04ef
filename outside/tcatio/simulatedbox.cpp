#include "outside/tcatio/simulatedbox.h"

#include <algorithm>
#include <cmath>

namespace kestrun::tcatio {

namespace {

constexpr std::uint8_t kAccess = 0x80;
constexpr std::uint8_t kWrite = 0x40;
constexpr std::uint8_t kStart = 0x04;
constexpr std::uint8_t kStop = 0x02;
constexpr std::uint8_t kReset = 0x6A;
constexpr std::uint16_t kRunFinished = 8;
constexpr std::uint16_t kCodeWord = 0x1235;
constexpr std::uint16_t kHomingCommand = 0x520;
constexpr int kCodeRegister = 31;
constexpr int kCommandRegister = 7;
constexpr int kFirstConfigRegister = 32;
constexpr unsigned kMaxPosition = 65535;

std::uint16_t Word(const std::vector<std::uint8_t>& bytes, unsigned at)
{
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

void PutWord(std::vector<std::uint8_t>& bytes, unsigned at, std::uint16_t value)
{
    bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

} // namespace

CSimulatedBox::CSimulatedBox()
{
    m_ports[kInputPort] = {std::vector<std::uint8_t>(29), {}, {}};
    m_ports[kCameraPort] = {std::vector<std::uint8_t>(6), std::vector<std::uint8_t>(6), std::vector<std::uint8_t>(6)};
    m_ports[kOutputPort] = {{}, std::vector<std::uint8_t>(27), std::vector<std::uint8_t>(27)};
    m_ports[kDoorPort] = {std::vector<std::uint8_t>(28), std::vector<std::uint8_t>(28), std::vector<std::uint8_t>(28)};
    Reset();
}

void CSimulatedBox::Reset()
{
    std::lock_guard lock(m_mutex);
    // The images keep their addresses: a library may still hold them.
    for (auto& [port, images] : m_ports) {
        std::fill(images.input.begin(), images.input.end(), 0);
        std::fill(images.output.begin(), images.output.end(), 0);
        std::fill(images.sent.begin(), images.sent.end(), 0);
    }
    m_terminals.clear();
    m_terminals[kCameraPort].offset = 0;
    m_terminals[kDoorPort].offset = 22;
    m_pClock = nullptr;
    for (auto& [port, terminal] : m_terminals)
        terminal.nLastMs = NowMs();
    m_nUpdateStepMs = 0;
    m_faults = {};
    m_bOpen = false;
    m_nOpenCalls = 0;
    m_nCloseCalls = 0;
    m_bButton = false;
    m_bEmergency = false;
    m_history.clear();
}

// ---- control ----------------------------------------------------------

void CSimulatedBox::SetClock(IClock* pClock, unsigned nUpdateStepMs)
{
    std::lock_guard lock(m_mutex);
    m_pClock = pClock;
    m_nUpdateStepMs = nUpdateStepMs;
    for (auto& [port, terminal] : m_terminals)
        terminal.nLastMs = NowMs();
}

void CSimulatedBox::SetFaults(const CBoxFaults& faults)
{
    std::lock_guard lock(m_mutex);
    m_faults = faults;
}

void CSimulatedBox::SetAckDelay(unsigned short nPort, int nUpdates)
{
    std::lock_guard lock(m_mutex);
    if (CTerminal* terminal = FindTerminal(nPort))
        terminal->nAckDelay = nUpdates;
}

void CSimulatedBox::SetSpeed(unsigned short nPort, double dStepsPerMs)
{
    std::lock_guard lock(m_mutex);
    if (CTerminal* terminal = FindTerminal(nPort))
        terminal->dSpeed = dStepsPerMs;
}

void CSimulatedBox::SetRunNeverEnds(unsigned short nPort, bool bNever)
{
    std::lock_guard lock(m_mutex);
    if (CTerminal* terminal = FindTerminal(nPort))
        terminal->bNeverEnds = bNever;
}

void CSimulatedBox::SetButton(bool bPressed)
{
    std::lock_guard lock(m_mutex);
    m_bButton = bPressed;
}

void CSimulatedBox::SetEmergencyStop(bool bActive)
{
    std::lock_guard lock(m_mutex);
    m_bEmergency = bActive;
}

void CSimulatedBox::SetPosition(unsigned short nPort, unsigned nPosition)
{
    std::lock_guard lock(m_mutex);
    if (CTerminal* terminal = FindTerminal(nPort))
        terminal->dPosition = std::min(nPosition, kMaxPosition);
}

void CSimulatedBox::SetRegister(unsigned short nPort, int nRegister, std::uint16_t nValue)
{
    std::lock_guard lock(m_mutex);
    CTerminal* terminal = FindTerminal(nPort);
    if (terminal != nullptr && nRegister >= 0 && nRegister < 64)
        terminal->registers[static_cast<size_t>(nRegister)] = nValue;
}

// ---- observation --------------------------------------------------------

bool CSimulatedBox::IsDriverOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_bOpen;
}

int CSimulatedBox::OpenCalls() const
{
    std::lock_guard lock(m_mutex);
    return m_nOpenCalls;
}

int CSimulatedBox::CloseCalls() const
{
    std::lock_guard lock(m_mutex);
    return m_nCloseCalls;
}

unsigned CSimulatedBox::GetPosition(unsigned short nPort) const
{
    std::lock_guard lock(m_mutex);
    const CTerminal* terminal = FindTerminal(nPort);
    return terminal ? static_cast<unsigned>(std::lround(terminal->dPosition)) : 0;
}

bool CSimulatedBox::IsRunning(unsigned short nPort) const
{
    std::lock_guard lock(m_mutex);
    const CTerminal* terminal = FindTerminal(nPort);
    return terminal != nullptr && terminal->bRunning;
}

std::uint16_t CSimulatedBox::GetRegister(unsigned short nPort, int nRegister) const
{
    std::lock_guard lock(m_mutex);
    const CTerminal* terminal = FindTerminal(nPort);
    if (terminal == nullptr || nRegister < 0 || nRegister >= 64)
        return 0;
    return terminal->registers[static_cast<size_t>(nRegister)];
}

std::vector<CRegisterAccess> CSimulatedBox::RegisterLog(unsigned short nPort) const
{
    std::lock_guard lock(m_mutex);
    const CTerminal* terminal = FindTerminal(nPort);
    return terminal ? terminal->log : std::vector<CRegisterAccess>{};
}

std::vector<std::uint8_t> CSimulatedBox::SentOutputs(unsigned short nPort) const
{
    std::lock_guard lock(m_mutex);
    const CPort* port = FindPort(nPort);
    return port ? port->sent : std::vector<std::uint8_t>{};
}

std::vector<COutputRecord> CSimulatedBox::OutputHistory() const
{
    std::lock_guard lock(m_mutex);
    return m_history;
}

void CSimulatedBox::ClearHistory()
{
    std::lock_guard lock(m_mutex);
    m_history.clear();
    for (auto& [port, terminal] : m_terminals)
        terminal.log.clear();
}

// ---- the driver's calls ---------------------------------------------------

long CSimulatedBox::Open()
{
    std::lock_guard lock(m_mutex);
    if (m_faults.bOpenFails)
        return -1;
    m_bOpen = true;
    ++m_nOpenCalls;
    return 0;
}

long CSimulatedBox::Close()
{
    std::lock_guard lock(m_mutex);
    m_bOpen = false;
    ++m_nCloseCalls;
    return 0;
}

long CSimulatedBox::GetImage(unsigned short nPort, bool bInput, void** ppImage, int nSize)
{
    std::lock_guard lock(m_mutex);
    CPort* port = FindPort(nPort);
    if (!m_bOpen || port == nullptr || ppImage == nullptr || Fails(m_faults.pointerFails, nPort))
        return 1;
    std::vector<std::uint8_t>& image = bInput ? port->input : port->output;
    if (image.empty() || nSize <= 0 || static_cast<size_t>(nSize) > image.size())
        return 1;
    *ppImage = image.data();
    return 0;
}

long CSimulatedBox::InputUpdate(unsigned short nPort)
{
    std::lock_guard lock(m_mutex);
    CPort* port = FindPort(nPort);
    if (!m_bOpen || port == nullptr || port->input.empty() || Fails(m_faults.updateFails, nPort))
        return 1;
    if (m_pClock != nullptr && m_nUpdateStepMs > 0)
        m_pClock->SleepMs(m_nUpdateStepMs);
    if (nPort == kInputPort) {
        port->input[22] = static_cast<std::uint8_t>((port->input[22] & ~0x02) | (m_bButton ? 0x02 : 0));
        port->input[28] = static_cast<std::uint8_t>((port->input[28] & ~0x02) | (m_bEmergency ? 0x02 : 0));
        return 0;
    }
    if (CTerminal* terminal = FindTerminal(nPort)) {
        Advance(*terminal, NowMs());
        if (terminal->nAckCountdown > 0)
            --terminal->nAckCountdown;
        if (terminal->nAckCountdown == 0) {
            terminal->nStatusByte = terminal->nPendingStatus;
            terminal->nDataWord = terminal->nPendingData;
            terminal->nAckCountdown = -1;
        }
        ShowTerminal(*terminal, port->input);
    }
    return 0;
}

long CSimulatedBox::OutputUpdate(unsigned short nPort)
{
    std::lock_guard lock(m_mutex);
    CPort* port = FindPort(nPort);
    if (!m_bOpen || port == nullptr || port->output.empty() || Fails(m_faults.updateFails, nPort))
        return 1;
    port->sent = port->output;
    m_history.push_back({nPort, port->sent});
    if (CTerminal* terminal = FindTerminal(nPort)) {
        Advance(*terminal, NowMs());
        TakeControl(*terminal, port->sent);
    }
    return 0;
}

long CSimulatedBox::GetCpuTime(std::uint64_t* pTime)
{
    std::lock_guard lock(m_mutex);
    if (pTime == nullptr)
        return 1;
    *pTime = static_cast<std::uint64_t>(NowMs()) * 10000;
    return 0;
}

// ---- the terminals --------------------------------------------------------

namespace {

template <class Map>
auto* FindIn(Map& map, unsigned short nPort)
{
    auto it = map.find(nPort);
    return it == map.end() ? nullptr : &it->second;
}

} // namespace

CSimulatedBox::CPort* CSimulatedBox::FindPort(unsigned short nPort)
{
    return FindIn(m_ports, nPort);
}

const CSimulatedBox::CPort* CSimulatedBox::FindPort(unsigned short nPort) const
{
    return FindIn(m_ports, nPort);
}

CSimulatedBox::CTerminal* CSimulatedBox::FindTerminal(unsigned short nPort)
{
    return FindIn(m_terminals, nPort);
}

const CSimulatedBox::CTerminal* CSimulatedBox::FindTerminal(unsigned short nPort) const
{
    return FindIn(m_terminals, nPort);
}

bool CSimulatedBox::Fails(const std::vector<unsigned short>& ports, unsigned short nPort) const
{
    return std::find(ports.begin(), ports.end(), nPort) != ports.end();
}

ULONGLONG CSimulatedBox::NowMs() const
{
    return m_pClock != nullptr ? m_pClock->NowMs() : DefaultClock().NowMs();
}

void CSimulatedBox::Advance(CTerminal& terminal, ULONGLONG nowMs)
{
    const ULONGLONG elapsed = nowMs > terminal.nLastMs ? nowMs - terminal.nLastMs : 0;
    terminal.nLastMs = nowMs;
    if (!terminal.bRunning || terminal.bNeverEnds)
        return;
    const double target = terminal.nTarget;
    const double step = terminal.dSpeed * static_cast<double>(elapsed);
    if (std::abs(target - terminal.dPosition) <= step) {
        terminal.dPosition = target;
        terminal.bRunning = false;
        terminal.bHoming = false;
        terminal.nStatusWord = kRunFinished;
        return;
    }
    terminal.dPosition += target > terminal.dPosition ? step : -step;
}

void CSimulatedBox::TakeControl(CTerminal& terminal, const std::vector<std::uint8_t>& sent)
{
    const std::uint8_t control = sent[terminal.offset];
    const std::uint8_t previous = terminal.nControl;
    terminal.nControl = control;
    if ((control & kAccess) != 0) {
        // The terminal takes an access when the control byte changes.
        if (control != previous)
            RegisterAccess(terminal, control & 0x3F, (control & kWrite) != 0, Word(sent, terminal.offset + 2));
        return;
    }
    // Process mode: the register handshake is over.
    terminal.nStatusByte = 0;
    terminal.nAckCountdown = -1;
    if (control == kReset) {
        terminal.bRunning = terminal.bHoming = terminal.bHomingArmed = false;
        terminal.nStatusWord = 0;
    } else if ((control & kStop) != 0) {
        terminal.bRunning = terminal.bHoming = false;
        terminal.nStatusWord = 0;
    } else if ((control & kStart) != 0) {
        if ((previous & kStart) == 0 || (previous & kAccess) != 0)
            Start(terminal);
    } else if (!terminal.bRunning) {
        terminal.nStatusWord = 0;
    }
}

void CSimulatedBox::RegisterAccess(CTerminal& terminal, int nRegister, bool bWrite, std::uint16_t nValue)
{
    auto& registers = terminal.registers;
    bool taken = true;
    if (bWrite) {
        const bool unlocked = registers[kCodeRegister] == kCodeWord;
        const bool guarded = nRegister >= kFirstConfigRegister || nRegister == kCommandRegister;
        taken = !guarded || unlocked;
        if (taken) {
            registers[static_cast<size_t>(nRegister)] = nValue;
            if (nRegister == kCommandRegister && nValue == kHomingCommand)
                terminal.bHomingArmed = true;
        }
    }
    terminal.log.push_back({nRegister, bWrite, bWrite ? nValue : registers[static_cast<size_t>(nRegister)], taken});
    // A new access takes the old acknowledgement back.
    terminal.nStatusByte = 0;
    terminal.nPendingStatus = static_cast<std::uint8_t>(nRegister | 0x80);
    terminal.nPendingData = registers[static_cast<size_t>(nRegister)];
    terminal.nAckCountdown = terminal.nAckDelay;
}

void CSimulatedBox::Start(CTerminal& terminal)
{
    if (terminal.bHomingArmed) {
        terminal.bHomingArmed = false;
        terminal.bHoming = true;
        terminal.nTarget = 0;
    } else {
        const unsigned target = (static_cast<unsigned>(terminal.registers[3]) << 16) | terminal.registers[2];
        terminal.nTarget = std::min(target, kMaxPosition);
    }
    terminal.bRunning = true;
    terminal.nStatusWord = 0;
}

void CSimulatedBox::ShowTerminal(CTerminal& terminal, std::vector<std::uint8_t>& input)
{
    if ((terminal.nControl & kAccess) == 0)
        terminal.nDataWord = static_cast<std::uint16_t>(std::lround(terminal.dPosition));
    input[terminal.offset] = terminal.nStatusByte;
    PutWord(input, terminal.offset + 2, terminal.nDataWord);
    PutWord(input, terminal.offset + 4, terminal.nStatusWord);
}

CSimulatedBox& SimulatedBox()
{
    static CSimulatedBox box;
    return box;
}

} // namespace kestrun::tcatio
