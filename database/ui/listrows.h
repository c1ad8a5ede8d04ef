#pragma once
// Selecting a row of a master-data list by its state bit, as the dialogs'
// SelectRow and GetSelectedRow do.
#include "platform/ui/listctrl.h"

// Sets (or, with bClear, clears) the row's selected bit and redraws it.
void SelectListRow(CListCtrl& list, int row, BOOL bClear = FALSE);
// The first row whose selected bit is set, or -1.
int FirstSelectedRow(const CListCtrl& list);
