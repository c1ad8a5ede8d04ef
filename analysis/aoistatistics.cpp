#include "analysis/aoistatistics.h"

#include "analysis/aoiwalk.h"
#include "analysis/cooccurencematrix.h"
#include "analysis/segthres.h"
#include "objectmodel/dataarray.h"
#include "objectmodel/moments.h"
#include "objectmodel/normstat.h"
#include "outside/pixmere/dib.h"
#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

using kestrun::IsInImage;

namespace {

constexpr int kTextureLevels = 32;

double Spread(const CNormStat& stat)
{
    return stat.GetVariance() == 0.0 ? 0.0 : std::sqrt(stat.GetVariance());
}

using Histogram = std::array<long long, 256>;

bool IsHistogram(const CDataArray& series)
{
    return series.GetValueType() == CDataArray::typeLong;
}

// Clears the series and writes the counts; bins without pixels stay 0.
void StoreHistogram(CDataArray& series, const Histogram& counts)
{
    series.ClearAll();
    for (int bin = 0; bin < 256; ++bin)
        if (counts[static_cast<size_t>(bin)] != 0)
            series.SetAtWrapped(bin, static_cast<double>(counts[static_cast<size_t>(bin)]));
}

void RequireBins(const CDataArray& series)
{
    if (series.GetSize() < 256)
        AfxThrowInvalidArgException();
}

} // namespace

namespace {

// Sums of one channel in whole numbers: exact, and what CNormStat makes of
// the same values.
struct sChannelSums
{
    unsigned long long sum = 0;
    unsigned long long squares = 0;

    void Add(unsigned value)
    {
        sum += value;
        squares += value * value;
    }
    double Mean(unsigned long long n) const { return n == 0 ? 0.0 : static_cast<double>(sum) / static_cast<double>(n); }
    double Spread(unsigned long long n) const
    {
        if (n == 0)
            return 0.0;
        const double s = static_cast<double>(sum);
        const double differences = std::fabs(static_cast<double>(squares) - s * s / static_cast<double>(n));
        const double variance = n > 1 ? differences / static_cast<double>(n - 1) : differences;
        return variance == 0.0 ? 0.0 : std::sqrt(variance);
    }
};

// A 24-bit page read row by row instead of pixel by pixel: the matching
// windows take the statistics of every cell of every live frame.
bool ComputeColorStatisticsOfPage(const CAOI& aoi, const CDIB& page, Color_Double& mean, Color_Double& spread)
{
    if (page.GetBitCount() != 24)
        return false;
    const int width = page.GetWidth();
    const int height = page.GetHeight();
    sChannelSums red;
    sChannelSums green;
    sChannelSums blue;
    unsigned long long n = 0;
    const int bottom = aoi.GetTop() + aoi.GetHeight();
    for (int y = std::max(aoi.GetTop(), 0); y < std::min(bottom, height); ++y) {
        const int left = std::max(aoi.GetRowLeft(y), 0);
        const int right = std::min(aoi.GetRowRight(y), width - 1);
        if (left > right)
            continue;
        const BYTE* p = page.GetRow(y).data() + 3 * static_cast<size_t>(left);
        for (int x = left; x <= right; ++x, p += 3) {
            blue.Add(p[0]);
            green.Add(p[1]);
            red.Add(p[2]);
        }
        n += static_cast<unsigned long long>(right - left + 1);
    }
    mean = Color_Double(red.Mean(n), green.Mean(n), blue.Mean(n));
    spread = Color_Double(red.Spread(n), green.Spread(n), blue.Spread(n));
    return true;
}

} // namespace

void ComputeColorStatistics(const CAOI& aoi, const Device& image, Color_Double& mean, Color_Double& spread)
{
    if (const auto* page = dynamic_cast<const CDIB*>(&image); page && ComputeColorStatisticsOfPage(aoi, *page, mean, spread))
        return;
    CNormStat red;
    CNormStat green;
    CNormStat blue;
    kestrun::ForEachBorderPixel(aoi, [&](int x, int y) {
        if (!IsInImage(image, x, y))
            return;
        const COLORREF c = image.GetPixel(x, y);
        red.AddValue(GetRValue(c));
        green.AddValue(GetGValue(c));
        blue.AddValue(GetBValue(c));
    });
    red.Finish();
    green.Finish();
    blue.Finish();
    mean = Color_Double(red.GetMean(), green.GetMean(), blue.GetMean());
    spread = Color_Double(Spread(red), Spread(green), Spread(blue));
}

void ComputeColorHistogram(const CAOI& aoi, const Device& image, CDataArray& red, CDataArray& green,
                           CDataArray& blue)
{
    // Counts beyond 32767 do not fit a 16-bit series: all three are checked.
    if (!IsHistogram(red) || !IsHistogram(green) || !IsHistogram(blue)) {
        AfxMessageBox("Wrong Data Type");
        return;
    }
    RequireBins(red);
    RequireBins(green);
    RequireBins(blue);
    Histogram r{};
    Histogram g{};
    Histogram b{};
    kestrun::ForEachBorderPixel(aoi, [&](int x, int y) {
        if (!IsInImage(image, x, y))
            return;
        const COLORREF c = image.GetPixel(x, y);
        ++r[GetRValue(c)];
        ++g[GetGValue(c)];
        ++b[GetBValue(c)];
    });
    StoreHistogram(red, r);
    StoreHistogram(green, g);
    StoreHistogram(blue, b);
}

