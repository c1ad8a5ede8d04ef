#pragma once
// CDIBDoc: the document of an image window. It owns an ordered list of
// image pages with one active page, an undo stack of page copies, and can
// act as a live video document fed by the frame-grabber board. It may bind
// a result document - an object table shown over the image - which it
// points to and does not own.
//
// Every access to the active page clamps the active index to the page
// count minus one first. A video document drives the board; the board
// writes its frames into the page a view connected to it, so the document
// holds the board's buffer while it changes such a page and disconnects
// the display before it frees one.
//
// The image commands (CDIBDocEx) build on this class; the engine and the
// template holder come from the application through CAppServices.

#include "analysis/points.h"
#include "objectmodel/rubberpolygon.h"
#include "outside/pixmere/dib.h"
#include "platform/core/arrays.h"
#include "platform/ui/document.h"

#include <memory>
#include <vector>

class CAOIDoc;
class CBV;
class CResultTable;
class CSRC;
class FGBoard;

class CDIBDoc : public CDocument
{
    DECLARE_DYNCREATE(CDIBDoc)

public:
    // Drawing-mode word: a tool has finished or a result document is bound.
    static constexpr int kDrawModeResult = 128;

    CDIBDoc();
    ~CDIBDoc() override;
    CDIBDoc(const CDIBDoc&) = delete;
    CDIBDoc& operator=(const CDIBDoc&) = delete;

    // ---- the application's parts ---------------------------------------
    // The analysis engine and the holder of the result-document templates;
    // null while the application has none.
    virtual CBV* GetEngine();
    virtual CSRC* GetTemplates();
    // The engine's area-of-interest document; null without an engine.
    CAOIDoc* GetDataDoc();

    // ---- pages ------------------------------------------------------------
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    // CInvalidArgException outside 0..count-1.
    CDIB* GetPage(int nIndex) const;
    // The active page; null when there are no pages.
    CDIB* GetActiveDIB();
    // The active index after clamping.
    int GetActiveIndex();
    void SetActiveIndex(int nIndex) { m_nActivePage = nIndex; }
    // Appends a page (not made active) and returns it.
    CDIB* AddPage(std::unique_ptr<CDIB> page);
    // Deletes a page: 1 when deleted; 0 and a message box when only one
    // page is left. CInvalidArgException for an index outside the list.
    int DeletePage(int nIndex);
    // (width, height) of the active page; CInvalidArgException without pages.
    CSize GetPageSize();
    // The board's live size for a video document while live video runs,
    // else GetPageSize.
    CSize GetImageSize();
    // The page size after the last open or grab; (-1, -1) before.
    CSize GetLastImageSize() const { return m_lastImageSize; }

    // ---- undo ---------------------------------------------------------------
    // Pushes a copy of the active page when bForce or when the stack is
    // empty, so that undo returns to the image before the first change
    // since the last undo or clear.
    void PushUndo(BOOL bForce);
    enum UndoMode : int
    {
        undoPop = 0,    // the top back into the active page, then dropped
        undoRevert = 1, // the top back into the active page, kept
        undoClear = 2,  // every entry dropped
    };
    // Nothing when the stack is empty.
    void PopUndo(int nMode);
    int GetUndoCount() const { return static_cast<int>(m_undo.size()); }
    // The step on top of the stack was pushed for the owner's results (a
    // search that painted the page).
    void MarkUndoStep(CDocument* pOwner);
    // Takes back the top step when the owner pushed it and nothing came
    // after it; TRUE when it did. Never an earlier step of the user's.
    BOOL PopUndoStepOf(CDocument* pOwner);

    // ---- views ----------------------------------------------------------------
    // The embedded view (a form's image view outside the view list) is
    // updated and repainted; without one, every view is updated.
    void UpdateImageViews(CView* pSender = nullptr, LPARAM lHint = 0, CObject* pHint = nullptr);
    // TRUE: UpdateImageViews. FALSE: the first view of the list and the
    // embedded view are repainted without erasing.
    void RedrawImage(BOOL bAll);
    // Takes a view out of the view list without telling anyone (a form that
    // keeps the view for itself); the view still shows this document.
    void DetachView(CView* pView);
    void SetEmbeddedView(CView* pView) { m_pEmbeddedView = pView; }
    CView* GetEmbeddedView() const { return m_pEmbeddedView; }

    // ---- threshold preview -----------------------------------------------------
    // An 8-bit page of the active page's size, made on first use; null
    // without an active image.
    CDIB* EnsurePreviewImage();
    CDIB* GetPreviewImage() const { return m_pPreview.get(); }
    void DeleteOwnedObject();

    // ---- files -------------------------------------------------------------------
    // Reads an image file into the active page, or into a new page in
    // append mode. A failure keeps every page and says so.
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
    // Writes the active page: TIFF when the path ends in "tif" (any case),
    // else by the extension. A failed save leaves an existing file as it
    // was, says so and keeps the modified flag.
    BOOL OnSaveDocument(LPCTSTR lpszPathName) override;
    // A video document keeps its double-grabbing choice in the profile.
    void OnCloseDocument() override;
    // A page from an acquisition source's transfer (a packed bitmap; the
    // handle stays the caller's): into the last page of a video document
    // with several pages, else into the active page (undo brings the old
    // one back), else as a new page. FALSE, and the pages unchanged, when
    // the bitmap cannot be read.
    BOOL AddTwainImage(HGLOBAL hDIB);
    // The open dialog; TRUE when a file was chosen (opened or not).
    BOOL OnLoadImageFile(BOOL bAppend);

