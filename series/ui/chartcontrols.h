#pragma once
// The chart windows: _DBIChart shows a line chart (CCurveChart), _DBIHist
// a histogram (CBarChart). Each window owns its control, which exists from
// the window object's construction on, so a host may fill it before the
// window is made; the window paints the control over its client area.
// The controls' members are the dispatch members the hosts use
// (docs/DESIGN.md lists them by id).

#include "series/barchart.h"
#include "series/curvechart.h"

#include "platform/ui/wnd.h"

#include <functional>

class _DBIChart : public CWnd
{
    DECLARE_DYNAMIC(_DBIChart)

public:
    _DBIChart();
    ~_DBIChart() override;

    // A visible child window over rect.
    BOOL Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    using CWnd::Create;

    // The chart shown: its own, or one a host lends it (a document's).
    CCurveChart& GetControl() { return m_pShown != nullptr ? *m_pShown : m_control; }
    const CCurveChart& GetControl() const { return m_pShown != nullptr ? *m_pShown : m_control; }
    // Shows a chart the host keeps alive while the window shows it; null
    // shows the window's own again.
    void ShowChart(CCurveChart* chart) { m_pShown = chart; }

    // Method 27: the properties dialog; the window repaints after OK.
    void ShowProperties();

protected:
    void OnPaint() override;
    bool WantsPaint() const override { return true; }

private:
    CCurveChart m_control;
    CCurveChart* m_pShown = nullptr;
};

class _DBIHist : public CWnd
{
    DECLARE_DYNAMIC(_DBIHist)

public:
    _DBIHist();
    ~_DBIHist() override;

    BOOL Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    using CWnd::Create;

    CBarChart& GetControl() { return m_control; }
    const CBarChart& GetControl() const { return m_control; }

protected:
    void OnPaint() override;
    bool WantsPaint() const override { return true; }

private:
    CBarChart m_control;
};

namespace kestrun {
// Draws a picture of the size through draw and puts it on the clipboard;
// says so when the picture or the clipboard cannot be had.
void CopyPictureToClipboard(const CSize& size, const std::function<void(CDC*, const CRect&)>& draw);
} // namespace kestrun
