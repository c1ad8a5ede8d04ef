#pragma once
// CAboutDlg: the program's name and version.

#include "platform/ui/dialog.h"

class CAboutDlg : public CDialog
{
public:
    explicit CAboutDlg(CWnd* pParentWnd = nullptr);

    // "%d.%d.%d.%d" of the program's version.
    static CString VersionText();

protected:
    BOOL OnInitDialog() override;
};
