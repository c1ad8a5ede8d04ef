#include "scripthost/ui/editdlg.h"

#include "scripthost/scriptmessages.h"
#include "scripthost/scripttext.h"

#include "platform/core/archive.h"
#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/ui/wnd.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include <fstream>

namespace {

const char* const kCannotOpen = "Fehler: Datei kann nicht ge\xC3\xB6" "ffnet werden !"; // string 50
const char* const kLine = "Zeile: %d von %d";                                           // string 100
const char* const kLines = "Zeile: %d bis %d von %d";                                   // string 101
const char* const kFontHint = "Schriftart \xC3\xA4ndern: STRG+F ";                       // string 102
const char* const kTooLarge = "Die Datei ist zu gro\xC3\x9F.";

QString ToQt(const CString& text)
{
    return QString::fromUtf8(text.GetString(), text.GetLength());
}

CString FromQt(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return CString(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
}

// The container's code separates lines with CR LF, the edit control with LF.
QString ToControl(const CString& text)
{
    QString plain = ToQt(text);
    plain.replace("\r\n", "\n");
    return plain;
}

} // namespace

// ---- CMyEdit ---------------------------------------------------------------------------------

CMyEdit::CMyEdit(CEditDlg& dialog) : QPlainTextEdit(&dialog), m_dialog(dialog)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
}

void CMyEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F && (event->modifiers() & Qt::ControlModifier) != 0) {
        m_dialog.UserChangeFont();
        return;
    }
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::NoModifier) {
        insertPlainText("\t");
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CMyEdit::keyReleaseEvent(QKeyEvent* event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    m_dialog.UpdateStatus();
}

void CMyEdit::mouseReleaseEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    m_dialog.UpdateStatus();
}

void CMyEdit::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    m_dialog.UpdateStatus();
}

// ---- CEditDlg --------------------------------------------------------------------------------

CEditDlg::CEditDlg(HWND parent, long cookie) : m_hParent(parent), m_nCookie(cookie)
{
    setWindowTitle("Script Editor");
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setModal(false);

    auto* open = new QPushButton("&Einlesen... ", this);
    auto* saveAs = new QPushButton("Speichern &als...", this);
    auto* save = new QPushButton("&Speichern", this);
    auto* undo = new QPushButton(QString::fromUtf8("&R\xC3\xBC" "ckg\xC3\xA4ngig"), this);
    m_pEdit = new CMyEdit(*this);
    m_pStatus = new QLineEdit(this);
    m_pStatus->setReadOnly(true);
    m_pStatus->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {open, saveAs, save, undo}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 0, 10, 0);
    layout->addLayout(buttons);
    layout->addWidget(m_pEdit, 1);
    layout->addWidget(m_pStatus);
    resize(430, 260);

    QFont font("Courier New");
    font.setPixelSize(13);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setWeight(QFont::Normal);
    m_pEdit->setFont(font);
    m_pStatus->setText(QString::fromUtf8(kFontHint));

    connect(open, &QPushButton::clicked, this, [this] { OnOpen(); });
    connect(saveAs, &QPushButton::clicked, this, [this] { OnSaveAs(); });
    connect(save, &QPushButton::clicked, this, [this] { SaveFile(); });
    connect(undo, &QPushButton::clicked, m_pEdit, &QPlainTextEdit::undo);
    connect(m_pEdit, &QPlainTextEdit::textChanged, this, [this] { UpdateStatus(); });
    connect(m_pEdit, &QPlainTextEdit::cursorPositionChanged, this, [this] { UpdateStatus(); });
    m_pEdit->setFocus();
    show();
}

CEditDlg::~CEditDlg() = default;

CString CEditDlg::GetText() const
{
    QString text = m_pEdit->toPlainText();
    text.replace("\n", "\r\n");
    return FromQt(text);
}

void CEditDlg::SetText(const CString& text)
{
    m_pEdit->setPlainText(ToControl(text));
    update();
}

void CEditDlg::SetTitle(const CString& title)
{
    setWindowTitle(ToQt(title));
}

BOOL CEditDlg::MarkLine(int line, int column, int length)
{
    const QTextBlock block = m_pEdit->document()->findBlockByNumber(line);
    if (line < 0 || !block.isValid())
        return FALSE;
    const int size = block.length() - 1; // without the line end
    int start = block.position();
    int end = start + size;
    if (column >= 0 && column < size)
        start = block.position() + column;
    if (length != -1 && column + length < size)
        end = start + length;
    QTextCursor cursor(m_pEdit->document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    m_pEdit->setTextCursor(cursor);
    m_pEdit->ensureCursorVisible();
    UpdateStatus();
    return TRUE;
}

void CEditDlg::Restore()
{
    showNormal();
}

void CEditDlg::BringToTop()
{
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    show();
    raise();
}

void CEditDlg::UserChangeFont()
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, m_pEdit->font(), this);
    if (ok)
        m_pEdit->setFont(font);
}

