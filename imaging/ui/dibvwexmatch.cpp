// CDIBVwEx: the matching windows - the pattern-matching control and the
// area pattern check - opened once per view on the image document's
// areas, and told when the areas change.

#include "imaging/ui/dibvwex.h"

#include "imaging/ui/dibviewcommands.h"
#include "imaging/ui/matchdlg0.h"
#include "imaging/ui/matchdlg8.h"
#include "imaging/dibdocex.h"

#include "platform/core/messagebox.h"

void CDIBVwEx::RegisterMatchCommands()
{
    using ThisClass = CDIBVwEx;
    ON_COMMAND(ID_TOOL_PATTERN_MATCHING, OnToolPatternMatching)
    ON_UPDATE_COMMAND_UI(ID_TOOL_PATTERN_MATCHING, OnUpdateMatchTools)
    ON_COMMAND(ID_VIEW_AOI_MATCH, OnToolMatch)
    ON_UPDATE_COMMAND_UI(ID_VIEW_AOI_MATCH, OnUpdateMatchTools)
}

void CDIBVwEx::OnUpdateMatchTools(CCmdUI* pCmdUI)
{
    // The matching works on the image commands' document.
    pCmdUI->Enable(dynamic_cast<CDIBDocEx*>(GetDocument()) != nullptr);
}

void CDIBVwEx::OnToolPatternMatching()
{
    auto* doc = dynamic_cast<CDIBDocEx*>(GetDocument());
    if (doc == nullptr || m_pMatchDlg8)
        return;
    auto dialog = std::make_unique<CMatchDlg8>();
    dialog->SetDocument(doc);
    if (!dialog->Create(this)) {
        AfxMessageBox("Cannot create window");
        return;
    }
    m_pMatchDlg8 = std::move(dialog);
}

void CDIBVwEx::OnToolMatch()
{
    auto* doc = dynamic_cast<CDIBDocEx*>(GetDocument());
    if (doc == nullptr || m_pMatchDlg0)
        return;
    auto dialog = std::make_unique<CMatchDlg0>();
    dialog->SetDocument(doc);
    if (!dialog->Create(this)) {
        AfxMessageBox("Cannot create window");
        return;
    }
    m_pMatchDlg0 = std::move(dialog);
}

void CDIBVwEx::NotifyPatternMatching(int nKind, int nWord)
{
    if (m_pMatchDlg8 && m_pMatchDlg8->GetSafeHwnd() != nullptr)
        m_pMatchDlg8->OnUpdateNotice(nKind, nWord);
}

void CDIBVwEx::CloseMatchWindows()
{
    for (CMatchDlg* dialog : {static_cast<CMatchDlg*>(m_pMatchDlg0.get()), static_cast<CMatchDlg*>(m_pMatchDlg8.get())})
        if (dialog != nullptr)
            dialog->ForgetOwnerWindow();
    m_pMatchDlg0.reset();
    m_pMatchDlg8.reset();
}
