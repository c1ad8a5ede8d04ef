// CDIBVwEx: what the view draws over the page - the rulers, the areas of
// interest, the collected points, the measured objects, the mark and the
// document's arrows, lines and crosses.

#include "imaging/ui/dibvwex.h"

#include "imaging/ui/dibviewcommands.h"
#include "imaging/dibdoc.h"

#include "analysis/aoidoc.h"
#include "analysis/objdata.h"
#include "analysis/objsegments.h"
#include "analysis/skeldata.h"
#include "objectmodel/cross.h"
#include "objectmodel/textlabel.h"
#include "series/objdatadoc.h"

#include "platform/core/dc.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// The record kinds the view tells apart.
constexpr WORD kKindObjectArea = 4;
constexpr WORD kKindObject = 5;
constexpr WORD kKindDefect = 6;
constexpr WORD kKindFlat = 2;
constexpr WORD kKindContourSegment = 12;
constexpr WORD kKindEllipse = 13;
constexpr WORD kKindCurvature = 14;
constexpr WORD kKindEdge = 15;

// The ruler's unit keeps this far from the window's left edge.
constexpr int kRulerUnitInset = 1;

// Selects a pen for a scope.
class CSelectedPen
{
public:
    CSelectedPen(CDC* pDC, int nStyle, int nWidth, COLORREF colour) : m_pDC(pDC), m_pen(nStyle, nWidth, colour)
    {
        m_pOld = pDC->SelectObject(&m_pen);
    }
    ~CSelectedPen() { m_pDC->SelectObject(m_pOld); }
    CSelectedPen(const CSelectedPen&) = delete;
    CSelectedPen& operator=(const CSelectedPen&) = delete;

private:
    CDC* m_pDC;
    CPen m_pen;
    CPen* m_pOld;
};

} // namespace

void CDIBVwEx::OnDraw(CDC* pDC)
{
    CDIBView::OnDraw(pDC);
    if (m_bDrawRulers)
        DrawRulers(pDC);
    CTextLabel label;
    label.SetFont(m_lfText);
    label.m_nBkMode = TRANSPARENT;
    label.m_crTextColor = m_crText;
    DrawAreas(pDC, label);
    DrawToolPoints(pDC);
    DrawObjects(pDC, label);
    DrawResults(pDC);
    DrawMarks(pDC);
    DrawManualCount(pDC);
}

void CDIBVwEx::DrawRulers(CDC* pDC)
{
    const int saved = pDC->SaveDC();
    const CPoint scroll = GetDeviceScrollPosition();
    pDC->SetViewportOrg(-scroll.x, -scroll.y);
    CRect client;
    GetClientRect(&client);
    CRect plot;
    if (!pDC->IsPrinting()) {
        if (m_bShrinkToFit) {
            pDC->SetWindowOrg(0, 0);
            pDC->SetWindowExt(client.Size());
            pDC->SetViewportExt(client.Size());
            plot = client;
            plot.DeflateRect(m_nMarginLeft, m_nMarginTop, m_nMarginRight, m_nMarginBottom);
        } else {
            plot.SetRect(m_nMarginLeft - 1, m_nMarginTop - 1, m_nMarginLeft - 1 + m_sizeImage.cx + 2,
                         m_nMarginTop - 1 + m_sizeImage.cy + 2);
        }
    } else {
        // The margins scale with the printer's mapping.
        const CSize viewport = pDC->GetViewportExt();
        const CSize window = pDC->GetWindowExt();
        const double rx = window.cx != 0 ? static_cast<double>(viewport.cx) / window.cx : 1.0;
        const double ry = window.cy != 0 ? static_cast<double>(viewport.cy) / window.cy : 1.0;
        if (m_bShrinkToFit)
            pDC->SetViewportOrg(m_nMarginLeft / 2, m_nMarginTop / 2);
        else
            pDC->SetViewportOrg(static_cast<int>(m_nMarginLeft / (2 * rx)), static_cast<int>(m_nMarginTop / (2 * ry)));
        pDC->SetViewportExt(viewport.cx / 2, viewport.cy / 2);
        CDIBDoc* doc = GetDocument();
        const CSize page = doc && doc->GetPageCount() > 0 ? doc->GetPageSize() : m_sizeImage;
        plot.SetRect(2 * m_nMarginLeft, 2 * m_nMarginTop, 2 * (page.cx + m_nMarginLeft), 2 * (page.cy + m_nMarginTop));
    }
    if (m_Chart.DrawPlot(pDC, client, plot)) {
        // The unit goes into the corner between the rulers, where the axis
        // would push it past the window's edge.
        CAxis& x = m_Chart.GetXAxis();
        const CString unit = x.m_strTitle;
        x.m_strTitle.Empty();
        m_Chart.DrawAxes(pDC);
        x.m_strTitle = unit;
        DrawRulerUnit(pDC, plot);
    } else {
        m_Chart.DrawTitleById(pDC, IDS_RESET_ZOOM);
    }
    pDC->RestoreDC(saved);
}

