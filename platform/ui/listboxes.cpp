#include "platform/ui/listboxes.h"

#include "platform/core/scopedflag.h"

#include "platform/ui/uitext.h"
#include "platform/ui/widgetbridge.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <algorithm>

IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)

using kestrun::FromQString;
using kestrun::ToQString;

namespace {

constexpr int kItemDataRole = Qt::UserRole + 1;

// The place of a new entry in a sorted list: after every entry that does
// not sort behind it, ignoring case.
template <class TextAt>
int sortedPosition(int count, const QString& text, TextAt textAt)
{
    int position = 0;
    while (position < count && QString::compare(textAt(position), text, Qt::CaseInsensitive) <= 0)
        ++position;
    return position;
}

} // namespace

namespace kestrun {

int FindListText(const std::vector<CString>& texts, int nStartAfter, const char* text, bool exact)
{
    const int count = static_cast<int>(texts.size());
    if (count == 0 || text == nullptr)
        return -1;
    const QString wanted = ToQString(text);
    const int start = (nStartAfter < -1 || nStartAfter >= count) ? -1 : nStartAfter;
    for (int step = 1; step <= count; ++step) {
        const int i = (start + step) % count;
        const QString candidate = ToQString(texts[static_cast<size_t>(i)]);
        const bool match = exact ? QString::compare(candidate, wanted, Qt::CaseInsensitive) == 0
                                 : candidate.startsWith(wanted, Qt::CaseInsensitive);
        if (match)
            return i;
    }
    return -1;
}

} // namespace kestrun

// ---- CComboBox ----------------------------------------------------------------------

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("COMBOBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}

QWidget* CComboBox::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    auto* combo = new QComboBox(parent);
    const DWORD kind = static_cast<DWORD>(cs.style) & 0x3;
    combo->setEditable(kind == CBS_DROPDOWN || kind == CBS_SIMPLE);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(20);
    auto notify = [combo](UINT code) {
        if (auto* self = kestrun::WindowOf<CComboBox>(combo); self && !self->m_bQuiet)
            self->NotifyParent(code);
    };
    QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [notify] { notify(CBN_SELCHANGE); });
    QObject::connect(combo, &QComboBox::activated, combo, [notify] { notify(CBN_SELENDOK); });
    if (QLineEdit* edit = combo->lineEdit())
        QObject::connect(edit, &QLineEdit::textEdited, combo, [notify] { notify(CBN_EDITCHANGE); });
    return combo;
}

namespace {
QComboBox* comboOf(const CWnd* wnd)
{
    return qobject_cast<QComboBox*>(wnd->GetWidget());
}

// The edit field of a combo box keeps its text while entries come and go;
// only a selection changes it.
class CKeepEditText
{
public:
    explicit CKeepEditText(QComboBox& combo) : m_combo(combo), m_text(combo.currentText()) {}
    ~CKeepEditText()
    {
        if (m_combo.isEditable() && m_combo.currentText() != m_text)
            m_combo.setEditText(m_text);
    }
    CKeepEditText(const CKeepEditText&) = delete;
    CKeepEditText& operator=(const CKeepEditText&) = delete;

private:
    QComboBox& m_combo;
    QString m_text;
};
} // namespace

int CComboBox::GetCount() const
{
    const QComboBox* combo = comboOf(this);
    return combo ? combo->count() : 0;
}

int CComboBox::GetCurSel() const
{
    const QComboBox* combo = comboOf(this);
    return combo ? combo->currentIndex() : CB_ERR;
}

int CComboBox::SetCurSel(int nSelect)
{
    QComboBox* combo = comboOf(this);
    if (combo == nullptr)
        return CB_ERR;
    kestrun::CScopedFlag quiet(m_bQuiet);
    if (nSelect < 0 || nSelect >= combo->count()) {
        combo->setCurrentIndex(-1);
        if (combo->isEditable())
            combo->setEditText(QString());
        return CB_ERR;
    }
    combo->setCurrentIndex(nSelect);
    return nSelect;
}

