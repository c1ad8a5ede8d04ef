#include "platform/core/folders.h"

#include "platform/core/atomicfile.h"
#include "platform/core/errors.h"
#include "platform/core/exceptions.h"
#include "platform/core/paths.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <link.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

CString Environment(const char* name)
{
    const char* value = std::getenv(name);
    return CString(value ? value : "");
}

CString HomeFolder()
{
    CString home = Environment("HOME");
    if (home.IsEmpty()) {
        if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir)
            home = user->pw_dir;
    }
    return home.IsEmpty() ? CString("/") : home;
}

// The last component of a path, ignoring final slashes.
std::string_view LastComponent(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

CString FolderOf(const CString& path)
{
    const int slash = path.ReverseFind('/');
    if (slash < 0)
        return ".";
    return slash == 0 ? CString("/") : path.Left(slash);
}

// A descriptor that closes itself.
class CFileDescriptor
{
public:
    explicit CFileDescriptor(int fd) : m_fd(fd) {}
    ~CFileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

void CopyContent(int from, const CString& src, kestrun::CAtomicFileWriter& to)
{
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(from, chunk, sizeof chunk);
        if (got == 0)
            return;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw CFileException(CFileException::ErrnoToCause(errno), errno, src);
        }
        to.Write(chunk, static_cast<std::size_t>(got));
    }
}

} // namespace

