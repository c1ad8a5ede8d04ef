// The object search over an area of interest: the start pixels of the
// engine's main run, row by row.

#include "analysis/aoi.h"
#include "analysis/aoiwalk.h"
#include "analysis/markmask.h"
#include "analysis/objectpixelscan.h"
#include "analysis/segthres.h"

#include "outside/pixmere/dib.h"

#include <algorithm>

namespace {

// The next multiple of step at or above value.
int RaiseToStep(int value, int step)
{
    const int remainder = ((value % step) + step) % step;
    return remainder == 0 ? value : value + step - remainder;
}

// First byte of the pixel: the grey value of an 8-bit page.
BYTE FirstByte(const CDIB& image, int x, int y)
{
    return image.GetRow(y)[static_cast<size_t>(x) * static_cast<size_t>(image.GetBitCount() / 8)];
}

} // namespace

bool CAOI::GetFirstScanPoint(CPoint& point)
{
    const int step = std::max(m_nStep, 1);
    m_nProgress = 0;
    point.y = m_nTop;
    if (m_nHeight > 0)
        GetRunStart(0, m_nTop, point.x);
    else
        point.x = m_nLeft;
    point.x = RaiseToStep(point.x, step);
    point.y = RaiseToStep(point.y, step);
    if (point.y < m_nTop + m_nHeight - 1 && point.x <= GetRowRight(point.y))
        return true;
    m_nProgress = 1000;
    return false;
}

namespace {

// Moves the point to the next row when it stands at the end of its row.
// False when the search is over: past the last row, or at it unless
// lastRowIncluded.
bool AdvanceRow(const CAOI& aoi, CPoint& point, int step, bool lastRowIncluded, int& progress)
{
    if (point.x < aoi.GetRowRight(point.y))
        return true;
    point.y += step;
    const int lastRow = aoi.GetTop() + aoi.GetHeight() - 1;
    if (lastRow > 0)
        progress = static_cast<int>(std::clamp(static_cast<long long>(point.y) * 1000 / lastRow, 0LL, 999LL));
    if (lastRowIncluded ? point.y > lastRow : point.y >= lastRow) {
        progress = 1000;
        return false;
    }
    point.x = RaiseToStep(aoi.GetRowLeft(point.y), step);
    return true;
}

enum class Sample
{
    background,
    mark,
    object,
};

// The rest of the row in steps, up to (not including) its last pixel. An
// object pixel counts only when no mark pixel precedes it since the last
// background pixel: it belongs to an object already traced.
template <class Classify>
int ScanRow(const CAOI& aoi, CPoint& point, int step, Classify classify)
{
    bool marked = false;
    const int right = aoi.GetRowRight(point.y);
    for (; point.x < right; point.x += step) {
        const Sample sample = classify(point.x, point.y);
        if (sample == Sample::mark)
            marked = true;
        else if (sample == Sample::background)
            marked = false;
        else if (!marked)
            return 1;
    }
    return 0;
}

} // namespace

int CAOI::FindNextObjectPixel(const Device& image, const CSegThres& threshold, CPoint& point,
                              const kestrun::CMarkMask* marks)
{
    const int step = std::max(m_nStep, 1);
    if (m_nProgress == 1000 || !AdvanceRow(*this, point, step, false, m_nProgress))
        return 0;
    // A page is read through its rows: the same answers, without a virtual
    // call per pixel.
    if (const auto* page = dynamic_cast<const CDIB*>(&image); page && kestrun::CObjectPixelScan::CanScan(*page)) {
        kestrun::CObjectPixelScan scan(*page, threshold, marks);
        return scan.ScanRow(point.x, point.y, GetRowRight(point.y), step);
    }
    if (marks && (marks->GetWidth() != image.GetWidth() || marks->GetHeight() != image.GetHeight()))
        AfxThrowInvalidArgException();
    return ScanRow(*this, point, step, [&](int x, int y) {
        // Where the area hangs over the image's edge there is only background.
        if (!kestrun::IsInImage(image, x, y))
            return Sample::background;
        if (marks)
            return marks->IsMarked(x, y) ? Sample::mark
                   : threshold.IsObjectColor(image.GetPixel(x, y)) ? Sample::object
                                                                  : Sample::background;
        const COLORREF color = image.GetPixel(x, y);
        if (threshold.IsMarkColor(color))
            return Sample::mark;
        return threshold.IsObjectColor(color) ? Sample::object : Sample::background;
    });
}

int CAOI::ScanNextObjectPixel(kestrun::CObjectPixelScan& scan, CPoint& point)
{
    const int step = std::max(m_nStep, 1);
    if (m_nProgress == 1000 || !AdvanceRow(*this, point, step, false, m_nProgress))
        return 0;
    return scan.ScanRow(point.x, point.y, GetRowRight(point.y), step);
}

int CAOI::FindNextObjectPixelGrey(const CDIB& image, const CSegThres& threshold, CPoint& point)
{
    const int step = std::max(m_nStep, 1);
    if (m_nProgress == 1000 || !AdvanceRow(*this, point, step, false, m_nProgress))
        return 0;
    return ScanRow(*this, point, step, [&](int x, int y) {
        if (!kestrun::IsInImage(image, x, y))
            return Sample::background;
        const BYTE grey = FirstByte(image, x, y);
        if (threshold.IsMarkGrey(grey))
            return Sample::mark;
        return threshold.IsObjectGrey(grey) ? Sample::object : Sample::background;
    });
}

int CAOI::FindObjectPixel(const CDIB& image, const CSegThres& threshold, CPoint& point)
{
    if (m_nProgress == 1000 || !AdvanceRow(*this, point, std::max(m_nStep, 1), true, m_nProgress))
        return 0;
    const bool grey = image.GetBitCount() == 8;
    const int right = GetRowRight(point.y);
    for (; point.x <= right; ++point.x) {
        if (!kestrun::IsInImage(image, point.x, point.y))
            continue;
        if (grey) {
            const BYTE value = FirstByte(image, point.x, point.y);
            if (!threshold.IsMarkGrey(value) && threshold.IsObjectGrey(value))
                return 1;
        } else {
            const COLORREF color = image.GetPixel(point.x, point.y);
            if (!threshold.IsMarkColor(color) && threshold.IsObjectColor(color))
                return 1;
        }
    }
    return 0;
}
