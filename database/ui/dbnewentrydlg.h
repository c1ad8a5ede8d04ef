#pragma once
// The one-field entry of the master-data dialogs: the caller sets the title,
// runs it and checks the answer and the text for emptiness itself.
#include "platform/ui/dialog.h"

class CDBNewEntryDlg : public CDialog
{
public:
    explicit CDBNewEntryDlg(CWnd* pParentWnd = nullptr);

    CString m_strTitle;
    CString m_strText;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
};
