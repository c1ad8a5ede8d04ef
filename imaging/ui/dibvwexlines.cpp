// CDIBVwEx: the line tools - the colours along a drawn line, and the
// parting line whose ends snap to the edges it crosses.

#include "imaging/ui/dibvwex.h"

#include "imaging/dibdocex.h"

#include "analysis/scanrayparams.h"

#include <vector>

void CDIBVwEx::OnToolLineProfile()
{
    auto* doc = dynamic_cast<CDIBDocEx*>(GetDocument());
    if (doc == nullptr)
        return;
    std::vector<CPoint> points;
    if (!CollectPoints(CPoints::modeLine, points))
        return; // the view went meanwhile
    if (points.size() < 2)
        return;
    doc->ShowLineProfile(ClampToPage(points[0]), ClampToPage(points[1]));
}

void CDIBVwEx::OnToolDrawLine()
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    std::vector<CPoint> points;
    if (!CollectPoints(CPoints::modeLine, points))
        return; // the view went meanwhile
    CDIB* page = doc->GetActiveDIB();
    if (points.size() < 2 || page == nullptr)
        return;
    const CPoint a = ClampToPage(points[0]);
    const CPoint b = ClampToPage(points[1]);
    // Searched from each end towards the other: the last edge on the way
    // is the one nearest the far end, so each search finds the other
    // end's edge.
    ScanRayParams rays;
    const CPoint nearB = rays.AnalyseLineProfile(*page, a.x, a.y, b.x, b.y);
    const CPoint nearA = rays.AnalyseLineProfile(*page, b.x, b.y, a.x, a.y);
    doc->m_arrPoints3.RemoveAll();
    for (const CPoint& found : {nearA, nearB}) {
        if (found != CPoint(0, 0))
            doc->m_arrPoints3.Add(found);
    }
    Invalidate(FALSE);
}
