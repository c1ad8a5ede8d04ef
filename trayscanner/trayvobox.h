#pragma once
// CTrayvoBox: the one controller of the scanning box. It opens the four
// process-image tasks, configures the two stepper terminals, ticks every
// 300 ms (carriage position, push button, emergency stop, blinking lamp)
// and offers the operations of the library's exports and dialogs.
//
// Every operation and the tick take m_lock, so the host's thread and the
// tick never touch the images at once. The tick runs on a thread of the
// box's own; tests turn that off and call Tick() themselves. Notices go to
// the host: posted to its window when it names one, else through the
// interface's operations. The emergency-stop message is posted to a window
// of the box made on the thread that opened it, so the tick never waits on
// a message box.

#include "platform/core/messages.h"
#include "trayscanner/boxprofiles.h"
#include "trayscanner/boxtimer.h"
#include "trayscanner/camboxinterface.h"
#include "trayscanner/motortask.h"
#include "trayscanner/twincatio.h"

#include <mutex>

namespace kestrun::tablon {

// The registered messages, registered once per process.
UINT CamBoxButtonMessage();  // "MSG_CAMBOXBUTTON_PRESSED"
UINT CamBoxPositionMessage(); // "MSC_CAMBOX_POSITION"

inline constexpr const char* kNotConnected = "TwinCAT System not started or device not connected!";
inline constexpr const char* kEmergencyText = "Emergency Stop\n\nTrayvo stopped by user, device locked!";

} // namespace kestrun::tablon

class CTrayvoBox
{
public:
    // Box states of SetState.
    static constexpr int kIdle = 1;
    static constexpr int kBlinking = 2;
    static constexpr int kLampOn = 3;
    static constexpr unsigned kTickMs = 300;
    // Intensity channels.
    static constexpr int kWhiteChannel = 4;
    static constexpr int kGreenChannel = 2;
    static constexpr int kBacklightChannel = 1;

    // The profile file lies in the data root (made when missing).
    CTrayvoBox();
    ~CTrayvoBox();
    CTrayvoBox(const CTrayvoBox&) = delete;
    CTrayvoBox& operator=(const CTrayvoBox&) = delete;

    // Tests tick by hand: call before Open.
    void SetOwnTimer(bool bOwnTimer) { m_bOwnTimer = bOwnTimer; }

    bool Open();
    void Close();
    bool IsOpen() const;
    bool IsLocked() const;
    void SetInterface(CCamBoxInterface* pInterface);
    CCamBoxInterface* GetInterface() const;

    void SetState(int nState);
    bool SelectProfile(const CString& strName);
    void StoreProfileAndSave(const CString& strName);
    bool LoadProfiles();
    void SaveProfiles();
    bool SaveProfilesQuiet();
    void ApplySettings();

    bool SetLights(int nMask, bool bOn);
    bool SetLightIntensity(int nChannel, int nValue);
    bool MoveCameraTo(DWORD nPosition);
    bool MoveCameraDown();
    bool MoveCameraUp();
    void StopCamera();
    void StopDoor();
    bool OpenDoor();
    bool CloseDoor();
    bool HomeCameraChecked();
    // Target 0 first, so that the run after homing stays at the top.
    bool HomeCameraWithTargetCleared();
    void ResetCameraTerminal();
    void SetLowLimitHere();
    void ResetLowLimit();
    void Unlock();

    DWORD GetPosition() const;
    DWORD GetLowLimit() const;
    DWORD GetMaxLowLimit() const;
    bool IsDoorHomed() const;
    bool IsDoorOpen() const;
    // Output byte 22 as last written: the lights' switches and the lamp.
    bool IsSwitchOn(std::uint8_t bit) const;

    // The profiles and current settings; hold the lock while using them
    // from another thread than the host's.
    CBoxProfiles& Profiles() { return m_profiles; }
    // The current profile's name, copied under the lock.
    CString GetProfileName() const;
    void ClearProfileName();

    // One tick: position, inputs, lamp.
    void Tick();

    std::recursive_mutex& Lock() const { return m_lock; }

private:
    class CNoticeWindow : public CMessageTarget
    {
    public:
        LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    };

    bool Guarded() const { return m_bOpened && !m_bLocked; }
    bool OpenTasks();
    void CloseTasks();
    void ConfigureChannels();
    void SwitchLights(int nMask, bool bOn);
    void SwitchLamp(bool bOn);
    void WriteIntensity(int nChannel, int nValue);
    bool MoveCamera(DWORD nTarget);
    void UpdatePosition();
    void PollInputs();
    void Blink(ULONGLONG nowMs);
    void OnButtonPressed();
    void EmergencyStop();
    // With a window: post; without: the interface's operation.
    void Notify(WPARAM nCode, LPARAM nValue);
    void NotifyButton();

    CInput m_input;
    COutput m_output;
    CMotorTask m_camera;
    CMotorTask m_door;
    CBoxProfiles m_profiles;
    bool m_bOpened = false;
    bool m_bDoorHomed = false;
    bool m_bCameraHomed = false;
    bool m_bDoorOpen = false;
    bool m_bDoorClosed = false;
    mutable std::recursive_mutex m_lock;
    bool m_bNoLimitYet = true;
    bool m_bBlink = false;
    bool m_bIdle = true;
    bool m_bLocked = false;
    DWORD m_nPosition = 0;
    CCamBoxInterface* m_pInterface = nullptr;
    kestrun::tablon::CBoxTimer m_timer;
    bool m_bOwnTimer = true;
    // Edges of the inputs: the button counts when released, the emergency
    // stop when it comes on.
    bool m_bButtonDown = false;
    bool m_bEmergencyOn = false;
    // Blinking: when the lamp switches next, and whether it is dark.
    ULONGLONG m_nNextSwitchMs = 0;
    bool m_bLampDark = true;
    CNoticeWindow m_noticeWindow;
    HWND m_hNotice = nullptr;
};
