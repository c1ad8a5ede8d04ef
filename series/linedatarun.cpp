// CLineDataDoc: the run - start and stop, the timer step over the time
// marks, the untimed loop, one measurement step per method and the frames
// written on the way.

#include "series/linedatadoc.h"

#include "series/curvechart.h"
#include "series/runhost.h"

#include "analysis/aoi.h"
#include "analysis/bv.h"
#include "analysis/cvfilters.h"
#include "analysis/objsegments.h"
#include "analysis/scanrayparams.h"
#include "analysis/thresholdarea.h"
#include "imaging/avi.h"
#include "imaging/dibdoc.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/winapp.h"
#include "platform/ui/wnd.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <system_error>

namespace {

constexpr COLORREF kOverlayColour = 255;
// The edge search of "Width": the step of the grey profile.
constexpr int kWidthEdgeMode = 5;
// The phase step of the test signal without a board.
constexpr double kTestPhaseStep = 0.314;
// Days from the automation date's origin (30 December 1899) to 1970.
constexpr double kUnixEpochDate = 25569.0;

// The share of the area's pixels that pass the threshold.
class CShareRecord final : public IThresholdAreaRecord
{
public:
    void ResetTotals() override { m_total = m_passing = 0; }
    void AddPixel(int, int, COLORREF, int) override {}
    void SetTotals(DWORD total, COLORREF, DWORD passing, int) override
    {
        m_total = total;
        m_passing = passing;
    }
    void FinishStatistics() override {}
    double Percent() const { return m_total == 0 ? 0.0 : 100.0 * static_cast<double>(m_passing) / m_total; }

private:
    DWORD m_total = 0;
    DWORD m_passing = 0;
};

void DrawAreaIntoOverlay(FGBoard& board, const CAOI& aoi)
{
    if (CDC* dc = board.GetDC()) {
        aoi.DrawColored(dc, kOverlayColour);
        board.ReleaseDC(dc);
    }
}

} // namespace

// Counts the entries into the run (timer, loop, single step); when the
// outermost one ends and a close waits, the document closes - after the
// step, never under it. Declared first in each entry, so it ends last.
class CRunEntry
{
public:
    explicit CRunEntry(int& depth, bool& closeAfter, CLineDataDoc& doc)
        : m_depth(depth), m_closeAfter(closeAfter), m_doc(doc)
    {
        ++m_depth;
    }
    ~CRunEntry()
    {
        if (--m_depth != 0 || !m_closeAfter)
            return;
        m_closeAfter = false;
        try {
            m_doc.CloseWhenIdle();
        } catch (const CException& e) {
            e.ReportError();
        } catch (const std::exception& e) {
            AfxMessageBox(e.what(), MB_ICONEXCLAMATION);
        }
    }
    CRunEntry(const CRunEntry&) = delete;
    CRunEntry& operator=(const CRunEntry&) = delete;

private:
    int& m_depth;
    bool& m_closeAfter;
    CLineDataDoc& m_doc;
};

namespace {

// The step lock held and the busy flag set for one step.
class CStepScope
{
public:
    CStepScope(CCriticalSection& lock, int& busy) : m_lock(lock), m_busy(busy)
    {
        m_lock.Lock();
        m_busy = 1;
    }
    ~CStepScope()
    {
        m_busy = 0;
        m_lock.Unlock();
    }
    CStepScope(const CStepScope&) = delete;
    CStepScope& operator=(const CStepScope&) = delete;

private:
    CCriticalSection& m_lock;
    int& m_busy;
};

} // namespace

// ---- start and stop ----------------------------------------------------------------

bool CLineDataDoc::StartRun(const std::function<bool(UINT periodMs)>& setTimer)
{
    if (IsModified() && AfxMessageBox("Overwrite previous measurement?", MB_OKCANCEL) != IDOK)
        return false;
    const DWORD runTime = m_TimeMarks.GetRunTime();
    if (runTime != 0) {
        DWORD interval = m_TimeMarks.GetMinInterval();
        if (interval < kLoopBelowMs) {
            const BOOL fieldMode = interval == 20 ? TRUE : FALSE;
            if (fieldMode)
                interval = 40;
            RunSteps(static_cast<int>(runTime / std::max<DWORD>(interval, 1)), fieldMode);
            return true;
        }
        const UINT period = std::min(interval, kMaxTimerPeriod);
        if (!setTimer || !setTimer(period)) {
            AfxMessageBox("Error! No Timer available!", MB_ICONEXCLAMATION);
            return false;
        }
        m_nTimerID = kTimerId;
        StartMeasurement();
        TimerStep();
        return true;
    }
    if (m_nUntimedSteps > 0) {
        // One step per recorded frame: the loop's count + 1 steps would
        // measure the first frame again at the end.
        RunSteps(m_nUntimedSteps - 1, FALSE);
        return true;
    }
    return false;
}

