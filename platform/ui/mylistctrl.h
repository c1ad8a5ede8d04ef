#pragma once
// CMyListCtrl: the owner-drawn virtual list of the result tables. It keeps
// its own rows of up to 25 text cells of at most 31 bytes, paints them
// itself (selected rows highlighted, odd rows shaded, one column showing
// each row's colour), sorts them by a click on a column heading and tells
// its parent about a newly selected row with the registered message
// "GridClicked" (wParam: the number in the row's first cell minus 1,
// lParam: the parent window).
//
// Sorting compares the cells of one column with one key: a cell that
// starts with a digit counts as its decimal number and comes before every
// other cell; numbers compare by value, other cells byte by byte. The sort
// column and direction are shared by all lists of the program.

#include "platform/ui/listctrl.h"

#include <array>
#include <memory>
#include <vector>

class CMyListCtrl : public CListCtrl
{
    DECLARE_DYNAMIC(CMyListCtrl)

public:
    static constexpr int MaxColumns = 25;
    static constexpr int CellSize = 32;

    CMyListCtrl();
    ~CMyListCtrl() override;

    // ---- rows --------------------------------------------------------------
    // Frees all rows; no row is selected afterwards.
    void ResetRows();
    // Appends empty rows until there are n. When memory runs out a message
    // box says so and the rows stay as they were.
    void GrowRows(int n);
    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    // Cells of rows or columns that do not exist are ignored (read as "").
    // Texts are cut to 31 bytes.
    void SetCellText(int nRow, int nColumn, LPCTSTR lpszText);
    CString GetCellText(int nRow, int nColumn) const;
    // The row's colour (an RGB value, 0 for none).
    void SetRowData(int nRow, DWORD dwData);
    DWORD GetRowData(int nRow) const;

    // ---- the cell cursor the table view writes at ----------------------------
    void SetCursor(int nRow, int nColumn);
    int GetCursorRow() const { return m_nCursorRow; }
    int GetCursorColumn() const { return m_nCursorColumn; }
    void SetCursorText(LPCTSTR lpszText) { SetCellText(m_nCursorRow, m_nCursorColumn, lpszText); }
    // "NULL" when the cursor is outside the rows or past the last column.
    CString GetCursorText() const;

    // ---- columns ---------------------------------------------------------------
    // The number of columns the rows draw, at most 25.
    void SetColumnCount(int n);
    int GetDrawnColumnCount() const { return m_nColumnCount; }
    void DeleteAllColumns();
    // The column whose cells show their row's colour (-1: none).
    void SetColorColumn(int nColumn) { m_nColorColumn = nColumn; }
    int GetColorColumn() const { return m_nColorColumn; }
    // Keeps the last row (a totals row) in place when sorting.
    void SetFixedLastRow(BOOL bFixed) { m_bFixedLastRow = bFixed; }

    // ---- selection and sorting ---------------------------------------------------
    // Selects row i alone and makes it the current row, where the keys go
    // on from; FALSE when there is no such row.
    BOOL SelectItem(int i);
    int GetSelectedRow() const { return m_nSelectedRow; }
    // What a click on a column heading does: the same column again reverses
    // the order, another column sorts ascending. The selection stays with
    // its row wherever the row goes, without a new notice, and the heading
    // shows the direction until the rows are filled again.
    void SortByColumn(int nColumn);
    static int GetSortColumn();
    static BOOL IsSortAscending();
    // The next click sorts any column ascending.
    static void ResetSortState();

    // Paints one row; itemID is the row, rcItem its rectangle.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

    CString GetOwnerDataText(int nItem, int nSubItem) override;
    int GetCellMargins(int nCol) const override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    bool WantsPaint() const override { return true; }
    void OnPaint() override;

private:
    struct CRow
    {
        DWORD data = 0;
        std::array<std::array<char, CellSize>, MaxColumns> cells{};
    };

    bool ValidCell(int nRow, int nColumn) const;
    void ShowSortIndicator(int nColumn, BOOL bAscending);
    // Draws the visible rows onto the context, the list's background first.
    void PaintRows(CDC& dc);
    void RowSelected(int nRow);

    // Owns the rows; sorting reorders the pointers.
    std::vector<std::unique_ptr<CRow>> m_rows;
    int m_nColumnCount = 0;
    int m_nColorColumn = -1;
    int m_nSelectedRow = -1;
    // Set while a sort moves the selection along with its row.
    bool m_bMovingSelection = false;
    BOOL m_bFixedLastRow = FALSE;
    int m_nCursorRow = 0;
    int m_nCursorColumn = 0;
};
