// CDIBVwEx: the drawing tools - the mouse of the tool loop and the area
// tools, whose figures become areas of interest.

#include "imaging/ui/dibvwex.h"

#include "imaging/ui/dibviewcommands.h"
#include "imaging/dibdoc.h"

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "analysis/ui/aoidlg.h"

#include "platform/ui/appservices.h"
#include "platform/ui/windowdc.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

int PointModeOf(UINT nID)
{
    switch (nID) {
    case ID_VIEW_AOI_RECTANGLE: return CPoints::modeRectangle;
    case ID_VIEW_AOI_PARALLELOGRAM: return CPoints::modeParallelogram;
    case ID_VIEW_AOI_RING: return CPoints::modeRing;
    case ID_VIEW_AOI_FREEHAND: return CPoints::modePolygon;
    default: return CPoints::modeEllipse; // ellipse and extra area
    }
}

// Twice the signed area of the polygon; 0 for one that encloses nothing.
long long DoubledArea(const std::vector<CPoint>& points)
{
    long long sum = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const CPoint& a = points[i];
        const CPoint& b = points[(i + 1) % points.size()];
        sum += static_cast<long long>(a.x) * b.y - static_cast<long long>(b.x) * a.y;
    }
    return sum;
}

// The shape of a figure of two or three points; null for a figure with a
// side of 0, which adds nothing.
std::unique_ptr<CAOI> MakeArea(UINT nID, const std::vector<CPoint>& points)
{
    const CPoint& a = points[0];
    const CPoint& b = points[1];
    const bool flat = a.x == b.x || a.y == b.y;
    switch (nID) {
    case ID_VIEW_AOI_RECTANGLE: {
        if (flat)
            return nullptr;
        auto area = std::make_unique<CAOI2>();
        area->SetRectFromCorners(a.x, a.y, b.x, b.y);
        return area;
    }
    case ID_VIEW_AOI_PARALLELOGRAM: {
        if (points.size() < 3 || DoubledArea(points) == 0)
            return nullptr;
        auto area = std::make_unique<CAOI3>();
        area->SetFromPoints(a, b, points[2]);
        return area;
    }
    case ID_VIEW_AOI_RING: {
        auto area = std::make_unique<CAOIRing>();
        area->SetRingWidth(CPoints::kRingWidth);
        area->SetFromCorners(a.x, a.y, b.x, b.y);
        if (flat || area->GetWidth() == 0 || area->GetHeight() == 0)
            return nullptr;
        return area;
    }
    default: {
        auto area = std::make_unique<CAOIEllipse>();
        area->SetFromCorners(a.x, a.y, b.x, b.y);
        if (flat || area->GetWidth() == 0 || area->GetHeight() == 0)
            return nullptr;
        if (nID == ID_VIEW_AOI_EXTRA)
            area->m_nFlag = 0; // drawn, not counted
        return area;
    }
    }
}

} // namespace

void CDIBVwEx::RegisterDrawingTools()
{
    using ThisClass = CDIBVwEx;
    ON_COMMAND_RANGE(ID_VIEW_AOI_RECTANGLE, ID_VIEW_AOI_EXTRA, OnAreaTool)
    for (UINT id = ID_VIEW_AOI_RECTANGLE; id <= ID_VIEW_AOI_EXTRA; ++id)
        ON_UPDATE_COMMAND_UI(id, OnUpdateAreaTool)
    ON_COMMAND(ID_VIEW_ZOOM, OnViewZoom)
    ON_COMMAND(ID_TOOL_LINE_PROFILE, OnToolLineProfile)
    ON_COMMAND(ID_TOOL_DRAW_LINE, OnToolDrawLine)
}

