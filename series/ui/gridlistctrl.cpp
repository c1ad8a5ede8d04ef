#include "series/ui/gridlistctrl.h"

#include "platform/core/dc.h"
#include "platform/core/exceptions.h"
#include "platform/ui/inplaceedit.h"
#include "platform/ui/qtdc.h"
#include "platform/ui/systemlook.h"

#include <QHeaderView>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <algorithm>
#include <exception>
#include <string>

IMPLEMENT_DYNAMIC(CGridListCtrl, CListCtrl)

namespace {

QTreeView* viewOf(const CWnd& wnd)
{
    return qobject_cast<QTreeView*>(wnd.GetWidget());
}

// Runs work from a Qt callback; what it throws is reported, never passed to Qt.
template <class Work>
void Reported(Work&& work)
{
    try {
        work();
    } catch (const CException& e) {
        e.ReportError();
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONERROR);
    }
}

// Paints the rows as usual and the current cell over them.
class CCurrentCellDelegate : public QStyledItemDelegate
{
public:
    CCurrentCellDelegate(CGridListCtrl& list, QObject* parent) : QStyledItemDelegate(parent), m_list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        // The current cell marks the focus; the style's frame would cover it.
        QStyleOptionViewItem plain(option);
        plain.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, plain, index);
        if (m_list.GetCurrentColumn() < 0 || index.row() != m_list.GetFocusedItem() ||
            m_list.GetColumnOrderPosition(index.column()) != m_list.GetCurrentColumn())
            return;
        Reported([&] {
            CQtDC dc(*painter);
            const QRect r = option.rect;
            m_list.DrawCurrentCell(&dc, CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()),
                                   m_list.GetItemText(index.row(), index.column()));
        });
    }

private:
    CGridListCtrl& m_list;
};

} // namespace

CGridListCtrl::CGridListCtrl() = default;

CGridListCtrl::~CGridListCtrl()
{
    // The delegate paints through this object while the view goes.
    DestroyHandleNow();
}

QWidget* CGridListCtrl::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    QWidget* widget = CListCtrl::CreateWidget(parent, cs);
    auto* view = qobject_cast<QTreeView*>(widget);
    if (view == nullptr)
        return widget;
    view->setItemDelegate(new CCurrentCellDelegate(*this, view));
    view->setAllColumnsShowFocus(false);
    // A column may be narrower than the style's smallest section.
    view->header()->setMinimumSectionSize(0);
    // Scrolling takes the focus, so that the keys move the cell cursor.
    const auto focusFirst = [this] {
        Reported([this] {
            if (m_hWnd != nullptr && GetFocus() != this)
                SetFocus();
        });
    };
    QObject::connect(view->horizontalScrollBar(), &QScrollBar::actionTriggered, view, focusFirst);
    QObject::connect(view->verticalScrollBar(), &QScrollBar::actionTriggered, view, focusFirst);
    return widget;
}

BOOL CGridListCtrl::SetGridStyle(WORD wStyle)
{
    m_wGridStyle = wStyle;
    ModifyStyle(LVS_TYPEMASK | LVS_EDITLABELS, LVS_REPORT);
    SetExtendedStyle(GetExtendedStyle() | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT);
    if (QTreeView* view = viewOf(*this))
        view->header()->setSectionsMovable(true);
    return TRUE;
}

int CGridListCtrl::GetFocusedItem() const
{
    return GetNextItem(-1, LVNI_FOCUSED);
}

int CGridListCtrl::GetColumnOrderPosition(int nColumn) const
{
    QTreeView* view = viewOf(*this);
    if (view == nullptr || nColumn < 0 || nColumn >= GetColumnCount())
        return -1;
    return view->header()->visualIndex(nColumn);
}

int CGridListCtrl::GetColumnAtPosition(int nPosition) const
{
    QTreeView* view = viewOf(*this);
    if (view == nullptr || nPosition < 0 || nPosition >= GetColumnCount())
        return -1;
    return view->header()->logicalIndex(nPosition);
}

int CGridListCtrl::OffsetOfPosition(int nPosition) const
{
    int offset = 0;
    for (int p = 0; p < nPosition; ++p)
        offset += GetColumnWidth(GetColumnAtPosition(p));
    return offset;
}

void CGridListCtrl::ScrollSideways(int dx)
{
    if (QTreeView* view = viewOf(*this)) {
        QScrollBar* bar = view->horizontalScrollBar();
        bar->setValue(bar->value() + dx);
    }
}

void CGridListCtrl::EnsureColumnVisible(int nColumn)
{
    const int position = GetColumnOrderPosition(nColumn);
    CRect row;
    if (position < 0 || !GetItemRect(0, &row, 0))
        return;
    CRect client;
    GetClientRect(&client);
    const int left = row.left + OffsetOfPosition(position);
    if (left < 0 || left + GetColumnWidth(nColumn) > client.right)
        ScrollSideways(left);
}

