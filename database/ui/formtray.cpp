// The tray form: barcodes, the controls, video and the form's life.
#include "database/ui/formtray.h"

#include "analysis/aoidoc.h"
#include "analysis/bv.h"
#include "database/traynames.h"
#include "database/traysettings.h"
#include "database/ui/formtrayresources.h"
#include "imaging/dibdocex.h"
#include "imaging/ui/dibvwex.h"
#include "platform/core/exceptions.h"
#include "platform/core/messages.h"
#include "platform/core/paths.h"
#include "platform/ui/appservices.h"
#include "platform/ui/ddx.h"
#include "platform/ui/frame.h"
#include "platform/ui/winapp.h"

using namespace kestrun::tray;
using namespace kestrun::trayform;

namespace {

constexpr UINT_PTR kStartTimer = 1;
constexpr UINT_PTR kFocusTimer = 2;
constexpr UINT kStartDelayMs = 2000;
constexpr UINT kFocusPeriodMs = 1000;
// "MSG_GRABBER" from a camera plug-in.
constexpr WPARAM kReleaseStarted = 24;
constexpr WPARAM kPlugInText = 25;

struct CTrayMessages
{
    UINT grabber = RegisterWindowMessage("MSG_GRABBER");
    UINT profileChanged = RegisterWindowMessage("MSG_PROFILE_CHANGED");
};

const CTrayMessages& TrayMessages()
{
    static const CTrayMessages messages;
    return messages;
}

CString SettingsPath()
{
    CAppServices* services = kestrun::AppServices();
    return TraySettingsPath(services ? services->GetProgramFolder() : CString());
}

// The profile names are stored with '_' and shown with '/'.
CString ShownProfileName(const CString& stored)
{
    CString shown = stored;
    shown.Replace("_", "/");
    return shown;
}

bool IsTableWindow(const CWnd* wnd)
{
    for (const char* name : {"CGridFrame", "CGridView2"}) {
        const CRuntimeClass* cls = CRuntimeClass::FromName(name);
        if (wnd != nullptr && cls != nullptr && wnd->IsKindOf(cls))
            return true;
    }
    return false;
}

} // namespace

IMPLEMENT_DYNCREATE(CFormTrayDoc, CDocument)
IMPLEMENT_DYNCREATE(CFormTray, CBVFormView)

BEGIN_MESSAGE_MAP(CFormTray, CBVFormView)
    ON_COMMAND(ID_TRAY_INIT_VIDEO, OnInitVideo)
    ON_COMMAND(IDC_TRAY_MEASURE, RunTray)
    ON_COMMAND(IDC_TRAY_SAVE_PROFILE, OnSaveProfile)
    ON_CBN_EDITCHANGE(IDC_TRAY_BARCODE, OnBarcodeEditChange)
    ON_COMMAND_RANGE(ID_FILE_SAVE, ID_FILE_SAVE_AS, OnSaveImageCommand)
    ON_REGISTERED_MESSAGE(TrayMessages().grabber, OnGrabberMessage)
    ON_REGISTERED_MESSAGE(TrayMessages().profileChanged, OnNoAction)
END_MESSAGE_MAP()

CFormTray::CFormTray() : CBVFormView((RegisterTrayForm(), IDD_FORMTRAY))
{
    BuildMessageMap();
    const CTrayFormSettings settings = CTrayFormSettings::Read(SettingsPath());
    m_nMinBarcode = settings.nMinBarcode;
    m_nMaxBarcode = settings.nMaxBarcode;
    m_strTray = settings.strTray;
}

CFormTray::~CFormTray()
{
    CTrayFormSettings::WriteTray(SettingsPath(), m_strTray);
}

void CFormTray::DoDataExchange(CDataExchange* pDX)
{
    CBVFormView::DoDataExchange(pDX);
    DDX_Control(pDX, static_cast<int>(IDC_TRAY_TITLE), m_title);
    DDX_Control(pDX, static_cast<int>(IDC_TRAY_BARCODE), m_comboBarcode);
    DDX_Control(pDX, static_cast<int>(IDC_TRAY_PICTURE), m_staticVideo);
    if (!pDX->m_bSaveAndValidate) {
        if (CAppServices* services = kestrun::AppServices())
            m_strProfile = ShownProfileName(services->GetCurrentProfileName());
    }
    DDX_Text(pDX, static_cast<int>(IDC_TRAY_PROFILE), m_strProfile);
    DDX_Text(pDX, static_cast<int>(IDC_TRAY_BATCH), m_nBatch);
    DDV_MinMaxInt(pDX, m_nBatch, 1, kMaxBatch);
    DDX_Text(pDX, static_cast<int>(IDC_TRAY_TYPE), m_strTray);
}

void CFormTray::RefreshControls()
{
    UpdateData(FALSE);
}

// ---- creation and life ------------------------------------------------------------------------

BOOL CFormTray::CreateImageView(BOOL bVideo)
{
    return CreateEmbeddedView(IDC_TRAY_PICTURE, IDC_TRAY_BARCODE, bVideo);
}

