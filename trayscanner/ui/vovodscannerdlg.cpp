#include "trayscanner/ui/vovodscannerdlg.h"

#include "platform/ui/listboxes.h"
#include "platform/ui/rangectrls.h"
#include "trayscanner/trayvobox.h"
#include "trayscanner/ui/advancedsettingsdlg.h"
#include "trayscanner/ui/saveprofiledlg.h"
#include "trayscanner/ui/tablonresources.h"

using namespace kestrun::tablon;

namespace {

constexpr int kIntensityMax = 32767;
constexpr int kIntensityPage = 1638;

} // namespace

BEGIN_MESSAGE_MAP(CVovodScannerDlg, CDialog)
    ON_REGISTERED_MESSAGE(m_nPositionMessage, OnCamBoxPosition)
    ON_BN_CLICKED(IDC_WHITE, OnWhite)
    ON_BN_CLICKED(IDC_GREEN, OnGreen)
    ON_BN_CLICKED(IDC_BACKLIGHT, OnBacklight)
    ON_BN_CLICKED(IDC_STOP_CAMERA, OnStopCamera)
    ON_CBN_SELCHANGE(IDC_PROFILES, OnProfileChange)
    ON_BN_CLICKED(IDC_SAVE_PROFILE, OnSaveProfile)
    ON_BN_CLICKED(IDC_DELETE_PROFILE, OnDeleteProfile)
    ON_BN_CLICKED(IDC_DOOR_OPEN, OnDoorOpen)
    ON_BN_CLICKED(IDC_DOOR_CLOSE, OnDoorClose)
    ON_BN_CLICKED(IDC_DOOR_STOP, OnDoorStop)
    ON_BN_CLICKED(IDC_ADVANCED, OnAdvanced)
END_MESSAGE_MAP()

CVovodScannerDlg::CVovodScannerDlg(CTrayvoBox& box, CWnd* pParentWnd)
    : CDialog(IDD_TRAYVO_CONTROL, pParentWnd), m_box(box)
{
    RegisterTablonResources();
    CamBoxButtonMessage();
    m_nPositionMessage = CamBoxPositionMessage();
    BuildMessageMap();
}

CString CVovodScannerDlg::FormatMm(DWORD nPosition)
{
    CString text;
    text.Format("%.1f", kMmAtTop - kMmPerStep * static_cast<double>(nPosition));
    return text;
}

INT_PTR CVovodScannerDlg::DoModal()
{
    m_pPrevious = m_box.GetInterface();
    const INT_PTR result = CDialog::DoModal();
    m_box.SetInterface(m_pPrevious);
    if (m_box.IsOpen()) {
        m_box.StopCamera();
        m_box.SaveProfilesQuiet();
    }
    m_pWnd = nullptr;
    return result;
}

void CVovodScannerDlg::OnCreateControls()
{
    const std::pair<UINT, const char*> arrows[] = {{IDC_ARROW_UP, "Up"}, {IDC_ARROW_DOWN, "Down"}};
    int y = 8;
    for (const auto& [id, text] : arrows) {
        auto button = std::make_unique<CTrackLookButton>();
        const CRect rect = kestrun::DialogUnitsToPixels(CRect(7, y, 35, y + 28));
        button->Create(text, WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, this, id);
        button->SetOwner(this, id);
        AddControl(std::move(button));
        y += 32;
    }
}

BOOL CVovodScannerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_pWnd = this;
    m_box.SetInterface(this);
    if (!m_box.IsOpen()) {
        MessageBox("Device not connected", "Device not found or connected.", MB_ICONERROR);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    for (UINT id : {IDC_WHITE_SLIDER, IDC_GREEN_SLIDER, IDC_BACKLIGHT_SLIDER}) {
        if (auto* slider = static_cast<CSliderCtrl*>(GetDlgItem(id))) {
            slider->SetRange(0, kIntensityMax);
            slider->SetPageSize(kIntensityPage);
        }
    }
    m_nPosition = m_box.GetPosition();
    if (m_nPosition == 0)
        TopLimitReached();
    else if (m_nPosition >= m_box.GetLowLimit())
        BottomLimitReached();
    RefreshPosition();
    RefreshLights();
    FillProfiles();
    if (CWnd* close = GetDlgItem(IDC_DOOR_CLOSE))
        close->EnableWindow(m_box.IsDoorHomed());
    return TRUE;
}

// ---- the box's notices ------------------------------------------------------

