#include "platform/ui/staticedit.h"

#include "platform/ui/uitext.h"
#include "platform/ui/widgetbridge.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QValidator>
#include <QTextBlock>

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)

using kestrun::FromQString;
using kestrun::ToQString;

namespace {

// What the user may type into a single-line field: digits only with
// ES_NUMBER, and no more than the limit. Text set by the program is not
// checked, as on the original system.
class CEditValidator : public QValidator
{
public:
    CEditValidator(QObject* parent, bool digitsOnly) : QValidator(parent), m_digitsOnly(digitsOnly) {}

    State validate(QString& input, int&) const override
    {
        if (m_limit > 0 && static_cast<UINT>(input.size()) > m_limit)
            return Invalid;
        if (m_digitsOnly) {
            for (const QChar c : input) {
                if (!c.isDigit())
                    return Invalid;
            }
        }
        return Acceptable;
    }

    UINT m_limit = 0;

private:
    bool m_digitsOnly;
};

} // namespace

// ---- CStatic ------------------------------------------------------------------

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
}

QWidget* CStatic::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    auto* label = new QLabel(parent);
    const DWORD style = static_cast<DWORD>(cs.style);
    switch (style & 0x1F) {
    case SS_CENTER:
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        break;
    case SS_RIGHT:
        label->setAlignment(Qt::AlignRight | Qt::AlignTop);
        break;
    case SS_BLACKRECT:
        label->setAutoFillBackground(true);
        label->setStyleSheet("background: black");
        break;
    case SS_BLACKFRAME:
    case SS_ETCHEDFRAME:
        label->setFrameShape(QFrame::Box);
        label->setFrameShadow(style == SS_ETCHEDFRAME ? QFrame::Sunken : QFrame::Plain);
        break;
    default:
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        break;
    }
    if (style & SS_SUNKEN) {
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
    }
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void CStatic::SetWidgetText(const CString& text)
{
    if (auto* label = qobject_cast<QLabel*>(GetWidget()))
        label->setText(kestrun::ToQStringWithoutMnemonic(text));
    else
        CWnd::SetWidgetText(text);
}

CString CStatic::GetWidgetText() const
{
    if (auto* label = qobject_cast<QLabel*>(GetWidget()))
        return FromQString(label->text());
    return CWnd::GetWidgetText();
}

void CStatic::OnLButtonUp(UINT, CPoint)
{
    if (GetStyle() & SS_NOTIFY)
        NotifyParent(STN_CLICKED);
}

// ---- CEdit ---------------------------------------------------------------------

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("EDIT", nullptr, dwStyle, rect, pParentWnd, nID);
}

QWidget* CEdit::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    const DWORD style = static_cast<DWORD>(cs.style);
    if (style & ES_MULTILINE) {
        auto* edit = new QPlainTextEdit(parent);
        edit->setReadOnly((style & ES_READONLY) != 0);
        edit->setLineWrapMode((style & WS_HSCROLL) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
        QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit] {
            if (auto* self = kestrun::WindowOf<CEdit>(edit))
                self->TextChanged();
        });
        return edit;
    }
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly((style & ES_READONLY) != 0);
    if (style & ES_PASSWORD)
        edit->setEchoMode(QLineEdit::Password);
    edit->setValidator(new CEditValidator(edit, (style & ES_NUMBER) != 0));
    if ((style & 0x3) == ES_CENTER)
        edit->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    else if ((style & 0x3) == ES_RIGHT)
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit] {
        if (auto* self = kestrun::WindowOf<CEdit>(edit))
            self->TextChanged();
    });
    return edit;
}

void CEdit::TextChanged()
{
    if (m_hWnd == nullptr)
        return;
    if (m_nLimit > 0 && IsMultiLine() && !m_bSettingText) {
        // The line edit limits itself; the multi-line field is cut back.
        auto* edit = static_cast<QPlainTextEdit*>(GetWidget());
        const QString text = edit->toPlainText();
        if (static_cast<UINT>(text.size()) > m_nLimit) {
            edit->setPlainText(text.left(static_cast<int>(m_nLimit)));
            edit->moveCursor(QTextCursor::End);
            return;
        }
    }
    m_bModified = TRUE;
    NotifyParent(EN_CHANGE);
}

void CEdit::SetWidgetText(const CString& text)
{
    QWidget* w = GetWidget();
    const bool wasSetting = std::exchange(m_bSettingText, true);
    if (auto* line = qobject_cast<QLineEdit*>(w))
        line->setText(ToQString(text));
    else if (auto* multi = qobject_cast<QPlainTextEdit*>(w))
        multi->setPlainText(ToQString(text));
    else
        CWnd::SetWidgetText(text);
    m_bSettingText = wasSetting;
    m_bModified = FALSE;
}

