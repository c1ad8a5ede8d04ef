#pragma once
// The intensity profile along a parallelogram area: its scan lines run
// along the longer side, one per pixel of the shorter; value k of the
// profile is the mean colour of the k-th pixel of every scan line, per
// channel. Points outside the page are read at its nearest edge.

#include <vector>

class CAOI3;
class Device;

struct sIntensityProfile
{
    // Red, green and blue for a colour page; one grey channel otherwise.
    std::vector<std::vector<float>> channels;
};

sIntensityProfile MeasureParallelogramProfile(const Device& page, const CAOI3& area);
