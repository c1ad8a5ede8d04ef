#include "platform/ui/persistentdlg.h"

#include "platform/core/profile.h"
#include "platform/ui/wnd.h"

#include <cstdlib>

IMPLEMENT_DYNAMIC(CPersistentDlg, CObject)

void CPersistentDlg::Attach(CWnd* pWnd, LPCTSTR lpszSection)
{
    m_pWnd = pWnd;
    m_strSection = lpszSection ? lpszSection : "";
}

BOOL CPersistentDlg::RestorePlacement()
{
    if (!m_bFirstTime)
        return FALSE;
    m_bFirstTime = FALSE;
    const CString text = GetProfileString(m_strSection, m_strPositionKey, "");
    if (text.IsEmpty() || m_pWnd == nullptr)
        return TRUE;
    const int x = std::atoi(text.GetString());
    const int y = text.GetLength() > 5 ? std::atoi(text.GetString() + 5) : 0;
    CRect window;
    m_pWnd->GetWindowRect(&window);
    if (x >= 1 && y >= 1 && x + window.Width() < ::GetSystemMetrics(SM_CXSCREEN) &&
        y + window.Height() < ::GetSystemMetrics(SM_CYSCREEN))
        m_pWnd->SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

void CPersistentDlg::SavePlacement()
{
    if (m_pWnd == nullptr)
        return;
    CRect window;
    m_pWnd->GetWindowRect(&window);
    CString text;
    text.Format("%04d %04d", window.left, window.top);
    WriteProfileString(m_strSection, m_strPositionKey, text);
}
