#pragma once
// CVUMeter: a needle meter. A half-circle face washed from a CDIBPal
// carries two scales, the outer in the first colour and the inner in the
// second, each with a range of its own; the needle shows the value on the
// outer scale, a short bar marks the mark, and the caption and the value
// are written under the needle's hub. Values outside the outer range pin
// the needle at the scale's end.

#include "outside/flickor/dibpal.h"

#include "platform/ui/wnd.h"

class CVUMeter : public CWnd
{
    DECLARE_DYNAMIC(CVUMeter)

public:
    static constexpr int kScales = 2;

    CVUMeter();
    ~CVUMeter() override;

    // A window over rect (the parent's client coordinates); the palette,
    // when given, is copied.
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                const CDIBPal* pPalette = nullptr);
    using CWnd::Create;

    // Colours of the outer and the inner scale.
    void SetScaleColors(COLORREF outer, COLORREF inner);
    // The range of scale 0 (outer) or 1 (inner); an empty or reversed
    // range, or another scale, is refused.
    BOOL SetRange(int nScale, double dMin, double dMax);
    // The value and the mark; the window repaints.
    void SetValue(double dValue, double dMark);

    double GetValue() const { return m_dValue; }
    double GetMark() const { return m_dMark; }
    const CString& GetCaption() const { return m_strCaption; }
    COLORREF GetScaleColor(int nScale) const;

    // The whole meter into rect.
    void Draw(CDC* pDC, const CRect& rect) const;
    // Where the needle of a value points from the hub in rect: the point on
    // the outer scale's arc.
    CPoint NeedlePoint(const CRect& rect, double dValue) const;

protected:
    void OnPaint() override;
    bool WantsPaint() const override { return true; }

private:
    struct CScale
    {
        double min = 0.0;
        double max = 100.0;
        COLORREF colour = 0;
    };
    struct CFace
    {
        CPoint hub;
        int radius = 0;
    };

    CFace FaceOf(const CRect& rect) const;
    // The angle (radians, pi at the left end, 0 at the right) of a value
    // on a scale.
    static double AngleOf(const CScale& scale, double dValue);
    static CPoint OnArc(const CFace& face, int radius, double angle);
    void DrawWash(CDC* pDC, const CRect& rect) const;
    void DrawScale(CDC* pDC, const CFace& face, const CScale& scale, int radius) const;
    void DrawNeedle(CDC* pDC, const CFace& face) const;
    void DrawTexts(CDC* pDC, const CRect& rect, const CFace& face) const;

    CString m_strCaption;
    CDIBPal m_Palette;
    CScale m_Scales[kScales];
    double m_dValue = 0.0;
    double m_dMark = 0.0;
};
