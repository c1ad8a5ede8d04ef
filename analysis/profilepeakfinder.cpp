#include "analysis/profilepeakfinder.h"

#include "analysis/aoi.h"
#include "objectmodel/dataanalysis.h"
#include "outside/pixmere/device.h"

#include <vector>

namespace {

constexpr double kNoValue = -1.0;

// Gaps take the value before them; a gap at the start the last valid value
// of the profile (read as a ring). False when nothing is valid.
bool FillGaps(std::vector<double>& values)
{
    double last = kNoValue;
    for (auto it = values.rbegin(); it != values.rend() && last == kNoValue; ++it)
        last = *it;
    if (last == kNoValue)
        return false;
    for (double& value : values) {
        if (value == kNoValue)
            value = last;
        last = value;
    }
    return true;
}

} // namespace

void CProfilePeakFinder::Clear()
{
    m_dBestValue = 0.0;
    m_nBestX = 0;
    m_nBestY = 0;
    m_nPeakWidth = 0;
    m_Points.RemoveAll();
}

void CProfilePeakFinder::FindPeak(const Device& image, const CArray<POINT, const POINT&>& points, const CAOI& aoi,
                                  int bright)
{
    Clear();
    std::vector<double> values;
    values.reserve(static_cast<size_t>(points.GetSize()));
    for (const POINT& p : points) {
        if (!aoi.Contains(p.x, p.y)) {
            values.push_back(kNoValue);
            continue;
        }
        const int grey = GetGValue(image.GetPixel(p.x, p.y));
        values.push_back(bright == 1 ? grey : 255 - grey);
    }
    if (!FillGaps(values))
        return;

    CDataAnalysis profile(CDataArray::typeDouble);
    for (const double value : values)
        profile.AddDouble(value);
    profile.Smooth(3);
    if (!profile.SearchPeaks(m_dMinPeak, m_dMaxPeak))
        return;

    bool found = false;
    for (int k = 0; k < profile.GetPeakCount(); ++k) {
        const int width = profile.GetDuration(k);
        if (width >= maxPeakWidth)
            continue;
        const sPeak& peak = profile.GetPeaks()[k];
        const POINT& at = points[peak.m_nIndex];
        m_Points.Add(at);
        if (!found || peak.m_dValue > m_dBestValue) {
            found = true;
            m_dBestValue = peak.m_dValue;
            m_nBestX = at.x;
            m_nBestY = at.y;
            m_nPeakWidth = width;
        }
    }
}
