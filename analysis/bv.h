#pragma once
// CBV: the analysis engine, the one object that turns an image page into
// measured objects. It owns the contour tracer, the current analysis
// profile with the named profiles, the classes, its own areas of interest
// and the working lists of a run. The application holds exactly one.
//
// The main run (Analyse) finds every object inside one area of interest
// with the profile's colour thresholds, traces it (marking it in a mask of
// the run, never in the page, so that it is found once), builds a record
// per object, measures its contour features, tests it against the form
// thresholds and hands the records to the result document. The page is
// the same bit for bit after the run, also when it ends by an exception.
//
// The engine is headless: a run with progress reports to the progress
// display set by the application, and what a run could not do because a
// step is not available in this build is told once per run in its
// diagnostics, never per object.

#include "analysis/aoidoc.h"
#include "analysis/bvprofilelist.h"
#include "analysis/classes.h"
#include "analysis/holeindex.h"
#include "analysis/kontur8.h"
#include "analysis/markmask.h"
#include "analysis/rundiagnostics.h"
#include "objectmodel/chain8.h"
#include "objectmodel/datagroupattrib.h"
#include "platform/core/arrays.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

class CCurvatureObj;
class CDIB;
class CEdgeObj;
class CEllipsenObj;
struct CEllipseContext;
class CKonturSegment;
class CObjData;
class CObjDataBase;
class CRPointArray;
class CResultObjectList;
class CRPolygon;
class CScanRayResult1;
class CScanRayResult2;
class CScanRayResult3;
class ScanRayParams;
class CSegObj;
struct sConvexityDefect;
using CConvexityDefects = CArray<sConvexityDefect, const sConvexityDefect&>;
class CSkelData;
class IAnalysisProgress;
class IResultDocument;

// An object of the previous image, for the movement detection of a run.
struct sObjectPosition
{
    int x = 0; // centroid, pixels
    int y = 0;
    int area = 0;      // from the chain code
    int perimeter = 0; // from the chain code
    double calibratedArea = 0.0;
    int border = 0; // 1: touches the border of its area of interest
};

class Device;
class CCutScratch;
class CStripeSearch;
class CStripeWorker;
class CWorkerPool;
struct sTraceEntry;

namespace kestrun {
class CObjectPixelScan;
}

// An outline of a run: its points and, for a traced one, the chain and
// the chain measures of its trace, which its record takes over.
struct sRunOutline
{
    std::unique_ptr<CRPolygon> polygon;
    CChain8 chain;
    CKonturParam measures;
    bool traced = false; // false: chain and measures come from the points
};

// A record of a run and, when it was measured where it was built, whether
// it passed the form thresholds (1) or not (0); -1: tested later.
struct sRunRecord
{
    std::unique_ptr<CObjData> record;
    signed char passed = -1;
};

// The records of the parts a cut took off one outline, by pass: pass 0
// follows the outline's own record, pass k comes after pass k - 1 of
// every outline of the run. Stopped counts cuts given up on.
struct sCutParts
{
    std::vector<std::vector<sRunRecord>> passes;
    int stopped = 0;
};

class CBV : public CObject
{
    DECLARE_DYNCREATE(CBV)

public:
    // The profile store points at "bv.xml" in the program's data folder.
    CBV();
    CBV(const CBV&) = delete;
    CBV& operator=(const CBV&) = delete;
    ~CBV() override;

    // --- profiles (the profile list does the work) ---

    // "bv.xml" in directory, root "BV_Profiles".
    void InitProfileFile(const CString& directory);
    // Reads the profile file when there is one, then the field mode from
    // "Image"/"FieldMode" of the application profile. Returns the field mode.
    int LoadSettingsProfiles();
    // Writes the profile file and the field mode.
    void SaveSettingsProfiles();
    // False, and nothing changes, when no profile of that name is stored.
    bool SelectProfile(const CString& name);
    void StoreProfile(const CString& name);
    // The current analysis profile.
    CBVSettings& GetSettings() { return m_Profiles; }
    const CBVSettings& GetSettings() const { return m_Profiles; }

    // The calibration dialog (defined in analysis_ui) on a copy of the
    // profile's calibration, for an image of width x height pixels and a
    // reference length of pixels; OK takes the copy over and marks the
    // profile changed when it differs. TRUE after OK.
    BOOL EditCalibration(int width, int height, int pixels);

    // --- the main run ---

