#pragma once
// CKontur8: the 8-neighbour contour tracer. From a start pixel it walks
// around an object clockwise on screen, trying the turns +2, +1, 0, -1, -2,
// -3, -4 from its last direction, and records the contour points, the chain
// code, the bounding rectangle, the mean colour and whether the object
// touches the border of the area of interest. The measures (perimeter, area,
// centroid) come from the chain code. Traced pixels are marked so that the
// object search does not find the object again: in the bound mark mask, or
// without one in the page; marks made with an undo list can be taken back.
//
// The point store and the chain are sized once (Size) so that tracing
// allocates nothing per object; an outline longer than the store doubles
// it, so no object is cut for its size. After a trace the points hold
// point 0 (the start) to point n, and the chain the n codes between them
// (n = the last index); a closed contour ends on its start point again. A
// single pixel gives one point, no code and last index 1.

#include "analysis/kontur.h"
#include "analysis/thresholdtestcache.h"
#include "objectmodel/chain8.h"
#include "platform/core/arrays.h"

#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

// One pixel changed by a marking: its colour before and its position.
struct sUndoPixel
{
    COLORREF color;
    int x;
    int y;
};
using CUndoPixelArray = CArray<sUndoPixel, const sUndoPixel&>;

class CKontur8 : public CKontur
{
    DECLARE_DYNAMIC(CKontur8)

public:
    // Undo lists grow by this many entries whenever they are full.
    static constexpr int undoGrowth = 30000;

    CKontur8();
    // The points, and the chain built from them (SetFromPoints).
    explicit CKontur8(const CRPointArray& points);
    // The points and the given chain; closed, last index the chain length.
    CKontur8(const CRPointArray& points, const CChain8& chain);
    CKontur8(const CKontur8& other) = default;
    CKontur8& operator=(const CKontur8& other) = default;
    ~CKontur8() override = default;

    CChain8& GetChain() override { return m_Chain; }
    const CChain8& GetChain() const override { return m_Chain; }
    // The capacity of the point store and of the chain for tracing, which a
    // longer trace doubles; the arrays grow by growBy entries when points
    // are appended beyond it (0: the arrays' own growth). A negative
    // capacity is an invalid argument.
    void Size(int capacity, int growBy = 0) override;
    int GetCapacity() const { return m_nCapacity; }

    // Point i and chain code i, checked (CInvalidArgException outside).
    POINT GetPoint(int index) const { return m_Points.GetAt(index); }
    BYTE GetCode(int index) const { return m_Chain.GetAt(index); }

    // Traces the colour contour from (x, y) in the bound page, area and
    // threshold. With paint 1 the contour is marked afterwards: in the
    // mark mask when one is bound, else painted in the mark colour.
    // maxPoints 0: no limit. Without capacity (Size) the trace shows a
    // message and leaves no contour.
    void Trace(int x, int y, BOOL paint, int maxPoints) override;
    // The same on the first byte of each pixel with the grey tests; without
    // a mask it paints the green byte of the mark colour.
    void TraceGrey(int x, int y, BOOL paint, int maxPoints) override;
    // The same on a binary page: object pixels are those whose first byte
    // equals m_BinaryValue; pixels outside the page are background. No area,
    // colour or border work. direction is the start direction and receives
    // the last one.
    void TraceBinary(int x, int y, int& direction);
    // The contour between two border points of an object of the bound
    // page: both ends moved onto the border at their grey levels, then
    // walked towards each other (P clockwise, Q against). 1 when the walks
    // met or came within 5 pixels (the points then hold P to Q), else 0.
    int TraceRegion(POINT p, POINT q, int grey1, int grey2);

    // The traces until EndRun test colours through the bound threshold's
    // ranges resolved here, once; neither the threshold nor the mark
    // binding may change in between. Without a run each trace resolves
    // them.
    void BeginRun();
    void EndRun();
    // Hands the points and the chain of the contour over by exchanging them
    // with the given arrays (empty ones leave the tracer without a contour).
    void TakeOutline(CRPointArray& points, CChain8& chain)
    {
        points.Swap(m_Points);
        chain.Swap(m_Chain);
    }

    // Perimeter, area and centroid from the chain code of a closed contour;
    // a contour of fewer than 2 steps or of area 0 becomes invalid (not
    // closed).
    void CalcChainMeasures() override;
    // 1 when the border state says so, 0 when it says not; unknown: whether
    // any point lies on the border of the area.
    BOOL TouchesBorder(const CAOI& aoi) const;
    // Smooths the chain of a closed contour (CChain8::Smooth) and rebuilds
    // the points from it, when grade >= 1, turns >= 0 and the contour has at
    // least 6 and at least 8 x turns - 15 steps.
    void Smooth(int grade, int turns);

    // The chain from the points, the points copied; closed, last index the
    // chain length. The border state becomes unknown.
    void SetFromPoints(const CRPointArray& points) override;
    // Appends the pixels of the straight line after (x1, y1), which should
    // be the last point (on an empty contour it becomes point 0), each with
    // the code of the step from its predecessor; closed.
    void AppendLine(int x1, int y1, int x2, int y2) override;
    // chain[n] = direction, point[n] = (x, y), n + 1.
    virtual void AppendStep(int direction, int x, int y);
    // Empties chain and points, the bounding rectangle, the counts, the
    // measures and the closed flag; freeStorage also releases the storage
    // and the capacity.
    virtual void Reset(BOOL freeStorage = FALSE);
    virtual void SetStartPoint(int x, int y);

