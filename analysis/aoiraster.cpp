#include "analysis/aoiraster.h"

#include "platform/core/dc.h"

#include <algorithm>

namespace {

constexpr int kMaxCells = 1 << 16;
constexpr COLORREF kFrameColor = 0x0064FF; // orange

} // namespace

double CAOIRaster::CellWidth() const
{
    return static_cast<double>(m_nRight - m_nLeft) / m_nColumns;
}

double CAOIRaster::CellHeight() const
{
    return static_cast<double>(m_nBottom - m_nTop) / m_nRows;
}

void CAOIRaster::Create(const CAOI& aoi, int columns, int rows, int frame)
{
    m_nColumns = columns;
    m_nRows = rows;
    m_nFrame = frame;
    if (columns <= 0 || rows <= 0 || static_cast<long long>(columns) * rows > kMaxCells) {
        m_nColumns = std::max(columns, 0);
        m_nRows = std::max(rows, 0);
        RemoveAll();
        return;
    }
    const INT_PTR count = static_cast<INT_PTR>(columns) * rows;
    if (GetSize() != count) {
        RemoveAll();
        SetSize(count);
    }

    const CRect grid = aoi.GetRect();
    m_nLeft = grid.left;
    m_nTop = grid.top;
    m_nRight = grid.right;
    m_nBottom = grid.bottom;
    const double cw = CellWidth();
    const double ch = CellHeight();

    // The outer cells reach into the frame.
    int y0 = m_nTop - frame;
    for (int r = 0; r < rows; ++r) {
        int y1 = static_cast<int>((r + 1) * ch) + m_nTop;
        if (r == rows - 1)
            y1 += frame + 1;
        int x0 = m_nLeft - frame;
        for (int c = 0; c < columns; ++c) {
            int x1 = static_cast<int>((c + 1) * cw) + m_nLeft;
            if (c == columns - 1)
                x1 += frame + 1;
            ElementAt(static_cast<INT_PTR>(r) * columns + c).SetRectFromCorners(x0, y0, x1, y1);
            x0 = x1 + 1;
        }
        y0 = y1 + 1;
    }
}

CRect CAOIRaster::GetOuterRect() const
{
    return CRect(m_nLeft - m_nFrame, m_nTop - m_nFrame, m_nRight + m_nFrame, m_nBottom + m_nFrame);
}

void CAOIRaster::Draw(CDC* pDC) const
{
    if (m_nColumns <= 0 || m_nRows <= 0)
        return;
    const double cw = CellWidth();
    const double ch = CellHeight();
    for (int i = 1; i < m_nRows; ++i) {
        const int y = static_cast<int>(i * ch) + m_nTop;
        pDC->MoveTo(m_nLeft, y);
        pDC->LineTo(m_nRight, y);
    }
    for (int i = 1; i < m_nColumns; ++i) {
        const int x = static_cast<int>(i * cw) + m_nLeft;
        pDC->MoveTo(x, m_nTop);
        pDC->LineTo(x, m_nBottom);
    }
    if (m_nFrame == 0)
        return;

    const int f = m_nFrame;
    CPen dotted(PS_DOT, 1, kFrameColor);
    const int saved = pDC->SaveDC();
    pDC->SelectObject(&dotted);
    pDC->MoveTo(m_nLeft - f, m_nTop - f);
    pDC->LineTo(m_nRight + f, m_nTop - f);
    pDC->LineTo(m_nRight + f, m_nBottom + f);
    pDC->LineTo(m_nLeft - f, m_nBottom + f);
    pDC->LineTo(m_nLeft - f, m_nTop - f);
    // Tick marks continue the inner grid lines through the frame.
    for (int i = 1; i < m_nRows; ++i) {
        const int y = static_cast<int>(i * ch) + m_nTop;
        pDC->MoveTo(m_nLeft - f, y);
        pDC->LineTo(m_nLeft, y);
        pDC->MoveTo(m_nRight, y);
        pDC->LineTo(m_nRight + f, y);
    }
    for (int i = 1; i < m_nColumns; ++i) {
        const int x = static_cast<int>(i * cw) + m_nLeft;
        pDC->MoveTo(x, m_nTop - f);
        pDC->LineTo(x, m_nTop);
        pDC->MoveTo(x, m_nBottom);
        pDC->LineTo(x, m_nBottom + f);
    }
    pDC->RestoreDC(saved);
}

void CAOIRaster::DrawCell(CDC* pDC, int index) const
{
    if (index >= 0 && index < GetSize())
        GetAt(index).Draw(pDC);
}
