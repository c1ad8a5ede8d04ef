// Painting and marking the contour in the page, and taking marks back.

#include "analysis/kontur8.h"

#include "analysis/pageaccess.h"
#include "analysis/segthres.h"

namespace {

// Appends an undo entry, growing the list by a block when it is full.
void AppendUndo(CUndoPixelArray& undo, int& count, const sUndoPixel& entry)
{
    if (count < 0 || count > undo.GetSize())
        AfxThrowInvalidArgException();
    if (count == undo.GetSize())
        undo.SetSize(undo.GetSize() + CKontur8::undoGrowth);
    undo.GetData()[count++] = entry;
}

} // namespace

void CKontur8::PaintColor(COLORREF color)
{
    kestrun::CPageAccess page(BoundImage());
    for (const POINT& point : m_Points) {
        if (page.IsInside(point.x, point.y))
            page.SetColor(point.x, point.y, color);
    }
}

void CKontur8::PaintGrey(BYTE grey)
{
    const kestrun::CPageAccess page(BoundImage());
    for (const POINT& point : m_Points) {
        if (page.IsInside(point.x, point.y))
            page.SetFirstByte(point.x, point.y, grey);
    }
}

void CKontur8::MarkColorWithUndo(COLORREF color, CUndoPixelArray& undo, int& count)
{
    kestrun::CPageAccess page(BoundImage());
    for (const POINT& point : m_Points) {
        if (!page.IsInside(point.x, point.y))
            continue;
        const COLORREF old = page.GetColor(point.x, point.y);
        if (old == color)
            continue;
        AppendUndo(undo, count, sUndoPixel{old, point.x, point.y});
        page.SetColor(point.x, point.y, color);
    }
}

void CKontur8::MarkGreyWithUndo(BYTE grey, CUndoPixelArray& undo, int& count)
{
    const kestrun::CPageAccess page(BoundImage());
    for (const POINT& point : m_Points) {
        if (!page.IsInside(point.x, point.y))
            continue;
        const COLORREF old = page.GetColor(point.x, point.y);
        if (GetGValue(old) == grey)
            continue;
        AppendUndo(undo, count, sUndoPixel{old, point.x, point.y});
        page.SetFirstByte(point.x, point.y, grey);
    }
}

void CKontur8::UndoMarks(CDIB& image, const CUndoPixelArray& undo, int count)
{
    if (count < 0 || count > undo.GetSize())
        AfxThrowInvalidArgException();
    kestrun::CPageAccess page(image);
    // Last entry first: a pixel marked twice gets its first old colour back.
    for (int i = count - 1; i >= 0; --i) {
        const sUndoPixel& entry = undo.GetData()[i];
        if (page.IsInside(entry.x, entry.y))
            page.SetColor(entry.x, entry.y, entry.color);
    }
}

void CKontur8::MarkCross(int x, int y)
{
    kestrun::CPageAccess page(BoundImage());
    if (x < 1 || x >= page.GetWidth() - 1 || y < 1 || y >= page.GetHeight() - 1)
        return;
    const COLORREF mark = BoundThreshold().m_MarkColor;
    page.SetColor(x, y, mark);
    page.SetColor(x - 1, y, mark);
    page.SetColor(x + 1, y, mark);
    page.SetColor(x, y - 1, mark);
    page.SetColor(x, y + 1, mark);
}
