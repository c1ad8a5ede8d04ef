// The chart windows: each paints its control over its client area.

#include "series/ui/chartcontrols.h"

#include "series/ui/chartpropsdlg.h"

#include "platform/core/messagebox.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/qtdc.h"
#include "platform/ui/windowdc.h"

#include <QImage>

#include <algorithm>

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
    CChartPropertiesDlg dialog(GetControl(), this);
    if (dialog.DoModal() == IDOK && GetSafeHwnd() != nullptr)
        Invalidate(FALSE);
}

void _DBIChart::OnPaint()
{
    CPaintDC dc(this);
    GetControl().DrawTo(&dc, ClientOf(*this));
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

namespace kestrun {

void CopyPictureToClipboard(const CSize& size, const std::function<void(CDC*, const CRect&)>& draw)
{
    QImage picture(std::max(size.cx, 1), std::max(size.cy, 1), QImage::Format_RGB32);
    if (picture.isNull()) {
        AfxMessageBox("Not enought memory!", MB_ICONSTOP);
        return;
    }
    picture.fill(Qt::white);
    {
        CQtDC dc(picture);
        draw(&dc, CRect(0, 0, picture.width(), picture.height()));
        dc.End();
    }
    if (!SetClipboardImage(picture.width(), picture.height(), picture.constBits(),
                           static_cast<int>(picture.bytesPerLine()), 32))
        AfxMessageBox("Cannot open Clipboard");
}

} // namespace kestrun
