#include "platform/ui/scrollview.h"

#include "platform/core/dc.h"
#include "platform/core/recording_dc.h"
#include "platform/ui/frame.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CScrollView, CView)

const SIZE CScrollView::sizeDefault = {0, 0};

namespace {

QAbstractScrollArea* areaOf(const CWnd* wnd)
{
    return qobject_cast<QAbstractScrollArea*>(wnd->GetWidget());
}

QScrollBar* barOf(const CWnd* wnd, int nBar)
{
    QAbstractScrollArea* area = areaOf(wnd);
    if (area == nullptr)
        return nullptr;
    return nBar == SB_HORZ ? area->horizontalScrollBar() : nBar == SB_VERT ? area->verticalScrollBar() : nullptr;
}

// Logical sizes and points of a mapping mode in device pixels of a screen.
CSize toDevice(int mapMode, SIZE size)
{
    CRecordingDC dc;
    dc.SetMapMode(mapMode);
    CSize s(size);
    dc.LPtoDP(&s);
    return CSize(std::abs(s.cx), std::abs(s.cy));
}

} // namespace

CScrollView::CScrollView() = default;

CScrollView::~CScrollView() = default;

QWidget* CScrollView::CreateWidget(QWidget* parent, const CREATESTRUCT&)
{
    auto* area = new QAbstractScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QObject::connect(area->horizontalScrollBar(), &QScrollBar::valueChanged, area, [this] { ScrollBarsMoved(SB_HORZ); });
    QObject::connect(area->verticalScrollBar(), &QScrollBar::valueChanged, area, [this] { ScrollBarsMoved(SB_VERT); });
    return area;
}

QWidget* CScrollView::GetClientWidget() const
{
    QAbstractScrollArea* area = areaOf(this);
    return area ? area->viewport() : CView::GetClientWidget();
}

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine)
{
    m_nMapMode = nMapMode;
    m_totalLog = sizeTotal;
    m_totalDev = toDevice(nMapMode, sizeTotal);
    m_pageDev = toDevice(nMapMode, sizePage);
    m_lineDev = toDevice(nMapMode, sizeLine);
    if (m_pageDev.cx == 0)
        m_pageDev.cx = m_totalDev.cx / 10;
    if (m_pageDev.cy == 0)
        m_pageDev.cy = m_totalDev.cy / 10;
    if (m_lineDev.cx == 0)
        m_lineDev.cx = m_pageDev.cx / 10;
    if (m_lineDev.cy == 0)
        m_lineDev.cy = m_pageDev.cy / 10;
    UpdateBars();
    Invalidate(TRUE);
}

void CScrollView::SetScaleToFitSize(SIZE sizeTotal)
{
    m_nMapMode = MM_SCALETOFIT;
    m_totalLog = sizeTotal;
    CRect client;
    GetClientRect(&client);
    m_totalDev = client.Size();
    UpdateBars();
    Invalidate(TRUE);
}

void CScrollView::UpdateBars()
{
    QAbstractScrollArea* area = areaOf(this);
    if (area == nullptr || m_bUpdating)
        return;
    m_bUpdating = true;
    QScrollBar* h = area->horizontalScrollBar();
    QScrollBar* v = area->verticalScrollBar();
    if (m_nMapMode == MM_SCALETOFIT) {
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        h->setRange(0, 0);
        v->setRange(0, 0);
    } else {
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        // Two rounds: a bar that appears takes room from the other axis.
        for (int round = 0; round < 2; ++round) {
            const QSize client = area->viewport()->size();
            h->setRange(0, std::max(0, m_totalDev.cx - client.width()));
            v->setRange(0, std::max(0, m_totalDev.cy - client.height()));
            h->setPageStep(std::max(1, m_pageDev.cx > 0 ? std::min(m_pageDev.cx, client.width()) : client.width()));
            v->setPageStep(std::max(1, m_pageDev.cy > 0 ? std::min(m_pageDev.cy, client.height()) : client.height()));
            h->setSingleStep(std::max(1, m_lineDev.cx));
            v->setSingleStep(std::max(1, m_lineDev.cy));
        }
    }
    m_bUpdating = false;
    ScrollBarsMoved(-1);
}

void CScrollView::ScrollBarsMoved(int bar)
{
    QAbstractScrollArea* area = areaOf(this);
    if (area == nullptr)
        return;
    const CPoint now(area->horizontalScrollBar()->value(), area->verticalScrollBar()->value());
    const CSize delta = now - m_shown;
    m_shown = now;
    if (delta.cx != 0 || delta.cy != 0) {
        // Moves the picture and the child windows together.
        area->viewport()->scroll(-delta.cx, -delta.cy);
    }
    if (m_bUpdating || bar < 0 || m_hWnd == nullptr)
        return;
    const UINT code = bar == SB_HORZ ? MAKEWORD(SB_THUMBPOSITION, 0xFF) : MAKEWORD(0xFF, SB_THUMBPOSITION);
    OnScroll(code, static_cast<UINT>(bar == SB_HORZ ? now.x : now.y), FALSE);
}

BOOL CScrollView::OnScroll(UINT, UINT, BOOL)
{
    return TRUE;
}