LRESULT CVovodScannerDlg::OnCamBoxPosition(WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case 0:
        PositionUpdate(static_cast<int>(lParam));
        break;
    case 1:
        PositionReached(static_cast<int>(lParam));
        break;
    case 2:
        TopLimitReached();
        break;
    case 3:
        BottomLimitReached();
        break;
    default:
        break;
    }
    return 0;
}

void CVovodScannerDlg::TopLimitReached()
{
    m_bIndicatorEnabled = false;
    m_strStatus = "Top limit reached";
    RefreshPosition();
}

void CVovodScannerDlg::BottomLimitReached()
{
    m_bIndicatorEnabled = false;
    m_strStatus = "Bottom limit reached";
    RefreshPosition();
}

void CVovodScannerDlg::PositionReached(int nPosition)
{
    m_strStatus.Format("Position %d reached", nPosition);
    RefreshPosition();
}

void CVovodScannerDlg::PositionUpdate(int nPosition, bool)
{
    m_nPosition = static_cast<DWORD>(nPosition);
    m_strMm = FormatMm(m_nPosition);
    if (nPosition > 0 && m_nPosition < m_box.GetLowLimit()) {
        m_bIndicatorEnabled = true;
        m_strStatus = "Trayvo ready";
    } else {
        m_bIndicatorEnabled = false;
    }
    RefreshPosition();
}

void CVovodScannerDlg::RefreshPosition()
{
    if (m_hWnd == nullptr)
        return;
    CString steps;
    steps.Format("%u", static_cast<unsigned>(m_nPosition));
    SetDlgItemText(IDC_POSITION, steps);
    SetDlgItemText(IDC_POSITION_MM, m_strMm);
    SetDlgItemText(IDC_STATUS, m_strStatus);
    if (CWnd* indicator = GetDlgItem(IDC_END_POSITION))
        indicator->EnableWindow(m_bIndicatorEnabled);
}

// ---- manual changes -----------------------------------------------------------

void CVovodScannerDlg::Deselect()
{
    if (CComboBox* combo = Profiles(); combo != nullptr && combo->GetCurSel() >= 0)
        combo->GetLBText(combo->GetCurSel(), m_strProfile);
    m_box.ClearProfileName();
    if (CComboBox* combo = Profiles())
        combo->SetCurSel(-1);
}

void CVovodScannerDlg::SwitchLight(UINT nID, int nMask)
{
    const auto* check = static_cast<CButton*>(GetDlgItem(nID));
    m_box.SetLights(nMask, check != nullptr && check->GetCheck() == BST_CHECKED);
    Deselect();
}

void CVovodScannerDlg::OnWhite()
{
    SwitchLight(IDC_WHITE, CBoxSettings::kWhite);
}

void CVovodScannerDlg::OnGreen()
{
    SwitchLight(IDC_GREEN, CBoxSettings::kGreen);
}

void CVovodScannerDlg::OnBacklight()
{
    SwitchLight(IDC_BACKLIGHT, CBoxSettings::kBacklight);
}

void CVovodScannerDlg::OnHScroll(UINT nSBCode, UINT, CWnd* pScrollBar)
{
    // Applied when the slider lets the mouse go.
    if (nSBCode != TB_ENDTRACK || pScrollBar == nullptr)
        return;
    const int position = static_cast<CSliderCtrl*>(pScrollBar)->GetPos();
    switch (pScrollBar->GetDlgCtrlID()) {
    case IDC_WHITE_SLIDER:
        m_box.SetLightIntensity(CTrayvoBox::kWhiteChannel, position);
        break;
    case IDC_GREEN_SLIDER:
        m_box.SetLightIntensity(CTrayvoBox::kGreenChannel, position);
        break;
    case IDC_BACKLIGHT_SLIDER:
        m_box.SetLightIntensity(CTrayvoBox::kBacklightChannel, position);
        break;
    default:
        return;
    }
    Deselect();
}

void CVovodScannerDlg::OnTrackPressed(UINT nID)
{
    if (nID == IDC_ARROW_UP)
        m_box.MoveCameraUp();
    else
        m_box.MoveCameraDown();
    Deselect();
}

void CVovodScannerDlg::OnTrackReleased(UINT)
{
    m_box.StopCamera();
    Deselect();
}

