// The engine's pixel operations inside the active area of interest and the
// small measures over it that the image documents and the measurement
// series call.

#include "analysis/bv.h"

#include "analysis/aoistatistics.h"
#include "analysis/pageaccess.h"
#include "outside/grabwell/fgboard.h"
#include "outside/pixmere/dib.h"

#include <algorithm>

namespace {

// The pixels an operation visits: the rectangle without its last column
// and row, within the page; empty for a rectangle of 1 pixel or less.
CRect InnerRect(const CRect& rect, const CDIB& page)
{
    if (rect.Width() <= 1 || rect.Height() <= 1)
        return CRect();
    CRect inner;
    inner.IntersectRect(CRect(rect.left, rect.top, rect.right - 1, rect.bottom - 1),
                        CRect(0, 0, page.GetWidth(), page.GetHeight()));
    return inner;
}

BYTE Clamped(int value)
{
    return static_cast<BYTE>(std::clamp(value, 0, 255));
}

// Calls change(colour) for every pixel of the rectangle and writes back
// what it answers.
template <class Change>
void ChangePixels(CDIB& image, const CRect& rect, Change change)
{
    kestrun::CPageAccess page(image);
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            page.SetColor(x, y, change(page.GetColor(x, y)));
}

} // namespace

void CBV::InvertImageInAOI(CDIB* image)
{
    const CAOI* aoi = m_AOIDoc.GetActiveAOI(true);
    if (image == nullptr || aoi == nullptr)
        return;
    ChangePixels(*image, InnerRect(aoi->GetRect(), *image), [](COLORREF c) {
        return RGB(255 - GetBValue(c), 255 - GetGValue(c), 255 - GetRValue(c));
    });
}

void CBV::ApplyGainOffset(CDIB* image, int gain, int offset)
{
    if (image == nullptr)
        return;
    ChangePixels(*image, InnerRect(m_AOIDoc.GetImageRect(), *image), [gain, offset](COLORREF c) {
        return RGB(Clamped(GetRValue(c) * gain + offset), Clamped(GetGValue(c) * gain + offset),
                   Clamped(GetBValue(c) * gain + offset));
    });
}

void CBV::MarkThresholdPixels(CDIB* image, CAOI* aoi, const CSegThres& thresholds)
{
    if (aoi == nullptr)
        aoi = m_AOIDoc.GetActiveAOI(true);
    if (image == nullptr || aoi == nullptr)
        return;
    const BYTE markByte = GetGValue(thresholds.m_MarkColor);
    BYTE mark = markByte == 0 ? 1 : 254;
    if (thresholds.m_Mode == CSegThres::modeBand)
        mark = static_cast<BYTE>(markByte + 1);
    CRect rect;
    rect.IntersectRect(aoi->GetRect(), CRect(0, 0, image->GetWidth(), image->GetHeight()));
    ChangePixels(*image, rect, [&thresholds, mark](COLORREF c) {
        return thresholds.IsObjectColor(c) ? RGB(GetRValue(c), mark, GetBValue(c)) : c;
    });
}

void CBV::DoubleEvenRows(CDIB* image)
{
    const CAOI* aoi = m_AOIDoc.GetActiveAOI(true);
    if (image == nullptr || aoi == nullptr)
        return;
    const CRect rect = InnerRect(aoi->GetRect(), *image);
    kestrun::CPageAccess page(*image);
    for (int y = rect.top; y + 1 < rect.bottom; y += 2)
        for (int x = rect.left; x < rect.right; ++x)
            page.SetColor(x, y + 1, page.GetColor(x, y));
}

void CBV::GetActiveAOIColorStat(Device* image, float& mean)
{
    CAOI* aoi = m_AOIDoc.GetActiveAOI(true);
    if (image == nullptr || aoi == nullptr)
        return;
    Color_Double average;
    Color_Double spread;
    ComputeColorStatistics(*aoi, *image, average, spread);
    mean = static_cast<float>(average.red);
    aoi->DrawIntoImage(*image, 255);
}

void CBV::GetEvenOddRowGreen(Device* image, float& even, float& odd)
{
    CAOI* aoi = m_AOIDoc.GetActiveAOI(true);
    if (image == nullptr || aoi == nullptr)
        return;
    COLORREF evenColour = 0;
    COLORREF oddColour = 0;
    GetFieldMeanColors(*aoi, *image, evenColour, oddColour);
    even = GetGValue(evenColour);
    odd = GetGValue(oddColour);
    aoi->DrawIntoImage(*image, 255);
}

BOOL CBV::IsFieldImage() const
{
    if (m_nFieldMode != 0)
        return m_nFieldMode == 1;
    const FGBoard* board = GetFG();
    return board != nullptr && board->IsInit() && (board->GetWidth() == 768 || board->GetWidth() == 576);
}

void CBV::ClearFilterSelection()
{
    m_Profiles.m_ObjectFilter.m_arrayFilter.RemoveAll();
}

void CBV::AddFilterSelection(int step)
{
    m_Profiles.m_ObjectFilter.m_arrayFilter.Add(step);
}
