#include "analysis/imageaxis.h"

#include "objectmodel/ludecomp.h"

#include <cmath>

IMPLEMENT_SERIAL(CImageAxis, CObject, 1)

CPoint CImageAxis::ProjectPoint(int x, int y) const
{
    const double m = m_dSlope;
    if (m == 0.0)
        return CPoint(x, m_nY);
    if (m == verticalSlope)
        return CPoint(m_nX, y);

    // The line and its perpendicular through (x, y).
    CMatrixD a(2, 2);
    a(0, 0) = -m;
    a(0, 1) = 1.0;
    a(1, 0) = 1.0 / m;
    a(1, 1) = 1.0;
    CVectorD b{m_nY - m * m_nX, y + x / m};
    CLUDecomp lu;
    lu.SetQuiet(true);
    if (lu.Solve(a, b)) {
        const auto px = kestrun::TruncateToInt(b[0]);
        const auto py = kestrun::TruncateToInt(b[1]);
        if (px && py)
            return CPoint(*px, *py);
    }
    // Slopes so extreme that the system overflows: the line is practically
    // horizontal or vertical.
    return std::fabs(m) < 1.0 ? CPoint(x, m_nY) : CPoint(m_nX, y);
}