void CLineDataDoc::StartMeasurement()
{
    m_nImageCounter = 0;
    m_Frame = CDIB();
    m_pDifferenceFrame.reset();
    m_bSequenceWarned = false;
    for (const auto& chart : m_Charts)
        for (int i = 0; i < chart->GetCurveCount(); ++i)
            chart->SetCurveValues({}, i);
    const std::time_t now = Host().Now();
    if (m_StartTime < now)
        m_StartTime = now;
    {
        // The chart's date: local wall time as an automation date.
        std::tm local{};
        localtime_r(&now, &local);
        m_Charts.front()->SetDate(kUnixEpochDate + static_cast<double>(timegm(&local)) / 86400.0);
    }
    if (m_bTimingSynchron) {
        std::tm local{};
        localtime_r(&m_StartTime, &local);
        CCurveChart& chart = *m_Charts.front();
        const double start = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
        const double step = m_TimeMarks.GetMinInterval() / 1000.0;
        const double span = chart.Data().m_dXMax - chart.Data().m_dXMin;
        if (step > 0.0 && step < CTimeMarkList::kNever / 1000.0) {
            chart.SetXRange(start, start + span, step);
            chart.SetXMin(start);
            chart.SetXMax(start + span);
        }
    }
    UpdateAllViews(nullptr, kHintSetUp);
    if (m_nDocType == kindImage || m_nDocType == kindCount)
        if (FGBoard* board = GetInitBoard())
            board->SetParameter(kestrun::fgparam::kClearOverlay, 0);
    m_bRunning = 1;
    if (CWnd* main = AfxGetMainWnd())
        SendMessageToDescendants(main->GetSafeHwnd(), RegisterWindowMessage("Update"));
}

void CLineDataDoc::StopMeasurement()
{
    // A step that pumps messages cannot be stopped under itself.
    if (m_bBusy)
        return;
    m_TimeMarks.Stop();
    m_StopTime = Host().Now();
    if (FGBoard* board = GetInitBoard())
        board->SetParameter(kestrun::fgparam::kClearOverlay, 1);
    m_nTimerID = 0;
    m_bRunning = 0;
    UpdateAllViews(nullptr, kHintStopped);
    FinishImageSequence();
}

void CLineDataDoc::CloseWhenIdle()
{
    if (m_nEntryDepth > 0) {
        m_bCloseAfterStep = true;
        return;
    }
    StopMeasurement();
    OnCloseDocument();
}

// ---- the timed run ------------------------------------------------------------------

void CLineDataDoc::TimerStep()
{
    CRunEntry entry(m_nEntryDepth, m_bCloseAfterStep, *this);
    if (!m_bRunning)
        return;
    CRunHost& host = Host();
    const bool showStatus = m_TimeMarks.GetMinInterval() >= 1000;
    if (!m_TimeMarks.m_bRunning) {
        // The true wait: a start more than an hour ahead is not an early one.
        const std::time_t wait = m_StartTime - host.Now();
        m_TimeMarks.m_nWaiting = wait > 0 ? static_cast<int>(std::min<std::time_t>(wait, 0x7FFFFFFF)) : 0;
        if (m_TimeMarks.m_nWaiting > 0) {
            if (showStatus)
                host.SetStatusText(WaitNextEvent());
            return;
        }
        m_TimeMarks.SetClock(host.Clock());
        m_TimeMarks.Start();
    }
    const DWORD elapsed = m_TimeMarks.GetElapsed();
    if (elapsed >= m_TimeMarks.GetNextDue())
        m_TimeMarks.Dispatch(elapsed, &CLineDataDoc::DispatchMark, this);
    if (showStatus)
        host.SetStatusText(WaitNextEvent());
    const DWORD runTime = m_TimeMarks.GetRunTime();
    if (runTime != 0 && elapsed > runTime)
        StopMeasurement();
}

void CLineDataDoc::DispatchMark(void* context, CTimeMark* mark)
{
    static_cast<CLineDataDoc*>(context)->OnMark(*mark);
}

