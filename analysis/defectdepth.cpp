#include "analysis/defectdepth.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

int64_t Cross(POINT o, POINT a, POINT b)
{
    return static_cast<int64_t>(a.x - o.x) * (b.y - o.y) - static_cast<int64_t>(a.y - o.y) * (b.x - o.x);
}

bool SamePoint(POINT a, POINT b)
{
    return a.x == b.x && a.y == b.y;
}

} // namespace

std::optional<double> CDefectDepth::Deepest(const CRPointArray& contour)
{
    if (contour.GetSize() < 3 || contour.GetBoundingRect().IsEmpty())
        return std::nullopt;
    const std::span<const POINT> points(contour.GetData(), static_cast<size_t>(contour.GetSize()));
    if (!BuildHull(points, contour.GetBoundingRect()) || !FindCorners(points))
        return std::nullopt;
    return DeepestBelowCorners(points);
}

bool CDefectDepth::BuildHull(std::span<const POINT> contour, const CRect& box)
{
    // Every point lies between the ends of its row: the hull of the row
    // ends is the hull of the contour, and the rows come sorted. A box that
    // misses a point leaves the contour to OpenCV.
    const int64_t height = static_cast<int64_t>(box.bottom) - box.top + 1;
    if (height < 1 || height > INT_MAX)
        return false;
    const auto rows = static_cast<size_t>(height);
    m_nTop = box.top;
    m_Rows.assign(rows, sRow{INT_MAX, INT_MIN, -1, -1});
    sRow* const rowEnds = m_Rows.data();
    for (const POINT& p : contour) {
        const auto row = static_cast<size_t>(static_cast<int64_t>(p.y) - m_nTop);
        if (row >= rows)
            return false;
        sRow& r = rowEnds[row];
        r.left = std::min(r.left, static_cast<int>(p.x));
        r.right = std::max(r.right, static_cast<int>(p.x));
    }
    // Monotone chains over the row ends in (y, x) order: along the first
    // row and down the right ends, back along the last row and up the
    // left ends to the first point again; collinear points drop out, as
    // they do from OpenCV's hull. An end that cannot be a corner of a
    // chain is left out of it; the stack holds at most every push.
    size_t first = rows;
    size_t last = 0;
    for (size_t row = 0; row < rows; ++row)
        if (rowEnds[row].left != INT_MAX) {
            first = std::min(first, row);
            last = row;
        }
    if (m_Hull.size() < 2 * rows + 2)
        m_Hull.resize(2 * rows + 2);
    POINT* const hull = m_Hull.data();
    size_t count = 0;
    const auto push = [hull, &count](POINT p, size_t floor) {
        while (count >= floor && Cross(hull[count - 2], hull[count - 1], p) <= 0)
            --count;
        hull[count++] = p;
    };
    const auto at = [this](int x, size_t row) { return POINT{x, m_nTop + static_cast<int>(row)}; };
    push(at(rowEnds[first].left, first), 2);
    for (size_t row = first; row <= last; ++row) {
        const sRow& r = rowEnds[row];
        if (r.left != INT_MAX && (row != first || r.right != r.left))
            push(at(r.right, row), 2);
    }
    const size_t lower = count + 1;
    if (last != first) {
        if (rowEnds[last].right != rowEnds[last].left)
            push(at(rowEnds[last].left, last), lower);
        for (size_t row = last; row-- > first;)
            if (rowEnds[row].left != INT_MAX)
                push(at(rowEnds[row].left, row), lower);
    }
    m_nHull = count - 1; // without the first point again
    return m_nHull >= 3;
}

bool CDefectDepth::FindCorners(std::span<const POINT> contour)
{
    const POINT* const hull = m_Hull.data();
    sRow* const rowEnds = m_Rows.data();
    const int corners = static_cast<int>(m_nHull);
    for (int i = 0; i < corners; ++i) {
        sRow& r = rowEnds[static_cast<size_t>(hull[i].y - m_nTop)];
        if (hull[i].x == r.left)
            r.leftCorner = i;
        if (hull[i].x == r.right)
            r.rightCorner = i;
    }
    // A closed contour ends on its first point: that end is no second visit.
    size_t count = contour.size();
    if (count > 1 && SamePoint(contour[0], contour[count - 1]))
        --count;
    m_Met.assign(m_nHull, 0);
    if (m_Corners.size() < m_nHull)
        m_Corners.resize(m_nHull);
    char* const met = m_Met.data();
    int* const found = m_Corners.data();
    int seen = 0;
    int first = -1;
    int previous = -1;
    int step = 0;
    for (size_t j = 0; j < count; ++j) {
        const POINT p = contour[j];
        const sRow& r = rowEnds[static_cast<size_t>(p.y - m_nTop)];
        const int corner = p.x == r.left ? r.leftCorner : p.x == r.right ? r.rightCorner : -1;
        if (corner < 0)
            continue;
        if (met[corner] != 0)
            return false;
        met[corner] = 1;
        // The corners must come round the hull one after the other.
        if (previous < 0) {
            first = corner;
        } else {
            const int turn = corner >= previous ? corner - previous : corner - previous + corners;
            if (step == 0 && (turn == 1 || turn == corners - 1))
                step = turn;
            if (turn != step)
                return false;
        }
        previous = corner;
        found[seen++] = static_cast<int>(j);
    }
    const int back = first >= previous ? first - previous : first - previous + corners;
    return seen == corners && back == step;
}

double CDefectDepth::DeepestBelowCorners(std::span<const POINT> contour) const
{
    // With the corners in hull order, OpenCV's defects lie between
    // neighbouring corners, each measured below the hull edge they span.
    const size_t count = contour.size();
    const POINT* const points = contour.data();
    const int* const corners = m_Corners.data();
    double deepest = 0.0;
    for (size_t k = 0; k < m_nHull; ++k) {
        const auto a = static_cast<size_t>(corners[k]);
        const auto b = static_cast<size_t>(corners[k + 1 == m_nHull ? 0 : k + 1]);
        const POINT start = points[a];
        const POINT end = points[b];
        const int64_t ex = end.x - start.x;
        const int64_t ey = end.y - start.y;
        int64_t most = 0;
        // The points after a up to b, in at most two straight stretches.
        const auto below = [&](size_t from, size_t to) {
            for (size_t j = from; j < to; ++j)
                most = std::max(most, std::abs(ex * (points[j].y - start.y) - ey * (points[j].x - start.x)));
        };
        if (a < b) {
            below(a + 1, b);
        } else {
            below(a + 1, count);
            below(0, b);
        }
        if (most > 0)
            deepest = std::max(deepest, static_cast<double>(most) / std::sqrt(static_cast<double>(ex * ex + ey * ey)));
    }
    return deepest;
}
