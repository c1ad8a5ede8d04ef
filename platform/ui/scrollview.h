#pragma once
// CScrollView: a view larger than its window, with scroll bars, or scaled
// to fit its window (SetScaleToFitSize). OnPrepareDC sets the mapping mode
// and moves the viewport origin by the scroll position; in scale-to-fit
// mode the whole logical size maps onto the client area.

#include "platform/core/gdi.h"
#include "platform/ui/view.h"

class CScrollView : public CView
{
    DECLARE_DYNAMIC(CScrollView)

public:
    CScrollView();
    ~CScrollView() override;

    static const SIZE sizeDefault;

    // sizePage and sizeLine of sizeDefault take a tenth (line) and the
    // whole client (page) of the total.
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                        const SIZE& sizeLine = sizeDefault);
    void SetScaleToFitSize(SIZE sizeTotal);
    BOOL IsScaleToFit() const { return m_nMapMode == MM_SCALETOFIT; }

    // Logical units of the mapping mode.
    CPoint GetScrollPosition() const;
    void ScrollToPosition(POINT pt);
    CSize GetTotalSize() const { return m_totalLog; }
    // Device pixels.
    CPoint GetDeviceScrollPosition() const;
    void GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const;
    // Makes the parent frame as small as the view's total size, or only
    // smaller with bShrinkOnly.
    void ResizeParentToFit(BOOL bShrinkOnly = TRUE);
    void FillOutsideRect(CDC* pDC, CBrush* pBrush);
    void CenterOnPoint(CPoint ptCenter);

    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    int GetScrollPos(int nBar) const override;
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE) override;
    void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const override;
    QWidget* GetClientWidget() const override;

    // The map mode SetScaleToFitSize sets.
    static constexpr int MM_SCALETOFIT = -1;

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    void OnSize(UINT nType, int cx, int cy) override;
    // A scroll by the user or by ScrollToPosition; the default repaints.
    virtual BOOL OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll = TRUE);
    virtual BOOL OnScrollBy(CSize sizeScroll, BOOL bDoScroll = TRUE);

    int m_nMapMode = MM_TEXT;
    CSize m_totalLog;
    CSize m_totalDev;
    CSize m_pageDev;
    CSize m_lineDev;
    BOOL m_bCenter = FALSE;

private:
    void UpdateBars();
    void ScrollBarsMoved(int bar);
    bool m_bUpdating = false;
    CPoint m_shown; // the scroll position the viewport content shows
};
