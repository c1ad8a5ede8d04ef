#include "platform/core/changenotification.h"

#include "platform/core/errors.h"
#include "platform/core/paths.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <dirent.h>
#include <memory>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <string_view>
#include <unistd.h>

namespace {

unsigned InotifyMask(DWORD filter, bool subtree)
{
    unsigned mask = IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    if (filter & (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME))
        mask |= IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
    if (filter & FILE_NOTIFY_CHANGE_ATTRIBUTES)
        mask |= IN_ATTRIB;
    if (filter & (FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE))
        mask |= IN_MODIFY | IN_CLOSE_WRITE;
    // New folders must be seen to be watched.
    if (subtree)
        mask |= IN_CREATE | IN_MOVED_TO;
    return mask;
}

} // namespace

CFolderChangeNotification::CFolderChangeNotification() : m_wakeFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

CFolderChangeNotification::~CFolderChangeNotification()
{
    Close();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

BOOL CFolderChangeNotification::Open(const CString& folder, BOOL subtree, DWORD filter)
{
    Close();
    const CString native = kestrun::NativePath(folder);
    struct stat info {};
    if (native.IsEmpty() || ::stat(native, &info) != 0 || !S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0 || m_wakeFd < 0) {
        kestrun::SetLastErrorFromErrno(errno);
        Close();
        return FALSE;
    }
    m_subtree = subtree != FALSE;
    m_mask = InotifyMask(filter, m_subtree);
    // The root may itself be a link the user chose: it is followed.
    m_rootWatch = ::inotify_add_watch(m_fd, native, m_mask);
    if (m_rootWatch < 0) {
        const int error = errno;
        Close();
        kestrun::SetLastErrorFromErrno(error);
        return FALSE;
    }
    m_watches[m_rootWatch] = {native, 0};
    if (m_subtree)
        WatchTree(native, 0);
    return TRUE;
}

bool CFolderChangeNotification::WatchFolder(const CString& folder, int depth)
{
    const int wd = ::inotify_add_watch(m_fd, folder, m_mask | IN_DONT_FOLLOW);
    if (wd < 0)
        return false; // gone again, or no room for more watches: the snapshots still see it
    m_watches[wd] = {folder, depth};
    return true;
}

void CFolderChangeNotification::WatchTree(const CString& folder, int depth)
{
    if (depth >= kMaxDepth)
        return;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder), &::closedir);
    if (!dir)
        return;
    while (const dirent* item = ::readdir(dir.get())) {
        const std::string_view name(item->d_name);
        if (name == "." || name == "..")
            continue;
        const CString path = folder + "/" + item->d_name;
        struct stat info {};
        if (::lstat(path, &info) != 0 || !S_ISDIR(info.st_mode))
            continue; // files, and links to folders, which are not followed
        if (WatchFolder(path, depth + 1))
            WatchTree(path, depth + 1);
    }
}

DWORD CFolderChangeNotification::Wait(DWORD timeoutMs)
{
    if (m_fd < 0)
        return WAIT_FAILED;
    std::array<pollfd, 2> fds{{{m_fd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}}};
    const int timeout = timeoutMs == INFINITE ? -1 : static_cast<int>(std::min<DWORD>(timeoutMs, 0x7FFFFFFF));
    int ready = 0;
    do {
        ready = ::poll(fds.data(), fds.size(), timeout);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        kestrun::SetLastErrorFromErrno(errno);
        return WAIT_FAILED;
    }
    if (fds[1].revents & POLLIN) {
        eventfd_t ignored = 0;
        ::eventfd_read(m_wakeFd, &ignored);
        return WAIT_TIMEOUT;
    }
    return (fds[0].revents & POLLIN) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

void CFolderChangeNotification::Wake()
{
    if (m_wakeFd >= 0)
        ::eventfd_write(m_wakeFd, 1);
}

BOOL CFolderChangeNotification::Rearm()
{
    if (m_fd < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof(buffer));
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->wd == m_rootWatch && (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)))
                m_rootGone = true;
            if (event->mask & IN_Q_OVERFLOW) {
                // Notices were lost: watch whatever folders exist now.
                if (m_subtree)
                    WatchTree(m_watches[m_rootWatch].path, 0);
                continue;
            }
            const auto watched = m_watches.find(event->wd);
            if (watched == m_watches.end())
                continue;
            if (event->mask & IN_IGNORED) {
                m_watches.erase(watched);
                continue;
            }
            if (m_subtree && event->len > 0 && (event->mask & IN_ISDIR) && (event->mask & (IN_CREATE | IN_MOVED_TO)) &&
                watched->second.depth < kMaxDepth) {
                const CWatched parent = watched->second;
                const CString path = parent.path + "/" + event->name;
                // A folder that arrives with contents: those folders too.
                if (WatchFolder(path, parent.depth + 1))
                    WatchTree(path, parent.depth + 1);
            }
        }
    }
    if (m_rootGone) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}

void CFolderChangeNotification::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_rootWatch = -1;
    m_rootGone = false;
    m_watches.clear();
}
