#pragma once
// CEditDlg: the modeless script editor - the code in a fixed-pitch font,
// plain text files read and written, the caret's line in a status line,
// the line of a script error marked. Closing it only tells the parent
// ("MESSAGE_EDIT_CLOSE" with the cookie); the parent takes the text and
// then destroys the editor.

#include "scripthost/scripteditor.h"

#include <QDialog>
#include <QPlainTextEdit>

class QLineEdit;
class CArchive;
class CEditDlg;

// The editor's edit control: Tab inserts a tab, Ctrl+F changes the font.
class CMyEdit : public QPlainTextEdit
{
public:
    explicit CMyEdit(CEditDlg& dialog);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    CEditDlg& m_dialog;
};

class CEditDlg : public QDialog, public IScriptEditor
{
public:
    // The largest text in bytes the editor reads.
    static constexpr int nMaxSize = 32767;

    explicit CEditDlg(HWND parent, long cookie);
    ~CEditDlg() override;

    // IScriptEditor
    CString GetText() const override;
    void SetText(const CString& text) override;
    void SetTitle(const CString& title) override;
    BOOL MarkLine(int line, int column, int length) override;
    void Restore() override;
    void BringToTop() override;

    void UserChangeFont();
    // The buttons' work, without their file dialogs.
    void OpenFile(const CString& path);
    void SaveFile();
    void SaveFileAs(const CString& path);
    // The archive form: 32-bit length, then the bytes.
    void Serialize(CArchive& ar);

    const CString& GetFilePath() const { return m_strFilePath; }
    CString GetStatusText() const;
    CMyEdit& GetEditCtrl() { return *m_pEdit; }
    // Inside the closing notice: the parent may let the editor go, which
    // must then wait until the notice has returned.
    bool IsClosing() const { return m_bClosing; }
    void UpdateStatus();

protected:
    void closeEvent(QCloseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void OnOpen();
    void OnSaveAs();
    bool WriteTo(const CString& path);

    HWND m_hParent;
    long m_nCookie;
    CString m_strFilePath;
    CMyEdit* m_pEdit = nullptr;
    QLineEdit* m_pStatus = nullptr;
    int m_nSelStart = 0;
    int m_nSelEnd = 0;
    bool m_bClosing = false;
};
