#pragma once
// CChain8: the 8-direction chain code of object outlines. Codes in image
// coordinates (y grows downwards), counter-clockwise from east:
//   3 2 1
//   4 . 0
//   5 6 7
// Even codes are axis steps, odd codes diagonal steps. A step between
// points that are not neighbours is stored as 255 and walked as code 0.

#include "objectmodel/chain.h"

#include <span>

class CDC;
class CPointTarget;

class CChain8 : public CChain
{
    DECLARE_DYNAMIC(CChain8)

public:
    CChain8() { m_nKind = 1; }
    CChain8(const CChain8& other) : CChain8() { Copy(other); }
    CChain8& operator=(const CChain8& other)
    {
        Copy(other);
        return *this;
    }
    // Moves hand the codes over; the source is left empty at (0, 0).
    CChain8(CChain8&& other) noexcept : CChain8() { Swap(other); }
    CChain8& operator=(CChain8&& other) noexcept
    {
        if (&other != this) {
            RemoveAll();
            SetStartPoint(0, 0);
            Swap(other);
        }
        return *this;
    }
    ~CChain8() override = default;

    // The chain of a closed point list: start at point 0, one code per
    // step and a last code back to point 0. A last point that repeats the
    // first one is left out. An empty list gives an empty chain.
    explicit CChain8(std::span<const POINT> closedPoints);
    // The same from a point array (polygons derive from one).
    template <class ARG_TYPE>
    explicit CChain8(const CArray<POINT, ARG_TYPE>& closedPoints)
        : CChain8(std::span<const POINT>(closedPoints.GetData(), static_cast<size_t>(closedPoints.GetSize())))
    {
    }

    // The code of the step from (x1, y1) to (x2, y2); -1 when the points
    // are not 8-neighbours (also when they are the same point).
    static int DirectionOf(int x1, int y1, int x2, int y2);
    // The point one step from (x, y); a code outside 1-7 counts as 0.
    static CPoint StepPoint(int code, int x, int y);

    // Hands the start point and every point reached to target, with value:
    // n + 1 calls for n codes.
    void ForEachPoint(CPointTarget& target, DWORD value) const;
    // MoveTo the start point, LineTo every following point.
    void Draw(CDC* dc) const;

    // Start x and y (32-bit each), then the codes as a byte array. A file
    // that ends early raises CArchiveException::endOfFile and leaves the
    // chain as it was.
    void Serialize(CArchive& ar) override;

    // Smooths the first length codes of a closed chain in up to passes + 1
    // passes (at most 100): removes reversals and one-pixel corner detours
    // whose turn is at most tolerance (0 reversal, 1 135 degrees, 2 right
    // angle; 3 a 45-degree stair step, when the same turn comes back after
    // fewer than tolerance - 2 straight steps). The outline keeps its
    // place: the start point moves when a corner at the start is cut.
    // Returns the new number of codes, which is also the chain's size
    // afterwards. length outside 0 .. size raises CInvalidArgException.
    int Smooth(int passes, int tolerance, int length);
    // Makes the chain the codes that are not removed (negative), in order;
    // codes above 7 are taken modulo 8. Returns the new number of codes.
    int Compact(std::span<const INT> codes);
};
