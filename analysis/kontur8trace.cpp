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
        CBoundingRect box;
        box.SetRect(m_left, m_top, m_right, m_bottom);
        box.m_ptLeftmost = m_leftmost;
        box.m_ptTopmost = m_topmost;
        box.m_ptRightmost = m_rightmost;
        box.m_ptBottommost = m_bottommost;
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
// the border contact, the colour sums and the marked pixels.
class CKontur8::CColorStep
{
public:
    CColorStep(CKontur8& tracer, const kestrun::CPageAccess& page, const CAreaTest& area)
        : m_tracer(tracer), m_page(page), m_area(area), m_threshold(tracer.BoundThreshold()), m_marks(tracer)
    {
    }

    void Start(int x, int y)
    {
        m_current = m_page.IsInside(x, y) ? m_page.GetColor(x, y) : 0;
        m_red = GetRValue(m_current);
        m_green = GetGValue(m_current);
        m_blue = GetBValue(m_current);
        m_count = 1;
        m_bMeanSet = false;
        // The start pixel is tested here as well: a contour that never
        // returns to it (a single pixel) would miss its border contact.
        m_border = m_area.Contains(x, y) && m_area.IsOnBorder(x, y) ? borderTouches : borderFree;
    }

    bool Accept(int x, int y)
    {
        if (!m_area.Contains(x, y))
            return false;
        if (m_page.IsPaletted()) {
            const BYTE index = m_page.GetFirstByte(x, y);
            m_current = m_page.GetPaletteColor(index);
            m_bits = m_tracer.m_TestCache.LookupByte(index, [this](BYTE) { return Bits(m_current); });
        } else {
            m_current = m_page.GetColor(x, y);
            m_bits = m_tracer.m_TestCache.Lookup(m_current, [this](DWORD c) { return Bits(c); });
        }
        if (const BYTE marked = m_marks.MarkBits(x, y))
            m_bits = marked;
        if (!(m_bits & kAccepted))
            return false;
        if (m_area.IsOnBorder(x, y))
            m_border = borderTouches;
        return true;
    }

    void Taken()
    {
        if (m_bits & kMark) {
            ++m_tracer.m_nMarkedPixels;
            return;
        }
        m_red += GetRValue(m_current);
        m_green += GetGValue(m_current);
        m_blue += GetBValue(m_current);
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
        m_tracer.m_CurrentColor = m_current;
        m_tracer.m_nBorderState = m_border;
    }

private:
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
    COLORREF m_current = 0;
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
    void Taken() {}
    void AtStart() {}
    void Finish() {}

private:
    const kestrun::CPageAccess& m_page;
    BYTE m_value;
};

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
        for (const int turn : kTurns) {
            const int t = (d + turn) & 7;
            if (step.Accept(px + kDx[t], py + kDy[t])) {
                next = t;
                break;
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

int CKontur8::TraceRegion(POINT, POINT, int, int)
{
    // Both ends are first moved onto the object's border by the border
    // search along scan rays, which comes with the scan-ray measurement.
    // Until that exists this trace cannot run; it must not pretend to fail.
    AfxThrowNotSupportedException();
}
