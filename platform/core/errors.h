#pragma once
// The thread's last error and the Win32 error codes that callers test. Our
// system-service functions report failures here, as the originals did.

#include "platform/core/cstring.h"
#include "platform/core/types.h"

class CFileException;

inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD NO_ERROR = 0;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_NOT_SAME_DEVICE = 17;
inline constexpr DWORD ERROR_NO_MORE_FILES = 18;
inline constexpr DWORD ERROR_WRITE_PROTECT = 19;
inline constexpr DWORD ERROR_GEN_FAILURE = 31;
inline constexpr DWORD ERROR_HANDLE_DISK_FULL = 39;
inline constexpr DWORD ERROR_FILE_EXISTS = 80;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_DISK_FULL = 112;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
inline constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
inline constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_FILE_TOO_LARGE = 223;

// The calling thread's last error.
DWORD GetLastError();
void SetLastError(DWORD error);

namespace kestrun {

// The Win32 code for an errno value; ERROR_GEN_FAILURE for values that have
// no closer match.
DWORD ErrnoToWin32(int error);
// The system's sentence for a Win32 error code, as error boxes show it.
CString SystemErrorText(DWORD error);
// Sets the thread's last error from an errno value.
void SetLastErrorFromErrno(int error);
// The Win32 code for a file exception: from its errno when it carries one,
// else from its cause. A missing folder gives ERROR_PATH_NOT_FOUND.
DWORD Win32ErrorOf(const CFileException& e);

} // namespace kestrun
