// Contour features 5 and 6: the curvature peaks of an object's contour
// and holes, and the deepest notch of its contour with the two points on
// its sides.

#include "analysis/bv.h"

#include "analysis/contourfeaturesettings.h"
#include "analysis/cvcontours.h"
#include "analysis/objdata.h"
#include "objectmodel/curvature32.h"

#include <cmath>

namespace {

// The peaks of the settings' method (isthmus: concave, corner: convex)
// whose height lies between the low and the high threshold, in contour
// order.
void AppendCurvaturePeaks(const CRPolygon& polygon, const sContourFeatureSettings& settings,
                          CArray<POINT, POINT>& peaks)
{
    if (polygon.GetSize() < 3)
        return;
    CCurvature32 curvature;
    curvature.CalcContourCurvature(polygon, settings.fit);
    if (settings.method == 0)
        curvature.Negate();
    curvature.Smooth(5, 0);
    curvature.FindMaxima(settings.low);
    for (const sPeak& peak : curvature.GetPeaks())
        if (peak.m_dValue <= settings.high)
            peaks.Add(polygon.GetPointAt(peak.m_nIndex));
}

POINT Midpoint(POINT a, POINT b)
{
    return POINT{(a.x + b.x) / 2, (a.y + b.y) / 2};
}

} // namespace

void CBV::FindContourCurvaturePeaks(CObjData& record, const CRPolygon& contour)
{
    const sContourFeatureSettings settings =
        ClampContourFeatureSettings(m_Profiles.m_ObjectFilter, static_cast<int>(contour.GetSize()));
    CArray<POINT, POINT>& peaks = record.EditMarkPoints();
    peaks.RemoveAll();
    AppendCurvaturePeaks(contour, settings, peaks);
    for (int i = 0; i < record.GetHoleCount(); ++i) {
        const CRPolygon hole(record.GetHole(i));
        const sContourFeatureSettings holeSettings =
            ClampContourFeatureSettings(m_Profiles.m_ObjectFilter, static_cast<int>(hole.GetSize()));
        AppendCurvaturePeaks(hole, holeSettings, peaks);
    }
}

void CBV::FindDeepestConvexityDefect(CObjData& record, const CRPolygon& contour)
{
    CArray<POINT, POINT> points;
    CConvexityDefects defects;
    const sConvexityDefect* deepest = nullptr;
    if (ConvexityDefects(contour, defects))
        for (const sConvexityDefect& defect : defects)
            if (deepest == nullptr || defect.m_fDepth > deepest->m_fDepth)
                deepest = &defect;
    if (deepest != nullptr && (deepest->m_nDeepestX != 0 || deepest->m_nDeepestY != 0)) {
        // The first point lies on the notch's first side, halfway down; the
        // second is the point across the notch from it.
        const POINT start{deepest->m_nStartX, deepest->m_nStartY};
        const POINT bottom{deepest->m_nDeepestX, deepest->m_nDeepestY};
        const POINT first = NearestPointInDefect(contour, Midpoint(start, bottom), *deepest);
        sConvexityDefect farSide = *deepest;
        farSide.m_nStartX = bottom.x;
        farSide.m_nStartY = bottom.y;
        const POINT second = NearestPointInDefect(contour, first, farSide);
        if (first.x != 0 || first.y != 0) {
            points.Add(second);
            points.Add(first);
        }
    }
    record.SetHolePoints(points);
}

POINT CBV::NearestPointInDefect(const CRPolygon& contour, POINT point, const sConvexityDefect& defect)
{
    if (defect.m_nDeepestX == 0 && defect.m_nDeepestY == 0)
        return POINT{0, 0};
    const int count = static_cast<int>(contour.GetSize());
    const int first = contour.FindPoint(defect.m_nStartX, defect.m_nStartY);
    int last = contour.FindPoint(defect.m_nEndX, defect.m_nEndY);
    if (count == 0 || first < 0 || last < 0)
        return POINT{0, 0};
    if (last == 0)
        last = count - 1;
    POINT nearest{0, 0};
    int best = 1000;
    const auto visit = [&](int k) {
        const POINT p = contour[k];
        const int d = static_cast<int>(std::hypot(static_cast<double>(p.x - point.x), static_cast<double>(p.y - point.y)));
        if (d < best) {
            best = d;
            nearest = p;
        }
    };
    if (first <= last) {
        for (int k = first; k <= last; ++k)
            visit(k);
    } else {
        for (int k = first; k < count; ++k)
            visit(k);
        for (int k = 0; k <= last; ++k)
            visit(k);
    }
    return nearest;
}
