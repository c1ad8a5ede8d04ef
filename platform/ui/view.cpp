#include "platform/ui/view.h"

#include "platform/ui/document.h"
#include "platform/ui/frame.h"
#include "platform/ui/printing.h"
#include "platform/ui/windowdc.h"

#include <QPainter>
#include <QWidget>

IMPLEMENT_DYNAMIC(CView, CWnd)

namespace {

// A view as the print loop sees it.
class CViewPrintable : public IPrintable
{
public:
    explicit CViewPrintable(CView& view) : m_view(view) {}
    BOOL OnPreparePrinting(CPrintInfo* info) override { return m_view.OnPreparePrinting(info); }
    void OnBeginPrinting(CDC* dc, CPrintInfo* info) override { m_view.OnBeginPrinting(dc, info); }
    void OnPrepareDC(CDC* dc, CPrintInfo* info) override
    {
        m_view.OnPrepareDC(dc, info);
        // Without a known last page a view prints one page.
        if (info && info->GetMaxPage() == CPrintInfo::kUnknownMaxPage)
            info->m_bContinuePrinting = info->m_nCurPage == 1;
    }
    void OnPrint(CDC* dc, CPrintInfo* info) override { m_view.OnPrint(dc, info); }
    void OnEndPrinting(CDC* dc, CPrintInfo* info) override { m_view.OnEndPrinting(dc, info); }

private:
    CView& m_view;
};

} // namespace

namespace kestrun {

BOOL PrintViewToPdf(CView& view, const CString& path)
{
    CViewPrintable printable(view);
    return PrintToPdf(printable, path);
}

} // namespace kestrun

CView::CView() = default;

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CHILD;
    return TRUE;
}

int CView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (QWidget* w = GetWidget())
        w->setFocusPolicy(Qt::StrongFocus);
    auto* context = lpCreateStruct ? static_cast<CCreateContext*>(lpCreateStruct->lpCreateParams) : nullptr;
    if (context && context->m_pCurrentDoc)
        context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy()
{
    if (CFrameWnd* frame = GetParentFrame(); frame && frame->GetActiveView() == this)
        frame->SetActiveView(nullptr, FALSE);
    CWnd::OnDestroy();
}

void CView::PostNcDestroy()
{
    delete this;
}

LRESULT CView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITIALUPDATE) {
        OnInitialUpdate();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return (m_pDocument && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) ? TRUE : FALSE;
}

void CView::OnPaint()
{
    QWidget* client = GetClientWidget();
    if (client == nullptr)
        return;
    CPaintDC dc(this);
    dc.Painter().fillRect(client->rect(), client->palette().base());
    OnPrepareDC(&dc, nullptr);
    OnDraw(&dc);
}

void CView::OnPrepareDC(CDC*, CPrintInfo*)
{
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*)
{
    Invalidate(TRUE);
}

void CView::OnActivateView(BOOL bActivate, CView* pActivateView, CView*)
{
    if (bActivate && pActivateView == this) {
        if (QWidget* w = GetWidget(); w && w->isVisible() && !w->hasFocus())
            w->setFocus(Qt::OtherFocusReason);
    }
}

void CView::OnActivateFrame(UINT, CFrameWnd*)
{
}

void CView::OnSetFocus(CWnd* pOldWnd)
{
    // A view that gets the focus becomes its frame's active view.
    if (CFrameWnd* frame = GetParentFrame(); frame && frame->GetActiveView() != this)
        frame->SetActiveView(this);
    CWnd::OnSetFocus(pOldWnd);
}

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo)
{
    return DoPreparePrinting(pInfo);
}

BOOL CView::DoPreparePrinting(CPrintInfo*)
{
    // The print loop shows the print dialog after this, unless the job is direct.
    return TRUE;
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*)
{
}

void CView::OnPrint(CDC* pDC, CPrintInfo*)
{
    OnDraw(pDC);
}

void CView::OnEndPrinting(CDC*, CPrintInfo*)
{
}

void CView::OnFilePrint()
{
    CViewPrintable printable(*this);
    kestrun::PrintWithDialog(printable, GetWidget());
}

void CView::OnFilePrintPreview()
{
    CViewPrintable printable(*this);
    kestrun::ShowPrintPreview(printable, GetWidget());
}
