#include "cameraplugins/powershot/ui/optionsdialog.h"

#include "cameraplugins/powershot/fgpavick.h"
#include "cameraplugins/powershot/ui/pavickresources.h"
#include "cameraplugins/powershot/ui/savecameraprofiledlg.h"

#include "platform/ui/ddx.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/rangectrls.h"

#include <QPalette>
#include <QWidget>

using namespace kestrun::pavick;

namespace {

constexpr std::uint8_t kManualExposure = 4;
constexpr std::uint8_t kCompensationZero = 24;
// Smallest picture first.
constexpr std::uint8_t kImageSizesBySize[] = {2, 7, 3, 1, 0};
constexpr const char* kCameraOutputs[] = {"LCD", "Video OUT", "Off"};
constexpr const char* kPhotoEffects[] = {"Off", "Vivid", "Neutral", "Soft", "Sepia", "Monochrome"};

} // namespace

BEGIN_MESSAGE_MAP(COptionsDialog, CDialog)
    ON_BN_CLICKED(IDC_ZOOM_LIVE, OnZoomLive)
    ON_CBN_SELCHANGE(IDC_IMAGE_SIZE, OnImageSize)
    ON_CBN_SELCHANGE(IDC_CAMERA_OUTPUT, OnCameraOutput)
    ON_CBN_SELCHANGE(IDC_PHOTO_EFFECT, OnPhotoEffect)
    ON_CBN_SELCHANGE(IDC_AF_FIELD, OnAFField)
    ON_BN_CLICKED(IDC_AF, OnAF)
    ON_BN_CLICKED(IDC_AF_LIGHT, OnAFLight)
    ON_BN_CLICKED(IDC_MACRO, OnMacro)
    ON_CBN_SELCHANGE(IDC_METERING, OnMetering)
    ON_CBN_SELCHANGE(IDC_STROBE, OnStrobe)
    ON_CBN_SELCHANGE(IDC_COMPENSATION, OnCompensation)
    ON_CBN_SELCHANGE(IDC_WHITE_BALANCE, OnWhiteBalance)
    ON_CBN_SELCHANGE(IDC_ISO, OnISO)
    ON_CBN_SELCHANGE(IDC_EXPOSURE_MODE, OnExposureMode)
    ON_CBN_SELCHANGE(IDC_PROFILES, OnProfileChange)
    ON_BN_CLICKED(IDC_SAVE_PROFILE, OnSaveProfile)
    ON_BN_CLICKED(IDC_DELETE_PROFILE, OnDeleteProfile)
END_MESSAGE_MAP()

COptionsDialog::COptionsDialog(CFGPavick& grabber, CWnd* pParentWnd)
    : CDialog(IDD_OPTIONS, pParentWnd), m_grabber(grabber)
{
    RegisterPavickResources();
    BuildMessageMap();
}

INT_PTR COptionsDialog::Open(CFGPavick& grabber, CWnd* pParentWnd)
{
    COptionsDialog dialog(grabber, pParentWnd);
    const CCameraSettings& s = grabber.Settings();
    dialog.m_bMacro = s.m_nAFDistance == 3;
    dialog.m_nCameraOutput = s.m_nCameraOutput - 1;
    dialog.m_nPhotoEffect = s.m_nPhotoEffect;
    dialog.m_bAFLight = s.m_nAFLight != 0;
    dialog.m_bAF = s.m_bAFOn != 0;
    dialog.m_bZoomLive = s.m_bZoomLive != 0;
    const INT_PTR result = dialog.DoModal();
    if (result == IDOK) {
        grabber.Settings().m_bZoomLive = dialog.m_bZoomLive;
        grabber.ApplySettings();
    }
    return result;
}

void COptionsDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_MACRO, m_bMacro);
    DDX_Check(pDX, IDC_AF_LIGHT, m_bAFLight);
    DDX_Check(pDX, IDC_AF, m_bAF);
    DDX_Check(pDX, IDC_ZOOM_LIVE, m_bZoomLive);
    DDX_CBIndex(pDX, IDC_PHOTO_EFFECT, m_nPhotoEffect);
    DDX_CBIndex(pDX, IDC_CAMERA_OUTPUT, m_nCameraOutput);
}

