#pragma once
// CGoStopSign: the go/stop sign of the illumination wizard, a small window
// that shows "GO" on green while it is enabled and "STOP" on red while it
// is disabled, so that whoever sets it only enables or disables it (as
// with a bitmap button whose disabled picture is the stop sign).

#include "platform/ui/wnd.h"

class CGoStopSign : public CWnd
{
    DECLARE_DYNAMIC(CGoStopSign)

public:
    static constexpr int kSize = 48;
    static constexpr COLORREF kGoColour = RGB(0, 160, 0);
    static constexpr COLORREF kStopColour = RGB(220, 0, 0);

    CGoStopSign() = default;
    ~CGoStopSign() override;

    // A child of kSize x kSize pixels with its top-left corner at the point.
    BOOL Create(CPoint topLeft, CWnd* pParentWnd, UINT nID);
    using CWnd::Create;

    bool IsGo() const { return m_bGo; }
    // Enabled: "GO"; disabled: "STOP".
    void Show(bool bGo);
    // The sign into rect.
    void Draw(CDC* pDC, const CRect& rect) const;

protected:
    void OnPaint() override;
    bool WantsPaint() const override { return true; }

private:
    bool m_bGo = true;
};
