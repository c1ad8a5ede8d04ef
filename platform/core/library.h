#pragma once
// Libraries opened by name at run time. "Name.dll" and "Name" are looked for
// as "libname.so" (lower case); a name ending in ".so" is used as it is. A
// name with a folder is looked for in that folder only; a bare name beside
// the program first, then in the library path.

#include "platform/core/cstring.h"

// Null with ERROR_MOD_NOT_FOUND when the library cannot be loaded.
HMODULE LoadLibrary(LPCTSTR name);
// The exact symbol, else the plain C name of a stdcall-decorated one
// ("_SetParam@12" finds "SetParam"). Null with ERROR_PROC_NOT_FOUND.
void* GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);

namespace kestrun {

// The file name a library name is looked for under.
CString LibraryFileName(const char* name);
// The loader's message for this thread's last failed LoadLibrary.
CString LastLibraryError();
// The handle of the loaded library that holds the address (what whoever
// opened it by name got); null when no library holds it.
HMODULE ModuleOfAddress(const void* address);

} // namespace kestrun
