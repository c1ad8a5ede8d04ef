// The editor library hands the script containers its editor when it loads.

#include "scripthost/ui/editdlg.h"

#include "platform/ui/wnd.h"

namespace {

class CEditorProvider : public IScriptEditorProvider
{
public:
    std::unique_ptr<IScriptEditor> Create(HWND parent, long cookie) override
    {
        return std::make_unique<CEditDlg>(parent, cookie);
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
