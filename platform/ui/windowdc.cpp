#include "platform/ui/windowdc.h"

#include "platform/core/exceptions.h"
#include "platform/ui/wnd.h"

#include <QPainter>
#include <QWidget>

IMPLEMENT_DYNAMIC(CPaintDC, CQtDC)
IMPLEMENT_DYNAMIC(CClientDC, COverlayDC)

namespace {

QWidget& clientOf(CWnd* pWnd)
{
    QWidget* client = pWnd ? pWnd->GetClientWidget() : nullptr;
    if (client == nullptr)
        AfxThrowInvalidArgException();
    return *client;
}

} // namespace

namespace kestrun::detail {

CPaintPainter::CPaintPainter(CWnd* pWnd) : m_ownPaintPainter(std::make_unique<QPainter>(&clientOf(pWnd)))
{
}

CPaintPainter::~CPaintPainter()
{
    if (m_ownPaintPainter && m_ownPaintPainter->isActive())
        m_ownPaintPainter->end();
}

} // namespace kestrun::detail

CPaintDC::CPaintDC(CWnd* pWnd) : CPaintPainter(pWnd), CQtDC(*m_ownPaintPainter), m_pWnd(pWnd)
{
    m_ps.hdc = this;
    m_ps.fErase = TRUE;
    pWnd->GetClientRect(&m_ps.rcPaint);
}

CPaintDC::~CPaintDC() = default;

CClientDC::CClientDC(CWnd* pWnd) : COverlayDC(clientOf(pWnd)), m_pWnd(pWnd)
{
}

CClientDC::~CClientDC() = default;