int CComboBox::AddString(LPCTSTR lpszString)
{
    QComboBox* combo = comboOf(this);
    if (combo == nullptr)
        return CB_ERR;
    const QString text = ToQString(lpszString ? lpszString : "");
    int index = combo->count();
    if (GetStyle() & CBS_SORT)
        index = sortedPosition(combo->count(), text, [combo](int i) { return combo->itemText(i); });
    kestrun::CScopedFlag quiet(m_bQuiet);
    const CKeepEditText keep(*combo);
    const int current = combo->currentIndex();
    combo->insertItem(index, text);
    // Inserting before the selection keeps the selected entry, and an
    // empty box stays without selection.
    combo->setCurrentIndex(current < 0 ? -1 : (current >= index ? current + 1 : current));
    return index;
}

int CComboBox::InsertString(int nIndex, LPCTSTR lpszString)
{
    QComboBox* combo = comboOf(this);
    if (combo == nullptr || nIndex > combo->count())
        return CB_ERR;
    const int index = nIndex < 0 ? combo->count() : nIndex;
    kestrun::CScopedFlag quiet(m_bQuiet);
    const CKeepEditText keep(*combo);
    const int current = combo->currentIndex();
    combo->insertItem(index, ToQString(lpszString ? lpszString : ""));
    combo->setCurrentIndex(current < 0 ? -1 : (current >= index ? current + 1 : current));
    return index;
}

int CComboBox::DeleteString(UINT nIndex)
{
    QComboBox* combo = comboOf(this);
    if (combo == nullptr || static_cast<int>(nIndex) >= combo->count())
        return CB_ERR;
    kestrun::CScopedFlag quiet(m_bQuiet);
    const CKeepEditText keep(*combo);
    const int current = combo->currentIndex();
    combo->removeItem(static_cast<int>(nIndex));
    if (current == static_cast<int>(nIndex))
        combo->setCurrentIndex(-1);
    return combo->count();
}

void CComboBox::ResetContent()
{
    if (QComboBox* combo = comboOf(this)) {
        kestrun::CScopedFlag quiet(m_bQuiet);
        combo->clear();
        if (combo->isEditable())
            combo->setEditText(QString());
    }
}

int CComboBox::GetLBText(int nIndex, CString& rString) const
{
    const QComboBox* combo = comboOf(this);
    if (combo == nullptr || nIndex < 0 || nIndex >= combo->count())
        return CB_ERR;
    rString = FromQString(combo->itemText(nIndex));
    return rString.GetLength();
}

int CComboBox::GetLBTextLen(int nIndex) const
{
    CString text;
    return GetLBText(nIndex, text);
}

namespace {
std::vector<CString> comboTexts(const QComboBox* combo)
{
    std::vector<CString> texts;
    for (int i = 0; combo && i < combo->count(); ++i)
        texts.push_back(FromQString(combo->itemText(i)));
    return texts;
}
} // namespace

int CComboBox::FindString(int nStartAfter, LPCTSTR lpszString) const
{
    return kestrun::FindListText(comboTexts(comboOf(this)), nStartAfter, lpszString, false);
}

int CComboBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const
{
    return kestrun::FindListText(comboTexts(comboOf(this)), nIndexStart, lpszFind, true);
}

int CComboBox::SelectString(int nStartAfter, LPCTSTR lpszString)
{
    const int index = FindString(nStartAfter, lpszString);
    if (index >= 0)
        SetCurSel(index);
    return index;
}

int CComboBox::SetItemData(int nIndex, DWORD_PTR dwItemData)
{
    QComboBox* combo = comboOf(this);
    if (combo == nullptr || nIndex < 0 || nIndex >= combo->count())
        return CB_ERR;
    combo->setItemData(nIndex, QVariant::fromValue<qulonglong>(dwItemData), kItemDataRole);
    return 0;
}

DWORD_PTR CComboBox::GetItemData(int nIndex) const
{
    const QComboBox* combo = comboOf(this);
    if (combo == nullptr || nIndex < 0 || nIndex >= combo->count())
        return static_cast<DWORD_PTR>(CB_ERR);
    return static_cast<DWORD_PTR>(combo->itemData(nIndex, kItemDataRole).toULongLong());
}

BOOL CComboBox::LimitText(int nMaxChars)
{
    QComboBox* combo = comboOf(this);
    if (combo == nullptr || combo->lineEdit() == nullptr)
        return FALSE;
    combo->lineEdit()->setMaxLength(nMaxChars <= 0 ? 32767 : nMaxChars);
    return TRUE;
}