CComboBox* COptionsDialog::Combo(UINT nID)
{
    return static_cast<CComboBox*>(GetDlgItem(static_cast<int>(nID)));
}

BOOL COptionsDialog::OnInitDialog()
{
    if (CComboBox* sizes = Combo(IDC_IMAGE_SIZE)) {
        for (const std::uint8_t code : kImageSizesBySize) {
            const CSize size = CFGPavick::ImageSizeOf(code).value_or(CSize(0, 0));
            CString text;
            text.Format("%d x %d", static_cast<int>(size.cx), static_cast<int>(size.cy));
            sizes->SetItemData(sizes->AddString(text), code);
        }
    }
    if (CComboBox* outputs = Combo(IDC_CAMERA_OUTPUT)) {
        for (const char* text : kCameraOutputs)
            outputs->AddString(text);
    }
    if (CComboBox* effects = Combo(IDC_PHOTO_EFFECT)) {
        for (const char* text : kPhotoEffects)
            effects->AddString(text);
    }
    CDialog::OnInitDialog();
    SetWindowText(CString(m_grabber.GetInfo()) + " settings");
    if (QWidget* widget = GetWidget()) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, QColor(159, 158, 159));
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    }
    if (auto* zoom = static_cast<CSliderCtrl*>(GetDlgItem(IDC_ZOOM))) {
        const int upper = m_grabber.ZoomUpper() - m_grabber.ZoomStep();
        zoom->SetRange(m_grabber.ZoomMin(), upper);
        zoom->SetTicFreq(m_grabber.ZoomStep());
    }
    FillPropertyLists();
    FillProfileList();
    ShowSettings();
    return TRUE;
}

void COptionsDialog::FillList(UINT nID, const CModeSettingList& list, std::uint32_t nCode)
{
    CComboBox* combo = Combo(nID);
    if (combo == nullptr)
        return;
    combo->ResetContent();
    for (INT_PTR i = 0; i < list.GetSize(); ++i)
        combo->SetItemData(combo->AddString(list[i].m_strText), list[i].m_nCode);
    SelectCode(nID, nCode);
}

// A code the list does not hold keeps the index used just before.
void COptionsDialog::SelectCode(UINT nID, std::uint32_t nCode)
{
    CComboBox* combo = Combo(nID);
    if (combo == nullptr)
        return;
    for (int i = 0; i < combo->GetCount(); ++i) {
        if (combo->GetItemData(i) == nCode) {
            combo->SetCurSel(i);
            m_nLastFilledIndex = i;
            return;
        }
    }
    combo->SetCurSel(m_nLastFilledIndex < combo->GetCount() ? m_nLastFilledIndex : -1);
}

void COptionsDialog::FillPropertyLists()
{
    const CCameraSettings& s = m_grabber.Settings();
    FillList(IDC_METERING, m_grabber.m_meterings, s.m_nMetering);
    FillList(IDC_ISO, m_grabber.m_isos, s.m_nISO);
    FillList(IDC_WHITE_BALANCE, m_grabber.m_whiteBalances, s.m_nWhiteBalance);
    FillList(IDC_COMPENSATION, m_grabber.m_compensations, s.m_nExposureCompensation);
    FillList(IDC_EXPOSURE_MODE, m_grabber.m_exposureModes, s.m_wExposureMode);
    FillList(IDC_AF_FIELD, m_grabber.m_afFields, s.m_nAFField);
    FillList(IDC_STROBE, m_grabber.m_strobes, s.m_nStrobe);
}

