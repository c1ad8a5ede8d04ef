#include "trayscanner/motortask.h"

#include "platform/core/messages.h"

using namespace kestrun::tablon;

namespace {

constexpr BYTE kReadAccess = 0x80;
constexpr BYTE kWriteAccess = 0xC0;
constexpr WORD kRunFinished = 8;
constexpr WORD kCodeWord = 0x1235;
constexpr WORD kHomingCommand = 0x520;
constexpr int kTargetLow = 2;
constexpr int kTargetHigh = 3;
constexpr int kCommand = 7;
constexpr int kCode = 31;
constexpr int kFeature = 32;
constexpr int kCoilA = 35;
constexpr int kCoilB = 36;
constexpr int kRegister39 = 39;
constexpr int kInputs = 52;

} // namespace

CMotorTask::CMotorTask(const CMotorLayout& layout, kestrun::IClock& clock)
    : CTwinCatIO(layout.nPort), m_layout(layout), m_clock(clock)
{
}

BYTE CMotorTask::StatusByte() const
{
    return m_pInputs ? m_pInputs[m_layout.nOffset] : 0;
}

WORD CMotorTask::GetDataWord() const
{
    if (m_pInputs == nullptr)
        return 0;
    const int at = m_layout.nOffset + 2;
    return static_cast<WORD>(m_pInputs[at] | (m_pInputs[at + 1] << 8));
}

WORD CMotorTask::StatusWord() const
{
    if (m_pInputs == nullptr)
        return 0;
    const int at = m_layout.nOffset + 4;
    return static_cast<WORD>(m_pInputs[at] | (m_pInputs[at + 1] << 8));
}

bool CMotorTask::IsAccessing() const
{
    return (StatusByte() & 0x80) != 0;
}

void CMotorTask::SetControl(BYTE control)
{
    if (m_pOutputs)
        m_pOutputs[m_layout.nOffset] = control;
}

void CMotorTask::SetOutputWord(int nAt, WORD value)
{
    if (m_pOutputs == nullptr)
        return;
    m_pOutputs[m_layout.nOffset + nAt] = static_cast<std::uint8_t>(value & 0xFF);
    m_pOutputs[m_layout.nOffset + nAt + 1] = static_cast<std::uint8_t>(value >> 8);
}

bool CMotorTask::AwaitAcknowledge(int nRegister, ULONGLONG deadline)
{
    const BYTE wanted = static_cast<BYTE>(nRegister | 0x80);
    m_bLastUpdate = InputUpdate();
    while (StatusByte() != wanted) {
        if (m_clock.NowMs() > deadline)
            return false;
        m_bLastUpdate = InputUpdate();
    }
    return m_bLastUpdate;
}

bool CMotorTask::AwaitIdle(ULONGLONG deadline)
{
    m_bLastUpdate = InputUpdate();
    while ((StatusWord() & 0x08) != 0 || (StatusByte() & 0x80) != 0) {
        if (m_clock.NowMs() > deadline)
            return false;
        m_bLastUpdate = InputUpdate();
    }
    return true;
}

template <class Finished>
bool CMotorTask::AwaitRun(ULONGLONG deadline, Finished finished)
{
    for (;;) {
        kestrun::PumpMessages();
        m_bLastUpdate = InputUpdate();
        if (m_bLastUpdate && finished())
            return true;
        if (m_clock.NowMs() > deadline)
            return false;
    }
}

bool CMotorTask::ReadRegister(int nRegister, WORD& value)
{
    const ULONGLONG deadline = m_clock.NowMs() + m_nTimeout;
    if (nRegister < 0 || nRegister >= kRegisterCount || !IsOpen())
        return false;
    SetControl(static_cast<BYTE>(nRegister | kReadAccess));
    if (!OutputUpdate() || !AwaitAcknowledge(nRegister, deadline))
        return false;
    value = GetDataWord();
    return true;
}

bool CMotorTask::WriteRegister(int nRegister, WORD value)
{
    const ULONGLONG deadline = m_clock.NowMs() + m_nTimeout;
    if (nRegister < 0 || nRegister >= kRegisterCount || !IsOpen())
        return false;
    SetOutputWord(2, value);
    SetControl(static_cast<BYTE>(nRegister | kWriteAccess));
    return OutputUpdate() && AwaitAcknowledge(nRegister, deadline);
}

