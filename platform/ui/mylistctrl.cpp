#include "platform/ui/mylistctrl.h"

#include "platform/core/dc.h"
#include "platform/core/messagebox.h"
#include "platform/ui/systemlook.h"
#include "platform/ui/widgetbridge.h"
#include "platform/ui/windowdc.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSignalBlocker>
#include <QTreeView>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <numeric>
#include <stdexcept>
#include <string_view>

IMPLEMENT_DYNAMIC(CMyListCtrl, CListCtrl)

namespace {

struct CSortState
{
    int column = -1;
    BOOL ascending = TRUE;
};

CSortState& sortState()
{
    static CSortState state;
    return state;
}

// Room on either side of a cell's text; the first column's is narrower.
constexpr int kFirstCellInset = 2;
constexpr int kCellInset = 6;

UINT gridClickedMessage()
{
    static const UINT message = RegisterWindowMessage("GridClicked");
    return message;
}

// One cell as the sort sees it: numbers first, by value, then texts, by
// their bytes. Every cell of a column gets its key by the same rule, so
// the order is a strict weak ordering.
struct CSortKey
{
    bool isText;
    double number;
    std::string_view text;

    static CSortKey Of(const char* cell)
    {
        if (cell[0] >= '0' && cell[0] <= '9')
            return {false, std::strtod(cell, nullptr), {}};
        return {true, 0.0, std::string_view(cell)};
    }

    friend bool operator<(const CSortKey& a, const CSortKey& b)
    {
        if (a.isText != b.isText)
            return !a.isText;
        if (!a.isText)
            return a.number < b.number;
        return a.text < b.text; // char_traits<char> compares bytes as unsigned
    }
};

COLORREF shaded(COLORREF color)
{
    const auto lower = [](BYTE c) { return c < 15 ? c : c - 15; };
    return RGB(lower(GetRValue(color)), lower(GetGValue(color)), lower(GetBValue(color)));
}

QTreeView* viewOf(const CWnd& wnd)
{
    return qobject_cast<QTreeView*>(wnd.GetWidget());
}

} // namespace

CMyListCtrl::CMyListCtrl()
{
    m_rows.reserve(500);
}

CMyListCtrl::~CMyListCtrl()
{
    // The view asks for cells while it goes.
    DestroyHandleNow();
}

BOOL CMyListCtrl::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style = static_cast<LONG>((static_cast<DWORD>(cs.style) & ~LVS_TYPEMASK) | LVS_REPORT | LVS_OWNERDATA |
                                 LVS_OWNERDRAWFIXED);
    return CListCtrl::PreCreateWindow(cs);
}

QWidget* CMyListCtrl::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    QWidget* widget = CListCtrl::CreateWidget(parent, cs);
    auto* view = qobject_cast<QTreeView*>(widget);
    if (view == nullptr)
        return widget;
    QObject::connect(view->header(), &QHeaderView::sectionClicked, view, [view](int section) {
        if (auto* self = kestrun::WindowOf<CMyListCtrl>(view))
            kestrun::GuardedCall([&] { self->SortByColumn(section); });
    });
    QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, view,
                     [view](const QItemSelection& selected, const QItemSelection& deselected) {
                         auto* self = kestrun::WindowOf<CMyListCtrl>(view);
                         if (self == nullptr)
                             return;
                         for (const QModelIndex& index : selected.indexes()) {
                             // A row that only changes column stays selected.
                             if (index.column() == 0 && !deselected.contains(index))
                                 kestrun::GuardedCall([&] { self->RowSelected(index.row()); });
                         }
                     });
    return widget;
}

// ---- rows ----------------------------------------------------------------------------

bool CMyListCtrl::ValidCell(int nRow, int nColumn) const
{
    return nRow >= 0 && nRow < GetRowCount() && nColumn >= 0 && nColumn < MaxColumns;
}

void CMyListCtrl::ResetRows()
{
    m_rows.clear();
    m_nSelectedRow = -1;
    SetItemCount(0);
    // New rows come in their own order.
    ShowSortIndicator(-1, TRUE);
}