void CFormTray::OnInitialUpdate()
{
    CBVFormView::OnInitialUpdate();
    if (CFrameWnd* frame = GetParentFrame()) {
        frame->ModifyStyle(WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME, 0);
        if (CWnd* main = AfxGetMainWnd()) {
            CRect client;
            main->GetClientRect(&client);
            frame->SetWindowPos(nullptr, 0, 0, client.Width() - 4, client.Height() - 54,
                                SWP_NOZORDER | SWP_SHOWWINDOW);
        }
    }
    LOGFONT font{};
    font.lfHeight = -16;
    if (CWnd* picture = GetDlgItem(static_cast<int>(IDC_TRAY_PICTURE))) {
        CRect rect;
        picture->GetWindowRect(&rect);
        font.lfHeight = -std::max(12, rect.Height() / 20);
    }
    font.lfWeight = 700;
    SetFaceName(font, "MS Sans Serife");
    m_title.SetCaptionFont(font);
    m_title.SetColor(RGB(0, 128, 0));
    m_title.SetGradientColor(RGB(0, 0, 0));
    m_title.SetTextColor(RGB(255, 255, 255));
    m_title.SetWindowText("Tray");
    m_comboBarcode.SetFocus();
    if (m_nTimer1 == 0)
        m_nTimer1 = SetTimer(kStartTimer, kStartDelayMs);
    if (m_nTimer2 == 0)
        m_nTimer2 = SetTimer(kFocusTimer, kFocusPeriodMs);
    LoadTrayAoi(m_strTray, m_nBatch);
}

void CFormTray::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kStartTimer) {
        KillTimer(kStartTimer);
        m_nTimer1 = 0;
        OnInitVideo();
        return;
    }
    if (nIDEvent == kFocusTimer) {
        KeepBarcodeFocus();
        return;
    }
    CBVFormView::OnTimer(nIDEvent);
}

void CFormTray::KeepBarcodeFocus()
{
    const CWnd* focus = CWnd::GetFocus();
    const CWnd* parent = focus ? focus->GetParent() : nullptr;
    if (parent == nullptr || (parent != this && !IsTableWindow(parent)))
        return;
    if (CFrameWnd* frame = GetParentFrame())
        frame->ActivateFrame();
    m_comboBarcode.SetFocus();
}

void CFormTray::OnDestroy()
{
    if (m_nTimer1 != 0) {
        KillTimer(kStartTimer);
        m_nTimer1 = 0;
    }
    if (m_nTimer2 != 0) {
        KillTimer(kFocusTimer);
        m_nTimer2 = 0;
    }
    SetStatus(statusGoingDown);
    DetachImageView();
    CBVFormView::OnDestroy();
}

void CFormTray::OnSaveImageCommand(UINT nID)
{
    // Save and Save As are the picture's.
    if (m_pImageView != nullptr)
        m_pImageView->OnCmdMsg(nID, CN_COMMAND, nullptr, nullptr);
}

LRESULT CFormTray::OnNoAction(WPARAM, LPARAM)
{
    return 0;
}

// ---- video ------------------------------------------------------------------------------------

void CFormTray::OnInitVideo()
{
    CDIBDocEx* doc = EnsureImageDocument();
    if (!doc->IsVideo() && !doc->InitVideoPages()) {
        DetachImageView();
        return;
    }
    if (m_pImageView != nullptr) {
        doc->UpdateImageViews();
    } else if (!CreateImageView(TRUE)) {
        DetachImageView();
        return;
    }
    // The box forwards its push button only once it is out of its idle
    // state: with the camera ready the first tray can start from it.
    SetBoxState(kBoxLampOn);
    SetStatus(m_nStatus);
}

LRESULT CFormTray::OnGrabberMessage(WPARAM wParam, LPARAM lParam)
{
    if (wParam == kReleaseStarted) {
        SetBoxState(kBoxGrabbed);
    } else if (wParam == kPlugInText && lParam != 0) {
        if (CAppServices* services = kestrun::AppServices())
            services->SetTrayvoMessage(reinterpret_cast<const char*>(lParam));
    }
    return 0;
}

// ---- barcodes ---------------------------------------------------------------------------------

BOOL CFormTray::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN && m_comboBarcode.GetSafeHwnd() != nullptr)
        OnBarcodeEntered();
    // The key goes on as usual.
    return CBVFormView::PreTranslateMessage(pMsg);
}

void CFormTray::OnBarcodeEntered()
{
    CString text;
    m_comboBarcode.GetWindowText(text);
    if (!text.IsEmpty() && ProcessBarcode(text)) {
        m_comboBarcode.AddString(text);
        m_bBarcodeTaken = true;
        SetStatus(statusReady);
    }
    m_comboBarcode.SetEditSel(0, -1);
}

void CFormTray::OnBarcodeEditChange()
{
    if (!m_bBarcodeTaken)
        return;
    // The next barcode's first key replaces the queued one.
    CString text;
    m_comboBarcode.GetWindowText(text);
    const CString last = text.Right(1);
    m_comboBarcode.SetWindowText(last);
    m_comboBarcode.SetEditSel(last.GetLength(), last.GetLength());
    m_bBarcodeTaken = false;
}

