#include "database/ui/correctiondlg.h"

#include "database/ui/dbdlgresources.h"
#include "platform/ui/ddx.h"

using namespace kestrun::dbui;

CCorrectionDlg::CCorrectionDlg(CWnd* pParentWnd) : CDialog((RegisterDatabaseDialogs(), IDD_CORRECTION), pParentWnd) {}

void CCorrectionDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    if (pDX->m_bSaveAndValidate) {
        // "1,25" is read as 1.25; a second comma stays and is refused.
        for (int i = 0; i < levels; ++i) {
            const int id = static_cast<int>(IDC_FACTOR60) + i;
            CString text;
            GetDlgItemText(id, text);
            const int comma = text.Find(',');
            if (!text.IsEmpty() && comma >= 0) {
                CString point = text.Left(comma);
                point += '.';
                point += text.Mid(comma + 1);
                SetDlgItemText(id, point);
            }
        }
    }
    for (int i = 0; i < levels; ++i) {
        DDX_Text(pDX, static_cast<int>(IDC_FACTOR60) + i, m_fFactor[i]);
        DDV_MinMaxFloat(pDX, m_fFactor[i], 0.1F, 2.0F);
    }
}

CDBSearchOptDlg::CDBSearchOptDlg(CWnd* pParentWnd) : CDialog((RegisterDatabaseDialogs(), IDD_DBSEARCHOPT), pParentWnd)
{
}

void CDBSearchOptDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, static_cast<int>(IDC_BARCODE), m_strBarCode);
}
