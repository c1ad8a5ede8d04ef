#pragma once
// CSimulatedBox: the scanning box without hardware, behind the driver calls
// of tcatio.h. Tests reach it through kestrun::tcatio::SimulatedBox().
//
// Four ports keep their process images byte for byte: 301 the digital
// inputs (29 bytes: push button in byte 22 bit 1, emergency stop in byte 28
// bit 1), 303 the lights (27 output bytes), 302 the carriage terminal (6
// bytes each way) and 304 the door terminal (28 bytes each way, the
// terminal's bytes at 22). A stepper terminal has 64 registers; a register
// access is taken when the control byte changes and acknowledged (status
// byte = register | 0x80) after a set number of input updates, or never;
// registers 7 and 32 up take a write only while register 31 holds 0x1235.
// A start (control 5) runs toward the target of registers 2 and 3 - or
// home to 0 after 0x520 went to register 7 - at a set speed in steps per millisecond of the box's clock; on arrival the
// status word is exactly 8 until control 1 clears it. Control 3 stops,
// 0x6A resets the terminal.
//
// Time comes from an injected clock; with an update step, every input
// update moves a manual clock on by that many milliseconds, so that the
// library's polling waits end without sleeping.

#include "platform/core/clock.h"

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace kestrun::tcatio {

inline constexpr unsigned short kInputPort = 301;
inline constexpr unsigned short kCameraPort = 302;
inline constexpr unsigned short kOutputPort = 303;
inline constexpr unsigned short kDoorPort = 304;

// One register access as the terminal carried it out.
struct CRegisterAccess
{
    int nRegister = 0;
    bool bWrite = false;
    std::uint16_t nValue = 0;
    // A write to a locked configuration register is refused.
    bool bTaken = true;
    bool operator==(const CRegisterAccess&) const = default;
};

// One output update: the port and its image as sent.
struct COutputRecord
{
    unsigned short nPort = 0;
    std::vector<std::uint8_t> bytes;
};

struct CBoxFaults
{
    bool bOpenFails = false;
    // Ports whose pointer calls or updates answer an error.
    std::vector<unsigned short> pointerFails;
    std::vector<unsigned short> updateFails;
};

class CSimulatedBox
{
public:
    CSimulatedBox();
    CSimulatedBox(const CSimulatedBox&) = delete;
    CSimulatedBox& operator=(const CSimulatedBox&) = delete;

    // Back to a box just switched on: images cleared, registers 0, carriage
    // and door at 0, driver closed, no faults, histories empty, the machine's
    // clock, acknowledgements after one update, 20 steps per millisecond.
    void Reset();

    // ---- control ----
    void SetClock(IClock* pClock, unsigned nUpdateStepMs = 0);
    void SetFaults(const CBoxFaults& faults);
    // Input updates of a terminal before it acknowledges a register access;
    // negative: never.
    void SetAckDelay(unsigned short nPort, int nUpdates);
    void SetSpeed(unsigned short nPort, double dStepsPerMs);
    // A started run that never arrives.
    void SetRunNeverEnds(unsigned short nPort, bool bNever);
    void SetButton(bool bPressed);
    void SetEmergencyStop(bool bActive);
    // Puts the carriage or door somewhere, as after a power cut.
    void SetPosition(unsigned short nPort, unsigned nPosition);
    void SetRegister(unsigned short nPort, int nRegister, std::uint16_t nValue);

    // ---- observation ----
    bool IsDriverOpen() const;
    int OpenCalls() const;
    int CloseCalls() const;
    unsigned GetPosition(unsigned short nPort) const;
    bool IsRunning(unsigned short nPort) const;
    std::uint16_t GetRegister(unsigned short nPort, int nRegister) const;
    std::vector<CRegisterAccess> RegisterLog(unsigned short nPort) const;
    // The output image last sent on the port.
    std::vector<std::uint8_t> SentOutputs(unsigned short nPort) const;
    std::vector<COutputRecord> OutputHistory() const;
    void ClearHistory();

    // ---- the driver's calls ----
    long Open();
    long Close();
    long GetImage(unsigned short nPort, bool bInput, void** ppImage, int nSize);
    long InputUpdate(unsigned short nPort);
    long OutputUpdate(unsigned short nPort);
    long GetCpuTime(std::uint64_t* pTime);

private:
    struct CTerminal
    {
        std::array<std::uint16_t, 64> registers{};
        unsigned offset = 0;
        double dPosition = 0;
        double dSpeed = 20;
        ULONGLONG nLastMs = 0;
        std::uint8_t nControl = 0;
        std::uint8_t nStatusByte = 0;
        std::uint16_t nStatusWord = 0;
        std::uint16_t nDataWord = 0;
        bool bRunning = false;
        bool bHoming = false;
        bool bHomingArmed = false;
        bool bNeverEnds = false;
        unsigned nTarget = 0;
        int nAckDelay = 1;
        int nAckCountdown = -1;
        std::uint8_t nPendingStatus = 0;
        std::uint16_t nPendingData = 0;
        std::vector<CRegisterAccess> log;
    };
    struct CPort
    {
        std::vector<std::uint8_t> input;
        std::vector<std::uint8_t> output;
        std::vector<std::uint8_t> sent;
    };

    CPort* FindPort(unsigned short nPort);
    const CPort* FindPort(unsigned short nPort) const;
    CTerminal* FindTerminal(unsigned short nPort);
    const CTerminal* FindTerminal(unsigned short nPort) const;
    bool Fails(const std::vector<unsigned short>& ports, unsigned short nPort) const;
    ULONGLONG NowMs() const;
    void Advance(CTerminal& terminal, ULONGLONG nowMs);
    void TakeControl(CTerminal& terminal, const std::vector<std::uint8_t>& sent);
    void RegisterAccess(CTerminal& terminal, int nRegister, bool bWrite, std::uint16_t nValue);
    void Start(CTerminal& terminal);
    void ShowTerminal(CTerminal& terminal, std::vector<std::uint8_t>& input);

    mutable std::mutex m_mutex;
    IClock* m_pClock = nullptr;
    unsigned m_nUpdateStepMs = 0;
    ULONGLONG m_nLastMs = 0;
    CBoxFaults m_faults;
    bool m_bOpen = false;
    int m_nOpenCalls = 0;
    int m_nCloseCalls = 0;
    bool m_bButton = false;
    bool m_bEmergency = false;
    std::map<unsigned short, CPort> m_ports;
    std::map<unsigned short, CTerminal> m_terminals;
    std::vector<COutputRecord> m_history;
};

// The one simulated box of the process, behind the driver calls.
CSimulatedBox& SimulatedBox();

} // namespace kestrun::tcatio
