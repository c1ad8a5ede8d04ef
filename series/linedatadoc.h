#pragma once
// CLineDataDoc: the document of a timed measurement. At each step of its
// time marks it takes a frame from the board, measures every item of its
// measurement description and appends one value per item to the curves of
// its chart; limit crossings and marks become named events for the
// device-event library "Drevant.dll".
//
// The document owns its charts (chart 0 the measurement, chart 1 the
// "Length" chart of "Curvature"); the views (series/ui) show them and may
// attach charts of their own (the growth-rate view), which GetChart counts
// after the owned ones. Views hear of changes through UpdateAllViews:
// kHintSetUp after the set-up and at a start (rebuild from the chart),
// kHintValues after each step (new values), kHintStopped when a run ends
// (its timer goes). A view's timer calls TimerStep; the "Start" command
// calls StartRun with a way to set that timer.
//
// The file (".cht") is chart 0 in the chart windows' own format, written
// to a temporary file renamed over the target.
//
// Everything a run waits on or asks the user comes through the run host
// (series/runhost.h): clocks, Escape, status bar, message pump.

#include "objectmodel/datagroupattrib.h"
#include "outside/pixmere/dib.h"
#include "platform/core/arrays.h"
#include "platform/core/sync.h"
#include "platform/ui/document.h"
#include "series/timemark.h"

#include <ctime>
#include <functional>
#include <memory>
#include <vector>

class CBV;
class CCurveChart;
class CDIBDoc;
class CDocTemplate;
class CRunHost;
class FGBoard;
struct CMeasurementSetup;

class CLineDataDoc : public CDocument
{
    DECLARE_SERIAL(CLineDataDoc)

public:
    enum EKind : int
    {
        kindImage = 1,    // "BV-Document"
        kindAnalogue = 2, // "AD-Document"
        kindCount = 4,    // "CNT-Document"
    };
    enum EHint : LPARAM
    {
        kHintSetUp = 1,
        kHintValues = 2,
        kHintStopped = 3,
    };
    // The view timer of a timed run.
    static constexpr int kTimerId = 2;
    // Intervals below this run in a loop instead of on the timer.
    static constexpr DWORD kLoopBelowMs = 41;
    static constexpr DWORD kMaxTimerPeriod = 500;

    CLineDataDoc();
    ~CLineDataDoc() override;

    // --- set-up ---
    // Kind, engine, table and image templates; new-measurement flag 1;
    // the ten output settings from the kind's section.
    void LoadSettings(int kind, CBV* engine, CDocTemplate* tableTemplate, CDocTemplate* imageTemplate);
    CString GetDocTypeName() const;
    int GetKind() const { return m_nDocType; }
    BOOL IsNewMeasurement() const { return m_bNewMeasurement; }
    // The set-up through the run host's sheet: 1 accepted, 2 cancelled or
    // not available.
    int ConfigureMeasurement();
    // The set-up as the sheet starts it: the document's settings and the
    // kind's profile values, clamped into the pages' ranges.
    CMeasurementSetup MakeSetup();
    // An accepted set-up becomes the run's marks, run time and charts;
    // false (with the page's message) when the checks refuse it.
    bool ApplySetup(const CMeasurementSetup& setup);
    // Chart `index` from description record: curves, x range and step,
    // titles and kinds.
    void SetUpChart(int index, double xStart, double xEnd, double xStep, const CDataGroupAttrib& description);

    // --- charts ---
    // Owned charts first, then those views attached; null beyond.
    CCurveChart* GetChart(int index) const;
    void AttachChart(CCurveChart* chart);
    void DetachChart(CCurveChart* chart);
    const CDataGroupAttrib& GetDescription(int index) const { return m_Description[index != 0 ? 1 : 0]; }
    CString GetMethodName() const { return m_Description[0].m_strYName; }

    // --- events ---
    virtual void ProcessEvent(const CString& name);
    virtual CLineDataDoc* Reserved(int) { return this; }
    void CheckLimits(double value);
    // Loads "Drevant.dll" (once) and takes its "_ProcessEvent@4".
    void LoadDeviceEventHandler();
    BOOL HasDeviceEventHandler() const { return m_pProcessEvent != nullptr; }

    // --- the run ---
    virtual void StartMeasurement();
    virtual void StopMeasurement();
    virtual void MeasureObjects();
    // The "Start" command. setTimer sets the view's timer with the period
    // and answers whether it could. False when nothing started.
    bool StartRun(const std::function<bool(UINT periodMs)>& setTimer);
    // The view timer's message.
    void TimerStep();
    void RunSteps(int count, BOOL fieldMode);
    // The single-step command (count axis): starts the run at the first.
    void SingleStep();
    void FastStep(int mode);
    void WriteImageSequence();
    // The status-bar text of a timed run.
    CString WaitNextEvent() const;
    // Closing while a step runs waits for the step: stop, then close.
    void CloseWhenIdle();
    void CollectSeries() {}
    // Held around each step.
    CCriticalSection& StepLock() { return m_StepLock; }

    // --- the other documents ---
    // The first document of the image template with live video; null.
    CDIBDoc* FindLiveImage() const;
    void ClearOverlay(int fromBoard);

