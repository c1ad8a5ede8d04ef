#include "analysis/objectshape.h"

#include "analysis/aoi.h"
#include "analysis/aoiimaging.h"
#include "analysis/cvcontours.h"
#include "analysis/cvfilters.h"
#include "analysis/scanrayresult.h"
#include "objectmodel/lineangle.h"
#include "objectmodel/rpolygon.h"
#include "outside/pixmere/dib.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSectors = 64;
constexpr double kSmallestRadius = 25.0;
constexpr double kRadiusFactor = 1.5;
constexpr int kFourierTerms = 3;

// The samples' distances from the centre with only the coarsest Fourier
// terms, as points again in the samples' directions.
void AppendSmoothedOutline(const CRPointArray& samples, CScanRayResult1& result)
{
    const int cx = result.m_nCenterX;
    const int cy = result.m_nCenterY;
    CArray<double, double> distances;
    for (const POINT& p : samples)
        distances.Add(std::hypot(static_cast<double>(p.x - cx), static_cast<double>(p.y - cy)));
    FourierSpectrum(distances, kFourierTerms);
    for (INT_PTR i = 0; i < samples.GetSize(); ++i) {
        const double a = GetLineAngle(cx, cy, samples[i].x, samples[i].y);
        result.m_arrHits2.Add(POINT{static_cast<int>(std::cos(a) * distances[i] + cx),
                                    static_cast<int>(cy - std::sin(a) * distances[i])});
    }
}

} // namespace

int CalcObjectShapeFeatures(CDIB* /*image*/, CAOI* /*aoi*/, CRPolygon& contour,
                            const CArray<CRPolygon*, CRPolygon*>* holes, CScanRayResult1* result, int smoothing)
{
    CAOI4 area;
    CDIB mask;
    if (!CreateMask(area, &mask, &contour, holes, 1))
        return 0;
    double inner = 0.0;
    const POINT at = DistanceTransform(&mask, inner);
    // The distance transform answers mask positions less 2; the mask has a
    // margin of 1.
    contour.m_nCenterX = area.GetLeft() + at.x + 1;
    contour.m_nCenterY = area.GetTop() + at.y + 1;
    const double radius = std::max(kRadiusFactor * inner, kSmallestRadius);
    CRPointArray samples;
    const int n = contour.SampleByAngle(kSectors, samples, radius);
    if (n == 0 || result == nullptr)
        return 0;

    result->m_arrHits1.RemoveAll();
    result->m_arrHits2.RemoveAll();
    double sx = 0.0;
    double sy = 0.0;
    for (const POINT& p : samples) {
        sx += p.x;
        sy += p.y;
    }
    result->m_nCenterX = static_cast<int>(sx / n);
    result->m_nCenterY = static_cast<int>(sy / n);
    for (const POINT& p : samples)
        result->m_arrHits1.Add(p);
    if (smoothing == 1)
        AppendSmoothedOutline(samples, *result);
    result->KeepNearerHits();
    return 1;
}