BOOL CComboBox::SetEditSel(int nStart, int nEnd)
{
    QComboBox* combo = comboOf(this);
    QLineEdit* edit = combo ? combo->lineEdit() : nullptr;
    if (edit == nullptr)
        return FALSE;
    const int length = static_cast<int>(edit->text().size());
    const int start = std::clamp(nStart, 0, length);
    const int end = nEnd < 0 ? length : std::clamp(nEnd, start, length);
    edit->setSelection(start, end - start);
    return TRUE;
}

void CComboBox::ShowDropDown(BOOL bShowIt)
{
    if (QComboBox* combo = comboOf(this)) {
        if (bShowIt)
            combo->showPopup();
        else
            combo->hidePopup();
    }
}

void CComboBox::SetWidgetText(const CString& text)
{
    QComboBox* combo = comboOf(this);
    if (combo == nullptr) {
        CWnd::SetWidgetText(text);
        return;
    }
    kestrun::CScopedFlag quiet(m_bQuiet);
    if (combo->isEditable())
        combo->setEditText(ToQString(text));
    else
        combo->setCurrentIndex(combo->findText(ToQString(text), Qt::MatchFixedString));
}

CString CComboBox::GetWidgetText() const
{
    const QComboBox* combo = comboOf(this);
    return combo ? FromQString(combo->currentText()) : CWnd::GetWidgetText();
}

// ---- CListBox -------------------------------------------------------------------------

namespace {
QListWidget* listOf(const CWnd* wnd)
{
    return qobject_cast<QListWidget*>(wnd->GetWidget());
}
} // namespace

BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("LISTBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}

QWidget* CListBox::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    auto* list = new QListWidget(parent);
    const DWORD style = static_cast<DWORD>(cs.style);
    if (style & LBS_EXTENDEDSEL)
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    else if (style & LBS_MULTIPLESEL)
        list->setSelectionMode(QAbstractItemView::MultiSelection);
    else
        list->setSelectionMode(QAbstractItemView::SingleSelection);
    QObject::connect(list, &QListWidget::itemSelectionChanged, list, [list] {
        if (auto* self = kestrun::WindowOf<CListBox>(list); self && !self->m_bQuiet)
            self->NotifyParent(LBN_SELCHANGE);
    });
    QObject::connect(list, &QListWidget::itemDoubleClicked, list, [list] {
        if (auto* self = kestrun::WindowOf<CListBox>(list))
            self->NotifyParent(LBN_DBLCLK);
    });
    return list;
}

int CListBox::GetCount() const
{
    const QListWidget* list = listOf(this);
    return list ? list->count() : 0;
}

int CListBox::GetCurSel() const
{
    const QListWidget* list = listOf(this);
    if (list == nullptr)
        return LB_ERR;
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? LB_ERR : list->row(selected.front());
}

int CListBox::SetCurSel(int nSelect)
{
    QListWidget* list = listOf(this);
    if (list == nullptr)
        return LB_ERR;
    kestrun::CScopedFlag quiet(m_bQuiet);
    list->clearSelection();
    if (nSelect < 0 || nSelect >= list->count())
        return nSelect == -1 ? 0 : LB_ERR;
    list->setCurrentRow(nSelect, QItemSelectionModel::ClearAndSelect);
    return nSelect;
}

int CListBox::GetSel(int nIndex) const
{
    const QListWidget* list = listOf(this);
    if (list == nullptr || nIndex < 0 || nIndex >= list->count())
        return LB_ERR;
    return list->item(nIndex)->isSelected() ? 1 : 0;
}

int CListBox::SetSel(int nIndex, BOOL bSelect)
{
    QListWidget* list = listOf(this);
    if (list == nullptr || nIndex >= list->count())
        return LB_ERR;
    kestrun::CScopedFlag quiet(m_bQuiet);
    if (nIndex < 0) {
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setSelected(bSelect != FALSE);
    } else {
        list->item(nIndex)->setSelected(bSelect != FALSE);
    }
    return 0;
}

int CListBox::GetSelCount() const
{
    const QListWidget* list = listOf(this);
    return list ? static_cast<int>(list->selectedItems().size()) : LB_ERR;
}

