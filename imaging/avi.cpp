#include "imaging/avi.h"

#include "outside/grabwell/aviwriter.h"
#include "outside/pixmere/dib.h"
#include "platform/core/messagebox.h"

#include <opencv2/core.hpp>

#include <algorithm>
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

    kestrun::CAviWriter writer;
    if (!writer.Open(strOutput, cv::Size(page.GetWidth(), page.GetHeight()), kFramesPerSecond, quality))
        return FALSE;
    for (INT_PTR i = 0; i < arrFiles.GetSize(); ++i) {
        if (i > 0 && !ReadPage(page, arrFiles.GetAt(i)))
            return FALSE;
        if (!writer.Write(ToBgr(page))) {
            AfxMessageBox(FormatString("Image size differs from the first image: %s", arrFiles.GetAt(i).GetString()),
                          MB_ICONINFORMATION);
            return FALSE;
        }
    }
    return writer.Commit() ? TRUE : FALSE;
}
