#pragma once
// CSamplePlate: a seeded picture of a culture dish - colonies of two kinds
// (small red ones and larger blue ones) on amber agar inside a round dish
// on a dark bench. Most colonies stand apart; a few pairs touch. The plate
// knows where it put every colony, so a count can be checked against it.

#include <opencv2/core.hpp>

#include <vector>

namespace kestrun::samples {

struct sColony
{
    cv::Point2d centre;
    double radius = 0.0;
    int kind = 0;     // 1 red, 2 blue
    int partner = -1; // the colony it touches; -1: none
};

class CSamplePlate
{
public:
    static constexpr int kWidth = 1600;
    static constexpr int kHeight = 1200;
    static constexpr int kKindRed = 1;
    static constexpr int kKindBlue = 2;

    // Lays out the colonies; the same seed gives the same plate.
    explicit CSamplePlate(unsigned seed);

    // The 24-bit picture (blue-green-red) with mild noise.
    cv::Mat Render() const;

    const std::vector<sColony>& GetColonies() const { return m_colonies; }
    int GetTouchingPairs() const;
    int CountOfKind(int kind) const;
    // The colony whose centre lies within tolerance pixels of the point;
    // null when none does.
    const sColony* FindColonyAt(cv::Point2d point, double tolerance) const;

    cv::Point GetDishCentre() const { return {kWidth / 2, kHeight / 2}; }
    // Outer radius of the dish wall.
    int GetDishRadius() const { return 570; }
    // The agar ends where the wall begins.
    int GetAgarRadius() const { return GetDishRadius() - 14; }
    // The circle that is searched: clear of the wall and its shadow.
    int GetSearchRadius() const { return GetAgarRadius() - 16; }

private:
    // Places a colony of the kind where it keeps its distance from the
    // others and from the searched circle's edge; false when no place was
    // found after many tries.
    bool PlaceSingle(cv::RNG& rng, int kind);
    bool PlacePair(cv::RNG& rng, int firstKind, int secondKind);
    bool Fits(const sColony& colony, int ignore) const;
    static double DrawRadius(cv::RNG& rng, int kind);

    unsigned m_seed;
    std::vector<sColony> m_colonies;
};

} // namespace kestrun::samples
