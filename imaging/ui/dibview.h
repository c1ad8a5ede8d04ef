#pragma once
// CDIBView: the scrolling window of an image document. It shows the active
// page either 1:1 with scroll bars or shrunk to the window, keeps ruler
// margins around the image when asked, shows the board's live picture for
// a video document, marks a measured object of the bound result table and
// scrolls it into view, carries the object commands of that table (add,
// delete, include, exclude, cut) and copies and pastes the page through
// the clipboard. CDIBVwEx adds the overlays, the rulers' axes and the mouse.
//
// Image and window coordinates meet only through OnPrepareDC: a context
// prepared like the view turns image pixels into window pixels and back
// (ImageToClient, ClientToImage).

#include "series/trackchart.h"

#include "platform/core/gdi.h"
#include "platform/ui/persistentframe.h"
#include "platform/ui/scrollview.h"

#include <memory>
#include <vector>

class CAOI;
class CAOIDoc;
class CDIB;
class CDIBDoc;
class CObjDataDoc;
class FGBoard;
class CInfoLearnClass;
class CInfoLearnThres;

class CDIBView : public CScrollView
{
    DECLARE_DYNCREATE(CDIBView)

public:
    // Reads "Font", "ShrinkToFit", "DrawRulers" and "MarkRectColor" from
    // the profile section "DIBView".
    CDIBView();
    // Writes "Font" back and tells the main window that the view is gone.
    ~CDIBView() override;

    CDIBDoc* GetDocument() const;

    // ---- operations of other windows ------------------------------------------------
    // Binds the board's live display to this view; FALSE without effect
    // when the document is no video document or the board refuses.
    BOOL ConnectVideo();
    // Makes record nIndex of the result table current, marks it and
    // scrolls it into view; -1 removes the mark.
    void ShowObject(int nIndex);
    // The rectangle the image is shown in, in window pixels.
    void GetDisplayRect(RECT& rect) const;
    // The document's drawing mode becomes colour picking (8) or none.
    void SetPickMode(BOOL bPick);
    // Shrinks the view to fit and draws it into the context.
    void DrawShrunk(CDC* pDC);
    // The active page to the clipboard as an image; FALSE when the
    // clipboard cannot take it (said in a message box).
    BOOL CopyPage();
    // An image on the clipboard replaces the active page; anything else
    // leaves it and says so.
    void PastePage();

    // A drawing tool's loop runs.
    bool IsToolLoopRunning() const { return m_nToolLoop != 0; }
    // An area's rectangle in window pixels (CDIBVwEx); nothing here.
    virtual void GetAOIRectDevice(CAOI* pAOI, RECT& rect);
    // Ends the running tool: the "Add Object" and class windows close, a
    // threshold learning (64) ends as finished (128), any other drawing
    // mode becomes 0.
    virtual void CancelTool();

    // The "Add Object" window of a table of ellipses, while it is open.
    std::unique_ptr<CInfoLearnThres> m_pLearnThresDlg;
    // The class-definition window, while it is open (CDIBVwEx opens it).
    std::unique_ptr<CInfoLearnClass> m_pLearnClassDlg;

    // ---- coordinates ------------------------------------------------------------------
    // Through a context prepared like the view.
    CPoint ImageToClient(CPoint point);
    CPoint ClientToImage(CPoint point);
    CRect ImageToClient(const CRect& rect);

    // ---- the view's parts of the class library ------------------------------------------
    void OnDraw(CDC* pDC) override;
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    void OnInitialUpdate() override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    // ---- state ------------------------------------------------------------------------
    BOOL m_bShrinkToFit = TRUE;    // the page scaled to the window; else 1:1
    CSize m_sizeImage;             // the size last taken from the document
    BOOL m_bUnitMapping = FALSE;   // every context maps the image size onto itself
    BOOL m_bZoom = FALSE;          // zoom into the active area (CDIBVwEx)
    double m_dDisplayOffsetX = 0.0; // of the zoomed display, reset per preparation
    double m_dDisplayOffsetY = 0.0;
    double m_dDisplayScaleX = 1.0;
    double m_dDisplayScaleY = 1.0;
    BOOL m_bShowObjects = TRUE;
    CRect m_rectTracker;           // the active area's frame, window pixels
    CRect m_rectMark;              // the marked object, image pixels (edges included)
    int m_nMarkRectColor = 0;
    LOGFONT m_lfText{};            // texts drawn into the image
    COLORREF m_crText = RGB(255, 0, 0);
    CTrackChart m_Chart;           // whose axes are the rulers
    BOOL m_bDrawRulers = FALSE;
    int m_nMarginLeft = 0;
    int m_nMarginTop = 0;
    int m_nMarginRight = 0;
    int m_nMarginBottom = 0;
    BOOL m_bEmbedded = FALSE;      // a form made the view inside itself
    UINT_PTR m_nTimer = 0;         // the frame-rate display of a video document

