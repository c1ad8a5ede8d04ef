#include "app/hardwaredlg.h"

#include "app/appresources.h"
#include "app/resource.h"

#include "platform/ui/ddx.h"

CHardwareDlg::CHardwareDlg(CWnd* pParentWnd) : CDialog(IDD_HARDWARE_SELECT, pParentWnd)
{
    kestrun::RegisterAppResources();
}

void CHardwareDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_HARDWARE_TYPE, m_nType);
}
