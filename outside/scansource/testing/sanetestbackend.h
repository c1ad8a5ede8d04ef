#pragma once
// For tests: SANE sees nothing but its "test" backend, set up by the given
// lines of "test.conf". SANE takes its configuration folder once per
// process, so every test of a program shares one folder (in the data root
// of the first) and each backend object rewrites its "test.conf"; the
// backend reads it again whenever SANE starts, so make the object before
// the scanner.

#include <sane/sane.h>

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace kestrun::testing {

class CScopedSaneTestBackend
{
public:
    explicit CScopedSaneTestBackend(const std::string& options = {})
    {
        const std::filesystem::path& folder = Folder();
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "dll.conf") << "test\n";
        std::ofstream(folder / "test.conf") << kDefaults << options << "\n";
        ::setenv("SANE_CONFIG_DIR", folder.c_str(), 1);
        KeepBackendLoaded();
    }
    ~CScopedSaneTestBackend()
    {
        // The backend as it comes, for whoever starts SANE next.
        std::ofstream(Folder() / "test.conf") << kDefaults;
    }
    CScopedSaneTestBackend(const CScopedSaneTestBackend&) = delete;
    CScopedSaneTestBackend& operator=(const CScopedSaneTestBackend&) = delete;

private:
    // Taken from the data root the first time: tests that move the data
    // root later still write where SANE looks.
    static const std::filesystem::path& Folder()
    {
        static const std::filesystem::path folder = std::filesystem::path(std::getenv("KESTRUN_DATA_ROOT")) / "sane";
        return folder;
    }

    // The backend keeps what a file set while it stays loaded: every file
    // starts from its defaults, and later lines win.
    static constexpr const char* kDefaults = "number_of_devices 2\nmode Gray\ndepth 8\nhand-scanner false\n"
                                             "three-pass false\nresolution 50\ntest-picture \"Solid black\"\n"
                                             "read-limit false\nread-status-code \"Default\"\n"
                                             "tl_x 0\ntl_y 0\nbr_x 80\nbr_y 100\n";

    // The backend drops the buffer of a cancelled scan. Kept loaded, it is
    // named in the leak report, which leaves it out.
    static void KeepBackendLoaded()
    {
        static void* const backend = [] {
            Dl_info info{};
            if (::dladdr(reinterpret_cast<void*>(&sane_init), &info) == 0 || info.dli_fname == nullptr)
                return static_cast<void*>(nullptr);
            const std::filesystem::path library =
                std::filesystem::path(info.dli_fname).parent_path() / "sane" / "libsane-test.so.1";
            return ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
        }();
        (void)backend;
    }
};

} // namespace kestrun::testing
