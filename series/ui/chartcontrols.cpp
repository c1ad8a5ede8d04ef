// The chart windows: each paints its control over its client area.

#include "series/ui/chartcontrols.h"

#include "series/ui/chartpropsdlg.h"

#include "platform/ui/windowdc.h"

IMPLEMENT_DYNAMIC(_DBIChart, CWnd)
IMPLEMENT_DYNAMIC(_DBIHist, CWnd)

namespace {

CRect ClientOf(const CWnd& wnd)
{
    CRect rect;
    wnd.GetClientRect(&rect);
    return rect;
}

} // namespace

_DBIChart::_DBIChart() = default;

_DBIChart::~_DBIChart()
{
    // The widget paints the control: the window goes first.
    DestroyHandleNow();
}

BOOL _DBIChart::Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(nullptr, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

void _DBIChart::ShowProperties()
{
    CChartPropertiesDlg dialog(m_control, this);
    if (dialog.DoModal() == IDOK && GetSafeHwnd() != nullptr)
        Invalidate(FALSE);
}

void _DBIChart::OnPaint()
{
    CPaintDC dc(this);
    m_control.DrawTo(&dc, ClientOf(*this));
}

_DBIHist::_DBIHist() = default;

_DBIHist::~_DBIHist()
{
    DestroyHandleNow();
}

BOOL _DBIHist::Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(nullptr, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

void _DBIHist::OnPaint()
{
    CPaintDC dc(this);
    m_control.DrawTo(&dc, ClientOf(*this));
}
