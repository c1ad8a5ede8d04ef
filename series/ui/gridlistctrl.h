#pragma once
// CGridListCtrl: a report list with a cell cursor. Besides the focused row
// it keeps a current column (a position in the heading's display order),
// moves it with the arrow keys, draws the current cell of the focused row
// as a sunken button-face cell, and asks its parent to edit a cell - F2, or
// a second click on the current cell - with LVN_BEGINLABELEDIT (an
// NMLVDISPINFO with the row, the column and the cell's text). The parent
// places its own editor with EditSubItem.

#include "platform/ui/listctrl.h"

class CGridListCtrl : public CListCtrl
{
    DECLARE_DYNAMIC(CGridListCtrl)

public:
    // Narrower columns are not edited.
    static constexpr int kMinEditWidth = 5;

    CGridListCtrl();
    ~CGridListCtrl() override;

    // Keeps the value, makes the list a report without label editing and
    // turns on heading drag-and-drop and full-row selection.
    BOOL SetGridStyle(WORD wStyle);
    WORD GetGridStyle() const { return m_wGridStyle; }

    // Puts the editor window (a child of the list) over the cell of the
    // row at display position nPosition, scrolling the column into view.
    // FALSE, and the editor stays where it is, when the row cannot be
    // shown, there is no such position or the column is narrower than
    // kMinEditWidth.
    BOOL EditSubItem(CWnd* pEditor, int nItem, int nPosition);

    // The focused row, -1 when none.
    int GetFocusedItem() const;
    // Scrolls horizontally until the column lies wholly inside the list.
    void EnsureColumnVisible(int nColumn);
    // The column's position in the display order, -1 when there is none.
    int GetColumnOrderPosition(int nColumn) const;
    // The column shown at a display position, -1 when there is none.
    int GetColumnAtPosition(int nPosition) const;

    // The current column as a display position; -1 when none.
    int GetCurrentColumn() const { return m_nCurrentColumn; }

    // Left and Right move the current column; F2 asks to edit the current
    // cell of the focused row. Only while the list has the focus.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The current cell as the list draws it: button face, the text inset
    // by two blanks, a sunken frame.
    void DrawCurrentCell(CDC* pDC, const CRect& cell, const CString& text);

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    // The clicked column becomes the current one; a click on the current
    // cell of the focused row asks to edit it.
    void OnLButtonDown(UINT nFlags, CPoint point) override;

private:
    // The sum of the widths of the columns shown before a position.
    int OffsetOfPosition(int nPosition) const;
    // The column under the point (client coordinates), -1 when none.
    int ColumnAt(CPoint point) const;
    // Scrolls the rows sideways by dx pixels (positive: to the right end).
    void ScrollSideways(int dx);
    void MoveCurrentColumn(int nDelta);
    // LVN_BEGINLABELEDIT to the parent.
    void RequestEdit(int nItem, int nColumn);

    int m_nCurrentColumn = -1;
    WORD m_wGridStyle = 0;
};
