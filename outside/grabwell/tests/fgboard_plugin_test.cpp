// Camera plug-ins as video sources 4 and 5: found by file, opened with the
// host window and the frame sink, live frames pushed from the camera's
// thread, snapshots, the options dialog and the profile names.

#include "outside/grabwell/tests/boardtesting.h"
#include "outside/grabwell/tests/fakeplugin.h"

#include "platform/core/clock.h"
#include "platform/core/folders.h"
#include "platform/core/library.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <opencv2/core.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
namespace p = kestrun::fgparam;
using kestrun::testing::CRecordingWindow;
using kestrun::testing::ScopedMessageBoxes;
using kestrun::testing::ScratchFolder;
using Calls = std::vector<std::string>;

constexpr int kPowerShot = 4;
constexpr int kEos = 5;

enum class Variant
{
    whole,
    liveOnly,
};

fs::path BuiltPlugIn(Variant variant)
{
    const char* name = variant == Variant::whole ? "libgrabwell_fakeplugin.so" : "libgrabwell_fakeplugin_liveonly.so";
    return fs::path(kestrun::ModuleFolder().str()) / name;
}

bool Same(const cv::Mat& a, const cv::Mat& b)
{
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0.0;
}

// A frame as the camera's thread would hand it to the sink.
void PushFrame(CFakePlugInState& plugIn, const cv::Mat& frame)
{
    std::thread camera([&] {
        if (kestrun::camplugin::CPluginFrameSink* sink = plugIn.sink)
            sink->OnLiveFrame(frame);
    });
    camera.join();
}

class PlugInBoardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_folder = ScratchFolder(name.c_str());
        m_plugIns = m_folder / "plugins";
        fs::create_directories(m_plugIns);
    }
    void TearDown() override
    {
        if (m_board) {
            m_board->StopLive();
            m_board->DisconnectDisplay();
        }
        m_board.reset();
        for (HMODULE module : m_modules)
            ::FreeLibrary(module);
    }

    // The plug-in file of a source, then the board that finds it.
    void Place(int source, Variant variant)
    {
        const char* file = source == kPowerShot ? "libpavick.so" : "libostrel.so";
        fs::copy_file(BuiltPlugIn(variant), m_plugIns / file, fs::copy_options::overwrite_existing);
    }
    FGBoard& Board()
    {
        if (!m_board) {
            m_board = std::make_unique<FGBoard>(&m_clock, m_folder.c_str(), m_plugIns.c_str());
            m_board->SetParameterString(p::kFolder, m_folder.c_str());
        }
        return *m_board;
    }
    // The state of the plug-in the board loaded for a source.
    CFakePlugInState& PlugIn(int source)
    {
        const char* file = source == kPowerShot ? "libpavick.so" : "libostrel.so";
        HMODULE module = ::LoadLibrary((m_plugIns / file).c_str());
        EXPECT_NE(module, nullptr);
        m_modules.push_back(module);
        auto state = reinterpret_cast<PFN_FakePlugInState>(::GetProcAddress(module, kFakePlugInStateExport));
        return *state();
    }
    // The plug-in placed, chosen and connected to the view showing m_page.
    CFakePlugInState& Connect(Variant variant)
    {
        Place(kPowerShot, variant);
        return Open(kPowerShot);
    }
    // A placed plug-in chosen and connected.
    CFakePlugInState& Open(int source)
    {
        EXPECT_TRUE(Board().SetVideoSource(source)) << Board().GetLastReport().GetString();
        Board().SetHostWindow(HostWindow());
        EXPECT_EQ(Board().ConnectDisplay(&m_page, m_view.Handle(), CRect(0, 0, 640, 480)), 1);
        return PlugIn(source);
    }
    // The plug-ins only pass the host window on; any address will do.
    CWnd* HostWindow() { return reinterpret_cast<CWnd*>(&m_hostMarker); }

    kestrun::ManualClock m_clock;
    ScopedMessageBoxes m_boxes;
    fs::path m_folder;
    fs::path m_plugIns;
    std::unique_ptr<FGBoard> m_board;
    std::vector<HMODULE> m_modules;
    CRecordingWindow m_view;
    CDIB m_page;
    int m_hostMarker = 0;
};

