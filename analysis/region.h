#pragma once
// CRegion: an object filled run by run from a seed pixel, collecting its
// runs, its colour sums, its pixel count, its bounding rectangle and whether
// it reached the border of the area of interest. Filled pixels are painted
// in the mark colour, so each is taken once.

#include "analysis/segobj.h"
#include "objectmodel/boundingrect.h"
#include "platform/core/arrays.h"

#include <array>
#include <vector>

// One filled run: left x, right x, y.
struct sRegionRun
{
    WORD left;
    WORD right;
    WORD y;
};

// Counts of the red, green and blue values 0..255.
using CColorHistogram = std::array<std::array<ULONGLONG, 256>, 3>;

class CRegion : public CSegObj
{
    DECLARE_DYNAMIC(CRegion)

public:
    // stackCapacity: how many pending runs the fill can hold.
    explicit CRegion(int stackCapacity);
    ~CRegion() override = default;

    void SetSeed(POINT seed) { m_ptSeed = seed; }
    POINT GetSeed() const { return m_ptSeed; }

    // The scan-line fill from the seed within the area of interest: 1 when
    // the region was filled, 0 when the run stack overflowed (what was
    // filled until then stays painted and counted).
    int FillStatistics();

    const CBoundingRect& GetBoundingRect() const { return m_BoundingRect; }
    BOOL TouchesBorder() const { return m_bTouchesBorder; }
    ULONGLONG GetSumRed() const { return m_SumRed; }
    ULONGLONG GetSumGreen() const { return m_SumGreen; }
    ULONGLONG GetSumBlue() const { return m_SumBlue; }
    int GetPixelCount() const { return m_nCount; }
    const CArray<sRegionRun, const sRegionRun&>& GetRuns() const { return m_Runs; }

    // The histograms of the page's pixels inside rect, clipped to the
    // page. A page of neither 8 nor 24 bits is an invalid argument.
    static CColorHistogram ColorHistogram(CDIB& page, const RECT& rect);

private:
    // Pushes a pending run end; false when the stack is full.
    bool Push(int x, int y);

    CBoundingRect m_BoundingRect;
    std::vector<POINT> m_Stack;
    int m_nStackCapacity;
    int m_nStackCount = 0;
    POINT m_ptSeed{0, 0};
    BOOL m_bTouchesBorder = FALSE;
    ULONGLONG m_SumRed = 0;
    ULONGLONG m_SumGreen = 0;
    ULONGLONG m_SumBlue = 0;
    int m_nCount = 0;
    CArray<sRegionRun, const sRegionRun&> m_Runs;
};
