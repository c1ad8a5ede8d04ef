#include "database/ui/dbnewentrydlg.h"

#include "database/ui/masterdataresources.h"
#include "platform/ui/ddx.h"

using namespace kestrun::dbui;

CDBNewEntryDlg::CDBNewEntryDlg(CWnd* pParentWnd)
    : CDialog((RegisterMasterDataDialogs(), IDD_DBNEWENTRY), pParentWnd)
{
}

BOOL CDBNewEntryDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Also an empty title: the template's caption belongs to no caller.
    SetWindowText(m_strTitle);
    return TRUE;
}

void CDBNewEntryDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, static_cast<int>(IDC_NEW_ENTRY_TEXT), m_strText);
}