void CLineDataDoc::OnMark(const CTimeMark& mark)
{
    if (mark.m_strName == "Measure") {
        MeasureObjects();
    } else if (mark.m_strName == "Save") {
        if (!m_strPathName.IsEmpty() && OnSaveDocument(m_strPathName))
            SetModifiedFlag(FALSE);
    } else {
        ProcessEvent(mark.m_strName);
    }
}

CString CLineDataDoc::WaitNextEvent() const
{
    if (m_TimeMarks.m_nWaiting >= 1)
        return FormatString("Waiting:%ld Seconds ... ", static_cast<long>(m_TimeMarks.m_nWaiting));
    return FormatString("Time:%ld - Next Event: %ld", static_cast<long>(m_TimeMarks.GetElapsed() / 1000),
                        static_cast<long>(m_TimeMarks.FindByName("Measure") / 1000));
}

void CLineDataDoc::SingleStep()
{
    CRunEntry entry(m_nEntryDepth, m_bCloseAfterStep, *this);
    // A count axis has no start of its own: its first step starts it.
    if (!m_bRunning)
        StartMeasurement();
    MeasureObjects();
}

void CLineDataDoc::RunSteps(int count, BOOL fieldMode)
{
    CRunEntry entry(m_nEntryDepth, m_bCloseAfterStep, *this);
    StartMeasurement();
    CRunHost& host = Host();
    if (fieldMode) {
        for (int i = 0; i < count && m_bRunning && !host.IsEscapeDown(); ++i)
            FastStep(2);
        FastStep(1);
    } else {
        for (int i = 0; i <= count; ++i) {
            if (host.IsEscapeDown() || !m_bRunning)
                break;
            MeasureObjects();
        }
    }
    StopMeasurement();
    SetModifiedFlag(TRUE);
}

// ---- one step -------------------------------------------------------------------------

bool CLineDataDoc::TakeFrame(FGBoard& board)
{
    if (!board.IsLive() && board.GrabFrame(0) == 0.0)
        return false;
    if (!board.LockBuffer(1000))
        return false;
    bool taken = false;
    if (CDIB* page = board.GetDIB(); page != nullptr && page->GetWidth() > 0) {
        m_Frame.Copy(*page);
        taken = true;
    }
    board.UnlockBuffer();
    if (taken && m_pEngine != nullptr)
        m_pEngine->m_AOIDoc.SetImageSize(m_Frame.GetWidth(), m_Frame.GetHeight(), true);
    return taken;
}

void CLineDataDoc::AppendValue(int curve, double value)
{
    for (size_t c = 0; c < 2; ++c) {
        CCurveChart* chart = GetChart(static_cast<int>(c));
        if (chart != nullptr && curve < chart->GetCurveCount())
            chart->AddValue(static_cast<float>(value), curve);
    }
}

void CLineDataDoc::MeasureObjects()
{
    if (m_nDocType == kindAnalogue) {
        CollectSeries();
        return;
    }
    if (!m_bRunning || m_bBusy)
        return;
    CRunEntry entry(m_nEntryDepth, m_bCloseAfterStep, *this);
    bool failed = false;
    {
        // Busy and locked for the whole step, also when it fails.
        CStepScope scope(m_StepLock, m_bBusy);
        SetModifiedFlag(TRUE);
        try {
            MeasureStep();
        } catch (const CException& e) {
            e.ReportError();
            failed = true;
        } catch (const std::exception& e) {
            AfxMessageBox(e.what(), MB_ICONEXCLAMATION);
            failed = true;
        }
    }
    // A step that cannot be measured would fail at every mark.
    if (failed)
        StopMeasurement();
    UpdateAllViews(nullptr, kHintValues);
    Host().PumpMessages();
}

void CLineDataDoc::MeasureStep()
{
    FGBoard* board = GetInitBoard();
    const BYTE channel = board != nullptr ? board->GetInpChannel() : 0;
    const int modeWord = board != nullptr ? board->GetGrabModeWord() : 1;
    bool framed = false;
    if (board != nullptr) {
        framed = TakeFrame(*board);
        if (framed)
            WriteImageSequence();
    }
    const int items = m_Description[0].GetItemCount();
    for (int i = 0; i < items; ++i) {
        const double value = framed ? MeasureItem(i, i + 1 == items) : 0.0;
        CheckLimits(value);
        AppendValue(i, value);
    }
    if (board != nullptr) {
        if (GetMethodName() == "AreaChannel" && board->GetInpChannel() != channel)
            board->SetInpChannel(channel);
        if (modeWord == 0)
            board->EndOfStep();
    }
}

