#pragma once
// CDIBDocEx: the image document of the image template. It carries the menu
// commands that change or analyse the active page, runs the configured
// image-filter chain, counts and measures the objects of the page into its
// result table and classifies them, searches a colour threshold
// automatically, and serves the matching and check tools.
//
// The filter chain works on the page only for the analysis: the
// unfiltered page is kept apart and put back afterwards, so a count never
// touches the undo stack and the user's own edits stay. Commands that
// change pixels push one undo copy first (only onto an empty stack).
// Commands whose windows or engine steps are not part of this build stay
// disabled.

#include "imaging/dibdoc.h"

#include "platform/automation/dispatchable.h"
#include "platform/core/geometry.h"

#include <opencv2/core/mat.hpp>

#include <functional>
#include <memory>
#include <vector>

class CAOI;
class CClasses;
class CInfoDlg;
class CCmdUI;
class CObjDataBase;
class CResultTable;
class CRunDiagnostics;

class CDIBDocEx : public CDIBDoc, public kestrun::CDispatchable
{
    DECLARE_DYNCREATE(CDIBDocEx)

public:
    // Reads the filter settings ("ImageFilter"), the AOI match settings
    // ("AOIMatch") and the edge filter ("Randfilter", written back at once).
    CDIBDocEx();
    // Writes the filter and AOI match settings back.
    ~CDIBDocEx() override;

    // ---- the filter chain ---------------------------------------------------------
    // Runs the engine's image-filter steps on the active page, in order.
    // FALSE when there are no steps (or no engine or page). Steps that are
    // not part of this build say so once per run and are passed over.
    BOOL RunImageFilter();

    // ---- objects --------------------------------------------------------------------
    // "Count and measure objects": the result table (made when there is
    // none) is emptied, the filter chain runs on the page, the engine counts
    // the active area (each sub-area when it has any), the page gets its
    // unfiltered pixels back, and with classes every object is classified.
    // Steps of the profile the engine could not make are told once.
    void SearchObjects();
    // Region search of the filtered page into the result table; the
    // filtered, painted page stays (one undo step), and a repeated search
    // starts again from the page it was run on.
    void SearchBlobs();
    // The nearest class whose every feature the record carries lies within
    // three standard deviations (smallest mean distance, the later class
    // on a tie) gives the record its id, name and colour; no such class:
    // 0, "NC" and 255.
    static void ClassifyObject(const CClasses& classes, CObjDataBase& record);
    // "Search Edge": the thin part that leaves the central object of the
    // active page, as a new scan-ray result of the document (drawn by the
    // views); null without a page or an object.
    CObject* SearchThinPart();
    // The scan-ray results of the document, drawn over the image.
    const std::vector<std::unique_ptr<CObject>>& GetResults() const { return m_arrResults; }

    // ---- areas and defects ----------------------------------------------------------
    // "&Measure OIs": one statistics row per area of interest (the whole
    // image when there is none) with a colour class per learned class,
    // added to the bound table (a new table when none is bound).
    void MeasureAreas();
    // "Search &Defects": the place inside the active area (or the whole
    // image) whose small neighbourhood departs most from its wide
    // surroundings, in channel spreads of the area, as one defect row of a
    // new table.
    void SearchDefects();

    // ---- charts (dibdocexcharts.cpp) ----------------------------------------------------
    // With a non-zero argument: the red, green and blue histograms of the
    // active area (the whole page without one) in the histogram window.
    void ShowHistogram(int nShow);
    // The intensity profile along the active parallelogram area in the
    // profile chart, made on first use; without bCreate only a chart that
    // exists is refreshed.
    void ShowIntensityProfile(BOOL bCreate);
    // The intensity profile along the line in the profile chart, made on
    // first use.
    void ShowLineProfile(CPoint from, CPoint to);