    // The document's drawing-mode words.
    static constexpr int kDrawNone = 0;
    static constexpr int kDrawCollecting = 1;
    static constexpr int kDrawClassDefinition = 4;
    static constexpr int kDrawPickColour = 8;
    static constexpr int kDrawLearnThresholds = 64;
    static constexpr int kDrawFinished = 128;
    static constexpr int kDrawManualCount = 256;

    // The ruler margins.
    static constexpr int kRulerLeft = 35;
    static constexpr int kRulerTop = 30;
    static constexpr int kRulerRight = 15;
    static constexpr int kRulerBottom = 10;
    static constexpr UINT_PTR kFrameRateTimer = 1;
    static constexpr UINT kFrameRatePeriod = 1000;

protected:
    // The bound object table; null when none is bound.
    CObjDataDoc* GetResultDoc() const;
    // The engine's areas of interest; null without an engine.
    CAOIDoc* GetAOIDoc() const;
    // The board for a video document; null otherwise.
    FGBoard* VideoBoard() const;
    // The page drawn: the preview page when there is one, else the active
    // page; null without pages.
    CDIB* PageToDraw() const;
    // The margins as DrawRulers says.
    void ResetMargins();
    // A context prepared like the view, for coordinates only.
    void PrepareMappingDC(CDC& dc);
    // Marks (or unmarks) a rectangle of image pixels for repainting.
    void InvalidateImageRect(const CRect& rect, int nInflate);
    void SetStatusText(const CString& text);
    // The command sent to every window below the main window.
    static void SendToAllWindows(UINT message, WPARAM wParam, LPARAM lParam);

    // The tool loop (dibviewtoolloop.cpp): the document's point set starts
    // in the point mode (CPoints), the mouse is captured and the drawing
    // mode is 1 until the mouse handlers or a cancel end it; then the
    // capture goes, the drawing mode before the loop comes back and the
    // points of a complete figure are handed out (for free hand the
    // document's polygon; none for an incomplete one). A tool started
    // while one runs ends that one without a result. False when the view
    // went away meanwhile: the caller must then not touch the view. A
    // prompt shows as the view's tool tip while the loop runs.
    bool CollectPoints(int nPointMode, std::vector<CPoint>& points, const CString& strPrompt = CString());
    // The running loop (0: none), the loops so far and the drawing mode
    // the running loop puts back.
    int m_nToolLoop = 0;
    int m_nToolLoops = 0;
    int m_nToolSavedMode = 0;

    // ---- handlers -------------------------------------------------------------------------
    void OnDestroy() override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnSize(UINT nType, int cx, int cy) override;
    LRESULT OnToDIBView(WPARAM wParam, LPARAM lParam);
    LRESULT OnGrabwellToApp(WPARAM wParam, LPARAM lParam);
    LRESULT OnGrabber(WPARAM wParam, LPARAM lParam);

    // The object commands (dibviewobjects.cpp).
    void OnObjectAdd();
    void OnUpdateObjectAdd(CCmdUI* pCmdUI);
    void OnObjectDelete();
    void OnUpdateObjectDelete(CCmdUI* pCmdUI);
    void OnObjectShow();
    void OnUpdateObjectShow(CCmdUI* pCmdUI);
    void OnObjectExclude();
    void OnUpdateObjectExclude(CCmdUI* pCmdUI);
    void OnObjectInclude();
    void OnUpdateObjectInclude(CCmdUI* pCmdUI);
    void OnObjectAddCut();
    void OnUpdateObjectAddCut(CCmdUI* pCmdUI);
    void OnObjectDeleteCut();
    void OnUpdateObjectDeleteCut(CCmdUI* pCmdUI);
    void OnCancelTool();

    // The table is one of fitted ellipses (record type 13).
    bool IsEllipseTable() const;
    // The current record exists and its excluded word is bExcluded.
    bool CurrentObjectExcluded(bool bExcluded) const;

    // Messages registered by name, shared by every view.
    static UINT s_msgToDIBView;
    static UINT s_msgGrabwellToApp;
    static UINT s_msgGrabber;
    const UINT m_nHitObjectMsg;

    // The frame's placement, kept under "DIBView" ("VideoView" for live
    // video) unless a form holds the view; its default rectangle also
    // decides the fitting of the frame to the image.
    CPersistentFrame m_placement;
    CRect m_rectDefaultPlacement{10, 10, 500, 400};

    DECLARE_MESSAGE_MAP()

private:
    void ReadProfile();
    void WriteProfile();
    // Fits the parent frame to the image after the first update.
    void FitFrame();
    void StartVideo();
    // The frame-rate text of the status bar, when the board has one.
    void ShowFrameRate();
};