double CLineDataDoc::MeasureItem(int item, bool last)
{
    const CString method = GetMethodName();
    const CDataItemAttrib& attrib = m_Description[0].GetItem(item);
    CCurveChart& chart = *m_Charts.front();
    const double previous = item < chart.GetCurveCount() && chart.GetPointCount(item, false) > 0
                                ? chart.GetValue(item, chart.GetPointCount(item, false) - 1, false)
                                : 0.0;
    CBV* engine = m_pEngine;
    FGBoard* board = GetInitBoard();
    CDIBDoc* live = FindLiveImage();
    CDIB* livePage = live != nullptr ? live->GetActiveDIB() : nullptr;
    double value = 0.0;
    const auto markLive = [&] {
        if (engine != nullptr && livePage != nullptr)
            engine->MarkThresholdPixels(livePage, nullptr, engine->GetSettings().m_SegThres);
    };

    if (method == "Width") {
        value = previous;
        if (live != nullptr && livePage != nullptr && live->m_Points.GetSize() >= 2) {
            const POINT a = live->m_Points[0];
            const POINT b = live->m_Points[1];
            ScanRayParams rays;
            rays.m_nEdgeMode = kWidthEdgeMode;
            const CPoint first = rays.AnalyseLineProfile(*livePage, a.x, a.y, b.x, b.y);
            const CPoint second = rays.AnalyseLineProfile(*livePage, b.x, b.y, a.x, a.y);
            live->m_Points.RemoveAll();
            live->m_Points.Add(first);
            live->m_Points.Add(second);
            value = std::hypot(static_cast<double>(first.x - second.x), static_cast<double>(first.y - second.y));
        }
    } else if (engine == nullptr) {
        value = 0.0;
    } else if (method == "AreaAOI") {
        engine->m_AOIDoc.SetActiveAOI(attrib.m_nGroup);
        markLive();
        engine->MeasureLargestObject(&m_Frame, value);
        if (last)
            ClearOverlay(0);
    } else if (method == "AreaChannel") {
        if (board != nullptr && board->GetInpChannel() != attrib.m_nChannel &&
            board->SetInpChannel(static_cast<BYTE>(attrib.m_nChannel)))
            TakeFrame(*board);
        engine->m_AOIDoc.SetActiveAOI(attrib.m_nGroup);
        markLive();
        engine->MeasureLargestObject(&m_Frame, value);
        if (board != nullptr)
            if (const CAOI* aoi = engine->m_AOIDoc.GetActiveAOI(true))
                DrawAreaIntoOverlay(*board, *aoi);
    } else if (method == "MeanColor") {
        engine->m_AOIDoc.SetActiveAOI(attrib.m_nGroup);
        float mean = 0.0F;
        engine->GetActiveAOIColorStat(&m_Frame, mean);
        value = mean;
    } else if (method == "Distribution") {
        // Each item samples one video field of a fresh frame.
        if (board != nullptr) {
            board->SetField(item % 2);
            TakeFrame(*board);
        }
        if (const CAOI* aoi = engine->m_AOIDoc.GetActiveAOI(true)) {
            CShareRecord share;
            MeasureThresholdArea(*aoi, m_Frame, engine->GetSettings().m_SegThres, share, nullptr);
            value = share.Percent();
        }
    } else if (method == "Growth") {
        if (board != nullptr)
            if (const CAOI* aoi = engine->m_AOIDoc.GetActiveAOI(true))
                DrawAreaIntoOverlay(*board, *aoi);
    } else if (method == "Curvature") {
        engine->m_AOIDoc.SetActiveAOI(attrib.m_nGroup);
        if (const std::unique_ptr<CCurvatureObj> curvature = engine->CalcObjectCurvature(&m_Frame))
            value = curvature->GetCurvature();
    }
    if (method != "AreaAOI")
        ClearOverlay(0);
    return value;
}

