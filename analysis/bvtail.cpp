// The tail search: a ring around the thickest point of an object's body,
// read along its outline; a narrow strong peak there is a thin tail
// leaving the body.

#include "analysis/bv.h"

#include "analysis/aoi.h"
#include "analysis/aoiimaging.h"
#include "analysis/cvfilters.h"
#include "analysis/profilepeakfinder.h"
#include "analysis/tailsearch.h"
#include "outside/pixmere/dib.h"

#include <algorithm>
#include <cmath>

namespace {

// TailColor 0 looks for a bright tail, any other for a dark one.
bool IsBrightTail(int tailColor)
{
    return tailColor == 0;
}

} // namespace

namespace kestrun {

int TailRingRadius(double innerDistance, int tailColor)
{
    const double k1 = IsBrightTail(tailColor) ? 2.0 : 1.0;
    const double r = innerDistance <= 4.0 ? 4.0 : innerDistance;
    return 2 * static_cast<int>(r + k1);
}

double TailPeakLimit(int flagellumDetection, int tailColor)
{
    const double k2 = IsBrightTail(tailColor) ? 4.0 : 2.5;
    return std::max(5.0, std::max(flagellumDetection, 0) * k2);
}

} // namespace kestrun

std::optional<POINT> CBV::FindTail(const CRPolygon& contour, CDIB* image, CAOI* aoi, CArray<POINT, POINT>* points)
{
    constexpr POINT none{0, 0};
    if (contour.GetSize() < 5 || image == nullptr || aoi == nullptr)
        return none;
    const CFormThres& form = m_Profiles.m_FormThres;
    const int detection = std::max(form.m_FlagellumDetection, 0);
    CAOI4 area;
    CDIB mask;
    if (!CreateMask(area, &mask, &contour, nullptr, 1))
        return none;
    double inner = 0.0;
    const POINT at = DistanceTransform(&mask, inner);
    // The distance transform answers mask positions less 2; the mask has a
    // margin of 1.
    const int cx = area.GetLeft() + at.x + 1;
    const int cy = area.GetTop() + at.y + 1;
    const int radius = kestrun::TailRingRadius(inner, form.m_TailColor);
    CAOIEllipse ring;
    ring.SetCenterAndRadii(cx, cy, radius, radius);
    CRPointArray outline;
    ring.GetOutline(outline);
    // The ring beyond the page is background: never read.
    CArray<POINT, const POINT&> inside;
    for (const POINT& p : outline)
        if (p.x >= 0 && p.y >= 0 && p.x < image->GetWidth() && p.y < image->GetHeight())
            inside.Add(p);
    CProfilePeakFinder finder;
    finder.SetPeakRange(detection * 5.0, 255.0);
    finder.FindPeak(*image, inside, *aoi, IsBrightTail(form.m_TailColor) ? 1 : 0);
    if (points != nullptr)
        for (const POINT& p : finder.GetPoints())
            points->Add(p);
    if (finder.GetBestValue() >= kestrun::TailPeakLimit(detection, form.m_TailColor))
        return POINT(finder.GetBestPoint());
    return none;
}
