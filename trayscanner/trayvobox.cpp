#include "trayscanner/trayvobox.h"

#include "objectmodel/toolfunctions.h"
#include "platform/core/messagebox.h"
#include "trayscanner/windowhandle.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

using namespace kestrun;
using namespace kestrun::tablon;

namespace kestrun::tablon {

UINT CamBoxButtonMessage()
{
    static const UINT id = ::RegisterWindowMessage("MSG_CAMBOXBUTTON_PRESSED");
    return id;
}

UINT CamBoxPositionMessage()
{
    static const UINT id = ::RegisterWindowMessage("MSC_CAMBOX_POSITION");
    return id;
}

} // namespace kestrun::tablon

namespace {

constexpr UINT kEmergencyNotice = WM_APP + 1;
constexpr int kAllLights = CBoxSettings::kBacklight | CBoxSettings::kGreen | CBoxSettings::kWhite;
constexpr int kFullIntensity = 32767;
constexpr WPARAM kPositionNotice = 0;
constexpr WPARAM kTopNotice = 2;
constexpr WPARAM kBottomNotice = 3;

CString ProfileFilePath()
{
    const CString folder = GetDataRootPath();
    std::error_code ignored;
    std::filesystem::create_directories(folder.GetString(), ignored);
    return AddTrailingBackslash(folder) + "trayvo.xml";
}

} // namespace

LRESULT CTrayvoBox::CNoticeWindow::OnWindowMessage(UINT message, WPARAM, LPARAM)
{
    if (message == kEmergencyNotice)
        AfxMessageBox(kEmergencyText, MB_ICONERROR);
    return 0;
}

CTrayvoBox::CTrayvoBox() : m_camera(kCameraLayout), m_door(kDoorLayout)
{
    m_profiles.m_strRootName = "Trayvo_Profiles";
}

CTrayvoBox::~CTrayvoBox()
{
    Close();
}

// ---- open and close --------------------------------------------------------

void CTrayvoBox::ConfigureChannels()
{
    const CBoxSettings& s = m_profiles.Current();
    m_camera.m_nCoilCurrent = 100;
    m_camera.m_bInput1NO = s.CameraInput1NO;
    m_camera.m_bHomingDirection = s.CameraSwitchHomingDirection;
    m_camera.m_bFeatureAlt = 0;
    m_door.m_nCoilCurrent = static_cast<WORD>(std::clamp(s.DoorMaxCoilPower, 0, 100));
    m_door.m_bInput1NO = s.DoorInput1NO;
    m_door.m_bHomingDirection = s.DoorSwitchHomingDirection;
    m_door.m_bFeatureAlt = 0;
    m_door.m_nRegister39 = 150;
}

bool CTrayvoBox::OpenTasks()
{
    return m_input.Open() && m_output.Open() && m_camera.Configure() && m_door.Configure();
}

void CTrayvoBox::CloseTasks()
{
    m_door.Close();
    m_camera.Close();
    m_output.Close();
    m_input.Close();
}

bool CTrayvoBox::Open()
{
    std::lock_guard lock(m_lock);
    if (m_bOpened)
        return true;
    m_profiles.m_strFilePath = ProfileFilePath();
    LoadProfiles();
    ConfigureChannels();
    if (!OpenTasks()) {
        // Tasks opened so far give the driver back.
        CloseTasks();
        return false;
    }
    if (m_hNotice == nullptr)
        m_hNotice = CreateWindowHandle(&m_noticeWindow);
    if (m_bOwnTimer)
        m_timer.Start(kTickMs, [this] { Tick(); });
    m_bOpened = true;
    m_camera.SetTarget(0);
    HomeCameraChecked();
    OpenDoor();
    ApplySettings();
    return m_bOpened;
}

void CTrayvoBox::Close()
{
    // A tick waiting for the lock must be able to end.
    m_timer.Stop();
    std::lock_guard lock(m_lock);
    if (m_bOpened) {
        StopCamera();
        SwitchLamp(false);
        SwitchLights(kAllLights, false);
        CloseTasks();
    }
    m_bOpened = false;
    m_bBlink = false;
    m_bIdle = true;
    m_bLocked = false;
    m_bButtonDown = false;
    m_bEmergencyOn = false;
    if (m_hNotice != nullptr) {
        DestroyWindowHandle(m_hNotice);
        m_hNotice = nullptr;
    }
}

bool CTrayvoBox::IsOpen() const
{
    std::lock_guard lock(m_lock);
    return m_bOpened;
}

