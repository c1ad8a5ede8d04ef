#include "outside/grabwell/folderplayback.h"

#include "outside/pixmere/dib.h"

#include "platform/core/paths.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace kestrun {

namespace {

std::string lowerAscii(std::string_view text)
{
    std::string lower(text);
    for (char& ch : lower)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return lower;
}

// Names as a file list shows them: without regard to case, then by bytes.
bool nameOrder(const CString& a, const CString& b)
{
    const std::string la = lowerAscii(a.view());
    const std::string lb = lowerAscii(b.view());
    return la != lb ? la < lb : a < b;
}

CString effectiveFolder(const CBoardSettings& settings, const CString& defaultFolder)
{
    return NativePath(settings.playbackFolder.IsEmpty() ? defaultFolder : settings.playbackFolder);
}

} // namespace

CFolderPlayback::CFolderPlayback(const CBoardSettings& settings, const CString& defaultFolder)
    : m_defaultFolder(defaultFolder), m_folder(effectiveFolder(settings, defaultFolder)), m_frameRate(settings.frameRate)
{
}

bool CFolderPlayback::IsImageFile(const CString& name)
{
    static constexpr std::array<std::string_view, 7> kExtensions{".bmp", ".jpg", ".jpeg", ".png", ".tif", ".tiff", ".jp2"};
    const std::string lower = lowerAscii(name.view());
    return std::any_of(kExtensions.begin(), kExtensions.end(), [&lower](std::string_view ext) {
        return lower.size() > ext.size() && lower.ends_with(ext);
    });
}

bool CFolderPlayback::Open()
{
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<CString> names;
    for (fs::directory_iterator it(m_folder.str(), error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (IsImageFile(name.c_str()) && it->is_regular_file(error))
            names.emplace_back(name);
    }
    if (error)
        return Fail(FormatString("The image folder \"%s\" cannot be read.", m_folder.GetString()));
    if (names.empty())
        return Fail(FormatString("The folder \"%s\" holds no images.", m_folder.GetString()));
    std::sort(names.begin(), names.end(), nameOrder);

    std::vector<CString> files;
    files.reserve(names.size());
    for (const CString& name : names)
        files.push_back(m_folder + "/" + name);
    cv::Mat first;
    if (!ReadFile(files.front(), first))
        return false;
    m_files = std::move(files);
    m_next = 0;
    m_frameSize = CSize(first.cols, first.rows);
    return true;
}

bool CFolderPlayback::ReadFrame(cv::Mat& frame)
{
    if (m_files.empty() && !Open())
        return false;
    if (!ReadFile(m_files[m_next], frame))
        return false;
    m_next = (m_next + 1) % m_files.size();
    m_frameSize = CSize(frame.cols, frame.rows);
    return true;
}

void CFolderPlayback::Apply(const CBoardSettings& settings)
{
    m_frameRate = settings.frameRate;
    const CString folder = effectiveFolder(settings, m_defaultFolder);
    if (folder != m_folder) {
        m_folder = folder;
        m_files.clear(); // read again at the next frame
        m_frameSize = CSize();
    }
}

bool CFolderPlayback::ReadFile(const CString& path, cv::Mat& frame)
{
    CDIB page;
    if (!page.Read(path))
        return Fail(FormatString("The image \"%s\" cannot be read: %s", path.GetString(), page.GetLastError().GetString()));
    const cv::Mat pixels = page.GetMat();
    if (page.GetBpp() == 24) {
        pixels.copyTo(frame);
        return true;
    }
    // An 8-bit page: its palette gives the colours.
    cv::Mat lut(1, 256, CV_8UC3);
    for (int i = 0; i < 256; ++i) {
        const COLORREF colour = page.GetPaletteColor(static_cast<BYTE>(i));
        lut.at<cv::Vec3b>(0, i) = cv::Vec3b(GetBValue(colour), GetGValue(colour), GetRValue(colour));
    }
    cv::Mat grey3;
    cv::Mat channels[] = {pixels, pixels, pixels};
    cv::merge(channels, 3, grey3);
    cv::LUT(grey3, lut, frame);
    return true;
}

} // namespace kestrun
