#include "tools/samples/samplechamber.h"

#include "tools/samples/samplecanvas.h"

#include "platform/core/exceptions.h"

#include <algorithm>
#include <cmath>

namespace kestrun::samples {

namespace {

constexpr int kLiving = 120;
constexpr int kStained = 45;
constexpr double kClearance = 4.0;
constexpr double kBorder = 12.0;
constexpr int kTries = 5000;
constexpr unsigned kRenderStream = 0xC311;
// Where the grid starts, so that its lines do not meet the picture's edges.
constexpr double kGridX = 37.0;
constexpr double kGridY = 21.0;
// Distance of the outer lines of a triple line from its middle one.
constexpr double kTripleGap = 4.0;

const cv::Vec3f kField = Rgb(228, 230, 224);
const cv::Vec3f kFineLine = Rgb(180, 183, 186);
const cv::Vec3f kTripleLine = Rgb(170, 173, 177);
const cv::Vec3f kRing = Rgb(168, 174, 182);
const cv::Vec3f kInside = Rgb(242, 243, 238);
const cv::Vec3f kStain = Rgb(72, 62, 150);

// Distance from v to the nearest line of a grid of the spacing through origin.
double DistanceToLine(double v, double origin, double spacing)
{
    const double m = std::fmod(std::fmod(v - origin, spacing) + spacing, spacing);
    return std::min(m, spacing - m);
}

double DistanceToTripleLine(double v, double origin)
{
    const double d = DistanceToLine(v, origin, CSampleChamber::kSquareSpacing);
    return std::min(d, std::abs(d - kTripleGap));
}

} // namespace

CSampleChamber::CSampleChamber(unsigned seed) : m_seed(seed)
{
    cv::RNG rng(seed ^ 0x9E3779B9u);
    bool placed = true;
    for (int i = 0; i < kStained && placed; ++i)
        placed = PlaceCell(rng, true);
    for (int i = 0; i < kLiving && placed; ++i)
        placed = PlaceCell(rng, false);
    if (!placed)
        AfxThrowNotSupportedException();
}

bool CSampleChamber::PlaceCell(cv::RNG& rng, bool stained)
{
    for (int attempt = 0; attempt < kTries; ++attempt) {
        sCell cell;
        cell.stained = stained;
        cell.radius = rng.uniform(6.0, 9.5);
        cell.centre = cv::Point2d(rng.uniform(kBorder, kWidth - kBorder), rng.uniform(kBorder, kHeight - kBorder));
        const bool free = std::ranges::none_of(m_cells, [&](const sCell& other) {
            return cv::norm(cell.centre - other.centre) < cell.radius + other.radius + kClearance;
        });
        if (free) {
            m_cells.push_back(cell);
            return true;
        }
    }
    return false;
}

int CSampleChamber::CountStained() const
{
    return static_cast<int>(std::ranges::count_if(m_cells, [](const sCell& c) { return c.stained; }));
}

cv::Mat CSampleChamber::Render() const
{
    cv::RNG rng(m_seed + kRenderStream);
    const cv::Point2d middle(kWidth / 2.0, kHeight / 2.0);
    const double corner = std::hypot(middle.x, middle.y);

    CSampleCanvas canvas(kWidth, kHeight, kField);
    canvas.AddMottle(rng, 4.0f, 10, middle, 2.0 * corner);
    // The microscope's light falls off towards the corners.
    canvas.Shade([&](int x, int y) {
        const double r = std::hypot(x - middle.x, y - middle.y) / corner;
        return static_cast<float>(1.0 - 0.08 * r * r);
    });
    canvas.Blend(kFineLine, [](int x, int y) {
        const double d = std::min(DistanceToLine(x, kGridX, kFineSpacing), DistanceToLine(y, kGridY, kFineSpacing));
        return SoftInside(d, 0.6, 1.0);
    });
    canvas.Blend(kTripleLine, [](int x, int y) {
        const double d = std::min(DistanceToTripleLine(x, kGridX), DistanceToTripleLine(y, kGridY));
        return SoftInside(d, 0.8, 1.0);
    });
    for (const sCell& cell : m_cells) {
        if (cell.stained)
            canvas.PaintDisc(cell.centre, cell.radius, kStain, 0.25f);
        else
            canvas.PaintRingCell(cell.centre, cell.radius, kRing, kInside);
    }
    return canvas.ToImage(rng, 3.0);
}

} // namespace kestrun::samples
