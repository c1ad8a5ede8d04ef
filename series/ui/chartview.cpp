// CChartView: the chart window's view - its control, placement, bar count,
// printing and copying.

#include "series/ui/chartview.h"

#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/core/profile.h"
#include "platform/ui/printing.h"
#include "platform/ui/windowdc.h"

#include <cmath>
#include <exception>

IMPLEMENT_DYNCREATE(CChartView, CView)

namespace {

constexpr const char* kPlacementSection = "ChartView";
constexpr const char* kHistogramSection = "Histogram";
constexpr const char* kBarsKey = "Bars";
// The screen's resolution when no context of the view tells it.
constexpr int kScreenDpi = 96;

int Scaled(int value, int numerator, int denominator)
{
    return denominator > 0 ? static_cast<int>(std::lround(static_cast<double>(value) * numerator / denominator))
                           : value;
}

} // namespace

BEGIN_MESSAGE_MAP(CChartView, CView)
    ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
    ON_COMMAND(ID_CHART_PROPERTIES, OnProperties)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

CChartView::CChartView()
{
    BuildMessageMap();
}

CChartView::~CChartView()
{
    // The control windows are members: they go with the view's window.
    DestroyHandleNow();
}

CChartDoc* CChartView::GetChartDoc() const
{
    return dynamic_cast<CChartDoc*>(GetDocument());
}

bool CChartView::IsLineChart() const
{
    const CChartDoc* doc = GetChartDoc();
    return doc == nullptr || doc->m_nChartKind != CChartDoc::kHistogram;
}

CWnd* CChartView::ControlWindow()
{
    CWnd& wnd = IsLineChart() ? static_cast<CWnd&>(m_wndChart) : static_cast<CWnd&>(m_wndHist);
    return wnd.GetSafeHwnd() != nullptr ? &wnd : nullptr;
}

int CChartView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_Frame.Attach(this, kPlacementSection);
    m_Frame.LoadWindowPlacement(FALSE);
    return 0;
}

void CChartView::OnDestroy()
{
    try {
        m_Frame.SaveWindowPlacement();
        WriteProfileInt(kHistogramSection, kBarsKey, m_nBars);
    } catch (const CException& e) {
        e.ReportError();
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONEXCLAMATION);
    }
    CView::OnDestroy();
}

void CChartView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    for (CWnd* control : {static_cast<CWnd*>(&m_wndChart), static_cast<CWnd*>(&m_wndHist)}) {
        if (control->GetSafeHwnd() != nullptr)
            control->MoveWindow(0, 0, cx, cy);
    }
}

void CChartView::OnInitialUpdate()
{
    CRect client;
    GetClientRect(&client);
    // The view ignores whether the control could be made.
    if (IsLineChart())
        m_wndChart.Create("Chart", WS_VISIBLE, client, this, kControlId);
    else
        m_wndHist.Create("Histogram", WS_VISIBLE, client, this, kControlId);
    if (CWnd* control = ControlWindow())
        control->MoveWindow(0, 0, client.Width() - 1, client.Height() - 1);
    SetBarCount(static_cast<short>(GetProfileInt(kHistogramSection, kBarsKey, m_nBars)));
    CView::OnInitialUpdate();
}

void CChartView::OnUpdate(CView* /*pSender*/, LPARAM /*lHint*/, CObject* /*pHint*/)
{
    if (CWnd* control = ControlWindow())
        control->Invalidate(FALSE);
}

void CChartView::SetBarCount(short nBars)
{
    m_nBars = nBars;
    m_wndHist.GetControl().SetBarCount(nBars);
}

void CChartView::OnDraw(CDC* /*pDC*/)
{
    // The control covers the client area and paints itself.
}

void CChartView::DrawControl(CDC* pDC, const CRect& rect)
{
    if (IsLineChart())
        m_wndChart.GetControl().DrawTo(pDC, rect);
    else
        m_wndHist.GetControl().DrawTo(pDC, rect);
}

void CChartView::OnPrint(CDC* pDC, CPrintInfo* /*pInfo*/)
{
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty())
        return;
    int screenX = kScreenDpi;
    int screenY = kScreenDpi;
    if (GetSafeHwnd() != nullptr) {
        CClientDC screen(this);
        screenX = screen.GetDeviceCaps(LOGPIXELSX);
        screenY = screen.GetDeviceCaps(LOGPIXELSY);
    }
    // The chart keeps on paper the size it has on the screen.
    const int saved = pDC->SaveDC();
    pDC->SetMapMode(MM_ANISOTROPIC);
    pDC->SetWindowExt(client.Width(), client.Height());
    pDC->SetViewportExt(Scaled(client.Width(), pDC->GetDeviceCaps(LOGPIXELSX), screenX),
                        Scaled(client.Height(), pDC->GetDeviceCaps(LOGPIXELSY), screenY));
    m_bPrint = 1;
    DrawControl(pDC, client);
    m_bPrint = 0;
    pDC->RestoreDC(saved);
}

void CChartView::OnEditCopy()
{
    CRect client;
    GetClientRect(&client);
    kestrun::CopyPictureToClipboard(client.Size(), [this](CDC* dc, const CRect& rect) { DrawControl(dc, rect); });
}

void CChartView::OnProperties()
{
    if (IsLineChart() && m_wndChart.GetSafeHwnd() != nullptr)
        m_wndChart.ShowProperties();
}