    // Counts and measures the objects of image inside aoi and hands the
    // records to document (none: records are measured and deleted). With
    // progress 1 the progress display shows the run. Returns the number of
    // records that passed every form threshold. A missing image or area,
    // or a page that is neither 8 nor 24 bits, is an invalid argument.
    int Analyse(CDIB* image, CAOI* aoi, IResultDocument* document, int progress);
    // The main run once per sub-area (raster cell) of aoi. Objects that a
    // border between two sub-areas cut in two are joined again and
    // measured from their joined outline; then every object that fails
    // the form thresholds is removed, whatever the keep-rejected flag
    // says, and, when the profile asks for clusters, the rest are grouped
    // over the whole area. Returns the number of objects that passed. An
    // area without sub-areas is an invalid argument.
    int AnalyseSubAreas(CDIB* image, CAOI* aoi, IResultDocument* document);
    // One step of the object search with the tracer's page: the next start
    // pixel from position on, traced and marked (in the tracer's mark mask;
    // without one in the page). 1 when a contour was traced (smoothed as
    // the profile asks), 0 when the area is exhausted.
    int FindNextObject(CPoint& position, CAOI* aoi, CSegThres* thresholds);
    // Holes, nuclei, homogeneity, mean colour, inner radius, curvature
    // peaks, deepest notch and contour segments of a record of the running
    // analysis, as the profile's feature bits ask.
    void CalcContourFeatures(CDIB* image, CObjData& record, CAOI* aoi);

    // The threads of the object search of a run: 0 (the default) the
    // machine's cores, limited by the environment variable
    // KESTRUN_ANALYSIS_THREADS; else exactly that many. Results do not
    // depend on it.
    void SetThreadCount(int threads) { m_nThreadCount = std::max(threads, 0); }
    // The threads a run takes: the set count, else the machine's cores
    // limited by KESTRUN_ANALYSIS_THREADS. Searches that need the order of
    // a single search (a scan step, marks that stop traces) and areas of
    // one row take one.
    int GetRunThreads() const;

    // The display of runs with progress; null: none. Not owned.
    void SetProgressDisplay(IAnalysisProgress* display) { m_pProgressDisplay = display; }
    IAnalysisProgress* GetProgressDisplay() const { return m_pProgressDisplay; }
    // The steps the last run needed that are not available in this build,
    // each named once with the objects it concerned; after a run over
    // sub-areas, those of every sub-area.
    const CRunDiagnostics& GetRunDiagnostics() const { return m_RunDiagnostics; }

    // --- steps of the run that later parts of the engine provide ---

