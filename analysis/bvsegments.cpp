// Contour feature 7: an object's contour split into segments - the
// straight and the curved stretches, and the smooth stretches between
// two notches - each measured for the segment rows and the ellipse steps.

#include "analysis/bv.h"

#include "analysis/aoi.h"
#include "analysis/contourfeaturesettings.h"
#include "analysis/objdata.h"
#include "analysis/objsegments.h"
#include "objectmodel/curvature32.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double NormalAngle(double a)
{
    a = std::fmod(a, kTwoPi);
    return a < 0.0 ? a + kTwoPi : a;
}

// Direction from a to b in radians, y axis pointing up, 0 to 2 pi.
double Direction(double ax, double ay, double bx, double by)
{
    return NormalAngle(std::atan2(ay - by, bx - ax));
}

struct sCircle
{
    double cx = 0.0;
    double cy = 0.0;
    double r = 0.0;
    double rms = 0.0; // of the points' distances from the circle
};

// Least-squares circle through the points (algebraic fit); none for
// fewer than 3 points or points on one line.
std::optional<sCircle> FitCircle(const CRPolygon& points)
{
    const int n = static_cast<int>(points.GetSize());
    if (n < 3)
        return std::nullopt;
    double mx = 0.0;
    double my = 0.0;
    for (int i = 0; i < n; ++i) {
        mx += points[i].x;
        my += points[i].y;
    }
    mx /= n;
    my /= n;
    double suu = 0, svv = 0, suv = 0, suuu = 0, svvv = 0, suvv = 0, svuu = 0;
    for (int i = 0; i < n; ++i) {
        const double u = points[i].x - mx;
        const double v = points[i].y - my;
        suu += u * u;
        svv += v * v;
        suv += u * v;
        suuu += u * u * u;
        svvv += v * v * v;
        suvv += u * v * v;
        svuu += v * u * u;
    }
    const double det = suu * svv - suv * suv;
    const double scale = suu * svv + suv * suv;
    if (!(std::fabs(det) > 1e-9 * scale) || scale <= 0.0)
        return std::nullopt;
    const double b1 = 0.5 * (suuu + suvv);
    const double b2 = 0.5 * (svvv + svuu);
    const double uc = (b1 * svv - b2 * suv) / det;
    const double vc = (b2 * suu - b1 * suv) / det;
    sCircle c;
    c.cx = uc + mx;
    c.cy = vc + my;
    c.r = std::sqrt(uc * uc + vc * vc + (suu + svv) / n);
    if (!std::isfinite(c.r))
        return std::nullopt;
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        const double e = std::hypot(points[i].x - c.cx, points[i].y - c.cy) - c.r;
        sum += e * e;
    }
    c.rms = std::sqrt(sum / n);
    return c;
}

// count points of the contour from index from on (wrapping), with their
// curvature values.
std::unique_ptr<CKonturSegment> MakeSegment(const CRPolygon& contour, const CDataArray& curvature, int from,
                                            int count)
{
    auto segment = std::make_unique<CKonturSegment>();
    segment->m_Curvature = CDataAnalysis(CDataArray::typeFloat);
    const int n = static_cast<int>(contour.GetSize());
    for (int k = 0; k < count; ++k) {
        const int i = (from + k) % n;
        segment->m_Contour.Add(contour[i]);
        segment->m_Curvature.AddDouble(i < curvature.GetSize() ? curvature.GetAt(i) : 0.0);
    }
    return segment;
}

// Boundaries between straight and curved stretches (points on the area's
// border count as curved).
std::vector<int> MarkBoundaries(const CRPolygon& contour, const CAOI* aoi, int w, double threshold)
{
    const int n = static_cast<int>(contour.GetSize());
    const bool closed = contour.m_bClosed != FALSE;
    std::vector<int> bounds;
    int state = 0;
    for (int i = 0; i < n; ++i) {
        const POINT p = contour[i];
        bool curved = false;
        if (aoi != nullptr && aoi->IsOnBorder(p.x, p.y)) {
            curved = true;
        } else if (i % w == 0) {
            const int j = closed ? (i + w) % n : std::min(i + w, n - 1);
            const POINT q = contour[j];
            const double d = std::hypot(static_cast<double>(q.x - p.x), static_cast<double>(q.y - p.y));
            curved = d / w < threshold;
            if (!curved && state == 1) {
                bounds.push_back(i);
                state = 0;
            }
        } else {
            continue;
        }
        if (curved && state == 0) {
            bounds.push_back(i);
            state = 1;
        }
    }
    if (state == 1 && !bounds.empty())
        bounds.push_back(n - 1);
    return bounds;
}

bool TouchesBorder(const CRPolygon& contour, const CAOI* aoi, int from, int to)
{
    if (aoi == nullptr)
        return false;
    for (int i = from; i < to; ++i)
        if (aoi->IsOnBorder(contour[i].x, contour[i].y))
            return true;
    return false;
}

