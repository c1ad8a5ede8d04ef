#pragma once
// CMotorTask: one stepper-terminal channel of the box (the camera carriage
// on port 302, the sliding door on port 304 with every byte shifted by 22).
// Registers are reached through the control byte's handshake; a run is
// started with control 5 and has finished when the status word is exactly
// 8. Every wait polls the driver against a deadline on the box's clock and
// ends with failure when the deadline passes.

#include "trayscanner/twincatio.h"

namespace kestrun::tablon {

struct CMotorLayout
{
    int nPort = 0;
    int nImageSize = 0;
    // Where the terminal's bytes start in both images.
    int nOffset = 0;
};

inline constexpr CMotorLayout kCameraLayout{302, 6, 0};
inline constexpr CMotorLayout kDoorLayout{304, 28, 22};

} // namespace kestrun::tablon

class CMotorTask : public CTwinCatIO
{
public:
    static constexpr int kRegisterCount = 64;
    static constexpr std::uint8_t kEnabled = 1;
    static constexpr std::uint8_t kStart = 5;
    static constexpr std::uint8_t kStop = 3;
    static constexpr std::uint8_t kTerminalReset = 0x6A;

    explicit CMotorTask(const kestrun::tablon::CMotorLayout& layout,
                        kestrun::IClock& clock = kestrun::tablon::DriverClock());

    kestrun::tablon::CImageSlot GetInputImage() override { return {&m_pInputs, m_layout.nImageSize}; }
    kestrun::tablon::CImageSlot GetOutputImage() override { return {&m_pOutputs, m_layout.nImageSize}; }

    // True only when the terminal acknowledged the access in time and the
    // driver answered; a read that fails leaves value as it was.
    bool ReadRegister(int nRegister, WORD& value);
    bool WriteRegister(int nRegister, WORD value);
    // Opens the task and brings registers 52, 32, 39, 35 and 36 to the
    // settings, writing only what differs; then 0 to register 3.
    bool Configure();
    // Target min(position, m_nMaxPosition) into registers 2 and 3.
    bool SetTarget(DWORD nPosition);
    // Starts a run to the stored target; with bWait, waits for its end.
    bool Move(bool bWait);
    bool Home();
    bool Stop();
    // Control 0x6A: the terminal starts afresh.
    bool ResetTerminal();

    // The input data word: the position in process mode.
    WORD GetDataWord() const;
    // A register access is under way (status byte bit 7).
    bool IsAccessing() const;

    BYTE m_bFeatureAlt = 0;
    WORD m_nRegister39 = 100;
    WORD m_nCoilCurrent = 100;
    DWORD m_nTimeout = 2000;
    DWORD m_nMoveTimeout = 10000;
    DWORD m_nMaxPosition = 54000;
    bool m_bInput1NO = true;
    bool m_bHomingDirection = false;

private:
    BYTE StatusByte() const;
    WORD StatusWord() const;
    void SetControl(BYTE control);
    void SetOutputWord(int nAt, WORD value);
    // Polls until the status byte acknowledges the register or the deadline.
    bool AwaitAcknowledge(int nRegister, ULONGLONG deadline);
    // Polls until bit 3 of the status word and bit 7 of the status byte are
    // clear; false when the deadline passed first.
    bool AwaitIdle(ULONGLONG deadline);
    // Polls, keeping the thread's window messages flowing, until finished()
    // or the deadline; true when finished.
    template <class Finished>
    bool AwaitRun(ULONGLONG deadline, Finished finished);
    // Brings one register to a value under the code word, when it differs.
    bool ConfigureRegister(int nRegister, WORD wanted);
    bool ReadTarget(DWORD& target);
    bool Start();

    kestrun::tablon::CMotorLayout m_layout;
    kestrun::IClock& m_clock;
    std::uint8_t* m_pInputs = nullptr;
    std::uint8_t* m_pOutputs = nullptr;
    // The last InputUpdate's answer.
    bool m_bLastUpdate = false;
};
