#include "tools/samples/sampleplate.h"

#include "tools/samples/samplecanvas.h"

#include "platform/core/exceptions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace kestrun::samples {

namespace {

constexpr int kSingleRed = 64;
constexpr int kSingleBlue = 36;
// The kinds of the touching pairs.
constexpr std::array<std::array<int, 2>, 8> kPairs = {{
    {CSamplePlate::kKindRed, CSamplePlate::kKindRed},
    {CSamplePlate::kKindRed, CSamplePlate::kKindRed},
    {CSamplePlate::kKindRed, CSamplePlate::kKindRed},
    {CSamplePlate::kKindBlue, CSamplePlate::kKindBlue},
    {CSamplePlate::kKindBlue, CSamplePlate::kKindBlue},
    {CSamplePlate::kKindRed, CSamplePlate::kKindBlue},
    {CSamplePlate::kKindRed, CSamplePlate::kKindBlue},
    {CSamplePlate::kKindBlue, CSamplePlate::kKindRed},
}};
// Edge-to-edge distance between colonies that do not touch: their soft
// edges must not run into one another.
constexpr double kClearance = 8.0;
// Colonies of a pair overlap by this much, edge into edge.
constexpr double kPairOverlapMin = 1.5;
constexpr double kPairOverlapMax = 4.0;
// Colonies keep this distance from the edge of the searched circle.
constexpr double kEdgeMargin = 10.0;
constexpr int kTries = 5000;
// The rendering draws from a stream of its own, so that the layout does
// not depend on it.
constexpr unsigned kRenderStream = 0x51ED;

// How far a colony's colour may lie from its kind's, as a fraction.
constexpr double kTintSpread = 0.08;

const cv::Vec3f kBench = Rgb(52, 54, 60);
const cv::Vec3f kWall = Rgb(196, 199, 202);
const cv::Vec3f kAgar = Rgb(226, 204, 158);

cv::Vec3f ColonyColour(int kind)
{
    return kind == CSamplePlate::kKindRed ? Rgb(182, 46, 66) : Rgb(62, 72, 162);
}

} // namespace

CSamplePlate::CSamplePlate(unsigned seed) : m_seed(seed)
{
    cv::RNG rng(seed);
    bool placed = true;
    for (const auto& pair : kPairs)
        placed = placed && PlacePair(rng, pair[0], pair[1]);
    for (int i = 0; i < kSingleBlue && placed; ++i)
        placed = PlaceSingle(rng, kKindBlue);
    for (int i = 0; i < kSingleRed && placed; ++i)
        placed = PlaceSingle(rng, kKindRed);
    // Cannot happen with these sizes; a change that crowds the dish must
    // not silently give a plate with fewer colonies.
    if (!placed)
        AfxThrowNotSupportedException();
}

double CSamplePlate::DrawRadius(cv::RNG& rng, int kind)
{
    return kind == kKindRed ? rng.uniform(8.0, 12.0) : rng.uniform(15.0, 21.0);
}

bool CSamplePlate::Fits(const sColony& colony, int ignore) const
{
    const cv::Point2d dish(GetDishCentre());
    if (cv::norm(colony.centre - dish) + colony.radius > GetSearchRadius() - kEdgeMargin)
        return false;
    for (int i = 0; i < static_cast<int>(m_colonies.size()); ++i) {
        const sColony& other = m_colonies[i];
        if (i != ignore && cv::norm(colony.centre - other.centre) < colony.radius + other.radius + kClearance)
            return false;
    }
    return true;
}

bool CSamplePlate::PlaceSingle(cv::RNG& rng, int kind)
{
    const cv::Point2d dish(GetDishCentre());
    const double reach = GetSearchRadius();
    for (int attempt = 0; attempt < kTries; ++attempt) {
        sColony colony;
        colony.kind = kind;
        colony.radius = DrawRadius(rng, kind);
        colony.centre = dish + cv::Point2d(rng.uniform(-reach, reach), rng.uniform(-reach, reach));
        if (Fits(colony, -1)) {
            m_colonies.push_back(colony);
            return true;
        }
    }
    return false;
}

