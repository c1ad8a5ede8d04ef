// The PowerShot camera in the program, over the simulated camera SDK: its
// plug-in beside the program makes it a video source; Init Video shows its
// live frames, Snapshot takes a picture into the video document and
// Video > Options opens the camera's settings.

#include "app/tests/apptesting.h"

#include "platform/ui/messagepump.h"

#include "app/resource.h"
#include "cameraplugins/fgplugin.h"
#include "imaging/dibdoc.h"
#include "imaging/dibmultidoctemplate.h"
#include "outside/grabwell/fgboard.h"
#include "outside/pixmere/dib.h"
#include "outside/prsdk/prsdksimulator.h"
#include "platform/core/library.h"
#include "platform/core/messages.h"
#include "platform/ui/dialog.h"
#include "platform/ui/widgetbridge.h"

#include <QApplication>
#include <QTimer>
#include <opencv2/core.hpp>

namespace kestrun::testing {
namespace {

using prsdk::PrsdkSimulator;

constexpr int kPowerShotSource = 4;

double MeanDifference(const cv::Mat& a, const cv::Mat& b)
{
    if (a.size() != b.size() || a.type() != b.type())
        return 1e9;
    cv::Mat diff;
    cv::absdiff(a, b, diff);
    const cv::Scalar m = cv::mean(diff);
    return (m[0] + m[1] + m[2]) / 3;
}

class CameraPlugInTest : public CAppTest
{
protected:
    void SetUp() override
    {
        CAppTest::SetUp();
        PrsdkSimulator().Reset();
        PrsdkSimulator().SetManualFrames(true);
        Start(m_app);
        FGBoard* board = GetFG();
        ASSERT_NE(board, nullptr);
        board->StopLive();
        board->DisconnectDisplay();
    }

    void TearDown() override
    {
        Stop(m_app);
        GetFG()->StopLive();
        GetFG()->DisconnectDisplay();
        GetFG()->SetVideoSource(0);
        PrsdkSimulator().Reset();
        CAppTest::TearDown();
    }

    CMainFrame& Frame() { return MainFrame(m_app); }

    // The camera chosen in the video-source combo, as the user does.
    void ChooseSource(int source)
    {
        CComboBox& combo = Frame().m_wndToolBar.m_wndComboBox1;
        int entry = -1;
        for (int i = 0; i < combo.GetCount(); ++i) {
            if (static_cast<int>(combo.GetItemData(i)) == source)
                entry = i;
        }
        ASSERT_GE(entry, 0) << "no video source " << source << " in the combo";
        combo.SetCurSel(entry);
        combo.NotifyParent(CBN_SELCHANGE);
        ASSERT_EQ(GetFG()->GetVideoSource(), source) << GetFG()->GetLastReport().GetString();
    }

    // Init Video on the camera: live frames run.
    CDIBDoc* StartCamera()
    {
        ChooseSource(kPowerShotSource);
        Frame().SendMessage(WM_COMMAND, ID_INIT_VIDEO);
        return VideoDocument(m_app);
    }

    // The plug-in's export, looked up by name as the board does.
    static bool PlugInHas(const char* name)
    {
        HMODULE module = ::LoadLibrary("Pavick.dll");
        if (module == nullptr)
            return false;
        const bool has = ::GetProcAddress(module, name) != nullptr;
        ::FreeLibrary(module);
        return has;
    }

    CKestrunApp m_app;
};

TEST_F(CameraPlugInTest, TheCameraIsAVideoSourceAndInitVideoShowsItsLiveFrames)
{
    EXPECT_EQ(GetFG()->GetVideoSourceNameAt(kPowerShotSource), "PowerShot Camera");

    CDIBDoc* video = StartCamera();
    ASSERT_NE(video, nullptr);
    FGBoard& board = *GetFG();
    ASSERT_TRUE(board.IsInit());
    ASSERT_TRUE(board.IsLive());
    EXPECT_TRUE(PrsdkSimulator().IsConnected());
    EXPECT_TRUE(PrsdkSimulator().IsViewFinderRunning());
    EXPECT_TRUE(QueryCommand(Frame(), ID_VIDEO_OPTIONS).enabled);

    const int before = board.GetFrameCount();
    ASSERT_EQ(PrsdkSimulator().DeliverFrames(3), 3);
    ASSERT_TRUE(WaitForFrames(before + 3));
    PumpMessages();
    const CDIB* page = video->GetActiveDIB();
    ASSERT_NE(page, nullptr);
    EXPECT_LT(MeanDifference(page->GetMat(), PrsdkSimulator().SceneFrame(2)), 3.0);
    EXPECT_TRUE(m_boxes->Texts().empty()) << m_boxes->Texts().front().GetString();
}

TEST_F(CameraPlugInTest, SnapshotTakesAPictureIntoTheVideoDocument)
{
    if (!PlugInHas(camplugin::kExportSnapshot))
        GTEST_SKIP() << "the camera plug-in has no export " << camplugin::kExportSnapshot << " yet";
    // The transfer window waits on posted messages, as the program's pump delivers them.
    CQtMessagePump pump;
    CDIBDoc* video = StartCamera();
    ASSERT_NE(video, nullptr);
    ASSERT_TRUE(GetFG()->IsLive());
    ASSERT_EQ(PrsdkSimulator().DeliverFrames(1), 1);

    Frame().SendMessage(WM_COMMAND, ID_SNAPSHOT);
    PumpMessages();
    EXPECT_FALSE(GetFG()->IsLive());
    EXPECT_FALSE(PrsdkSimulator().IsViewFinderRunning());
    const CDIB* page = video->GetActiveDIB();
    ASSERT_NE(page, nullptr);
    const cv::Size size = PrsdkSimulator().PictureSize();
    // The camera's first release.
    EXPECT_LT(MeanDifference(page->GetMat(), PrsdkSimulator().ScenePicture(1, size)), 3.0);
    EXPECT_TRUE(m_boxes->Texts().empty()) << m_boxes->Texts().front().GetString();
}

TEST_F(CameraPlugInTest, VideoOptionsOpensTheCamerasDialogWhileTheCameraIsTheSource)
{
    if (!PlugInHas(camplugin::kExportOpenDialog))
        GTEST_SKIP() << "the camera plug-in has no export " << camplugin::kExportOpenDialog << " yet";
    ASSERT_NE(StartCamera(), nullptr);
    ASSERT_TRUE(QueryCommand(Frame(), ID_VIDEO_OPTIONS).enabled);

    bool shown = false;
    QTimer::singleShot(0, [&shown] {
        auto* dialog = WindowOf<CDialog>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shown = true;
        dialog->EndDialog(IDCANCEL);
    });
    Frame().SendMessage(WM_COMMAND, ID_VIDEO_OPTIONS);
    EXPECT_TRUE(shown);
}

} // namespace
} // namespace kestrun::testing