// Selects the entry equal to the current name, not one that only starts
// with it.
void COptionsDialog::FillProfileList()
{
    CComboBox* combo = Combo(IDC_PROFILES);
    if (combo == nullptr)
        return;
    combo->ResetContent();
    CCameraProfiles& profiles = m_grabber.Profiles();
    for (POSITION pos = profiles.GetStartPosition(); pos != nullptr;)
        combo->AddString(profiles.GetNextProfileName(pos));
    combo->SetCurSel(-1);
    if (profiles.m_strCurrentName.IsEmpty())
        return;
    for (int i = 0; i < combo->GetCount(); ++i) {
        CString text;
        combo->GetLBText(i, text);
        if (text == profiles.m_strCurrentName) {
            combo->SetCurSel(i);
            return;
        }
    }
}

void COptionsDialog::ShowSettings()
{
    const CCameraSettings& s = m_grabber.Settings();
    m_bMacro = s.m_nAFDistance == 3;
    m_bAFLight = s.m_nAFLight != 0;
    m_bAF = s.m_bAFOn != 0;
    m_bZoomLive = s.m_bZoomLive != 0;
    m_nPhotoEffect = s.m_nPhotoEffect;
    m_nCameraOutput = s.m_nCameraOutput - 1;
    SelectCode(IDC_IMAGE_SIZE, s.m_nImageSize);
    if (auto* zoom = static_cast<CSliderCtrl*>(GetDlgItem(IDC_ZOOM)))
        zoom->SetPos(zoom->GetRangeMax() - s.m_nCurrentZoom);
    EnableCompensation();
    UpdateData(FALSE);
}

void COptionsDialog::EnableCompensation()
{
    if (CWnd* compensation = GetDlgItem(IDC_COMPENSATION))
        compensation->EnableWindow(m_grabber.Settings().m_wExposureMode != kManualExposure);
}

void COptionsDialog::SettingsChanged()
{
    CComboBox* combo = Combo(IDC_PROFILES);
    if (combo != nullptr && combo->GetCurSel() >= 0)
        combo->GetLBText(combo->GetCurSel(), m_strKeptName);
    m_grabber.Profiles().m_strCurrentName.Empty();
    if (combo != nullptr)
        combo->SetCurSel(-1);
}

bool COptionsDialog::SelectedCode(UINT nID, std::uint32_t& nCode)
{
    CComboBox* combo = Combo(nID);
    if (combo == nullptr || combo->GetCurSel() < 0)
        return false;
    nCode = static_cast<std::uint32_t>(combo->GetItemData(combo->GetCurSel()));
    return true;
}

void COptionsDialog::OnZoomLive()
{
    UpdateData(TRUE);
    m_grabber.Settings().m_bZoomLive = m_bZoomLive;
    SettingsChanged();
}

void COptionsDialog::OnImageSize()
{
    UpdateData(TRUE);
    if (std::uint32_t code = 0; SelectedCode(IDC_IMAGE_SIZE, code))
        m_grabber.SetImageSize(static_cast<std::uint8_t>(code));
    SettingsChanged();
}

void COptionsDialog::OnCameraOutput()
{
    UpdateData(TRUE);
    m_grabber.SetCameraOutput(m_nCameraOutput);
    SettingsChanged();
}

void COptionsDialog::OnPhotoEffect()
{
    UpdateData(TRUE);
    m_grabber.SetPhotoEffect(static_cast<std::uint16_t>(m_nPhotoEffect));
    SettingsChanged();
}

void COptionsDialog::OnVScroll(UINT nSBCode, UINT, CWnd* pScrollBar)
{
    // Sent when the bar lets the mouse go; the bar runs against the zoom.
    if (nSBCode != TB_ENDTRACK || pScrollBar == nullptr || pScrollBar->GetDlgCtrlID() != static_cast<int>(IDC_ZOOM))
        return;
    UpdateData(TRUE);
    auto* zoom = static_cast<CSliderCtrl*>(pScrollBar);
    m_grabber.SetZoom(static_cast<std::uint16_t>(zoom->GetRangeMax() - zoom->GetPos()));
    SettingsChanged();
}

