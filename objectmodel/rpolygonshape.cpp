// The shape side of CRPolygon: straightness, shape class, curvature peaks
// and angular sampling.

#include "objectmodel/curvature32.h"
#include "objectmodel/fit.h"
#include "objectmodel/lineangle.h"
#include "objectmodel/normstat.h"
#include "objectmodel/rpolygon.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

double Distance(POINT a, POINT b)
{
    return std::hypot(static_cast<double>(b.x - a.x), static_cast<double>(b.y - a.y));
}

} // namespace

bool CRPolygon::IsStraight() const
{
    const int n = static_cast<int>(GetSize());
    if (n < 5)
        return false;
    CFit fit;
    fit.SetSize(n / 2); // the even indices below n - 1
    int used = 0;
    for (int i = 0; i < n - 1; i += 2)
        fit.SetPoint(used++, GetAt(i).x, GetAt(i).y, 1.0f, 1.0f);
    double errorA = 0.0;
    double errorB = 0.0;
    double chi2 = 0.0; // fewer than 3 points: two points always lie on a line
    fit.FitLine(errorA, errorB, chi2);
    return chi2 < 40.0;
}

void CRPolygon::ClassifyShape()
{
    m_nShapeType = shapeNone;
    const int n = static_cast<int>(GetSize());
    if (n < 5)
        return;

    const double r = Distance(GetAt(n - 1), GetAt(0)) / PathLength(-1, -1);
    if (r > 0.95) {
        m_nShapeType = shapeLine;
    } else if (r > 0.75) {
        if (IsStraight())
            m_nShapeType = shapeLine;
        else if (IsLowCurvature())
            m_nShapeType = shapeLowCurvature;
    }
    if (m_nShapeType != shapeNone)
        return;

    const int corner = FindFirstPeak();
    if (corner > 0 && Distance(GetAt(0), GetAt(corner)) / PathLength(0, corner) > 0.8) {
        m_nShapeType = shapeCorner;
        m_nCurrentIndex = corner;
    }
}

bool CRPolygon::IsLowCurvature() const
{
    CCurvature32 curvature;
    curvature.CalcContourCurvatureSegment(*this, 10);
    CNormStat statistic;
    for (int i = 0; i < curvature.GetSize(); ++i)
        statistic.AddValue(curvature.GetAtExtended(i));
    statistic.Finish();
    const double variance = statistic.GetVariance();
    return variance == 0.0 || std::sqrt(variance) < 15.0;
}

int CRPolygon::FindCurvaturePeaks(CRPointArray& out, int window, double threshold, BOOL negate) const
{
    if (IsEmpty())
        return 0;
    CCurvature32 curvature;
    curvature.CalcContourCurvature(*this, window);
    if (negate)
        curvature.Negate();
    curvature.Smooth(5, 0);
    curvature.FindMaxima(threshold);
    for (const sPeak& peak : curvature.GetPeaks())
        out.Add(GetPointAt(peak.m_nIndex));
    return curvature.GetPeakCount();
}

int CRPolygon::FindFirstPeak() const
{
    if (IsEmpty())
        return -1;
    CCurvature32 curvature;
    curvature.CalcContourCurvature(*this, 9);
    curvature.Negate();
    curvature.Smooth(5, 0);
    if (!curvature.FindMaxima(20.0))
        return -1;
    curvature.SortPeaks();
    return curvature.GetPeaks()[0].m_nIndex;
}

int CRPolygon::FindCurvaturePeaksAdaptive(CRPointArray& out) const
{
    const int n = static_cast<int>(GetSize());
    if (n < 20)
        return 0;
    int window = 5;
    if (n > 150)
        window = 15;
    else if (n > 100)
        window = 9;
    else if (n > 50)
        window = 7;

    double threshold = 160.0;
    CRPointArray peaks;
    int found = FindCurvaturePeaks(peaks, window, threshold, TRUE);
    while (found < 2 && threshold - 10.0 > 20.0) {
        threshold -= 10.0;
        peaks.RemoveAll();
        found = FindCurvaturePeaks(peaks, window, threshold, TRUE);
    }
    for (const POINT& p : peaks)
        out.Add(p);
    return found;
}

int CRPolygon::SampleByAngle(int n, CRPointArray& out, double radius) const
{
    out.RemoveAll();
    if (n <= 0)
        return 0;
    const double sectorWidth = 6.2831854820251465 / n;
    std::vector<int> chosen(static_cast<size_t>(n), -1);
    std::vector<double> nearness(static_cast<size_t>(n), 0.0);
    for (int i = 0; i < GetSize(); ++i) {
        const POINT& p = GetAt(i);
        const double angle = GetLineAngle(m_nCenterX, m_nCenterY, p.x, p.y);
        const size_t sector = static_cast<size_t>(std::min(static_cast<int>(angle / sectorWidth), n - 1));
        const double offset = std::fabs(Distance({m_nCenterX, m_nCenterY}, p) - radius);
        // On equal nearness the later point wins.
        if (chosen[sector] < 0 || offset <= nearness[sector]) {
            chosen[sector] = i;
            nearness[sector] = offset;
        }
    }
    for (int index : chosen) {
        if (index >= 0)
            out.Add(GetAt(index));
    }
    return static_cast<int>(out.GetSize());
}
