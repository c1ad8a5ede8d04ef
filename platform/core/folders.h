#pragma once
// Folders, module paths and file operations with the Win32 names our code is
// written against. Every path may be written with '\'. Failures return
// FALSE (or the documented failure value) and set the thread's last error.

#include "platform/core/cstring.h"
#include "platform/core/filefind.h"

inline constexpr int MAX_PATH = 260;

inline constexpr int CSIDL_PERSONAL = 0x05;
inline constexpr int CSIDL_APPDATA = 0x1a;
inline constexpr int CSIDL_LOCAL_APPDATA = 0x1c;
inline constexpr int CSIDL_COMMON_APPDATA = 0x23;
inline constexpr int CSIDL_FLAG_CREATE = 0x8000;

inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr DWORD FILE_ATTRIBUTE_TEMPORARY = 0x100;
// A symbolic link: its target's kind, plus this bit.
inline constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;

namespace kestrun {

// The application-data root: $KESTRUN_DATA_ROOT when set and not empty,
// else $XDG_DATA_HOME, else $HOME/.local/share.
CString DataFolder();
// The folder of a CSIDL_* value (flags such as CSIDL_FLAG_CREATE ignored);
// empty for values we do not know.
CString SpecialFolder(int csidl);

// The absolute path of the program (null) or of a library from LoadLibrary;
// empty when it cannot be told.
CString ModulePath(HMODULE module = nullptr);
// The program's folder, without a final '/'.
CString ModuleFolder();

// Creates every missing level; true when the folder exists afterwards.
bool CreateFolderTree(const char* path);

// The FILE_ATTRIBUTE_* bits of an entry from its stat mode and its name.
DWORD FileAttributesOf(unsigned mode, const char* name);

} // namespace kestrun

// The folder of csidl into path, a buffer of at least MAX_PATH bytes; FALSE
// for an unknown csidl or a folder that does not fit. create makes the
// folder when missing.
BOOL SHGetSpecialFolderPath(HWND owner, LPTSTR path, int csidl, BOOL create);

// The module's path into buffer; the length copied. A path that does not fit
// is cut to size - 1 bytes, the result is size and the last error
// ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileName(HMODULE module, LPTSTR buffer, DWORD size);

// INVALID_FILE_ATTRIBUTES when missing; DIRECTORY or ARCHIVE, plus READONLY
// when no write bit is set and HIDDEN when the name starts with '.'.
DWORD GetFileAttributes(LPCTSTR path);

// FALSE with ERROR_ALREADY_EXISTS when the folder exists.
BOOL CreateDirectory(LPCTSTR path, void* security = nullptr);
BOOL RemoveDirectory(LPCTSTR path);
BOOL DeleteFile(LPCTSTR path);
// Copies through a temporary file beside dst, so that dst is whole or
// untouched; keeps the source's permissions and modification time. With
// failIfExists an existing dst gives ERROR_FILE_EXISTS.
BOOL CopyFile(LPCTSTR src, LPCTSTR dst, BOOL failIfExists);
// Renames; an existing dst gives ERROR_ALREADY_EXISTS. Files move across
// file systems by copy and delete, folders do not (ERROR_NOT_SAME_DEVICE).
BOOL MoveFile(LPCTSTR src, LPCTSTR dst);
// The temporary folder with a final '/'. Returns its length, or the size
// needed including the NUL (and writes nothing) when buffer is too small.
DWORD GetTempPath(DWORD size, LPTSTR buffer);