    // --- result commands ---
    void ExportText();
    // Writes the chart's text export to the stream (the command's body).
    void WriteTextExport(std::ostream& out) const;
    // Null without a table template.
    CDocument* ShowTable();
    CDocument* SearchPeaks();

    // --- file ---
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
    BOOL OnSaveDocument(LPCTSTR lpszPathName) override;
    void OnCloseDocument() override;
    void Serialize(CArchive& ar) override;

    // --- what tests and the program inject ---
    // The board the run grabs from (null: none at all); by default the
    // process's board.
    void SetBoard(FGBoard* board);
    FGBoard* GetInitBoard() const;
    // "Drevant.dll" unless told.
    void SetDeviceEventLibrary(const CString& name) { m_strDrevant = name; }
    void SetRunHost(CRunHost* host) { m_pHost = host; }
    CRunHost& Host() const;

    // Fields of the run, in the order the settings name them.
    int m_nExternParam = 0;
    CBV* m_pEngine = nullptr;
    CDocTemplate* m_pTableTemplate = nullptr;
    CDocTemplate* m_pImageTemplate = nullptr;
    int m_bNewMeasurement = 0;
    int m_nDocType = 0;
    int m_bWriteAVI = 0;
    int m_bWriteFile = 0;
    int m_nImageCounter = 0;
    CStringArray m_arrImageFiles;
    int m_bImageFilter = 0;
    int m_nImageFilterType = 0;
    CDIB m_Frame;
    int m_bLPTExtern = 0;
    int m_bUwScanner = 0;
    int m_bUwScannerInfo = 1;
    int m_nDelay1 = 0;
    int m_nDelay2 = 0;
    double m_dUpperLimit = 0.0;
    double m_dLowerLimit = 0.0;
    int m_nUpperState = 0;
    int m_nLowerState = 0;
    CTimeCtrlI m_TimeMarks;
    int m_bTimingSynchron = 0;
    int m_nTimerID = 0;
    std::time_t m_StartTime = 0;
    std::time_t m_StopTime = 0;
    int m_bRunning = 0;
    int m_bBusy = 0;
    int m_nMethodIndex = 0;
    int m_nADRate = 1;
    // Steps of a playback run (the recording's frames); 0 otherwise.
    int m_nUntimedSteps = 0;

protected:
    // The frame, the items' values and the board's end of the step.
    void MeasureStep();
    // One value of item i by the method; the frame is the step's.
    double MeasureItem(int item, bool last);
    // The step's frame from the board into m_Frame; false without one.
    bool TakeFrame(FGBoard& board);
    void AppendValue(int curve, double value);
    // "Measure", "Save" or another event of the marks.
    void OnMark(const CTimeMark& mark);
    static void DispatchMark(void* context, CTimeMark* mark);
    void WriteSettings() const;
    // The AVI of the listed frames, then the files go when asked and safe.
    void FinishImageSequence();
    // The image filter of the run on the live image.
    void FilterLiveImage(CDIBDoc& live);
    // The table template's new document with its frame; null.
    CDocument* OpenTable(const CString& title);

    CDataGroupAttrib m_Description[2];
    std::vector<std::unique_ptr<CCurveChart>> m_Charts;
    std::vector<CCurveChart*> m_AttachedCharts;
    CCriticalSection m_StepLock;
    HMODULE m_hDrevant = nullptr;
    using ProcessEventFn = int (*)(const char*);
    ProcessEventFn m_pProcessEvent = nullptr;
    CString m_strDrevant = "Drevant.dll";
    FGBoard* m_pBoard = nullptr;
    bool m_bBoardSet = false;
    CRunHost* m_pHost = nullptr;
    std::unique_ptr<CDIB> m_pDifferenceFrame;
    double m_dPhase = 0.0;
    bool m_bCloseAfterStep = false;
    int m_nEntryDepth = 0; // timer, loop and single steps running
    bool m_bSequenceWarned = false;

    DECLARE_MESSAGE_MAP()

    void OnOptions();
    void OnUpdateOptions(CCmdUI* pCmdUI);
    void OnExportText() { ExportText(); }
    void OnShowTable() { ShowTable(); }
    void OnSearchPeaks() { SearchPeaks(); }
};

// The strings of the measurement template.
inline constexpr const char* kKestrunDocStrings =
    "\nKestrun\nKestrun Document\nVideo Measurement Files (*.cht)\n.cht\nKestrunFileType\nKestrun File Type";

// Command ids of the measurement documents and views.
inline constexpr UINT ID_MEASUREMENT_OPTIONS = 32835;    // "&Options"
inline constexpr UINT ID_MEASUREMENT_ASCII = 32862;      // "&ASCII File"
inline constexpr UINT ID_MEASUREMENT_SHOW_TABLE = 33039; // "&Show Table "
inline constexpr UINT ID_MEASUREMENT_PEAKS = 33121;      // "&Search Peaks"
inline constexpr UINT ID_MEASUREMENT_ARRANGE = 32857;    // "Arrange &Windows"
inline constexpr UINT ID_MEASUREMENT_START = 32833;      // "&Start"
inline constexpr UINT ID_MEASUREMENT_STOP = 32834;       // "St&op"
inline constexpr UINT ID_MEASUREMENT_STEP = 32836;       // one step
inline constexpr UINT ID_MEASUREMENT_GRAPH = 32778;      // "&Graph"
