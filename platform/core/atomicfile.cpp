#include "platform/core/atomicfile.h"

#include "platform/core/exceptions.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrun {

namespace {

std::atomic<unsigned> g_temporaryCounter{0};

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

    for (;;) {
        m_temporary = TemporaryNameFor(m_target);
        m_fd = ::open(m_temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0)
            break;
        if (errno == EEXIST)
            continue;
        const int error = errno;
        const int cause = (error == ENOENT) ? CFileException::badPath : CFileException::ErrnoToCause(error);
        throw CFileException(cause, error, m_target);
    }
    if (exists)
        SetPermissions(existing.st_mode & 07777);
}

CAtomicFileWriter::~CAtomicFileWriter()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed)
        ::unlink(m_temporary);
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
