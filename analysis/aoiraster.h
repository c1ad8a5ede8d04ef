#pragma once
// CAOIRaster: a grid of rectangular cells laid over an area of interest,
// in row-major order (row 0 first, left to right), optionally surrounded by
// a frame that the outer cells reach into.

#include "analysis/aoi.h"

class CAOIRaster : public CArray<CAOI2, CAOI2&>
{
public:
    CAOIRaster() = default;
    ~CAOIRaster() override = default;

    // Lays columns x rows cells over the AOI's rectangle; the outer cells
    // reach frame pixels beyond it. Columns or rows 0 remove every cell.
    void Create(const CAOI& aoi, int columns, int rows, int frame);
    // Inner grid lines in the current pen; with a frame, the outer
    // rectangle and tick marks in a dotted orange pen.
    void Draw(CDC* pDC) const;
    // Nothing for an index past the end.
    void DrawCell(CDC* pDC, int index) const;

    // The grid rectangle grown by the frame on every side.
    CRect GetOuterRect() const;
    CRect GetGridRect() const { return CRect(m_nLeft, m_nTop, m_nRight, m_nBottom); }
    int GetColumns() const { return m_nColumns; }
    int GetRows() const { return m_nRows; }
    int GetFrame() const { return m_nFrame; }

private:
    double CellWidth() const;
    double CellHeight() const;

    int m_nColumns = 0;
    int m_nRows = 0;
    int m_nLeft = 0;
    int m_nTop = 0;
    int m_nRight = 0;
    int m_nBottom = 0;
    int m_nFrame = 0;
};