void CDIBVwEx::DrawRulerUnit(CDC* pDC, const CRect& plot)
{
    const CAxis& x = m_Chart.GetXAxis();
    const CString unit = x.GetTitleText();
    if (unit.IsEmpty())
        return;
    CFont font;
    font.CreateFontIndirect(&m_Chart.m_lfAxis);
    CFont* oldFont = pDC->SelectObject(&font);
    const CSize extent = pDC->GetTextExtent(unit);
    // Right of the window's edge, before the half of the first label that
    // reaches into the corner, on the line of the labels.
    int firstHalf = 0;
    if (const std::vector<double> ticks = x.MajorTicks(); !ticks.empty() && x.ValueToPixel(ticks.front()) == 0)
        firstHalf = pDC->GetTextExtent(x.FormatLabel(ticks.front(), x.LabelPrecision())).cx / 2;
    const int right = plot.left - firstHalf - x.m_nTitleGap;
    const int left = std::max(kRulerUnitInset, right - static_cast<int>(extent.cx));
    const int top = std::max(0, plot.top - x.m_nMajorTick - x.m_nLabelGap - static_cast<int>(extent.cy));
    const UINT oldAlign = pDC->SetTextAlign(TA_LEFT | TA_TOP);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF oldColour = pDC->SetTextColor(RGB(0, 0, 0));
    pDC->TextOut(left, top, unit);
    pDC->SetTextColor(oldColour);
    pDC->SetBkMode(oldMode);
    pDC->SetTextAlign(oldAlign);
    pDC->SelectObject(oldFont);
}

void CDIBVwEx::DrawAreas(CDC* pDC, CTextLabel& label)
{
    m_rectTracker.SetRectEmpty();
    CAOIDoc* areas = GetAOIDoc();
    if (areas == nullptr)
        return;
    if (areas->DrawAOIs(pDC, label) == 0 || areas->GetAOICount() < 1)
        return;
    CAOI* active = areas->GetActiveAOI(false);
    if (active == nullptr)
        return;
    CRect device = active->GetRect();
    pDC->LPtoDP(&device);
    device.NormalizeRect();
    m_rectTracker = device;
    DrawTracker(pDC);
}

void CDIBVwEx::DrawTracker(CDC* pDC)
{
    // In window pixels, whatever the mapping.
    const int saved = pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    pDC->SetWindowOrg(0, 0);
    pDC->SetViewportOrg(0, 0);
    MakeTracker().Draw(pDC);
    pDC->RestoreDC(saved);
}

void CDIBVwEx::DrawToolPoints(CDC* pDC)
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr || doc->m_Points.GetSize() < 2)
        return;
    const CPoints& points = doc->m_Points;
    std::vector<POINT> path(points.GetData(), points.GetData() + points.GetSize());
    CSelectedPen pen(pDC, PS_SOLID, 1, kMarkerColour);
    pDC->Polyline(path.data(), static_cast<int>(path.size()));
}

void CDIBVwEx::DrawOutline(CDC* pDC, const CObjData& object, COLORREF colour)
{
    CSelectedPen pen(pDC, PS_SOLID, 1, colour);
    CBrush brush(colour);
    CBrush* oldBrush = pDC->SelectObject(&brush);
    if (!object.m_Polygon.IsEmpty())
        object.m_Polygon.SetPixels(pDC, colour);
    else
        object.m_Chain.Draw(pDC);
    pDC->SelectObject(oldBrush);
}

