#include "database/ui/listrows.h"

#include "platform/core/gdi.h"
#include "platform/ui/systemlook.h"

void SelectListRow(CListCtrl& list, int row, BOOL bClear)
{
    if (row < 0 || row >= list.GetItemCount())
        return;
    UINT state = list.GetItemState(row, LVIS_SELECTED);
    state = bClear ? (state & ~LVIS_SELECTED) : (state | LVIS_SELECTED);
    list.SetItemState(row, state, LVIS_SELECTED);
    list.RedrawItems(row, row);
}

int FirstSelectedRow(const CListCtrl& list)
{
    for (int row = 0; row < list.GetItemCount(); ++row)
        if ((list.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0)
            return row;
    return -1;
}

namespace {

struct CRowLook
{
    int firstInset;   // pixels on each side of the first column's text
    int otherInset;   // the same for the other columns
    UINT extraFormat; // added to single line, centred, no prefix
    bool drawEmpty;   // empty cells are drawn too
    int background = COLOR_WINDOW; // of a row that is not selected
};

void DrawListRow(const CListCtrl& list, const DRAWITEMSTRUCT& item, const CRowLook& look)
{
    CDC* dc = item.hDC;
    const int row = static_cast<int>(item.itemID);
    if (dc == nullptr || row < 0 || row >= list.GetItemCount())
        return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const CRect bounds(item.rcItem);
    COLORREF oldText = 0;
    COLORREF oldBack = 0;
    if (selected) {
        oldText = dc->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
        oldBack = dc->SetBkColor(GetSysColor(COLOR_HIGHLIGHT));
        CBrush brush(GetSysColor(COLOR_HIGHLIGHT));
        dc->FillRect(bounds, &brush);
    } else {
        oldText = dc->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
        CBrush brush(GetSysColor(look.background));
        dc->FillRect(bounds, &brush);
    }
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | look.extraFormat;
    CRect cell = bounds;
    cell.right = cell.left;
    for (int column = 0; column < list.GetColumnCount(); ++column) {
        cell.left = cell.right;
        cell.right = cell.left + list.GetColumnWidth(column);
        const CString text = list.GetItemText(row, column);
        if (text.IsEmpty() && !look.drawEmpty && column > 0)
            continue;
        CRect area = cell;
        area.DeflateRect(column == 0 ? look.firstInset : look.otherInset, 0);
        dc->DrawText(text, area, format);
    }
    dc->SetTextColor(oldText);
    if (selected)
        dc->SetBkColor(oldBack);
}

} // namespace

void DrawMasterDataRow(const CListCtrl& list, const DRAWITEMSTRUCT& item)
{
    DrawListRow(list, item, {2, 6, DT_NOCLIP, false});
}

void DrawResultRow(const CListCtrl& list, const DRAWITEMSTRUCT& item)
{
    DrawListRow(list, item, {2, 2, DT_END_ELLIPSIS, true});
}

void DrawTrayResultRow(const CListCtrl& list, const DRAWITEMSTRUCT& item)
{
    DrawListRow(list, item, {2, 6, DT_END_ELLIPSIS, false, COLOR_BTNFACE});
}
