#include "analysis/region.h"

#include "analysis/aoi.h"
#include "analysis/pageaccess.h"
#include "analysis/segthres.h"
#include "analysis/thresholdtestcache.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CRegion, CSegObj)

CRegion::CRegion(int stackCapacity) : m_nStackCapacity(stackCapacity)
{
    if (stackCapacity < 1)
        AfxThrowInvalidArgException();
    m_Stack.resize(static_cast<size_t>(stackCapacity));
}

bool CRegion::Push(int x, int y)
{
    if (m_nStackCount >= m_nStackCapacity - 1)
        return false;
    m_Stack[static_cast<size_t>(m_nStackCount++)] = POINT{x, y};
    return true;
}

int CRegion::FillStatistics()
{
    kestrun::CPageAccess page(BoundImage());
    const CAOI& aoi = BoundAOI();
    const CSegThres& threshold = BoundThreshold();
    const COLORREF mark = threshold.m_MarkColor;
    kestrun::CThresholdTestCache cache;
    // A pixel passes when it lies in the page and is object colour but not
    // the mark colour; pixels outside the page never pass, so a run cannot
    // run off the page.
    const auto passes = [&](int x, int y) {
        if (!page.IsInside(x, y))
            return false;
        return cache.Lookup(page.GetColor(x, y), [&threshold](DWORD c) -> BYTE {
                   return threshold.IsObjectColor(c) && !threshold.IsMarkColor(c) ? 1 : 0;
               }) != 0;
    };

    m_SumRed = m_SumGreen = m_SumBlue = 0;
    m_nCount = 0;
    m_bTouchesBorder = FALSE;
    m_Runs.RemoveAll();
    m_BoundingRect.Empty();
    m_nStackCount = 0;
    // Filled pixels must stop passing, or the fill would take them again
    // and again: a mark colour that the page cannot hold as such (the
    // nearest palette entry) and that passes is refused.
    const COLORREF stored = page.StoredColor(mark);
    if (threshold.IsObjectColor(stored) && !threshold.IsMarkColor(stored))
        return 0;
    if (!Push(m_ptSeed.x, m_ptSeed.y))
        return 0;

    const int areaTop = aoi.GetTop();
    const int areaBottom = aoi.GetBottom();
    while (m_nStackCount > 0) {
        const POINT seed = m_Stack[static_cast<size_t>(--m_nStackCount)];
        const int y = seed.y;
        if (!passes(seed.x, y))
            continue;
        int left = seed.x;
        while (passes(left - 1, y))
            --left;
        int right = seed.x;
        while (passes(right + 1, y))
            ++right;

        m_Runs.Add(sRegionRun{static_cast<WORD>(left), static_cast<WORD>(right), static_cast<WORD>(y)});
        for (int x = left; x <= right; ++x) {
            const COLORREF colour = page.GetColor(x, y);
            m_SumRed += GetRValue(colour);
            m_SumGreen += GetGValue(colour);
            m_SumBlue += GetBValue(colour);
            ++m_nCount;
            page.SetColor(x, y, mark);
        }
        m_BoundingRect.AddPoint(left, y);
        m_BoundingRect.AddPoint(right, y);
        if (aoi.IsOnBorder(left, y) || aoi.IsOnBorder(right, y))
            m_bTouchesBorder = TRUE;

        for (const int row : {y - 1, y + 1}) {
            if (row < areaTop || row > areaBottom)
                continue;
            const int from = std::max(left, aoi.GetRowLeft(row));
            const int to = std::min(right, aoi.GetRowRight(row));
            for (int x = from; x <= to; ++x) {
                if (passes(x, row) && (x == to || !passes(x + 1, row)) && !Push(x, row))
                    return 0;
            }
        }
    }
    return 1;
}

CColorHistogram CRegion::ColorHistogram(CDIB& page, const RECT& rect)
{
    const kestrun::CPageAccess pixels(page);
    CColorHistogram histogram{};
    const int right = std::min<int>(rect.right, pixels.GetWidth());
    const int bottom = std::min<int>(rect.bottom, pixels.GetHeight());
    for (int y = std::max<int>(rect.top, 0); y < bottom; ++y) {
        for (int x = std::max<int>(rect.left, 0); x < right; ++x) {
            const COLORREF color = pixels.GetColor(x, y);
            ++histogram[0][GetRValue(color)];
            ++histogram[1][GetGValue(color)];
            ++histogram[2][GetBValue(color)];
        }
    }
    return histogram;
}