BOOL CScrollView::OnScrollBy(CSize sizeScroll, BOOL bDoScroll)
{
    if (!bDoScroll)
        return TRUE;
    const CPoint pos = GetDeviceScrollPosition();
    SetScrollPos(SB_HORZ, pos.x + sizeScroll.cx);
    SetScrollPos(SB_VERT, pos.y + sizeScroll.cy);
    return TRUE;
}

void CScrollView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_nMapMode == MM_SCALETOFIT) {
        m_totalDev = CSize(cx, cy);
        Invalidate(TRUE);
    }
    UpdateBars();
}

CPoint CScrollView::GetDeviceScrollPosition() const
{
    QAbstractScrollArea* area = areaOf(this);
    if (area == nullptr)
        return {};
    return CPoint(area->horizontalScrollBar()->value(), area->verticalScrollBar()->value());
}

CPoint CScrollView::GetScrollPosition() const
{
    if (m_nMapMode == MM_SCALETOFIT)
        return {};
    CPoint pos = GetDeviceScrollPosition();
    if (m_nMapMode != MM_TEXT) {
        CRecordingDC dc;
        dc.SetMapMode(m_nMapMode);
        dc.DPtoLP(&pos);
    }
    return pos;
}

void CScrollView::ScrollToPosition(POINT pt)
{
    if (m_nMapMode == MM_SCALETOFIT)
        return;
    CPoint pos(pt);
    if (m_nMapMode != MM_TEXT) {
        CRecordingDC dc;
        dc.SetMapMode(m_nMapMode);
        dc.LPtoDP(&pos);
    }
    SetScrollPos(SB_HORZ, pos.x);
    SetScrollPos(SB_VERT, pos.y);
}

void CScrollView::GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const
{
    nMapMode = m_nMapMode;
    sizeTotal = m_totalDev;
    sizePage = m_pageDev;
    sizeLine = m_lineDev;
}

int CScrollView::GetScrollPos(int nBar) const
{
    QScrollBar* bar = barOf(this, nBar);
    return bar ? bar->value() : 0;
}

int CScrollView::SetScrollPos(int nBar, int nPos, BOOL bRedraw)
{
    QScrollBar* bar = barOf(this, nBar);
    if (bar == nullptr)
        return 0;
    const int old = bar->value();
    const bool wasUpdating = std::exchange(m_bUpdating, true);
    bar->setValue(nPos);
    m_bUpdating = wasUpdating;
    if (bRedraw)
        Invalidate(TRUE);
    return old;
}

void CScrollView::GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const
{
    QScrollBar* bar = barOf(this, nBar);
    if (lpMinPos)
        *lpMinPos = 0;
    if (lpMaxPos)
        *lpMaxPos = bar ? bar->maximum() + bar->pageStep() - 1 : 0;
}

void CScrollView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    if (pDC == nullptr)
        return;
    if (m_nMapMode == MM_SCALETOFIT) {
        CRect client;
        GetClientRect(&client);
        pDC->SetMapMode(MM_ANISOTROPIC);
        pDC->SetWindowExt(m_totalLog);
        pDC->SetViewportExt(client.Size());
    } else {
        pDC->SetMapMode(m_nMapMode);
    }
    CPoint origin(0, 0);
    if (!pDC->IsPrinting()) {
        const CPoint pos = GetDeviceScrollPosition();
        origin = CPoint(-pos.x, -pos.y);
        if (m_bCenter && m_nMapMode != MM_SCALETOFIT) {
            CRect client;
            GetClientRect(&client);
            if (m_totalDev.cx < client.Width())
                origin.x = (client.Width() - m_totalDev.cx) / 2;
            if (m_totalDev.cy < client.Height())
                origin.y = (client.Height() - m_totalDev.cy) / 2;
        }
    }
    pDC->SetViewportOrg(origin);
    CView::OnPrepareDC(pDC, pInfo);
}

void CScrollView::ResizeParentToFit(BOOL bShrinkOnly)
{
    CFrameWnd* frame = GetParentFrame();
    QWidget* frameWidget = frame ? frame->GetWidget() : nullptr;
    QWidget* client = GetClientWidget();
    if (frameWidget == nullptr || client == nullptr)
        return;
    const QSize now = frameWidget->size();
    QSize wanted = now + QSize(m_totalDev.cx - client->width(), m_totalDev.cy - client->height());
    if (bShrinkOnly)
        wanted = wanted.boundedTo(now);
    frameWidget->resize(wanted);
}

void CScrollView::FillOutsideRect(CDC* pDC, CBrush* pBrush)
{
    if (pDC == nullptr || pBrush == nullptr)
        return;
    CRect client;
    GetClientRect(&client);
    pDC->DPtoLP(&client);
    client.NormalizeRect();
    const CRect total(0, 0, m_totalLog.cx, m_totalLog.cy);
    if (client.right > total.right)
        pDC->FillRect(CRect(total.right, client.top, client.right, client.bottom), pBrush);
    if (client.bottom > total.bottom)
        pDC->FillRect(CRect(client.left, total.bottom, std::min<int>(client.right, total.right), client.bottom), pBrush);
}

void CScrollView::CenterOnPoint(CPoint ptCenter)
{
    CRect client;
    GetClientRect(&client);
    const CPoint pos = GetDeviceScrollPosition();
    SetScrollPos(SB_HORZ, pos.x + ptCenter.x - client.Width() / 2);
    SetScrollPos(SB_VERT, pos.y + ptCenter.y - client.Height() / 2);
}
