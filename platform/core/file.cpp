#include "platform/core/file.h"

#include "platform/core/paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int openFlagsToPosix(UINT flags)
{
    int posix = O_CLOEXEC;
    switch (flags & 0x3) {
    case CFile::modeWrite:
        posix |= O_WRONLY;
        break;
    case CFile::modeReadWrite:
        posix |= O_RDWR;
        break;
    default:
        posix |= O_RDONLY;
        break;
    }
    if (flags & CFile::modeCreate) {
        posix |= O_CREAT;
        if (!(flags & CFile::modeNoTruncate))
            posix |= O_TRUNC;
    }
    return posix;
}

const char* stdioMode(UINT flags)
{
    const bool create = (flags & CFile::modeCreate) != 0;
    const bool keep = (flags & CFile::modeNoTruncate) != 0;
    switch (flags & 0x3) {
    case CFile::modeWrite:
        return create && !keep ? "wb" : "r+b";
    case CFile::modeReadWrite:
        return create && !keep ? "w+b" : "r+b";
    default:
        return "rb";
    }
}

CString fileNameOf(const CString& path)
{
    const int slash = path.ReverseFind('/');
    return slash < 0 ? path : path.Mid(slash + 1);
}

} // namespace

// CFile ---------------------------------------------------------------------

CFile::CFile(const char* path, UINT openFlags)
{
    CFileException error;
    if (!Open(path, openFlags, &error))
        throw error;
}

CFile::~CFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

BOOL CFile::Open(const char* path, UINT openFlags, CFileException* error)
{
    Abort();
    m_strFileName = kestrun::NativePath(path);
    // modeNoTruncate without modeCreate must still find an existing file.
    m_fd = ::open(m_strFileName, openFlagsToPosix(openFlags), 0666);
    if (m_fd < 0) {
        if (error)
            *error = CFileException(CFileException::ErrnoToCause(errno), errno, m_strFileName);
        return FALSE;
    }
    return TRUE;
}

void CFile::Close()
{
    if (m_fd < 0)
        return;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        ThrowErrno(errno);
}

void CFile::Abort()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

