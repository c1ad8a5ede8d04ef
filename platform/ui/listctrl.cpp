#include "platform/ui/listctrl.h"

#include "platform/ui/uitext.h"
#include "platform/ui/widgetbridge.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QColor>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QStyle>
#include <QImage>
#include <QTreeView>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

using kestrun::FromQString;
using kestrun::ToQString;

namespace kestrun {

// The rows and columns of one list control.
class CListCtrlModel : public QAbstractTableModel
{
public:
    explicit CListCtrlModel(CListCtrl& list) : m_list(&list) {}

    struct Row
    {
        std::vector<QString> cells;
        DWORD_PTR data = 0;
        bool checked = false;
    };
    struct Column
    {
        QString heading;
        int format = LVCFMT_LEFT;
    };

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        if (parent.isValid())
            return 0;
        return m_ownerData ? m_ownerCount : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : std::max(1, static_cast<int>(m_columns.size()));
    }

    // Qt asks while it paints: what the list's own code throws is
    // reported here instead of reaching Qt.
    QVariant data(const QModelIndex& index, int role) const override
    {
        QVariant value;
        GuardedCall([&] { value = Data(index, role); });
        return value;
    }

    QVariant Data(const QModelIndex& index, int role) const
    {
        if (!index.isValid())
            return {};
        const int row = index.row();
        const int col = index.column();
        switch (role) {
        case Qt::DisplayRole:
            return ToQString(Text(row, col));
        case Qt::ToolTipRole: {
            // Only a cut text needs its tip.
            const CString text = Text(row, col);
            if (text.IsEmpty() || m_list->GetCellWidthFor(col, text) <= m_list->GetColumnWidth(col))
                return {};
            return ToQString(text);
        }
        case Qt::TextAlignmentRole: {
            const int format = col < static_cast<int>(m_columns.size()) ? m_columns[static_cast<size_t>(col)].format : 0;
            const int h = (format & 0x3) == LVCFMT_RIGHT ? Qt::AlignRight : (format & 0x3) == LVCFMT_CENTER ? Qt::AlignHCenter : Qt::AlignLeft;
            return QVariant(h | Qt::AlignVCenter);
        }
        case Qt::CheckStateRole:
            if (col == 0 && (m_list->GetExtendedStyle() & LVS_EX_CHECKBOXES) && !m_ownerData)
                return m_rows[static_cast<size_t>(row)].checked ? Qt::Checked : Qt::Unchecked;
            return {};
        case Qt::DecorationRole:
            if (col == 0) {
                if (const QImage* picture = m_list->GetItemPicture(row))
                    return *picture;
            }
            return {};
        case Qt::BackgroundRole: {
            const COLORREF color = m_list->GetRowColor(row);
            if (color == CLR_INVALID)
                return {};
            return QBrush(QColor(GetRValue(color), GetGValue(color), GetBValue(color)));
        }
        default:
            return {};
        }
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role != Qt::CheckStateRole || !index.isValid() || m_ownerData)
            return false;
        m_rows[static_cast<size_t>(index.row())].checked = value.toInt() == Qt::Checked;
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= static_cast<int>(m_columns.size()))
            return {};
        return m_columns[static_cast<size_t>(section)].heading;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (index.column() == 0 && (m_list->GetExtendedStyle() & LVS_EX_CHECKBOXES))
            f |= Qt::ItemIsUserCheckable;
        return f;
    }

    CString Text(int row, int col) const
    {
        if (m_ownerData)
            return m_list->GetOwnerDataText(row, col);
        const Row& r = m_rows[static_cast<size_t>(row)];
        return col < static_cast<int>(r.cells.size()) ? FromQString(r.cells[static_cast<size_t>(col)]) : CString();
    }

    bool ValidRow(int row) const { return row >= 0 && row < rowCount(); }

    int InsertColumn(int col, const QString& heading, int format)
    {
        col = std::clamp(col, 0, static_cast<int>(m_columns.size()));
        const bool wasEmpty = m_columns.empty();
        if (!wasEmpty)
            beginInsertColumns(QModelIndex(), col, col);
        m_columns.insert(m_columns.begin() + col, Column{heading, format});
        for (Row& r : m_rows) {
            if (static_cast<int>(r.cells.size()) > col)
                r.cells.insert(r.cells.begin() + col, QString());
        }
        if (!wasEmpty)
            endInsertColumns();
        else
            emit headerDataChanged(Qt::Horizontal, 0, 0);
        return col;
    }

    bool DeleteColumn(int col)
    {
        if (col < 0 || col >= static_cast<int>(m_columns.size()))
            return false;
        const bool last = m_columns.size() == 1;
        if (!last)
            beginRemoveColumns(QModelIndex(), col, col);
        m_columns.erase(m_columns.begin() + col);
        for (Row& r : m_rows) {
            if (col < static_cast<int>(r.cells.size()))
                r.cells.erase(r.cells.begin() + col);
        }
        if (!last)
            endRemoveColumns();
        else
            emit headerDataChanged(Qt::Horizontal, 0, 0);
        return true;
    }

    int InsertRow(int row, const QString& text)
    {
        row = std::clamp(row, 0, static_cast<int>(m_rows.size()));
        beginInsertRows(QModelIndex(), row, row);
        Row r;
        r.cells.push_back(text);
        m_rows.insert(m_rows.begin() + row, std::move(r));
        endInsertRows();
        return row;
    }

    bool RemoveRow(int row)
    {
        if (m_ownerData || row < 0 || row >= static_cast<int>(m_rows.size()))
            return false;
        beginRemoveRows(QModelIndex(), row, row);
        m_rows.erase(m_rows.begin() + row);
        endRemoveRows();
        return true;
    }

    void Clear()
    {
        beginResetModel();
        m_rows.clear();
        m_ownerCount = 0;
        endResetModel();
    }

    void SetOwnerCount(int count)
    {
        beginResetModel();
        m_ownerCount = std::max(0, count);
        endResetModel();
    }

    bool SetText(int row, int col, const QString& text)
    {
        if (m_ownerData || !ValidRow(row) || col < 0)
            return false;
        Row& r = m_rows[static_cast<size_t>(row)];
        if (static_cast<int>(r.cells.size()) <= col)
            r.cells.resize(static_cast<size_t>(col) + 1);
        r.cells[static_cast<size_t>(col)] = text;
        emit dataChanged(index(row, col), index(row, col));
        return true;
    }

    void Refresh(int first, int last)
    {
        if (rowCount() == 0)
            return;
        first = std::clamp(first, 0, rowCount() - 1);
        last = std::clamp(last, first, rowCount() - 1);
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
    }

    void Rebind(CListCtrl& list) { m_list = &list; }

    std::vector<Row> m_rows;
    std::vector<Column> m_columns;
    bool m_ownerData = false;
    int m_ownerCount = 0;

