// The automatic threshold: histograms of the image inside an area of
// interest, each searched for the valley beside its main peak.

#include "analysis/aoi.h"
#include "analysis/aoiwalk.h"
#include "analysis/segthres.h"

#include "objectmodel/dataanalysis.h"
#include "outside/pixmere/device.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>

namespace {

constexpr int kBins = 256;

using Histogram = std::array<int, kBins>;

// Counts of red, green and blue over the image pixels of the area's rows;
// where the area hangs over the image's edge there are no pixels to count.
std::array<Histogram, 3> CollectHistograms(const Device& image, const CAOI& area)
{
    std::array<Histogram, 3> counts{};
    kestrun::ForEachBorderPixel(area, [&](int x, int y) {
        if (!kestrun::IsInImage(image, x, y))
            return;
        const COLORREF c = image.GetPixel(x, y);
        ++counts[0][c & 0xFF];
        ++counts[1][(c >> 8) & 0xFF];
        ++counts[2][(c >> 16) & 0xFF];
    });
    return counts;
}

int ThresholdOf(const Histogram& counts, int mode)
{
    CDataAnalysis histogram(CDataArray::typeLong);
    histogram.SetSize(kBins);
    histogram.ClearAll();
    for (int i = 0; i < kBins; ++i)
        histogram.SetAtWrapped(i, counts[static_cast<size_t>(i)]);
    return CSegThres::FindHistogramThreshold(histogram, mode);
}

} // namespace

int CSegThres::FindHistogramThreshold(CDataAnalysis& histogram, int mode)
{
    histogram.Smooth(5, 0);
    const auto h = [&histogram](int i) { return static_cast<int>(histogram.GetAt(i)); };

    const int end = mode == modeBright ? kBins - 1 : 0;
    int peak = 0;
    if (histogram.SearchPeaks(5.0, 255.0) && histogram.GetPeakCount() > 0) {
        histogram.SortPeaks();
        peak = histogram.GetPeaks()[0].m_nIndex;
    }
    const int first = std::min(peak, end);
    const int last = std::max(peak, end);
    const int peakHeight = h(peak);

    // The foot of the peak: the lowest point towards the end, stopping
    // where the histogram rises to more than twice it again.
    int m = h(first);
    int q = first;
    int equal = 0;
    for (int i = first + 1; i <= last; ++i) {
        const int v = h(i);
        if (v < m) {
            m = v;
            q = i;
        } else if (v == m) {
            ++equal;
        } else if (v > 2 * m) {
            break;
        } else {
            if (equal != 0)
                q = i + equal / 2;
            equal = 0;
        }
    }

    // The position farthest from the line between the foot and the peak.
    const double slope = peak == q ? DBL_MAX
                         : peakHeight == m ? 0.0
                                           : static_cast<double>(peakHeight - m) / (peak - q);
    int threshold = 0;
    double best = 0.0;
    for (int i = std::min(q, peak); i <= std::max(q, peak); ++i) {
        double distance;
        if (peak == q) {
            distance = std::abs(i - q);
        } else {
            const double dx = i - q;
            const double dy = h(i) - m;
            const double t = (dx + slope * dy) / (1.0 + slope * slope);
            distance = std::sqrt((dx - t) * (dx - t) + (dy - slope * t) * (dy - slope * t));
        }
        if (distance > best) {
            best = distance;
            threshold = i;
        }
    }
    return threshold;
}

void CSegThres::AutoThreshold(const Device& image, const CAOI& area)
{
    const std::array<Histogram, 3> counts = CollectHistograms(image, area);
    COLORREF level;
    if (m_bPerChannel == 1) {
        level = RGB(ThresholdOf(counts[0], m_Mode), ThresholdOf(counts[1], m_Mode), ThresholdOf(counts[2], m_Mode));
    } else {
        const int t = ThresholdOf(counts[1], m_Mode);
        level = RGB(t, t, t);
    }
    if (m_Mode == modeDark)
        m_Lower = level;
    else if (m_Mode == modeBright)
        m_Upper = level;
    else
        return; // the band modes keep their limits; tightening them again on every call would close them
    Tighten(m_AutoOffset);
}