bool CTrayvoBox::IsLocked() const
{
    std::lock_guard lock(m_lock);
    return m_bLocked;
}

void CTrayvoBox::SetInterface(CCamBoxInterface* pInterface)
{
    std::lock_guard lock(m_lock);
    m_pInterface = pInterface;
}

CCamBoxInterface* CTrayvoBox::GetInterface() const
{
    std::lock_guard lock(m_lock);
    return m_pInterface;
}

// ---- states and profiles ----------------------------------------------------

void CTrayvoBox::SetState(int nState)
{
    std::lock_guard lock(m_lock);
    const bool leaveDoor = m_profiles.LeaveDoorOpended;
    switch (nState) {
    case kIdle:
        m_bIdle = true;
        m_bBlink = false;
        SwitchLamp(false);
        break;
    case kBlinking:
        m_bIdle = false;
        m_bBlink = true;
        if (!leaveDoor)
            OpenDoor();
        break;
    case kLampOn:
        m_bIdle = false;
        m_bBlink = false;
        SwitchLamp(true);
        if (!leaveDoor)
            OpenDoor();
        break;
    default:
        break;
    }
}

bool CTrayvoBox::SelectProfile(const CString& strName)
{
    std::lock_guard lock(m_lock);
    if (!m_profiles.SelectProfile(strName))
        return false;
    ApplySettings();
    return true;
}

void CTrayvoBox::StoreProfileAndSave(const CString& strName)
{
    std::lock_guard lock(m_lock);
    m_profiles.StoreProfile(strName);
    SaveProfiles();
}

bool CTrayvoBox::LoadProfiles()
{
    std::lock_guard lock(m_lock);
    return m_profiles.SerializeFile(true);
}

void CTrayvoBox::SaveProfiles()
{
    if (!SaveProfilesQuiet()) {
        CString text;
        text.Format("Could not save trayvo profile file %s", "trayvo.xml");
        AfxMessageBox(text);
    }
}

bool CTrayvoBox::SaveProfilesQuiet()
{
    std::lock_guard lock(m_lock);
    if (m_profiles.m_strFilePath.IsEmpty())
        m_profiles.m_strFilePath = ProfileFilePath();
    return m_profiles.SerializeFile(false);
}

CString CTrayvoBox::GetProfileName() const
{
    std::lock_guard lock(m_lock);
    return m_profiles.m_strCurrentName;
}

void CTrayvoBox::ClearProfileName()
{
    std::lock_guard lock(m_lock);
    m_profiles.m_strCurrentName.Empty();
}

void CTrayvoBox::ApplySettings()
{
    std::lock_guard lock(m_lock);
    if (!m_bOpened) {
        AfxMessageBox(kNotConnected);
        return;
    }
    CBoxSettings& s = m_profiles.Current();
    SetLightIntensity(kWhiteChannel, s.IntensityLEDWhite);
    SetLightIntensity(kGreenChannel, s.IntensityLEDGreen);
    if ((s.Lights & CBoxSettings::kBacklight) != 0)
        SetLightIntensity(kBacklightChannel, kFullIntensity);
    SetLights(s.Lights, true);
    SetLightIntensity(kBacklightChannel, s.IntensityBacklight);
    m_camera.m_nMaxPosition = s.MaxLowLimit;
    m_door.m_nMaxPosition = s.DoorMaxLowLimit;
    MoveCameraTo(s.CameraPosition);
}

// ---- lights -------------------------------------------------------------------

void CTrayvoBox::SwitchLights(int nMask, bool bOn)
{
    int& lights = m_profiles.Lights;
    const int mask = nMask & 0x1F;
    lights = bOn ? (lights | mask) : (lights & ~mask);
    m_output.SetSwitch(COutput::kBacklightBit, (lights & CBoxSettings::kBacklight) != 0);
    m_output.SetSwitch(COutput::kGreenBit, (lights & CBoxSettings::kGreen) != 0);
    m_output.SetSwitch(COutput::kWhiteBit, (lights & CBoxSettings::kWhite) != 0);
    m_output.OutputUpdate();
}

void CTrayvoBox::SwitchLamp(bool bOn)
{
    if (!m_bOpened)
        return;
    m_output.SetSwitch(COutput::kLampBit, bOn);
    m_output.OutputUpdate();
}

bool CTrayvoBox::SetLights(int nMask, bool bOn)
{
    std::lock_guard lock(m_lock);
    if (!Guarded())
        return false;
    SwitchLights(nMask, bOn);
    return true;
}

