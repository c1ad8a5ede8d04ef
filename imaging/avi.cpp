#include "imaging/avi.h"

#include "outside/pixmere/dib.h"
#include "platform/core/messagebox.h"

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

CAVI::QualityChooser& Chooser()
{
    static CAVI::QualityChooser chooser;
    return chooser;
}

// The writer takes 24-bit BGR frames: an 8-bit page goes through its
// palette.
cv::Mat ToBgr(const CDIB& page)
{
    const cv::Mat pixels = page.GetMat();
    if (pixels.type() == CV_8UC3)
        return pixels;
    cv::Mat lut(1, 256, CV_8UC3);
    for (int i = 0; i < 256; ++i) {
        const COLORREF colour = page.GetPaletteColor(static_cast<BYTE>(i));
        lut.at<cv::Vec3b>(0, i) = cv::Vec3b(GetBValue(colour), GetGValue(colour), GetRValue(colour));
    }
    cv::Mat spread;
    cv::merge(std::vector<cv::Mat>{pixels, pixels, pixels}, spread);
    cv::Mat bgr;
    cv::LUT(spread, lut, bgr);
    return bgr;
}

BOOL ReadPage(CDIB& page, const CString& path)
{
    if (page.Read(path) && page.GetWidth() > 0 && page.GetHeight() > 0)
        return TRUE;
    AfxMessageBox(FormatString("Couldn't load Image: %s", path.GetString()), MB_ICONINFORMATION);
    return FALSE;
}

} // namespace

void CAVI::SetQualityChooser(QualityChooser chooser)
{
    Chooser() = std::move(chooser);
}

BOOL CAVI::CreateFromImageFiles(const CString& strOutput, const CStringArray& arrFiles)
{
    if (arrFiles.GetSize() == 0)
        return FALSE;
    CDIB page;
    if (!ReadPage(page, arrFiles.GetAt(0)))
        return FALSE;
    int quality = kDefaultQuality;
    if (Chooser() && !Chooser()(quality))
        return FALSE;
    quality = std::clamp(quality, 1, 100);

    const std::filesystem::path target(strOutput.GetString());
    std::filesystem::path partial = target;
    partial += ".part.avi";
    std::error_code error;
    const cv::Size size(page.GetWidth(), page.GetHeight());
    BOOL complete = FALSE;
    {
        cv::VideoWriter writer;
        if (writer.open(partial.string(), cv::CAP_OPENCV_MJPEG, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'),
                        kFramesPerSecond, size, true)) {
            writer.set(cv::VIDEOWRITER_PROP_QUALITY, quality);
            complete = TRUE;
            for (INT_PTR i = 0; i < arrFiles.GetSize(); ++i) {
                if (i > 0 && !ReadPage(page, arrFiles.GetAt(i))) {
                    complete = FALSE;
                    break;
                }
                if (page.GetWidth() != size.width || page.GetHeight() != size.height) {
                    AfxMessageBox(FormatString("Image size differs from the first image: %s", arrFiles.GetAt(i).GetString()),
                                  MB_ICONINFORMATION);
                    complete = FALSE;
                    break;
                }
                writer.write(ToBgr(page));
            }
            writer.release();
        }
    }
    if (complete) {
        std::filesystem::rename(partial, target, error);
        complete = !error;
    }
    if (!complete)
        std::filesystem::remove(partial, error);
    return complete;
}
