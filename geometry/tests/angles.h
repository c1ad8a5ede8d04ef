#pragma once
// Angle constants shared by the geometry tests (compiled together in one
// unity batch).

#include <numbers>

namespace geometry_test {
inline constexpr double kPi = std::numbers::pi;
inline constexpr double kDegree = kPi / 180.0;
} // namespace geometry_test
