// The traces of CKontur8. This is the hot path of counting: the steps read
// the page's row memory, ask the threshold once per colour (the test cache)
// and write into scratch arrays sized by Size, which double when an outline
// needs more; nothing is allocated and no virtual function is called per
// pixel.

#include "analysis/kontur8.h"

#include "analysis/aoi.h"
#include "analysis/markmask.h"
#include "analysis/pageaccess.h"
#include "analysis/segthres.h"
#include "platform/core/messagebox.h"

#include <algorithm>
#include <climits>
#include <typeinfo>

namespace {

constexpr int kDx[8] = {1, 1, 0, -1, -1, -1, 0, 1};
constexpr int kDy[8] = {0, -1, -1, -1, 0, 1, 1, 1};
// Turns tried from the last direction, in this order.
constexpr int kTurns[7] = {2, 1, 0, -1, -2, -3, -4};

// Answer bits of the test cache.
constexpr BYTE kAccepted = 1;
constexpr BYTE kMark = 2;

// The area of interest as a trace asks it: inside (and inside the page,
// whose outside is never object), and on the border. A plain rectangle is
// answered from its bounds, other shapes through their own tests.
class CAreaTest
{
public:
    CAreaTest(const CAOI& aoi, const kestrun::CPageAccess& page) : m_aoi(aoi), m_page(page)
    {
        m_bRectangle = typeid(aoi) == typeid(CAOI2);
        m_left = aoi.GetLeft();
        m_top = aoi.GetTop();
        m_right = aoi.GetRight();
        m_bottom = aoi.GetBottom();
        m_clipLeft = std::max(m_left, 0);
        m_clipTop = std::max(m_top, 0);
        m_clipRight = std::min(m_right, page.GetWidth() - 1);
        m_clipBottom = std::min(m_bottom, page.GetHeight() - 1);
        if (m_bRectangle) {
            // A position whose eight neighbours lie inside the area and
            // off its border.
            m_innerLeft = std::max(m_clipLeft, m_left + 1) + 1;
            m_innerRight = std::min(m_clipRight, m_right - 1) - 1;
            m_innerTop = std::max(m_clipTop, m_top + 1) + 1;
            m_innerBottom = std::min(m_clipBottom, m_bottom - 1) - 1;
        }
    }

    // Whether the neighbours of (x, y) need no area test and touch no border.
    bool IsInner(int x, int y) const
    {
        return x >= m_innerLeft && x <= m_innerRight && y >= m_innerTop && y <= m_innerBottom;
    }

    // Pixels a trace may enter: those of the area inside the page.
    long long GetPixelBound() const
    {
        if (m_bRectangle)
            return std::max(0LL, static_cast<long long>(m_clipRight) - m_clipLeft + 1) *
                   std::max(0LL, static_cast<long long>(m_clipBottom) - m_clipTop + 1);
        return static_cast<long long>(m_page.GetWidth()) * m_page.GetHeight();
    }

