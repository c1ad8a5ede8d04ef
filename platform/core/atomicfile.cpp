#include "platform/core/atomicfile.h"

#include "platform/core/exceptions.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace kestrun {

namespace {

std::atomic<unsigned> g_temporaryCounter{0};

// The temporary files this process is writing now, by name (the counter
// makes each unique): one of them is never a leftover.
std::mutex g_liveMutex;
std::unordered_set<std::string>& LiveTemporaries()
{
    static std::unordered_set<std::string> live;
    return live;
}

std::string NameOf(const CString& path)
{
    return path.Mid(path.ReverseFind('/') + 1).str();
}

void AddLive(const CString& path)
{
    std::lock_guard lock(g_liveMutex);
    LiveTemporaries().insert(NameOf(path));
}

void RemoveLive(const CString& path)
{
    std::lock_guard lock(g_liveMutex);
    LiveTemporaries().erase(NameOf(path));
}

bool IsLive(const std::string& name)
{
    std::lock_guard lock(g_liveMutex);
    return LiveTemporaries().contains(name);
}

bool AllDigits(std::string_view text)
{
    return !text.empty() && text.size() <= 10 && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The process number of a temporary file name of the target's, as
// TemporaryNameFor makes them (".name.pid-n.tmp"); -1 for any other name.
long TemporaryOwner(std::string_view entry, std::string_view targetName)
{
    constexpr std::string_view suffix = ".tmp";
    if (entry.size() <= targetName.size() + 2 + suffix.size() || entry[0] != '.' ||
        entry.substr(1, targetName.size()) != targetName || entry[targetName.size() + 1] != '.' ||
        !entry.ends_with(suffix))
        return -1;
    const std::string_view tag = entry.substr(targetName.size() + 2, entry.size() - targetName.size() - 2 - suffix.size());
    const auto dash = tag.find('-');
    if (dash == std::string_view::npos || !AllDigits(tag.substr(0, dash)) || !AllDigits(tag.substr(dash + 1)))
        return -1;
    return std::stol(std::string(tag.substr(0, dash)));
}

bool ProcessIsGone(long pid)
{
    if (pid <= 0 || pid > INT32_MAX)
        return true;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Removes the temporary files of earlier writes of the target whose writer
// is gone (a program killed between writing and renaming), and this
// process's own that no writer holds. Only regular files in the target's
// folder are removed, never what a link points to, and never another
// file's. Best effort: a write does not fail for a leftover it cannot remove.
void RemoveLeftovers(const CString& folder, const CString& targetName)
{
    DIR* dir = ::opendir(folder);
    if (dir == nullptr)
        return;
    const int dirFd = ::dirfd(dir);
    const long self = static_cast<long>(::getpid());
    while (const dirent* entry = ::readdir(dir)) {
        const long owner = TemporaryOwner(entry->d_name, targetName.view());
        if (owner < 0)
            continue;
        if (owner == self ? IsLive(entry->d_name) : !ProcessIsGone(owner))
            continue;
        struct stat info {};
        if (::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode))
            continue;
        ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(dir);
}

CString FolderOf(const CString& path)
{
    const int slash = path.ReverseFind('/');
    if (slash < 0)
        return ".";
    if (slash == 0)
        return "/";
    return path.Left(slash);
}

// A hidden name beside the target, unique within this machine's processes.
CString TemporaryNameFor(const CString& target)
{
    const int slash = target.ReverseFind('/');
    const CString folder = slash < 0 ? CString() : target.Left(slash + 1);
    const CString name = target.Mid(slash + 1);
    return folder + FormatString(".%s.%ld-%u.tmp", name.GetString(), static_cast<long>(::getpid()),
                                 g_temporaryCounter.fetch_add(1));
}

void SyncFolder(const CString& folder)
{
    const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // best effort: the rename is done either way
        ::close(fd);
    }
}

} // namespace

CAtomicFileWriter::CAtomicFileWriter(const CString& target) : m_target(target)
{
    if (m_target.IsEmpty() || m_target.Right(1) == "/")
        throw CFileException(CFileException::badPath, EINVAL, m_target);

    struct stat existing {};
    const bool exists = ::stat(m_target, &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        throw CFileException(CFileException::accessDenied, EISDIR, m_target);
    RemoveLeftovers(FolderOf(m_target), CString(NameOf(m_target)));

    for (;;) {
        m_temporary = TemporaryNameFor(m_target);
        // Known as this process's before it exists, so that another
        // thread's sweep never takes it for a leftover.
        AddLive(m_temporary);
        m_fd = ::open(m_temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0)
            break;
        const int error = errno;
        RemoveLive(m_temporary);
        if (error == EEXIST)
            continue;
        const int cause = (error == ENOENT) ? CFileException::badPath : CFileException::ErrnoToCause(error);
        throw CFileException(cause, error, m_target);
    }
    if (exists && ::fchmod(m_fd, existing.st_mode & 07777) != 0) {
        // The destructor does not run for a constructor that throws.
        const int error = errno;
        ::close(m_fd);
        ::unlink(m_temporary);
        RemoveLive(m_temporary);
        Fail(error);
    }
}

CAtomicFileWriter::~CAtomicFileWriter()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed)
        ::unlink(m_temporary);
    RemoveLive(m_temporary);
}

void CAtomicFileWriter::Fail(int error) const
{
    throw CFileException(CFileException::ErrnoToCause(error), error, m_target);
}

void CAtomicFileWriter::Write(const void* data, std::size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(m_fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            Fail(errno);
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

void CAtomicFileWriter::SetPermissions(unsigned mode)
{
    if (::fchmod(m_fd, static_cast<mode_t>(mode)) != 0)
        Fail(errno);
}

void CAtomicFileWriter::SetModificationTime(std::time_t seconds, long nanoseconds)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {seconds, nanoseconds}};
    if (::futimens(m_fd, times) != 0)
        Fail(errno);
}

void CAtomicFileWriter::Commit(bool replaceExisting)
{
    if (::fsync(m_fd) != 0)
        Fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        Fail(errno);

    if (replaceExisting) {
        if (::rename(m_temporary, m_target) != 0)
            Fail(errno);
    } else if (::renameat2(AT_FDCWD, m_temporary, AT_FDCWD, m_target, RENAME_NOREPLACE) != 0) {
        if (errno != EINVAL && errno != ENOSYS)
            Fail(errno);
        // File systems without the no-replace rename: a hard link fails on
        // an existing target just as well.
        if (::link(m_temporary, m_target) != 0)
            Fail(errno);
        ::unlink(m_temporary);
    }
    m_committed = true;
    SyncFolder(FolderOf(m_target));
}

} // namespace kestrun
