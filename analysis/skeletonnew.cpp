#include "analysis/skeletonnew.h"

#include "analysis/aoi.h"
#include "analysis/aoiimaging.h"

#include <opencv2/core.hpp>

#include <algorithm>
#include <cmath>

namespace {

constexpr BYTE kObject = 255;
// Every object pixel keeps this many background pixels to the page's edge.
constexpr int kMargin = 1;
// The trace starts from a first pixel in row order as the object search's do.
constexpr int kStartDirection = 1;
constexpr double kBranchMergeDistance = 5.0;
constexpr int kIndexGap = 5;

constexpr int kDx[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int kDy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

} // namespace

CSkeletonNew::CSkeletonNew()
{
    m_Tracer.m_BinaryValue = kObject;
}

bool CSkeletonNew::IsSet(int x, int y) const
{
    return x >= 0 && y >= 0 && x < m_Pixels.cols && y < m_Pixels.rows && m_Pixels.at<BYTE>(y, x) == kObject;
}

void CSkeletonNew::Clear(int x, int y)
{
    m_Pixels.at<BYTE>(y, x) = 0;
}

int CSkeletonNew::GetNeighbours(int x, int y)
{
    int sum = 0;
    for (int i = 0; i < 8; ++i) {
        m_Neighbours[static_cast<size_t>(i)] = IsSet(x + kDx[i], y + kDy[i]) ? 1 : 0;
        sum += m_Neighbours[static_cast<size_t>(i)];
    }
    return sum;
}

int CSkeletonNew::Thin(const CRPolygon& contour)
{
    m_arrTips.clear();
    m_nCycles = 0;
    m_nObjectPixels = 0;
    m_Pixels = cv::Mat();
    m_Tracer.Reset(TRUE);
    if (contour.IsEmpty())
        return 0;
    m_Contour.CopyFrom(contour);
    CAOI4 area;
    if (!CreateMask(area, &m_Page, &m_Contour, nullptr, kMargin))
        return 0;
    const CBoundingRect& box = m_Contour.GetBoundingRect();
    m_Origin = CPoint(box.left - kMargin, box.top - kMargin);
    m_Pixels = m_Page.GetMat();
    m_nObjectPixels = cv::countNonZero(m_Pixels == kObject);

    m_Tracer.SetImage(&m_Page, nullptr, nullptr);
    m_Tracer.Size(std::max(static_cast<int>(m_Contour.GetSize()) + 16, 64));
    m_Start = CPoint(0, 0);
    if (!Retrace(m_Tracer))
        return 0;
    for (;;) {
        if (ThinPass(m_Tracer) == 0)
            break;
        ++m_nCycles;
    }
    PruneCorners(m_Tracer);
    return 1;
}

bool CSkeletonNew::Retrace(CKontur8& tracer)
{
    // Pixels are only ever removed: the first one in row order never moves
    // back, so the search goes on from the last start.
    for (int y = m_Start.y; y < m_Pixels.rows; ++y) {
        const BYTE* row = m_Pixels.ptr<BYTE>(y);
        for (int x = y == m_Start.y ? m_Start.x : 0; x < m_Pixels.cols; ++x) {
            if (row[x] != kObject)
                continue;
            m_Start = CPoint(x, y);
            int direction = kStartDirection;
            tracer.TraceBinary(x, y, direction);
            return true;
        }
    }
    tracer.Reset();
    return false;
}

int CSkeletonNew::ThinPass(CKontur8& tracer)
{
    int removed = 0;
    std::vector<POINT> marked;
    for (int sub = 1; sub <= 2; ++sub) {
        marked.clear();
        const CRPolygon& points = tracer.GetPoints();
        for (const POINT& p : points) {
            if (!IsSet(p.x, p.y))
                continue;
            const int b = GetNeighbours(p.x, p.y);
            if (b < 2 || b > 6)
                continue;
            int a = 0;
            for (int i = 0; i < 8; ++i)
                if (m_Neighbours[static_cast<size_t>(i)] == 0 && m_Neighbours[static_cast<size_t>((i + 1) % 8)] == 1)
                    ++a;
            if (a != 1)
                continue;
            const auto& n = m_Neighbours;
            const bool free = sub == 1 ? (n[north] * n[east] * n[south] == 0 && n[east] * n[south] * n[west] == 0)
                                       : (n[north] * n[east] * n[west] == 0 && n[north] * n[south] * n[west] == 0);
            if (free)
                marked.push_back(p);
        }
        int cleared = 0;
        for (const POINT& p : marked) {
            // A contour passes some pixels twice.
            if (IsSet(p.x, p.y)) {
                Clear(p.x, p.y);
                ++cleared;
            }
        }
        if (cleared > 0)
            Retrace(tracer);
        removed += cleared;
    }
    return removed;
}

int CSkeletonNew::PruneCorners(CKontur8& tracer)
{
    int removed = 0;
    const CRPolygon& points = tracer.GetPoints();
    for (const POINT& p : points) {
        if (!IsSet(p.x, p.y))
            continue;
        GetNeighbours(p.x, p.y);
        const auto& n = m_Neighbours;
        const bool staircase = (n[north] + n[west] == 2 && n[northWest] + n[southEast] + n[east] + n[south] == 0) ||
                               (n[east] + n[north] == 2 && n[south] + n[northEast] + n[west] + n[southWest] == 0) ||
                               (n[east] + n[south] == 2 && n[southEast] + n[northWest] + n[north] + n[west] == 0) ||
                               (n[south] + n[west] == 2 && n[northEast] + n[southWest] + n[east] + n[north] == 0);
        const bool tCorner =
            (n[east] + n[north] + n[west] == 3 &&
             n[northWest] + n[southWest] + n[southEast] + n[northEast] + n[south] == 0) ||
            (n[east] + n[south] + n[north] == 3 &&
             n[northEast] + n[southEast] + n[west] + n[northWest] + n[southWest] == 0) ||
            (n[south] + n[west] + n[east] == 3 &&
             n[northEast] + n[southEast] + n[north] + n[northWest] + n[southWest] == 0) ||
            (n[south] + n[west] + n[north] == 3 &&
             n[northEast] + n[southEast] + n[east] + n[northWest] + n[southWest] == 0);
        if (staircase || tCorner) {
            Clear(p.x, p.y);
            ++removed;
        }
    }
    Retrace(tracer);
    return removed;
}

void CSkeletonNew::AddTip(int x, int y, int index)
{
    for (TipNode& tip : m_arrTips) {
        if (tip.x == x && tip.y == y) {
            tip.m_arrIndices.push_back(index);
            return;
        }
    }
    m_arrTips.push_back(TipNode{x, y, {index}});
}

int CSkeletonNew::FindTips()
{
    m_arrTips.clear();
    const CRPolygon& points = m_Tracer.GetPoints();
    // A closed walk ends on its start again: that point is counted once.
    const int count = std::max(m_Tracer.GetLastIndex(), 1);
    for (int i = 0; i < count && i < static_cast<int>(points.GetSize()); ++i) {
        const POINT p = points[i];
        if (!IsSet(p.x, p.y))
            continue;
        const int b = GetNeighbours(p.x, p.y);
        if (b == 1 || b > 2)
            AddTip(p.x, p.y, i);
    }
    MergeBranchTips();
    return 1;
}

void CSkeletonNew::MergeBranchTips()
{
    for (size_t i = 0; i < m_arrTips.size(); ++i) {
        if (!HasBranches(m_arrTips[i]))
            continue;
        std::vector<size_t> group{i};
        for (size_t j = i + 1; j < m_arrTips.size(); ++j)
            if (HasBranches(m_arrTips[j]) && std::hypot(static_cast<double>(m_arrTips[j].x - m_arrTips[i].x),
                                                        static_cast<double>(m_arrTips[j].y - m_arrTips[i].y)) <
                                                 kBranchMergeDistance)
                group.push_back(j);
        if (group.size() < 2)
            continue;
        std::vector<int> indices;
        int sumX = 0;
        int sumY = 0;
        for (const size_t k : group) {
            const TipNode& tip = m_arrTips[k];
            indices.insert(indices.end(), tip.m_arrIndices.begin(), tip.m_arrIndices.end());
            sumX += tip.x;
            sumY += tip.y;
        }
        const int meanX = sumX / static_cast<int>(group.size());
        const int meanY = sumY / static_cast<int>(group.size());
        size_t winner = group.back();
        int best = 1000;
        for (auto k = group.rbegin(); k != group.rend(); ++k) {
            const TipNode& tip = m_arrTips[*k];
            const int distance =
                static_cast<int>(std::hypot(static_cast<double>(tip.x - meanX), static_cast<double>(tip.y - meanY)));
            if (distance < best) {
                best = distance;
                winner = *k;
            }
        }
        std::sort(indices.begin(), indices.end());
        TipNode& first = m_arrTips[i];
        first.x = m_arrTips[winner].x;
        first.y = m_arrTips[winner].y;
        first.m_arrIndices.clear();
        for (size_t k = 0; k < indices.size(); ++k)
            if (k == 0 || indices[k] - indices[k - 1] > kIndexGap)
                first.m_arrIndices.push_back(indices[k]);
        // Members after the first go, from the last one back.
        for (auto k = group.rbegin(); k != group.rend() && *k != i; ++k)
            m_arrTips.erase(m_arrTips.begin() + static_cast<std::ptrdiff_t>(*k));
    }
}
