#include "outside/prsdk/prsdkscene.h"

#include <opencv2/imgproc.hpp>

namespace kestrun::prsdk {

cv::Mat DrawScene(unsigned nSeed, cv::Size size, int nShift)
{
    cv::Mat scene(size, CV_8UC3);
    cv::RNG rng(nSeed * 7919u + 17u);
    const cv::Scalar ground(rng.uniform(60, 120), rng.uniform(60, 120), rng.uniform(60, 120));
    for (int y = 0; y < size.height; ++y) {
        const double shade = 0.7 + 0.3 * y / std::max(1, size.height - 1);
        scene.row(y).setTo(ground * shade);
    }
    const int nDiscs = 8;
    const double scale = size.width / 320.0;
    for (int i = 0; i < nDiscs; ++i) {
        const int x = rng.uniform(0, size.width);
        const int y = rng.uniform(0, size.height);
        const int radius = static_cast<int>(rng.uniform(8, 30) * scale);
        const cv::Scalar colour(rng.uniform(120, 256), rng.uniform(120, 256), rng.uniform(120, 256));
        const int moved = (x + static_cast<int>(nShift * scale)) % std::max(1, size.width);
        cv::circle(scene, {moved, y}, std::max(1, radius), colour, cv::FILLED, cv::LINE_AA);
    }
    return scene;
}

} // namespace kestrun::prsdk