int CListBox::GetSelItems(int nMaxItems, LPINT rgIndex) const
{
    const QListWidget* list = listOf(this);
    if (list == nullptr || rgIndex == nullptr)
        return LB_ERR;
    int n = 0;
    for (int i = 0; i < list->count() && n < nMaxItems; ++i) {
        if (list->item(i)->isSelected())
            rgIndex[n++] = i;
    }
    return n;
}

int CListBox::AddString(LPCTSTR lpszItem)
{
    QListWidget* list = listOf(this);
    if (list == nullptr)
        return LB_ERR;
    const QString text = ToQString(lpszItem ? lpszItem : "");
    int index = list->count();
    if (GetStyle() & LBS_SORT)
        index = sortedPosition(list->count(), text, [list](int i) { return list->item(i)->text(); });
    kestrun::CScopedFlag quiet(m_bQuiet);
    list->insertItem(index, text);
    return index;
}

int CListBox::InsertString(int nIndex, LPCTSTR lpszItem)
{
    QListWidget* list = listOf(this);
    if (list == nullptr || nIndex > list->count())
        return LB_ERR;
    const int index = nIndex < 0 ? list->count() : nIndex;
    kestrun::CScopedFlag quiet(m_bQuiet);
    list->insertItem(index, ToQString(lpszItem ? lpszItem : ""));
    return index;
}

int CListBox::DeleteString(UINT nIndex)
{
    QListWidget* list = listOf(this);
    if (list == nullptr || static_cast<int>(nIndex) >= list->count())
        return LB_ERR;
    kestrun::CScopedFlag quiet(m_bQuiet);
    delete list->takeItem(static_cast<int>(nIndex));
    return list->count();
}

void CListBox::ResetContent()
{
    if (QListWidget* list = listOf(this)) {
        kestrun::CScopedFlag quiet(m_bQuiet);
        list->clear();
    }
}

int CListBox::GetText(int nIndex, CString& rString) const
{
    const QListWidget* list = listOf(this);
    if (list == nullptr || nIndex < 0 || nIndex >= list->count())
        return LB_ERR;
    rString = FromQString(list->item(nIndex)->text());
    return rString.GetLength();
}

int CListBox::GetTextLen(int nIndex) const
{
    CString text;
    return GetText(nIndex, text);
}

namespace {
std::vector<CString> listTexts(const QListWidget* list)
{
    std::vector<CString> texts;
    for (int i = 0; list && i < list->count(); ++i)
        texts.push_back(FromQString(list->item(i)->text()));
    return texts;
}
} // namespace

int CListBox::FindString(int nStartAfter, LPCTSTR lpszItem) const
{
    return kestrun::FindListText(listTexts(listOf(this)), nStartAfter, lpszItem, false);
}

int CListBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const
{
    return kestrun::FindListText(listTexts(listOf(this)), nIndexStart, lpszFind, true);
}

int CListBox::SelectString(int nStartAfter, LPCTSTR lpszItem)
{
    const int index = FindString(nStartAfter, lpszItem);
    if (index >= 0)
        SetCurSel(index);
    return index;
}

int CListBox::SetItemData(int nIndex, DWORD_PTR dwItemData)
{
    QListWidget* list = listOf(this);
    if (list == nullptr || nIndex < 0 || nIndex >= list->count())
        return LB_ERR;
    list->item(nIndex)->setData(kItemDataRole, QVariant::fromValue<qulonglong>(dwItemData));
    return 0;
}

DWORD_PTR CListBox::GetItemData(int nIndex) const
{
    const QListWidget* list = listOf(this);
    if (list == nullptr || nIndex < 0 || nIndex >= list->count())
        return static_cast<DWORD_PTR>(LB_ERR);
    return static_cast<DWORD_PTR>(list->item(nIndex)->data(kItemDataRole).toULongLong());
}

int CListBox::GetTopIndex() const
{
    const QListWidget* list = listOf(this);
    if (list == nullptr || list->count() == 0)
        return 0;
    const QListWidgetItem* top = list->itemAt(0, 0);
    return top ? list->row(top) : 0;
}

int CListBox::SetTopIndex(int nIndex)
{
    QListWidget* list = listOf(this);
    if (list == nullptr || nIndex < 0 || nIndex >= list->count())
        return LB_ERR;
    list->scrollToItem(list->item(nIndex), QAbstractItemView::PositionAtTop);
    return 0;
}
