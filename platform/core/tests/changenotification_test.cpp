// Folder change notices over inotify, and work posted back to the thread
// that owns it.

#include "platform/core/changenotification.h"
#include "platform/core/errors.h"
#include "platform/core/postedwork.h"
#include "platform/core/tests/scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

constexpr DWORD kAllChanges = 0x1F;

// inotify queues a notice within the call that changes the folder, so a
// wait of 0 ms tells whether one came.
bool Signalled(CFolderChangeNotification& notification) { return notification.Wait(0) == WAIT_OBJECT_0; }

TEST(ChangeNotificationTest, RefusesEmptyAndMissingFolders)
{
    CScratchFolder scratch;
    CFolderChangeNotification notification;
    for (const std::string& path : {std::string(), scratch / "missing"}) {
        SetLastError(0);
        EXPECT_FALSE(notification.Open(path.c_str(), TRUE, kAllChanges)) << path;
        EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    }
    EXPECT_EQ(notification.Wait(0), WAIT_FAILED);
}

TEST(ChangeNotificationTest, WatchesFoldersAsTheyAppearButNoLinkedFolder)
{
    CScratchFolder scratch;
    CScratchFolder outside;
    fs::create_directory(scratch.Path() / "old");
    fs::create_directory_symlink(outside.Path(), scratch.Path() / "link");
    CFolderChangeNotification notification;
    ASSERT_TRUE(notification.Open(scratch.Path().c_str(), TRUE, kAllChanges));
    EXPECT_FALSE(Signalled(notification));

    // Writing through the link changes a folder outside the tree.
    std::ofstream(outside / "far.txt") << "x";
    EXPECT_FALSE(Signalled(notification));

    std::ofstream(scratch / "old/a.txt") << "a";
    EXPECT_TRUE(Signalled(notification));
    ASSERT_TRUE(notification.Rearm());
    EXPECT_FALSE(Signalled(notification));

    // A folder made with contents, then a file deep inside it.
    fs::create_directories(scratch.Path() / "new/inner");
    ASSERT_TRUE(Signalled(notification));
    ASSERT_TRUE(notification.Rearm());
    std::ofstream(scratch / "new/inner/b.txt") << "b";
    EXPECT_TRUE(Signalled(notification));
}

TEST(ChangeNotificationTest, TheWatchedFolderGoingEndsTheNotification)
{
    CScratchFolder scratch;
    const fs::path root = scratch.Path() / "watched";
    fs::create_directories(root / "sub");
    CFolderChangeNotification notification;
    ASSERT_TRUE(notification.Open(root.c_str(), TRUE, kAllChanges));
    fs::remove_all(root);
    ASSERT_TRUE(Signalled(notification));
    SetLastError(0);
    EXPECT_FALSE(notification.Rearm());
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(ChangeNotificationTest, WakeEndsAWaitOfAnotherThread)
{
    CScratchFolder scratch;
    CFolderChangeNotification notification;
    ASSERT_TRUE(notification.Open(scratch.Path().c_str(), TRUE, kAllChanges));
    DWORD result = WAIT_FAILED;
    std::thread waiter([&] { result = notification.Wait(INFINITE); });
    notification.Wake();
    waiter.join();
    EXPECT_EQ(result, WAIT_TIMEOUT);
}

TEST(PostedWorkTest, RunsOnTheOwningThreadWhenItPumpsAndIsDroppedWithTheObject)
{
    std::vector<std::thread::id> ran;
    {
        kestrun::CPostedWork work;
        std::thread worker([&] {
            work.Post([&] { ran.push_back(std::this_thread::get_id()); });
            work.Post([&] { ran.push_back(std::this_thread::get_id()); });
        });
        worker.join();
        EXPECT_TRUE(ran.empty());
        kestrun::PumpMessages();
        EXPECT_EQ(ran, (std::vector<std::thread::id>{std::this_thread::get_id(), std::this_thread::get_id()}));
        work.Post([&] { ran.clear(); });
    }
    kestrun::PumpMessages();
    EXPECT_EQ(ran.size(), 2u);
}

} // namespace
