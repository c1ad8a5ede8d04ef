// CLineDataView and CAreaView: the measurement document's chart, the run's
// timer and commands, copying and printing.

#include "series/ui/linedataview.h"

#include "series/curvechart.h"
#include "series/kestrundoc.h"
#include "series/linedatadoc.h"
#include "series/runhost.h"

#include "platform/core/dc.h"
#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "platform/ui/document.h"
#include "platform/ui/frame.h"
#include "platform/ui/printing.h"
#include "platform/ui/winapp.h"

#include <algorithm>
#include <exception>
#include <vector>

IMPLEMENT_DYNCREATE(CLineDataView, CDataView)
IMPLEMENT_DYNCREATE(CAreaView, CLineDataView)

namespace {

constexpr const char* kLineChartSection = "LineChart";
constexpr const char* kStyleKey = "Style";

UINT DeleteInterfaceMessage()
{
    static const UINT id = RegisterWindowMessage("DELETE_INTERFACE");
    return id;
}

// Posted to itself: the close runs outside the handler that asked for it.
constexpr UINT WM_CLOSE_DOCUMENT = WM_USER + 0x4C44;

} // namespace

BEGIN_MESSAGE_MAP(CLineDataView, CDataView)
    ON_COMMAND(ID_MEASUREMENT_START, OnStart)
    ON_UPDATE_COMMAND_UI(ID_MEASUREMENT_START, OnUpdateStart)
    ON_COMMAND(ID_MEASUREMENT_STOP, OnStop)
    ON_COMMAND(ID_MEASUREMENT_STEP, OnSingleStep)
    ON_UPDATE_COMMAND_UI(ID_MEASUREMENT_STEP, OnUpdateSingleStep)
    ON_COMMAND(ID_MEASUREMENT_GRAPH, OnGraph)
    ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
    ON_REGISTERED_MESSAGE(DeleteInterfaceMessage(), OnDeleteInterface)
    ON_MESSAGE(WM_CLOSE_DOCUMENT, OnCloseDocumentMessage)
END_MESSAGE_MAP()

CLineDataView::CLineDataView()
{
    DeleteInterfaceMessage();
    BuildMessageMap();
}

CLineDataView::~CLineDataView()
{
    // The chart window is a member: it goes with the view's window.
    DestroyHandleNow();
}

CLineDataDoc* CLineDataView::GetLineDataDoc() const
{
    return dynamic_cast<CLineDataDoc*>(GetDocument());
}

CCurveChart* CLineDataView::DocumentChart() const
{
    const CLineDataDoc* doc = GetLineDataDoc();
    return doc != nullptr ? doc->GetChart(0) : nullptr;
}

void CLineDataView::CreateChartWindow(LPCTSTR lpszName)
{
    CRect client;
    GetClientRect(&client);
    m_wndChart.Create(lpszName, WS_VISIBLE, client, this, kControlId);
    if (m_wndChart.GetSafeHwnd() != nullptr)
        m_wndChart.MoveWindow(0, 0, client.Width() - 1, client.Height() - 1);
    kestrun::PumpMessages();
}

void CLineDataView::OnInitialUpdate()
{
    m_wndChart.ShowChart(DocumentChart());
    CreateChartWindow("Chart");
    // A stored document shows its file's chart as it was saved.
    if (CLineDataDoc* doc = GetLineDataDoc(); doc != nullptr && doc->IsNewMeasurement()) {
        const CString section = doc->GetDocTypeName();
        const auto type = static_cast<WORD>(GetProfileInt(section, kestrun::kChartFilterTypeKey, 0));
        const auto width = static_cast<SHORT>(GetProfileInt(section, kestrun::kChartFilterWidthKey, 1));
        try {
            GetViewChart().SetFilter(type, width);
        } catch (const CException&) {
            // A filter the chart refuses leaves it unfiltered.
        }
    }
    CDataView::OnInitialUpdate();
}

void CLineDataView::OnUpdate(CView* /*pSender*/, LPARAM lHint, CObject* /*pHint*/)
{
    if (lHint == CLineDataDoc::kHintStopped)
        StopTimer();
    if (lHint == CLineDataDoc::kHintSetUp)
        m_wndChart.ShowChart(DocumentChart());
    SetChartOption(1);
}

void CLineDataView::SetChartOption(int /*value*/)
{
    if (m_wndChart.GetSafeHwnd() != nullptr)
        m_wndChart.Invalidate(FALSE);
}

void CLineDataView::StartTimer()
{
    CLineDataDoc* doc = GetLineDataDoc();
    if (doc == nullptr)
        return;
    doc->StartRun([this](UINT period) {
        if (m_bTimerSet)
            KillTimer(CLineDataDoc::kTimerId);
        m_bTimerSet = SetTimer(CLineDataDoc::kTimerId, period) != 0 ? TRUE : FALSE;
        return m_bTimerSet != FALSE;
    });
}

void CLineDataView::StopTimer()
{
    if (!m_bTimerSet)
        return;
    KillTimer(CLineDataDoc::kTimerId);
    m_bTimerSet = FALSE;
    if (CLineDataDoc* doc = GetLineDataDoc()) {
        doc->m_nTimerID = 0;
        doc->Host().SetStatusText("Measurement stopped!");
    }
}

