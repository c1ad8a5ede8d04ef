#pragma once
// CDIBVwEx: the view of the image template and of the forms. Over the page
// of CDIBView it draws the areas of interest with the frame of the active
// one, the collected points, the measured objects by kind with their
// numbers, the mark of the current object and the document's arrows, lines
// and crosses; it draws rulers with calibrated axes around the image,
// zooms into the active area, shows the object a table row names
// ("GridSelected") and picks an object by a click, telling the table
// ("HIT_OBJECT").
//
// The form-parameter sheet, the threshold dialog, the calibration line,
// the class window, the manual counter, the perspective dialog, the two
// matching windows, focus, raster, integration and the illumination wizard
// are its tool windows; the areas of interest are drawn with the mouse and
// moved or resized by the tracker, and the line tools chart or part along
// a drawn line.

#include "imaging/ui/dibview.h"

#include "platform/ui/recttracker.h"

#include <memory>

class CAOIDlg;
class CAOIOwner;
class CBaseObj;
class CFocusDlg;
class CFormSheet;
class CIntegrationDlg;
class CInfoManualCount;
class CMatchDlg0;
class CMatchDlg8;
class CObjData;
class CPerspectiveTransformDlg;
class CPropertySheet;
class CRasterDlg;
class CScanDlg;
class CSettingWizard1;
class CSettingWizard2;
class CThresDlg;
class CThresOwner;
class CTextLabel;

class CDIBVwEx : public CDIBView
{
    DECLARE_DYNCREATE(CDIBVwEx)

public:
    CDIBVwEx();
    ~CDIBVwEx() override;

    void OnDraw(CDC* pDC) override;
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void GetAOIRectDevice(CAOI* pAOI, RECT& rect) override;
    void CancelTool() override;

    // The rulers' ranges from the page size, the calibration and the zoom.
    void UpdateRulerAxes();
    // The board's current profile becomes the application's grabber
    // profile, as the view closes.
    static void HandOverGrabberProfile(const FGBoard& board);
    // Ctrl+click on an object: path length over straight distance of the
    // longest stretch of its contour inside the active area; -1.0 when the
    // stretch's ends coincide. False, with a beep, without any area or
    // contour; false, silently, when the contour never crosses the area's
    // border.
    bool MeasureRoughness(const CObjData& object, double& roughness);

    CPoint m_ptLastScroll;               // of a video document
    COLORREF m_crManualCount = RGB(255, 0, 0);
    // "Scanning Control" of this view, while it is open.
    std::unique_ptr<CScanDlg> m_pScanDlg;

    static constexpr COLORREF kExcludedColour = 0x808000; // teal
    static constexpr COLORREF kAreaObjectColour = 0xFF0000; // blue
    static constexpr COLORREF kMarkerColour = RGB(255, 0, 0);

protected:
    // ---- drawing (dibvwexdraw.cpp) ------------------------------------------------------
    void DrawRulers(CDC* pDC);
    // The unit of the rulers in their top-left corner, inside the window.
    void DrawRulerUnit(CDC* pDC, const CRect& plot);
    void DrawAreas(CDC* pDC, CTextLabel& label);
    void DrawToolPoints(CDC* pDC);
    void DrawObjects(CDC* pDC, CTextLabel& label);
    void DrawMarks(CDC* pDC);
    // The document's scan-ray results (dibvwexscan.cpp).
    void DrawResults(CDC* pDC);
    // The tracker's frame around the active area, in window pixels.
    void DrawTracker(CDC* pDC);
    static void DrawOutline(CDC* pDC, const CObjData& object, COLORREF colour);

