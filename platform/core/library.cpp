#include "platform/core/library.h"

#include "platform/core/errors.h"
#include "platform/core/folders.h"
#include "platform/core/paths.h"

#include <cctype>
#include <dlfcn.h>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

thread_local CString t_lastLibraryError;

HMODULE Open(const CString& file)
{
    HMODULE module = ::dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* message = ::dlerror();
        t_lastLibraryError = message ? CString(message) : "cannot load " + file;
    }
    return module;
}

// "_Name@12" -> "Name"; empty when name is not decorated that way.
std::string_view Undecorated(std::string_view name)
{
    const auto at = name.rfind('@');
    if (name.size() < 3 || name.front() != '_' || at == std::string_view::npos || at < 2 || at + 1 == name.size())
        return {};
    for (char c : name.substr(at + 1))
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return {};
    return name.substr(1, at - 1);
}

} // namespace

namespace kestrun {

CString LibraryFileName(const char* name)
{
    CString file(name);
    const int dot = file.ReverseFind('.');
    CString extension = dot < 0 ? CString() : file.Mid(dot);
    extension.MakeLower();
    if (extension == ".so")
        return file;
    if (dot >= 0 && extension != ".dll")
        return file;
    CString stem = dot < 0 ? file : file.Left(dot);
    stem.MakeLower();
    return "lib" + stem + ".so";
}

CString LastLibraryError() { return t_lastLibraryError; }

HMODULE ModuleOfAddress(const void* address)
{
    Dl_info info{};
    if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr)
        return nullptr;
    // A no-load open answers the library's handle without keeping it.
    void* handle = ::dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr)
        ::dlclose(handle);
    return handle;
}

} // namespace kestrun

HMODULE LoadLibrary(LPCTSTR name)
{
    const CString path = kestrun::NativePath(name);
    const int slash = path.ReverseFind('/');
    const CString file = kestrun::LibraryFileName(path.Mid(slash + 1));
    if (path.Mid(slash + 1).IsEmpty()) {
        t_lastLibraryError = "no library name";
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }

    HMODULE module = nullptr;
    if (slash >= 0) {
        module = Open(path.Left(slash + 1) + file);
    } else {
        const CString beside = kestrun::ModuleFolder() + "/" + file;
        if (::access(beside, F_OK) == 0)
            module = Open(beside);
        if (module == nullptr)
            module = Open(file);
    }
    if (module == nullptr)
        SetLastError(ERROR_MOD_NOT_FOUND);
    return module;
}

void* GetProcAddress(HMODULE module, LPCSTR name)
{
    if (module == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // A "name" below 0x10000 is an ordinal, which our libraries do not have.
    if (reinterpret_cast<std::uintptr_t>(name) < 0x10000) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    if (void* symbol = ::dlsym(module, name))
        return symbol;
    if (const std::string_view plain = Undecorated(name); !plain.empty()) {
        if (void* symbol = ::dlsym(module, std::string(plain).c_str()))
            return symbol;
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL FreeLibrary(HMODULE module)
{
    if (module == nullptr || ::dlclose(module) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