CString CEdit::GetWidgetText() const
{
    QWidget* w = GetWidget();
    if (auto* line = qobject_cast<QLineEdit*>(w))
        return FromQString(line->text());
    if (auto* multi = qobject_cast<QPlainTextEdit*>(w))
        return FromQString(multi->toPlainText());
    return CWnd::GetWidgetText();
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL)
{
    QWidget* w = GetWidget();
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
        if (nStartChar < 0) {
            line->deselect();
            return;
        }
        const int length = static_cast<int>(line->text().size());
        const int end = (nEndChar < 0 || nEndChar > length) ? length : nEndChar;
        const int start = std::min(nStartChar, length);
        line->setSelection(start, end - start);
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(w)) {
        QTextCursor cursor = multi->textCursor();
        if (nStartChar < 0) {
            cursor.clearSelection();
        } else {
            const int length = static_cast<int>(multi->toPlainText().size());
            cursor.setPosition(std::min(nStartChar, length));
            cursor.setPosition((nEndChar < 0 || nEndChar > length) ? length : nEndChar, QTextCursor::KeepAnchor);
        }
        multi->setTextCursor(cursor);
    }
}

void CEdit::GetSel(int& nStartChar, int& nEndChar) const
{
    nStartChar = nEndChar = 0;
    QWidget* w = GetWidget();
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
        if (line->hasSelectedText()) {
            nStartChar = line->selectionStart();
            nEndChar = line->selectionEnd();
        } else {
            nStartChar = nEndChar = line->cursorPosition();
        }
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(w)) {
        const QTextCursor cursor = multi->textCursor();
        nStartChar = cursor.selectionStart();
        nEndChar = cursor.selectionEnd();
    }
}

void CEdit::ReplaceSel(LPCTSTR lpszNewText, BOOL)
{
    QWidget* w = GetWidget();
    const QString text = ToQString(lpszNewText ? lpszNewText : "");
    if (auto* line = qobject_cast<QLineEdit*>(w))
        line->insert(text);
    else if (auto* multi = qobject_cast<QPlainTextEdit*>(w))
        multi->insertPlainText(text);
}

void CEdit::Clear()
{
    ReplaceSel("");
}

void CEdit::Copy()
{
    QWidget* w = GetWidget();
    if (auto* line = qobject_cast<QLineEdit*>(w))
        line->copy();
    else if (auto* multi = qobject_cast<QPlainTextEdit*>(w))
        multi->copy();
}

void CEdit::Cut()
{
    QWidget* w = GetWidget();
    if (auto* line = qobject_cast<QLineEdit*>(w))
        line->cut();
    else if (auto* multi = qobject_cast<QPlainTextEdit*>(w))
        multi->cut();
}

void CEdit::Paste()
{
    QWidget* w = GetWidget();
    if (auto* line = qobject_cast<QLineEdit*>(w))
        line->paste();
    else if (auto* multi = qobject_cast<QPlainTextEdit*>(w))
        multi->paste();
}

BOOL CEdit::Undo()
{
    QWidget* w = GetWidget();
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
        const bool could = line->isUndoAvailable();
        line->undo();
        return could;
    }
    if (auto* multi = qobject_cast<QPlainTextEdit*>(w)) {
        multi->undo();
        return TRUE;
    }
    return FALSE;
}

void CEdit::SetLimitText(UINT nMax)
{
    m_nLimit = nMax;
    if (auto* line = qobject_cast<QLineEdit*>(GetWidget())) {
        if (auto* validator = dynamic_cast<const CEditValidator*>(line->validator()))
            const_cast<CEditValidator*>(validator)->m_limit = nMax;
    }
}

BOOL CEdit::SetReadOnly(BOOL bReadOnly)
{
    QWidget* w = GetWidget();
    if (auto* line = qobject_cast<QLineEdit*>(w))
        line->setReadOnly(bReadOnly != FALSE);
    else if (auto* multi = qobject_cast<QPlainTextEdit*>(w))
        multi->setReadOnly(bReadOnly != FALSE);
    else
        return FALSE;
    ModifyStyle(bReadOnly ? 0 : ES_READONLY, bReadOnly ? ES_READONLY : 0);
    return TRUE;
}

int CEdit::GetLineCount() const
{
    if (auto* multi = qobject_cast<QPlainTextEdit*>(GetWidget()))
        return multi->document()->blockCount();
    return 1;
}

CString CEdit::GetLineText(int nIndex) const
{
    if (auto* multi = qobject_cast<QPlainTextEdit*>(GetWidget())) {
        const QTextBlock block = multi->document()->findBlockByNumber(nIndex);
        return block.isValid() ? FromQString(block.text()) : CString();
    }
    return nIndex == 0 ? GetWidgetText() : CString();
}

void CEdit::TakeOverFrom(CWnd& other)
{
    CWnd::TakeOverFrom(other);
    if (auto* edit = DYNAMIC_DOWNCAST(CEdit, &other)) {
        m_nLimit = edit->m_nLimit;
        m_bModified = edit->m_bModified;
    }
}

void CEdit::OnSetFocus(CWnd*)
{
    NotifyParent(EN_SETFOCUS);
}

void CEdit::OnKillFocus(CWnd*)
{
    NotifyParent(EN_KILLFOCUS);
}