void CVovodScannerDlg::RefreshLights()
{
    const std::pair<UINT, std::uint8_t> checks[] = {
        {IDC_GREEN, COutput::kGreenBit}, {IDC_WHITE, COutput::kWhiteBit}, {IDC_BACKLIGHT, COutput::kBacklightBit}};
    for (const auto& [id, bit] : checks) {
        if (auto* check = static_cast<CButton*>(GetDlgItem(id)))
            check->SetCheck(m_box.IsSwitchOn(bit) ? BST_CHECKED : BST_UNCHECKED);
    }
    int white = 0;
    int green = 0;
    int backlight = 0;
    {
        std::lock_guard lock(m_box.Lock());
        const CBoxSettings& s = m_box.Profiles().Current();
        white = s.IntensityLEDWhite;
        green = s.IntensityLEDGreen;
        backlight = s.IntensityBacklight;
    }
    const std::pair<UINT, int> sliders[] = {
        {IDC_WHITE_SLIDER, white}, {IDC_GREEN_SLIDER, green}, {IDC_BACKLIGHT_SLIDER, backlight}};
    for (const auto& [id, value] : sliders) {
        if (auto* slider = static_cast<CSliderCtrl*>(GetDlgItem(id)))
            slider->SetPos(value);
    }
}

// ---- commands -------------------------------------------------------------------

void CVovodScannerDlg::OnStopCamera()
{
    m_box.StopCamera();
}

CComboBox* CVovodScannerDlg::Profiles()
{
    return static_cast<CComboBox*>(GetDlgItem(IDC_PROFILES));
}

void CVovodScannerDlg::FillProfiles()
{
    CComboBox* combo = Profiles();
    if (combo == nullptr)
        return;
    combo->ResetContent();
    std::lock_guard lock(m_box.Lock());
    const CBoxProfiles& profiles = m_box.Profiles();
    for (POSITION pos = profiles.GetStartPosition(); pos != nullptr;)
        combo->AddString(profiles.GetNextName(pos));
    if (!profiles.m_strCurrentName.IsEmpty())
        combo->SelectString(-1, profiles.m_strCurrentName);
}

void CVovodScannerDlg::OnProfileChange()
{
    CComboBox* combo = Profiles();
    if (combo == nullptr || combo->GetCurSel() < 0)
        return;
    CString name;
    combo->GetLBText(combo->GetCurSel(), name);
    m_box.SelectProfile(name);
    m_strProfile = name;
    RefreshLights();
}

void CVovodScannerDlg::OnSaveProfile()
{
    // The save dialog asks before it overwrites a stored profile.
    kestrun::tablon::CSaveProfileDlg dialog(m_box.Profiles(), m_strProfile, this);
    if (dialog.DoModal() != IDOK)
        return;
    m_box.StoreProfileAndSave(dialog.m_strName);
    m_strProfile = dialog.m_strName;
    FillProfiles();
}

void CVovodScannerDlg::OnDeleteProfile()
{
    CComboBox* combo = Profiles();
    if (combo == nullptr || combo->GetCurSel() < 0)
        return;
    CString name;
    combo->GetLBText(combo->GetCurSel(), name);
    {
        std::lock_guard lock(m_box.Lock());
        m_box.Profiles().RemoveProfile(name);
    }
    if (name == m_strProfile)
        m_strProfile.Empty();
    m_box.ClearProfileName();
    FillProfiles();
    combo->SetCurSel(-1);
}

void CVovodScannerDlg::OnDoorOpen()
{
    if (CWnd* close = GetDlgItem(IDC_DOOR_CLOSE))
        close->EnableWindow(FALSE);
    if (!m_box.OpenDoor())
        return;
    for (UINT id : {IDC_DOOR_CLOSE, IDC_DOOR_STOP}) {
        if (CWnd* button = GetDlgItem(id))
            button->EnableWindow(TRUE);
    }
}

void CVovodScannerDlg::OnDoorClose()
{
    m_box.CloseDoor();
}

void CVovodScannerDlg::OnDoorStop()
{
    m_box.StopDoor();
    if (!m_box.IsDoorOpen()) {
        if (CWnd* close = GetDlgItem(IDC_DOOR_CLOSE))
            close->EnableWindow(FALSE);
    }
}

void CVovodScannerDlg::OnAdvanced()
{
    CVovodScannerAdvancedSettingsDlg dialog(m_box, this);
    if (dialog.DoModal() == IDOK) {
        std::lock_guard lock(m_box.Lock());
        m_box.Profiles().LeaveDoorOpended = dialog.m_bLeaveDoorOpen != FALSE;
    }
    RefreshLights();
}
