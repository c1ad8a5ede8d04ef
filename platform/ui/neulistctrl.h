#pragma once
// CNeuListCtrl: a report list with check boxes whose active row carries one
// editing control per column (edit box, drop-down list, list box, check
// box or push button). The controls show the cells' texts ("+" and "-" for
// check boxes) and write them back when the active row changes. A click on
// a row makes it active and shows its controls when its check box is (or,
// for a click on the check box, becomes) ticked; scrolling hides them.

#include "platform/ui/listctrl.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class CNeuListCtrl : public CListCtrl
{
    DECLARE_DYNAMIC(CNeuListCtrl)

public:
    enum EControlKind
    {
        ControlEdit = 0,
        ControlComboBox = 1,
        ControlListBox = 2,
        ControlCheckBox = 3,
        ControlButton = 4,
    };
    // What a rule does to a row's control.
    enum ECellRule : UINT
    {
        RuleHidden = 0x1,  // stays out of sight and is not read back
        RuleDisabled = 0x2,
    };

    // Runs for a control's notification: the active row and the column.
    using CellHandler = std::function<void(int nRow, int nColumn)>;

    struct CColumnControl
    {
        int m_nKind = ControlEdit;
        int m_nColumn = 0;
        std::unique_ptr<CWnd> m_pControl;
        COLORREF m_crBackground = RGB(255, 255, 255);
        std::vector<std::pair<UINT, CellHandler>> m_handlers;
    };

    static constexpr UINT FirstControlId = 786;

    CNeuListCtrl();
    ~CNeuListCtrl() override;

    // Gives a column a control of the kind; a control the column had goes.
    // FALSE when the kind is unknown or the control cannot be made.
    BOOL AddColumnControl(int nKind, int nColumn);
    // The handler runs when the column's control reports nCode.
    void SetCellMessage(int nColumn, UINT nCode, CellHandler handler);
    void RemoveColumnControl(int nIndex);
    void RemoveAllColumnControls();
    // The index of the column's control, -1 when it has none.
    int FindColumnControl(int nColumn) const;
    int GetColumnControlCount() const { return static_cast<int>(m_columns.size()); }
    CWnd* GetColumnControl(int nIndex) const;
    void SetControlColor(int nIndex, COLORREF color);
    // The page decides which row's controls stay hidden or disabled.
    void SetCellRule(int nRow, int nIndex, UINT nRule);

    // Puts the controls over the active row's cells and shows the cells'
    // texts in them (show), or moves them out of sight.
    void LayoutControls(BOOL bShow);
    void ShowControls(BOOL bShow);
    void EnableControls(BOOL bEnable);
    // Writes the controls' texts into the active row's cells.
    // Only a row the controls were filled from is written.
    void RefreshTexts();
    // As LayoutControls for a row just filled, but check boxes write their
    // state into the cells; then shows and enables the controls.
    void InsertRowControls();

    int GetActiveRow() const { return m_nActiveRow; }
    int GetActiveColumn() const { return m_nActiveColumn; }
    void SetActiveRow(int nRow) { m_nActiveRow = nRow; }

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;

private:
    UINT RuleOf(int nIndex) const;
    // The cell's rectangle in the active row as a control covers it.
    CRect CellRect(int nColumn) const;
    void ShowTextIn(CColumnControl& column, const CString& text);
    CString TextOf(const CColumnControl& column) const;
    void PaintBackground(CColumnControl& column);

    int m_nActiveRow = -1;
    int m_nActiveColumn = 0;
    std::vector<std::unique_ptr<CColumnControl>> m_columns;
    // The row whose texts the controls hold, -1 before they were filled.
    int m_nFilledRow = -1;
    UINT m_nNextId = FirstControlId;
    struct CRule
    {
        int row;
        int index;
        UINT rule;
    };
    std::vector<CRule> m_rules;
};
