#include "imaging/ui/matchdlg.h"

#include "platform/core/messages.h"

IMPLEMENT_DYNAMIC(CMatchDlg, CDialog)

BOOL CMatchDlg::CreateTool(UINT nIDTemplate, CWnd* pOwner)
{
    m_hOwner = pOwner != nullptr ? pOwner->GetSafeHwnd() : nullptr;
    return CDialog::Create(nIDTemplate, pOwner);
}

void CMatchDlg::OnUpdateNotice(int, int)
{
}

void CMatchDlg::OnOK()
{
    DestroyWindow();
}

void CMatchDlg::OnCancel()
{
    DestroyWindow();
}

void CMatchDlg::OnDestroy()
{
    CDialog::OnDestroy();
    if (m_hOwner != nullptr)
        ::PostMessage(m_hOwner, kCloseReport, 1, m_reportId);
}
