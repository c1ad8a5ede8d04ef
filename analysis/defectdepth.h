#pragma once
// The depth of a contour's deepest convexity defect, found without
// OpenCV's hull where that is sure to give the same: the cut searches use
// it to pass over the many outlines whose defects are too shallow to cut.

#include "objectmodel/rpointarray.h"

#include <optional>
#include <span>
#include <vector>

class CDefectDepth
{
public:
    // The depth, as ConvexityDefects measures its defects, of the deepest
    // one (0 without defects); nothing when the contour is not plain
    // enough to tell: fewer than three hull corners, a corner walked
    // twice, or corners out of hull order (a contour that touches itself).
    // The storage stays for the next contour.
    std::optional<double> Deepest(const CRPointArray& contour);

private:
    bool BuildHull(std::span<const POINT> contour, const CRect& box);
    bool FindCorners(std::span<const POINT> contour);
    double DeepestBelowCorners(std::span<const POINT> contour) const;

    // A row of the contour: its leftmost and rightmost point, and the hull
    // corner at each (-1: none).
    struct sRow
    {
        int left;
        int right;
        int leftCorner;
        int rightCorner;
    };
    int m_nTop = 0;
    std::vector<sRow> m_Rows;
    // The hull corners (without collinear points) in turn round the hull,
    // the first m_nHull of the store, and whether the walk has met each.
    // The stores only grow: a contour is read through plain pointers.
    std::vector<POINT> m_Hull;
    size_t m_nHull = 0;
    std::vector<char> m_Met;
    // Contour indices of the corners, in contour order (m_nHull of them
    // when the walk meets every corner).
    std::vector<int> m_Corners;
};
