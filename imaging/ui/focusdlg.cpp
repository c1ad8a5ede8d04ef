#include "imaging/ui/focusdlg.h"

#include "imaging/dibdoc.h"

#include "analysis/aoidoc.h"
#include "analysis/aoistatistics.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/messages.h"
#include "platform/ui/ddx.h"
#include "platform/ui/dialogtemplate.h"

#include <cmath>
#include <mutex>

IMPLEMENT_DYNAMIC(CFocusDlg, CToolLoopDlg)

namespace {

constexpr int kGreyChannel = 3;
// The meter's place, in dialog units.
const CRect kMeterFrame(7, 44, 179, 150);

void RegisterFocusTemplate()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        using Dlg = CFocusDlg;
        RegisterDialogTemplate(Dlg::IDD, {"Set Focus",
                                          CRect(0, 0, 186, 181),
                                          {
                                              LText("Focus value:", IDC_STATIC, 7, 9, 70, 8),
                                              EditText(Dlg::IDC_FOCUS_VALUE, 80, 7, 60, 12, ES_READONLY),
                                              LText("Focus Maximum :", IDC_STATIC, 7, 27, 70, 8),
                                              EditText(Dlg::IDC_FOCUS_PERCENT, 80, 25, 60, 12, ES_READONLY),
                                              LText("%", IDC_STATIC, 144, 27, 10, 8),
                                              LText("", Dlg::IDC_METER_FRAME, kMeterFrame.left, kMeterFrame.top,
                                                    kMeterFrame.Width(), kMeterFrame.Height(), SS_ETCHEDFRAME),
                                              PushButton("Start", Dlg::IDC_START, 7, 160, 50, 14),
                                              PushButton("Set ROI", Dlg::IDC_SET_ROI, 68, 160, 50, 14),
                                              DefPushButton("OK", IDOK, 129, 160, 50, 14),
                                          }});
    });
}

} // namespace

BEGIN_MESSAGE_MAP(CFocusDlg, CToolLoopDlg)
    ON_BN_CLICKED(IDC_START, OnStart)
    ON_BN_CLICKED(IDC_SET_ROI, OnSetROI)
END_MESSAGE_MAP()

CFocusDlg::CFocusDlg(CWnd* pOwner) : CToolLoopDlg((RegisterFocusTemplate(), IDD), pOwner)
{
    BuildMessageMap();
}

CFocusDlg::~CFocusDlg()
{
    DestroyHandleNow();
}

void CFocusDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_FOCUS_VALUE, m_dFocusValue);
    DDX_Text(pDX, IDC_FOCUS_PERCENT, m_nFocusPercent);
}

BOOL CFocusDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ShowDefaultArea(TRUE);
    // A still image is measured as it is.
    double value = 0.0;
    if (m_pDoc != nullptr) {
        if (m_pDoc->IsVideo())
            m_pDoc->Grab(FALSE);
        CAOIDoc* areas = m_pDoc->GetDataDoc();
        if (const CDIB* page = m_pDoc->GetActiveDIB(); page != nullptr && areas != nullptr)
            value = ComputeFocus(*page, areas->GetDefaultAOI());
    }
    m_Palette.CreateWash();
    m_Meter.Create("Value", WS_CHILD | WS_VISIBLE, kestrun::DialogUnitsToPixels(kMeterFrame), this, IDC_METER,
                   &m_Palette);
    m_Meter.SetScaleColors(RGB(255, 0, 0), RGB(0, 255, 0));
    m_Meter.SetRange(0, 0.0, 100.0);
    m_Meter.SetRange(1, 0.0, 100.0);
    m_Meter.SetValue(0.0, kMark);
    TakeValue(value);
    return TRUE;
}

double CFocusDlg::ComputeFocus(const Device& image, const CAOI& area)
{
    double contrast = 0.0;
    if (!ComputeTexture(area, image, kGreyChannel, nullptr, &contrast, nullptr, nullptr, 1))
        return 0.0;
    return contrast;
}

void CFocusDlg::TakeValue(double dValue)
{
    m_dFocusValue = dValue;
    if (m_dFocusMax < dValue)
        m_dFocusMax = dValue;
    // Multiplied first and with a hair of tolerance, so that 96 % of the
    // maximum reads 96 and not 95.99...; 0 of a maximum 0 reads 0.
    m_nFocusPercent = m_dFocusMax > 0.0 ? static_cast<int>(dValue * 100.0 / m_dFocusMax + 1e-9) : 0;
    if (GetSafeHwnd() != nullptr) {
        UpdateData(FALSE);
        m_Meter.SetValue(m_nFocusPercent, kMark);
    }
}

bool CFocusDlg::Measure(double& dValue)
{
    if (!GrabFrame() || m_pDoc == nullptr)
        return false;
    CAOIDoc* areas = m_pDoc->GetDataDoc();
    const CDIB* page = m_pDoc->GetActiveDIB();
    if (areas == nullptr || page == nullptr)
        return false;
    dValue = ComputeFocus(*page, areas->GetDefaultAOI());
    return true;
}

void CFocusDlg::SetRunning(int bRunning)
{
    // Frames keep the overlay while the loop runs.
    if (FGBoard* board = GetFG())
        board->SetParameter(kestrun::fgparam::kClearOverlay, bRunning != 0 ? 0 : 1);
    m_bRunning = bRunning;
    if (CWnd* button = GetDlgItem(IDC_START)) {
        button->SetWindowText(m_bRunning != 0 ? "Stop" : "Start");
        button->UpdateWindow();
    }
}

void CFocusDlg::OnStart()
{
    SetRunning(m_bRunning != 0 ? 0 : 1);
    // Stopping ends the loop after its pass; a start during that pass
    // keeps the same loop going.
    if (m_bRunning == 0 || IsInLoop())
        return;
    if (!RunLoop([this] { return FocusPass(); }))
        return; // the dialog is gone
}

bool CFocusDlg::FocusPass()
{
    if (m_bRunning == 0 || GetSafeHwnd() == nullptr)
        return false;
    double value = 0.0;
    if (!Measure(value)) {
        SetRunning(0);
        return false;
    }
    TakeValue(value);
    // Stop, OK and the view stay usable; they may retire the dialog.
    kestrun::PumpMessages();
    return true;
}

void CFocusDlg::StopLoop()
{
    SetRunning(0);
}

void CFocusDlg::OnSetROI()
{
    CAOIDoc* areas = m_pDoc != nullptr ? m_pDoc->GetDataDoc() : nullptr;
    if (areas == nullptr)
        return;
    areas->SetDefaultAOI(areas->GetActiveAOI(false));
    m_pDoc->RedrawImage(FALSE);
}

void CFocusDlg::OnOK()
{
    Close();
}

void CFocusDlg::OnCancel()
{
    Close();
}

void CFocusDlg::Close()
{
    if (m_bRunning != 0)
        SetRunning(0);
    DestroyWindow();
}

void CFocusDlg::OnDestroy()
{
    ShowDefaultArea(FALSE);
    CDialog::OnDestroy();
    PostCloseReport(1, kReportId);
}

void CFocusDlg::ShowDefaultArea(BOOL bShow)
{
    CAOIDoc* areas = m_pDoc != nullptr ? m_pDoc->GetDataDoc() : nullptr;
    if (areas == nullptr)
        return;
    areas->m_bShowDefault = bShow;
    m_pDoc->RedrawImage(FALSE);
}