    bool Contains(int x, int y) const
    {
        if (m_bRectangle)
            return x >= m_clipLeft && x <= m_clipRight && y >= m_clipTop && y <= m_clipBottom;
        return m_page.IsInside(x, y) && m_aoi.Contains(x, y);
    }
    // For points inside the area.
    bool IsOnBorder(int x, int y) const
    {
        if (m_bRectangle)
            return x == m_left || x == m_right || y == m_top || y == m_bottom;
        return m_aoi.IsOnBorder(x, y);
    }

private:
    const CAOI& m_aoi;
    const kestrun::CPageAccess& m_page;
    bool m_bRectangle = false;
    int m_left, m_top, m_right, m_bottom;
    int m_clipLeft, m_clipTop, m_clipRight, m_clipBottom;
    // Empty for other shapes.
    int m_innerLeft = 0, m_innerTop = 0, m_innerRight = -1, m_innerBottom = -1;
};

// The bounding rectangle of the points as CBoundingRect builds it (the
// first point that reaches a bound is its extreme point), kept in locals.
class CTraceBox
{
public:
    CTraceBox(int x, int y) : m_left(x), m_top(y), m_right(x), m_bottom(y)
    {
        m_leftmost = m_topmost = m_rightmost = m_bottommost = POINT{x, y};
    }
    void Add(int x, int y)
    {
        if (x < m_left) {
            m_left = x;
            m_leftmost = POINT{x, y};
        } else if (x > m_right) {
            m_right = x;
            m_rightmost = POINT{x, y};
        }
        if (y < m_top) {
            m_top = y;
            m_topmost = POINT{x, y};
        } else if (y > m_bottom) {
            m_bottom = y;
            m_bottommost = POINT{x, y};
        }
    }
    CBoundingRect Get() const
    {
        // The box that RecalcBounds gives the points, so that it can be
        // handed over with them.
        CBoundingRect box;
        box.SetFromExtremes(m_leftmost, m_topmost, m_rightmost, m_bottommost);
        return box;
    }

private:
    int m_left, m_top, m_right, m_bottom;
    POINT m_leftmost, m_topmost, m_rightmost, m_bottommost;
};

// The marks of a trace: those of the bound mask, when there is one. A
// marked pixel is walked over, or with the plain threshold test it stops
// the trace, whatever its colour.
class CMarkTest
{
public:
    explicit CMarkTest(const CKontur& tracer)
        : m_marks(tracer.m_pMarkMask), m_bStops(tracer.m_nTestSelector == CKontur::testThresholdOnly)
    {
    }
    bool HasMask() const { return m_marks != nullptr; }
    const kestrun::CMarkMask* GetMask() const { return m_marks; }
    // The answer bits for a marked pixel.
    BYTE MarkedBits() const { return m_bStops ? kMark : static_cast<BYTE>(kAccepted | kMark); }
    // The answer bits for a marked pixel; 0 for one that is not.
    BYTE MarkBits(int x, int y) const
    {
        if (m_marks == nullptr || !m_marks->IsMarked(x, y))
            return 0;
        return m_bStops ? kMark : static_cast<BYTE>(kAccepted | kMark);
    }

private:
    const kestrun::CMarkMask* m_marks;
    bool m_bStops;
};

} // namespace

// The colour step: the area test, the colour through the trace's test,
// the border contact, the colour sums and the marked pixels. A plain
// threshold on a 24-bit page is tested inline through the ranges the
// tracer resolved; other thresholds through the test cache.
class CKontur8::CColorStep
{
public:
    CColorStep(CKontur8& tracer, const kestrun::CPageAccess& page, const CAreaTest& area)
        : m_tracer(tracer), m_page(page), m_area(area), m_threshold(tracer.BoundThreshold()), m_marks(tracer),
          m_tests(tracer.m_ColourTests), m_bInline(m_tests.plain && !page.IsPaletted())
    {
        // Inner positions read their neighbours through fixed offsets, in
        // the page and in a mask of the page's size.
        const kestrun::CMarkMask* mask = m_marks.GetMask();
        m_bOffsets = m_bInline && page.GetHeight() > 1 &&
                     (mask == nullptr || (mask->GetWidth() == page.GetWidth() && mask->GetHeight() == page.GetHeight()));
        if (!m_bOffsets)
            return;
        const ptrdiff_t stride = page.Pixel(0, 1) - page.Pixel(0, 0);
        if (mask) {
            m_maskBits = mask->GetRow(0);
            m_maskStride = static_cast<ptrdiff_t>(mask->GetStride()) * 8;
        }
        for (int t = 0; t < 8; ++t) {
            m_offsets[t] = kDy[t] * stride + kDx[t] * 3;
            m_markOffsets[t] = kDy[t] * m_maskStride + kDx[t];
        }
        m_markedBits = m_marks.MarkedBits();
    }

    void Start(int x, int y)
    {
        m_current = m_page.IsInside(x, y) ? m_page.GetColor(x, y) : 0;
        m_last = nullptr;
        m_red = GetRValue(m_current);
        m_green = GetGValue(m_current);
        m_blue = GetBValue(m_current);
        m_count = 1;
        m_bMeanSet = false;
        // The start pixel is tested here as well: a contour that never
        // returns to it (a single pixel) would miss its border contact.
        m_border = m_area.Contains(x, y) && m_area.IsOnBorder(x, y) ? borderTouches : borderFree;
    }

    bool IsInner(int x, int y) const { return m_bOffsets && m_area.IsInner(x, y); }
    // The position whose neighbours AcceptInner tests.
    void Locate(int x, int y)
    {
        m_here = m_page.Pixel(x, y);
        m_hereBit = static_cast<ptrdiff_t>(y) * m_maskStride + x;
    }

