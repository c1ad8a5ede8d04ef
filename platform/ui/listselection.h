#pragma once
// The first selected row of a report list, -1 when none is selected.

#include "platform/ui/listctrl.h"

inline int GetFirstSelectedItem(const CListCtrl& list)
{
    const int count = list.GetItemCount();
    for (int i = 0; i < count; ++i)
        if ((list.GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED) != 0)
            return i;
    return -1;
}