void CEditDlg::UpdateStatus()
{
    const QTextCursor cursor = m_pEdit->textCursor();
    m_nSelStart = cursor.selectionStart();
    m_nSelEnd = cursor.selectionEnd();
    const QTextDocument* document = m_pEdit->document();
    const int count = document->blockCount();
    const int first = document->findBlock(m_nSelStart).blockNumber() + 1;
    const int last = document->findBlock(m_nSelEnd).blockNumber() + 1;
    const CString text =
        m_nSelStart == m_nSelEnd ? FormatString(kLine, first, count) : FormatString(kLines, first, last, count);
    m_pStatus->setText(ToQt(text));
}

CString CEditDlg::GetStatusText() const
{
    return FromQt(m_pStatus->text());
}

void CEditDlg::focusInEvent(QFocusEvent* event)
{
    QDialog::focusInEvent(event);
    QTextCursor cursor(m_pEdit->document());
    cursor.setPosition(std::min(m_nSelStart, m_pEdit->document()->characterCount() - 1));
    cursor.setPosition(std::min(m_nSelEnd, m_pEdit->document()->characterCount() - 1), QTextCursor::KeepAnchor);
    m_pEdit->setTextCursor(cursor);
    m_pEdit->ensureCursorVisible();
}

void CEditDlg::closeEvent(QCloseEvent* event)
{
    // The parent takes the text and destroys the editor; without a parent
    // the window stays.
    event->ignore();
    if (m_hParent != nullptr) {
        m_bClosing = true;
        const QPointer<CEditDlg> alive(this);
        SendMessage(m_hParent, wm_EditClose, 0, static_cast<LPARAM>(m_nCookie));
        if (alive)
            m_bClosing = false;
    }
}

void CEditDlg::OnOpen()
{
    const QString path = QFileDialog::getOpenFileName(this, QString(), ToQt(m_strFilePath),
                                                      "Script Files (*.txt);;All Files (*)");
    if (!path.isEmpty())
        OpenFile(FromQt(path));
}

void CEditDlg::OpenFile(const CString& path)
{
    CString text;
    switch (kestrun::ReadScriptFile(path, nMaxSize, text)) {
    case kestrun::EScriptFileRead::Ok:
        // The path and title follow only a file that was read: after a
        // failed read, Save must not overwrite the other file.
        SetText(text);
        m_strFilePath = path;
        SetTitle(path);
        break;
    case kestrun::EScriptFileRead::NotOpened:
        AfxMessageBox(kCannotOpen, MB_ICONSTOP);
        break;
    case kestrun::EScriptFileRead::TooLarge:
        AfxMessageBox(kTooLarge, MB_ICONEXCLAMATION);
        break;
    }
}

bool CEditDlg::WriteTo(const CString& path)
{
    const CString text = GetText();
    std::ofstream out(path.GetString(), std::ios::binary | std::ios::trunc);
    out.write(text.GetString(), text.GetLength());
    out.close();
    if (!out) {
        AfxMessageBox(kCannotOpen, MB_ICONSTOP);
        return false;
    }
    return true;
}

void CEditDlg::SaveFile()
{
    if (!m_strFilePath.IsEmpty())
        WriteTo(m_strFilePath);
    m_pEdit->document()->clearUndoRedoStacks();
}

void CEditDlg::OnSaveAs()
{
    const QString path = QFileDialog::getSaveFileName(this, QString(), ToQt(m_strFilePath), "Script Files (*.txt)");
    if (!path.isEmpty())
        SaveFileAs(FromQt(path));
    else
        m_pEdit->document()->clearUndoRedoStacks();
}

void CEditDlg::SaveFileAs(const CString& path)
{
    if (WriteTo(path)) {
        m_strFilePath = path;
        SetTitle(path);
    }
    m_pEdit->document()->clearUndoRedoStacks();
}

void CEditDlg::Serialize(CArchive& ar)
{
    CString text = ar.IsStoring() ? GetText() : CString();
    kestrun::SerializeScriptText(ar, text);
    if (ar.IsLoading())
        SetText(text);
}