    // ---- the result document -------------------------------------------------------
    // Opens an object-data file into the bound result document, binding a
    // new one from the template holder when none is bound (grid frame or
    // ordinary frame); FALSE when no result document can be had.
    BOOL LoadObjectData(LPCTSTR lpszPathName, BOOL bGridFrame);
    CDocument* GetResultDoc() const { return m_pResultDoc; }
    // The bound document's table; null when none is bound or it is no table.
    CResultTable* GetResultTable() const;
    // Binds a document (null unbinds); a bound one sets the drawing mode.
    void SetResultDoc(CDocument* pDoc);
    // A document is going away ("DELETE_DOCUMENT"): every pointer to it is
    // dropped.
    void ReleaseDocument(CDocument* pDoc);

    // ---- video ----------------------------------------------------------------------
    // Makes this a video document with a 640 x 480, 24-bit first page.
    BOOL InitVideoPages();
    // Live video starts: follows the board's size, then starts the board.
    void SyncVideoSize();
    // One still frame from the board into the active page (video documents
    // only). FALSE, with the document left open, when there is no image to
    // grab into or the board delivers none.
    BOOL Grab(BOOL bUpdate);
    // Grab unless the board runs live; TRUE when live or grabbed.
    BOOL GrabIfNotLive();
    // The "Continuous Grabbing" command: while the board runs live, a
    // still ends it (as a snapshot does); otherwise live video starts.
    void ToggleContinuousGrabbing();
    // Live video stops and the page keeps the frame it showed, so that
    // what works on the page sees the picture on the screen. FALSE when
    // nothing ran live.
    BOOL FreezeLiveVideo();
    BOOL IsVideo() const { return m_bVideo; }
    // TRUE for single grabs, FALSE while the board runs live.
    BOOL IsStillsMode() const { return m_bStillsMode; }

    // ---- state the views and tools share ---------------------------------------------
    BOOL m_bAppend = FALSE;     // opening and grabbing add a page
    int m_nDrawMode = 0;        // overlay mode word of the views
    CPoints m_Points;           // the figure the mouse tools collect
    BOOL m_bSilent = FALSE;     // save errors go to the status bar
    CDocument* m_pProfileChart = nullptr; // intensity profile chart, not owned
    int m_nFilterIndex = 1;     // last filter of the load dialog
    BOOL m_bDoubleGrabbing = FALSE; // two-channel grabs on boards of type 2
    int m_nAOIMatchMethod = 0;
    double m_dAOIMatchThreshold = 0.7;
    int m_nCheckBackground = 0;  // 1: the database forms compare the background before a count
    BOOL m_bFreshImage = FALSE; // reset after every new image
    // Geometric results of the last line, square and edge filters.
    CArray<CPoint, CPoint> m_arrPoints1;
    CArray<CPoint, CPoint> m_arrPoints2;
    CArray<CPoint, CPoint> m_arrPoints3;
    CRubberPolygon m_RubberPolygon;

protected:
    void OnFileSave();
    void OnFileSaveAs();
    // The save dialog; a file saved becomes the document's name and path.
    void SaveThroughDialog(LPCTSTR lpszFilter, LPCTSTR lpszTitle);
    // Copies size, format and pixels, holding the board's buffer when the
    // board writes into either page.
    void CopyPage(CDIB& target, const CDIB& source);
    void SetStatusText(LPCTSTR lpszText);
    // The engine's area-of-interest document follows the image size.
    void PropagateImageSize(CSize size);
    void SetLastImageSize(CSize size) { m_lastImageSize = size; }

    DECLARE_MESSAGE_MAP()

    // The board while this is a video document; null otherwise (only a
    // video document's pages are ever connected to it).
    FGBoard* VideoBoard() const;

private:
    void ClampActiveIndex();
    // Frees a page, disconnecting the board's display from it first.
    void FreePage(std::unique_ptr<CDIB> page);
    // The acquisition of Grab; FALSE when the board delivered nothing.
    BOOL Acquire(FGBoard& board, BOOL& bRedraw);
    void ClearContents();

    std::vector<std::unique_ptr<CDIB>> m_pages;
    std::vector<std::unique_ptr<CDIB>> m_undo; // top = last
    // The document whose results pushed the step at this depth.
    CDocument* m_pUndoOwner = nullptr;
    size_t m_nUndoOwnerDepth = 0;
    std::unique_ptr<CDIB> m_pPreview;
    int m_nActivePage = 0;
    CDocument* m_pResultDoc = nullptr; // not owned
    CView* m_pEmbeddedView = nullptr;
    BOOL m_bVideo = FALSE;
    BOOL m_bStillsMode = TRUE;
    CSize m_lastImageSize{-1, -1};
    // The file the last save wrote; Save writes there again while it is the document's path.
    CString m_strSavedPath;
};
