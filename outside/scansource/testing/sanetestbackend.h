#pragma once
// For tests: SANE sees nothing but its "test" backend, set up by the given
// lines of "test.conf". SANE takes its configuration folder once per
// process, so every test of a program shares one folder in the data root
// and each backend object rewrites its "test.conf"; the backend reads it
// again whenever SANE starts, so make the object before the scanner.

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
        const std::filesystem::path folder = std::filesystem::path(std::getenv("KESTRUN_DATA_ROOT")) / "sane";
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "dll.conf") << "test\n";
        std::ofstream(folder / "test.conf") << options << "\n";
        ::setenv("SANE_CONFIG_DIR", folder.c_str(), 1);
    }
    ~CScopedSaneTestBackend()
    {
        // The backend as it comes, for whoever starts SANE next.
        const std::filesystem::path folder = std::filesystem::path(std::getenv("KESTRUN_DATA_ROOT")) / "sane";
        std::ofstream(folder / "test.conf") << "\n";
    }
    CScopedSaneTestBackend(const CScopedSaneTestBackend&) = delete;
    CScopedSaneTestBackend& operator=(const CScopedSaneTestBackend&) = delete;
};

} // namespace kestrun::testing
