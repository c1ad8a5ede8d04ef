#pragma once
// The list control in report view: rows of text cells under column
// headings, with selection, focus, check boxes (LVS_EX_CHECKBOXES) and a
// DWORD_PTR per row. With LVS_OWNERDATA the control holds only the row
// count and asks for each cell's text when it shows it (GetOwnerDataText,
// which by default asks the parent with LVN_GETDISPINFO).
//
// Notifications to the parent: NM_CLICK and NM_DBLCLK (NMITEMACTIVATE),
// LVN_ITEMCHANGED for every change of a row's selection or focus state
// (NMLISTVIEW), LVN_COLUMNCLICK.

#include "platform/core/gdi.h"
#include "platform/ui/wnd.h"

#include <memory>

class CListCtrl;
class QImage;

inline constexpr UINT LVN_GETDISPINFO = static_cast<UINT>(-150);
inline constexpr int LVSCW_AUTOSIZE = -1;
inline constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;

struct NMLVDISPINFO
{
    NMHDR hdr;
    int iItem;
    int iSubItem;
    // The handler copies at most cchTextMax - 1 bytes and a NUL here.
    LPTSTR pszText;
    int cchTextMax;
};

// The heading row of a list control.
class CHeaderCtrl
{
public:
    explicit CHeaderCtrl(CListCtrl& list) : m_list(list) {}
    int GetItemCount() const;

private:
    CListCtrl& m_list;
};

namespace kestrun {
class CListCtrlModel;
}

class CListCtrl : public CWnd
{
    DECLARE_DYNAMIC(CListCtrl)

public:
    CListCtrl();
    ~CListCtrl() override;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // Columns
    int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    BOOL DeleteColumn(int nCol);
    int GetColumnWidth(int nCol) const;
    BOOL SetColumnWidth(int nCol, int cx);
    CHeaderCtrl* GetHeaderCtrl() { return &m_header; }
    int GetColumnCount() const;
    // A column of numbers gets the width of its heading or of its widest
    // cell among the first nRows rows and the last row (a totals row),
    // whichever is wider, so that no number is cut. Text columns keep their
    // width; a cut text shows whole in the tool tip. FALSE: not numbers.
    static constexpr int kFitRows = 100;
    BOOL FitNumericColumn(int nCol, int nRows = kFitRows);
    // The width a cell needs for the text, with the room beside it.
    int GetCellWidthFor(int nCol, const CString& text) const;

    // Rows
    int GetItemCount() const;
    // Inserts at nItem (clamped to the count); answers the row index.
    int InsertItem(int nItem, LPCTSTR lpszItem);
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
    CString GetItemText(int nItem, int nSubItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    DWORD_PTR GetItemData(int nItem) const;
    // Owner-data lists: the number of rows.
    void SetItemCount(int nItems);
    // Redraws rows of an owner-data list whose texts changed.
    BOOL RedrawItems(int nFirst, int nLast);

    // State: LVIS_SELECTED and LVIS_FOCUSED.
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    UINT GetItemState(int nItem, UINT nMask) const;
    // The next row after nItem (-1: from the start) with the LVNI_* state.
    int GetNextItem(int nItem, int nFlags) const;
    UINT GetSelectedCount() const;
    POSITION GetFirstSelectedItemPosition() const;
    int GetNextSelectedItem(POSITION& pos) const;
    BOOL EnsureVisible(int nItem, BOOL bPartialOK);
    int GetTopIndex() const;
    int GetCountPerPage() const;

    BOOL GetCheck(int nItem) const;
    BOOL SetCheck(int nItem, BOOL fCheck = TRUE);

    DWORD GetExtendedStyle() const { return m_dwExtendedStyle; }
    DWORD SetExtendedStyle(DWORD dwNewStyle);

    // The rectangle of a row (client coordinates); FALSE outside the rows.
    BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
    BOOL GetSubItemRect(int nItem, int nSubItem, int nArea, CRect& ref) const;
    // The row under a client point, -1 when none.
    int HitTest(CPoint pt, UINT* pFlags = nullptr) const;

    // A cell of an owner-data list.
    virtual CString GetOwnerDataText(int nItem, int nSubItem);
    // The background of a row; CLR_INVALID leaves the default. Lists that
    // colour rows override it.
    virtual COLORREF GetRowColor(int nItem);
    // The room a cell leaves beside its text, both sides together.
    virtual int GetCellMargins(int nCol) const;
    // A picture before the first cell of a row (thumbnails); null for none.
    virtual const QImage* GetItemPicture(int nItem) const;
    // The size pictures are shown in.
    void SetPictureSize(CSize size);

    // The rows' area, where the mouse coordinates count from.
    QWidget* GetClientWidget() const override;

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    void TakeOverFrom(CWnd& other) override;
    // The view paints its rows; its row area is a plain widget that would
    // otherwise be taken for a window that paints in OnPaint.
    bool WantsPaint() const override { return false; }

private:
    friend class kestrun::CListCtrlModel;
    void SelectionChanged(int row, UINT oldState, UINT newState);
    void SendItemNotify(UINT code, int item, int subItem);

    std::unique_ptr<kestrun::CListCtrlModel> m_model;
    CHeaderCtrl m_header{*this};
    DWORD m_dwExtendedStyle = 0;
};
