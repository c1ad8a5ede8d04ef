// Pictures through _Snapshot@4: the release, the "USB image transfer"
// window with its worker, and the picture in the image or in a file.

#include "cameraplugins/fgplugin.h"
#include "cameraplugins/powershot/fgpavick.h"
#include "cameraplugins/powershot/pavickapp.h"
#include "cameraplugins/powershot/tests/pavicktesting.h"

#include "outside/pixmere/dib.h"
#include "outside/prsdk/prsdksimulator.h"

#include "platform/core/library.h"
#include "platform/core/messages.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/messagepump.h"

#include <gtest/gtest.h>

#include <opencv2/core.hpp>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace kestrun;
using namespace kestrun::camplugin;
using kestrun::prsdk::PrsdkSimulator;

namespace {

// A host window that keeps the wParam of each "MSG_GRABBER".
class CSnapshotHost : public CMessageTarget
{
public:
    CSnapshotHost() : m_hWnd(CreateWindowHandle(this)) {}
    ~CSnapshotHost() override { DestroyWindowHandle(m_hWnd); }
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM) override
    {
        if (message == ::RegisterWindowMessage(kMsgGrabber))
            m_grabber.push_back(wParam);
        return 0;
    }
    HWND m_hWnd;
    std::vector<WPARAM> m_grabber;
};

CLocalTime PictureTime()
{
    CLocalTime time;
    time.tm.tm_year = 2024 - 1900;
    time.tm.tm_mon = 0;
    time.tm.tm_mday = 31;
    time.tm.tm_hour = 14;
    time.tm.tm_min = 5;
    time.tm.tm_sec = 9;
    time.nMilliseconds = 7;
    return time;
}

class PavickSnapshotTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PrsdkSimulator().Reset();
        PrsdkSimulator().SetManualFrames(true);
        PrsdkSimulator().SetPictureSize({320, 240});
        m_module = ::LoadLibrary("Pavick.dll");
        ASSERT_NE(m_module, nullptr) << LastLibraryError().GetString();
        m_init = reinterpret_cast<int (*)(CWnd*)>(::GetProcAddress(m_module, kExportInit));
        m_snapshot = reinterpret_cast<PFN_Snapshot>(::GetProcAddress(m_module, kExportSnapshot));
        m_contFrGr = reinterpret_cast<PFN_ContFrGr>(::GetProcAddress(m_module, kExportContFrGr));
        m_setImageDir = reinterpret_cast<PFN_SetImageDir>(::GetProcAddress(m_module, kExportSetImageDir));
        ASSERT_TRUE(m_init && m_snapshot && m_contFrGr && m_setImageDir);
        PavickApp().SetReportToWindow(0);
        pavick::testing::ResetProfiles();
        m_folder = pavick::testing::ScratchFolder() / "pictures";
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        FGPavick().SetLocalClock(PictureTime);
        // Through the export, so that the progress window runs the transfer.
        ASSERT_EQ(m_init(nullptr), 1);
        ASSERT_EQ(FGPavick().Init(m_host.m_hWnd), 1);
        m_setImageDir("");
    }
    void TearDown() override
    {
        FGPavick().Exit();
        FGPavick().SetLocalClock({});
        PrsdkSimulator().Reset();
        ::FreeLibrary(m_module);
    }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    // The progress window's event loop delivers the worker's posts.
    CQtMessagePump m_pump;
    CSnapshotHost m_host;
    std::filesystem::path m_folder;
    HMODULE m_module = nullptr;
    int (*m_init)(CWnd*) = nullptr;
    PFN_Snapshot m_snapshot = nullptr;
    PFN_ContFrGr m_contFrGr = nullptr;
    PFN_SetImageDir m_setImageDir = nullptr;
};

TEST_F(PavickSnapshotTest, PictureIntoTheImageMatchesTheCameraAndLiveFramesStayStopped)
{
    m_contFrGr();
    ASSERT_TRUE(PrsdkSimulator().IsViewFinderRunning());
    CDIB image;
    ASSERT_EQ(m_snapshot(&image), 1);
    EXPECT_EQ(m_host.m_grabber, (std::vector<WPARAM>{kGrabberReleaseStarted, kGrabberPictureReady}));
    const cv::Mat wanted = PrsdkSimulator().ScenePicture(1, {320, 240});
    const cv::Mat got = image.GetMat();
    ASSERT_EQ(got.size(), wanted.size());
    ASSERT_EQ(got.type(), wanted.type());
    cv::Mat diff;
    cv::absdiff(got, wanted, diff);
    const cv::Scalar mean = cv::mean(diff);
    EXPECT_LT((mean[0] + mean[1] + mean[2]) / 3, 4.0) << "within JPEG tolerance";
    EXPECT_FALSE(PrsdkSimulator().IsViewFinderRunning());
    EXPECT_FALSE(FGPavick().IsViewFinderRunning());
    EXPECT_EQ(FGPavick().ReleasedObject(), 0u);
    EXPECT_EQ(FGPavick().EventFlags(), 0u);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(PavickSnapshotTest, PictureIntoTheFolderIsNamedFromTheClock)
{
    m_setImageDir((m_folder.string() + "/").c_str());
    ASSERT_EQ(m_snapshot(nullptr), 1);
    const std::filesystem::path file = m_folder / "20240131_14-05-09-7.jpg";
    ASSERT_TRUE(std::filesystem::exists(file));
    CDIB image;
    ASSERT_TRUE(image.Load(file.string().c_str()));
    EXPECT_EQ(image.GetWidth(), 320);
    EXPECT_EQ(m_host.m_grabber, (std::vector<WPARAM>{kGrabberReleaseStarted, kGrabberPictureReady}));
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(PavickSnapshotTest, NoTargetOrAFileThatCannotBeCreatedFailsWithAReport)
{
    struct Case
    {
        const char* name;
        std::string folder;
        bool released;
        CString report;
    };
    // A regular file where the folder should be: nothing can be created in it.
    const std::filesystem::path blocker = m_folder / "blocker";
    std::ofstream(blocker) << "x";
    const std::string blocked = blocker.string() + "/";
    const Case cases[] = {
        {"empty folder", "", false, "No picture folder is set: the picture cannot be stored."},
        {"blocked folder", blocked, true,
         CString("Could not create the picture file ") + (blocked + "20240131_14-05-09-7.jpg").c_str()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_boxes->Clear();
        m_host.m_grabber.clear();
        PrsdkSimulator().ClearLogs();
        m_setImageDir(c.folder.c_str());
        EXPECT_EQ(m_snapshot(nullptr), 0);
        EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{c.report});
        const std::vector<std::string> log = PrsdkSimulator().CallLog();
        EXPECT_EQ(std::count(log.begin(), log.end(), "PR_RC_Release"), c.released ? 1 : 0);
        EXPECT_EQ(m_host.m_grabber,
                  c.released ? std::vector<WPARAM>{kGrabberReleaseStarted} : std::vector<WPARAM>{});
    }
}

TEST_F(PavickSnapshotTest, AFailedReleaseOrTransferReportsTheCode)
{
    for (const char* call : {"PR_RC_Release", "PR_RC_GetReleasedData"}) {
        SCOPED_TRACE(call);
        m_boxes->Clear();
        PrsdkSimulator().AddFault({call, 0x80000077, 0, 1});
        CDIB image;
        EXPECT_EQ(m_snapshot(&image), 0);
        EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"ErrorCode = 0x80000077"});
        EXPECT_FALSE(image.IsValid());
    }
}

} // namespace