    // Marking. Every contour point inside the page is changed; the undo
    // variants record (old colour, x, y) of every pixel they change in undo
    // (count entries used; the array grows by undoGrowth entries).
    virtual void MarkGreyWithUndo(BYTE grey, CUndoPixelArray& undo, int& count);
    virtual void MarkColorWithUndo(COLORREF color, CUndoPixelArray& undo, int& count);
    virtual void PaintGrey(BYTE grey);
    virtual void PaintColor(COLORREF color);
    // The pixel and its four direct neighbours in the mark colour, when the
    // pixel is at least one pixel away from the page's edges.
    void MarkCross(int x, int y) override;
    // Restores the pixels of an undo list, last entry first.
    static void UndoMarks(CDIB& image, const CUndoPixelArray& undo, int count);

    BYTE m_BinaryValue = 255;
    WORD m_wReserved = 0;

private:
    // A plain threshold's colour tests as the trace asks them: answer bit
    // 1 accepted, bit 2 a mark colour.
    struct sColourTests
    {
        bool plain = false; // the threshold class has no tests of its own
        // Channel v passes when v - min <= span (unsigned); an empty range
        // has min 256.
        unsigned min[3] = {};
        unsigned span[3] = {};
        bool inverted = false;
        COLORREF mark = 0;
        bool markIsColour = false; // no mark mask: the mark colour marks
        bool markAccepted = false; // and the trace walks over it

        BYTE Bits(unsigned red, unsigned green, unsigned blue) const
        {
            const bool inside =
                ((red - min[0] <= span[0]) & (green - min[1] <= span[1]) & (blue - min[2] <= span[2])) != inverted;
            if (!markIsColour)
                return inside ? 1 : 0;
            const bool isMark = RGB(red, green, blue) == mark;
            return static_cast<BYTE>(((inside || (isMark && markAccepted)) ? 1 : 0) | (isMark ? 2 : 0));
        }
    };

    class CColorStep;
    class CGreyStep;
    class CBinaryStep;
    // pixels: how many pixels the trace may enter, which bounds its length.
    template <class Step>
    void RunTrace(int x, int y, int& direction, int maxPoints, long long pixels, Step& step);
    // Doubles the scratch, up to room for stepLimit steps; false when it
    // holds that many already.
    bool GrowScratch(long long stepLimit);
    // A colour or grey trace inside the bound area; false without capacity.
    template <class Step>
    bool TraceInArea(int x, int y, int maxPoints);
    // Shows the message of a trace without Size and leaves no contour;
    // true when there is capacity.
    bool CheckCapacity();
    void ResolveColourTests();
    // Copies steps codes and steps + 1 points of the scratch into the
    // chain and the point store.
    void StoreTrace(int x, int y, int steps, const CBoundingRect& box);

    CChain8 m_Chain;
    int m_nCapacity = 0;
    // Leaves the elements a scratch grows by unwritten: a trace writes
    // before it reads, and the pages of a large scratch that no trace
    // reaches stay untouched.
    template <class T>
    struct sUnwrittenAllocator : std::allocator<T>
    {
        using value_type = T;
        sUnwrittenAllocator() = default;
        template <class U>
        sUnwrittenAllocator(const sUnwrittenAllocator<U>&) noexcept
        {
        }
        template <class U>
        void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>)
        {
            ::new (static_cast<void*>(p)) U;
        }
        template <class U, class... Args>
        void construct(U* p, Args&&... args)
        {
            ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
        }
    };

    // Scratch of the trace: the points and codes are written here and then
    // copied into m_Points and m_Chain.
    std::vector<POINT, sUnwrittenAllocator<POINT>> m_TracePoints;
    std::vector<BYTE, sUnwrittenAllocator<BYTE>> m_TraceCodes;
    kestrun::CThresholdTestCache m_TestCache;
    sColourTests m_ColourTests;
    bool m_bRunTests = false;
};

// Rebinds a tracer to a page, area and thresholds for a while and binds
// it back afterwards.
class CTracerBinding
{
public:
    CTracerBinding(CKontur8& tracer, CDIB* image, CAOI* aoi, CSegThres* threshold)
        : m_tracer(tracer), m_pImage(tracer.GetImage()), m_pAOI(tracer.GetAOI()), m_pThreshold(tracer.GetThreshold())
    {
        m_tracer.SetImage(image, aoi, threshold);
    }
    CTracerBinding(const CTracerBinding&) = delete;
    CTracerBinding& operator=(const CTracerBinding&) = delete;
    ~CTracerBinding() { m_tracer.SetImage(m_pImage, m_pAOI, m_pThreshold); }

private:
    CKontur8& m_tracer;
    CDIB* m_pImage;
    CAOI* m_pAOI;
    CSegThres* m_pThreshold;
};
