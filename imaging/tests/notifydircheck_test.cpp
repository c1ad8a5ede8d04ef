// The folder watcher on a scratch folder, with the settling wait on a
// manual clock: which notices one change gives, the error of a folder that
// goes, and Stop.

#include "imaging/notifydircheck.h"

#include "platform/core/messages.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class NotifyDirCheckTest : public ::testing::Test
{
protected:
    using Notice = std::pair<CString, int>;

    void SetUp() override
    {
        m_watcher.SetClock(&m_clock);
        m_watcher.SetFolder(m_watched.Path().c_str());
        m_watcher.SetActionHandler(&NotifyDirCheckTest::Collect);
        m_watcher.SetData(reinterpret_cast<DWORD_PTR>(this));
    }

    static int Collect(CFileInformation record, int nKind, DWORD_PTR dwData)
    {
        auto* self = reinterpret_cast<NotifyDirCheckTest*>(dwData);
        const std::lock_guard<std::mutex> lock(self->m_mutex);
        self->m_notices.emplace_back(record.GetFullPath(), nKind);
        self->m_changed.notify_all();
        return 0;
    }

    // Puts a whole file into the watched folder at once, as a copy that
    // ends in a rename does.
    void Drop(const char* name, const char* text = "image")
    {
        const fs::path staged = m_staging.Path() / name;
        std::ofstream(staged) << text;
        fs::rename(staged, m_watched.Path() / name);
    }
    CString Watched(const char* name) const { return (m_watched.Path() / name).c_str(); }

    // The notices once the last one expected has come. The deadline only
    // keeps a broken watch from hanging the run.
    std::vector<Notice> NoticesUntil(const CString& lastPath)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::seconds(20), [&] {
            return !m_notices.empty() && m_notices.back().first == lastPath;
        });
        return m_notices;
    }

    // Pumps until the boxes show count texts.
    std::vector<CString> BoxesWhenShown(std::size_t count)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (m_boxes->Texts().size() < count && std::chrono::steady_clock::now() < deadline) {
            kestrun::WaitForMessages(50);
            kestrun::PumpMessages();
        }
        return m_boxes->Texts();
    }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    CScratchFolder m_staging;
    CScratchFolder m_watched;
    kestrun::ManualClock m_clock;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Notice> m_notices;
    // Last: stopped before the rest goes.
    CNotifyDirCheck m_watcher;
};

TEST_F(NotifyDirCheckTest, OneNoticePerFileAndNoneForTemporaryOrHiddenFiles)
{
    {
        std::ofstream(m_watched.Path() / "old.bmp") << "12345";
    }
    ASSERT_EQ(m_watcher.Start(), 1);
    EXPECT_EQ(m_watcher.Start(), 0);

    Drop("a.bmp");
    EXPECT_EQ(NoticesUntil(Watched("a.bmp")), (std::vector<Notice>{{Watched("a.bmp"), 2}}));

    Drop("~a.bmp");
    Drop("b.tmp");
    Drop(".hidden.bmp");
    // Overwritten in place, same size: changed.
    const int fd = ::open(Watched("old.bmp"), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "54321", 5), 5);
    ::close(fd);
    EXPECT_EQ(NoticesUntil(Watched("old.bmp")),
              (std::vector<Notice>{{Watched("a.bmp"), 2}, {Watched("old.bmp"), 3}}));

    // Two files at once both come, and a deleted one.
    fs::remove(m_watched.Path() / "a.bmp");
    Drop("c.bmp");
    Drop("d.bmp");
    const std::vector<Notice> notices = NoticesUntil(Watched("d.bmp"));
    EXPECT_EQ(std::vector<Notice>(notices.begin() + 2, notices.end()),
              (std::vector<Notice>{{Watched("a.bmp"), 1}, {Watched("c.bmp"), 2}, {Watched("d.bmp"), 2}}))
        << "the three changes may come in one or more notices, but in this order";
}

TEST_F(NotifyDirCheckTest, StopJoinsTheWorkerAndAnEmptyFolderIsRefused)
{
    ASSERT_EQ(m_watcher.Start(), 1);
    EXPECT_TRUE(m_watcher.HasWorker());
    m_watcher.Stop();
    EXPECT_FALSE(m_watcher.HasWorker());
    EXPECT_FALSE(m_watcher.IsRunning());
    Drop("late.bmp");
    // Nothing is left that could report it; a new Start sees it as there.
    ASSERT_EQ(m_watcher.Start(), 1);
    Drop("next.bmp");
    EXPECT_EQ(NoticesUntil(Watched("next.bmp")), (std::vector<Notice>{{Watched("next.bmp"), 2}}));
    m_watcher.Stop();

    CNotifyDirCheck unset;
    EXPECT_EQ(unset.Start(), 0);
    EXPECT_FALSE(unset.HasWorker());
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(NotifyDirCheckTest, WithoutCallbackOnChangeShowsTheNoticeOnTheOwnersThread)
{
    m_watcher.SetActionHandler(nullptr);
    ASSERT_EQ(m_watcher.Start(), 1);
    Drop("a.bmp");
    EXPECT_EQ(BoxesWhenShown(1), (std::vector<CString>{"Created " + Watched("a.bmp")}));
    CFileInformation record;
    EXPECT_EQ(m_watcher.OnChange(record, 7), 1);
}

TEST_F(NotifyDirCheckTest, AFolderThatGoesEndsTheWatchWithOneErrorBox)
{
    const fs::path folder = m_watched.Path() / "watched";
    fs::create_directory(folder);
    m_watcher.SetFolder(folder.c_str());
    ASSERT_EQ(m_watcher.Start(), 1);
    fs::remove_all(folder);
    EXPECT_EQ(BoxesWhenShown(1),
              (std::vector<CString>{"FindNextChangeNotification Error N3\nThe system cannot find the path specified."}));
    // Ended by itself: Start waits for Stop.
    EXPECT_EQ(m_watcher.Start(), 0);
    m_watcher.Stop();
    kestrun::PumpMessages();
    EXPECT_EQ(m_boxes->Texts().size(), 1u);

    // A folder that is not there is refused with the box.
    EXPECT_EQ(m_watcher.Start(), 0);
    EXPECT_EQ(BoxesWhenShown(2).back(),
              "FindFirstChangeNotification Error N3\nThe system cannot find the path specified.");
}

} // namespace
