#include "cameraplugins/eos/ui/cameracontroldlg.h"

#include "cameraplugins/eos/fgostrel.h"
#include "cameraplugins/eos/ostrelapp.h"
#include "cameraplugins/eos/ui/controlmessages.h"
#include "cameraplugins/eos/ui/ostrelresources.h"

#include "platform/core/messages.h"
#include "platform/ui/ddx.h"
#include "platform/ui/rangectrls.h"

using namespace kestrun::ostrel;

namespace {

// How long opening waits for live view to end.
constexpr DWORD kLiveViewEndWaitMs = 5000;

struct CButtonAction
{
    UINT nID;
    const char* action;
    bool bHidden;
};

constexpr CButtonAction kButtonActions[] = {
    {IDC_TAKE_PICTURE, "TakePicture", true},     {IDC_PRESS_HALFWAY, "pressingHalfway", true},
    {IDC_PRESS_COMPLETELY, "pressingCompletely", true}, {IDC_PRESS_OFF, "pressingOff", true},
    {IDC_EVF_AF_ON, "evfAFOn", true},            {IDC_EVF_AF_OFF, "evfAFOff", true},
    {IDC_START_EVF, "startEVF", false},          {IDC_END_EVF, "endEVF", false},
    {IDC_FOCUS_NEAR3, "focus_Near3", false},     {IDC_FOCUS_NEAR2, "focus_Near2", false},
    {IDC_FOCUS_NEAR1, "focus_Near1", false},     {IDC_FOCUS_FAR1, "focus_Far1", false},
    {IDC_FOCUS_FAR2, "focus_Far2", false},       {IDC_FOCUS_FAR3, "focus_Far3", false},
    {IDC_FOCUS_UP, "focus_Up", false},           {IDC_FOCUS_DOWN, "focus_Down", false},
    {IDC_FOCUS_LEFT, "focus_Left", false},       {IDC_FOCUS_RIGHT, "focus_Right", false},
    {IDC_ZOOM_FIT, "zoom_Fit", false},
};

bool HasComputerBit(const CameraModel& model)
{
    return (model.getPropertyUInt32(kEdsPropID_Evf_OutputDevice) & kEdsEvfOutputDevice_PC) != 0;
}

// False when live view still runs after the time.
bool WaitForLiveViewEnd(const CameraModel& model, kestrun::IClock& clock)
{
    const ULONGLONG start = clock.NowMs();
    while (HasComputerBit(model)) {
        kestrun::PumpMessages();
        if (clock.NowMs() - start >= kLiveViewEndWaitMs)
            return false;
        clock.SleepMs(1);
    }
    return true;
}

} // namespace

CCameraControlDlg::CCameraControlDlg(CameraModel& model, CameraController& controller, CWnd* pParentWnd)
    : CDialog(IDD_CAMERA_CONTROL, pParentWnd), m_model(model), m_controller(controller)
{
    RegisterOstrelResources();
    for (const CButtonAction& entry : kButtonActions)
        m_buttons.push_back({entry.nID, std::make_unique<CActionButton>(entry.action)});
    for (CPropertyComboBox* combo : Combos())
        combo->setModel(&m_model);
    m_zoomButton.setModel(&m_model);
    m_pictureBox.setModel(&m_model);
}

CCameraControlDlg::~CCameraControlDlg()
{
    Disconnect();
    DestroyHandleNow();
}

INT_PTR CCameraControlDlg::Open(CFGOstrel& grabber, CWnd* pParentWnd)
{
    CameraModel* model = grabber.Model();
    CameraController* controller = grabber.Controller();
    if (model == nullptr || controller == nullptr) {
        OstrelApp().ReportMessage("The camera is not connected.");
        return IDCANCEL;
    }
    const bool bLiveView = grabber.IsLiveViewActive();
    if (bLiveView) {
        grabber.m_endEvf.fireEvent();
        if (!WaitForLiveViewEnd(*model, grabber.Clock()))
            OstrelApp().ReportMessage("Live view of the camera did not end in time.");
    }
    CCameraControlDlg dialog(*model, *controller, pParentWnd);
    dialog.m_bAFOnSnapshot = grabber.GetAFOnSnapshot();
    model->deleteObserver(&grabber);
    model->addObserver(&dialog);
    const INT_PTR result = dialog.DoModal();
    grabber.SetAFOnSnapshot(dialog.m_bAFOnSnapshot);
    model->deleteObserver(&dialog);
    model->addObserver(&grabber);
    if (bLiveView)
        grabber.m_startEvf.fireEvent();
    return result;
}

CPropertyComboBox* CCameraControlDlg::Combo(UINT nID)
{
    for (CPropertyComboBox* combo : Combos()) {
        if (static_cast<UINT>(combo->GetDlgCtrlID()) == nID)
            return combo;
    }
    return nullptr;
}

void CCameraControlDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_AE_MODE, m_aeMode);
    DDX_Control(pDX, IDC_TV, m_tv);
    DDX_Control(pDX, IDC_AV, m_av);
    DDX_Control(pDX, IDC_ISO, m_iso);
    DDX_Control(pDX, IDC_METERING_MODE, m_meteringMode);
    DDX_Control(pDX, IDC_EXPOSURE_COMP, m_exposureComp);
    DDX_Control(pDX, IDC_IMAGE_QUALITY, m_imageQuality);
    DDX_Control(pDX, IDC_EVF_AF_MODE, m_evfAFMode);
    for (CButtonSlot& slot : m_buttons)
        DDX_Control(pDX, static_cast<int>(slot.nID), *slot.button);
    DDX_Control(pDX, IDC_ZOOM_ZOOM, m_zoomButton);
    DDX_Control(pDX, IDC_PICTURE_BOX, m_pictureBox);
    DDX_Check(pDX, IDC_AF_ON_SNAPSHOT, m_bAFOnSnapshot);
}

std::array<CPropertyComboBox*, 8> CCameraControlDlg::Combos()
{
    return {&m_aeMode, &m_tv, &m_av, &m_iso, &m_meteringMode, &m_exposureComp, &m_imageQuality, &m_evfAFMode};
}

std::vector<Observer*> CCameraControlDlg::ControlObservers()
{
    const std::array<CPropertyComboBox*, 8> combos = Combos();
    std::vector<Observer*> observers(combos.begin(), combos.end());
    observers.push_back(&m_zoomButton);
    observers.push_back(&m_pictureBox);
    return observers;
}

BOOL CCameraControlDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (const CButtonAction& entry : kButtonActions) {
        if (entry.bHidden)
            GetDlgItem(static_cast<int>(entry.nID))->ShowWindow(SW_HIDE);
    }
    m_evfAFMode.ShowWindow(SW_HIDE);
    if (auto* progress = static_cast<CProgressCtrl*>(GetDlgItem(IDC_PROGRESS)))
        progress->SetRange(0, 100);
    Connect();
    // Read through the command thread: their notices fill the controls.
    EdsPropertyID all = kEdsPropID_Unknown;
    EdsPropertyID firmware = kEdsPropID_FirmwareVersion;
    fireEvent("get_Property", &all);
    fireEvent("get_PropertyDesc", &all);
    fireEvent("get_Property", &firmware);
    return TRUE;
}

void CCameraControlDlg::Connect()
{
    addActionListener(&m_controller);
    for (CButtonSlot& slot : m_buttons)
        slot.button->addActionListener(&m_controller);
    m_zoomButton.addActionListener(&m_controller);
    m_pictureBox.addActionListener(&m_controller);
    for (CPropertyComboBox* combo : Combos())
        combo->addActionListener(&m_controller);
    for (Observer* observer : ControlObservers())
        m_model.addObserver(observer);
    m_bConnected = true;
}

// Once the observers are gone no notice reaches a control any more.
void CCameraControlDlg::Disconnect()
{
    if (!m_bConnected)
        return;
    for (Observer* observer : ControlObservers())
        m_model.deleteObserver(observer);
    m_bConnected = false;
}

void CCameraControlDlg::OnDestroy()
{
    Disconnect();
    CDialog::OnDestroy();
}

BOOL CCameraControlDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    const UINT nCode = HIWORD(wParam);
    if (nCode == BN_CLICKED) {
        for (CButtonSlot& slot : m_buttons) {
            if (slot.nID == nID) {
                slot.button->OnClicked();
                return TRUE;
            }
        }
        if (nID == IDC_ZOOM_ZOOM) {
            m_zoomButton.OnClicked();
            return TRUE;
        }
        if (nID == IDC_AF_ON_SNAPSHOT) {
            m_bAFOnSnapshot = IsDlgButtonChecked(IDC_AF_ON_SNAPSHOT) == BST_CHECKED ? 1 : 0;
            return TRUE;
        }
    }
    if (nCode == CBN_SELCHANGE) {
        if (CPropertyComboBox* combo = Combo(nID)) {
            combo->OnSelChange();
            return TRUE;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CCameraControlDlg::update(Observable*, CameraEvent* event)
{
    const std::string& name = event->name;
    if (name == "DownloadComplete")
        ::PostMessage(m_hWnd, kMsgDownloadComplete, 0, 0);
    else if (name == "ProgressReport")
        ::PostMessage(m_hWnd, kMsgProgressReport, *static_cast<const EdsUInt32*>(event->arg), 0);
    else if (name == "shutDown")
        ::PostMessage(m_hWnd, WM_CLOSE, 0, 0);
    else if (name == "PropertyChanged" && *static_cast<const EdsPropertyID*>(event->arg) == kEdsPropID_FirmwareVersion)
        ::PostMessage(m_hWnd, kMsgFirmware, 0, 0);
}

LRESULT CCameraControlDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kMsgDownloadComplete:
    case kMsgProgressReport:
        if (auto* progress = static_cast<CProgressCtrl*>(GetDlgItem(IDC_PROGRESS)))
            progress->SetPos(message == kMsgDownloadComplete ? 0 : static_cast<int>(wParam));
        return 0;
    case kMsgFirmware:
        SetDlgItemText(IDC_FIRMWARE, m_model.getFirmwareVersion().c_str());
        return 0;
    default:
        return CDialog::WindowProc(message, wParam, lParam);
    }
}