void CMyListCtrl::GrowRows(int n)
{
    const int count = GetRowCount();
    if (n <= count)
        return;
    std::vector<std::unique_ptr<CRow>> added;
    try {
        added.reserve(static_cast<size_t>(n - count));
        for (int i = count; i < n; ++i)
            added.push_back(std::make_unique<CRow>());
        m_rows.reserve(static_cast<size_t>(n));
    } catch (const std::bad_alloc&) {
        AfxMessageBox("Running out of memory...");
        return;
    } catch (const std::length_error&) {
        AfxMessageBox("Running out of memory...");
        return;
    }
    for (auto& row : added)
        m_rows.push_back(std::move(row));

    // The new count resets the view's selection; the selected row stays,
    // and stays where the keys go on from.
    const int selected = m_nSelectedRow;
    SetItemCount(GetRowCount());
    if (QTreeView* view = viewOf(*this); view && selected >= 0 && selected < GetRowCount()) {
        const QSignalBlocker quiet(view->selectionModel());
        SetItemState(selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
}

void CMyListCtrl::SetCellText(int nRow, int nColumn, LPCTSTR lpszText)
{
    if (!ValidCell(nRow, nColumn))
        return;
    auto& cell = m_rows[static_cast<size_t>(nRow)]->cells[static_cast<size_t>(nColumn)];
    const char* text = lpszText ? lpszText : "";
    const size_t length = std::min(std::strlen(text), cell.size() - 1);
    std::memcpy(cell.data(), text, length);
    cell[length] = '\0';
}

CString CMyListCtrl::GetCellText(int nRow, int nColumn) const
{
    if (!ValidCell(nRow, nColumn))
        return {};
    return CString(m_rows[static_cast<size_t>(nRow)]->cells[static_cast<size_t>(nColumn)].data());
}

void CMyListCtrl::SetRowData(int nRow, DWORD dwData)
{
    if (nRow >= 0 && nRow < GetRowCount())
        m_rows[static_cast<size_t>(nRow)]->data = dwData;
}

DWORD CMyListCtrl::GetRowData(int nRow) const
{
    return (nRow >= 0 && nRow < GetRowCount()) ? m_rows[static_cast<size_t>(nRow)]->data : 0;
}

void CMyListCtrl::SetCursor(int nRow, int nColumn)
{
    m_nCursorRow = nRow;
    m_nCursorColumn = nColumn;
}

CString CMyListCtrl::GetCursorText() const
{
    if (!ValidCell(m_nCursorRow, m_nCursorColumn))
        return "NULL";
    return GetCellText(m_nCursorRow, m_nCursorColumn);
}

CString CMyListCtrl::GetOwnerDataText(int nItem, int nSubItem)
{
    return GetCellText(nItem, nSubItem);
}

int CMyListCtrl::GetCellMargins(int nCol) const
{
    return 2 * (nCol == 0 ? kFirstCellInset : kCellInset);
}

// ---- columns ------------------------------------------------------------------------------

void CMyListCtrl::SetColumnCount(int n)
{
    m_nColumnCount = std::clamp(n, 0, MaxColumns);
}

void CMyListCtrl::DeleteAllColumns()
{
    while (GetColumnCount() > 0)
        DeleteColumn(0);
    m_nColumnCount = 0;
    ShowSortIndicator(-1, TRUE);
}

// ---- selection and sorting ------------------------------------------------------------------

BOOL CMyListCtrl::SelectItem(int i)
{
    QTreeView* view = viewOf(*this);
    if (view == nullptr || i < 0 || i >= GetItemCount())
        return FALSE;
    view->selectionModel()->setCurrentIndex(view->model()->index(i, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    return TRUE;
}

void CMyListCtrl::RowSelected(int nRow)
{
    m_nSelectedRow = nRow;
    Invalidate();
    if (m_bMovingSelection)
        return;
    CWnd* parent = GetParent();
    if (parent == nullptr || nRow < 0 || nRow >= GetRowCount())
        return;
    const int number = std::atoi(GetCellText(nRow, 0));
    parent->SendMessage(gridClickedMessage(), static_cast<WPARAM>(number - 1), reinterpret_cast<LPARAM>(parent));
}

int CMyListCtrl::GetSortColumn()
{
    return sortState().column;
}

BOOL CMyListCtrl::IsSortAscending()
{
    return sortState().ascending;
}

void CMyListCtrl::ResetSortState()
{
    sortState() = CSortState{};
}

void CMyListCtrl::SortByColumn(int nColumn)
{
    CSortState& state = sortState();
    if (nColumn == state.column) {
        state.ascending = !state.ascending;
    } else {
        state.column = nColumn;
        state.ascending = TRUE;
    }
    if (nColumn >= 0 && nColumn < GetColumnCount())
        ShowSortIndicator(nColumn, state.ascending);
    const size_t count = m_rows.size() - ((m_bFixedLastRow && !m_rows.empty()) ? 1 : 0);
    if (count < 2 || nColumn < 0 || nColumn >= MaxColumns)
        return;
    const CRow* selected =
        m_nSelectedRow >= 0 && m_nSelectedRow < GetRowCount() ? m_rows[static_cast<size_t>(m_nSelectedRow)].get() : nullptr;

    std::vector<CSortKey> keys;
    keys.reserve(count);
    for (size_t i = 0; i < count; ++i)
        keys.push_back(CSortKey::Of(m_rows[i]->cells[static_cast<size_t>(nColumn)].data()));
    std::vector<size_t> order(count);
    std::iota(order.begin(), order.end(), size_t{0});
    const bool ascending = state.ascending != FALSE;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return ascending ? keys[a] < keys[b] : keys[b] < keys[a]; });

    std::vector<std::unique_ptr<CRow>> sorted;
    sorted.reserve(m_rows.size());
    for (const size_t i : order)
        sorted.push_back(std::move(m_rows[i]));
    for (size_t i = count; i < m_rows.size(); ++i)
        sorted.push_back(std::move(m_rows[i]));
    m_rows = std::move(sorted);

    // The selected object keeps its selection; the image shows it already.
    const auto moved = std::find_if(m_rows.begin(), m_rows.end(), [selected](const auto& row) { return row.get() == selected; });
    if (selected != nullptr && moved != m_rows.end()) {
        m_bMovingSelection = true;
        SelectItem(static_cast<int>(moved - m_rows.begin()));
        m_bMovingSelection = false;
    }
    Invalidate();
}

void CMyListCtrl::ShowSortIndicator(int nColumn, BOOL bAscending)
{
    QTreeView* view = viewOf(*this);
    if (view == nullptr)
        return;
    view->header()->setSortIndicatorShown(nColumn >= 0);
    view->header()->setSortIndicator(nColumn, bAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

// ---- painting ----------------------------------------------------------------------------------

LRESULT CMyListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Printing hands the context in wParam.
    if (message == WM_PAINT && wParam != 0) {
        PaintRows(*reinterpret_cast<CDC*>(wParam));
        return 0;
    }
    return CListCtrl::WindowProc(message, wParam, lParam);
}

void CMyListCtrl::OnPaint()
{
    CPaintDC dc(this);
    PaintRows(dc);
}

void CMyListCtrl::PaintRows(CDC& dc)
{
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(client, GetSysColor(COLOR_WINDOW));
    CFont font;
    const int saved = dc.SaveDC();
    SelectControlFont(&dc, this, font);
    for (int row = GetTopIndex(); row >= 0 && row < GetItemCount(); ++row) {
        CRect bounds;
        if (!GetItemRect(row, &bounds, 0))
            break;
        if (bounds.top >= client.bottom)
            break;
        DRAWITEMSTRUCT item{};
        item.CtlType = 102; // ODT_LISTVIEW
        item.CtlID = static_cast<UINT>(GetDlgCtrlID());
        item.itemID = static_cast<UINT>(row);
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = (GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) ? ODS_SELECTED : 0;
        item.hwndItem = m_hWnd;
        item.hDC = &dc;
        item.rcItem = bounds;
        DrawItem(&item);
    }
    dc.RestoreDC(saved);
}

void CMyListCtrl::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CDC* pDC = lpDrawItemStruct ? lpDrawItemStruct->hDC : nullptr;
    const int row = lpDrawItemStruct ? static_cast<int>(lpDrawItemStruct->itemID) : -1;
    if (pDC == nullptr || row < 0 || row >= GetRowCount())
        return;
    const CRect bounds(lpDrawItemStruct->rcItem);
    const bool selected = (GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0;

    COLORREF text = RGB(0, 0, 0);
    COLORREF back = GetSysColor(COLOR_WINDOW);
    if (selected) {
        text = GetSysColor(COLOR_HIGHLIGHTTEXT);
        back = GetSysColor(COLOR_HIGHLIGHT);
    } else if (row % 2 == 1) {
        back = shaded(back);
    }
    const COLORREF oldText = pDC->SetTextColor(text);
    const COLORREF oldBack = pDC->SetBkColor(back);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    pDC->FillSolidRect(bounds, back);

    constexpr UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    CRect column = bounds;
    column.right = column.left + GetColumnWidth(0);
    CRect label = column;
    label.DeflateRect(kFirstCellInset, 0);
    pDC->DrawText(GetCellText(row, 0), label, format);

    const DWORD color = GetRowData(row);
    for (int col = 1; col < m_nColumnCount; ++col) {
        column.left = column.right;
        column.right = column.left + GetColumnWidth(col);
        const CString cell = GetCellText(row, col);
        if (cell.IsEmpty())
            continue;
        CRect area = column;
        area.DeflateRect(kCellInset, 0);
        if (col == m_nColorColumn && color != 0)
            pDC->FillSolidRect(area, color);
        pDC->DrawText(cell, area, format);
    }

    pDC->SetBkMode(oldMode);
    pDC->SetBkColor(oldBack);
    pDC->SetTextColor(oldText);
}