    // ---- automatic threshold ------------------------------------------------------------
    // Moves the engine's threshold step by step and keeps the one whose
    // objects' mean area (within the learned area limits of the class)
    // comes nearest to 0.7 of the learned mean area. Pushes one undo copy
    // (the page before the search) and leaves the page as the search found
    // it (even rows doubled for field images). FALSE, and nothing changed,
    // without a class that learned areas.
    BOOL SearchAutoThreshold();

    // ---- operations of the matching and check tools ----------------------------------------
    // Difference between the active page and a reference page inside the
    // area, by measure code (17, 33, 49, 65: texture values 1-4; 18, 34:
    // mean and spread of a channel, 4 the channel darkest on the page) and
    // channel; 0 for a deactivated area or another code.
    double CompareWithReference(CAOI* aoi, CDIB* reference, int code, int channel);
    // The area's pattern searched around the rectangle's top-left corner;
    // position receives the match. -1.0 for a pattern index it has not.
    double MatchPattern(const CRect& rect, CAOI* aoi, int pattern, int dx, int dy, CPoint& position);
    // The first line (column for direction 0, row otherwise) of the area
    // that objects cover to more than 90 percent after one covered to 10
    // percent or less; the first point list gets a line across the whole
    // image there. Without such a line edge stays as it was.
    void FindCoverageEdge(CAOI* aoi, CPoint& edge, int direction);
    // The largest of the mean channel differences between the area's
    // border and its first pattern; -1.0 without a pattern.
    double GetBorderScore(CAOI* aoi);
    // Tries the area at every offset up to range (in steps) and leaves it
    // where the border score is smallest; returns that score, -1.0 without
    // a pattern. A step below 1 is an invalid argument.
    double FindBestPosition(CAOI* aoi, int range, int step);
    // The start of a profile: along the middle row of the whole image (for
    // the vertical search, direction 0, which looks for a column) or down
    // its middle column (direction 1, a row), the first pixel whose grey
    // value rises above threshold after one lay below lowThreshold. FALSE,
    // and start unchanged, when there is none.
    BOOL FindProfileStart(int direction, double threshold, double lowThreshold, CPoint& start);

    // ---- the script object "Bild" (dibdocexscript.cpp) ---------------------------------------
    const kestrun::CDispatchMap& GetDispatchMap() const override;
    // The active page's number from 1; 0 without a page.
    long GetBild();
    void Mirror();
    void Snapshot();
    void LoadImage(const CString& path);
    // Raises a script error: no device context is known by a number.
    void Show(long hdc);
    // "Erode" or "Dilate" without an undo step; other words do nothing.
    void EdgeFilter(const CString& what);
    // "Smooth", "Median" or "Laplace" without an undo step.
    void Filter(const CString& what);
    // "Count", "Blob" or "AOI"; TRUE whatever the word.
    BOOL Measure(const CString& what);
    // Moves the active area within the image; TRUE.
    BOOL MoveAOI(short dx, short dy);

    // ---- camera calibration (dibdocexcalibrate.cpp) -------------------------------------------
    // A still frame of the board as a new top-down BGR image owned by the
    // caller; empty when the board delivers none.
    static cv::Mat GrabToIplImage();
    // "Calibrate Camera": fits the lens from chessboard views of the board
    // and stores it in the calibration file. TRUE when calibrated, or when
    // an existing calibration is kept (answered Cancel); FALSE, and the
    // file unchanged, when it failed.
    BOOL CalibrateCamera();

