#pragma once
// A fresh folder below the process's data root for one test, removed after
// it, and whole-file helpers for checking bytes on disk.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unistd.h>

class CScratchFolder
{
public:
    CScratchFolder()
    {
        const char* root = std::getenv("KESTRUN_DATA_ROOT");
        std::string pattern = std::string(root ? root : "/tmp") + "/scratch-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~CScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The names in a folder, for checking that no temporary file stayed behind.
inline int EntryCount(const std::filesystem::path& folder)
{
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}
