#pragma once
// CView: a window that shows a document. Views are created by their frame
// from the document template (CCreateContext), join their document in
// OnCreate and delete themselves when their window is destroyed. Painting
// goes OnPrepareDC, then OnDraw, with a CDC over the widget; printing
// calls the same OnDraw through OnPrint.

#include "platform/ui/wnd.h"

class CDocument;
class CPrintInfo;

class CView : public CWnd
{
    DECLARE_DYNAMIC(CView)

public:
    CView();
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }

    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
    virtual void OnInitialUpdate();
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    virtual void OnActivateFrame(UINT nState, CFrameWnd* pFrameWnd);

    // Printing: the print loop asks these in this order for each job.
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    // Shows the print dialog (unless the job is direct) and answers whether
    // to print.
    BOOL DoPreparePrinting(CPrintInfo* pInfo);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // A document change: lHint and pHint tell what changed (0 and null:
    // everything). The default repaints the view. Public, because a
    // document also updates views it shows outside its own view list.
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);

protected:
    friend class CDocument;

    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnDestroy() override;
    void OnPaint() override;
    void PostNcDestroy() override;
    bool WantsPaint() const override { return true; }
    void OnSetFocus(CWnd* pOldWnd) override;

    void OnFilePrint();
    void OnFilePrintPreview();

    CDocument* m_pDocument = nullptr;
};

namespace kestrun {
// Prints the view into a PDF file as the print command would, without a
// dialog; FALSE when OnPreparePrinting cancels.
BOOL PrintViewToPdf(CView& view, const CString& path);
} // namespace kestrun

// The document template's parts for a frame that creates its view.
class CDocTemplate;
class CCreateContext
{
public:
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};