    // Cuts touching objects apart (ConCutType 1 and 2; other types leave
    // both lists). With holeFlag 1 holes may be joined into their outline
    // (convex defects); holes not joined go back to the hole list.
    void CutConglomerates(std::vector<sRunOutline>& outer, std::vector<sRunOutline>& holes, int holeFlag);
    // Moves the holes whose first point lies inside the contour to target,
    // keeping their order.
    void SplitObjectsByAOI(const CRPolygon& contour, std::vector<sRunOutline>& holes, std::vector<sRunOutline>& target);
    // The cut searches (bvcuts.cpp); each empties its output first and
    // gives nothing for a contour of fewer than 20 points.
    void FindDefectCut(const CRPolygon& contour, const CConvexityDefects& defects, CRPointArray& cut) const;
    // The point across the object from the chosen defect; (0, 0) when none.
    static POINT FindCutPartner(const sConvexityDefect& chosen, const CRPolygon& contour,
                                const CConvexityDefects& defects);
    // The shortest line from a defect to a hole; the index of the hole, or -1.
    static int FindHoleJoin(const CRPolygon& contour, const CConvexityDefects& defects,
                            const std::vector<const CRPolygon*>& holes, CRPointArray& join);
    // The dam lines of the contour's watershed from contour to contour,
    // each ended by (0, 0).
    static void FindWatershedCuts(const CRPolygon& contour, CRPointArray& cuts,
                                  const std::vector<const CRPolygon*>& holes);
    // The watershed dam points of the objects of the active area of the
    // page, in page coordinates. The page stays as it is.
    void SplitObjectsByWatershed(CDIB* image, CArray<POINT, POINT>& points);
    // The run's hole chains whose start point lies inside area go to the
    // record with their areas.
    void AttachHoles(CObjData& record, const CAOI4& area);
    // Length and shape of a plain object along scan rays. 1 when the
    // record received a scan-ray result.
    int MeasureShapeByScanRays(CDIB* image, CAOI* aoi, CObjData& record);
    // The object's path from the result's centre along its body both ways
    // (towards the longest ray and away from it) into the result's sides;
    // 0 when neither side got anywhere or no ray was chosen.
    int MeasureScanRays(CDIB* image, CAOI* aoi, CScanRayResult3& result);
    // The edge object of the working area measured along 32 rays from its
    // centre, as one record of the document (which holds it also when
    // this returns 0: no document, no area width, no border found).
    int MeasureEdgeObject(CDIB* image, IResultDocument* document);
    // The thin part that leaves the object of result: its path and length
    // into the result's path. 1 when a path was stored.
    int MeasureThinPartLength(CDIB* image, CAOI* aoi, const CRPolygon* polygon, CScanRayResult2* result);
    // The tail point of an object; (0, 0) when there is none, nothing
    // when the search could not be made. points receives the ring's peaks.
    std::optional<POINT> FindTail(const CRPolygon& contour, CDIB* image, CAOI* aoi,
                                  CArray<POINT, POINT>* points = nullptr);
    // The contour point of the defect's span nearest to point; (0, 0) for
    // a defect without a deepest point.
    static POINT NearestPointInDefect(const CRPolygon& contour, POINT point, const sConvexityDefect& defect);
    // Thinning, skeleton path, nodes and longest path of a skeleton
    // record. False, noted in the run's diagnostics, when the object could
    // not be thinned.
    bool MeasureSkeleton(CSkelData& record, const CRPolygon& contour);
    // Curvature peaks of the contour and its holes (into the mark points),
    // the deepest convexity defect (two points on its sides into the hole
    // points) and the contour segments (contour features 5 to 7).
    void FindContourCurvaturePeaks(CObjData& record, const CRPolygon& contour);
    void FindDeepestConvexityDefect(CObjData& record, const CRPolygon& contour);
    void SegmentContour(CObjData& record, const CRPolygon& contour, CAOI* aoi);
    // The ellipse objects of the contour segments of "Model" 2.
    void MeasureSegmentRegions(CDIB* image, CAOI* aoi, std::vector<std::unique_ptr<CObjDataBase>>& segments,
                               IResultDocument* document);
    // Ellipses through groups of segments; the segments of no kept ellipse
    // stay in the list. Nothing without a document.
    void FitSegmentEllipses(CSegObj& segmentation, IResultDocument* document,
                            std::vector<std::unique_ptr<CKonturSegment>>& segments);
    // Small ellipses at the inner circles next to the segments left.
    void FitCircleEllipses(CSegObj& segmentation, IResultDocument* document,
                           std::vector<std::unique_ptr<CKonturSegment>>& segments);
    // Joins neighbouring records of a run into clusters: gaps up to
    // maxDistance, no member or area limit.
    void ClusterObjects(CResultObjectList& records, int maxDistance);
    // The form thresholds of the chain, in order; the first failing test
    // ends it. 0x10, 0x20 and 0x80000 only for skeletons.
    bool PassesFormThresholds(const CObjData& record, bool skeleton) const;

    // --- measurement channels (bvareachannels.cpp) ---
    // Rebuilds the channel groups of a measurement series: "AreaChannel",
    // "AreaAOI", "MeanColor", "Match", "Distribution", "Length",
    // "Curvature", "Growth" and "Width", with items per area in use.
    void CreateAreaChannels();
    // Deletes the groups, empties the run's hole lists and releases the
    // tracer's storage.
    void ClearAreaChannels();
    const std::vector<std::unique_ptr<CDataGroupAttrib>>& GetAreaChannels() const { return m_AreaChannels; }

    // --- image operations (bvimageops.cpp) ---
    // They work inside the rectangle of the active area of interest (the
    // whole-image area when none is active) without its last column and
    // row, and do nothing without an image or for an area of one pixel or
    // less. Colours of 8-bit pages are read through their palette and
    // written as the nearest entry.

