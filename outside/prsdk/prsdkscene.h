#pragma once
// The scene the simulated cameras look at: a few soft discs on a shaded
// ground, fixed by a seed. Live frames move the discs a little per frame.

#include <opencv2/core.hpp>

namespace kestrun::prsdk {

cv::Mat DrawScene(unsigned nSeed, cv::Size size, int nShift);

} // namespace kestrun::prsdk
