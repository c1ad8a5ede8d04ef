#include "database/ui/listrows.h"

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
