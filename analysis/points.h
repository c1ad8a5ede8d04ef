#pragma once
// CPoints: the mouse points of a figure being drawn over an image (line,
// rectangle, parallelogram, polygon, ellipse, ring) and its rubber band.
// The rubber band inverts the screen, so drawing a figure a second time
// erases it: each feedback erases the figure it drew last, then draws the
// one up to the current mouse point.

#include "platform/core/arrays.h"
#include "platform/core/geometry.h"

class CDC;

class CPoints : public CArray<POINT, POINT>
{
public:
    enum Mode
    {
        modePoint = 1,
        modeLine = 2,
        modeRectangle = 3,
        modeParallelogram = 4,
        modePolygon = 5,
        modeEllipse = 6,
        modeRing = 7,
    };

    // Raster operation of the rubber band: the black pen merged with the
    // inverted screen, which inverts the pixels.
    static constexpr int kRubberBandRop = 14;
    static constexpr int kRingWidth = 4;

    CPoints() = default;

    // Empties the points; the next feedback draws without erasing.
    void Start(int nMode);
    // Appends the point and makes it the current one.
    void AddPoint(int x, int y);
    // The latest mouse position.
    void SetCurrentPoint(int x, int y) { m_ptCurrent = CPoint(x, y); }
    CPoint GetCurrentPoint() const { return m_ptCurrent; }
    CPoint GetPreviousPoint() const { return m_ptPrevious; }

    bool IsComplete() const;
    // Erases the figure drawn last (unless this is the first draw) and
    // draws it up to the current point. Without keep, the line figure's
    // next draw does not erase. 0 with no points, else the point count.
    int DrawFeedback(CDC* pDC, bool bKeep);
    // The line from point 0 to point 1; the point count.
    int DrawLine(CDC* pDC) const;

    int GetMode() const { return m_nMode; }
    void SetClosed(bool bClosed) { m_bClosed = bClosed ? 1 : 0; }
    bool IsClosed() const { return m_bClosed != 0; }

private:
    CPoint PointAt(INT_PTR index) const { return CPoint(GetAt(index).x, GetAt(index).y); }
    CPoint LastPoint() const { return PointAt(GetSize() - 1); }
    // Draws (or, drawn again, erases) the figure that ends at end.
    void DrawLineTo(CDC* pDC, CPoint end) const;
    void DrawRectangleTo(CDC* pDC, CPoint end) const;
    void DrawParallelogramTo(CDC* pDC, CPoint end) const;
    void DrawEllipseTo(CDC* pDC, CPoint end) const;
    void DrawRingTo(CDC* pDC, CPoint end) const;
    // Erase the previous figure unless the flag says this is the first
    // draw (the flag is cleared), then draw the current one.
    template <class Draw> void Redraw(int& bFirst, Draw draw);

    CPoint m_ptCurrent;
    CPoint m_ptPrevious;
    int m_bFirstLine = 1;
    int m_bFirst = 1;
    int m_nMode = modeLine;
    int m_bClosed = 0;
};
