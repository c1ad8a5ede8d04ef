#include "platform/ui/persistentframe.h"

#include "platform/core/profile.h"
#include "platform/ui/controlbar.h"
#include "platform/ui/frame.h"
#include "platform/ui/mdi.h"
#include "platform/ui/winapp.h"

#include <QWidget>

#include <algorithm>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CPersistentFrame, CObject)

namespace {

// The number written at a position of the text; 0 past its end.
int NumberAt(const CString& text, int nPos)
{
    return nPos < text.GetLength() ? std::atoi(text.GetString() + nPos) : 0;
}

// A negative number would not keep its four places in the text: a window
// partly off the screen's top or left edge is kept at the edge.
CRect AtOrRightBelowOrigin(CRect rect)
{
    rect.OffsetRect(std::max(0, -rect.left), std::max(0, -rect.top));
    return rect;
}

// The client area of the main window that a child frame must lie in.
CRect MainClientRect()
{
    CRect client;
    if (auto* mdi = DYNAMIC_DOWNCAST(CMDIFrameWnd, AfxGetMainWnd()))
        mdi->GetMDIClientRect(&client);
    else if (CWnd* main = AfxGetMainWnd())
        main->GetClientRect(&client);
    return client;
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

CRect CPersistentFrame::ReadRect(bool& bDefault) const
{
    bDefault = true;
    const CString text = GetProfileString(m_strSection, m_strRectKey, "");
    if (text.IsEmpty())
        return m_rectDefault;
    const CRect rect(NumberAt(text, 0), NumberAt(text, 5), NumberAt(text, 10), NumberAt(text, 15));
    bDefault = false;
    if (m_pWnd->GetParent() == nullptr)
        return AtOrRightBelowOrigin(rect);
    // A child frame must lie inside the main window's client area.
    const CRect client = MainClientRect();
    bDefault = rect.right > client.right || rect.bottom > client.bottom || rect.left < 0 || rect.top < 0;
    return bDefault ? m_rectDefault : rect;
}

BOOL CPersistentFrame::LoadWindowPlacement(BOOL bMaximiseByDefault)
{
    if (!m_bFirstTime || m_pWnd == nullptr)
        return FALSE;
    m_bFirstTime = FALSE;

    bool bDefault = true;
    const CRect rect = ReadRect(bDefault);
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

    CWnd* placed = PlacedWindow();
    // A top-level window keeps its client geometry: the frame the window
    // system adds is not known before the window shows.
    if (QWidget* widget = placed->GetWidget(); widget && widget->isWindow()) {
        widget->setWindowState(Qt::WindowNoState);
        if (bDefault) {
            // A first start puts the outer corner there, title bar and all.
            widget->resize(rect.Width(), rect.Height());
            widget->move(rect.left, rect.top);
        } else {
            widget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
        }
        placement.rcNormalPosition = CRect();
    }
    placed->SetWindowPlacement(&placement);
    placed->ShowWindow(placement.showCmd);
    if (placed == m_pWnd && placement.showCmd != SW_SHOWMAXIMIZED)
        m_pWnd->CenterWindow();
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
    CRect rect = placement.rcNormalPosition;
    if (const QWidget* widget = window->GetWidget(); widget && widget->isWindow()) {
        // The same client geometry that LoadWindowPlacement restores.
        QRect normal = widget->normalGeometry();
        if (!normal.isValid())
            normal = widget->geometry();
        rect.SetRect(normal.left(), normal.top(), normal.left() + normal.width(), normal.top() + normal.height());
    }
    rect = AtOrRightBelowOrigin(rect);
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
