#pragma once
// The area correction factors, one per vessel fill level from 60 ml to
// 120 ml; a comma is taken for the decimal point.
#include "platform/ui/dialog.h"

class CCorrectionDlg : public CDialog
{
public:
    enum
    {
        levels = 7,
    };

    explicit CCorrectionDlg(CWnd* pParentWnd = nullptr);

    // The caller sets them before DoModal and reads them after OK.
    float m_fFactor[levels] = {0.1F, 0.1F, 0.1F, 0.1F, 0.1F, 0.1F, 0.1F};

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

// The barcode text the tray-scan form searches for.
class CDBSearchOptDlg : public CDialog
{
public:
    explicit CDBSearchOptDlg(CWnd* pParentWnd = nullptr);

    CString m_strBarCode;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