void CLineDataDoc::FastStep(int mode)
{
    const int items = m_Description[0].GetItemCount();
    FGBoard* board = GetInitBoard();
    if (board == nullptr || m_pEngine == nullptr) {
        // A test signal, so that the loop shows something without a camera.
        m_dPhase += kTestPhaseStep;
        const double wave = 10.0 * std::sin(m_dPhase);
        AppendValue(0, wave + 10.0);
        AppendValue(1, wave + 20.0);
    } else if (TakeFrame(*board)) {
        for (int i = 0; i < items; ++i) {
            m_pEngine->m_AOIDoc.SetActiveAOI(m_Description[0].GetItem(i).m_nGroup);
            float even = 0.0F;
            float odd = 0.0F;
            m_pEngine->GetEvenOddRowGreen(&m_Frame, even, odd);
            AppendValue(i, even);
            if (mode == 2)
                AppendValue(i, odd);
        }
        board->ClearOverlay();
    }
    UpdateAllViews(nullptr, kHintValues);
}

// ---- frames written on the way --------------------------------------------------------

void CLineDataDoc::WriteImageSequence()
{
    if (m_bWriteAVI || m_bWriteFile) {
        if (m_strPathName.IsEmpty()) {
            // Never into the working folder under a made-up name.
            if (!m_bSequenceWarned)
                AfxMessageBox("The measurement has no file name yet: no image sequence is written.",
                              MB_ICONEXCLAMATION);
            m_bSequenceWarned = true;
        } else {
            std::filesystem::path base(m_strPathName.GetString());
            base.replace_extension();
            const CString name = FormatString("%s~%05d.bmp", base.string().c_str(), m_nImageCounter);
            if (m_Frame.Write(name)) {
                if (m_bWriteAVI)
                    m_arrImageFiles.Add(name);
                ++m_nImageCounter;
            } else if (!m_bSequenceWarned) {
                AfxMessageBox(FormatString("Cannot write %s.", name.GetString()), MB_ICONEXCLAMATION);
                m_bSequenceWarned = true;
            }
        }
    }
    if (m_bImageFilter)
        if (CDIBDoc* live = FindLiveImage())
            FilterLiveImage(*live);
}

void CLineDataDoc::FilterLiveImage(CDIBDoc& live)
{
    CDIB* page = live.GetActiveDIB();
    if (page == nullptr)
        return;
    switch (m_nImageFilterType) {
    case 0:
        SmoothFilter(page, SMOOTH_GAUSSIAN);
        break;
    case 1:
        SmoothFilter(page, SMOOTH_MEDIAN);
        break;
    case 2:
        if (m_pDifferenceFrame == nullptr) {
            m_pDifferenceFrame = std::make_unique<CDIB>(*page);
            page->SetAllGray(0);
        } else {
            CDIB current(*page);
            DifferenceThreshold(page, m_pDifferenceFrame.get(), nullptr, 0);
            *m_pDifferenceFrame = current;
        }
        break;
    default:
        break;
    }
}

void CLineDataDoc::FinishImageSequence()
{
    if (!m_bWriteAVI || m_arrImageFiles.IsEmpty())
        return;
    std::filesystem::path suggested(m_strPathName.GetString());
    suggested.replace_extension(".avi");
    CFileDialog dialog(FALSE, "avi", suggested.string().c_str(), OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                       "AVI File (*.avi;*.avi)|*.avi;*.avi||");
    bool complete = false;
    if (dialog.DoModal() == IDOK) {
        CAVI avi;
        complete = avi.CreateFromImageFiles(dialog.GetPathName(), m_arrImageFiles) != FALSE;
    }
    if (!complete) {
        // The frames are all there is of the run: they stay.
        const std::filesystem::path folder = std::filesystem::path(m_arrImageFiles[0].GetString()).parent_path();
        AfxMessageBox(FormatString("No AVI file was written; the %d frames stay in %s.",
                                   static_cast<int>(m_arrImageFiles.GetSize()), folder.string().c_str()),
                      MB_ICONEXCLAMATION);
    } else if (!m_bWriteFile) {
        for (INT_PTR i = 0; i < m_arrImageFiles.GetSize(); ++i) {
            std::error_code error;
            if (!std::filesystem::remove(m_arrImageFiles[i].GetString(), error))
                AfxMessageBox(FormatString("Could not delete %s", m_arrImageFiles[i].GetString()));
        }
    }
    m_arrImageFiles.RemoveAll();
    AfxMessageBox("Ready", MB_ICONINFORMATION);
}

void CLineDataDoc::OnCloseDocument()
{
    // Never under a running step: the step's end closes.
    if (m_nEntryDepth > 0) {
        m_bCloseAfterStep = true;
        return;
    }
    CDocument::OnCloseDocument();
}
