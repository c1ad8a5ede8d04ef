#pragma once
// The intensity profile along a parallelogram area: its scan lines run
// along the longer side, one per pixel of the shorter; value k of the
// profile is the mean colour of the k-th pixel of every scan line, per
// channel. Along a line it is the colour of each pixel of the line (one
// per step along the longer axis); along a polyline the lines one after
// the other, each joint read once. Points outside the page are read at
// its nearest edge.

#include <span>
#include <vector>

#include "platform/core/geometry.h"

class CAOI3;
class Device;

struct sIntensityProfile
{
    // Red, green and blue for a colour page; one grey channel otherwise.
    std::vector<std::vector<float>> channels;
};

sIntensityProfile MeasureParallelogramProfile(const Device& page, const CAOI3& area);
sIntensityProfile MeasureLineProfile(const Device& page, CPoint from, CPoint to);
// Fewer than two points: no channels.
sIntensityProfile MeasurePolylineProfile(const Device& page, std::span<const POINT> points);
