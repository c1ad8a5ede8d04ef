// The editor library hands the script containers its editor when it loads.

#include "scripthost/ui/editdlg.h"

#include "platform/ui/wnd.h"

#include <QPointer>

namespace {

// The container's hold on an editor. Letting go closes the window; when
// that happens inside the editor's own closing notice, the dialog is
// deleted once the notice has returned.
class CEditorHandle : public IScriptEditor
{
public:
    CEditorHandle(HWND parent, long cookie) : m_pDialog(new CEditDlg(parent, cookie)) {}
    ~CEditorHandle() override
    {
        if (!m_pDialog)
            return;
        m_pDialog->hide();
        if (m_pDialog->IsClosing())
            m_pDialog->deleteLater();
        else
            delete m_pDialog.data();
    }
    CEditorHandle(const CEditorHandle&) = delete;
    CEditorHandle& operator=(const CEditorHandle&) = delete;

    CString GetText() const override { return m_pDialog ? m_pDialog->GetText() : CString(); }
    void SetText(const CString& text) override
    {
        if (m_pDialog)
            m_pDialog->SetText(text);
    }
    void SetTitle(const CString& title) override
    {
        if (m_pDialog)
            m_pDialog->SetTitle(title);
    }
    BOOL MarkLine(int line, int column, int length) override
    {
        return m_pDialog ? m_pDialog->MarkLine(line, column, length) : FALSE;
    }
    void Restore() override
    {
        if (m_pDialog)
            m_pDialog->Restore();
    }
    void BringToTop() override
    {
        if (m_pDialog)
            m_pDialog->BringToTop();
    }

private:
    QPointer<CEditDlg> m_pDialog;
};

class CEditorProvider : public IScriptEditorProvider
{
public:
    std::unique_ptr<IScriptEditor> Create(HWND parent, long cookie) override
    {
        return std::make_unique<CEditorHandle>(parent, cookie);
    }

    CString GetWindowText(HWND window) const override
    {
        CString text;
        if (CWnd* wnd = CWnd::FromHandle(window))
            wnd->GetWindowText(text);
        return text;
    }
};

const bool g_bRegistered = (kestrun::SetScriptEditorProvider(std::make_shared<CEditorProvider>()), true);

} // namespace