    // ---- messages ------------------------------------------------------------------------
    void OnDestroy() override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    void OnRButtonDown(UINT nFlags, CPoint point) override;
    BOOL OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll = TRUE) override;
    LRESULT OnDeleteDocument(WPARAM wParam, LPARAM lParam);
    LRESULT OnGridSelected(WPARAM wParam, LPARAM lParam);
    LRESULT OnGrabwellToAppEx(WPARAM wParam, LPARAM lParam);

    // A click that picks an object of the result table (drawing modes 4
    // and 128).
    void SelectObjectAt(UINT nFlags, CPoint ptImage);

    // ---- commands ------------------------------------------------------------------------
    void OnViewDirect();
    void OnUpdateViewDirect(CCmdUI* pCmdUI);
    void OnViewRulers();
    void OnUpdateViewRulers(CCmdUI* pCmdUI);
    void OnUpdateViewZoom(CCmdUI* pCmdUI);
    void OnViewMarkColor();
    void OnViewFont();
    void OnEditCopy();
    void OnUpdateEditCopy(CCmdUI* pCmdUI);
    void OnEditPaste();
    void OnUpdateEditPaste(CCmdUI* pCmdUI);
    void OnEditUndo();
    void OnUpdateEditUndo(CCmdUI* pCmdUI);
    // The tools and tool windows that come later.
    void OnUpdateNotAvailable(CCmdUI* pCmdUI);
    // "Search Edge": the thin part of the central object, drawn.
    void OnToolSearchEdge();
    // "Sca&n Continuous": opens the scanning control.
    void OnToolScanContinuous();

    // ---- class definition and manual counting (dibvwexinfo.cpp) ---------------------------
    // "C&lass Definition": the class window on the engine's classes,
    // drawing mode 4.
    void OnToolClassDefinition();
    // "&Count Manually": drawing mode 256 and the counter.
    void OnToolCountManually();
    // A click in drawing mode 4 without a result table: its colour.
    void LearnClassColourAt(CPoint ptImage);
    // A click in drawing mode 64: the contour of the object there is edited.
    void EditContourAt(CPoint ptImage);
    // A click in drawing mode 256: counted and all crosses drawn at once.
    void CountAt(CPoint ptImage);
    void DrawManualCount(CDC* pDC);
    // A picked object goes to the open class window, assigned to its
    // current class when it is a measured object or an ellipse.
    void TellClassWindow(CBaseObj& record);
    // The counter goes with the tool.
    void CloseInfoWindows();

    // ---- tool windows (dibvwextools.cpp) -------------------------------------------------
    // The modeless form-parameter sheet on a copy of the profile's form
    // thresholds; one at a time.
    void OnToolFormParameter();
    // A line drawn over a scale of known length calibrates the profile.
    void OnToolCalibration();
    // The modeless threshold dialog on a copy of the profile's colour
    // threshold; one at a time (dibvwexthres.cpp).
    void OnToolThresholds();
    // The active page's colour at an image pixel; false outside the page.
    bool ColourAt(CPoint ptImage, COLORREF& colour);
    // A colour picked in drawing mode 8 goes to the threshold dialog.
    void LearnThresholdAt(CPoint ptImage);
    // The threshold dialog's worker has a frame: taken on this thread.
    LRESULT OnThresLiveFrame(WPARAM wParam, LPARAM lParam);
    // 422 closed: after OK the profile takes the dialog's threshold over.
    void ThresholdsClosed(WPARAM wParam);
    // WM_USER+5 of a closing tool window: lParam its template, wParam 1
    // when it closed with OK.
    LRESULT OnToolWindowClosed(WPARAM wParam, LPARAM lParam);
    void CloseToolWindows();
    // "&Perspective Transformation": the corners clicked next go to the
    // dialog; one at a time (dibvwexperspective.cpp).
    void OnToolPerspective();
    // A click while the perspective dialog is open: its next corner,
    // clamped into the page; false when the dialog is not open.
    bool AddPerspectiveCorner(CPoint ptImage);

    // ---- focus, raster, integration, illumination (dibvwexmeasure.cpp) --------------------
    void OnToolFocus();
    void OnToolRaster();
    void OnToolIntegration();
    void OnUpdateToolIntegration(CCmdUI* pCmdUI);
    void OnToolCheckIllumination();
    // The close report of one of these windows; false when lParam names
    // none of them.
    bool MeasureWindowClosed(WPARAM wParam, LPARAM lParam);
    // All of them go with the view; a running focus or integration loop
    // ends after its pass.
    void CloseMeasureWindows();
    void CloseSetupWizard();

    // ---- areas of interest (dibvwexaoi.cpp) ----------------------------------------------
    void RegisterAOICommands();
    // "&Delete": the active area goes.
    void OnAOIDelete();
    // "&Modify": the modeless area dialog; one at a time.
    void OnAOIModify();
    // "L&ist": the modal list of the areas with their statistics.
    void OnAOIList();
    // "L&oad" and "&Save" of an area file; a damaged file keeps the areas.
    void OnAOILoad();
    void OnAOISave();
    void OnUpdateAOIPresent(CCmdUI* pCmdUI);
    void OnUpdateAOIAlways(CCmdUI* pCmdUI);
    // With "Add on" in the area dialog a click places a copy of the active
    // area; true when it did.
    bool PlaceAOICopyAt(CPoint ptImage);
    void RefreshAOIDialog();

    // ---- matching windows (dibvwexmatch.cpp) ---------------------------------------------
    void RegisterMatchCommands();
    // "&Pattern Matching" and "M&atch": one window each at a time.
    void OnToolPatternMatching();
    void OnToolMatch();
    void OnUpdateMatchTools(CCmdUI* pCmdUI);
    // Destroys both windows without close reports.
    void CloseMatchWindows();
    // ---- drawing tools (dibvwexareatools.cpp) ---------------------------------------------
    void RegisterDrawingTools();
    // 45010-45015: a figure drawn in the tool loop becomes an area of
    // interest; figures with a side of 0 add nothing, the extra area is
    // drawn but not counted.
    void OnAreaTool(UINT nID);
    void OnUpdateAreaTool(CCmdUI* pCmdUI);
    // The tool loop's mouse in drawing mode 1 (image points clamped into
    // the page); the rubber band is drawn over the view as the mouse goes.
    void CollectMouseMove(UINT nFlags, CPoint ptImage);
    void CollectButtonDown(CPoint point, CPoint ptImage);
    void CollectButtonUp(CPoint ptImage);
    void CollectRightButton(CPoint point, CPoint ptImage);
    CPoint ClampToPage(CPoint ptImage);

    // ---- the tracker of the active area (dibvwextracker.cpp) -------------------------------
