#pragma once
// CSampleDataRoot: puts the sample pictures and the prepared profile into
// a data root - "images/plate.png" and "images/chamber.png" (the image
// folder the application uses by default) and the profile's four files.

#include <filesystem>
#include <vector>

namespace kestrun::samples {

class CSampleDataRoot
{
public:
    static constexpr const char* kImageFolder = "images";
    static constexpr const char* kPlateFile = "plate.png";
    static constexpr const char* kChamberFile = "chamber.png";

    explicit CSampleDataRoot(std::filesystem::path root) : m_root(std::move(root)) {}

    // Every file Write makes, in the order it makes them.
    std::vector<std::filesystem::path> GetFiles() const;
    // Those of them that exist already.
    std::vector<std::filesystem::path> GetExistingFiles() const;

    // Makes the folders and writes the files from the seed, over files of
    // the same names. Pictures are made and the classes learned before the
    // first file is written; each file is written through a temporary one.
    // CFileException when a folder or file cannot be written.
    void Write(unsigned seed) const;

    std::filesystem::path GetPlatePath() const { return m_root / kImageFolder / kPlateFile; }
    std::filesystem::path GetChamberPath() const { return m_root / kImageFolder / kChamberFile; }
    const std::filesystem::path& GetRoot() const { return m_root; }

private:
    std::filesystem::path m_root;
};

} // namespace kestrun::samples
