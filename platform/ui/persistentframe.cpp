#include "platform/ui/persistentframe.h"

#include "platform/core/profile.h"
#include "platform/ui/controlbar.h"
#include "platform/ui/frame.h"
#include "platform/ui/winapp.h"

#include <cstdlib>

IMPLEMENT_DYNAMIC(CPersistentFrame, CObject)

namespace {

// The number written at a position of the text; 0 past its end.
int NumberAt(const CString& text, int nPos)
{
    return nPos < text.GetLength() ? std::atoi(text.GetString() + nPos) : 0;
}

} // namespace

CPersistentFrame::CPersistentFrame()
    : m_strRectKey("Rect"), m_strIconKey("icon"), m_strMaxKey("max"), m_strToolKey("tool"),
      m_strStatusKey("status"), m_rectDefault(10, 10, 500, 400)
{
}

void CPersistentFrame::Attach(CWnd* pWnd, LPCTSTR lpszSection)
{
    m_pWnd = pWnd;
    m_strSection = lpszSection ? lpszSection : "";
}

CWnd* CPersistentFrame::PlacedWindow() const
{
    if (m_pWnd == nullptr)
        return nullptr;
    CWnd* parent = m_pWnd->GetParent();
    return parent ? parent : m_pWnd;
}

CFrameWnd* CPersistentFrame::PlacedFrame() const
{
    return DYNAMIC_DOWNCAST(CFrameWnd, PlacedWindow());
}

CRect CPersistentFrame::ReadRect() const
{
    const CString text = GetProfileString(m_strSection, m_strRectKey, "");
    if (text.IsEmpty())
        return m_rectDefault;
    const CRect rect(NumberAt(text, 0), NumberAt(text, 5), NumberAt(text, 10), NumberAt(text, 15));
    if (m_pWnd->GetParent() == nullptr)
        return rect;
    // A child frame must lie inside the main window's client area.
    CRect client;
    if (CWnd* main = AfxGetMainWnd())
        main->GetClientRect(&client);
    if (rect.right > client.right || rect.bottom > client.bottom || rect.left < 0 || rect.top < 0)
        return m_rectDefault;
    return rect;
}

BOOL CPersistentFrame::LoadWindowPlacement(BOOL bMaximiseByDefault)
{
    if (!m_bFirstTime || m_pWnd == nullptr)
        return FALSE;
    m_bFirstTime = FALSE;

    const CRect rect = ReadRect();
    const BOOL bIconic = GetProfileInt(m_strSection, m_strIconKey, 0) != 0;
    const BOOL bMaximised = GetProfileInt(m_strSection, m_strMaxKey, bMaximiseByDefault ? 1 : 0) != 0;

    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (bIconic) {
        placement.showCmd = SW_SHOWMINNOACTIVE;
        if (bMaximised)
            placement.flags = WPF_RESTORETOMAXIMIZED;
    } else if (bMaximised) {
        placement.showCmd = SW_SHOWMAXIMIZED;
        placement.flags = WPF_RESTORETOMAXIMIZED;
    } else {
        placement.showCmd = SW_SHOWNORMAL;
    }
    placement.ptMinPosition = CPoint(0, 0);
    placement.ptMaxPosition = CPoint(-::GetSystemMetrics(SM_CXBORDER), -::GetSystemMetrics(SM_CYBORDER));
    placement.rcNormalPosition = rect;

    if (CFrameWnd* frame = PlacedFrame()) {
        const BOOL bTool = GetProfileInt(m_strSection, m_strToolKey, 1) != 0;
        const BOOL bStatus = GetProfileInt(m_strSection, m_strStatusKey, 1) != 0;
        if (CControlBar* bar = frame->GetControlBar(AFX_IDW_TOOLBAR))
            frame->ShowControlBar(bar, bTool, FALSE);
        if (CControlBar* bar = frame->GetControlBar(AFX_IDW_STATUS_BAR))
            frame->ShowControlBar(bar, bStatus, FALSE);
    }

    if (CWnd* parent = m_pWnd->GetParent()) {
        parent->SetWindowPlacement(&placement);
        parent->ShowWindow(placement.showCmd);
    } else {
        m_pWnd->SetWindowPlacement(&placement);
        m_pWnd->ShowWindow(placement.showCmd);
        if (placement.showCmd != SW_SHOWMAXIMIZED)
            m_pWnd->CenterWindow();
    }
    return TRUE;
}

void CPersistentFrame::SaveWindowPlacement()
{
    CWnd* window = PlacedWindow();
    if (window == nullptr)
        return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!window->GetWindowPlacement(&placement))
        return;
    int nIcon = 0;
    int nMax = 0;
    if (placement.showCmd == SW_SHOWMINIMIZED) {
        nIcon = 1;
        nMax = (placement.flags & WPF_RESTORETOMAXIMIZED) ? 1 : 0;
    } else if (placement.showCmd == SW_SHOWMAXIMIZED) {
        nMax = 1;
    }
    const CRect& rect = placement.rcNormalPosition;
    CString text;
    text.Format("%04d %04d %04d %04d", rect.left, rect.top, rect.right, rect.bottom);
    WriteProfileString(m_strSection, m_strRectKey, text);
    WriteProfileInt(m_strSection, m_strIconKey, nIcon);
    WriteProfileInt(m_strSection, m_strMaxKey, nMax);
    if (CFrameWnd* frame = PlacedFrame()) {
        if (CControlBar* tool = frame->GetControlBar(AFX_IDW_TOOLBAR)) {
            WriteProfileInt(m_strSection, m_strToolKey, tool->IsWindowVisible() ? 1 : 0);
            CControlBar* status = frame->GetControlBar(AFX_IDW_STATUS_BAR);
            WriteProfileInt(m_strSection, m_strStatusKey, (status && status->IsWindowVisible()) ? 1 : 0);
        }
    }
}