    // Red and blue change places as every byte is inverted.
    void InvertImageInAOI(CDIB* image);
    // Each channel times gain plus offset, clamped to 0..255, inside the
    // whole-image rectangle.
    void ApplyGainOffset(CDIB* image, int gain, int offset);
    // The pixels of the area's rectangle (last column and row included)
    // that pass the thresholds get the mark value in their green byte: the
    // mark colour's green byte + 1 in band mode, else 1 for a mark byte of
    // 0 and 254 for any other. A null area is the active one.
    void MarkThresholdPixels(CDIB* image, CAOI* aoi, const CSegThres& thresholds);
    // The pixels inside the working area whose colour a threshold step by
    // offset would drop (dark mode, tightened) or add (bright mode,
    // loosened) get the bound's colour one up; columns firstExcluded to
    // lastExcluded stay. The thresholds do not change.
    void MarkThresholdChange(Device* image, int firstExcluded, int lastExcluded, int offset);
    // The largest enabled area without a function, else the whole image.
    const CAOI* GetWorkingAOI() const;
    // Rows top, top + 2, ... are copied onto the row below them.
    void DoubleEvenRows(CDIB* image);
    // Mean red of the active area; the area is then drawn into the image.
    void GetActiveAOIColorStat(Device* image, float& mean);
    // Green of the mean colours of the even and of the odd rows of the
    // active area; the area is then drawn into the image.
    void GetEvenOddRowGreen(Device* image, float& even, float& odd);
    // Whether camera images are two interlaced fields: field mode 1 says
    // yes, 2 no, 0 asks the frame grabber (an initialised board 768
    // or 576 pixels wide).
    BOOL IsFieldImage() const;
    // The image-filter steps of the object filter.
    void ClearFilterSelection();
    void AddFilterSelection(int step);

    // --- measures (bvmeasures.cpp) ---
    // The area-weighted offset of the active area's objects from its
    // centre, normalised to 0..1; "AOI Error" and no value for an area of
    // 2 pixels or less. The page is given back unchanged.
    void GetCentreOffset(CDIB* image, float& offset);
    // The object nearest the area's centre (large ones preferred): its
    // contour goes into polygon, whose centre becomes its centroid and is
    // returned in point. Without an object both stay as they were. A null
    // area is the active one; the page is given back unchanged.
    POINT FindCentralObject(POINT& point, CDIB* image, CAOI* aoi, CRPolygon& polygon);
    // The objects of the area filled region by region into records of
    // kind 4 (area, position, rectangle, mean colour, border contact) that
    // pass the area and colour limits. The regions stay painted in the
    // page (0xFFC8FF). A null area is the active one.
    void SegmentWithProgress(CDIB* image, IResultDocument* document, CAOI* aoi = nullptr);

    // --- object positions and single-object measures ---
    // (bvpositions.cpp, bvobjectmeasures.cpp)
    // Centroid, area, perimeter, calibrated area (in the profile's
    // calibration) and border contact of every outer contour of aoi into
    // m_arrPrevPositions, emptied first; no records are built. A null area
    // is the active one, else the whole page. The page stays as it is.
    void CollectObjectPositions(CDIB* image, CAOI* aoi);
    // The main run with progress over the active area into a table of its
    // own: the largest area of its object records (0.0 without one) goes
    // to area and that object's outline is drawn into the image with the
    // value 255. Returns 1.
    int MeasureLargestObject(CDIB* image, double& area);
    // The main run over the active area into a table of its own; the
    // curvature record of its longest object record. Null for an empty
    // table, or, with a message naming the kind, for a record of another
    // kind.
    std::unique_ptr<CCurvatureObj> CalcObjectCurvature(CDIB* image);
    // The curvature record of the longest object record (kind 5: plain
    // objects and skeletons) of the table; null as above.
    static std::unique_ptr<CCurvatureObj> CurvatureOfLongestObject(const IResultDocument& table);

    // --- colour excess channels (bvchannels.cpp) ---
    // Per pixel of a 24-bit source inside the area: how far red, green and
    // blue stand out from the mean of the other two (half their sum in
    // excess mode 2, else two thirds), squared, then stretched to 0..255
    // over the area; into out1 (red), out2 (green) and out3 (blue), each
    // optional. Outputs must be 8-bit pages at least as large as the
    // source, else CInvalidArgException before anything is written.
    void ColourExcessChannels(CDIB* source, CDIB* out1, CDIB* out2, CDIB* out3, CAOI* aoi);
    // The outputs get red, green and blue ramp palettes and, for a colour
    // source, turn black over the source's size before the excess of the
    // active area (whole image when none) is written into them. The excess
    // mode is kept. Output sizes are checked first, as above.
    void SplitColorChannels(CDIB* source, CDIB* red, CDIB* green, CDIB* blue, int mode);

