#include "series/ui/griddlg.h"

#include "platform/ui/dialogtemplate.h"
#include "platform/ui/listboxes.h"

#include <mutex>

IMPLEMENT_DYNAMIC(CGridDlg, CPropertyPage)

namespace {

void registerTemplate()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        RegisterDialogTemplate(CGridDlg::IDD,
                               {"Draw Parameter",
                                CRect(0, 0, 160, 150),
                                {
                                    ListBox(CGridDlg::IDC_ENTRY_LIST, 7, 7, 146, 136,
                                            LBS_NOTIFY | LBS_MULTIPLESEL | WS_VSCROLL | WS_TABSTOP),
                                }});
    });
}

} // namespace

BEGIN_MESSAGE_MAP(CGridDlg, CPropertyPage)
    ON_LBN_SELCHANGE(IDC_ENTRY_LIST, OnSelChangeList)
END_MESSAGE_MAP()

CGridDlg::CGridDlg() : CPropertyPage((registerTemplate(), IDD))
{
    BuildMessageMap();
}

CGridDlg::~CGridDlg()
{
    DestroyHandleNow();
}

void CGridDlg::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle ? lpszTitle : "";
    m_psp.pszTitle = m_strTitle;
    m_psp.dwFlags |= PSP_USETITLE;
}

CListBox* CGridDlg::EntryList() const
{
    return DYNAMIC_DOWNCAST(CListBox, GetDlgItem(static_cast<int>(IDC_ENTRY_LIST)));
}

BOOL CGridDlg::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (CListBox* list = EntryList()) {
        for (INT_PTR i = 0; i < m_arrNames.GetSize(); ++i) {
            const int entry = list->AddString(m_arrNames[i]);
            list->SetSel(entry, i < m_arrSelected.GetSize() && m_arrSelected[i] != 0);
        }
    }
    return TRUE;
}

void CGridDlg::OnSelChangeList()
{
    CListBox* list = EntryList();
    if (list == nullptr)
        return;
    m_arrSelected.RemoveAll();
    for (int i = 0; i < list->GetCount(); ++i)
        m_arrSelected.Add(list->GetSel(i) > 0 ? 1 : 0);
}