    bool Accept(int x, int y)
    {
        if (!m_area.Contains(x, y))
            return false;
        if (!AcceptColour(x, y))
            return false;
        if (m_area.IsOnBorder(x, y))
            m_border = borderTouches;
        return true;
    }
    // Neighbour t of the located inner position.
    bool AcceptInner(int t)
    {
        const BYTE* p = m_here + m_offsets[t];
        m_last = p;
        m_bits = m_tests.Bits(p[2], p[1], p[0]);
        if (m_maskBits) {
            const ptrdiff_t bit = m_hereBit + m_markOffsets[t];
            if ((m_maskBits[bit >> 3] >> (bit & 7)) & 1U)
                m_bits = m_markedBits;
        }
        return (m_bits & kAccepted) != 0;
    }

    void Taken()
    {
        if (m_bits & kMark) {
            ++m_tracer.m_nMarkedPixels;
            return;
        }
        if (m_last) {
            m_red += m_last[2];
            m_green += m_last[1];
            m_blue += m_last[0];
        } else {
            m_red += GetRValue(m_current);
            m_green += GetGValue(m_current);
            m_blue += GetBValue(m_current);
        }
        ++m_count;
    }

    void AtStart()
    {
        m_tracer.m_MeanColor = RGB(static_cast<int>(m_red / m_count), static_cast<int>(m_green / m_count),
                                   static_cast<int>(m_blue / m_count));
        m_bMeanSet = true;
    }

    void Finish()
    {
        // A contour that never came back (a single pixel, a full chain)
        // still gets the mean of the pixels it took instead of the last
        // object's.
        if (!m_bMeanSet)
            AtStart();
        m_tracer.m_CurrentColor = m_last ? RGB(m_last[2], m_last[1], m_last[0]) : m_current;
        m_tracer.m_nBorderState = m_border;
    }

private:
    bool AcceptColour(int x, int y)
    {
        if (m_bInline) {
            const BYTE* p = m_page.Pixel(x, y);
            m_last = p;
            m_bits = m_tests.Bits(p[2], p[1], p[0]);
        } else if (m_page.IsPaletted()) {
            const BYTE index = m_page.GetFirstByte(x, y);
            m_current = m_page.GetPaletteColor(index);
            m_bits = m_tracer.m_TestCache.LookupByte(index, [this](BYTE) { return Bits(m_current); });
        } else {
            m_current = m_page.GetColor(x, y);
            m_bits = m_tracer.m_TestCache.Lookup(m_current, [this](DWORD c) { return Bits(c); });
        }
        if (const BYTE marked = m_marks.MarkBits(x, y))
            m_bits = marked;
        return (m_bits & kAccepted) != 0;
    }

    // With a mask no colour is a mark.
    BYTE Bits(COLORREF colour) const
    {
        const BYTE accepted = m_tracer.IsTraceColor(colour) ? kAccepted : 0;
        const bool mark = !m_marks.HasMask() && m_threshold.IsMarkColor(colour);
        return static_cast<BYTE>(accepted | (mark ? kMark : 0));
    }

    CKontur8& m_tracer;
    const kestrun::CPageAccess& m_page;
    const CAreaTest& m_area;
    const CSegThres& m_threshold;
    const CMarkTest m_marks;
    const sColourTests& m_tests;
    const bool m_bInline;
    bool m_bOffsets = false;
    ptrdiff_t m_offsets[8] = {};
    ptrdiff_t m_markOffsets[8] = {};
    const BYTE* m_maskBits = nullptr;
    ptrdiff_t m_maskStride = 0; // bits per mask row
    BYTE m_markedBits = 0;
    const BYTE* m_here = nullptr;
    ptrdiff_t m_hereBit = 0;
    COLORREF m_current = 0;
    // The pixel last read inline; its colour is m_current otherwise.
    const BYTE* m_last = nullptr;
    BYTE m_bits = 0;
    unsigned long long m_red = 0, m_green = 0, m_blue = 0;
    unsigned long long m_count = 1;
    bool m_bMeanSet = false;
    int m_border = borderFree;
};

// The grey step: the first byte of the pixel through the trace's grey test.
class CKontur8::CGreyStep
{
public:
    CGreyStep(CKontur8& tracer, const kestrun::CPageAccess& page, const CAreaTest& area)
        : m_tracer(tracer), m_page(page), m_area(area), m_marks(tracer)
    {
    }

    void Start(int x, int y)
    {
        m_current = m_page.IsInside(x, y) ? m_page.GetFirstByte(x, y) : 0;
        m_border = m_area.Contains(x, y) && m_area.IsOnBorder(x, y) ? borderTouches : borderFree;
    }

