#include "outside/flickor/vumeter.h"

#include "platform/ui/windowdc.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

IMPLEMENT_DYNAMIC(CVUMeter, CWnd)

namespace {

constexpr int kArcSteps = 48;
constexpr int kTicks = 10;
constexpr COLORREF kNeedleColour = RGB(0, 0, 0);
constexpr COLORREF kMarkColour = RGB(0, 0, 255);

} // namespace

CVUMeter::CVUMeter()
{
    m_Scales[0].colour = RGB(255, 0, 0);
    m_Scales[1].colour = RGB(0, 255, 0);
    m_Palette.CreateWash();
}

CVUMeter::~CVUMeter()
{
    // The widget paints from the members: it goes first.
    DestroyHandleNow();
}

BOOL CVUMeter::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                      const CDIBPal* pPalette)
{
    m_strCaption = lpszCaption != nullptr ? lpszCaption : "";
    if (pPalette != nullptr && pPalette->GetCount() > 0)
        m_Palette = *pPalette;
    return CWnd::Create(nullptr, lpszCaption, dwStyle, rect, pParentWnd, nID);
}

void CVUMeter::SetScaleColors(COLORREF outer, COLORREF inner)
{
    m_Scales[0].colour = outer;
    m_Scales[1].colour = inner;
    if (GetSafeHwnd() != nullptr)
        Invalidate(FALSE);
}

BOOL CVUMeter::SetRange(int nScale, double dMin, double dMax)
{
    if (nScale < 0 || nScale >= kScales || !(dMin < dMax) || !std::isfinite(dMin) || !std::isfinite(dMax))
        return FALSE;
    m_Scales[nScale].min = dMin;
    m_Scales[nScale].max = dMax;
    if (GetSafeHwnd() != nullptr)
        Invalidate(FALSE);
    return TRUE;
}

void CVUMeter::SetValue(double dValue, double dMark)
{
    m_dValue = dValue;
    m_dMark = dMark;
    if (GetSafeHwnd() != nullptr)
        Invalidate(FALSE);
}

COLORREF CVUMeter::GetScaleColor(int nScale) const
{
    return m_Scales[std::clamp(nScale, 0, kScales - 1)].colour;
}

void CVUMeter::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    Draw(&dc, client);
}

CVUMeter::CFace CVUMeter::FaceOf(const CRect& rect) const
{
    // The hub sits above two text lines; the arc fits the width and the
    // height above the hub.
    const int textHeight = std::max(rect.Height() / 8, 8);
    CFace face;
    face.hub = CPoint(rect.left + rect.Width() / 2, rect.bottom - 2 * textHeight - 2);
    face.radius = std::max(std::min(rect.Width() / 2 - 4, face.hub.y - rect.top - 4), 4);
    return face;
}

double CVUMeter::AngleOf(const CScale& scale, double dValue)
{
    const double share = std::isfinite(dValue) ? std::clamp((dValue - scale.min) / (scale.max - scale.min), 0.0, 1.0)
                                               : 0.0;
    return std::numbers::pi * (1.0 - share);
}

CPoint CVUMeter::OnArc(const CFace& face, int radius, double angle)
{
    return CPoint(face.hub.x + static_cast<int>(std::lround(radius * std::cos(angle))),
                  face.hub.y - static_cast<int>(std::lround(radius * std::sin(angle))));
}

CPoint CVUMeter::NeedlePoint(const CRect& rect, double dValue) const
{
    const CFace face = FaceOf(rect);
    return OnArc(face, face.radius, AngleOf(m_Scales[0], dValue));
}

void CVUMeter::Draw(CDC* pDC, const CRect& rect) const
{
    if (pDC == nullptr || rect.IsRectEmpty())
        return;
    const CFace face = FaceOf(rect);
    DrawWash(pDC, rect);
    DrawScale(pDC, face, m_Scales[0], face.radius);
    DrawScale(pDC, face, m_Scales[1], face.radius * 3 / 4);
    DrawNeedle(pDC, face);
    DrawTexts(pDC, rect, face);
}

void CVUMeter::DrawWash(CDC* pDC, const CRect& rect) const
{
    const int bands = std::max(m_Palette.GetCount(), 1);
    for (int i = 0; i < bands; ++i) {
        CRect band(rect.left, rect.top + rect.Height() * i / bands, rect.right,
                   rect.top + rect.Height() * (i + 1) / bands);
        if (!band.IsRectEmpty())
            pDC->FillSolidRect(&band, m_Palette.GetColor(i));
    }
}

void CVUMeter::DrawScale(CDC* pDC, const CFace& face, const CScale& scale, int radius) const
{
    CPen pen(PS_SOLID, 2, scale.colour);
    CPen* old = pDC->SelectObject(&pen);
    std::vector<POINT> arc;
    arc.reserve(kArcSteps + 1);
    for (int i = 0; i <= kArcSteps; ++i)
        arc.push_back(OnArc(face, radius, std::numbers::pi * (1.0 - static_cast<double>(i) / kArcSteps)));
    pDC->Polyline(arc.data(), static_cast<int>(arc.size()));
    const int tick = std::max(radius / 10, 2);
    for (int i = 0; i <= kTicks; ++i) {
        const double angle = std::numbers::pi * (1.0 - static_cast<double>(i) / kTicks);
        const CPoint outer = OnArc(face, radius, angle);
        const CPoint inner = OnArc(face, radius - tick, angle);
        pDC->MoveTo(outer.x, outer.y);
        pDC->LineTo(inner.x, inner.y);
    }
    pDC->SelectObject(old);
}

void CVUMeter::DrawNeedle(CDC* pDC, const CFace& face) const
{
    // The mark across both scales, then the needle over it.
    CPen markPen(PS_SOLID, 3, kMarkColour);
    CPen* old = pDC->SelectObject(&markPen);
    const double markAngle = AngleOf(m_Scales[0], m_dMark);
    const CPoint markOuter = OnArc(face, face.radius + 3, markAngle);
    const CPoint markInner = OnArc(face, face.radius * 3 / 4 - 3, markAngle);
    pDC->MoveTo(markOuter.x, markOuter.y);
    pDC->LineTo(markInner.x, markInner.y);

    CPen needlePen(PS_SOLID, 2, kNeedleColour);
    pDC->SelectObject(&needlePen);
    const CPoint tip = OnArc(face, face.radius, AngleOf(m_Scales[0], m_dValue));
    pDC->MoveTo(face.hub.x, face.hub.y);
    pDC->LineTo(tip.x, tip.y);
    pDC->SelectObject(old);
}

void CVUMeter::DrawTexts(CDC* pDC, const CRect& rect, const CFace& face) const
{
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF oldColour = pDC->SetTextColor(RGB(0, 0, 0));
    const int line = (rect.bottom - face.hub.y) / 2;
    CRect caption(rect.left, face.hub.y + 2, rect.right, face.hub.y + 2 + line);
    pDC->DrawText(m_strCaption, &caption, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    CString value;
    value.Format("%.0f", m_dValue);
    CRect valueRect(rect.left, caption.bottom, rect.right, rect.bottom);
    pDC->DrawText(value, &valueRect, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    pDC->SetTextColor(oldColour);
    pDC->SetBkMode(oldMode);
}
