#pragma once
// CGridEdit: a masked edit field that edits one cell of a grid control.
// The grid is a window hosting a control that it reaches through three
// automation properties: the current cell's text, the current row and the
// edit state. The field writes its text into the cell when it loses the
// focus and then tells the grid window's parent with the registered
// message "GridDataChanged" (wParam 0, lParam 0). Tab and Enter end the
// edit, Escape puts the cell's text back; Up and Down move to the row
// above or below.

#include "platform/automation/dispatch.h"
#include "platform/ui/maskedit.h"

namespace kestrun {
class CDispatchable;
}

class CGridEdit : public CMaskEdit
{
    DECLARE_DYNAMIC(CGridEdit)

public:
    // The grid control's properties.
    static constexpr DISPID kCellTextProperty = 1; // string
    static constexpr DISPID kRowProperty = 12;     // short
    static constexpr DISPID kEditStateProperty = 25; // boolean

    CGridEdit();
    ~CGridEdit() override;

    // The grid window and the control it hosts; neither is owned. Nulls
    // detach the field: it then edits nothing and tells nobody.
    void AttachGrid(CWnd* pGridWnd, kestrun::CDispatchable* pGrid);
    CWnd* GetGridWindow() const { return m_pGridWnd; }

    // Writes the field's text into the grid's current cell and hides the
    // field.
    void CommitText();
    // An empty text, or one that fits the mask. Otherwise a beep, the field
    // keeps the focus, and FALSE.
    BOOL Validate();

    // Tab, Enter and Escape end the edit and are consumed.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    // Up and Down, once the field has handled them.
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    // Commits a text that fits and announces it.
    void OnKillFocus(CWnd* pNewWnd) override;

private:
    bool TextFits() const;
    // The focus goes back to the grid, whose edit state ends.
    void ReturnToGrid();
    void MoveRow(int nDelta);
    COleVariant GetGridProperty(DISPID dispid);
    void SetGridProperty(DISPID dispid, const COleVariant& value);

    CWnd* m_pGridWnd = nullptr;
    kestrun::CDispatchable* m_pGrid = nullptr;
};
