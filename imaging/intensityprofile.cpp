#include "imaging/intensityprofile.h"

#include "analysis/aoi.h"
#include "objectmodel/linepoints.h"
#include "outside/pixmere/device.h"

#include <algorithm>
#include <array>
#include <cstdlib>

sIntensityProfile MeasureParallelogramProfile(const Device& page, const CAOI3& area)
{
    sIntensityProfile profile;
    const int width = page.GetWidth();
    const int height = page.GetHeight();
    if (width <= 0 || height <= 0)
        return profile;
    const bool colour = page.GetBitCount() > 8;
    const size_t channels = colour ? 3 : 1;

    std::vector<std::array<double, 3>> sums;
    std::vector<int> counts;
    CPoint start;
    CPoint end;
    const int lines = area.GetScanLine(0, start, end);
    for (int n = 0; n < lines; ++n) {
        area.GetScanLine(n, start, end);
        const int dx = end.x - start.x;
        const int dy = end.y - start.y;
        const int steps = std::max(std::abs(dx), std::abs(dy));
        if (sums.size() < static_cast<size_t>(steps) + 1) {
            sums.resize(static_cast<size_t>(steps) + 1, {0.0, 0.0, 0.0});
            counts.resize(static_cast<size_t>(steps) + 1, 0);
        }
        for (int k = 0; k <= steps; ++k) {
            // Rounded to the nearest pixel, half away from the start.
            const int x = start.x + (steps == 0 ? 0 : (2 * k * dx + (dx >= 0 ? steps : -steps)) / (2 * steps));
            const int y = start.y + (steps == 0 ? 0 : (2 * k * dy + (dy >= 0 ? steps : -steps)) / (2 * steps));
            const COLORREF pixel = page.GetPixel(std::clamp(x, 0, width - 1), std::clamp(y, 0, height - 1));
            std::array<double, 3>& sum = sums[static_cast<size_t>(k)];
            sum[0] += GetRValue(pixel);
            sum[1] += GetGValue(pixel);
            sum[2] += GetBValue(pixel);
            ++counts[static_cast<size_t>(k)];
        }
    }
    profile.channels.assign(channels, std::vector<float>(sums.size()));
    for (size_t k = 0; k < sums.size(); ++k) {
        for (size_t c = 0; c < channels; ++c)
            profile.channels[c][k] = static_cast<float>(sums[k][c] / counts[k]);
    }
    return profile;
}

namespace {

// Appends the colour of each pixel of the line from..to to the profile's
// channels, leaving out its first pixel when skipFirst (a polyline's
// joint, read already as the end of the segment before).
void AppendLine(const Device& page, CPoint from, CPoint to, bool skipFirst, sIntensityProfile& profile)
{
    const int width = page.GetWidth();
    const int height = page.GetHeight();
    CLinePoints line;
    line.Init(from.x, from.y, to.x, to.y);
    for (const POINT& p : line.Points().subspan(skipFirst ? 1 : 0)) {
        const COLORREF pixel = page.GetPixel(std::clamp<int>(p.x, 0, width - 1), std::clamp<int>(p.y, 0, height - 1));
        const std::array<float, 3> values = {static_cast<float>(GetRValue(pixel)), static_cast<float>(GetGValue(pixel)),
                                             static_cast<float>(GetBValue(pixel))};
        for (size_t c = 0; c < profile.channels.size(); ++c)
            profile.channels[c].push_back(values[c]);
    }
}

} // namespace

sIntensityProfile MeasureLineProfile(const Device& page, CPoint from, CPoint to)
{
    const std::array<POINT, 2> ends = {from, to};
    return MeasurePolylineProfile(page, ends);
}

sIntensityProfile MeasurePolylineProfile(const Device& page, std::span<const POINT> points)
{
    sIntensityProfile profile;
    if (page.GetWidth() <= 0 || page.GetHeight() <= 0 || points.size() < 2)
        return profile;
    profile.channels.resize(page.GetBitCount() > 8 ? 3 : 1);
    for (size_t i = 1; i < points.size(); ++i)
        AppendLine(page, points[i - 1], points[i], i > 1, profile);
    return profile;
}
