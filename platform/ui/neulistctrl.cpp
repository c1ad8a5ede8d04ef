#include "platform/ui/neulistctrl.h"

#include "platform/ui/button.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/staticedit.h"
#include "platform/ui/widgetbridge.h"

#include <QListWidget>
#include <QPalette>
#include <QScrollBar>
#include <QTreeView>

#include <algorithm>

IMPLEMENT_DYNAMIC(CNeuListCtrl, CListCtrl)

namespace {

// The width of the check box at the left of a row.
constexpr int kCheckBoxWidth = 18;

} // namespace

CNeuListCtrl::CNeuListCtrl() = default;

CNeuListCtrl::~CNeuListCtrl()
{
    m_columns.clear();
    DestroyHandleNow();
}

QWidget* CNeuListCtrl::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    QWidget* widget = CListCtrl::CreateWidget(parent, cs);
    if (auto* view = qobject_cast<QTreeView*>(widget)) {
        // Scrolling leaves the controls behind their cells: they go until
        // the next click.
        const auto hide = [view] {
            if (auto* self = kestrun::WindowOf<CNeuListCtrl>(view))
                kestrun::GuardedCall([&] { self->ShowControls(FALSE); });
        };
        QObject::connect(view->verticalScrollBar(), &QScrollBar::valueChanged, view, hide);
        QObject::connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, view, hide);
    }
    return widget;
}

// ---- the column controls --------------------------------------------------------------

BOOL CNeuListCtrl::AddColumnControl(int nKind, int nColumn)
{
    if (m_hWnd == nullptr)
        return FALSE;
    const CRect provisional(10, 10, 100, 100);
    const DWORD common = WS_CHILD | WS_BORDER | WS_TABSTOP;
    const UINT id = m_nNextId;
    auto column = std::make_unique<CColumnControl>();
    column->m_nKind = nKind;
    column->m_nColumn = nColumn;
    BOOL created = FALSE;
    switch (nKind) {
    case ControlEdit: {
        auto edit = std::make_unique<CEdit>();
        created = edit->Create(common | ES_AUTOHSCROLL, provisional, this, id);
        column->m_pControl = std::move(edit);
        break;
    }
    case ControlComboBox: {
        auto combo = std::make_unique<CComboBox>();
        created = combo->Create(common | CBS_DROPDOWNLIST | WS_VSCROLL, provisional, this, id);
        column->m_pControl = std::move(combo);
        break;
    }
    case ControlListBox: {
        auto list = std::make_unique<CListBox>();
        created = list->Create(common | LBS_NOTIFY | WS_VSCROLL, provisional, this, id);
        column->m_pControl = std::move(list);
        break;
    }
    case ControlCheckBox:
    case ControlButton: {
        auto button = std::make_unique<CButton>();
        created = button->Create("", common | (nKind == ControlCheckBox ? BS_AUTOCHECKBOX : BS_PUSHBUTTON), provisional,
                                 this, id);
        column->m_pControl = std::move(button);
        break;
    }
    default:
        return FALSE;
    }
    if (!created)
        return FALSE;
    m_nNextId += 4;
    if (GetFont())
        column->m_pControl->SetFont(GetFont());
    PaintBackground(*column);

    if (const int existing = FindColumnControl(nColumn); existing >= 0)
        m_columns[static_cast<size_t>(existing)] = std::move(column);
    else
        m_columns.push_back(std::move(column));
    if (m_nActiveRow < 0)
        m_nActiveRow = 0;
    return TRUE;
}

void CNeuListCtrl::SetCellMessage(int nColumn, UINT nCode, CellHandler handler)
{
    const int index = FindColumnControl(nColumn);
    if (index >= 0)
        m_columns[static_cast<size_t>(index)]->m_handlers.emplace_back(nCode, std::move(handler));
}

void CNeuListCtrl::RemoveColumnControl(int nIndex)
{
    if (nIndex >= 0 && nIndex < GetColumnControlCount())
        m_columns.erase(m_columns.begin() + nIndex);
}

void CNeuListCtrl::RemoveAllColumnControls()
{
    m_columns.clear();
    m_nFilledRow = -1;
}

int CNeuListCtrl::FindColumnControl(int nColumn) const
{
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i]->m_nColumn == nColumn)
            return static_cast<int>(i);
    }
    return -1;
}

