#include "analysis/contourfeaturesettings.h"

#include "analysis/objectfilter.h"

#include <algorithm>

sContourFeatureSettings ClampContourFeatureSettings(const CObjectFilter& filter, int contourPoints)
{
    // The ranges of the curvature dialog.
    sContourFeatureSettings s;
    s.method = filter.m_ContourFeatureMethod == 1 ? 1 : 0;
    s.fit = std::clamp(filter.m_ContourFeatureFit, 2, 100);
    s.fit = std::min(s.fit, std::max(contourPoints, 2));
    s.low = std::max(static_cast<double>(filter.m_ContourFeatureThresLow), 0.0);
    s.high = std::max(static_cast<double>(filter.m_ContourFeatureThresHigh), 0.0);
    s.segmentFit = std::clamp(filter.m_ContourFeatureSegmentFilterFit, 5, 1000);
    s.segmentThres = std::clamp(static_cast<double>(filter.m_ContourFeatureSegmentFilterThres), 0.0, 1.0);
    s.lineFit = std::clamp(filter.m_ContourFeatureLineFitThres, 10, 1000);
    return s;
}