void CDIBVwEx::DrawObjects(CDC* pDC, CTextLabel& label)
{
    CObjDataDoc* results = GetResultDoc();
    if (!m_bShowObjects)
        return;
    if (results == nullptr) {
        // A plain table (the defect search's) marks its defects.
        CDIBDoc* doc = GetDocument();
        if (const auto* table = doc ? dynamic_cast<const CDataDoc*>(doc->GetResultDoc()) : nullptr)
            for (int i = 0; i < table->GetCount(); ++i)
                if (const auto* defect = dynamic_cast<const CDefect*>(table->GetAt(i)))
                    defect->DrawDefect(pDC, i + 1, kMarkerColour, &label);
        return;
    }
    std::vector<COLORREF> colours(results->m_arrDrawColors.begin(), results->m_arrDrawColors.end());
    while (colours.size() < 3)
        colours.push_back(kMarkerColour);
    const std::array<COLORREF, 3> red = {kMarkerColour, kMarkerColour, kMarkerColour};
    const auto flags = static_cast<DWORD>(results->m_nWhatToDraw);

    int shown = 0; // not-excluded records before the current one
    for (int i = 0; i < results->GetCount(); ++i) {
        CBaseObj* record = results->GetAt(i);
        const bool excluded = results->IsSelected(i) != FALSE;
        const int number = shown + 1;
        if (!excluded)
            ++shown;
        auto* drawable = dynamic_cast<CObjDataBase*>(record);
        if (drawable == nullptr)
            continue;
        auto* object = dynamic_cast<CObjData*>(record);
        switch (record->m_ID) {
        case kKindObject:
            if (!excluded)
                drawable->Draw(pDC, number, colours, &label, flags);
            else if (object && !record->IsKindOf(RUNTIME_CLASS(CSkelData)))
                DrawOutline(pDC, *object, kExcludedColour);
            break;
        case kKindObjectArea:
            if (object)
                DrawOutline(pDC, *object, kAreaObjectColour);
            break;
        case kKindContourSegment:
        case kKindEdge:
            if (!excluded)
                drawable->Draw(pDC, i, colours, &label, flags);
            break;
        case kKindEllipse:
        case kKindCurvature:
            drawable->Draw(pDC, i, colours, &label, flags);
            break;
        case kKindDefect:
        case kKindFlat:
            drawable->Draw(pDC, i, red, &label, flags);
            break;
        default:
            break;
        }
    }
}

void CDIBVwEx::DrawMarks(CDC* pDC)
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    {
        CSelectedPen pen(pDC, PS_SOLID, 1, static_cast<COLORREF>(m_nMarkRectColor));
        if (!m_rectMark.IsRectNull()) {
            pDC->MoveTo(m_rectMark.left, m_rectMark.top);
            pDC->LineTo(m_rectMark.right, m_rectMark.top);
            pDC->LineTo(m_rectMark.right, m_rectMark.bottom);
            pDC->LineTo(m_rectMark.left, m_rectMark.bottom);
            pDC->LineTo(m_rectMark.left, m_rectMark.top);
        }
        // The two ends of the last contour test.
        if (CObjDataDoc* results = GetResultDoc();
            results && m_bShowObjects && results->m_ptContourEnds[0] != results->m_ptContourEnds[1]) {
            pDC->MoveTo(results->m_ptContourEnds[0]);
            pDC->LineTo(results->m_ptContourEnds[1]);
        }
    }
    if (doc->m_arrPoints1.GetSize() > 1) {
        CSelectedPen pen(pDC, PS_SOLID, 2, RGB(0, 0, 0));
        const CPoint from = doc->m_arrPoints1[0];
        const CPoint to = doc->m_arrPoints1[1];
        CAOIDoc::DrawArrow(pDC, from.x, from.y, to.x, to.y);
    }
    if (doc->m_arrPoints2.GetSize() > 0) {
        CSelectedPen pen(pDC, PS_SOLID, 1, kMarkerColour);
        for (INT_PTR i = 0; i + 1 < doc->m_arrPoints2.GetSize(); i += 2) {
            pDC->MoveTo(doc->m_arrPoints2[i]);
            pDC->LineTo(doc->m_arrPoints2[i + 1]);
        }
    }
    if (doc->m_arrPoints3.GetSize() > 0) {
        CCross cross(kMarkerColour, 1, R2_COPYPEN);
        for (const CPoint& p : doc->m_arrPoints3)
            cross.Draw(pDC, p);
    }
}
