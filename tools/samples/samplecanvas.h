#pragma once
// CSampleCanvas: the painting surface of the sample pictures. It paints in
// floating point (blue-green-red, 0..255) with soft edges, so that objects
// look photographed rather than drawn, and turns into an 8-bit picture
// with camera noise at the end.

#include <opencv2/core.hpp>

namespace kestrun::samples {

// A colour given as red, green, blue, in the canvas's channel order.
cv::Vec3f Rgb(float red, float green, float blue);

class CSampleCanvas
{
public:
    CSampleCanvas(int width, int height, cv::Vec3f background);

    // Mixes colour in with the weight of coverage(x, y) in 0..1.
    template <class Coverage>
    void Blend(cv::Vec3f colour, Coverage coverage)
    {
        m_pixels.forEach([&](cv::Vec3f& pixel, const int* position) {
            const float weight = coverage(position[1], position[0]);
            if (weight > 0.0f)
                pixel += (colour - pixel) * weight;
        });
    }
    // Brightness times factor(x, y).
    template <class Factor>
    void Shade(Factor factor)
    {
        m_pixels.forEach([&](cv::Vec3f& pixel, const int* position) { pixel *= factor(position[1], position[0]); });
    }
    // A slow, cloudy brightness variation of +-amplitude, made from a
    // coarse random grid of cells x cells, inside the circle only.
    void AddMottle(cv::RNG& rng, float amplitude, int cells, cv::Point2d centre, double radius);

    // A soft-edged disc: darker towards its rim and with a highlight (0..1
    // towards white) up and to the left of its centre.
    void PaintDisc(cv::Point2d centre, double radius, cv::Vec3f colour, float highlight);
    // A cell seen in bright field: a thin darker ring round a bright inside.
    void PaintRingCell(cv::Point2d centre, double radius, cv::Vec3f ring, cv::Vec3f inside);

    // The 8-bit picture with Gaussian noise of sigma per channel.
    cv::Mat ToImage(cv::RNG& rng, double sigma) const;

    int GetWidth() const { return m_pixels.cols; }
    int GetHeight() const { return m_pixels.rows; }

private:
    // The pixels around the circle, clipped to the canvas.
    cv::Rect Bounds(cv::Point2d centre, double radius) const;

    cv::Mat3f m_pixels;
};

// How much of a pixel at distance d from an edge at r lies inside: 1 well
// inside, 0 well outside, a smooth step over softness pixels between.
float SoftInside(double d, double r, double softness);

} // namespace kestrun::samples
