#include "analysis/ui/formsheet.h"

#include "platform/core/messages.h"

IMPLEMENT_DYNAMIC(CFormSheet, CPropertySheet)

CFormSheet::CFormSheet(LPCTSTR pszCaption, CWnd* pOwner, UINT iSelectPage)
    : CPropertySheet(pszCaption, pOwner, iSelectPage), m_pOwner(pOwner)
{
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    m_Page1.m_pFormThres = &m_FormThres;
    m_Page2.m_pFormThres = &m_FormThres;
    m_Page3.m_pFormThres = &m_FormThres;
    AddPage(&m_Page1);
    AddPage(&m_Page2);
    AddPage(&m_Page3);
}

CFormSheet::~CFormSheet()
{
    DestroyHandleNow();
}

BOOL CFormSheet::OnInitDialog()
{
    m_bInitialized = 0;
    const BOOL result = CPropertySheet::OnInitDialog();
    m_bInitialized = 1;
    m_hOwner = m_pOwner != nullptr ? m_pOwner->GetSafeHwnd() : nullptr;
    return result;
}

BOOL CFormSheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOKButton();
        return TRUE;
    case IDCANCEL:
        Close(2);
        return TRUE;
    default:
        return CPropertySheet::OnCommand(wParam, lParam);
    }
}

void CFormSheet::OnOKButton()
{
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* page = GetPage(i);
        if (page->m_hWnd != nullptr && !page->UpdateData(TRUE)) {
            SetActivePage(i);
            return;
        }
    }
    if (m_Page1.m_hWnd != nullptr && !m_Page1.TakeListOver()) {
        SetActivePage(&m_Page1);
        return;
    }
    Close(1);
}

void CFormSheet::Close(int nResult)
{
    m_nResult = nResult;
    DestroyWindow();
}

void CFormSheet::OnDestroy()
{
    CPropertySheet::OnDestroy();
    // The owner deletes the sheet on the second report: both are posted.
    if (m_hOwner != nullptr) {
        ::PostMessage(m_hOwner, kCloseReport, static_cast<WPARAM>(m_nResult), kReportSheet);
        ::PostMessage(m_hOwner, kCloseReport, static_cast<WPARAM>(m_nResult), kReportForm);
    }
}
