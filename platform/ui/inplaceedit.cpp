#include "platform/ui/inplaceedit.h"

#include "platform/ui/uitext.h"
#include "platform/ui/widgetbridge.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPointer>

#include <algorithm>
#include <string>

IMPLEMENT_DYNAMIC(CInPlaceEdit, CEdit)

// Enter and Escape belong to the edit, not to the dialog around the list:
// they end the edit instead of pressing the dialog's buttons.
class CInPlaceEdit::CKeyFilter : public QObject
{
public:
    explicit CKeyFilter(CInPlaceEdit& edit) : m_edit(edit) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Escape && key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        if (event->type() == QEvent::ShortcutOverride) {
            // Keeps the key from the window's shortcuts.
            event->accept();
            return true;
        }
        kestrun::GuardedCall([&] { m_edit.EndByKey(key == Qt::Key_Escape); });
        return true;
    }

private:
    CInPlaceEdit& m_edit;
};

CInPlaceEdit::CInPlaceEdit(int iItem, int iSubItem, const CString& sInitText)
    : m_iItem(iItem), m_iSubItem(iSubItem), m_sInitText(sInitText)
{
}

CInPlaceEdit::~CInPlaceEdit()
{
    DestroyHandleNow();
}

int CInPlaceEdit::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CEdit::OnCreate(lpCreateStruct) == -1)
        return -1;
    QWidget* widget = GetWidget();
    CWnd* list = GetParent();
    if (list && list->GetFont())
        SetFont(list->GetFont());
    else if (list && list->GetWidget())
        widget->setFont(list->GetWidget()->font());

    SetWindowText(m_sInitText);
    m_keyFilter = std::make_unique<CKeyFilter>(*this);
    widget->installEventFilter(m_keyFilter.get());
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        QObject::connect(line, &QLineEdit::textChanged, widget, [this] { FitToText(); });
    else if (auto* multi = qobject_cast<QPlainTextEdit*>(widget))
        QObject::connect(multi, &QPlainTextEdit::textChanged, widget, [this] { FitToText(); });

    // A hidden widget takes no focus: the edit shows as it starts.
    if (GetStyle() & WS_VISIBLE)
        widget->show();
    SetFocus();
    FitToText();
    SetSel(0, -1);
    return 0;
}

void CInPlaceEdit::FitToText()
{
    QWidget* widget = GetWidget();
    CWnd* list = GetParent();
    if (widget == nullptr || list == nullptr || list->GetWidget() == nullptr)
        return;
    CString text;
    GetWindowText(text);
    const QFontMetrics metrics(list->GetWidget()->font());
    CRect parent;
    list->GetClientRect(&parent);
    QRect box = widget->geometry();

    auto* multi = qobject_cast<QPlainTextEdit*>(widget);
    QSize needed;
    if (multi) {
        const QRect bounds = metrics.boundingRect(QRect(0, 0, std::max(1, box.width() - 8), 1 << 20),
                                                  Qt::TextWordWrap | Qt::TextExpandTabs, kestrun::ToQString(text));
        needed = QSize(bounds.width(), bounds.height() + 2 * multi->frameWidth() + 8);
    } else {
        needed = QSize(metrics.horizontalAdvance(kestrun::ToQString(text)), box.height());
    }

    const int wanted = needed.width() + 5;
    if (wanted > box.width())
        box.setRight(std::min(box.left() + wanted, parent.right - 2) - 1);
    if (multi) {
        const int limit = parent.bottom - 2 - box.top();
        const bool atLimit = needed.height() >= limit;
        if (needed.height() > box.height())
            box.setHeight(std::min(needed.height(), limit));
        multi->setVerticalScrollBarPolicy(atLimit ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    }
    if (box != widget->geometry())
        widget->setGeometry(box);
}

void CInPlaceEdit::EndByKey(bool escape)
{
    if (escape)
        m_bESC = TRUE;
    CWnd* list = GetParent();
    if (list)
        list->SetFocus();
    // Without a focus change (the window is not active) the edit ends here.
    if (!m_bEnded)
        OnKillFocus(list);
}

void CInPlaceEdit::OnKillFocus(CWnd* pNewWnd)
{
    CEdit::OnKillFocus(pNewWnd);
    if (m_bEnded || GetWidget() == nullptr)
        return;
    m_bEnded = true;
    // Queued on the application, so that the owner may destroy the edit
    // in its handler; a destroyed edit sends nothing.
    QPointer<QWidget> alive(GetWidget());
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [this, alive] {
            if (alive)
                kestrun::GuardedCall([this] { SendEndNotice(); });
        },
        Qt::QueuedConnection);
}

void CInPlaceEdit::SendEndNotice()
{
    CWnd* list = GetParent();
    CWnd* owner = list ? list->GetParent() : nullptr;
    if (owner == nullptr)
        return;
    CString text;
    GetWindowText(text);
    std::string buffer(text.GetString(), static_cast<size_t>(text.GetLength()));

    NMLVDISPINFO info{};
    info.hdr.hwndFrom = list->GetSafeHwnd();
    info.hdr.idFrom = static_cast<UINT_PTR>(list->GetDlgCtrlID());
    info.hdr.code = LVN_ENDLABELEDIT;
    info.iItem = m_iItem;
    info.iSubItem = m_iSubItem;
    info.pszText = m_bESC ? nullptr : buffer.data();
    info.cchTextMax = m_bESC ? 0 : static_cast<int>(buffer.size());
    owner->SendMessage(WM_NOTIFY, static_cast<WPARAM>(list->GetDlgCtrlID()), reinterpret_cast<LPARAM>(&info));
}