void COptionsDialog::OnAFField()
{
    UpdateData(TRUE);
    if (std::uint32_t code = 0; SelectedCode(IDC_AF_FIELD, code))
        m_grabber.SetAFField(static_cast<std::uint16_t>(code));
    SettingsChanged();
}

void COptionsDialog::OnAF()
{
    UpdateData(TRUE);
    m_grabber.SetAutoFocus(m_bAF);
    SettingsChanged();
}

void COptionsDialog::OnAFLight()
{
    UpdateData(TRUE);
    m_grabber.SetAFLight(m_bAFLight != 0);
    SettingsChanged();
}

void COptionsDialog::OnMacro()
{
    UpdateData(TRUE);
    m_grabber.SetMacro(m_bMacro != 0);
    SettingsChanged();
}

void COptionsDialog::OnMetering()
{
    UpdateData(TRUE);
    if (std::uint32_t code = 0; SelectedCode(IDC_METERING, code))
        m_grabber.SetMetering(static_cast<std::uint8_t>(code));
    SettingsChanged();
}

void COptionsDialog::OnStrobe()
{
    UpdateData(TRUE);
    if (std::uint32_t code = 0; SelectedCode(IDC_STROBE, code))
        m_grabber.SetStrobe(static_cast<std::uint8_t>(code));
    SettingsChanged();
}

void COptionsDialog::OnCompensation()
{
    UpdateData(TRUE);
    if (std::uint32_t code = 0; SelectedCode(IDC_COMPENSATION, code))
        m_grabber.SetExposureCompensation(static_cast<std::uint8_t>(code));
    SettingsChanged();
}

void COptionsDialog::OnWhiteBalance()
{
    UpdateData(TRUE);
    if (std::uint32_t code = 0; SelectedCode(IDC_WHITE_BALANCE, code))
        m_grabber.SetWhiteBalance(static_cast<std::uint8_t>(code));
    SettingsChanged();
}

void COptionsDialog::OnISO()
{
    UpdateData(TRUE);
    if (std::uint32_t code = 0; SelectedCode(IDC_ISO, code))
        m_grabber.SetISO(static_cast<std::uint16_t>(code));
    SettingsChanged();
}

void COptionsDialog::OnExposureMode()
{
    UpdateData(TRUE);
    std::uint32_t code = 0;
    if (!SelectedCode(IDC_EXPOSURE_MODE, code))
        return;
    m_grabber.SetExposureMode(static_cast<std::uint8_t>(code));
    if (code == kManualExposure)
        m_grabber.SetExposureCompensation(kCompensationZero);
    EnableCompensation();
    m_grabber.ApplySettings();
    FillPropertyLists();
    SettingsChanged();
    UpdateData(FALSE);
}

void COptionsDialog::OnProfileChange()
{
    CComboBox* combo = Combo(IDC_PROFILES);
    if (combo == nullptr || combo->GetCurSel() < 0)
        return;
    CString name;
    combo->GetLBText(combo->GetCurSel(), name);
    m_grabber.SelectProfile(name);
    m_strKeptName = name;
    m_grabber.ApplySettings();
    FillPropertyLists();
    ShowSettings();
}

void COptionsDialog::OnSaveProfile()
{
    UpdateData(TRUE);
    CSaveCameraProfileDlg save(m_grabber, m_strKeptName, this);
    if (save.DoModal() != IDOK)
        return;
    m_grabber.SaveProfileAs(save.m_strName);
    m_strKeptName = save.m_strName;
    FillProfileList();
    UpdateData(FALSE);
}

void COptionsDialog::OnDeleteProfile()
{
    CComboBox* combo = Combo(IDC_PROFILES);
    if (combo == nullptr || combo->GetCurSel() < 0)
        return;
    CString name;
    combo->GetLBText(combo->GetCurSel(), name);
    m_grabber.Profiles().DeleteProfile(name);
    if (name == m_strKeptName)
        m_strKeptName.Empty();
    m_grabber.Profiles().m_strCurrentName.Empty();
    FillProfileList();
    UpdateData(FALSE);
}
