#include "imaging/scanmeasure.h"

#include "analysis/segthres.h"
#include "outside/pixmere/device.h"

#include <algorithm>
#include <cstdlib>

CPoint CScanMeasure::ClampToImage(const Device& image, CPoint point)
{
    return CPoint(std::clamp(static_cast<int>(point.x), 0, std::max(image.GetWidth() - 1, 0)),
                  std::clamp(static_cast<int>(point.y), 0, std::max(image.GetHeight() - 1, 0)));
}

sScanCurve CScanMeasure::MeasureGrayProfile(const Device& image, CPoint first, CPoint second)
{
    sScanCurve curve;
    for (int x = first.x; x < second.x; ++x)
        curve.values.push_back(static_cast<float>(image.GetPixel(x, first.y) & 0xFF));
    return curve;
}

sScanCurve CScanMeasure::MeasureDifference(const Device& image, CPoint first, CPoint second)
{
    sScanCurve curve;
    ScanRayParams rays;
    rays.m_nEdgeMode = 0;
    rays.m_nMinEdgeThreshold = 5;
    // The rows of the image being measured, whatever the board holds.
    const int rows = image.GetHeight();
    curve.values.reserve(static_cast<size_t>(rows));
    for (int y = 0; y < rows; ++y) {
        const CPoint forth = rays.AnalyseLineProfile(image, first.x, y, second.x, y);
        const CPoint back = rays.AnalyseLineProfile(image, second.x, y, first.x, y);
        curve.values.push_back(static_cast<float>(std::abs(forth.x - back.x)));
        if (y == first.y)
            curve.ends = {forth, back};
    }
    return curve;
}

sScanCurve CScanMeasure::MeasureWidth(const Device& image, CPoint first, CPoint second, const CSegThres& thresholds)
{
    sScanCurve curve;
    const int from = std::min(first.x, second.x);
    const int to = std::max(first.x, second.x);
    const int rows = image.GetHeight();
    for (int y = 0; y < rows; ++y) {
        int left = -1;
        int right = -1;
        for (int x = from; x <= to; ++x) {
            if (thresholds.IsObjectColor(image.GetPixel(x, y)) == FALSE)
                continue;
            if (left < 0)
                left = x;
            right = x;
        }
        curve.values.push_back(static_cast<float>(std::abs(right - left)));
        curve.left.emplace_back(left, y);
        curve.right.emplace_back(right, y);
        if (y == first.y)
            curve.ends = {CPoint(left, y), CPoint(right, y)};
    }
    return curve;
}