void CTrayvoBox::WriteIntensity(int nChannel, int nValue)
{
    const auto word = static_cast<std::uint16_t>(std::clamp(nValue, 0, kFullIntensity));
    CBoxSettings& s = m_profiles.Current();
    switch (nChannel) {
    case kWhiteChannel:
        m_output.SetWord(COutput::kWhiteIntensity, word);
        s.IntensityLEDWhite = nValue;
        break;
    case kGreenChannel:
        m_output.SetWord(COutput::kGreenIntensity, word);
        s.IntensityLEDGreen = nValue;
        break;
    case kBacklightChannel:
        m_output.SetWord(COutput::kBacklightIntensity, word);
        s.IntensityBacklight = nValue;
        break;
    default:
        break;
    }
    m_output.OutputUpdate();
}

bool CTrayvoBox::SetLightIntensity(int nChannel, int nValue)
{
    std::lock_guard lock(m_lock);
    if (!Guarded())
        return false;
    WriteIntensity(nChannel, nValue);
    return true;
}

bool CTrayvoBox::IsSwitchOn(std::uint8_t bit) const
{
    std::lock_guard lock(m_lock);
    return m_output.GetSwitch(bit);
}

// ---- carriage and door --------------------------------------------------------

bool CTrayvoBox::MoveCamera(DWORD nTarget)
{
    return m_camera.SetTarget(nTarget) && m_camera.Move(false);
}

bool CTrayvoBox::MoveCameraTo(DWORD nPosition)
{
    std::lock_guard lock(m_lock);
    if (!Guarded())
        return false;
    return MoveCamera(std::min({nPosition, static_cast<DWORD>(m_profiles.LowLimit), m_camera.m_nMaxPosition}));
}

bool CTrayvoBox::MoveCameraDown()
{
    std::lock_guard lock(m_lock);
    if (!Guarded())
        return false;
    return MoveCamera(std::min(static_cast<DWORD>(m_profiles.LowLimit), m_camera.m_nMaxPosition));
}

bool CTrayvoBox::MoveCameraUp()
{
    std::lock_guard lock(m_lock);
    if (!Guarded())
        return false;
    return MoveCamera(0);
}

void CTrayvoBox::StopCamera()
{
    std::lock_guard lock(m_lock);
    if (m_bOpened)
        m_camera.Stop();
    m_profiles.CameraPosition = m_nPosition;
}

void CTrayvoBox::StopDoor()
{
    std::lock_guard lock(m_lock);
    if (m_bLocked)
        return;
    if (m_bOpened)
        m_door.Stop();
    m_bDoorHomed = false;
}

bool CTrayvoBox::OpenDoor()
{
    std::lock_guard lock(m_lock);
    if (!Guarded())
        return false;
    m_door.SetTarget(0);
    m_bDoorClosed = false;
    if (!m_door.Home())
        return false;
    m_bDoorHomed = m_bDoorOpen = true;
    return true;
}

bool CTrayvoBox::CloseDoor()
{
    std::lock_guard lock(m_lock);
    if (!Guarded())
        return false;
    m_door.SetTarget(std::min(static_cast<DWORD>(m_profiles.DoorMaxLowLimit), m_door.m_nMaxPosition));
    m_bDoorOpen = false;
    if (!m_door.Move(true))
        return false;
    m_bDoorClosed = true;
    return true;
}

bool CTrayvoBox::HomeCameraChecked()
{
    std::lock_guard lock(m_lock);
    if (!Guarded())
        return false;
    if (!m_camera.Home())
        return false;
    m_bCameraHomed = true;
    return true;
}

bool CTrayvoBox::HomeCameraWithTargetCleared()
{
    std::lock_guard lock(m_lock);
    if (!Guarded())
        return false;
    m_camera.SetTarget(0);
    return HomeCameraChecked();
}

void CTrayvoBox::ResetCameraTerminal()
{
    std::lock_guard lock(m_lock);
    if (!m_bLocked)
        m_camera.ResetTerminal();
}

void CTrayvoBox::SetLowLimitHere()
{
    std::lock_guard lock(m_lock);
    m_profiles.LowLimit = m_nPosition;
}

void CTrayvoBox::ResetLowLimit()
{
    std::lock_guard lock(m_lock);
    m_profiles.LowLimit = m_profiles.MaxLowLimit;
}

void CTrayvoBox::Unlock()
{
    std::lock_guard lock(m_lock);
    m_bLocked = false;
    if (!m_bCameraHomed && !HomeCameraChecked())
        return;
    ApplySettings();
}