BOOL CGridListCtrl::EditSubItem(CWnd* pEditor, int nItem, int nPosition)
{
    if (pEditor == nullptr || !EnsureVisible(nItem, FALSE))
        return FALSE;
    if (nPosition < 0 || nPosition >= GetHeaderCtrl()->GetItemCount())
        return FALSE;
    const int column = GetColumnAtPosition(nPosition);
    const int width = GetColumnWidth(column);
    if (width < kMinEditWidth)
        return FALSE;

    const int offset = OffsetOfPosition(nPosition);
    CRect row;
    if (!GetItemRect(nItem, &row, 0))
        return FALSE;
    CRect client;
    GetClientRect(&client);
    int left = row.left;
    if (left + offset < 0 || left + offset + width > client.right) {
        ScrollSideways(left + offset);
        left = -offset;
    }
    const int x = left + offset + 4;
    const int right = std::min(x + width - 3, static_cast<int>(client.right));
    pEditor->MoveWindow(x, row.top, right - x, row.Height());
    pEditor->Invalidate();
    return TRUE;
}

void CGridListCtrl::MoveCurrentColumn(int nDelta)
{
    const int last = GetHeaderCtrl()->GetItemCount() - 1;
    const int wanted = m_nCurrentColumn + nDelta;
    if (wanted < 0) {
        m_nCurrentColumn = -1;
        Invalidate();
        return;
    }
    if (wanted > last)
        return;
    m_nCurrentColumn = wanted;
    EnsureColumnVisible(GetColumnAtPosition(wanted));
    CRect focused;
    if (GetItemRect(GetFocusedItem(), &focused, 0))
        InvalidateRect(&focused);
}

BOOL CGridListCtrl::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN || GetFocus() != this)
        return CListCtrl::PreTranslateMessage(pMsg);
    switch (pMsg->wParam) {
    case VK_LEFT:
        MoveCurrentColumn(-1);
        return TRUE;
    case VK_RIGHT:
        MoveCurrentColumn(1);
        return TRUE;
    case VK_F2:
        if (m_nCurrentColumn >= 0 && GetFocusedItem() >= 0)
            RequestEdit(GetFocusedItem(), GetColumnAtPosition(m_nCurrentColumn));
        return FALSE;
    default:
        return CListCtrl::PreTranslateMessage(pMsg);
    }
}

int CGridListCtrl::ColumnAt(CPoint point) const
{
    const int item = HitTest(point);
    if (item < 0)
        return -1;
    for (int column = 0; column < GetColumnCount(); ++column) {
        CRect cell;
        if (GetSubItemRect(item, column, 0, cell) && point.x >= cell.left && point.x < cell.right)
            return column;
    }
    return -1;
}

void CGridListCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    const int item = HitTest(point);
    const int column = ColumnAt(point);
    const int previous = m_nCurrentColumn;
    m_nCurrentColumn = column >= 0 ? GetColumnOrderPosition(column) : -1;
    if (column >= 0)
        EnsureColumnVisible(column);
    const bool hadFocus = item >= 0 && (GetItemState(item, LVIS_FOCUSED) & LVIS_FOCUSED) != 0;
    CListCtrl::OnLButtonDown(nFlags, point);
    if (!hadFocus || m_nCurrentColumn < 0 || m_nCurrentColumn != previous)
        return;
    // The list handles the click after this; the editor must come after it.
    QPointer<QWidget> guard(GetWidget());
    QMetaObject::invokeMethod(
        GetWidget(),
        [this, guard, item, column] {
            if (guard && m_hWnd != nullptr)
                Reported([&] { RequestEdit(item, column); });
        },
        Qt::QueuedConnection);
}

void CGridListCtrl::RequestEdit(int nItem, int nColumn)
{
    const CString text = GetItemText(nItem, nColumn);
    std::string buffer(text.GetString(), static_cast<size_t>(text.GetLength()));
    NMLVDISPINFO info{};
    info.hdr.code = LVN_BEGINLABELEDIT;
    info.iItem = nItem;
    info.iSubItem = nColumn;
    info.pszText = buffer.data();
    info.cchTextMax = static_cast<int>(buffer.size());
    NotifyParent(info.hdr);
}

void CGridListCtrl::DrawCurrentCell(CDC* pDC, const CRect& cell, const CString& text)
{
    if (pDC == nullptr)
        return;
    const int saved = pDC->SaveDC();
    CFont font;
    SelectControlFont(pDC, this, font);
    pDC->FillSolidRect(cell, GetSysColor(COLOR_BTNFACE));
    CRect label = cell;
    const int inset = 2 * pDC->GetTextExtent(" ").cx;
    label.DeflateRect(inset, 0);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(GetSysColor(COLOR_BTNTEXT));
    pDC->DrawText(text, label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    CRect frame = cell;
    pDC->Draw3dRect(frame, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_BTNFACE));
    frame.DeflateRect(1, 1);
    pDC->Draw3dRect(frame, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
    pDC->RestoreDC(saved);
}
