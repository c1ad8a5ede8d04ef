#pragma once
// CHardwareDlg: the A/D converter hardware (0 "DCI14 Card", 1 "Adlink
// Card", 2 "UDAS USB Device"; -1 none).

#include "platform/ui/dialog.h"

class CHardwareDlg : public CDialog
{
public:
    explicit CHardwareDlg(CWnd* pParentWnd = nullptr);

    int m_nType = -1;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