void CLineDataView::OnTimer(UINT_PTR nIDEvent)
{
    CLineDataDoc* doc = GetLineDataDoc();
    if (doc != nullptr && nIDEvent == CLineDataDoc::kTimerId && doc->m_nTimerID == CLineDataDoc::kTimerId) {
        doc->TimerStep();
        return;
    }
    CDataView::OnTimer(nIDEvent);
}

LRESULT CLineDataView::OnDeleteInterface(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    if (CLineDataDoc* doc = GetLineDataDoc()) {
        doc->StopMeasurement();
        PostMessage(WM_CLOSE_DOCUMENT);
    }
    return 0;
}

LRESULT CLineDataView::OnCloseDocumentMessage(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    if (CLineDataDoc* doc = GetLineDataDoc())
        doc->CloseWhenIdle();
    return 0;
}

void CLineDataView::OnStart()
{
    StartTimer();
}

void CLineDataView::OnUpdateStart(CCmdUI* pCmdUI)
{
    const CLineDataDoc* doc = GetLineDataDoc();
    pCmdUI->Enable(doc != nullptr && doc->IsNewMeasurement() && doc->m_nTimerID == 0 && !doc->m_bRunning);
}

void CLineDataView::OnStop()
{
    if (CLineDataDoc* doc = GetLineDataDoc())
        doc->StopMeasurement();
}

void CLineDataView::OnSingleStep()
{
    if (CLineDataDoc* doc = GetLineDataDoc())
        doc->SingleStep();
}

void CLineDataView::OnUpdateSingleStep(CCmdUI* pCmdUI)
{
    const CLineDataDoc* doc = GetLineDataDoc();
    pCmdUI->Enable(doc != nullptr && doc->IsNewMeasurement() && doc->m_TimeMarks.GetRunTime() == 0);
}

void CLineDataView::OnGraph()
{
    if (m_wndChart.GetSafeHwnd() == nullptr)
        return;
    const CCurveChartData before = GetViewChart().Data();
    m_wndChart.ShowProperties();
    CCurveChart& chart = GetViewChart();
    if (chart.GetCurveCount() > 0)
        WriteProfileInt(kLineChartSection, kStyleKey, static_cast<int>(chart.GetCurveStyle(0)));
    if (chart.Data().m_nFilterType != before.m_nFilterType || chart.Data().m_nFilterWidth != before.m_nFilterWidth)
        NotifyFilterChanged();
}

void CLineDataView::SaveChartFilter()
{
    const CLineDataDoc* doc = GetLineDataDoc();
    if (doc == nullptr)
        return;
    const CString section = doc->GetDocTypeName();
    const CCurveChartData& data = GetViewChart().Data();
    WriteProfileInt(section, kestrun::kChartFilterTypeKey, data.m_nFilterType);
    WriteProfileInt(section, kestrun::kChartFilterWidthKey, data.m_nFilterWidth);
}

void CLineDataView::NotifyFilterChanged()
{
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessage(RegisterWindowMessage("FILTER_CHANGED"), 0, reinterpret_cast<LPARAM>(GetDocument()));
}

void CLineDataView::OnDestroy()
{
    try {
        SaveChartFilter();
    } catch (const CException& e) {
        e.ReportError();
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONEXCLAMATION);
    }
    // The document's chart outlives no window that paints it.
    m_wndChart.ShowChart(nullptr);
    CDataView::OnDestroy();
}

void CLineDataView::OnSize(UINT nType, int cx, int cy)
{
    CDataView::OnSize(nType, cx, cy);
    if (m_wndChart.GetSafeHwnd() != nullptr)
        m_wndChart.MoveWindow(0, 0, cx, cy);
}

void CLineDataView::DrawChart(CDC* pDC, const CRect& rect)
{
    m_bPrint = 1;
    GetViewChart().DrawTo(pDC, rect);
    m_bPrint = 0;
}

void CLineDataView::OnEditCopy()
{
    CRect client;
    GetClientRect(&client);
    kestrun::CopyPictureToClipboard(client.Size(), [this](CDC* dc, const CRect& rect) { DrawChart(dc, rect); });
}

void CLineDataView::PrintPage(CDC* pDC, CPrintInfo* pInfo, const char* lpszPartnerClass)
{
    CRect page;
    GetClientRect(&page);
    if (pInfo != nullptr && !pInfo->m_rectDraw.IsRectEmpty())
        page = pInfo->m_rectDraw;
    const CString title = GetDocument() != nullptr ? GetDocument()->GetTitle() : CString();
    const int header = std::max(pDC->GetTextExtent("Xg").cy, 1) * 2;
    pDC->TextOut(page.left, page.top, title);
    pDC->MoveTo(page.left, page.top + header - 2);
    pDC->LineTo(page.right, page.top + header - 2);

    std::vector<CLineDataView*> parts{this};
    const CRuntimeClass* partner = CRuntimeClass::FromName(lpszPartnerClass);
    if (GetDocument() != nullptr && partner != nullptr)
        for (CView* view : GetDocument()->Views())
            if (view != this && view->IsKindOf(partner))
                if (auto* part = dynamic_cast<CLineDataView*>(view))
                    parts.push_back(part);
    const int top = page.top + header;
    const int height = std::max(page.bottom - top, 1) / static_cast<int>(parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
        const int y = top + static_cast<int>(i) * height;
        parts[i]->DrawChart(pDC, CRect(page.left, y, page.right, y + height));
    }
}

CAreaView::CAreaView() = default;

CAreaView::~CAreaView() = default;

void CAreaView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    PrintPage(pDC, pInfo, "CRGRView");
}
