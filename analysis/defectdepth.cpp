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
    for (const POINT& p : contour) {
        const auto row = static_cast<size_t>(static_cast<int64_t>(p.y) - m_nTop);
        if (row >= rows)
            return false;
        sRow& r = m_Rows[row];
        r.left = std::min(r.left, static_cast<int>(p.x));
        r.right = std::max(r.right, static_cast<int>(p.x));
    }
    // Monotone chains over the row ends in (y, x) order, down the left
    // ends and up the right ones; collinear points drop out, as they do
    // from OpenCV's hull.
    m_Hull.clear();
    const auto push = [this](POINT p, size_t floor) {
        while (m_Hull.size() >= floor && Cross(m_Hull[m_Hull.size() - 2], m_Hull.back(), p) <= 0)
            m_Hull.pop_back();
        m_Hull.push_back(p);
    };
    for (size_t row = 0; row < rows; ++row) {
        const sRow& r = m_Rows[row];
        if (r.left == INT_MAX)
            continue;
        const int y = m_nTop + static_cast<int>(row);
        push(POINT{r.left, y}, 2);
        if (r.right != r.left)
            push(POINT{r.right, y}, 2);
    }
    // Back from the last end but one.
    const size_t lower = m_Hull.size() + 1;
    bool last = true;
    for (size_t row = rows; row-- > 0;) {
        const sRow& r = m_Rows[row];
        if (r.left == INT_MAX)
            continue;
        const int y = m_nTop + static_cast<int>(row);
        if (r.right != r.left && !last)
            push(POINT{r.right, y}, lower);
        if (!last || r.right != r.left)
            push(POINT{r.left, y}, lower);
        last = false;
    }
    m_Hull.pop_back(); // the first point again
    return m_Hull.size() >= 3;
}

bool CDefectDepth::FindCorners(std::span<const POINT> contour)
{
    for (size_t i = 0; i < m_Hull.size(); ++i) {
        sRow& r = m_Rows[static_cast<size_t>(m_Hull[i].y - m_nTop)];
        if (m_Hull[i].x == r.left)
            r.leftCorner = static_cast<int>(i);
        if (m_Hull[i].x == r.right)
            r.rightCorner = static_cast<int>(i);
    }
    // A closed contour ends on its first point: that end is no second visit.
    size_t count = contour.size();
    if (count > 1 && SamePoint(contour[0], contour[count - 1]))
        --count;
    const int corners = static_cast<int>(m_Hull.size());
    m_Met.assign(m_Hull.size(), 0);
    m_Corners.clear();
    int first = -1;
    int previous = -1;
    int step = 0;
    for (size_t j = 0; j < count; ++j) {
        const POINT p = contour[j];
        const sRow& r = m_Rows[static_cast<size_t>(p.y - m_nTop)];
        const int corner = p.x == r.left ? r.leftCorner : p.x == r.right ? r.rightCorner : -1;
        if (corner < 0)
            continue;
        if (m_Met[static_cast<size_t>(corner)] != 0)
            return false;
        m_Met[static_cast<size_t>(corner)] = 1;
        // The corners must come round the hull one after the other.
        if (previous < 0) {
            first = corner;
        } else {
            const int turn = (corner - previous + corners) % corners;
            if (step == 0 && (turn == 1 || turn == corners - 1))
                step = turn;
            if (turn != step)
                return false;
        }
        previous = corner;
        m_Corners.push_back(static_cast<int>(j));
    }
    return static_cast<int>(m_Corners.size()) == corners && (first - previous + corners) % corners == step;
}

double CDefectDepth::DeepestBelowCorners(std::span<const POINT> contour) const
{
    // With the corners in hull order, OpenCV's defects lie between
    // neighbouring corners, each measured below the hull edge they span.
    const size_t count = contour.size();
    double deepest = 0.0;
    for (size_t k = 0; k < m_Corners.size(); ++k) {
        const auto a = static_cast<size_t>(m_Corners[k]);
        const auto b = static_cast<size_t>(m_Corners[(k + 1) % m_Corners.size()]);
        const POINT start = contour[a];
        const POINT end = contour[b];
        const int64_t ex = end.x - start.x;
        const int64_t ey = end.y - start.y;
        int64_t most = 0;
        for (size_t j = a + 1 == count ? 0 : a + 1; j != b; j = j + 1 == count ? 0 : j + 1) {
            const POINT p = contour[j];
            most = std::max(most, std::abs(ex * (p.y - start.y) - ey * (p.x - start.x)));
        }
        if (most > 0)
            deepest = std::max(deepest, static_cast<double>(most) / std::sqrt(static_cast<double>(ex * ex + ey * ey)));
    }
    return deepest;
}