// The concave peaks of the segment's smoothed curvature: where touching
// objects meet.
std::vector<int> FindNotches(const CDataAnalysis& series, bool ring, double threshold)
{
    CDataAnalysis concave(series);
    concave.SetRing(ring ? TRUE : FALSE);
    concave.Negate();
    concave.FindMaxima(threshold);
    std::vector<int> notches;
    for (const sPeak& peak : concave.GetPeaks())
        notches.push_back(peak.m_nIndex);
    std::sort(notches.begin(), notches.end());
    notches.erase(std::unique(notches.begin(), notches.end()), notches.end());
    return notches;
}

// Per point: 1 where the contour turns faster than an arc of the line-fit
// radius would, else 0. Runs shorter than the window join the run before
// them, so that pixel noise makes no segment.
std::vector<int> ClassifyCurved(const CDataArray& series, bool ring, const sContourFeatureSettings& settings,
                                int window)
{
    const int n = series.GetSize();
    const double limit = settings.fit / static_cast<double>(settings.lineFit) * 180.0 / std::numbers::pi;
    std::vector<int> curved(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        curved[static_cast<size_t>(i)] = std::fabs(series.GetAt(i)) >= limit ? 1 : 0;
    // A ring is walked from a change of class, so that no run wraps.
    int origin = 0;
    if (ring)
        for (int i = 1; i < n; ++i)
            if (curved[static_cast<size_t>(i)] != curved[static_cast<size_t>(i - 1)]) {
                origin = i;
                break;
            }
    struct sRun
    {
        int label;
        int length;
    };
    std::vector<sRun> runs;
    for (int k = 0; k < n; ++k) {
        const int label = curved[static_cast<size_t>((origin + k) % n)];
        if (!runs.empty() && runs.back().label == label)
            ++runs.back().length;
        else
            runs.push_back({label, 1});
    }
    // Short runs join the run before them (the first one the run after it).
    std::vector<sRun> kept;
    int pending = 0;
    for (const sRun& run : runs) {
        if (run.length < window && !kept.empty()) {
            kept.back().length += run.length;
        } else if (run.length < window && runs.size() > 1) {
            pending += run.length;
        } else if (!kept.empty() && kept.back().label == run.label) {
            kept.back().length += run.length;
        } else {
            kept.push_back({run.label, run.length + pending});
            pending = 0;
        }
    }
    if (kept.empty())
        kept.push_back({runs.empty() ? 0 : runs.front().label, pending});
    else
        kept.front().length += pending;
    int k = 0;
    for (const sRun& run : kept)
        for (int j = 0; j < run.length; ++j, ++k)
            curved[static_cast<size_t>((origin + k) % n)] = run.label;
    return curved;
}

// The segment cut at its notches and where it passes between straight
// and curved; a whole contour is a ring, so its first and last piece are
// one.
std::vector<std::unique_ptr<CKonturSegment>> SplitSegment(std::unique_ptr<CKonturSegment> segment,
                                                          const sContourFeatureSettings& settings, int window)
{
    std::vector<std::unique_ptr<CKonturSegment>> pieces;
    const int n = static_cast<int>(segment->m_Contour.GetSize());
    const bool ring = segment->m_bWholeContour;
    std::vector<int> cuts = FindNotches(segment->m_Curvature, ring, settings.low);
    const std::vector<int> curved = ClassifyCurved(segment->m_Curvature, ring, settings, window);
    for (int i = ring ? 0 : 1; i < n; ++i)
        if (curved[static_cast<size_t>(i)] != curved[static_cast<size_t>(i == 0 ? n - 1 : i - 1)])
            cuts.push_back(i);
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    std::erase_if(cuts, [&](int k) { return k < (ring ? 0 : 1) || k >= n; });
    if (cuts.empty()) {
        segment->m_nType = n > 0 && curved[0] != 0 ? CKonturSegment::convex : CKonturSegment::straight;
        pieces.push_back(std::move(segment));
        return pieces;
    }
    if (!ring)
        cuts.insert(cuts.begin(), 0);
    for (size_t c = 0; c < cuts.size(); ++c) {
        const int from = cuts[c];
        const int to = c + 1 < cuts.size() ? cuts[c + 1] : (ring ? cuts[0] + n : n);
        auto piece = MakeSegment(segment->m_Contour, segment->m_Curvature, from, to - from);
        piece->m_nType = curved[static_cast<size_t>(from)] != 0 ? CKonturSegment::convex : CKonturSegment::straight;
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

// Length, chord, curvature, the circle of the segment and the angles the
// ellipse steps read.
void MeasureSegment(CKonturSegment& segment, const sContourFeatureSettings& settings)
{
    const CRPolygon& points = segment.m_Contour;
    const int n = static_cast<int>(points.GetSize());
    segment.m_nLength = n;
    if (n == 0)
        return;
    const POINT first = points[0];
    const POINT last = points[n - 1];
    segment.m_nChordLength =
        static_cast<int>(std::hypot(static_cast<double>(last.x - first.x), static_cast<double>(last.y - first.y)));
    segment.m_dChordAngle = Direction(first.x, first.y, last.x, last.y);
    double sum = 0.0;
    for (int i = 0; i < segment.m_Curvature.GetSize(); ++i)
        sum += segment.m_Curvature.GetAt(i);
    segment.m_dMeanCurvature = segment.m_Curvature.GetSize() > 0 ? sum / segment.m_Curvature.GetSize() : 0.0;

    if (segment.m_Curvature.GetSize() >= 10 && segment.m_Curvature.FindMaxima(settings.low)) {
        segment.m_Curvature.SortPeaks();
        segment.m_nMaxPos = segment.m_Curvature.GetPeaks()[0].m_nIndex;
    }

    // A straight stretch, or one whose circle is wider than the line-fit
    // radius, has no centre to refer to.
    const std::optional<sCircle> circle = FitCircle(points);
    if (segment.m_nType == CKonturSegment::straight || !circle || circle->r > settings.lineFit) {
        segment.m_nType = CKonturSegment::straight;
        return;
    }
    segment.m_dRoughness = circle->rms;
    segment.m_nType = segment.m_dMeanCurvature >= 0.0 ? CKonturSegment::convex : 2;
    segment.m_ptRef = CPoint(static_cast<int>(std::lround(circle->cx)), static_cast<int>(std::lround(circle->cy)));

    // The arc's sweep about the centre; its angle range is the part of the
    // circle it leaves open, where other arcs of the same circle lie.
    double sweep = 0.0;
    double previous = Direction(circle->cx, circle->cy, first.x, first.y);
    const double start = previous;
    for (int i = 1; i < n; ++i) {
        const double a = Direction(circle->cx, circle->cy, points[i].x, points[i].y);
        double d = a - previous;
        if (d > std::numbers::pi)
            d -= kTwoPi;
        else if (d < -std::numbers::pi)
            d += kTwoPi;
        sweep += d;
        previous = a;
    }
    const double end = previous;
    segment.m_dOpenAngle = std::fabs(sweep);
    segment.m_dStartAngle = sweep >= 0.0 ? end : start;
    segment.m_dEndAngle = sweep >= 0.0 ? start : end;
    const POINT middle = points[n / 2];
    segment.m_dDirectionAngle = Direction(circle->cx, circle->cy, middle.x, middle.y);
    if (segment.m_nMaxPos >= 0 && segment.m_nMaxPos < n) {
        const POINT peak = points[segment.m_nMaxPos];
        segment.m_dPeakDirectionAngle = Direction(peak.x, peak.y, circle->cx, circle->cy);
    }
}

} // namespace

void CBV::SegmentContour(CObjData& record, const CRPolygon& contour, CAOI* aoi)
{
    const int n = static_cast<int>(contour.GetSize());
    if (n < 2)
        return;
    const sContourFeatureSettings settings = ClampContourFeatureSettings(m_Profiles.m_ObjectFilter, n);
    const int w = settings.segmentFit;
    CCurvature32 curvature;
    curvature.CalcContourCurvature(contour, settings.fit);

    std::vector<std::unique_ptr<CKonturSegment>> segments;
    const auto whole = [&]() {
        auto segment = MakeSegment(contour, curvature, 0, n);
        segment->m_bWholeContour = true;
        segments.push_back(std::move(segment));
    };
    const std::vector<int> bounds = MarkBoundaries(contour, aoi, w, settings.segmentThres);
    if (bounds.empty()) {
        whole();
    } else {
        int firstStart = -1;
        int previousEnd = -1;
        for (size_t k = 0; k + 1 < bounds.size(); k += 2) {
            const int a = bounds[k];
            const int b = bounds[k + 1];
            if ((b - a) / w <= 1)
                continue;
            if (firstStart < 0)
                firstStart = a;
            else
                segments.push_back(MakeSegment(contour, curvature, previousEnd, a - previousEnd));
            // The curved stretch is a segment of its own, unless the area's
            // border cut the object there.
            if (!TouchesBorder(contour, aoi, a, b))
                segments.push_back(MakeSegment(contour, curvature, a, b - a));
            previousEnd = b;
        }
        if (firstStart < 0) {
            whole();
        } else if ((n - previousEnd) + firstStart > 1) {
            auto segment = MakeSegment(contour, curvature, previousEnd, n - previousEnd + firstStart);
            segment->m_bWholeContour = previousEnd == 0;
            segments.push_back(std::move(segment));
        }
    }

    for (std::unique_ptr<CKonturSegment>& segment : segments) {
        if (!segment->m_bWholeContour)
            segment->m_Curvature.FillEnds(5);
        segment->m_Curvature.SetRing(segment->m_bWholeContour ? TRUE : FALSE);
        segment->m_Curvature.Smooth(5, 0);
        for (std::unique_ptr<CKonturSegment>& piece : SplitSegment(std::move(segment), settings, w)) {
            MeasureSegment(*piece, settings);
            record.AddSegmentB(std::move(piece));
        }
    }
}
