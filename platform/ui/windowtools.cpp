#include "platform/ui/windowtools.h"

#include "platform/ui/wnd.h"

#include <QApplication>
#include <QCursor>

CWaitCursorCapture::CWaitCursorCapture(CWnd* pWnd) : m_pWnd(pWnd)
{
    if (qApp != nullptr) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        m_bCursor = true;
    }
    if (m_pWnd != nullptr)
        m_pWnd->SetCapture();
}

CWaitCursorCapture::~CWaitCursorCapture()
{
    if (m_bCursor && qApp != nullptr)
        QApplication::restoreOverrideCursor();
    if (m_pWnd != nullptr && CWnd::GetCapture() == m_pWnd)
        ReleaseCapture();
}

void ScaleRectToWindow(CRect& rect, const CWnd* pWnd, const CRect& ref)
{
    CRect window;
    pWnd->GetWindowRect(&window);
    const double sx = ref.Width() != 0 ? static_cast<double>(window.Width()) / ref.Width() : 1.0;
    const double sy = ref.Height() != 0 ? static_cast<double>(window.Height()) / ref.Height() : 1.0;
    const int left = static_cast<int>((rect.left - window.left) * sx);
    const int top = static_cast<int>((rect.top - window.top) * sy);
    const int right = left + static_cast<int>(rect.Width() * sx);
    const int bottom = top + static_cast<int>(rect.Height() * sy);
    rect = CRect(left, top, right, bottom);
}