DWORD CTrayvoBox::GetPosition() const
{
    std::lock_guard lock(m_lock);
    return m_nPosition;
}

DWORD CTrayvoBox::GetLowLimit() const
{
    std::lock_guard lock(m_lock);
    return m_profiles.LowLimit;
}

DWORD CTrayvoBox::GetMaxLowLimit() const
{
    std::lock_guard lock(m_lock);
    return m_profiles.MaxLowLimit;
}

bool CTrayvoBox::IsDoorHomed() const
{
    std::lock_guard lock(m_lock);
    return m_bDoorHomed;
}

bool CTrayvoBox::IsDoorOpen() const
{
    std::lock_guard lock(m_lock);
    return m_bDoorOpen;
}

// ---- the tick -------------------------------------------------------------------

void CTrayvoBox::Tick()
{
    const ULONGLONG nowMs = DriverClock().NowMs();
    std::lock_guard lock(m_lock);
    UpdatePosition();
    PollInputs();
    if (m_bBlink)
        Blink(nowMs);
}

void CTrayvoBox::UpdatePosition()
{
    if (!m_bOpened || !m_camera.InputUpdate())
        return;
    // While a register access runs the data word is no position.
    if (!m_camera.IsAccessing())
        m_nPosition = m_camera.GetDataWord();
    if (m_nPosition == 0) {
        m_bNoLimitYet = false;
        Notify(kTopNotice, 0);
    }
    if (m_nPosition >= m_profiles.LowLimit) {
        m_bNoLimitYet = false;
        Notify(kBottomNotice, 0);
    }
    Notify(kPositionNotice, static_cast<LPARAM>(m_nPosition));
}

void CTrayvoBox::PollInputs()
{
    if (!Guarded() || !m_input.InputUpdate())
        return;
    // Edges only: a button or stop input held down never holds up the tick.
    if (m_input.IsButtonPressed()) {
        m_bButtonDown = true;
    } else if (m_bButtonDown) {
        m_bButtonDown = false;
        OnButtonPressed();
    }
    const bool emergency = m_input.IsEmergencyStop();
    if (emergency && !m_bEmergencyOn) {
        m_bEmergencyOn = true;
        EmergencyStop();
    }
    m_bEmergencyOn = emergency;
}

void CTrayvoBox::Blink(ULONGLONG nowMs)
{
    // Half a period of slack: ticks come every 300 ms, give or take.
    if (nowMs + kTickMs / 2 < m_nNextSwitchMs)
        return;
    m_bLampDark = !m_bLampDark;
    SwitchLamp(!m_bLampDark);
    m_nNextSwitchMs = nowMs + kTickMs;
}

void CTrayvoBox::OnButtonPressed()
{
    if (m_bLocked || m_pInterface == nullptr || m_bIdle)
        return;
    if (m_pInterface->m_pWnd == nullptr) {
        m_pInterface->ButtonPressed();
        return;
    }
    if (!m_profiles.LeaveDoorOpended) {
        if (!m_bDoorHomed && !OpenDoor())
            return;
        if (!CloseDoor())
            return;
    }
    NotifyButton();
}

void CTrayvoBox::EmergencyStop()
{
    const CBoxSettings kept(m_profiles.Current());
    StopDoor();
    m_camera.Stop();
    SwitchLights(kAllLights, false);
    m_bLocked = true;
    // The stop may have cut a run short: the carriage homes again on unlock.
    m_bCameraHomed = false;
    if (m_hNotice != nullptr)
        ::PostMessage(m_hNotice, kEmergencyNotice);
    m_profiles.Current() = kept;
}

void CTrayvoBox::Notify(WPARAM nCode, LPARAM nValue)
{
    if (m_pInterface == nullptr)
        return;
    if (m_pInterface->m_pWnd != nullptr) {
        ::PostMessage(WindowHandleOf(m_pInterface->m_pWnd), CamBoxPositionMessage(), nCode, nValue);
        return;
    }
    switch (nCode) {
    case kTopNotice:
        m_pInterface->TopLimitReached();
        break;
    case kBottomNotice:
        m_pInterface->BottomLimitReached();
        break;
    default:
        m_pInterface->PositionUpdate(static_cast<int>(nValue), m_bNoLimitYet);
        break;
    }
}

void CTrayvoBox::NotifyButton()
{
    if (m_pInterface != nullptr && m_pInterface->m_pWnd != nullptr)
        ::PostMessage(WindowHandleOf(m_pInterface->m_pWnd), CamBoxButtonMessage());
}