UINT CFile::Read(void* buffer, UINT count)
{
    auto* out = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(m_fd, out + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ThrowErrno(errno);
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<UINT>(done);
}

void CFile::Write(const void* buffer, UINT count)
{
    const auto* in = static_cast<const char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(m_fd, in + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ThrowErrno(errno);
        done += static_cast<size_t>(n);
    }
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    const int whence = from == current ? SEEK_CUR : from == end ? SEEK_END : SEEK_SET;
    const off_t pos = ::lseek(m_fd, offset, whence);
    if (pos < 0)
        ThrowErrno(errno == EINVAL ? ESPIPE : errno);
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetPosition() const
{
    const off_t pos = ::lseek(m_fd, 0, SEEK_CUR);
    if (pos < 0)
        ThrowErrno(errno);
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetLength() const
{
    struct stat st{};
    if (::fstat(m_fd, &st) != 0)
        ThrowErrno(errno);
    return static_cast<ULONGLONG>(st.st_size);
}

void CFile::SetLength(ULONGLONG length)
{
    if (::ftruncate(m_fd, static_cast<off_t>(length)) != 0)
        ThrowErrno(errno);
}

void CFile::Flush()
{
    if (m_fd >= 0 && ::fsync(m_fd) != 0 && errno != EINVAL)
        ThrowErrno(errno);
}

CString CFile::GetFileName() const
{
    return fileNameOf(m_strFileName);
}

CString CFile::GetFileTitle() const
{
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot <= 0 ? name : name.Left(dot);
}

void CFile::Remove(const char* path)
{
    const CString native = kestrun::NativePath(path);
    if (::unlink(native) != 0)
        AfxThrowFileException(CFileException::ErrnoToCause(errno), errno, native);
}

void CFile::Rename(const char* oldPath, const char* newPath)
{
    const CString from = kestrun::NativePath(oldPath);
    if (::rename(from, kestrun::NativePath(newPath)) != 0)
        AfxThrowFileException(CFileException::ErrnoToCause(errno), errno, from);
}

void CFile::ThrowErrno(int error) const
{
    AfxThrowFileException(CFileException::ErrnoToCause(error), error, m_strFileName);
}

// CMemFile ------------------------------------------------------------------

CMemFile::CMemFile(UINT growBytes)
{
    m_data.reserve(growBytes);
}

CMemFile::CMemFile(const BYTE* data, UINT size, UINT)
    : m_data(data, data + size)
{
}

BOOL CMemFile::Open(const char*, UINT, CFileException* error)
{
    if (error)
        *error = CFileException(CFileException::genericException);
    return FALSE;
}

void CMemFile::Close()
{
    m_data.clear();
    m_position = 0;
}

UINT CMemFile::Read(void* buffer, UINT count)
{
    const size_t n = m_position < m_data.size() ? std::min<size_t>(count, m_data.size() - m_position) : 0;
    if (n > 0)
        std::memcpy(buffer, m_data.data() + m_position, n);
    m_position += n;
    return static_cast<UINT>(n);
}

void CMemFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return;
    if (m_position + count > m_data.size())
        m_data.resize(m_position + count);
    std::memcpy(m_data.data() + m_position, buffer, count);
    m_position += count;
}

ULONGLONG CMemFile::Seek(LONGLONG offset, UINT from)
{
    const LONGLONG base = from == current ? static_cast<LONGLONG>(m_position)
                          : from == end   ? static_cast<LONGLONG>(m_data.size())
                                          : 0;
    if (base + offset < 0)
        AfxThrowFileException(CFileException::badSeek);
    m_position = static_cast<size_t>(base + offset);
    return m_position;
}

void CMemFile::SetLength(ULONGLONG length)
{
    m_data.resize(static_cast<size_t>(length));
    m_position = std::min(m_position, m_data.size());
}

// CStdioFile ----------------------------------------------------------------

CStdioFile::CStdioFile(const char* path, UINT openFlags)
{
    CFileException error;
    if (!Open(path, openFlags, &error))
        throw error;
}

CStdioFile::~CStdioFile()
{
    if (m_stream)
        std::fclose(m_stream);
}

BOOL CStdioFile::Open(const char* path, UINT openFlags, CFileException* error)
{
    Abort();
    m_strFileName = kestrun::NativePath(path);
    const bool createIfMissing = (openFlags & modeCreate) && (openFlags & modeNoTruncate);
    m_stream = std::fopen(m_strFileName, stdioMode(openFlags));
    if (m_stream == nullptr && createIfMissing && errno == ENOENT)
        m_stream = std::fopen(m_strFileName, "w+b");
    if (m_stream == nullptr) {
        if (error)
            *error = CFileException(CFileException::ErrnoToCause(errno), errno, m_strFileName);
        return FALSE;
    }
    return TRUE;
}

void CStdioFile::Close()
{
    if (m_stream == nullptr)
        return;
    std::FILE* stream = m_stream;
    m_stream = nullptr;
    if (std::fclose(stream) != 0)
        ThrowErrno(errno);
}

void CStdioFile::Abort()
{
    if (m_stream)
        std::fclose(m_stream);
    m_stream = nullptr;
}

UINT CStdioFile::Read(void* buffer, UINT count)
{
    const size_t n = std::fread(buffer, 1, count, m_stream);
    if (n < count && std::ferror(m_stream))
        ThrowErrno(errno);
    return static_cast<UINT>(n);
}

void CStdioFile::Write(const void* buffer, UINT count)
{
    if (std::fwrite(buffer, 1, count, m_stream) != count)
        ThrowErrno(errno);
}

ULONGLONG CStdioFile::Seek(LONGLONG offset, UINT from)
{
    const int whence = from == current ? SEEK_CUR : from == end ? SEEK_END : SEEK_SET;
    if (::fseeko(m_stream, offset, whence) != 0)
        ThrowErrno(errno);
    return GetPosition();
}

ULONGLONG CStdioFile::GetPosition() const
{
    const off_t pos = ::ftello(m_stream);
    if (pos < 0)
        ThrowErrno(errno);
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CStdioFile::GetLength() const
{
    std::fflush(m_stream);
    struct stat st{};
    if (::fstat(::fileno(m_stream), &st) != 0)
        ThrowErrno(errno);
    return static_cast<ULONGLONG>(st.st_size);
}

void CStdioFile::SetLength(ULONGLONG length)
{
    std::fflush(m_stream);
    if (::ftruncate(::fileno(m_stream), static_cast<off_t>(length)) != 0)
        ThrowErrno(errno);
}

void CStdioFile::Flush()
{
    if (m_stream && std::fflush(m_stream) != 0)
        ThrowErrno(errno);
}

BOOL CStdioFile::ReadString(CString& line)
{
    std::string text;
    int c;
    while ((c = std::fgetc(m_stream)) != EOF && c != '\n')
        text += static_cast<char>(c);
    if (std::ferror(m_stream))
        ThrowErrno(errno);
    if (c == EOF && text.empty())
        return FALSE;
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    line = CString(std::move(text));
    return TRUE;
}

void CStdioFile::WriteString(const char* text)
{
    if (text && std::fputs(text, m_stream) == EOF)
        ThrowErrno(errno);
}