bool CMotorTask::ConfigureRegister(int nRegister, WORD wanted)
{
    WORD value = 0;
    if (!ReadRegister(nRegister, value) || value == wanted)
        return true;
    if (WriteRegister(kCode, kCodeWord)) {
        WriteRegister(nRegister, wanted);
        WriteRegister(kCode, 0);
    }
    return true;
}

bool CMotorTask::Configure()
{
    if (!Open())
        return false;
    ConfigureRegister(kInputs, static_cast<WORD>((m_bInput1NO ? 0x4000 : 0) | (m_bHomingDirection ? 1 : 0)));
    ConfigureRegister(kFeature, m_bFeatureAlt ? 90 : 26);
    ConfigureRegister(kRegister39, m_nRegister39);
    WORD coilA = 0;
    WORD coilB = 0;
    if (ReadRegister(kCoilA, coilA) && ReadRegister(kCoilB, coilB) &&
        (coilA != m_nCoilCurrent || coilB != m_nCoilCurrent) && WriteRegister(kCode, kCodeWord)) {
        WriteRegister(kCoilA, m_nCoilCurrent);
        WriteRegister(kCoilB, m_nCoilCurrent);
        WriteRegister(kCode, 0);
    }
    return WriteRegister(kTargetHigh, 0);
}

bool CMotorTask::SetTarget(DWORD nPosition)
{
    const DWORD target = nPosition < m_nMaxPosition ? nPosition : m_nMaxPosition;
    const bool low = WriteRegister(kTargetLow, static_cast<WORD>(target & 0xFFFF));
    return WriteRegister(kTargetHigh, static_cast<WORD>(target >> 16)) && low;
}

bool CMotorTask::ReadTarget(DWORD& target)
{
    WORD high = 0;
    WORD low = 0;
    if (!ReadRegister(kTargetHigh, high) || !ReadRegister(kTargetLow, low))
        return false;
    target = (static_cast<DWORD>(high) << 16) | low;
    return true;
}

bool CMotorTask::Start()
{
    SetOutputWord(2, 0);
    if (!OutputUpdate())
        return false;
    SetControl(kStart);
    return OutputUpdate();
}

bool CMotorTask::Move(bool bWait)
{
    if (!IsOpen())
        return false;
    const ULONGLONG deadline = m_clock.NowMs() + m_nTimeout;
    SetOutputWord(4, 0);
    SetControl(kEnabled);
    if (!OutputUpdate())
        return false;
    AwaitIdle(deadline);
    // A target that cannot be read is never driven to.
    DWORD target = 0;
    if (!ReadTarget(target) || target > m_nMaxPosition)
        return false;
    const bool started = Start();
    if (!started || !bWait)
        return started;
    const ULONGLONG moveDeadline = m_clock.NowMs() + m_nMoveTimeout;
    const bool arrived = AwaitRun(moveDeadline, [this] { return StatusWord() == kRunFinished; });
    SetControl(kEnabled);
    OutputUpdate();
    AwaitIdle(moveDeadline);
    return arrived;
}

bool CMotorTask::Home()
{
    if (!IsOpen())
        return false;
    const ULONGLONG deadline = m_clock.NowMs() + m_nTimeout;
    SetControl(kEnabled);
    if (!OutputUpdate() || !AwaitIdle(deadline) || !m_bLastUpdate)
        return false;
    if (!WriteRegister(kCode, kCodeWord) || !WriteRegister(kCommand, kHomingCommand)) {
        WriteRegister(kCode, 0);
        return false;
    }
    bool homed = false;
    if (Start()) {
        const ULONGLONG moveDeadline = m_clock.NowMs() + m_nMoveTimeout;
        homed = AwaitRun(moveDeadline, [this] { return (StatusWord() & 0x08) != 0; });
        SetControl(kEnabled);
        OutputUpdate();
        AwaitIdle(moveDeadline);
    }
    WriteRegister(kCode, 0);
    return homed;
}

bool CMotorTask::Stop()
{
    if (!IsOpen())
        return false;
    const ULONGLONG deadline = m_clock.NowMs() + m_nTimeout;
    SetOutputWord(2, 0);
    SetControl(kStop);
    OutputUpdate();
    SetControl(kEnabled);
    OutputUpdate();
    AwaitIdle(deadline);
    return m_bLastUpdate;
}

bool CMotorTask::ResetTerminal()
{
    SetControl(kTerminalReset);
    return OutputUpdate();
}
