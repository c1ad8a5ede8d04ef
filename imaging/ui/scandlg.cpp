#include "imaging/ui/scandlg.h"

#include "imaging/dibdoc.h"

#include "analysis/bv.h"
#include "analysis/segthres.h"
#include "objectmodel/cross.h"
#include "outside/grabwell/fgboard.h"
#include "outside/pixmere/dib.h"
#include "platform/core/clock.h"
#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/ddx.h"
#include "platform/ui/windowdc.h"

#include <algorithm>
#include <mutex>

IMPLEMENT_DYNAMIC(CScanDlg, CDialog)

UINT CScanDlg::s_msgGrabber = 0;

namespace {

void RegisterScanTemplate()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        RegisterDialogTemplate(CScanDlg::IDD,
                               {"Scanning Control",
                                CRect(0, 0, 300, 210),
                                {
                                    LText("", CScanDlg::IDC_CHART, 7, 7, 286, 120, WS_BORDER),
                                    EditText(CScanDlg::IDC_STATUS, 7, 131, 286, 12, ES_READONLY),
                                    RadioButton("Gray value", CScanDlg::IDC_GRAY_VALUE, 7, 150, 60, 10, WS_GROUP),
                                    RadioButton("Differenz", CScanDlg::IDC_DIFFERENZ, 7, 162, 60, 10),
                                    RadioButton("Width", CScanDlg::IDC_WIDTH, 7, 174, 60, 10),
                                    CheckBox("Scan Video", CScanDlg::IDC_SCAN_VIDEO, 75, 150, 60, 10, WS_GROUP),
                                    CheckBox("Draw Online", CScanDlg::IDC_DRAW_ONLINE, 75, 162, 60, 10),
                                    CheckBox("FFT", CScanDlg::IDC_FFT, 75, 174, 60, 10),
                                    PushButton("OK", CScanDlg::IDC_INDICATOR, 140, 150, 30, 30, WS_DISABLED),
                                    DefPushButton("OK", IDOK, 240, 150, 53, 14),
                                    PushButton("Start", CScanDlg::IDC_START, 180, 150, 53, 14),
                                    PushButton("Stop", CScanDlg::IDC_STOP, 180, 167, 53, 14),
                                    PushButton("Process", CScanDlg::IDC_PROCESS, 240, 167, 53, 14),
                                }});
    });
}

} // namespace

BEGIN_MESSAGE_MAP(CScanDlg, CDialog)
    ON_BN_CLICKED(IDC_START, OnStart)
    ON_BN_CLICKED(IDC_STOP, OnStop)
    ON_BN_CLICKED(IDC_DRAW_ONLINE, OnValuesChanged)
    ON_BN_CLICKED(IDC_GRAY_VALUE, OnValuesChanged)
    ON_BN_CLICKED(IDC_DIFFERENZ, OnValuesChanged)
    ON_BN_CLICKED(IDC_WIDTH, OnValuesChanged)
    ON_BN_CLICKED(IDC_SCAN_VIDEO, OnValuesChanged)
    ON_BN_CLICKED(IDC_FFT, OnValuesChanged)
    ON_REGISTERED_MESSAGE(s_msgGrabber, OnGrabber)
END_MESSAGE_MAP()

CScanDlg::CScanDlg()
{
    s_msgGrabber = RegisterWindowMessage("MSG_GRABBER");
    BuildMessageMap();
}

CScanDlg::~CScanDlg()
{
    // No frame may reach a dialog that is gone.
    if (m_pBoard && m_bRunning)
        m_pBoard->SetCallBack(nullptr, nullptr);
    DestroyHandleNow();
}

BOOL CScanDlg::Create(CWnd* pOwnerView)
{
    RegisterScanTemplate();
    m_pOwnerView = pOwnerView;
    if (m_pBoard == nullptr)
        m_pBoard = GetFG();
    return CDialog::Create(IDD, pOwnerView);
}

BOOL CScanDlg::OnInitDialog()
{
    m_Placement.Attach(this, "ScanDlg");
    m_Placement.RestorePlacement();
    return CDialog::OnInitDialog();
}

void CScanDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_DRAW_ONLINE, m_bDrawOnline);
    DDX_Radio(pDX, IDC_GRAY_VALUE, m_nMode);
    DDX_Check(pDX, IDC_SCAN_VIDEO, m_bScanVideo);
    DDX_Check(pDX, IDC_FFT, m_bFFT);
    DDX_Text(pDX, IDC_STATUS, m_strStatus);
}

void CScanDlg::OnValuesChanged()
{
    // The mode and the switches count from the next frame on.
    UpdateData(TRUE);
}

void CScanDlg::OnStart()
{
    m_bNoPositionsShown = false;
    m_bEscape = false;
    m_bFramePending = false;
    if (!m_bScanVideo) {
        // The page shown now: the one of the opening may be gone.
        if (CDIB* page = m_pDocument ? m_pDocument->GetActiveDIB() : nullptr)
            ProcessImage(*page);
        return;
    }
    if (m_pBoard == nullptr)
        return;
    if (m_pBoard->GetBoardType() == 1)
        m_pBoard->GrabFrame(0);
    m_pBoard->SetCallBack(&CScanDlg::GrabberCallback, this);
    m_bRunning = true;
    if (m_pBoard->GetBoardType() == 2 || m_pBoard->IsPlayback())
        m_pBoard->GrabFrame(1);
    else
        m_pBoard->StartLive();
}