void ComputeGreenHistogram(const CAOI& aoi, const Device& image, CDataArray& series)
{
    if (!IsHistogram(series)) {
        AfxMessageBox("Wrong Data Type");
        return;
    }
    RequireBins(series);
    Histogram g{};
    kestrun::ForEachBorderPixel(aoi, [&](int x, int y) {
        if (IsInImage(image, x, y))
            ++g[GetGValue(image.GetPixel(x, y))];
    });
    StoreHistogram(series, g);
}

void GetFieldMeanColors(const CAOI& aoi, const Device& image, COLORREF& even, COLORREF& odd)
{
    if (aoi.GetWidth() == 0 && aoi.GetHeight() == 0)
        return;
    struct Field
    {
        long long r = 0;
        long long g = 0;
        long long b = 0;
        long long count = 0;

        COLORREF Mean() const
        {
            if (count == 0)
                return RGB(0, 0, 0);
            return RGB(static_cast<BYTE>(r / count), static_cast<BYTE>(g / count), static_cast<BYTE>(b / count));
        }
    };
    Field fields[2];
    kestrun::ForEachRunPixel(aoi, [&](int x, int y) {
        if (!IsInImage(image, x, y))
            return;
        const COLORREF c = image.GetPixel(x, y);
        Field& f = fields[y % 2];
        f.r += GetRValue(c);
        f.g += GetGValue(c);
        f.b += GetBValue(c);
        ++f.count;
    });
    even = fields[0].Mean();
    odd = fields[1].Mean();
}

BYTE ChannelValue(COLORREF color, int channel)
{
    switch (channel) {
    case 0:
        return GetRValue(color);
    case 1:
        return GetGValue(color);
    case 2:
        return GetBValue(color);
    case 3:
        return static_cast<BYTE>(0.299 * GetRValue(color) + 0.587 * GetGValue(color) + 0.114 * GetBValue(color));
    default:
        return 0;
    }
}

bool ComputeTexture(const CAOI& aoi, const Device& image, int channel, double* energy, double* contrast,
                    double* entropy, double* homogeneity, int step)
{
    if (step < 1)
        AfxThrowInvalidArgException();
    CCooccurenceMatrix matrix(kTextureLevels);
    bool anyPair = false;
    const int bottom = aoi.GetTop() + aoi.GetHeight();
    for (int y = aoi.GetTop(); y < bottom; y += step) {
        const int right = aoi.GetRowRight(y);
        for (int x = aoi.GetRowLeft(y) + 1; x <= right; x += step) {
            if (!IsInImage(image, x - 1, y) || !IsInImage(image, x, y))
                continue;
            matrix.AddPair(ChannelValue(image.GetPixel(x - 1, y), channel),
                           ChannelValue(image.GetPixel(x, y), channel));
            anyPair = true;
        }
    }
    if (!anyPair)
        return false;
    // In this order: homogeneity sees the normalised matrix when one of the
    // others ran before it.
    if (energy)
        *energy = matrix.Energy();
    if (contrast)
        *contrast = matrix.Contrast();
    if (entropy)
        *entropy = matrix.Entropy();
    if (homogeneity)
        *homogeneity = matrix.Homogeneity();
    return true;
}

BOOL ComputeBlueMoments(const CAOI& aoi, const Device& image, double& mean, double& averageDeviation,
                        double& standardDeviation, double& variance, double& skewness, double& kurtosis)
{
    if (aoi.GetPixelCount() == 0)
        return FALSE;
    std::vector<float> blue;
    blue.reserve(static_cast<size_t>(aoi.GetPixelCount()));
    kestrun::ForEachBorderPixel(aoi, [&](int x, int y) {
        if (IsInImage(image, x, y))
            blue.push_back(static_cast<float>(GetBValue(image.GetPixel(x, y))));
    });
    return CalcMoments(blue, mean, averageDeviation, standardDeviation, variance, skewness, kurtosis);
}

void FindCoverageEdge(const CAOI& aoi, const Device& image, const CSegThres& threshold, CPoint& point, float& low,
                      float& high, bool horizontal)
{
    // Vertical mode walks columns across all rows; horizontal mode rows
    // across all columns.
    const int length = horizontal ? aoi.GetWidth() : aoi.GetHeight();
    const int lines = length > 0 ? (horizontal ? aoi.GetHeight() : aoi.GetWidth()) : 0;
    float minimum = 100.0f;
    float share = 0.0f;
    for (int i = 0; i < lines; ++i) {
        int count = 0;
        for (int j = 0; j < length; ++j) {
            const int x = horizontal ? aoi.GetLeft() + j : aoi.GetLeft() + i;
            const int y = horizontal ? aoi.GetTop() + i : aoi.GetTop() + j;
            if (IsInImage(image, x, y) && threshold.IsObjectColor(image.GetPixel(x, y)))
                ++count;
        }
        share = static_cast<float>(count) / static_cast<float>(length) * 100.0f;
        if (share > high && minimum <= low) {
            low = minimum;
            high = share;
            point = horizontal ? CPoint(-1, aoi.GetTop() + i) : CPoint(aoi.GetLeft() + i, -1);
            return;
        }
        if (share <= minimum)
            minimum = share;
    }
    low = minimum;
    high = share;
}

void FindObjectSpanInRow(const Device& image, int& first, int& last, int y, const CSegThres& threshold)
{
    bool any = false;
    int found = -1;
    int lastFound = -1;
    for (int x = first; x <= last; ++x) {
        if (!IsInImage(image, x, y) || !threshold.IsObjectColor(image.GetPixel(x, y)))
            continue;
        if (!any)
            found = x;
        any = true;
        lastFound = x;
    }
    first = found;
    last = lastFound;
}