CWnd* CNeuListCtrl::GetColumnControl(int nIndex) const
{
    return (nIndex >= 0 && nIndex < GetColumnControlCount()) ? m_columns[static_cast<size_t>(nIndex)]->m_pControl.get()
                                                               : nullptr;
}

void CNeuListCtrl::SetControlColor(int nIndex, COLORREF color)
{
    if (nIndex < 0 || nIndex >= GetColumnControlCount())
        return;
    m_columns[static_cast<size_t>(nIndex)]->m_crBackground = color;
    PaintBackground(*m_columns[static_cast<size_t>(nIndex)]);
}

void CNeuListCtrl::PaintBackground(CColumnControl& column)
{
    QWidget* widget = column.m_pControl ? column.m_pControl->GetWidget() : nullptr;
    if (widget == nullptr)
        return;
    const QColor color(GetRValue(column.m_crBackground), GetGValue(column.m_crBackground),
                       GetBValue(column.m_crBackground));
    QPalette palette = widget->palette();
    for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button})
        palette.setColor(role, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void CNeuListCtrl::SetCellRule(int nRow, int nIndex, UINT nRule)
{
    for (CRule& rule : m_rules) {
        if (rule.row == nRow && rule.index == nIndex) {
            rule.rule = nRule;
            return;
        }
    }
    m_rules.push_back({nRow, nIndex, nRule});
}

UINT CNeuListCtrl::RuleOf(int nIndex) const
{
    for (const CRule& rule : m_rules) {
        if (rule.row == m_nActiveRow && rule.index == nIndex)
            return rule.rule;
    }
    return 0;
}

// ---- placing, showing and reading the controls ---------------------------------------------

CRect CNeuListCtrl::CellRect(int nColumn) const
{
    CRect rect;
    if (!GetSubItemRect(m_nActiveRow, nColumn, 0, rect))
        return {};
    rect.bottom += 3;
    if (nColumn == 0 && (GetExtendedStyle() & LVS_EX_CHECKBOXES))
        rect.left = std::min(rect.right, rect.left + kCheckBoxWidth);
    return rect;
}

void CNeuListCtrl::ShowTextIn(CColumnControl& column, const CString& text)
{
    CWnd* control = column.m_pControl.get();
    switch (column.m_nKind) {
    case ControlEdit:
        control->SetWindowText(text);
        break;
    case ControlComboBox: {
        auto* combo = static_cast<CComboBox*>(control);
        combo->SetCurSel(combo->FindStringExact(-1, text));
        break;
    }
    case ControlListBox: {
        auto* list = static_cast<CListBox*>(control);
        list->SetCurSel(list->FindStringExact(-1, text));
        // Tall enough for all its entries.
        if (auto* widget = qobject_cast<QListWidget*>(list->GetWidget())) {
            const int rows = std::max(1, list->GetCount());
            const int height = rows * std::max(1, widget->sizeHintForRow(0)) + 2 * widget->frameWidth();
            widget->resize(widget->width(), height);
        }
        break;
    }
    case ControlCheckBox:
        static_cast<CButton*>(control)->SetCheck(text == "+" ? BST_CHECKED : BST_UNCHECKED);
        break;
    default:
        break;
    }
}

CString CNeuListCtrl::TextOf(const CColumnControl& column) const
{
    CWnd* control = column.m_pControl.get();
    CString text;
    switch (column.m_nKind) {
    case ControlEdit:
        control->GetWindowText(text);
        break;
    case ControlComboBox: {
        const auto* combo = static_cast<const CComboBox*>(control);
        if (combo->GetCurSel() >= 0)
            combo->GetLBText(combo->GetCurSel(), text);
        break;
    }
    case ControlListBox: {
        const auto* list = static_cast<const CListBox*>(control);
        if (list->GetCurSel() >= 0)
            list->GetText(list->GetCurSel(), text);
        break;
    }
    case ControlCheckBox:
        text = CString(static_cast<const CButton*>(control)->GetCheck() == BST_CHECKED ? '+' : '-');
        break;
    default:
        break;
    }
    return text;
}

void CNeuListCtrl::LayoutControls(BOOL bShow)
{
    const bool rowExists = m_nActiveRow >= 0 && m_nActiveRow < GetItemCount();
    for (size_t i = 0; i < m_columns.size(); ++i) {
        CColumnControl& column = *m_columns[i];
        const bool place = bShow && rowExists && !(RuleOf(static_cast<int>(i)) & RuleHidden);
        if (!place) {
            column.m_pControl->MoveWindow(-1000, -1000, 0, 0);
            continue;
        }
        {
            const CRect cell = CellRect(column.m_nColumn);
            column.m_pControl->MoveWindow(&cell);
        }
        ShowTextIn(column, GetItemText(m_nActiveRow, column.m_nColumn));
    }
    if (bShow && rowExists)
        m_nFilledRow = m_nActiveRow;
}

void CNeuListCtrl::InsertRowControls()
{
    if (m_nActiveRow < 0 || m_nActiveRow >= GetItemCount())
        return;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        CColumnControl& column = *m_columns[i];
        if (RuleOf(static_cast<int>(i)) & RuleHidden) {
            column.m_pControl->MoveWindow(-1000, -1000, 0, 0);
            continue;
        }
        {
            const CRect cell = CellRect(column.m_nColumn);
            column.m_pControl->MoveWindow(&cell);
        }
        if (column.m_nKind == ControlCheckBox)
            SetItemText(m_nActiveRow, column.m_nColumn, TextOf(column));
        else
            ShowTextIn(column, GetItemText(m_nActiveRow, column.m_nColumn));
    }
    m_nFilledRow = m_nActiveRow;
    ShowControls(TRUE);
    EnableControls(TRUE);
}

