#pragma once
// CGridView2: the table view of the table documents (CGridDoc2,
// CObjDataDoc). An owner-drawn list shows one row per shown record (or, in
// single-track mode, one row per frame of the current track or value of
// the current series); object, contour-segment and track tables end with a
// summary row ("Sum" or "Mean").
//
// The first cell of every row holds its 1-based number among the shown
// records. It is how a row finds its record, also after the list was
// sorted: row number n is the n-th record whose selection flag is 0. The
// view therefore always shows the first column ("Index").
//
// The table and the image views keep one selection through registered
// messages: "HIT_OBJECT" (an image view picked record wParam) selects its
// row; a row the user selects goes out as "GridSelected" (wParam its
// number - 1, lParam the document) to every window below the main window,
// and -1 when the view closes. A double click on a "Class" or "Nuclei new"
// cell of an object's row edits it in place; the edit reaches the view as
// "GridDataChanged" and the record as its class or nuclei count, announced
// as "DataChanged".

#include "platform/ui/mylistctrl.h"
#include "platform/ui/view.h"
#include "series/ui/gridedit.h"

#include <array>
#include <memory>
#include <vector>

class CBaseObj;
class CGridDoc2;
class CInPlaceEdit;

class CGridView2 : public CView
{
    DECLARE_DYNCREATE(CGridView2)

public:
    static constexpr UINT kListId = 1;
    static constexpr int kSumCount = 10;
    // Summary modes.
    static constexpr int kSumRow = 1;
    static constexpr int kMeanRow = 2;

    CGridView2();
    // Has the document keep its column configuration.
    ~CGridView2() override;

    CGridDoc2* GetGridDoc() const;
    CMyListCtrl& GetList() { return m_list; }
    // The document's column (title index) shown in each list column.
    const std::vector<int>& GetShownColumns() const { return m_shownColumns; }
    int GetSummaryMode() const { return m_nSummaryMode; }

    // Opens the in-place editor over a cell of an editable column ("Class",
    // "Nuclei new") of an object's row; FALSE for any other cell.
    BOOL EditCell(int nRow, int nColumn);
    // The profile section of the frame's placement: "GridView2" and the
    // document's table mode.
    CString GetPlacementSection() const;

    void OnInitialUpdate() override;
    // Rows are rebuilt on every update; columns when the shown columns
    // changed or the hint is not 0 (the configuration sends 1).
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    // The list paints the table.
    void OnDraw(CDC* pDC) override;
    // The list's rows as they show on the screen, scaled to the printer.
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnDestroy() override;
    void OnSize(UINT nType, int cx, int cy) override;
    // The focus goes on to the list, so that the keys move its rows.
    void OnSetFocus(CWnd* pOldWnd) override;

    LRESULT OnHitObject(WPARAM wParam, LPARAM lParam);
    LRESULT OnGridClicked(WPARAM wParam, LPARAM lParam);
    LRESULT OnGridDataChanged(WPARAM wParam, LPARAM lParam);
    void OnListDoubleClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnEndCellEdit(NMHDR* pNMHDR, LRESULT* pResult);

    // Command 33012: shown columns, and for object tables drawing options
    // and colours.
    void OnConfiguration();
    // The shown table as tab-separated text: headings, then the rows in
    // the list's order.
    void OnEditCopy();

    DECLARE_MESSAGE_MAP()

private:
    // ---- building the table (gridview2fill.cpp) --------------------------------------------
    // The document's columns the list shows, the first one always.
    std::vector<int> CollectShownColumns(const CGridDoc2& doc) const;
    void BuildColumns(const CGridDoc2& doc, const std::vector<int>& shown);
    // The list column of a title, -1 when it is not shown.
    int ShownPositionOf(const char* lpszTitle) const;
    void WriteCell(int nRow, int nColumn, const CString& text);
    void FillRecordRows(CGridDoc2& doc);
    void FillRecordRow(int nRow, CBaseObj& record);
    void AddToSums(const CGridDoc2& doc, CBaseObj& record);
    void FillSingleTrackRows(CGridDoc2& doc);
    // The summary row after nRow rows of nShown shown records.
    void WriteObjectSummary(int nRow, int nShown);
    void WriteTrackSummary(int nRow, int nShown);
    // The row whose first cell holds the number, -1 when none does.
    int FindRowOfNumber(int nNumber) const;
    // The array index of the record a row shows (by its first cell); -1
    // for the summary row and for frames.
    int RecordIndexOfRow(const CGridDoc2& doc, int nRow) const;
    // The document's widths of the shown columns from the list; true when
    // one changed.
    bool TakeColumnWidths(CGridDoc2& doc);
    // The row selected without telling the image views, which know it.
    void SelectRowQuietly(int nRow);
    void BroadcastGridSelected(WPARAM wParam);

    // ---- the profile (gridview2.cpp) ------------------------------------------------------------
    void ReadProfile();
    void WriteProfile() const;

    CMyListCtrl m_list;
    // A grid editor, not attached: cells are edited in place by m_pCellEditor.
    CGridEdit m_gridEdit;
    std::unique_ptr<CInPlaceEdit> m_pCellEditor;
    int m_nClassColumn = -1;
    std::array<double, kSumCount> m_dSums{};
    LONG m_lSelectionI = -1;
    LONG m_lSelectionII = -1;
    int m_nNuclei = 0;
    int m_nSummaryMode = kSumRow;
    // Title indices and titles of the list columns, as last built.
    std::vector<int> m_shownColumns;
    std::vector<CString> m_shownTitles;
    // Set while the view selects a row itself.
    bool m_bQuiet = false;

    const UINT m_nHitObjectMsg;
    const UINT m_nGridDataChangedMsg;
    const UINT m_nGridClickedMsg;
    const UINT m_nGridSelectedMsg;
    const UINT m_nToDibViewMsg;
};