bool CFormTray::ProcessBarcode(const CString& strBarcode)
{
    const CBarcodeRules rules(m_nMinBarcode, m_nMaxBarcode);
    switch (rules.Classify(strBarcode)) {
    case EBarcodeKind::profile:
        SetStatus(SelectProfileCode(strBarcode) ? statusProfile : statusProfileFailed);
        return false;
    case EBarcodeKind::tray:
        if (!LoadTrayAoi(strBarcode, 1)) {
            SetStatus(statusTrayFailed);
            return false;
        }
        m_nBatch = 1;
        m_strTray = strBarcode;
        RefreshControls();
        SetStatus(statusTray);
        return false;
    case EBarcodeKind::batch: {
        const int batch = CBarcodeRules::BatchOf(strBarcode);
        if (!LoadTrayAoi(m_strTray, batch)) {
            SetStatus(statusBatchFailed);
            return false;
        }
        m_nBatch = batch;
        RefreshControls();
        SetStatus(statusBatch);
        return false;
    }
    case EBarcodeKind::sample:
        // The caller shows "Ready" once the barcode is queued.
        return true;
    case EBarcodeKind::invalid:
        break;
    }
    SetStatus(statusBarcodeNotValid);
    return false;
}

std::vector<CString> CFormTray::GetQueue() const
{
    std::vector<CString> queue;
    if (m_comboBarcode.GetSafeHwnd() == nullptr)
        return queue;
    const int count = m_comboBarcode.GetCount();
    for (int i = 0; i < count; ++i) {
        CString text;
        m_comboBarcode.GetLBText(i, text);
        queue.push_back(text);
    }
    return queue;
}

CString CFormTray::PopBarcode()
{
    if (m_comboBarcode.GetSafeHwnd() == nullptr || m_comboBarcode.GetCount() == 0)
        return CString();
    CString first;
    m_comboBarcode.GetLBText(0, first);
    m_comboBarcode.DeleteString(0);
    return first;
}

void CFormTray::SetStatus(int nCode)
{
    CTrayStatusValues values;
    values.nPrevious = m_nStatus;
    values.nCount = m_nCount;
    values.strProfile = m_strProfile;
    values.strTray = m_strTray;
    values.nBatch = m_nBatch;
    if (nCode == statusReady) {
        kestrun::PumpMessages();
        const std::vector<CString> queue = GetQueue();
        if (!queue.empty())
            values.strNextBarcode = queue.front();
    }
    const CString text = TrayStatusText(nCode, values);
    m_nStatus = nCode;
    if (CAppServices* services = kestrun::AppServices())
        services->SetTrayvoMessage(text);
    if (auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd()))
        frame->SetMessageText(text);
}

// ---- profiles and areas -----------------------------------------------------------------------

bool CFormTray::SelectProfileCode(const CString& strCode)
{
    CAppServices* services = kestrun::AppServices();
    if (services == nullptr)
        return false;
    const CString trayFile = AoiFileName(m_strTray, m_nBatch);
    services->SetAOIFileName(trayFile);
    if (!services->SelectProfile(CBarcodeRules::ProfileNameOf(strCode), TRUE))
        return false;
    RefreshControls();
    if (services->GetAOIFileName() != trayFile && LoadTrayAoi(m_strTray, m_nBatch) && m_pImageDoc != nullptr)
        m_pImageDoc->UpdateImageViews();
    return true;
}

bool CFormTray::LoadTrayAoi(const CString& strTray, int nBatch)
{
    CAppServices* services = kestrun::AppServices();
    CBV* engine = services ? services->GetEngine() : nullptr;
    const CString name = AoiFileName(strTray, nBatch);
    if (engine == nullptr || !kestrun::IsPlainFileName(name))
        return false;
    try {
        if (!engine->m_AOIDoc.LoadAOIFile(services->GetDataRoot() + name))
            return false;
    } catch (const CException&) {
        // A damaged file leaves the areas as they were; the status says so.
        return false;
    }
    services->SetAOIFileName(name);
    if (m_pImageDoc != nullptr)
        m_pImageDoc->UpdateImageViews();
    return true;
}

void CFormTray::SaveTrayAoi(const CString& strTray, int nBatch)
{
    CAppServices* services = kestrun::AppServices();
    CBV* engine = services ? services->GetEngine() : nullptr;
    const CString name = AoiFileName(strTray, nBatch);
    if (engine != nullptr && kestrun::IsPlainFileName(name))
        engine->m_AOIDoc.SaveAOIFile(services->GetDataRoot() + name);
}

void CFormTray::OnSaveProfile()
{
    if (!UpdateData(TRUE))
        return;
    SaveTrayAoi(m_strTray, m_nBatch);
    if (CAppServices* services = kestrun::AppServices())
        services->SaveProfile(CBarcodeRules::ProfileNameOf(m_strProfile));
}
