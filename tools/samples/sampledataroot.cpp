#include "tools/samples/sampledataroot.h"

#include "tools/samples/samplechamber.h"
#include "tools/samples/sampleplate.h"
#include "tools/samples/sampleprofile.h"

#include "outside/pixmere/dib.h"
#include "platform/core/exceptions.h"
#include "platform/core/folders.h"

namespace kestrun::samples {

namespace {

void CreateFolder(const std::filesystem::path& folder)
{
    if (!kestrun::CreateFolderTree(folder.c_str()))
        AfxThrowFileException(CFileException::badPath, -1, folder.c_str());
}

void WritePicture(const cv::Mat& picture, const std::filesystem::path& path)
{
    CDIB page;
    page.AssignMat(picture);
    if (!page.Write(path.c_str()))
        AfxThrowFileException(CFileException::genericException, -1, path.c_str());
}

} // namespace

std::vector<std::filesystem::path> CSampleDataRoot::GetFiles() const
{
    return {GetPlatePath(),
            GetChamberPath(),
            m_root / "bv.xml",
            m_root / CSampleProfile::kAreaFile,
            m_root / CSampleProfile::kClassesFile,
            m_root / "kestrun.xml"};
}

std::vector<std::filesystem::path> CSampleDataRoot::GetExistingFiles() const
{
    std::vector<std::filesystem::path> existing;
    for (const std::filesystem::path& file : GetFiles()) {
        std::error_code error;
        if (std::filesystem::exists(file, error))
            existing.push_back(file);
    }
    return existing;
}

void CSampleDataRoot::Write(unsigned seed) const
{
    const CSamplePlate plate(seed);
    const cv::Mat platePicture = plate.Render();
    const cv::Mat chamberPicture = CSampleChamber(seed).Render();
    const CSampleProfile profile(plate, platePicture);

    CreateFolder(m_root / kImageFolder);
    WritePicture(platePicture, GetPlatePath());
    WritePicture(chamberPicture, GetChamberPath());
    profile.Write(m_root.c_str());
}

} // namespace kestrun::samples