bool CSamplePlate::PlacePair(cv::RNG& rng, int firstKind, int secondKind)
{
    const cv::Point2d dish(GetDishCentre());
    const double reach = GetSearchRadius();
    for (int attempt = 0; attempt < kTries; ++attempt) {
        sColony first;
        first.kind = firstKind;
        first.radius = DrawRadius(rng, firstKind);
        first.centre = dish + cv::Point2d(rng.uniform(-reach, reach), rng.uniform(-reach, reach));
        sColony second;
        second.kind = secondKind;
        second.radius = DrawRadius(rng, secondKind);
        const double angle = rng.uniform(0.0, 2.0 * std::numbers::pi);
        const double distance = first.radius + second.radius - rng.uniform(kPairOverlapMin, kPairOverlapMax);
        second.centre = first.centre + distance * cv::Point2d(std::cos(angle), std::sin(angle));
        if (!Fits(first, -1) || !Fits(second, -1))
            continue;
        const int index = static_cast<int>(m_colonies.size());
        first.partner = index + 1;
        second.partner = index;
        m_colonies.push_back(first);
        m_colonies.push_back(second);
        return true;
    }
    return false;
}

int CSamplePlate::GetTouchingPairs() const
{
    return static_cast<int>(std::ranges::count_if(m_colonies, [](const sColony& c) { return c.partner >= 0; })) / 2;
}

int CSamplePlate::CountOfKind(int kind) const
{
    return static_cast<int>(std::ranges::count_if(m_colonies, [kind](const sColony& c) { return c.kind == kind; }));
}

const sColony* CSamplePlate::FindColonyAt(cv::Point2d point, double tolerance) const
{
    for (const sColony& colony : m_colonies) {
        if (cv::norm(colony.centre - point) <= tolerance)
            return &colony;
    }
    return nullptr;
}

cv::Mat CSamplePlate::Render() const
{
    cv::RNG rng(m_seed + kRenderStream);
    const cv::Point2d dish(GetDishCentre());
    const double agar = GetAgarRadius();
    const double wall = GetDishRadius();

    CSampleCanvas canvas(kWidth, kHeight, kBench);
    // The dish casts a soft shadow on the bench; light comes from the top left.
    const cv::Point2d shadow = dish + cv::Point2d(10.0, 12.0);
    canvas.Shade([&](int x, int y) {
        const double d = std::hypot(x - shadow.x, y - shadow.y);
        return 1.0f - 0.35f * SoftInside(d, wall + 12.0, 24.0);
    });
    // The wall, brighter where it faces the light.
    canvas.Blend(kWall, [&](int x, int y) { return SoftInside(std::hypot(x - dish.x, y - dish.y), wall, 1.5); });
    canvas.Shade([&](int x, int y) {
        const double d = std::hypot(x - dish.x, y - dish.y);
        const double facing = ((dish.x - x) + (dish.y - y)) / (std::numbers::sqrt2 * std::max(d, 1.0));
        const float onWall = SoftInside(d, wall, 1.5) * (1.0f - SoftInside(d, agar, 1.5));
        return 1.0f + 0.12f * static_cast<float>(facing) * onWall;
    });
    // Agar, a little darker towards the wall.
    canvas.Blend(kAgar, [&](int x, int y) { return SoftInside(std::hypot(x - dish.x, y - dish.y), agar, 1.5); });
    canvas.Shade([&](int x, int y) {
        const double r = std::min(std::hypot(x - dish.x, y - dish.y) / agar, 1.0);
        return static_cast<float>(1.0 - 0.06 * r * r);
    });
    canvas.AddMottle(rng, 5.0f, 12, dish, agar);

    // Colonies of one kind differ a little in density, as on a real plate;
    // classes taught from identical colonies would reject every colony whose
    // outline took in a few pixels of a touching neighbour.
    for (const sColony& colony : m_colonies) {
        const auto density = static_cast<float>(rng.uniform(1.0 - kTintSpread, 1.0 + kTintSpread));
        canvas.PaintDisc(colony.centre, colony.radius, ColonyColour(colony.kind) * density, 0.28f);
    }
    return canvas.ToImage(rng, 3.0);
}

} // namespace kestrun::samples