    CKontur8 m_Kontur;
    // The records of the running analysis.
    std::vector<std::unique_ptr<CObjData>> m_arrObjects;
    // Per record of m_arrObjects, when a search on several threads
    // measured it already: 1 passed the form thresholds, 0 did not.
    std::vector<signed char> m_arrPassed;
    // "Image"/"FieldMode" of the application profile.
    int m_nFieldMode = 0;
    CClasses m_Classes;
    CAOIDoc m_AOIDoc;
    // The holes of the running analysis and their absolute areas, in the
    // same order. The areas stay until the next run.
    std::vector<CChain8> m_arrHoleChains;
    CArray<int, int> m_arrHoleAreas;
    // Filled by the object position collection; a run that finds it
    // filled detects movement against it and empties it.
    std::vector<sObjectPosition> m_arrPrevPositions;
    CBVProfileList m_Profiles;
    // Of ColourExcessChannels: 2 half sums, else two thirds.
    int m_nExcessMode = 2;

private:
    class CRunScope;

    // The pieces of border between neighbouring rays of the edge object.
    static void WalkEdgeRays(const ScanRayParams& rays, CKontur8& tracer, CEdgeObj& edge, int markerFirst,
                             int markerLast);
    // The tracing loop: outer contours and holes of the area.
    void TraceObjects(CAOI& aoi, std::vector<sRunOutline>& outer, std::vector<sRunOutline>& holes);
    // The tracer's contour as an outline of the run, handed over.
    static sRunOutline TakeTracedOutline(CKontur8& tracer);
    // Smooths the closed contour of a trace as the profile asks.
    void SmoothContour(CKontur8& tracer) const;
    // --- the search on all cores (bvstripes.cpp) ---
    // Whether this run's search may be split into stripes.
    bool CanSearchInStripes(const CAOI& aoi) const;
    // The tracing loop on all cores: outer contours become records (or,
    // when the run cuts, go to outer) in the order of the single-threaded
    // search, holes go to holes.
    void TraceInStripes(CAOI& aoi, CPoint first, int threads, std::vector<sRunOutline>& outer,
                        std::vector<sRunOutline>& holes);
    // One trace from a start pixel with the tracer's binding, as a
    // stripe keeps it; a run that cuts as it traces cuts an outline whose
    // top lies at cutFrom or below with cut, others when they are kept.
    // Called from the threads of a search: reads the engine, writes
    // nothing of it.
    sTraceEntry TraceEntry(CKontur8& tracer, CCutScratch& cut, int cutFrom, CAOI& aoi, int x, int y);
    // Whether a plain record's features, measures and form tests need
    // nothing but the record and the page, so that the thread that traced
    // it can take them.
    bool FinishesAlone() const;
    // Whether records are built as the outlines are traced (no cutting
    // needs the outlines of the whole run first).
    bool BuildsWhileTracing() const;
    // Whether the run cuts each outline on its own as it is traced: with
    // no holes of the run to join into it.
    bool CutsWhileTracing() const;
    // Cuts a traced outline apart (CutsWhileTracing) and builds the
    // records of the rest, own, and of the parts, measured and tested when
    // finish. original, when given, receives the points the outline was
    // traced with when neither record shows them: cut, or without a record.
    // Null when nothing was cut. Called from the threads of a search.
    std::unique_ptr<sCutParts> CutAndBuild(CAOI& aoi, sRunOutline& outline, CCutScratch& scratch, bool finish,
                                           sRunRecord& own, CRPointArray* original);
    // The run's record list takes the record (when there is one), the
    // parts of pass 0 and keeps the later ones for TakeLaterParts.
    void AcceptRecord(sRunRecord&& made);
    void AcceptParts(sCutParts& parts);
    void TakeLaterParts();
    // Notes the cuts given up on in the run's diagnostics.
    void NoteStoppedCuts(int stopped);
    // The stripes of a run after the first, merged in order.
    void MergeStripe(CStripeSearch& stripe, CAOI& aoi, CPoint first, int& lowestMark,
                     std::vector<sRunOutline>& outer, std::vector<sRunOutline>& holes);
    // The progress of the merged rows top to end, as the single-threaded
    // search shows it.
    void ReportRows(int top, int end, int firstRow, const CAOI& aoi);
    void AcceptEntry(sTraceEntry& entry, CAOI& aoi, bool mark, int& lowestMark, std::vector<sRunOutline>& outer,
                     std::vector<sRunOutline>& holes);
    // The hole chains and areas of the run's holes, and their index.
    void TakeRunHoles(std::vector<sRunOutline>& holes);
    // 0 without stored positions, 2 when the tracer's centroid lies at
    // least MovementDetection pixels from each, else 1.
    int MovementState(const CKontur8& tracer) const;
    // The records of the outer contours, the hole chains of the holes.
    void BuildRecords(CAOI& aoi, std::vector<sRunOutline>& outer, std::vector<sRunOutline>& holes);
    // The record of an outline (none for a plain object without area).
    std::unique_ptr<CObjData> MakeRecord(const CAOI& aoi, sRunOutline& outline) const;
    // The record of an outline measured with tracer when it was not
    // traced, then measured and tested when finish.
    sRunRecord BuildRecord(CAOI& aoi, sRunOutline& outline, CKontur8& tracer, bool finish);
    // Features, form tests and hand-over of one record; returns 1 when it
    // passed every form threshold.
    int FinishRecord(CDIB& image, CAOI& aoi, std::unique_ptr<CObjData> record, IResultDocument* document);
    void MeasurePlainObject(CDIB& image, CAOI& aoi, CObjData& record);
    // False when the record is to be deleted.
    bool MeasureSkeletonObject(CSkelData& record);
    void HandOverSubObjects(CObjData& record, IResultDocument* document);
    // Deletes or adds the record; returns 1 when it passed.
    int KeepOrDrop(std::unique_ptr<CObjData> record, bool passed, IResultDocument* document);
    // Nuclei of the record inside its area (contour features, step 2).
    void FindNuclei(CDIB& image, CObjData& record, CAOI& area);
    // The run's holes whose start point lies inside the record's area and
    // that no smaller record of the run encloses, in the order of the hole
    // list (contour features, step 1).
    void AddRunHoles(CObjData& record, const CAOI4& area);
    // Whether the contour features take the run's holes.
    bool TakesRunHoles() const;
    // Lets every record of the run claim the holes its outline encloses,
    // so that a hole goes to the innermost one only.
    void ClaimRunHoles();
    // The run's threads, started once and kept.
    CWorkerPool& WorkerPool();
    // The two methods of CutConglomerates (bvcuts.cpp).
    void CutByDefects(std::vector<sRunOutline>& outer, std::vector<sRunOutline>& holes, int holeFlag);
    void CutByWatershed(std::vector<sRunOutline>& outer, std::vector<sRunOutline>& holes, int holeFlag);
    double MeasureHomogeneity(CDIB& image, CObjData& record, CAOI& area);
    // Form factor, area and mean colour of an ellipse record.
    bool PassesEllipseThresholds(const CEllipsenObj& ellipse) const;
    // Painted out of the page and handed to the document.
    void KeepEllipse(std::unique_ptr<CEllipsenObj> ellipse, const CEllipseContext& paint, IResultDocument& document);
    void MeasureInnerRadius(CObjData& record, CAOI4& area);

