#pragma once
// CFolderChangeNotification: tells that something changed in a folder tree,
// not what (the caller compares snapshots). Over inotify: one watch per
// folder, and folders that appear below are watched as the notices are
// taken. Symbolic links to folders are not followed, and the tree is
// watched at most kMaxDepth levels deep.
//
//   CFolderChangeNotification notification;
//   if (!notification.Open(folder, TRUE, FILE_NOTIFY_CHANGE_FILE_NAME | ...)) fail(GetLastError());
//   while (running) {
//       if (notification.Wait(258) != WAIT_OBJECT_0) continue;
//       if (!notification.Rearm()) fail(GetLastError()); // the folder went
//       ... compare snapshots ...
//   }

#include "platform/core/cstring.h"
#include "platform/core/sync.h"

#include <map>

inline constexpr DWORD FILE_NOTIFY_CHANGE_FILE_NAME = 0x01;
inline constexpr DWORD FILE_NOTIFY_CHANGE_DIR_NAME = 0x02;
inline constexpr DWORD FILE_NOTIFY_CHANGE_ATTRIBUTES = 0x04;
inline constexpr DWORD FILE_NOTIFY_CHANGE_SIZE = 0x08;
inline constexpr DWORD FILE_NOTIFY_CHANGE_LAST_WRITE = 0x10;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

class CFolderChangeNotification
{
public:
    static constexpr int kMaxDepth = 64;

    CFolderChangeNotification();
    ~CFolderChangeNotification();
    CFolderChangeNotification(const CFolderChangeNotification&) = delete;
    CFolderChangeNotification& operator=(const CFolderChangeNotification&) = delete;

    // Watches the folder (with subtree, every folder below it) for the
    // FILE_NOTIFY_CHANGE_* kinds of filter. FALSE, with the thread's last
    // error, for an empty path, a folder that is missing or cannot be
    // watched.
    BOOL Open(const CString& folder, BOOL subtree, DWORD filter);
    // WAIT_OBJECT_0 when a change is waiting to be taken, WAIT_TIMEOUT when
    // the time is over or Wake was called, WAIT_FAILED when not open.
    DWORD Wait(DWORD timeoutMs);
    // Ends a Wait of another thread early (also one that starts later,
    // once). Any thread, also while another opens or closes.
    void Wake();
    // Takes the waiting notices and watches the folders that appeared.
    // FALSE with ERROR_PATH_NOT_FOUND when the watched folder itself was
    // deleted or moved away: the notification is then spent.
    BOOL Rearm();
    void Close();
    BOOL IsOpen() const { return m_fd >= 0 ? TRUE : FALSE; }

private:
    // Watches a folder and, with the subtree, the folders below it.
    void WatchTree(const CString& folder, int depth);
    bool WatchFolder(const CString& folder, int depth);

    int m_fd = -1;
    const int m_wakeFd;
    int m_rootWatch = -1;
    bool m_subtree = false;
    bool m_rootGone = false;
    unsigned m_mask = 0;
    struct CWatched
    {
        CString path;
        int depth = 0;
    };
    std::map<int, CWatched> m_watches;
};
