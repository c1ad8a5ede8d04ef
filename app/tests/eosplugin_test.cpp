// The EOS camera in the program, over the simulated EOS SDK, with both
// camera plug-ins beside the program: source 5 shows live view on Init
// Video, Snapshot downloads a picture into the video document and Video >
// Options opens the camera control dialog.

#include "app/tests/apptesting.h"

#include "app/resource.h"
#include "cameraplugins/fgplugin.h"
#include "imaging/dibdoc.h"
#include "imaging/dibmultidoctemplate.h"
#include "outside/edsdk/edsdksimulator.h"
#include "outside/grabwell/fgboard.h"
#include "outside/pixmere/dib.h"
#include "platform/core/messages.h"
#include "platform/ui/dialog.h"
#include "platform/ui/widgetbridge.h"

#include <QApplication>
#include <QTimer>
#include <opencv2/core.hpp>

namespace kestrun::testing {
namespace {

using edsdk::EdsdkSimulator;

constexpr int kEosSource = 5;

class EosPlugInTest : public CAppTest
{
protected:
    void SetUp() override
    {
        CAppTest::SetUp();
        EdsdkSimulator().Reset();
        Start(m_app);
        GetFG()->StopLive();
        GetFG()->DisconnectDisplay();
    }

    void TearDown() override
    {
        Stop(m_app);
        GetFG()->StopLive();
        GetFG()->DisconnectDisplay();
        GetFG()->SetVideoSource(0);
        EdsdkSimulator().Reset();
        CAppTest::TearDown();
    }

    CMainFrame& Frame() { return MainFrame(m_app); }

    // Init Video on the EOS camera chosen in the video-source combo.
    CDIBDoc* StartCamera()
    {
        CComboBox& combo = Frame().m_wndToolBar.m_wndComboBox1;
        for (int i = 0; i < combo.GetCount(); ++i) {
            if (static_cast<int>(combo.GetItemData(i)) == kEosSource) {
                combo.SetCurSel(i);
                combo.NotifyParent(CBN_SELCHANGE);
            }
        }
        if (GetFG()->GetVideoSource() != kEosSource)
            return nullptr;
        Frame().SendMessage(WM_COMMAND, ID_INIT_VIDEO);
        return VideoDocument(m_app);
    }

    CKestrunApp m_app;
};

TEST_F(EosPlugInTest, InitVideoOnSourceFiveShowsLiveView)
{
    EXPECT_EQ(GetFG()->GetVideoSourceNameAt(4), "PowerShot Camera");
    EXPECT_EQ(GetFG()->GetVideoSourceNameAt(kEosSource), "EOS Camera");
    CDIBDoc* video = StartCamera();
    ASSERT_NE(video, nullptr) << GetFG()->GetLastReport().GetString();
    ASSERT_TRUE(GetFG()->IsLive());
    EXPECT_TRUE(QueryCommand(Frame(), ID_VIDEO_OPTIONS).enabled);
    // The session opens on the plug-in's command thread; frames follow it.
    ASSERT_TRUE(WaitForFrames(GetFG()->GetFrameCount() + 3));
    EXPECT_TRUE(EdsdkSimulator().IsSessionOpen());
    PumpMessages();
    const CDIB* page = video->GetActiveDIB();
    ASSERT_NE(page, nullptr);
    EXPECT_GT(page->GetWidth(), 0);
    EXPECT_TRUE(m_boxes->Texts().empty()) << m_boxes->Texts().front().GetString();
}

TEST_F(EosPlugInTest, SnapshotDownloadsAPictureIntoTheVideoDocument)
{
    CDIBDoc* video = StartCamera();
    ASSERT_NE(video, nullptr) << GetFG()->GetLastReport().GetString();
    Frame().SendMessage(WM_COMMAND, ID_SNAPSHOT);
    PumpMessages();
    const CDIB* page = video->GetActiveDIB();
    ASSERT_NE(page, nullptr);
    const cv::Mat expected = EdsdkSimulator().ScenePicture(EdsdkSimulator().PicturesTaken());
    ASSERT_EQ(page->GetMat().size(), expected.size());
    cv::Mat diff;
    cv::absdiff(page->GetMat(), expected, diff);
    const cv::Scalar mean = cv::mean(diff);
    EXPECT_LT((mean[0] + mean[1] + mean[2]) / 3, 3.0);
    EXPECT_TRUE(m_boxes->Texts().empty()) << m_boxes->Texts().front().GetString();
}

TEST_F(EosPlugInTest, VideoOptionsOpensTheCameraControl)
{
    ASSERT_NE(StartCamera(), nullptr) << GetFG()->GetLastReport().GetString();
    bool shown = false;
    QTimer::singleShot(0, [&shown] {
        auto* dialog = WindowOf<CDialog>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        CString caption;
        dialog->GetWindowText(caption);
        EXPECT_EQ(caption, "Canon EOS Digital Camera Control");
        shown = true;
        dialog->EndDialog(IDCANCEL);
    });
    Frame().SendMessage(WM_COMMAND, ID_VIDEO_OPTIONS);
    EXPECT_TRUE(shown);
}

} // namespace
} // namespace kestrun::testing
