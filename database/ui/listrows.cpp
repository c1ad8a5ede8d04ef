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

void DrawMasterDataRow(const CListCtrl& list, const DRAWITEMSTRUCT& item)
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
        oldText = dc->SetTextColor(RGB(0, 0, 0));
        CBrush brush(GetSysColor(COLOR_WINDOW));
        dc->FillRect(bounds, &brush);
    }
    constexpr UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP;
    CRect cell = bounds;
    cell.right = cell.left + list.GetColumnWidth(0);
    CRect label = cell;
    label.DeflateRect(2, 0);
    dc->DrawText(list.GetItemText(row, 0), label, format);
    for (int column = 1; column < list.GetColumnCount(); ++column) {
        cell.left = cell.right;
        cell.right = cell.left + list.GetColumnWidth(column);
        const CString text = list.GetItemText(row, column);
        if (text.IsEmpty())
            continue;
        CRect area = cell;
        area.DeflateRect(6, 0);
        dc->DrawText(text, area, format);
    }
    dc->SetTextColor(oldText);
    if (selected)
        dc->SetBkColor(oldBack);
}
