#pragma once
// CRubberPolygon: a polygon drawn point by point in a view. A rubber line
// follows the mouse from the last point, and new points are shown as
// inverted pixels; both draw by inverting the screen so that drawing twice
// erases. It reports CRPolygon's run-time class.

#include "objectmodel/rpolygon.h"

class CRubberPolygon : public CRPolygon
{
public:
    CRubberPolygon() = default;

    // Erases the previous rubber line (unless this is the first move) and
    // draws one from the last point to (x, y). Only with a point and while
    // active.
    void DrawRubberLine(CDC* pDC, int x, int y);
    // Inverts the pixels of the points added since the last call.
    void DrawNewPoints(CDC* pDC);

    void SetActive(BOOL active) { m_bActive = active; }
    BOOL IsActive() const { return m_bActive; }
    // The next DrawRubberLine has no previous line to erase.
    void SetFirstMove() { m_bFirstMove = TRUE; }
    int GetLastDrawnIndex() const { return m_nLastDrawn; }
    CPoint GetRubberEnd() const { return m_ptRubberEnd; }

private:
    int m_nLastDrawn = 0;
    BOOL m_bActive = FALSE;
    BOOL m_bFirstMove = FALSE;
    CPoint m_ptRubberEnd;
};