    bool Accept(int x, int y)
    {
        if (!m_area.Contains(x, y))
            return false;
        m_current = m_page.GetFirstByte(x, y);
        BYTE bits = m_tracer.m_TestCache.LookupByte(m_current, [this](BYTE grey) -> BYTE {
            return m_tracer.IsTraceGrey(grey) ? kAccepted : 0;
        });
        if (const BYTE marked = m_marks.MarkBits(x, y))
            bits = marked;
        if (!(bits & kAccepted))
            return false;
        // Grey contours report their border contact like colour contours;
        // without it every grey-traced object would count as inside.
        if (m_area.IsOnBorder(x, y))
            m_border = borderTouches;
        return true;
    }

    bool IsInner(int, int) const { return false; }
    void Locate(int, int) {}
    bool AcceptInner(int) { return false; }
    void Taken() {}
    void AtStart() {}

    void Finish()
    {
        m_tracer.m_CurrentColor = m_current;
        m_tracer.m_nBorderState = m_border;
    }

private:
    CKontur8& m_tracer;
    const kestrun::CPageAccess& m_page;
    const CAreaTest& m_area;
    const CMarkTest m_marks;
    BYTE m_current = 0;
    int m_border = borderFree;
};

// The binary step: one pixel, no area, the first byte against the object value.
class CKontur8::CBinaryStep
{
public:
    CBinaryStep(const kestrun::CPageAccess& page, BYTE value) : m_page(page), m_value(value) {}

    void Start(int, int) {}
    bool Accept(int x, int y) const { return m_page.IsInside(x, y) && m_page.GetFirstByte(x, y) == m_value; }
    bool IsInner(int, int) const { return false; }
    void Locate(int, int) {}
    bool AcceptInner(int) const { return false; }
    void Taken() {}
    void AtStart() {}
    void Finish() {}

private:
    const kestrun::CPageAccess& m_page;
    BYTE m_value;
};

void CKontur8::ResolveColourTests()
{
    m_ColourTests = sColourTests{};
    const CSegThres& threshold = BoundThreshold();
    // A threshold class with tests of its own is asked through them.
    if (typeid(threshold) != typeid(CSegThres))
        return;
    const CSegThres::sChannelRanges ranges = threshold.GetObjectRanges();
    for (size_t i = 0; i < 3; ++i) {
        const bool empty = ranges.max[i] < ranges.min[i];
        m_ColourTests.min[i] = empty ? 256U : static_cast<unsigned>(ranges.min[i]);
        m_ColourTests.span[i] = empty ? 0U : static_cast<unsigned>(ranges.max[i] - ranges.min[i]);
    }
    m_ColourTests.inverted = ranges.inverted;
    m_ColourTests.mark = threshold.m_MarkColor;
    // With a mask no colour is a mark; with the plain test a mark colour
    // is no object colour either.
    m_ColourTests.markIsColour = m_pMarkMask == nullptr;
    m_ColourTests.markAccepted = m_pMarkMask == nullptr && m_nTestSelector != testThresholdOnly;
    m_ColourTests.plain = true;
}

void CKontur8::BeginRun()
{
    ResolveColourTests();
    m_bRunTests = true;
}

void CKontur8::EndRun()
{
    m_bRunTests = false;
}

bool CKontur8::CheckCapacity()
{
    if (m_nCapacity > 0)
        return true;
    AfxMessageBox("Kontur Trace called without resize of kontur object - call ::Size first");
    m_bClosed = FALSE;
    m_nLastIndex = 0;
    m_Chain.RemoveAll();
    m_Points.RemoveAll();
    return false;
}

bool CKontur8::GrowScratch(long long stepLimit)
{
    // Room for point n + 1 and code n for every n below the step limit.
    const long long most = stepLimit + 1;
    if (m_nCapacity >= most || m_nCapacity >= INT_MAX)
        return false;
    const long long doubled = std::max(2LL * m_nCapacity, 16LL);
    const auto capacity = static_cast<int>(std::min({doubled, most, static_cast<long long>(INT_MAX)}));
    m_TracePoints.resize(static_cast<size_t>(capacity));
    m_TraceCodes.resize(static_cast<size_t>(capacity));
    m_nCapacity = capacity;
    return true;
}

