#pragma once
// The rows of the master-data lists: selecting one by its state bit, as
// the dialogs' SelectRow and GetSelectedRow do, and painting one, as their
// OnDrawItem does for the owner-drawn lists.
#include "platform/ui/listctrl.h"
#include "platform/ui/systemlook.h"
#include "platform/ui/windefs.h"
#include "platform/ui/windowdc.h"

#include <functional>

// Sets (or, with bClear, clears) the row's selected bit and redraws it.
void SelectListRow(CListCtrl& list, int row, BOOL bClear = FALSE);
// The first row whose selected bit is set, or -1.
int FirstSelectedRow(const CListCtrl& list);

// Paints one row of the list: highlight colours for a selected row, the
// first column's text inset by 2 pixels, the others by 6, empty cells
// skipped; the device context's colours are restored afterwards.
void DrawMasterDataRow(const CListCtrl& list, const DRAWITEMSTRUCT& item);
// Paints one row of a form's result list: highlight colours for a selected
// row, every column's text inset by 2 pixels and cut with an ellipsis when
// it is too long.
void DrawResultRow(const CListCtrl& list, const DRAWITEMSTRUCT& item);
// The tray-scan form's result rows: as the master-data rows, on the button
// face, and cut with an ellipsis.
void DrawTrayResultRow(const CListCtrl& list, const DRAWITEMSTRUCT& item);

// A list of the owner-draw-fixed style: its parent paints each visible row
// through the painter it hands over; without one the list paints itself.
template <class TList>
class COwnerDrawnRows : public TList
{
public:
    ~COwnerDrawnRows() override { this->DestroyHandleNow(); }

    void SetRowPainter(std::function<void(LPDRAWITEMSTRUCT)> painter) { m_painter = std::move(painter); }

protected:
    bool WantsPaint() const override { return static_cast<bool>(m_painter); }
    void OnPaint() override
    {
        CPaintDC dc(this);
        CRect client;
        this->GetClientRect(&client);
        dc.FillSolidRect(client, GetSysColor(COLOR_WINDOW));
        for (int row = this->GetTopIndex(); row >= 0 && row < this->GetItemCount(); ++row) {
            CRect bounds;
            if (!this->GetItemRect(row, &bounds, 0) || bounds.top >= client.bottom)
                break;
            DRAWITEMSTRUCT item{};
            item.CtlType = 102; // a list view
            item.CtlID = static_cast<UINT>(this->GetDlgCtrlID());
            item.itemID = static_cast<UINT>(row);
            item.itemAction = ODA_DRAWENTIRE;
            item.itemState = (this->GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) ? ODS_SELECTED : 0;
            item.hwndItem = this->m_hWnd;
            item.hDC = &dc;
            item.rcItem = bounds;
            m_painter(&item);
        }
    }

private:
    std::function<void(LPDRAWITEMSTRUCT)> m_painter;
};
