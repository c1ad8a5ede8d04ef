#include "tools/samples/samplecanvas.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace kestrun::samples {

cv::Vec3f Rgb(float red, float green, float blue)
{
    return {blue, green, red};
}

float SoftInside(double d, double r, double softness)
{
    const double t = std::clamp((r + softness / 2.0 - d) / softness, 0.0, 1.0);
    return static_cast<float>(t * t * (3.0 - 2.0 * t));
}

CSampleCanvas::CSampleCanvas(int width, int height, cv::Vec3f background) : m_pixels(height, width, background)
{
}

void CSampleCanvas::AddMottle(cv::RNG& rng, float amplitude, int cells, cv::Point2d centre, double radius)
{
    cv::Mat1f coarse(cells, cells);
    rng.fill(coarse, cv::RNG::UNIFORM, -amplitude, amplitude);
    cv::Mat1f mottle;
    cv::resize(coarse, mottle, m_pixels.size(), 0.0, 0.0, cv::INTER_CUBIC);
    m_pixels.forEach([&](cv::Vec3f& pixel, const int* position) {
        const double d = std::hypot(position[1] - centre.x, position[0] - centre.y);
        const float offset = mottle(position[0], position[1]) * SoftInside(d, radius, 2.0);
        pixel += cv::Vec3f::all(offset);
    });
}

cv::Rect CSampleCanvas::Bounds(cv::Point2d centre, double radius) const
{
    const int reach = static_cast<int>(std::ceil(radius)) + 3;
    const cv::Rect box(static_cast<int>(centre.x) - reach, static_cast<int>(centre.y) - reach, 2 * reach + 1,
                       2 * reach + 1);
    return box & cv::Rect(0, 0, m_pixels.cols, m_pixels.rows);
}

void CSampleCanvas::PaintDisc(cv::Point2d centre, double radius, cv::Vec3f colour, float highlight)
{
    const cv::Point2d shine = centre + cv::Point2d(-0.3 * radius, -0.3 * radius);
    const double spread = 2.0 * (0.3 * radius) * (0.3 * radius);
    const cv::Rect box = Bounds(centre, radius);
    for (int y = box.y; y < box.br().y; ++y) {
        for (int x = box.x; x < box.br().x; ++x) {
            const double d = std::hypot(x - centre.x, y - centre.y);
            const float weight = SoftInside(d, radius, 3.0);
            if (weight <= 0.0f)
                continue;
            const double rim = std::min(d / radius, 1.0);
            cv::Vec3f paint = colour * static_cast<float>(1.0 - 0.12 * std::pow(rim, 4.0));
            const double s2 = (x - shine.x) * (x - shine.x) + (y - shine.y) * (y - shine.y);
            const float shineWeight = highlight * static_cast<float>(std::exp(-s2 / spread));
            paint += (cv::Vec3f::all(255.0f) - paint) * shineWeight;
            cv::Vec3f& pixel = m_pixels(y, x);
            pixel += (paint - pixel) * weight;
        }
    }
}

void CSampleCanvas::PaintRingCell(cv::Point2d centre, double radius, cv::Vec3f ring, cv::Vec3f inside)
{
    const cv::Rect box = Bounds(centre, radius);
    for (int y = box.y; y < box.br().y; ++y) {
        for (int x = box.x; x < box.br().x; ++x) {
            const double d = std::hypot(x - centre.x, y - centre.y);
            const float outer = SoftInside(d, radius, 1.5);
            if (outer <= 0.0f)
                continue;
            const float core = SoftInside(d, radius - 1.8, 1.5);
            const cv::Vec3f paint = inside * core + ring * (1.0f - core);
            cv::Vec3f& pixel = m_pixels(y, x);
            pixel += (paint - pixel) * outer;
        }
    }
}

cv::Mat CSampleCanvas::ToImage(cv::RNG& rng, double sigma) const
{
    cv::Mat3f noisy(m_pixels.size());
    rng.fill(noisy, cv::RNG::NORMAL, cv::Scalar::all(0.0), cv::Scalar::all(sigma));
    noisy += m_pixels;
    cv::Mat image;
    noisy.convertTo(image, CV_8UC3);
    return image;
}

} // namespace kestrun::samples