private:
    CListCtrl* m_list;
};

} // namespace kestrun

namespace {

QTreeView* viewOf(const CWnd* wnd)
{
    return qobject_cast<QTreeView*>(wnd->GetWidget());
}

bool IsNumber(const CString& text)
{
    const char* begin = text.GetString();
    char* end = nullptr;
    std::strtod(begin, &end);
    if (end == begin)
        return false;
    while (*end == ' ')
        ++end;
    return *end == '\0';
}

} // namespace

int CHeaderCtrl::GetItemCount() const
{
    return m_list.GetColumnCount();
}

CListCtrl::CListCtrl() : m_model(std::make_unique<kestrun::CListCtrlModel>(*this))
{
}

CListCtrl::~CListCtrl()
{
    // The view must not outlive the model it shows.
    DestroyHandleNow();
}

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("SysListView32", nullptr, dwStyle, rect, pParentWnd, nID);
}

QWidget* CListCtrl::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    const DWORD style = static_cast<DWORD>(cs.style);
    m_model->m_ownerData = (style & LVS_OWNERDATA) != 0;
    auto* view = new QTreeView(parent);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setModel(m_model.get());
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode((style & LVS_SINGLESEL) ? QAbstractItemView::SingleSelection
                                                   : QAbstractItemView::ExtendedSelection);
    view->setHeaderHidden((style & LVS_NOCOLUMNHEADER) != 0);
    view->header()->setStretchLastSection(false);
    view->header()->setSectionsClickable(true);

    QItemSelectionModel* selection = view->selectionModel();
    QObject::connect(selection, &QItemSelectionModel::selectionChanged, view,
                     [view](const QItemSelection& selected, const QItemSelection& deselected) {
                         auto* self = kestrun::WindowOf<CListCtrl>(view);
                         if (self == nullptr)
                             return;
                         std::set<int> on;
                         std::set<int> off;
                         for (const QModelIndex& i : selected.indexes())
                             on.insert(i.row());
                         for (const QModelIndex& i : deselected.indexes())
                             off.insert(i.row());
                         for (int row : off) {
                             if (!on.count(row))
                                 self->SelectionChanged(row, LVIS_SELECTED, 0);
                         }
                         for (int row : on) {
                             if (!off.count(row))
                                 self->SelectionChanged(row, 0, LVIS_SELECTED);
                         }
                     });
    QObject::connect(view, &QTreeView::clicked, view, [view](const QModelIndex& i) {
        if (auto* self = kestrun::WindowOf<CListCtrl>(view))
            self->SendItemNotify(NM_CLICK, i.row(), i.column());
    });
    QObject::connect(view, &QTreeView::doubleClicked, view, [view](const QModelIndex& i) {
        if (auto* self = kestrun::WindowOf<CListCtrl>(view))
            self->SendItemNotify(NM_DBLCLK, i.row(), i.column());
    });
    QObject::connect(view->header(), &QHeaderView::sectionClicked, view, [view](int section) {
        auto* self = kestrun::WindowOf<CListCtrl>(view);
        if (self == nullptr)
            return;
        NMLISTVIEW info{};
        info.hdr.code = LVN_COLUMNCLICK;
        info.iItem = -1;
        info.iSubItem = section;
        self->NotifyParent(info.hdr);
    });
    return view;
}