TEST_F(PlugInBoardTest, PlugInSourcesAreThereOnlyWhenTheirFilesAre)
{
    struct Case
    {
        bool powerShot;
        bool eos;
    };
    const Case cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.powerShot << c.eos);
        m_board.reset();
        fs::remove_all(m_plugIns);
        fs::create_directories(m_plugIns);
        if (c.powerShot)
            Place(kPowerShot, Variant::whole);
        if (c.eos)
            Place(kEos, Variant::whole);
        FGBoard& board = Board();
        EXPECT_EQ(board.GetVideoSourceNameAt(kPowerShot), c.powerShot ? "PowerShot Camera" : "");
        EXPECT_EQ(board.GetVideoSourceNameAt(kEos), c.eos ? "EOS Camera" : "");
        for (const auto& [source, present] : {std::pair{kPowerShot, c.powerShot}, std::pair{kEos, c.eos}}) {
            ASSERT_TRUE(board.SetVideoSource(0));
            EXPECT_EQ(board.SetVideoSource(source), present ? TRUE : FALSE);
            EXPECT_EQ(board.GetVideoSource(), present ? source : 0);
            EXPECT_EQ(board.IsPlugInSource(), present ? TRUE : FALSE);
            // Choosing a source does not start the camera.
            EXPECT_FALSE(board.IsInit());
        }
    }
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(PlugInBoardTest, ADamagedPlugInFileIsRefusedAndTheBoardKeepsItsSource)
{
    {
        std::ofstream damaged(m_plugIns / "libpavick.so", std::ios::binary);
        damaged << "not a library";
    }
    FGBoard& board = Board();
    EXPECT_EQ(board.GetVideoSourceNameAt(kPowerShot), "PowerShot Camera");
    EXPECT_FALSE(board.SetVideoSource(kPowerShot));
    EXPECT_EQ(board.GetVideoSource(), 0);
    EXPECT_NE(board.GetLastReport().Find("cannot be loaded"), -1) << board.GetLastReport().GetString();
    EXPECT_FALSE(board.IsPlugInSource());
    EXPECT_FALSE(board.OpenDialog(nullptr));
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(PlugInBoardTest, OpeningStartsThePlugInWithTheHostWindowAndTheFrameSink)
{
    CFakePlugInState& plugIn = Connect(Variant::whole);
    EXPECT_TRUE(Board().IsInit());
    EXPECT_EQ(plugIn.Calls(), (Calls{"SetParameter 152 0", "SetFrameSink", "Init"}));
    EXPECT_EQ(plugIn.host, HostWindow());
    EXPECT_NE(plugIn.sink.load(), nullptr);
    // The live-image size is the plug-in's.
    EXPECT_EQ(Board().GetParameter(p::kLiveWidth), 320);
    EXPECT_EQ(Board().GetParameter(p::kLiveHeight), 240);

    Board().DisconnectDisplay();
    EXPECT_FALSE(Board().IsInit());
    const Calls calls = plugIn.Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(Calls(calls.end() - 2, calls.end()), (Calls{"Exit", "SetFrameSink null"}));
    EXPECT_EQ(plugIn.sink.load(), nullptr);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(PlugInBoardTest, SwitchingSourcesWhileOpenEndsTheFormerCameraSession)
{
    Place(kPowerShot, Variant::whole);
    Place(kEos, Variant::whole);
    CFakePlugInState& powerShot = Open(kPowerShot);
    ASSERT_TRUE(Board().StartLive());
    const Calls opened{"SetParameter 152 0", "SetFrameSink", "Init"};

    ASSERT_TRUE(Board().SetVideoSource(kEos));
    EXPECT_TRUE(Board().IsInit());
    CFakePlugInState& eos = PlugIn(kEos);
    EXPECT_EQ(eos.Calls(), opened);
    Calls ended = opened;
    ended.insert(ended.end(), {"ContFrGr", "Exit", "SetFrameSink null"});
    EXPECT_EQ(powerShot.Calls(), ended);
    // The view follows the new source by grabbing.
    kestrun::PumpMessages();
    const std::vector<WPARAM> notices = m_view.Events("MSG_GRABWELL_TO_APP");
    EXPECT_EQ(std::count(notices.begin(), notices.end(), kestrun::fgevent::kFormatChangedLive), 1);

    ASSERT_TRUE(Board().SetVideoSource(0));
    const Calls calls = eos.Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(Calls(calls.end() - 2, calls.end()), (Calls{"Exit", "SetFrameSink null"}));
    EXPECT_FALSE(Board().IsPlugInSource());
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(PlugInBoardTest, APlugInThatFindsNoCameraIsEndedAndReported)
{
    Place(kPowerShot, Variant::whole);
    ASSERT_TRUE(Board().SetVideoSource(kPowerShot));
    PlugIn(kPowerShot).initResult = 0;
    EXPECT_EQ(Board().ConnectDisplay(&m_page, m_view.Handle(), CRect(0, 0, 640, 480)), 0);
    EXPECT_FALSE(Board().IsInit());
    EXPECT_EQ(PlugIn(kPowerShot).Calls(),
              (Calls{"SetParameter 152 0", "SetFrameSink", "Init", "Exit", "SetFrameSink null"}));
    ASSERT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_NE(m_boxes->Texts()[0].Find("PowerShot Camera"), -1);
}

TEST_F(PlugInBoardTest, PushedLiveFramesGoIntoThePageAndAreAnnouncedUntilLiveVideoStops)
{
    CFakePlugInState& plugIn = Connect(Variant::whole);
    int callBacks = 0;
    Board().SetCallBack([](void* count) { return ++*static_cast<int*>(count); }, &callBacks);

    // Before live video the camera's frames are not wanted.
    const cv::Mat early(240, 320, CV_8UC3, cv::Scalar(1, 2, 3));
    PushFrame(plugIn, early);
    EXPECT_EQ(Board().GetFrameCount(), 0);

    ASSERT_TRUE(Board().StartLive());
    EXPECT_TRUE(Board().IsLive());
    EXPECT_EQ(plugIn.Calls(), (Calls{"SetParameter 152 0", "SetFrameSink", "Init", "ContFrGr"}));
    struct Step
    {
        cv::Size size;
        bool newSize;
    };
    const Step steps[] = {{{320, 240}, true}, {{320, 240}, false}, {{640, 480}, true}};
    int frames = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(frames);
        const cv::Mat frame(step.size, CV_8UC3, cv::Scalar(10 * frames, 200, 50));
        PushFrame(plugIn, frame);
        ++frames;
        EXPECT_EQ(Board().GetFrameCount(), frames);
        EXPECT_TRUE(Same(m_page.GetMat(), frame));
        EXPECT_EQ(callBacks, frames);
        kestrun::PumpMessages();
        EXPECT_EQ(m_view.Events("MSG_GRABBER"), std::vector<WPARAM>(static_cast<size_t>(frames), kestrun::fgevent::kPictureReady));
        // A new size makes the views follow it, never a still grab (which
        // would take a picture with the camera).
        const std::vector<WPARAM> notices = m_view.Events("MSG_GRABWELL_TO_APP");
        EXPECT_EQ(std::count(notices.begin(), notices.end(), kestrun::fgevent::kUpdateViews),
                  std::count_if(steps, steps + frames, [](const Step& s) { return s.newSize; }));
        EXPECT_EQ(std::count(notices.begin(), notices.end(), kestrun::fgevent::kFormatChangedLive), 0);
    }

    Board().StopLive();
    EXPECT_FALSE(Board().IsLive());
    const cv::Mat shown = m_page.GetMat().clone();
    PushFrame(plugIn, cv::Mat(240, 320, CV_8UC3, cv::Scalar(9, 9, 9)));
    EXPECT_EQ(Board().GetFrameCount(), frames);
    EXPECT_TRUE(Same(m_page.GetMat(), shown));
    Board().SetCallBack(nullptr, nullptr);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(PlugInBoardTest, AFrameThePageCannotTakeIsDroppedAndLiveVideoGoesOn)
{
    CFakePlugInState& plugIn = Connect(Variant::whole);
    ASSERT_TRUE(Board().StartLive());
    const cv::Mat good(240, 320, CV_8UC3, cv::Scalar(40, 50, 60));
    PushFrame(plugIn, good);
    const cv::Mat bad[] = {cv::Mat(240, 320, CV_16UC3, cv::Scalar::all(7)), cv::Mat(240, 320, CV_8UC2, cv::Scalar::all(7)),
                           cv::Mat()};
    for (const cv::Mat& frame : bad) {
        SCOPED_TRACE(&frame - bad);
        PushFrame(plugIn, frame);
        EXPECT_EQ(Board().GetFrameCount(), 1);
        EXPECT_TRUE(Same(m_page.GetMat(), good));
        EXPECT_TRUE(Board().IsLive());
    }
    const cv::Mat next(240, 320, CV_8UC3, cv::Scalar(70, 80, 90));
    PushFrame(plugIn, next);
    EXPECT_EQ(Board().GetFrameCount(), 2);
    EXPECT_TRUE(Same(m_page.GetMat(), next));
    Board().StopLive();
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(PlugInBoardTest, ACallBackMayStopPushedLiveVideoFromTheCamerasThread)
{
    CFakePlugInState& plugIn = Connect(Variant::whole);
    struct Stopper
    {
        FGBoard* board;
        int calls = 0;
    } stopper{&Board()};
    Board().SetCallBack(
        [](void* context) {
            auto* s = static_cast<Stopper*>(context);
            ++s->calls;
            s->board->StopLive();
            return 0;
        },
        &stopper);
    ASSERT_TRUE(Board().StartLive());
    PushFrame(plugIn, cv::Mat(240, 320, CV_8UC3, cv::Scalar(5, 6, 7)));
    EXPECT_FALSE(Board().IsLive());
    PushFrame(plugIn, cv::Mat(240, 320, CV_8UC3, cv::Scalar(8, 8, 8)));
    EXPECT_EQ(stopper.calls, 1);
    EXPECT_EQ(Board().GetFrameCount(), 1);
    // Live again after a stop from the camera's thread.
    ASSERT_TRUE(Board().StartLive());
    PushFrame(plugIn, cv::Mat(240, 320, CV_8UC3, cv::Scalar(1, 1, 1)));
    EXPECT_EQ(Board().GetFrameCount(), 2);
    Board().SetCallBack(nullptr, nullptr);
}

TEST_F(PlugInBoardTest, AStillGrabIsThePlugInsSnapshot)
{
    // Source 4 with every export, source 5 without a snapshot.
    Place(kPowerShot, Variant::whole);
    Place(kEos, Variant::liveOnly);
    for (const auto& [source, variant] : {std::pair{kPowerShot, Variant::whole}, std::pair{kEos, Variant::liveOnly}}) {
        SCOPED_TRACE(source);
        Board().DisconnectDisplay();
        const size_t boxes = m_boxes->Texts().size();
        CFakePlugInState& plugIn = Open(source);
        plugIn.picture = cv::Mat(48, 64, CV_8UC3, cv::Scalar(30, 60, 90));
        ASSERT_TRUE(Board().StartLive());
        const double grabbed = Board().GrabFrame(0);
        EXPECT_FALSE(Board().IsLive());
        if (variant == Variant::whole) {
            EXPECT_EQ(grabbed, 1.0);
            EXPECT_EQ(plugIn.Calls(), (Calls{"SetParameter 152 0", "SetFrameSink", "Init", "ContFrGr", "Snapshot"}));
            EXPECT_TRUE(Same(m_page.GetMat(), plugIn.picture));
            EXPECT_EQ(m_boxes->Texts().size(), boxes);
        } else {
            EXPECT_EQ(grabbed, 0.0);
            ASSERT_EQ(m_boxes->Texts().size(), boxes + 1);
            EXPECT_NE(m_boxes->Texts().back().Find("_Snapshot@4"), -1) << m_boxes->Texts().back().GetString();
        }
    }
}

TEST_F(PlugInBoardTest, TheOptionsDialogIsTheCurrentPlugIns)
{
    Place(kPowerShot, Variant::whole);
    Place(kEos, Variant::liveOnly);
    struct Case
    {
        int source;
        bool plugIn;
        bool dialog;
    };
    const Case cases[] = {{0, false, false}, {kPowerShot, true, true}, {kEos, true, false}, {0, false, false}};
    int parent = 0;
    CWnd* parentWnd = reinterpret_cast<CWnd*>(&parent);
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        ASSERT_TRUE(Board().SetVideoSource(c.source));
        EXPECT_EQ(Board().IsPlugInSource(), c.plugIn ? TRUE : FALSE);
        EXPECT_EQ(Board().OpenDialog(parentWnd), c.dialog ? TRUE : FALSE);
    }
    // One dialog, shown over the parent it was given.
    const Calls calls = PlugIn(kPowerShot).Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "OpenDialog"), 1);
    EXPECT_EQ(PlugIn(kPowerShot).dialogParent, parentWnd);
    EXPECT_TRUE(PlugIn(kEos).Calls().empty());
}

TEST_F(PlugInBoardTest, ProfileNamesAndTheReportFlagReachTheInitialisedPlugIn)
{
    Place(kPowerShot, Variant::whole);
    ASSERT_TRUE(Board().SetVideoSource(kPowerShot));
    CFakePlugInState& plugIn = PlugIn(kPowerShot);
    // Not initialised: its profile file is not read yet, so nothing goes.
    Board().SetParameterString(p::kSaveProfile, "Early");
    Board().SetParameterString(p::kProfile, "Early");
    EXPECT_TRUE(plugIn.Calls().empty());

    Board().SetHostWindow(HostWindow());
    ASSERT_EQ(Board().ConnectDisplay(&m_page, m_view.Handle(), CRect(0, 0, 640, 480)), 1);
    const size_t before = plugIn.Calls().size();
    EXPECT_TRUE(Board().SetParameterString(p::kSaveProfile, "Day"));
    Board().SetParameterString(p::kProfile, "Night"); // the board has no "Night"
    Board().SetParameterString(p::kProfile, "Day");
    EXPECT_TRUE(Board().SetParameter(p::kReportToWindow, 1));
    const Calls calls = plugIn.Calls();
    EXPECT_EQ(Calls(calls.begin() + static_cast<long>(before), calls.end()),
              (Calls{"SetParameterString 151 Day", "SetParameterString 150 Night", "SetParameterString 150 Day",
                     "SetParameter 152 1"}));
    EXPECT_EQ(Board().GetParameterString(p::kProfile), "Day");
}

TEST_F(PlugInBoardTest, APlugInWithoutTypedTextsIsNotSentProfileNames)
{
    CFakePlugInState& plugIn = Connect(Variant::liveOnly);
    const size_t before = plugIn.Calls().size();
    EXPECT_TRUE(Board().SetParameterString(p::kSaveProfile, "Day"));
    EXPECT_TRUE(Board().SetParameterString(p::kProfile, "Day"));
    EXPECT_EQ(plugIn.Calls().size(), before);
}

} // namespace
