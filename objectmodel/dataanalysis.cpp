#include "objectmodel/dataanalysis.h"

#include "platform/core/atomicfile.h"

#include <algorithm>
#include <cstdio>
#include <vector>

IMPLEMENT_SERIAL(CDataAnalysis, CDataArray, VERSIONABLE_SCHEMA | 6)

namespace {

using kestrun::SeriesTruncate;

// Samples of a grey profile that count as marked for the cumulative count.
constexpr double kDarkMark = 50.0;
constexpr double kBrightMark = 155.0;
constexpr double kGreyRange = 255.0;

// "%lf" with a decimal comma, as the analysis exports are read back.
std::string CommaNumber(double v)
{
    char text[512];
    std::snprintf(text, sizeof text, "%lf", v);
    std::string s(text);
    std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

} // namespace

CDataAnalysis::CDataAnalysis(int valueType) : CDataArray(valueType) {}

// --- local maxima ----------------------------------------------------------------

BOOL CDataAnalysis::FindMaxima(double threshold)
{
    m_aPeaks.RemoveAll();
    const int n = GetSize();
    if (n < 10)
        return FALSE;

    // Base walks: a base moves on while one of the next three values lies
    // below it. On a ring the lowest value stops every walk, so a walk never
    // needs more than one turn; open series stop at their ends.
    const auto below = [this](int base, int step) {
        const double v = GetAtExtended(base);
        return GetAtExtended(base + step) < v || GetAtExtended(base + 2 * step) < v ||
               GetAtExtended(base + 3 * step) < v;
    };
    const auto wrap = [n](int k) { return ((k % n) + n) % n; };

    for (int i = 0; i < n;) {
        const double v = GetAtExtended(i);
        bool isPeak = v > threshold;
        if (isPeak && (m_bRing || i - 1 > 1))
            isPeak = GetAtExtended(i - 1) <= v && GetAtExtended(i - 2) <= v;
        if (isPeak && (m_bRing || i + 1 < n - 1))
            isPeak = GetAtExtended(i + 1) < v && GetAtExtended(i + 2) < v;
        if (!isPeak) {
            ++i;
            continue;
        }

        int left = i - 1;
        int right = i + 1;
        if (m_bRing) {
            for (int steps = 0; steps < n && below(left, -1); ++steps)
                --left;
            for (int steps = 0; steps < n && below(right, +1); ++steps)
                ++right;
        } else {
            left = std::max(left, 0);
            while (left > 0 && below(left, -1))
                --left;
            right = std::min(right, n - 1);
            while (right < n - 1 && below(right, +1))
                ++right;
        }
        AddPeak(sPeak{i, m_bRing ? wrap(left) : left, m_bRing ? wrap(right) : right, v});
        if (!m_bRing && right >= n - 1)
            break;
        i = right + 1;
    }
    return m_aPeaks.IsEmpty() ? FALSE : TRUE;
}

// --- runs above the baseline ---------------------------------------------------

void CDataAnalysis::ComputeBaseline()
{
    const int n = GetSize();
    const int h = std::min(n / 2, 200);
    m_aBaseline.SetSize(n);
    if (h == 0) {
        // No samples before the first one to average.
        for (float& b : m_aBaseline)
            b = 0.0f;
        return;
    }
    double sum = 0.0;
    for (int k = -h; k <= -1; ++k)
        sum += GetAtExtended(k);
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            sum += GetAtExtended(i - 1) - GetAtExtended(i - h - 1);
        m_aBaseline[i] = static_cast<float>(sum / h);
    }
}

BOOL CDataAnalysis::FindPeaksOverBaseline(double threshold, double scale)
{
    m_aPeaks.RemoveAll();
    const int n = GetSize();
    if (n < 8)
        return FALSE;
    ComputeBaseline();
    const double limit = threshold / scale * 100.0;
    const auto excess = [this](int i) { return GetAt(i) - m_aBaseline[i]; };

    bool open = false;
    int start = 0;
    int end = 0;
    int top = 0;
    double best = 0.0;

    // A run that reaches the last sample may go on at index 0.
    for (int k = n - 1; k >= 0 && excess(k) > 0.0; --k) {
        open = true;
        start = k;
        if (excess(k) > best) {
            best = excess(k);
            top = k;
        }
    }
    if (open && !(excess(0) > 0.0)) {
        // It does not: a run cut off by the end of the series is no peak.
        open = false;
        best = 0.0;
    }

    for (int i = 0; i < n; ++i) {
        const double e = excess(i);
        if (e > 0.0) {
            if (!open) {
                open = true;
                start = i;
            }
            end = i;
            if (e > best) {
                best = e;
                top = i;
            }
        } else if (open) {
            if (best > limit)
                AddPeak(sPeak{top, start, end, best});
            best = 0.0;
            open = false;
        }
    }
    return m_aPeaks.IsEmpty() ? FALSE : TRUE;
}

