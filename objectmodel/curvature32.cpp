#include "objectmodel/curvature32.h"

#include "objectmodel/fit.h"
#include "objectmodel/rpolygon.h"

#include <algorithm>
#include <cmath>
#include <vector>

IMPLEMENT_DYNAMIC(CCurvature32, CDataAnalysis)

namespace {

// The program's pi, as the stored profiles were made with it.
const double kProgramPi = std::acos(0.5) * 3.0;

// A change of direction brought into [-180, 180] degrees.
double FoldDegrees(double d)
{
    if (d > 180.0)
        return d - 360.0;
    if (d < -180.0)
        return d + 360.0;
    return d;
}

} // namespace

int CCurvature32::BuildDirections(const CRPolygon& polygon, int& window)
{
    Reset();
    SetRing(polygon.m_bClosed);
    const int n = static_cast<int>(polygon.GetSize());
    while (window > n / 2)
        window -= 2;
    if (window < 3)
        window = 3;
    const int h = window / 2;
    if (n == 0)
        return h;

    CFit fit;
    fit.SetSize(window);
    for (int j = 0; j < window; ++j) {
        const CPoint p = polygon.GetPointAt(j - h);
        fit.SetPoint(j, p.x, p.y, 1.0f, 1.0f);
    }
    for (int i = 0; i < n; ++i) {
        if (i >= 1) {
            const CPoint p = polygon.GetPointAt(i + h);
            fit.PushPoint(p.x, p.y, 1.0f, 1.0f);
        }
        double errorA = 0.0;
        double errorB = 0.0;
        double chi2 = 0.0;
        fit.FitLine(errorA, errorB, chi2);
        AddDouble(static_cast<float>(fit.GetDirection() * 180.0 / kProgramPi));
    }
    return h;
}

void CCurvature32::CalcContourCurvature(const CRPolygon& polygon, int window)
{
    const int h = BuildDirections(polygon, window);
    const int n = GetSize();
    std::vector<double> k(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        k[static_cast<size_t>(i)] = FoldDegrees(GetAtExtended(i - h) - GetAtExtended(i + h));
    for (int i = 0; i < n; ++i)
        SetAtWrapped(i, k[static_cast<size_t>(i)]);
}

void CCurvature32::CalcContourCurvatureSegment(const CRPolygon& polygon, int window)
{
    m_dMax = 0.0;
    m_dMin = 180.0;
    const int h = BuildDirections(polygon, window);
    const int n = GetSize();
    if (n == 0)
        return;
    const bool ring = IsRing() != FALSE;

    // The directions jump by 360 degrees where they pass 0 (a stretch
    // running right flips between about 0 and about 360): they are made
    // continuous first, so that smoothing and differences see the real turn.
    std::vector<double> raw(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        raw[static_cast<size_t>(i)] = GetAt(i);
    std::vector<double> a(static_cast<size_t>(n));
    a[0] = raw[0];
    for (size_t i = 1; i < raw.size(); ++i)
        a[i] = a[i - 1] + FoldDegrees(raw[i] - raw[i - 1]);
    // A ring gains whole turns from its end back round to its start.
    const double turn = ring ? a.back() + FoldDegrees(raw.front() - raw.back()) - a.front() : 0.0;
    const auto extended = [n, ring, turn](const std::vector<double>& v, int i) {
        if (ring) {
            const int q = (i >= 0 ? i : i - n + 1) / n;
            return v[static_cast<size_t>(i - q * n)] + q * turn;
        }
        // An open stretch reflects at its ends, as the series does.
        if (i < 0)
            i = -i;
        if (i >= n)
            i = 2 * n - i - 2;
        return v[static_cast<size_t>(std::clamp(i, 0, n - 1))];
    };

    // Moving average over 5 values.
    std::vector<double> smoothed(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        double sum = 0.0;
        for (int j = -2; j <= 2; ++j)
            sum += extended(a, i + j);
        smoothed[static_cast<size_t>(i)] = sum / 5.0;
    }
    // Directions as stored: [0, 360).
    const auto direction = [&](int i) {
        const double d = std::fmod(extended(smoothed, i), 360.0);
        return d < 0.0 ? d + 360.0 : d;
    };

    for (int i = 0; i < n; ++i) {
        // An open stretch compares each direction with the one a window
        // ahead, or with its last one near the end.
        const double value = ring ? FoldDegrees(extended(smoothed, i - h) - extended(smoothed, i + h))
                                  : std::fabs(FoldDegrees(smoothed[static_cast<size_t>(i)] -
                                                          smoothed[static_cast<size_t>(std::min(i + window, n - 1))]));
        SetAtWrapped(i, value);
        if (value > m_dMax) {
            m_dMax = value;
            m_ptMax = polygon.GetPointAt(i);
            m_fMaxDirectionBefore = static_cast<float>(direction(i - h));
            m_fMaxDirectionAfter = static_cast<float>(direction(i + h));
            m_ptMaxBefore = polygon.GetPointAt(i - h);
            m_ptMaxAfter = polygon.GetPointAt(i + h);
        }
        if (value < m_dMin) {
            m_dMin = value;
            m_ptMin = polygon.GetPointAt(i);
        }
    }
}

int CCurvature32::WrapIndex(int i) const
{
    const int n = GetSize();
    if (n == 0)
        return 0;
    i %= n;
    return i < 0 ? i + n : i;
}

double CCurvature32::SnapX(double x) const
{
    const int last = GetSize() - 1;
    const double position = (x - GetX0()) / GetDX() + 0.5;
    // Reads below the first sample are clamped by GetAt.
    const int i = position >= last ? last : (position < 0.0 ? 0 : static_cast<int>(position));
    return GetAt(i);
}