public:
    // The tracker around m_rectTracker, as drawn.
    CRectTracker MakeTracker() const;

protected:
    // The tracker's rectangle from the active area, in window pixels
    // (empty without one).
    void SyncTrackerRect();
    // A click on the tracker moves (its middle) or resizes (a handle) the
    // active area inside the image. False when the view went away during
    // the drag: then nothing of it may be touched.
    bool TrackActiveArea(CPoint point);
    // The cursor follows the tracker's handles while no tool runs (the
    // window layer has no WM_SETCURSOR: the mouse moves tell).
    void UpdateTrackerCursor(CPoint point);
    // The results of the last two tracker moves (previous, current).
    int m_nMoveResults[2] = {0, 0};

    // ---- zoom and the line tools (dibvwexzoom.cpp, dibvwexlines.cpp) -----------------------
    void OnViewZoom();
    // "&Line Profile": the colours along a line drawn in the tool loop.
    void OnToolLineProfile();
    // "Draw &Line": the edges a line drawn over the active page crosses.
    void OnToolDrawLine();

public:
    // Tells the open pattern-matching window that the areas changed
    // (CMatchDlg notices).
    void NotifyPatternMatching(int nKind, int nWord);

    // Keys go to the area dialog too; Delete removes the active area.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // What the area dialogs reach of this view; declared first so that it
    // outlives them.
    std::unique_ptr<CAOIOwner> m_pAOIOwner;
    // The open area dialog, null when none is.
    std::unique_ptr<CAOIDlg> m_pAOIDlg;

    // The open form-parameter sheet, null when none is.
    std::unique_ptr<CFormSheet> m_pFormSheet;
    // What the threshold dialog reaches of this view; declared first so
    // that it outlives the dialog.
    std::unique_ptr<CThresOwner> m_pThresOwner;
    // The open threshold dialog, null when none is.
    std::unique_ptr<CThresDlg> m_pThresDlg;
    // The manual counter, null when none is open.
    std::unique_ptr<CInfoManualCount> m_pManualCountDlg;
    // The open perspective dialog, null when none is.
    std::unique_ptr<CPerspectiveTransformDlg> m_pPerspectiveDlg;
    // The open area pattern check and pattern-matching windows.
    std::unique_ptr<CMatchDlg0> m_pMatchDlg0;
    std::unique_ptr<CMatchDlg8> m_pMatchDlg8;
    // The focus, raster and integration windows, null when not open.
    std::unique_ptr<CFocusDlg> m_pFocusDlg;
    std::unique_ptr<CRasterDlg> m_pRasterDlg;
    std::unique_ptr<CIntegrationDlg> m_pIntegrationDlg;
    // The illumination wizard and its pages, null when not open.
    std::unique_ptr<CSettingWizard1> m_pSetupPage1;
    std::unique_ptr<CSettingWizard2> m_pSetupPage2;
    std::unique_ptr<CPropertySheet> m_pSetupSheet;

    // After the tracker moved the active area: the wizard's first page
    // measures over it.
    void RefreshSetupWizard();

protected:

    // A video document whose board shows no display.
    bool IsVideoWithoutDisplay() const;
    // The view's client area with its overlays as an image on the clipboard.
    BOOL CopyView();
    // Hands the board the new display rectangle of a video document.
    void UpdateBoardDisplay();

    static UINT s_msgDeleteDocument;
    static UINT s_msgGridSelected;

    DECLARE_MESSAGE_MAP()
};