void CListCtrl::TakeOverFrom(CWnd& other)
{
    CWnd::TakeOverFrom(other);
    auto* list = DYNAMIC_DOWNCAST(CListCtrl, &other);
    if (list == nullptr)
        return;
    // The view shows the other's rows: they become ours.
    std::swap(m_model, list->m_model);
    m_model->Rebind(*this);
    list->m_model->Rebind(*list);
    m_dwExtendedStyle = list->m_dwExtendedStyle;
}

QWidget* CListCtrl::GetClientWidget() const
{
    QTreeView* view = viewOf(this);
    return view ? view->viewport() : CWnd::GetClientWidget();
}

void CListCtrl::SelectionChanged(int row, UINT oldState, UINT newState)
{
    if (m_hWnd == nullptr)
        return;
    NMLISTVIEW info{};
    info.hdr.code = LVN_ITEMCHANGED;
    info.iItem = row;
    info.iSubItem = 0;
    info.uOldState = oldState;
    info.uNewState = newState;
    info.uChanged = LVIF_STATE;
    info.lParam = static_cast<LPARAM>(GetItemData(row));
    NotifyParent(info.hdr);
}

void CListCtrl::SendItemNotify(UINT code, int item, int subItem)
{
    if (m_hWnd == nullptr)
        return;
    NMITEMACTIVATE info{};
    info.hdr.code = code;
    info.iItem = item;
    info.iSubItem = subItem;
    NotifyParent(info.hdr);
}

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth, int)
{
    if (nCol < 0)
        return -1;
    const int col = m_model->InsertColumn(nCol, ToQString(lpszColumnHeading ? lpszColumnHeading : ""), nFormat);
    if (nWidth >= 0)
        SetColumnWidth(col, nWidth);
    return col;
}

BOOL CListCtrl::DeleteColumn(int nCol)
{
    return m_model->DeleteColumn(nCol) ? TRUE : FALSE;
}

int CListCtrl::GetColumnCount() const
{
    return static_cast<int>(m_model->m_columns.size());
}

int CListCtrl::GetCellWidthFor(int nCol, const CString& text) const
{
    const QWidget* widget = GetWidget();
    if (widget == nullptr)
        return 0;
    // Owner-drawn lists paint with the font at its pixel size, which may
    // measure a little wider than the widget's own.
    QFont painted = widget->font();
    painted.setPixelSize(QFontInfo(painted).pixelSize());
    const QString shown = ToQString(text);
    const int advance =
        std::max(widget->fontMetrics().horizontalAdvance(shown), QFontMetrics(painted).horizontalAdvance(shown));
    return advance + GetCellMargins(nCol);
}

int CListCtrl::GetCellMargins(int) const
{
    const QWidget* widget = GetWidget();
    if (widget == nullptr)
        return 0;
    // What the item delegate leaves on either side of a cell's text.
    return 2 * (widget->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1);
}

BOOL CListCtrl::FitNumericColumn(int nCol, int nRows)
{
    QTreeView* view = viewOf(this);
    if (view == nullptr || nCol < 0 || nCol >= GetColumnCount())
        return FALSE;
    const int count = GetItemCount();
    std::vector<int> rows;
    for (int row = 0; row < std::min(count, std::max(0, nRows)); ++row)
        rows.push_back(row);
    if (count > nRows && nRows >= 0)
        rows.push_back(count - 1);
    int numbers = 0;
    int texts = 0;
    int widest = 0;
    for (const int row : rows) {
        const CString text = m_model->Text(row, nCol);
        if (text.IsEmpty())
            continue;
        ++(IsNumber(text) ? numbers : texts);
        widest = std::max(widest, GetCellWidthFor(nCol, text));
    }
    // A total's label below a column of numbers leaves it a column of numbers.
    if (numbers == 0 || texts > numbers)
        return FALSE;
    view->setColumnWidth(nCol, std::max(widest, view->header()->sectionSizeHint(nCol)));
    return TRUE;
}