    // "Randfilter": the edge filter's columns and strength.
    int m_nRandLeft = 230;
    int m_nRandRight = 700;
    int m_nRandStrength = 5;

protected:
    // ---- commands ----
    void OnLoad();
    void OnOpenObjectData();
    void OnSoften();
    void OnSharpen();
    void OnSobel();
    void OnMedian();
    void OnDilate();
    void OnErode();
    void OnMorphology();
    void OnBinarize();
    void OnUpdateBinarize(CCmdUI* pCmdUI);
    void OnEdge();
    void OnLines();
    void OnSquares();
    void OnColorChannel();
    void OnAutoThresholds();
    void OnRunMacro();
    void OnRunFilters();
    void OnSearchObjects();
    void OnSearchBlobs();
    void OnInverse();
    void OnBrighter();
    void OnDarker();
    // The watershed separation lines of touching objects painted into the
    // active page (0xFEFEFE) as one undo step.
    void OnRunWatershed();
    void OnRemoveMarkedPixels();
    void OnDeinterlace();
    void OnMirror();
    void OnFlip();
    void OnMeasureAreas();
    void OnSearchDefects();
    void OnHistogram();
    void OnScanParallelogram();
    // The profile's parameter dialogs (dibdocexparams.cpp).
    void OnSelection();
    void OnSmoothContour();
    void OnFilterSettings();
    // The profile's settings report in a new text document.
    void OnShowParameter();
    void OnEnhancement();
    void OnCalibrateCamera();
    void OnUpdateCalibrateCamera(CCmdUI* pCmdUI);
    // Commands whose windows or engine steps are not part of this build.
    void OnUpdateNotAvailable(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()

private:
    // The filter steps (dibdocexfilter.cpp). Each works on the active page.
    // The green channel of a colour page (false: a grey page, or no engine).
    bool SplitGreenChannel(CDIB& page, CDIB& green);
    void FilterGreenChannel(CDIB& page);
    void FilterThresholdMask(CDIB& page);
    // Each sub-area of the active area black and white by the threshold.
    void FilterSubAreas(CDIB& page);
    void FilterContrastMarks(CDIB& page);
    // The engine's perspective correction of the active page into the
    // second page (appended when missing), which becomes active; false,
    // told once per run, when it cannot (dibdocexperspective.cpp).
    bool FilterPerspective();
    // Erosion and dilation of the objects: dark objects on a bright ground
    // grow when the image is eroded.
    void MorphObjects(CDIB& page, bool erode);

    // A pixel command: wait cursor, undo step, the change, redraw.
    template <class Change>
    void ChangeActivePage(Change change);
    // The engine's area-of-interest document knows the active page's size.
    void PrepareAreas();
    // Whether the active area is laid out in sub-areas (raster cells).
    bool ActiveAreaHasSubAreas();
    // The bound table, or a new one from the template holder (FALSE:
    // none to be had); bNew tells whether it was made now.
    CResultTable* EnsureResultTable(bool& bNew);
    // The table a search fills, emptied (nullptr: no engine, no page or
    // no table).
    CResultTable* PrepareResultTable(bool& bNew);
    // Frame for a new table, views of an existing one.
    void ShowResultTable(bool bNew);
    // A new table from the template holder, bound as the result document
    // (nullptr: none to be had).
    CResultTable* NewTableDocument();
    // Classifies the objects of kind 5 (and 13) when the engine has classes.
    void ClassifyResults(CResultTable& table, bool bContourSegments);
    // What the engine's last run could not do: one message and a line in
    // the status bar; nothing when it did everything asked.
    void ShowRunDiagnostics(const CRunDiagnostics& notes);
    // An empty table shows no rows to say so: the status bar does.
    void ReportNothingFound(const CResultTable& table);
    // "Running filter operation ..." for kFilterInfoTime milliseconds.
    void ShowFilterInfo();
    static constexpr UINT kFilterInfoTime = 100;

    // A script's change of the active page: no undo step, then redraw.
    void ChangePageForScript(const std::function<void(CDIB&)>& change);

    // The page before and after the last blob search, to start a repeated
    // search from the unfiltered page.
    std::unique_ptr<CDIB> m_pBlobSource;
    std::unique_ptr<CDIB> m_pBlobResult;
    // Steps of the current filter run already reported as missing.
    std::vector<int> m_reportedSteps;
    // The status bar shows the notes (or the empty result) of this
    // document's last search.
    bool m_bNotesInStatusBar = false;
    // Width-measurement results of the width tool; owned.
    std::vector<std::unique_ptr<CObject>> m_arrResults;

public:
    // The information window of the last filter run; it closes itself.
    std::unique_ptr<CInfoDlg> m_pInfoDlg;
};
