// Runs on the simulated board with the clock moved by hand: the timed
// steps and what each method measures, the untimed loop, stops, closing
// during a step, and the frames written as files and as an AVI.

#include "series/tests/measurementtesting.h"

#include "imaging/dibdoc.h"
#include "outside/pixmere/dib.h"
#include "platform/ui/doctemplate.h"
#include "series/curvechart.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <thread>

namespace kestrun::testing {
namespace {

namespace fs = std::filesystem;

// The largest object of a frame as an independent search sees it: the
// area of the largest outer contour of the pixels with a dark channel.
double LargestObjectArea(const cv::Mat& frame)
{
    cv::Mat mask;
    cv::inRange(frame, cv::Scalar(200, 200, 200), cv::Scalar(255, 255, 255), mask);
    cv::bitwise_not(mask, mask);
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(mask, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    double largest = 0.0;
    for (const auto& contour : contours)
        largest = std::max(largest, cv::contourArea(contour));
    return largest;
}

std::vector<float> Values(const CLineDataDoc& doc, int curve = 0)
{
    const CCurveChart& chart = *doc.GetChart(0);
    std::vector<float> values;
    for (int i = 0; i < chart.GetPointCount(curve, false); ++i)
        values.push_back(chart.GetValue(curve, i, false));
    return values;
}

class MeasurementRunTest : public CMeasurementTest
{
protected:
    // A timed run of the method at 1 s for 5 s, frames kept as files.
    std::unique_ptr<CRecordingDoc> TimedRun(const char* method, const char* file = "run.cht")
    {
        auto doc = MakeDoc();
        doc->SetPathName(PathOf(file), FALSE);
        CMeasurementSetup setup = Setup(*doc, method, 1);
        setup.m_bWriteFile = 1;
        EXPECT_TRUE(doc->ApplySetup(setup));
        doc->m_TimeMarks.SetRunTime(5000);
        std::vector<UINT> periods;
        EXPECT_TRUE(doc->StartRun([&](UINT period) {
            periods.push_back(period);
            return true;
        }));
        EXPECT_EQ(periods, std::vector<UINT>{500});
        EXPECT_EQ(doc->m_nTimerID, CLineDataDoc::kTimerId);
        RunTimer(*doc, 500);
        EXPECT_FALSE(doc->m_bRunning);
        EXPECT_EQ(doc->m_nTimerID, 0);
        return doc;
    }
    cv::Mat Frame(const char* base, int index) const
    {
        CDIB page;
        EXPECT_TRUE(page.Read(PathOf(FormatString("%s~%05d.bmp", base, index))));
        return page.GetMat().clone();
    }
};

TEST_F(MeasurementRunTest, AreaOfTheLargestObjectAtEverySecond)
{
    auto doc = TimedRun("AreaAOI");
    // Steps at 0 to 5 s.
    const std::vector<float> values = Values(*doc);
    ASSERT_EQ(values.size(), 6u);
    ASSERT_EQ(doc->m_nImageCounter, 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const double expected = LargestObjectArea(Frame("run", i));
        ASSERT_GT(expected, 50.0);
        EXPECT_NEAR(values[static_cast<size_t>(i)], expected, expected * 0.01);
    }
    // The camera moves its objects: the run saw different frames.
    EXPECT_GT(cv::norm(Frame("run", 0), Frame("run", 5), cv::NORM_L1), 0.0);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(m_host.m_status.back(), "Time:5 - Next Event: 6");
}

TEST_F(MeasurementRunTest, MeanColourGrowthAndNoBoard)
{
    auto mean = TimedRun("MeanColor", "mean.cht");
    const std::vector<float> means = Values(*mean);
    ASSERT_EQ(means.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        cv::Mat channels[3];
        cv::split(Frame("mean", i), channels);
        EXPECT_NEAR(means[static_cast<size_t>(i)], cv::mean(channels[2])[0], 0.5) << i; // red
    }

    auto growth = TimedRun("Growth", "growth.cht");
    EXPECT_EQ(Values(*growth), std::vector<float>(6, 0.0F));

    // Without a board every item gets 0 and no frame is taken.
    auto none = MakeDoc();
    none->SetBoard(nullptr);
    none->SetPathName(PathOf("none.cht"), FALSE);
    CMeasurementSetup setup = Setup(*none, "AreaAOI", 1);
    setup.m_bWriteFile = 1;
    ASSERT_TRUE(none->ApplySetup(setup));
    none->m_TimeMarks.SetRunTime(2000);
    ASSERT_TRUE(none->StartRun([](UINT) { return true; }));
    RunTimer(*none, 500);
    EXPECT_EQ(Values(*none), std::vector<float>(3, 0.0F));
    EXPECT_EQ(none->m_nImageCounter, 0);
    EXPECT_EQ(none->m_Frame.GetWidth(), 0);
}

TEST_F(MeasurementRunTest, TimerPeriodsAndTheUntimedLoop)
{
    struct sCase
    {
        int sec, msec;
        UINT period;        // 0: the loop
        size_t loopValues; // values of the loop that Escape ends after three steps
    };
    // 20 ms takes both fields of each 40 ms frame: two values a step and
    // one closing value.
    const sCase cases[] = {{0, 100, 100, 0}, {0, 500, 500, 0}, {2, 0, 500, 0}, {0, 40, 0, 3}, {0, 20, 0, 7}};
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.sec * 1000 + c.msec);
        auto doc = MakeDoc();
        ASSERT_TRUE(doc->ApplySetup(Setup(*doc, "Growth", c.sec, c.msec)));
        m_host.m_nEscapeAsks = 0;
        m_host.m_nEscapeAfter = 3;
        UINT period = 0;
        ASSERT_TRUE(doc->StartRun([&](UINT p) {
            period = p;
            return true;
        }));
        EXPECT_EQ(period, c.period);
        if (c.period == 0) {
            // Far more steps planned; Escape ended the loop.
            EXPECT_FALSE(doc->m_bRunning);
            EXPECT_EQ(Values(*doc).size(), c.loopValues);
        }
        doc->StopMeasurement();
    }
    m_host.m_nEscapeAfter = -1;