int CListCtrl::GetColumnWidth(int nCol) const
{
    QTreeView* view = viewOf(this);
    if (view == nullptr || nCol < 0 || nCol >= GetColumnCount())
        return 0;
    return view->columnWidth(nCol);
}

BOOL CListCtrl::SetColumnWidth(int nCol, int cx)
{
    QTreeView* view = viewOf(this);
    if (view == nullptr || nCol < 0 || nCol >= GetColumnCount())
        return FALSE;
    if (cx == LVSCW_AUTOSIZE || cx == LVSCW_AUTOSIZE_USEHEADER)
        view->resizeColumnToContents(nCol);
    else
        view->setColumnWidth(nCol, std::max(0, cx));
    return TRUE;
}

int CListCtrl::GetItemCount() const
{
    return m_model->rowCount();
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem)
{
    if (m_model->m_ownerData || nItem < 0)
        return -1;
    return m_model->InsertRow(nItem, ToQString(lpszItem ? lpszItem : ""));
}

BOOL CListCtrl::DeleteItem(int nItem)
{
    return m_model->RemoveRow(nItem) ? TRUE : FALSE;
}

BOOL CListCtrl::DeleteAllItems()
{
    m_model->Clear();
    return TRUE;
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText)
{
    return m_model->SetText(nItem, nSubItem, ToQString(lpszText ? lpszText : "")) ? TRUE : FALSE;
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    if (!m_model->ValidRow(nItem) || nSubItem < 0)
        return {};
    return m_model->Text(nItem, nSubItem);
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    if (m_model->m_ownerData || !m_model->ValidRow(nItem))
        return FALSE;
    m_model->m_rows[static_cast<size_t>(nItem)].data = dwData;
    return TRUE;
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
    if (m_model->m_ownerData || !m_model->ValidRow(nItem))
        return 0;
    return m_model->m_rows[static_cast<size_t>(nItem)].data;
}

void CListCtrl::SetItemCount(int nItems)
{
    if (m_model->m_ownerData)
        m_model->SetOwnerCount(nItems);
}

