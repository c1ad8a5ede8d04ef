#pragma once
// CSampleChamber: a seeded picture of a counting-chamber field in bright
// field - the ruled grid (fine lines, and triple lines round the large
// squares) and cells on it: unstained living cells (bright, with a thin
// ring) and stained dead ones (dark blue). The chamber knows its cells.

#include <opencv2/core.hpp>

#include <vector>

namespace kestrun::samples {

struct sCell
{
    cv::Point2d centre;
    double radius = 0.0;
    bool stained = false;
};

class CSampleChamber
{
public:
    static constexpr int kWidth = 1600;
    static constexpr int kHeight = 1200;
    // Spacing of the fine lines and of the triple lines, in pixels.
    static constexpr int kFineSpacing = 50;
    static constexpr int kSquareSpacing = 200;

    // Lays out the cells; the same seed gives the same field.
    explicit CSampleChamber(unsigned seed);

    // The 24-bit picture (blue-green-red) with mild noise.
    cv::Mat Render() const;

    const std::vector<sCell>& GetCells() const { return m_cells; }
    int CountStained() const;

private:
    bool PlaceCell(cv::RNG& rng, bool stained);

    unsigned m_seed;
    std::vector<sCell> m_cells;
};

} // namespace kestrun::samples