    // No timer to be had: said so, nothing runs.
    auto doc = MakeDoc();
    ASSERT_TRUE(doc->ApplySetup(Setup(*doc, "Growth", 1)));
    m_boxes->Clear();
    EXPECT_FALSE(doc->StartRun([](UINT) { return false; }));
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Error! No Timer available!"});
    EXPECT_FALSE(doc->m_bRunning);

    // A modified document asks first; Cancel keeps the old run.
    doc->SetModifiedFlag(TRUE);
    m_boxes->QueueAnswer(IDCANCEL);
    EXPECT_FALSE(doc->StartRun([](UINT) { return true; }));
    EXPECT_EQ(m_boxes->Texts().back(), "Overwrite previous measurement?");
}

TEST_F(MeasurementRunTest, ACountAxisStepsOneAtATime)
{
    auto doc = MakeDoc();
    CMeasurementSetup setup = Setup(*doc, "AreaAOI", 1);
    setup.m_nXAxis = CMeasurementSetup::axisCount;
    setup.m_nCount = 10;
    ASSERT_TRUE(doc->ApplySetup(setup));
    // No run time, no playback: "Start" has nothing to time.
    EXPECT_FALSE(doc->StartRun([](UINT) { return true; }));
    for (int i = 0; i < 3; ++i)
        doc->SingleStep();
    EXPECT_TRUE(doc->m_bRunning);
    const std::vector<float> values = Values(*doc);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_GT(values[0], 0.0F);
    doc->StopMeasurement();
    EXPECT_FALSE(doc->m_bRunning);
}

TEST_F(MeasurementRunTest, WidthBetweenTheLiveImagesPointsAndItsFilter)
{
    CMultiDocTemplate images(0, RUNTIME_CLASS(CDIBDoc), nullptr, nullptr);
    auto* live = dynamic_cast<CDIBDoc*>(images.CreateNewDocument());
    ASSERT_NE(live, nullptr);
    ASSERT_TRUE(live->InitVideoPages());
    // A dark bar from x 100 to 139 across the light live picture.
    cv::Mat page = live->GetActiveDIB()->GetMat();
    page.setTo(cv::Scalar::all(220));
    cv::rectangle(page, cv::Point(100, 20), cv::Point(139, 80), cv::Scalar::all(30), cv::FILLED);

    auto doc = MakeDoc();
    doc->m_pImageTemplate = &images;
    EXPECT_EQ(doc->FindLiveImage(), live);
    ASSERT_TRUE(doc->ApplySetup(Setup(*doc, "Width", 1)));
    ASSERT_TRUE(doc->StartRun([](UINT) { return true; }));
    // Two points: the edges found both ways replace them.
    live->m_Points.AddPoint(80, 50);
    live->m_Points.AddPoint(160, 50);
    m_host.Advance(1000);
    doc->TimerStep();
    ASSERT_EQ(live->m_Points.GetSize(), 2);
    EXPECT_NEAR(live->m_Points[0].x, 140, 2);
    EXPECT_NEAR(live->m_Points[1].x, 100, 2);
    // Fewer than two points keep the last value.
    live->m_Points.RemoveAll();
    live->m_Points.AddPoint(80, 50);
    m_host.Advance(1000);
    doc->TimerStep();
    const std::vector<float> widths = Values(*doc);
    ASSERT_EQ(widths.size(), 3u);
    EXPECT_EQ(widths[0], 0.0F); // no points yet, nothing before
    EXPECT_NEAR(widths[1], 40.0, 2.0);
    EXPECT_EQ(widths[2], widths[1]);

    // The difference filter keeps the first live frame and clears the view.
    doc->m_bImageFilter = 1;
    doc->m_nImageFilterType = 2;
    m_host.Advance(1000);
    doc->TimerStep();
    EXPECT_EQ(cv::countNonZero(page.reshape(1)), 0);
    doc->StopMeasurement();
    live->OnCloseDocument();
}

TEST_F(MeasurementRunTest, APlaybackMeasuresEachRecordedFrameOnce)
{
    const fs::path folder = m_folder / "recording";
    fs::create_directories(folder);
    const int radii[] = {10, 15, 20, 25};
    for (int i = 0; i < 4; ++i) {
        CDIB frame;
        ASSERT_TRUE(frame.InitDIB(320, 240, 24));
        frame.GetMat().setTo(cv::Scalar::all(220));
        cv::circle(frame.GetMat(), cv::Point(160, 120), radii[i], cv::Scalar(20, 90, 160), cv::FILLED);
        ASSERT_TRUE(frame.Write(CString((folder / FormatString("frame%d.bmp", i).GetString()).c_str())));
    }
    ASSERT_TRUE(m_board->SetParameterString(fgparam::kPlaybackFolder, CString(folder.c_str())));
    ASSERT_TRUE(m_board->SetVideoSource(1));
    ASSERT_TRUE(m_board->IsPlayback());

    auto doc = MakeDoc();
    CMeasurementSetup setup = doc->MakeSetup();
    ASSERT_TRUE(setup.m_bPlayback);
    EXPECT_EQ(setup.m_nPlaybackFrames, 4);
    const int period = static_cast<int>(std::lround(1000.0 / m_board->GetParameterDouble(fgparam::kFrameRate)));
    EXPECT_EQ(setup.m_nIntervalSec * 1000 + setup.m_nIntervalMSec, period);
    setup.m_nMethod = static_cast<int>(std::find(setup.m_arrMethods.begin(), setup.m_arrMethods.end(),
                                                 CString("AreaAOI")) -
                                       setup.m_arrMethods.begin());
    ASSERT_TRUE(doc->ApplySetup(setup));
    EXPECT_EQ(doc->m_TimeMarks.GetCount(), 0);
    EXPECT_EQ(doc->m_nUntimedSteps, 4);
    ASSERT_TRUE(doc->StartRun([](UINT) { return false; }));
    EXPECT_FALSE(doc->m_bRunning);
    const std::vector<float> areas = Values(*doc);
    ASSERT_EQ(areas.size(), 4u);
    // In frame order: the outline through the border pixels' centres.
    for (int i = 0; i < 4; ++i) {
        const double inner = std::numbers::pi * (radii[i] - 0.5) * (radii[i] - 0.5);
        EXPECT_NEAR(areas[static_cast<size_t>(i)], inner, 0.03 * inner) << i;
    }
}

TEST_F(MeasurementRunTest, AClockStartWaitsItsTrueTime)
{
    auto doc = MakeDoc();
    CMeasurementSetup setup = Setup(*doc, "Growth", 1, 0, 1);
    setup.m_bClockSynchron = 1;
    // The host's clock says 08:00; the start at 10:30 lies 9000 s ahead.
    setup.m_nStartHour = 10;
    setup.m_nStartMin = 30;
    ASSERT_TRUE(doc->ApplySetup(setup));
    ASSERT_TRUE(doc->StartRun([](UINT) { return true; }));
    EXPECT_EQ(doc->m_TimeMarks.m_nWaiting, 9000);
    EXPECT_EQ(m_host.m_status.back(), "Waiting:9000 Seconds ... ");
    // An hour and a minute later it still waits (not 3600 s early).
    m_host.Advance(3660 * 1000);
    doc->TimerStep();
    EXPECT_EQ(doc->m_TimeMarks.m_nWaiting, 5340);
    EXPECT_TRUE(Values(*doc).empty());
    m_host.Advance(5340 * 1000);
    doc->TimerStep();
    EXPECT_EQ(doc->m_TimeMarks.m_nWaiting, 0);
    EXPECT_EQ(Values(*doc).size(), 1u);
    // The chart counts seconds of the day from the start.
    EXPECT_DOUBLE_EQ(doc->GetChart(0)->Data().m_dXStart, 37800.0);
    doc->StopMeasurement();
}

TEST_F(MeasurementRunTest, BusyStepsIgnoreStopAndCloseAfterTheStep)
{
    auto doc = MakeDoc();
    ASSERT_TRUE(doc->ApplySetup(Setup(*doc, "Growth", 1)));
    // Every value is 0: above the limits' band the events come each step.
    doc->m_dLowerLimit = 1.0;
    doc->m_dUpperLimit = 2.0;
    int stops = 0;
    doc->m_onEvent = [&](const CString& name) {
        if (name == "LowOn") {
            ++stops;
            doc->StopMeasurement();
        }
    };
    ASSERT_TRUE(doc->StartRun([](UINT) { return true; }));
    EXPECT_EQ(stops, 1);
    EXPECT_TRUE(doc->m_bRunning); // ignored while busy
    EXPECT_EQ(Values(*doc).size(), 1u);

    doc->StopMeasurement();

    // Closing during a step (its limit event pumps the close request):
    // the step ends whole, then the run stops and the document closes.
    auto closing = MakeDoc();
    ASSERT_TRUE(closing->ApplySetup(Setup(*closing, "Growth", 1)));
    closing->m_dLowerLimit = 1.0;
    closing->m_dUpperLimit = 2.0;
    bool runningAtRequest = false;
    closing->m_onEvent = [&](const CString& name) {
        if (name == "LowOn") {
            closing->CloseWhenIdle();
            runningAtRequest = closing->m_bRunning && closing->m_bBusy;
        }
    };
    ASSERT_TRUE(closing->StartRun([](UINT) { return true; }));
    EXPECT_TRUE(runningAtRequest);
    EXPECT_FALSE(closing->m_bRunning);
    EXPECT_EQ(Values(*closing).size(), 1u);
    // Once closed, timer messages still queued do nothing.
    m_host.Advance(1000);
    closing->TimerStep();
    EXPECT_EQ(Values(*closing).size(), 1u);
}

TEST_F(MeasurementRunTest, TheSaveMarkStoresTheRunEveryHalfHour)
{
    auto doc = MakeDoc();
    const CString path = PathOf("long.cht");
    doc->SetPathName(path, FALSE);
    ASSERT_TRUE(doc->ApplySetup(Setup(*doc, "Growth", 10, 0, 31)));
    ASSERT_TRUE(doc->StartRun([](UINT) { return true; }));
    // At the start the empty chart is stored; half an hour on, 181 values.
    EXPECT_TRUE(fs::exists(path.GetString()));
    for (int tick = 0; tick < 3600; ++tick) {
        m_host.Advance(500);
        doc->TimerStep();
    }
    EXPECT_EQ(Values(*doc).size(), 181u);
    EXPECT_FALSE(doc->IsModified());
    CKestrunDoc stored;
    stored.m_bAutoDelete = FALSE;
    ASSERT_TRUE(stored.OnOpenDocument(path));
    EXPECT_EQ(stored.GetChart(0)->GetPointCount(0, false), 181);
    doc->StopMeasurement();
}

TEST_F(MeasurementRunTest, AFailingStepIsReportedAndEndsTheRun)
{
    auto doc = MakeDoc();
    ASSERT_TRUE(doc->ApplySetup(Setup(*doc, "Growth", 1)));
    doc->m_dLowerLimit = 1.0;
    doc->m_dUpperLimit = 2.0;
    doc->m_onEvent = [](const CString& name) {
        if (name == "LowOn")
            AfxThrowInvalidArgException();
    };
    ASSERT_TRUE(doc->StartRun([](UINT) { return true; }));
    EXPECT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_FALSE(doc->m_bRunning);
    EXPECT_FALSE(doc->m_bBusy);
    // The lock is free again: another thread gets it at once.
    bool locked = false;
    std::thread([&] {
        CCriticalSection& lock = doc->StepLock();
        locked = lock.Lock(0) != FALSE;
        if (locked)
            lock.Unlock();
    }).join();
    EXPECT_TRUE(locked);
}

TEST_F(MeasurementRunTest, FramesBecomeAnAviAndGoOnlyWhenItIsComplete)
{
    struct sCase
    {
        const char* name;
        bool answer; // the AVI file chooser
        int writeFile;
        bool framesStay;
    };
    const sCase cases[] = {
        {"complete AVI", true, 0, false},
        {"complete AVI, files kept", true, 1, true},
        {"cancelled chooser keeps the frames", false, 0, true},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_boxes->Clear();
        auto doc = MakeDoc();
        const CString base = FormatString("avi%d", static_cast<int>(&c - cases));
        doc->SetPathName(PathOf(base + ".cht"), FALSE);
        CMeasurementSetup setup = Setup(*doc, "AreaAOI", 1);
        setup.m_bWriteAVI = 1;
        setup.m_bWriteFile = c.writeFile;
        ASSERT_TRUE(doc->ApplySetup(setup));
        doc->m_TimeMarks.SetRunTime(3000);
        const CString avi = PathOf(base + ".avi");
        AnswerFileDialog(c.answer ? avi : CString());
        ASSERT_TRUE(doc->StartRun([](UINT) { return true; }));
        RunTimer(*doc, 500);
        EXPECT_EQ(m_strDialogFileName, avi);
        EXPECT_EQ(m_strDialogFilter, "AVI File (*.avi;*.avi)|*.avi;*.avi||");
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(fs::exists(PathOf(FormatString("%s~%05d.bmp", base.GetString(), i)).GetString()),
                      c.framesStay)
                << i;
        EXPECT_TRUE(doc->m_arrImageFiles.IsEmpty());
        if (c.answer) {
            cv::VideoCapture video(avi.GetString(), cv::CAP_OPENCV_MJPEG);
            ASSERT_TRUE(video.isOpened());
            EXPECT_EQ(video.get(cv::CAP_PROP_FRAME_COUNT), 4.0);
            EXPECT_EQ(video.get(cv::CAP_PROP_FPS), 25.0);
            EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Ready"});
        } else {
            EXPECT_FALSE(fs::exists(avi.GetString()));
            ASSERT_EQ(m_boxes->Texts().size(), 2u);
            EXPECT_EQ(m_boxes->Texts()[0],
                      FormatString("No AVI file was written; the 4 frames stay in %s.", m_folder.c_str()));
        }
    }
}

TEST_F(MeasurementRunTest, AnUnsavedRunWritesNoSequence)
{
    const fs::path before = fs::current_path();
    fs::current_path(m_folder);
    auto doc = MakeDoc();
    CMeasurementSetup setup = Setup(*doc, "Growth", 1);
    setup.m_bWriteFile = 1;
    ASSERT_TRUE(doc->ApplySetup(setup));
    doc->m_TimeMarks.SetRunTime(2000);
    ASSERT_TRUE(doc->StartRun([](UINT) { return true; }));
    RunTimer(*doc, 500);
    fs::current_path(before);
    EXPECT_EQ(Values(*doc).size(), 3u);
    EXPECT_EQ(m_boxes->Texts(),
              std::vector<CString>{"The measurement has no file name yet: no image sequence is written."});
    EXPECT_FALSE(fs::exists(m_folder / "~00000.bmp"));
    EXPECT_EQ(doc->m_nImageCounter, 0);
}

TEST_F(MeasurementRunTest, SequenceNamesDropOnlyTheExtension)
{
    auto doc = MakeDoc();
    doc->SetPathName(PathOf("a.b/run.long"), FALSE);
    fs::create_directories(m_folder / "a.b");
    doc->m_bWriteFile = 1;
    doc->m_bRunning = 1;
    ASSERT_TRUE(m_board->GrabFrame(0) == 1.0);
    doc->m_Frame.InitDIB(8, 8, 24);
    doc->WriteImageSequence();
    EXPECT_TRUE(fs::exists(m_folder / "a.b" / "run~00000.bmp"));
    doc->m_bRunning = 0;
}

} // namespace
} // namespace kestrun::testing
