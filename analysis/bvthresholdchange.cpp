// Which pixels a threshold step would drop or add: painted in before the
// user takes the step.

#include "analysis/bv.h"

#include "outside/pixmere/device.h"

#include <algorithm>

namespace {

// Each byte one up, 255 wrapping to 0.
COLORREF EachByteUp(COLORREF color)
{
    return RGB((GetRValue(color) + 1) & 0xFF, (GetGValue(color) + 1) & 0xFF, (GetBValue(color) + 1) & 0xFF);
}

} // namespace

const CAOI* CBV::GetWorkingAOI() const
{
    const CAOI* largest = nullptr;
    long long largestSize = -1;
    for (int i = 0; i < m_AOIDoc.GetAOICount(); ++i) {
        const CAOI* aoi = m_AOIDoc.GetAOI(i);
        if (aoi == nullptr || aoi->m_bExcluded || aoi->m_nFunction != -1)
            continue;
        const long long size = static_cast<long long>(aoi->GetWidth()) * aoi->GetHeight();
        if (size > largestSize) {
            largest = aoi;
            largestSize = size;
        }
    }
    return largest != nullptr ? largest : &m_AOIDoc.GetImageAOI();
}

void CBV::MarkThresholdChange(Device* image, int firstExcluded, int lastExcluded, int offset)
{
    const CAOI* area = GetWorkingAOI();
    if (image == nullptr || area->GetWidth() <= 1 || area->GetHeight() <= 1)
        return;
    const CSegThres& current = m_Profiles.m_SegThres;
    CSegThres shifted(current);
    bool dropped = true;
    COLORREF mark = 0;
    switch (current.m_Mode) {
    case CSegThres::modeDark:
        shifted.Tighten(offset);
        mark = EachByteUp(current.GetUpper());
        break;
    case CSegThres::modeBright:
        shifted.Loosen(offset);
        mark = EachByteUp(current.GetLower());
        dropped = false;
        break;
    default:
        return;
    }
    // The area may reach beyond the page: only the page's pixels are read.
    const int left = std::max(area->GetLeft(), 0);
    const int top = std::max(area->GetTop(), 0);
    const int right = std::min(area->GetLeft() + area->GetWidth(), image->GetWidth());
    const int bottom = std::min(area->GetTop() + area->GetHeight(), image->GetHeight());
    for (int x = left; x < right; ++x) {
        if (x >= firstExcluded && x <= lastExcluded)
            continue;
        for (int y = top; y < bottom; ++y) {
            const COLORREF c = image->GetPixel(x, y);
            const bool before = current.IsObjectColor(c) != FALSE;
            const bool after = shifted.IsObjectColor(c) != FALSE;
            if (dropped ? (before && !after) : (after && !before))
                image->SetPixel(x, y, mark);
        }
    }
}