void CDIBVwEx::OnUpdateAreaTool(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void CDIBVwEx::OnAreaTool(UINT nID)
{
    CDIBDoc* doc = GetDocument();
    CAOIDoc* areas = GetAOIDoc();
    if (doc == nullptr || areas == nullptr)
        return;
    doc->GrabIfNotLive();
    std::vector<CPoint> points;
    if (!CollectPoints(PointModeOf(nID), points))
        return; // the view went meanwhile
    bool added = false;
    if (nID == ID_VIEW_AOI_FREEHAND) {
        CRPolygon polygon;
        for (const CPoint& p : points)
            polygon.Add(p);
        added = points.size() > 2 && DoubledArea(points) != 0 && areas->AddPolygonAOI(polygon) == 1;
        doc->m_RubberPolygon.RemoveAll();
    } else if (points.size() >= 2) {
        if (std::unique_ptr<CAOI> area = MakeArea(nID, points))
            added = areas->AddAOI(area) == 1;
    }
    if (!added) {
        // A figure that encloses nothing or leaves the image is not kept:
        // the user is told rather than left to look for it.
        if (!points.empty())
            SetStatusText("The area was not added: it encloses nothing or lies outside the image.");
        return;
    }
    if (nID == ID_VIEW_AOI_RECTANGLE) {
        if (CAppServices* services = kestrun::AppServices())
            services->SetSettingsChanged();
    }
    RefreshAOIDialog();
    Invalidate(TRUE);
}

// ---- the mouse of the tool loop ---------------------------------------------------------------

CPoint CDIBVwEx::ClampToPage(CPoint ptImage)
{
    CDIBDoc* doc = GetDocument();
    const CDIB* page = doc != nullptr ? doc->GetActiveDIB() : nullptr;
    if (page == nullptr)
        return ptImage;
    return CPoint(std::clamp<int>(ptImage.x, 0, std::max(page->GetWidth() - 1, 0)),
                  std::clamp<int>(ptImage.y, 0, std::max(page->GetHeight() - 1, 0)));
}

void CDIBVwEx::CollectMouseMove(UINT nFlags, CPoint ptImage)
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr || GetClientWidget() == nullptr)
        return;
    const CPoint at = ClampToPage(ptImage);
    CPoints& collected = doc->m_Points;
    CRubberPolygon& polygon = doc->m_RubberPolygon;
    const bool freeHand = collected.GetMode() == CPoints::modePolygon;
    CClientDC dc(this);
    OnPrepareDC(&dc);
    if (freeHand) {
        if (nFlags & MK_LBUTTON) {
            polygon.AddPointConnected(at);
            polygon.DrawNewPoints(&dc);
            polygon.SetFirstMove();
        } else {
            polygon.DrawRubberLine(&dc, at.x, at.y);
        }
        return;
    }
    if (!(nFlags & MK_LBUTTON))
        return;
    if (collected.IsEmpty())
        collected.AddPoint(at.x, at.y);
    collected.SetCurrentPoint(at.x, at.y);
    collected.DrawFeedback(&dc, true);
}

void CDIBVwEx::CollectButtonDown(CPoint point, CPoint ptImage)
{
    CDIBDoc* doc = GetDocument();
    CRect client;
    GetClientRect(&client);
    if (doc == nullptr || !client.PtInRect(point))
        return;
    const CPoint at = ClampToPage(ptImage);
    CPoints& collected = doc->m_Points;
    if (collected.GetMode() == CPoints::modePolygon)
        doc->m_RubberPolygon.AddPointConnected(at);
    else if (collected.IsEmpty())
        collected.AddPoint(at.x, at.y);
    if (collected.GetMode() == CPoints::modePoint)
        doc->m_nDrawMode = kDrawNone;
}

void CDIBVwEx::CollectButtonUp(CPoint ptImage)
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    const CPoint at = ClampToPage(ptImage);
    CPoints& collected = doc->m_Points;
    if (collected.GetMode() == CPoints::modePolygon) {
        doc->m_RubberPolygon.AddPointConnected(at);
        doc->m_RubberPolygon.SetFirstMove();
        return;
    }
    // A parallelogram may be clicked corner by corner: a click adds its
    // point once.
    const bool repeated = collected.GetMode() == CPoints::modeParallelogram && !collected.IsEmpty() &&
                          CPoint(collected[collected.GetSize() - 1]) == at;
    if (collected.IsEmpty() || !repeated)
        collected.AddPoint(at.x, at.y);
    if (collected.IsComplete())
        doc->m_nDrawMode = kDrawNone;
}

void CDIBVwEx::CollectRightButton(CPoint point, CPoint ptImage)
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr || doc->m_Points.GetMode() != CPoints::modePolygon)
        return;
    CRect client;
    GetClientRect(&client);
    CRubberPolygon& polygon = doc->m_RubberPolygon;
    if (client.PtInRect(point))
        polygon.AddPointConnected(ClampToPage(ptImage));
    if (polygon.GetSize() > 0)
        polygon.Close();
    doc->m_Points.SetClosed(true);
    doc->m_nDrawMode = kDrawNone;
}