    IAnalysisProgress* m_pProgress = nullptr;
    IAnalysisProgress* m_pProgressDisplay = nullptr;
    // The marks of the engine's object searches; the storage stays while
    // pages keep their size.
    kestrun::CMarkMask m_SearchMarks;
    CRunDiagnostics m_RunDiagnostics;
    // The start-pixel scan of the running search, made once per run.
    std::unique_ptr<kestrun::CObjectPixelScan> m_pRunScan;
    // The stripes of searches on all cores; their storage stays.
    std::vector<std::unique_ptr<CStripeWorker>> m_StripeWorkers;
    std::unique_ptr<CWorkerPool> m_pWorkerPool;
    int m_nThreadCount = 0;
    // The running search's stripes measure their plain records.
    bool m_bFinishInStripes = false;
    // Cutting while tracing on one thread.
    std::unique_ptr<CCutScratch> m_pCutScratch;
    // The cut parts of the running search after pass 0, by pass.
    std::vector<std::vector<sRunRecord>> m_LaterParts;
    int m_nCutsStopped = 0;
    // m_arrHoleChains by the row of their start point.
    CHoleIndex m_HoleIndex;
    // The measurement channel groups, owned.
    std::vector<std::unique_ptr<CDataGroupAttrib>> m_AreaChannels;
};