void CScanDlg::OnStop()
{
    if (m_pBoard) {
        if (m_bRunning)
            m_pBoard->SetCallBack(nullptr, nullptr);
        m_pBoard->StopLive();
    }
    m_bRunning = false;
    // The next measurement builds the curve anew.
    m_Curve = sScanCurve{};
}

int CScanDlg::GrabberCallback(void* context)
{
    auto* dialog = static_cast<CScanDlg*>(context);
    if (dialog && dialog->GetSafeHwnd() && !dialog->m_bFramePending.exchange(true))
        ::PostMessage(dialog->GetSafeHwnd(), s_msgGrabber, kGrabberFrame, 0);
    return 0;
}

LRESULT CScanDlg::OnGrabber(WPARAM wParam, LPARAM)
{
    if (wParam != kGrabberFrame)
        return 0;
    // Released when this frame is done, so that the next one may come.
    struct sRelease
    {
        std::atomic<bool>& pending;
        ~sRelease() { pending = false; }
    } release{m_bFramePending};
    if (m_bBusy || !m_bRunning || m_pBoard == nullptr)
        return 0;
    if (m_bEscape.exchange(false)) {
        OnStop();
        return 0;
    }
    m_bBusy = true;
    if (m_pBoard->LockBuffer(5)) {
        try {
            ProcessImage(*m_pBoard);
        } catch (...) {
            // A frame that cannot be measured is skipped; nothing leaves a slot.
        }
        m_pBoard->UnlockBuffer();
        DrawMarks(*m_pBoard);
    }
    m_bBusy = false;
    return 0;
}

void CScanDlg::DrawMarks(const Device&)
{
    m_pBoard->ClearOverlay();
    CDC* overlay = m_pBoard->GetDC();
    if (overlay == nullptr)
        return;
    CCross cross(0x80FF00, 1, R2_NOT);
    for (const CPoint& p : m_arrResultPoints)
        cross.Draw(overlay, p);
    m_pBoard->ReleaseDC(overlay);
}

bool CScanDlg::GetPositions(const Device& image, CPoint& first, CPoint& second)
{
    if (m_pDocument == nullptr || m_pDocument->m_arrPoints1.GetSize() < 2 || image.GetWidth() <= 0 ||
        image.GetHeight() <= 0) {
        if (!std::exchange(m_bNoPositionsShown, true))
            AfxMessageBox("No Positions defined");
        return false;
    }
    first = CScanMeasure::ClampToImage(image, m_pDocument->m_arrPoints1[0]);
    second = CScanMeasure::ClampToImage(image, m_pDocument->m_arrPoints1[1]);
    return true;
}

void CScanDlg::ProcessImage(const Device& image)
{
    if (GetSafeHwnd() == nullptr)
        return;
    CPoint first;
    CPoint second;
    if (!GetPositions(image, first, second))
        return;
    const DWORD start = GetTickCount();
    m_arrResultPoints = {first, second};
    switch (m_nMode) {
    case CScanMeasure::modeGrey:
        m_Curve = CScanMeasure::MeasureGrayProfile(image, first, second);
        break;
    case CScanMeasure::modeDifference:
        m_Curve = CScanMeasure::MeasureDifference(image, first, second);
        break;
    default: {
        CBV* engine = m_pDocument->GetEngine();
        const CSegThres thresholds = engine ? engine->GetSettings().m_SegThres : CSegThres();
        m_Curve = CScanMeasure::MeasureWidth(image, first, second, thresholds);
        break;
    }
    }
    m_arrResultPoints.insert(m_arrResultPoints.end(), m_Curve.ends.begin(), m_Curve.ends.end());
    ++m_nMeasuredFrames;
    if (CWnd* indicator = GetDlgItem(IDC_INDICATOR)) {
        indicator->EnableWindow(TRUE);
        indicator->SetWindowText("ALARM");
    }
    m_strStatus.Format("Zeit: %ld", static_cast<long>(GetTickCount() - start));
    UpdateData(FALSE);
    Invalidate(FALSE);
}

void CScanDlg::OnPaint()
{
    CPaintDC dc(this);
    CWnd* chart = GetDlgItem(IDC_CHART);
    if (chart == nullptr || m_Curve.values.empty())
        return;
    CRect plot;
    chart->GetWindowRect(&plot);
    ScreenToClient(&plot);
    plot.DeflateRect(2, 2);
    const float top = std::max(255.0f, *std::max_element(m_Curve.values.begin(), m_Curve.values.end()));
    const size_t n = m_Curve.values.size();
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* old = dc.SelectObject(&red);
    for (size_t i = 0; i < n; ++i) {
        const int x = plot.left + static_cast<int>(plot.Width() * static_cast<double>(i) / std::max<size_t>(n - 1, 1));
        const int y = plot.bottom - static_cast<int>(plot.Height() * m_Curve.values[i] / top);
        if (i == 0)
            dc.MoveTo(x, y);
        else
            dc.LineTo(x, y);
    }
    dc.SelectObject(old);
}

void CScanDlg::OnCancel()
{
    // Escape during live measuring stops it at the next frame.
    if (m_bRunning) {
        m_bEscape = true;
        return;
    }
    CDialog::OnCancel();
}

void CScanDlg::OnOK()
{
    DestroyWindow();
}

void CScanDlg::OnDestroy()
{
    if (m_pBoard) {
        if (m_bRunning)
            m_pBoard->SetCallBack(nullptr, nullptr);
        m_bRunning = false;
        m_pBoard->ClearOverlay();
    }
    m_Placement.SavePlacement();
    CDialog::OnDestroy();
}
