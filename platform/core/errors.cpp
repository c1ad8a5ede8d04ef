#include "platform/core/errors.h"

#include "platform/core/exceptions.h"

#include <cerrno>

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

DWORD GetLastError() { return t_lastError; }

void SetLastError(DWORD error) { t_lastError = error; }

namespace kestrun {

DWORD ErrnoToWin32(int error)
{
    switch (error) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EBUSY:
        return ERROR_ACCESS_DENIED;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    case EROFS:
        return ERROR_WRITE_PROTECT;
    case EDQUOT:
        return ERROR_HANDLE_DISK_FULL;
    case ENOSPC:
        return ERROR_DISK_FULL;
    case EFBIG:
        return ERROR_FILE_TOO_LARGE;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    default:
        return ERROR_GEN_FAILURE;
    }
}

CString SystemErrorText(DWORD error)
{
    switch (error) {
    case ERROR_SUCCESS:
        return "The operation completed successfully.";
    case ERROR_FILE_NOT_FOUND:
        return "The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND:
        return "The system cannot find the path specified.";
    case ERROR_ACCESS_DENIED:
        return "Access is denied.";
    case ERROR_INVALID_HANDLE:
        return "The handle is invalid.";
    case ERROR_NOT_ENOUGH_MEMORY:
        return "Not enough memory resources are available to process this command.";
    case ERROR_INVALID_PARAMETER:
        return "The parameter is incorrect.";
    default:
        break;
    }
    CString text;
    text.Format("Error %u.", static_cast<unsigned>(error));
    return text;
}

void SetLastErrorFromErrno(int error) { SetLastError(ErrnoToWin32(error)); }

DWORD Win32ErrorOf(const CFileException& e)
{
    if (e.m_cause == CFileException::badPath)
        return ERROR_PATH_NOT_FOUND;
    if (e.m_lOsError > 0)
        return ErrnoToWin32(static_cast<int>(e.m_lOsError));
    switch (e.m_cause) {
    case CFileException::none:
        return ERROR_SUCCESS;
    case CFileException::fileNotFound:
        return ERROR_FILE_NOT_FOUND;
    case CFileException::accessDenied:
        return ERROR_ACCESS_DENIED;
    case CFileException::diskFull:
        return ERROR_DISK_FULL;
    case CFileException::invalidFile:
        return ERROR_INVALID_HANDLE;
    default:
        return ERROR_GEN_FAILURE;
    }
}

} // namespace kestrun