// --- the peak list ---------------------------------------------------------------

void CDataAnalysis::SortPeaks()
{
    std::stable_sort(m_aPeaks.begin(), m_aPeaks.end(),
                     [](const sPeak& a, const sPeak& b) { return a.m_dValue > b.m_dValue; });
}

int CDataAnalysis::GetPeakWidth(int k) const
{
    if (k < 0 || k >= m_aPeaks.GetSize())
        return 0;
    const sPeak& peak = m_aPeaks[k];
    int width = peak.m_nRight - peak.m_nLeft;
    if (peak.m_nLeft > peak.m_nRight)
        width += GetSize();
    return width;
}

int CDataAnalysis::AddPeak(const sPeak& peak)
{
    return static_cast<int>(m_aPeaks.Add(peak));
}

// --- edges of a grey-value profile ---------------------------------------------

double CDataAnalysis::FindExtremeAfter(int i, int& extremeIndex, int mode) const
{
    const auto level = [this, mode](int k) { return mode == 1 ? kGreyRange - GetAt(k) : GetAt(k); };
    const int n = GetSize();
    double best = level(i);
    int misses = 0;
    for (int k = i + 1; k < n; ++k) {
        const double w = level(k);
        if (w >= best) {
            best = w;
            extremeIndex = k;
        } else {
            if (misses > 2)
                break;
            ++misses;
        }
    }
    return best;
}

int CDataAnalysis::FindEdges(CArray<sEdgePos>& out, int minThreshold, int mode) const
{
    const int n = GetSize();
    if (n < 2)
        return -1;
    out.RemoveAll();

    // The slope of the profile (negated for dark edges) and how many
    // samples are marked up to each index.
    CDataAnalysis slope(typeDouble);
    std::vector<int> cumulative(static_cast<size_t>(n - 1));
    int marked = 0;
    double maxSlope = 0.0;
    for (int i = 0; i < n - 1; ++i) {
        const double v = GetAt(i);
        if (mode == 1 ? v < kDarkMark : v > kBrightMark)
            ++marked;
        cumulative[static_cast<size_t>(i)] = marked;
        double d = GetAt(i + 1) - v;
        if (mode == 1)
            d = -d;
        maxSlope = std::max(maxSlope, d);
        slope.AddDouble(d);
    }

    const int threshold = std::max(minThreshold, SeriesTruncate(maxSlope * 0.5));
    if (slope.FindPeaksOverBaseline(threshold, kGreyRange))
        slope.SortPeaks();

    int previousExtreme = 0;
    for (const sPeak& peak : slope.GetPeaks()) {
        int extreme = 0;
        const double reach = FindExtremeAfter(peak.m_nIndex, extreme, mode);
        double strength = (reach / kGreyRange) * peak.m_dValue * (peak.m_nIndex / 100.0);
        // Two slopes leading to the same extreme make one strong edge.
        if (extreme == previousExtreme)
            strength *= 2.0;
        previousExtreme = extreme;

        const int g = SeriesTruncate(GetAt(peak.m_nIndex));
        const int g1 = SeriesTruncate(GetAt(peak.m_nIndex + 1));
        sEdgePos edge;
        edge.m_nIndex = peak.m_nIndex;
        edge.m_nExtremeIndex = extreme;
        edge.m_nPeakHeight = SeriesTruncate(peak.m_dValue);
        edge.m_nGrey = g + (g1 - g) / 6;
        edge.m_dStrength = strength;
        edge.m_nCumulative = cumulative[static_cast<size_t>(peak.m_nIndex)];
        out.Add(edge);
    }
    return slope.GetPeakCount();
}

// --- export ----------------------------------------------------------------------

void CDataAnalysis::WriteText(const char* path, const char* separator) const
{
    const int n = GetSize();
    if (n == 0)
        return;
    const std::string sep = separator ? separator : "";
    const bool withBaseline = m_aBaseline.GetSize() == n;
    std::string text;
    for (int i = 0; i < n; ++i) {
        text += std::to_string(i) + sep + CommaNumber(GetAt(i));
        if (withBaseline)
            text += sep + CommaNumber(m_aBaseline[i]);
        text += '\n';
    }
    kestrun::CAtomicFileWriter file(path);
    file.Write(text.data(), text.size());
    file.Commit();
}
