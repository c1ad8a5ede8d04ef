#include "outside/scansource/ui/sourceselectdlg.h"

#include "platform/core/messagebox.h"
#include "platform/ui/button.h"
#include "platform/ui/staticedit.h"

IMPLEMENT_DYNAMIC(CSourceSelectDlg, CDialog)

CSourceSelectDlg::CSourceSelectDlg(const std::vector<CSaneDeviceInfo>& devices, int nCurrent)
    : CDialog(0, nullptr), m_devices(devices), m_nSelected(nCurrent)
{
}

CString CSourceSelectDlg::DeviceText(const CSaneDeviceInfo& device)
{
    CString text = device.name;
    const CString maker = (device.vendor + " " + device.model).Trim();
    if (!maker.IsEmpty())
        text += " - " + maker;
    return text;
}

void CSourceSelectDlg::OnCreateControls()
{
    auto prompt = std::make_unique<CStatic>();
    prompt->Create("Sources:", WS_CHILD | WS_VISIBLE, CRect(10, 8, 330, 26), this, IDC_STATIC);
    AddControl(std::move(prompt));
    auto list = std::make_unique<CListBox>();
    list->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_BORDER, CRect(10, 28, 330, 180), this,
                 IDC_SOURCE_LIST);
    m_pList = AddControl(std::move(list));
    auto ok = std::make_unique<CButton>();
    ok->Create("Select", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, CRect(170, 190, 245, 214), this, IDOK);
    AddControl(std::move(ok));
    auto cancel = std::make_unique<CButton>();
    cancel->Create("Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(255, 190, 330, 214), this, IDCANCEL);
    AddControl(std::move(cancel));
}

BOOL CSourceSelectDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText("Select Source");
    for (const CSaneDeviceInfo& device : m_devices)
        m_pList->AddString(DeviceText(device));
    m_pList->SetCurSel(m_nSelected);
    return TRUE;
}

void CSourceSelectDlg::OnOK()
{
    m_nSelected = m_pList->GetCurSel();
    if (m_nSelected < 0)
        return; // nothing chosen yet
    CDialog::OnOK();
}

int CDialogSourceUi::ChooseSource(const std::vector<CSaneDeviceInfo>& devices, int nCurrent)
{
    CSourceSelectDlg dialog(devices, nCurrent);
    return dialog.DoModal() == IDOK ? dialog.GetSelected() : -1;
}

bool CDialogSourceUi::ConfirmScan(const CSaneDeviceInfo& device)
{
    return AfxMessageBox(FormatString("Scan a page with %s?", CSourceSelectDlg::DeviceText(device).GetString()),
                         MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void CDialogSourceUi::ShowError(const CString& strText) { AfxMessageBox(strText, MB_ICONEXCLAMATION); }