BOOL CListCtrl::RedrawItems(int nFirst, int nLast)
{
    m_model->Refresh(nFirst, nLast);
    return TRUE;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    QTreeView* view = viewOf(this);
    if (view == nullptr || nItem >= GetItemCount())
        return FALSE;
    QItemSelectionModel* selection = view->selectionModel();
    const int first = nItem < 0 ? 0 : nItem;
    const int last = nItem < 0 ? GetItemCount() - 1 : nItem;
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = m_model->index(row, 0);
        if (nMask & LVIS_SELECTED) {
            selection->select(index, ((nState & LVIS_SELECTED) ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                         QItemSelectionModel::Rows);
        }
        if ((nMask & LVIS_FOCUSED) && (nState & LVIS_FOCUSED))
            selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
    return TRUE;
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const
{
    QTreeView* view = viewOf(this);
    if (view == nullptr || !m_model->ValidRow(nItem))
        return 0;
    UINT state = 0;
    const QModelIndex index = m_model->index(nItem, 0);
    if (view->selectionModel()->isRowSelected(nItem, QModelIndex()))
        state |= LVIS_SELECTED;
    if (view->selectionModel()->currentIndex().row() == index.row() && view->selectionModel()->currentIndex().isValid())
        state |= LVIS_FOCUSED;
    return state & nMask;
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const
{
    for (int row = nItem + 1; row < GetItemCount(); ++row) {
        const UINT state = GetItemState(row, LVIS_SELECTED | LVIS_FOCUSED);
        if (nFlags == LVNI_ALL || ((nFlags & LVNI_SELECTED) && (state & LVIS_SELECTED)) ||
            ((nFlags & LVNI_FOCUSED) && (state & LVIS_FOCUSED)))
            return row;
    }
    return -1;
}

UINT CListCtrl::GetSelectedCount() const
{
    QTreeView* view = viewOf(this);
    return view ? static_cast<UINT>(view->selectionModel()->selectedRows().size()) : 0;
}

POSITION CListCtrl::GetFirstSelectedItemPosition() const
{
    const int row = GetNextItem(-1, LVNI_SELECTED);
    return row < 0 ? nullptr : reinterpret_cast<POSITION>(static_cast<uintptr_t>(row) + 1);
}

int CListCtrl::GetNextSelectedItem(POSITION& pos) const
{
    const int row = static_cast<int>(reinterpret_cast<uintptr_t>(pos)) - 1;
    const int next = GetNextItem(row, LVNI_SELECTED);
    pos = next < 0 ? nullptr : reinterpret_cast<POSITION>(static_cast<uintptr_t>(next) + 1);
    return row;
}

BOOL CListCtrl::EnsureVisible(int nItem, BOOL)
{
    QTreeView* view = viewOf(this);
    if (view == nullptr || !m_model->ValidRow(nItem))
        return FALSE;
    view->scrollTo(m_model->index(nItem, 0), QAbstractItemView::EnsureVisible);
    return TRUE;
}

int CListCtrl::GetTopIndex() const
{
    QTreeView* view = viewOf(this);
    if (view == nullptr)
        return 0;
    const QModelIndex top = view->indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : 0;
}

int CListCtrl::GetCountPerPage() const
{
    QTreeView* view = viewOf(this);
    if (view == nullptr)
        return 0;
    const int rowHeight = std::max(1, view->sizeHintForRow(0));
    return view->viewport()->height() / rowHeight;
}

BOOL CListCtrl::GetCheck(int nItem) const
{
    if (m_model->m_ownerData || !m_model->ValidRow(nItem))
        return FALSE;
    return m_model->m_rows[static_cast<size_t>(nItem)].checked ? TRUE : FALSE;
}

BOOL CListCtrl::SetCheck(int nItem, BOOL fCheck)
{
    if (m_model->m_ownerData || !m_model->ValidRow(nItem))
        return FALSE;
    return m_model->setData(m_model->index(nItem, 0), fCheck ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle)
{
    const DWORD old = m_dwExtendedStyle;
    m_dwExtendedStyle = dwNewStyle;
    if (QTreeView* view = viewOf(this)) {
        view->setStyleSheet((dwNewStyle & LVS_EX_GRIDLINES) ? "QTreeView::item { border: 1px solid #d0d0d0; }" : "");
        m_model->Refresh(0, GetItemCount() - 1);
    }
    return old;
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT) const
{
    QTreeView* view = viewOf(this);
    if (view == nullptr || lpRect == nullptr || !m_model->ValidRow(nItem))
        return FALSE;
    QRect r = view->visualRect(m_model->index(nItem, 0));
    for (int col = 1; col < m_model->columnCount(); ++col)
        r = r.united(view->visualRect(m_model->index(nItem, col)));
    *lpRect = CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    return TRUE;
}

BOOL CListCtrl::GetSubItemRect(int nItem, int nSubItem, int, CRect& ref) const
{
    QTreeView* view = viewOf(this);
    if (view == nullptr || !m_model->ValidRow(nItem) || nSubItem < 0 || nSubItem >= m_model->columnCount())
        return FALSE;
    const QRect r = view->visualRect(m_model->index(nItem, nSubItem));
    ref = CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    return TRUE;
}

int CListCtrl::HitTest(CPoint pt, UINT* pFlags) const
{
    QTreeView* view = viewOf(this);
    const QModelIndex index = view ? view->indexAt(QPoint(pt.x, pt.y)) : QModelIndex();
    if (pFlags)
        *pFlags = index.isValid() ? 0x0E : 0x01; // on the item / nowhere
    return index.isValid() ? index.row() : -1;
}

CString CListCtrl::GetOwnerDataText(int nItem, int nSubItem)
{
    char buffer[260] = {};
    NMLVDISPINFO info{};
    info.hdr.code = LVN_GETDISPINFO;
    info.iItem = nItem;
    info.iSubItem = nSubItem;
    info.pszText = buffer;
    info.cchTextMax = static_cast<int>(sizeof(buffer));
    NotifyParent(info.hdr);
    buffer[sizeof(buffer) - 1] = '\0';
    // The handler may point pszText at its own text.
    return CString(info.pszText ? info.pszText : "");
}

COLORREF CListCtrl::GetRowColor(int)
{
    return CLR_INVALID;
}

const QImage* CListCtrl::GetItemPicture(int /*nItem*/) const
{
    return nullptr;
}

void CListCtrl::SetPictureSize(CSize size)
{
    if (QTreeView* view = viewOf(this))
        view->setIconSize(QSize(size.cx, size.cy));
}