namespace kestrun {

CString DataFolder()
{
    if (CString root = Environment("KESTRUN_DATA_ROOT"); !root.IsEmpty())
        return root;
    if (CString xdg = Environment("XDG_DATA_HOME"); !xdg.IsEmpty())
        return xdg;
    return HomeFolder() + "/.local/share";
}

CString SpecialFolder(int csidl)
{
    switch (csidl & 0xFF) {
    case CSIDL_COMMON_APPDATA:
    case CSIDL_APPDATA:
    case CSIDL_LOCAL_APPDATA:
        return DataFolder();
    case CSIDL_PERSONAL:
        return HomeFolder();
    default:
        return {};
    }
}

CString ModulePath(HMODULE module)
{
    std::error_code error;
    if (module != nullptr) {
        link_map* map = nullptr;
        if (::dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr)
            return {};
        // The program's own entry has an empty name.
        if (map->l_name != nullptr && map->l_name[0] != '\0')
            return CString(std::filesystem::absolute(map->l_name, error).string());
    }
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? CString() : CString(program.string());
}

CString ModuleFolder() { return FolderOf(ModulePath()); }

bool CreateFolderTree(const char* path)
{
    const CString native = NativePath(path);
    if (native.IsEmpty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(native.str(), error);
    if (std::filesystem::is_directory(native.str()))
        return true;
    SetLastErrorFromErrno(error ? error.value() : ENOTDIR);
    return false;
}

DWORD FileAttributesOf(unsigned mode, const char* name)
{
    DWORD attributes = S_ISDIR(mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        attributes |= FILE_ATTRIBUTE_READONLY;
    const std::string_view n(name ? name : "");
    if (n.starts_with('.') && n != "." && n != "..")
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    return attributes;
}

} // namespace kestrun

BOOL SHGetSpecialFolderPath(HWND /*owner*/, LPTSTR path, int csidl, BOOL create)
{
    const CString folder = kestrun::SpecialFolder(csidl);
    if (path == nullptr || folder.IsEmpty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (folder.GetLength() >= MAX_PATH) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (create && !kestrun::CreateFolderTree(folder))
        return FALSE;
    std::memcpy(path, folder.GetString(), static_cast<std::size_t>(folder.GetLength()) + 1);
    return TRUE;
}

DWORD GetModuleFileName(HMODULE module, LPTSTR buffer, DWORD size)
{
    const CString path = kestrun::ModulePath(module);
    if (path.IsEmpty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (buffer == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const DWORD length = static_cast<DWORD>(path.GetLength());
    if (length >= size) {
        std::memcpy(buffer, path.GetString(), size - 1);
        buffer[size - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(buffer, path.GetString(), length + 1);
    return length;
}

DWORD GetFileAttributes(LPCTSTR path)
{
    const CString native = kestrun::NativePath(path);
    struct stat info {};
    if (native.IsEmpty() || ::stat(native, &info) != 0) {
        kestrun::SetLastErrorFromErrno(native.IsEmpty() ? ENOENT : errno);
        return INVALID_FILE_ATTRIBUTES;
    }
    return kestrun::FileAttributesOf(info.st_mode, std::string(LastComponent(native.view())).c_str());
}

BOOL CreateDirectory(LPCTSTR path, void* /*security*/)
{
    if (::mkdir(kestrun::NativePath(path), 0777) != 0) {
        kestrun::SetLastErrorFromErrno(errno == ENOENT ? ENOTDIR : errno);
        return FALSE;
    }
    return TRUE;
}

BOOL RemoveDirectory(LPCTSTR path)
{
    if (::rmdir(kestrun::NativePath(path)) != 0) {
        kestrun::SetLastErrorFromErrno(errno == EEXIST ? ENOTEMPTY : errno);
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFile(LPCTSTR path)
{
    if (::unlink(kestrun::NativePath(path)) != 0) {
        kestrun::SetLastErrorFromErrno(errno);
        return FALSE;
    }
    return TRUE;
}

BOOL CopyFile(LPCTSTR src, LPCTSTR dst, BOOL failIfExists)
{
    const CString from = kestrun::NativePath(src);
    const CString to = kestrun::NativePath(dst);
    try {
        const CFileDescriptor in(::open(from, O_RDONLY | O_CLOEXEC));
        if (in.Get() < 0)
            throw CFileException(CFileException::ErrnoToCause(errno), errno, from);
        struct stat info {};
        if (::fstat(in.Get(), &info) != 0)
            throw CFileException(CFileException::ErrnoToCause(errno), errno, from);
        if (S_ISDIR(info.st_mode))
            throw CFileException(CFileException::accessDenied, EISDIR, from);
        if (failIfExists && ::access(to, F_OK) == 0)
            throw CFileException(CFileException::genericException, EEXIST, to);

        kestrun::CAtomicFileWriter writer(to);
        CopyContent(in.Get(), from, writer);
        writer.SetPermissions(info.st_mode & 07777);
        writer.SetModificationTime(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
        writer.Commit(!failIfExists);
        return TRUE;
    } catch (const CFileException& e) {
        SetLastError(e.m_lOsError == EEXIST ? ERROR_FILE_EXISTS : kestrun::Win32ErrorOf(e));
        return FALSE;
    }
}

BOOL MoveFile(LPCTSTR src, LPCTSTR dst)
{
    const CString from = kestrun::NativePath(src);
    const CString to = kestrun::NativePath(dst);
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return TRUE;
    if (errno == EINVAL || errno == ENOSYS) {
        // A file system without the no-replace rename.
        if (::access(to, F_OK) == 0)
            errno = EEXIST;
        else if (::rename(from, to) == 0)
            return TRUE;
    }
    if (errno == EXDEV) {
        struct stat info {};
        if (::stat(from, &info) == 0 && S_ISDIR(info.st_mode)) {
            SetLastError(ERROR_NOT_SAME_DEVICE);
            return FALSE;
        }
        return CopyFile(from, to, TRUE) && DeleteFile(from);
    }
    kestrun::SetLastErrorFromErrno(errno);
    return FALSE;
}

DWORD GetTempPath(DWORD size, LPTSTR buffer)
{
    CString folder = Environment("TMPDIR");
    if (folder.IsEmpty())
        folder = "/tmp";
    if (folder.Right(1) != "/")
        folder += '/';
    const DWORD length = static_cast<DWORD>(folder.GetLength());
    if (buffer == nullptr || length + 1 > size)
        return length + 1;
    std::memcpy(buffer, folder.GetString(), length + 1);
    return length;
}
