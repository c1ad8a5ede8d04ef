#pragma once
// Pages for the tracer tests, drawn as text: '#' object (grey 20), '.'
// background (grey 200), 'M' the mark colour (white). The threshold takes
// dark objects (every channel at most 80) and marks in white.

#include "analysis/aoi.h"
#include "analysis/kontur8.h"
#include "analysis/segthres.h"
#include "outside/pixmere/dib.h"

#include <opencv2/core.hpp>

#include <string>
#include <vector>

namespace tracetest {

inline constexpr BYTE kObject = 20;
inline constexpr BYTE kBackground = 200;
inline constexpr COLORREF kMark = RGB(255, 255, 255);

inline CDIB MakePage(const std::vector<std::string>& rows, int bits = 8)
{
    CDIB page;
    page.InitDIB(static_cast<int>(rows.front().size()), static_cast<int>(rows.size()), bits);
    for (int y = 0; y < page.GetHeight(); ++y) {
        for (int x = 0; x < page.GetWidth(); ++x) {
            const char c = rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
            const BYTE grey = c == '#' ? kObject : c == 'M' ? 255 : kBackground;
            page.SetPixel(x, y, RGB(grey, grey, grey));
        }
    }
    return page;
}

// A page of the mask: object where it is set, background elsewhere.
inline CDIB PageFromMask(const cv::Mat& mask)
{
    CDIB page;
    page.InitDIB(mask.cols, mask.rows, 8);
    page.GetMat().setTo(cv::Scalar(kBackground));
    page.GetMat().setTo(cv::Scalar(kObject), mask);
    return page;
}

// Dark objects, white marks.
inline CSegThres DarkThreshold()
{
    return CSegThres(RGB(80, 80, 80), RGB(240, 240, 240), CSegThres::modeDark);
}

// The whole page as the area of interest.
inline CAOI2 WholePage(const CDIB& page)
{
    return CAOI2(CRect(0, 0, page.GetWidth(), page.GetHeight()));
}

// The engine's object search: every start pixel the area finds, row by
// row, until its progress is complete. found (x, y) traces and marks.
template <class Found>
void SearchObjects(CAOI& aoi, const CDIB& page, const CSegThres& threshold, Found&& found)
{
    CPoint position;
    if (!aoi.GetFirstScanPoint(position))
        return;
    while (aoi.m_nProgress < 1000) {
        if (aoi.FindNextObjectPixel(page, threshold, position) == 1)
            found(position.x, position.y);
    }
}

// A page of the mask, the whole page as area, the dark threshold and a
// tracer bound to the three.
struct CMaskScene
{
    explicit CMaskScene(const cv::Mat& mask) : page(PageFromMask(mask)), aoi(WholePage(page))
    {
        tracer.Size(30000);
        tracer.SetImage(&page, &aoi, &threshold);
    }
    CMaskScene(const CMaskScene&) = delete;
    CMaskScene& operator=(const CMaskScene&) = delete;

    CDIB page;
    CAOI2 aoi;
    CSegThres threshold = DarkThreshold();
    CKontur8 tracer;
};

inline std::vector<BYTE> PixelBytes(const CDIB& page)
{
    const cv::Mat mat = page.GetMat();
    std::vector<BYTE> bytes;
    for (int y = 0; y < mat.rows; ++y)
        bytes.insert(bytes.end(), mat.ptr(y), mat.ptr(y) + mat.cols * mat.elemSize());
    return bytes;
}

} // namespace tracetest