template <class Step>
void CKontur8::RunTrace(int x, int y, int& direction, int maxPoints, long long pixels, Step& step)
{
    POINT* points = m_TracePoints.data();
    BYTE* codes = m_TraceCodes.data();
    // Where the scratch is full, it grows. A trace has 8 states per pixel
    // (position and direction); one that has not ended after twice as many
    // steps goes round a loop without its start.
    const long long stepLimit = 16 * std::max(pixels, 1LL);
    int room = m_nCapacity - 1; // steps that fit

    int d = direction;
    int n = 0;     // the last index
    int steps = 0; // codes written
    m_nMarkedPixels = 0;
    m_bClosed = FALSE;
    points[0] = POINT{x, y};
    CTraceBox box(x, y);
    step.Start(x, y);

    int px = x;
    int py = y;
    for (;;) {
        int next = -1;
        // Inside the area, away from its border, the neighbours need
        // neither the area test nor the border test.
        if (step.IsInner(px, py)) {
            step.Locate(px, py);
            for (const int turn : kTurns) {
                const int t = (d + turn) & 7;
                if (step.AcceptInner(t)) {
                    next = t;
                    break;
                }
            }
        } else {
            for (const int turn : kTurns) {
                const int t = (d + turn) & 7;
                if (step.Accept(px + kDx[t], py + kDy[t])) {
                    next = t;
                    break;
                }
            }
        }
        if (next < 0) {
            // Nothing around: a single pixel.
            ++n;
            m_bClosed = TRUE;
            break;
        }
        px += kDx[next];
        py += kDy[next];
        d = next;
        if (m_bClosed && (n < 2 || (px == points[1].x && py == points[1].y)))
            break;
        if (n >= room) {
            if (!GrowScratch(stepLimit)) {
                MessageBeep(0xFFFFFFFF);
                ++m_nOverflowCount;
                break;
            }
            points = m_TracePoints.data();
            codes = m_TraceCodes.data();
            room = m_nCapacity - 1;
        }
        codes[n] = static_cast<BYTE>(next);
        ++n;
        steps = n;
        box.Add(px, py);
        points[n] = POINT{px, py};
        step.Taken();
        if (px == x && py == y) {
            step.AtStart();
            if (m_bClosed)
                break;
            m_bClosed = TRUE;
        } else if (maxPoints != 0 && n == maxPoints) {
            break;
        }
    }
    step.Finish();
    direction = d;
    m_nLastIndex = n;
    StoreTrace(x, y, steps, box.Get());
}

void CKontur8::StoreTrace(int x, int y, int steps, const CBoundingRect& box)
{
    m_Points.SetSize(steps + 1);
    std::copy_n(m_TracePoints.data(), steps + 1, m_Points.GetData());
    m_Points.GetBoundingRect() = box;
    m_Chain.SetSize(steps);
    if (steps > 0)
        std::copy_n(m_TraceCodes.data(), steps, m_Chain.GetData());
    m_Chain.SetStartPoint(x, y);
}

template <class Step>
bool CKontur8::TraceInArea(int x, int y, int maxPoints)
{
    if (!CheckCapacity())
        return false;
    const kestrun::CPageAccess page(BoundImage());
    const CAreaTest area(BoundAOI(), page);
    m_TestCache.Invalidate();
    if (!m_bRunTests)
        ResolveColourTests();
    Step step(*this, page, area);
    int direction = 1;
    RunTrace(x, y, direction, maxPoints, area.GetPixelBound(), step);
    return true;
}

void CKontur8::Trace(int x, int y, BOOL paint, int maxPoints)
{
    if (!TraceInArea<CColorStep>(x, y, maxPoints) || paint != 1)
        return;
    if (m_pMarkMask)
        m_pMarkMask->Mark(m_Points);
    else
        PaintColor(BoundThreshold().m_MarkColor);
}

void CKontur8::TraceGrey(int x, int y, BOOL paint, int maxPoints)
{
    if (!TraceInArea<CGreyStep>(x, y, maxPoints) || paint != 1)
        return;
    if (m_pMarkMask)
        m_pMarkMask->Mark(m_Points);
    else
        PaintGrey(GetGValue(BoundThreshold().m_MarkColor));
}

void CKontur8::TraceBinary(int x, int y, int& direction)
{
    if (!CheckCapacity())
        return;
    const kestrun::CPageAccess page(BoundImage());
    CBinaryStep step(page, m_BinaryValue);
    RunTrace(x, y, direction, 0, static_cast<long long>(page.GetWidth()) * page.GetHeight(), step);
}