void CNeuListCtrl::ShowControls(BOOL bShow)
{
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const bool show = bShow && !(RuleOf(static_cast<int>(i)) & RuleHidden);
        m_columns[i]->m_pControl->ShowWindow(show ? SW_SHOW : SW_HIDE);
    }
}

void CNeuListCtrl::EnableControls(BOOL bEnable)
{
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const bool enable = bEnable && !(RuleOf(static_cast<int>(i)) & RuleDisabled);
        m_columns[i]->m_pControl->EnableWindow(enable ? TRUE : FALSE);
    }
}

void CNeuListCtrl::RefreshTexts()
{
    if (m_nFilledRow < 0 || m_nFilledRow >= GetItemCount())
        return;
    const int active = m_nActiveRow;
    m_nActiveRow = m_nFilledRow; // the rules of the row the texts belong to
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const CColumnControl& column = *m_columns[i];
        if (column.m_nKind == ControlButton || (RuleOf(static_cast<int>(i)) & RuleHidden))
            continue;
        const bool list = column.m_nKind == ControlComboBox || column.m_nKind == ControlListBox;
        const CString text = TextOf(column);
        if (list && text.IsEmpty())
            continue; // nothing chosen
        SetItemText(m_nFilledRow, column.m_nColumn, text);
    }
    m_nActiveRow = active;
}

// ---- input ------------------------------------------------------------------------------------

void CNeuListCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    const int row = HitTest(point);
    if (row < 0) {
        CListCtrl::OnLButtonDown(nFlags, point);
        return;
    }
    RefreshTexts();
    m_nActiveRow = row;
    for (int col = 0; col < GetColumnCount(); ++col) {
        CRect cell;
        if (GetSubItemRect(row, col, 0, cell) && point.x >= cell.left && point.x < cell.right) {
            m_nActiveColumn = col;
            break;
        }
    }
    BOOL checked = GetCheck(row);
    CRect bounds;
    // A click on the check box is about to change it.
    if (GetItemRect(row, &bounds, 0) && point.x - bounds.left < kCheckBoxWidth)
        checked = !checked;
    LayoutControls(checked);
    ShowControls(checked);
    EnableControls(checked);
    SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

BOOL CNeuListCtrl::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    for (const auto& column : m_columns) {
        if (column->m_pControl == nullptr || static_cast<UINT>(column->m_pControl->GetDlgCtrlID()) != id)
            continue;
        for (const auto& [handlerCode, handler] : column->m_handlers) {
            if (handlerCode == code) {
                if (handler)
                    handler(m_nActiveRow, column->m_nColumn);
                break;
            }
        }
        break;
    }
    return CListCtrl::OnCommand(wParam, lParam);
}
