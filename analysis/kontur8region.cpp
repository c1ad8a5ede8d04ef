// The contour between two border points: two walks along the object's
// border, one from each end towards the other.

#include "analysis/aoi.h"
#include "analysis/kontur8.h"
#include "analysis/scanrayparams.h"
#include "analysis/segthres.h"
#include "objectmodel/linepoints.h"
#include "outside/pixmere/dib.h"
#include "platform/core/messagebox.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kDx[8] = {1, 1, 0, -1, -1, -1, 0, 1};
constexpr int kDy[8] = {0, -1, -1, -1, 0, 1, 1, 1};
constexpr int kTurnsP[7] = {2, 1, 0, -1, -2, -3, -4};
constexpr int kTurnsQ[7] = {-2, -1, 0, 1, 2, 3, 4};

int CityBlock(POINT a, POINT b)
{
    return std::abs(a.x - b.x) + std::abs(a.y - b.y);
}

bool Same(POINT a, POINT b)
{
    return a.x == b.x && a.y == b.y;
}

struct sWalk
{
    std::vector<POINT> points;
    int direction = 0;
    const int* turns = nullptr;
    int grey = 0;
    bool done = false;
    int best = 0;
    int stall = 0;
    int remembered = -1;
    POINT reference{};
};

int IndexOf(const std::vector<POINT>& points, POINT p)
{
    for (size_t i = points.size(); i-- > 0;)
        if (Same(points[i], p))
            return static_cast<int>(i);
    return -1;
}

} // namespace

int CKontur8::TraceRegion(POINT p, POINT q, int grey1, int grey2)
{
    CDIB& image = BoundImage();
    const CAOI* area = GetAOI();
    const bool bright = BoundThreshold().m_Mode == CSegThres::modeBright;
    m_nTestSelector = 1;

    ScanRayParams border;
    border.m_nEdgeMode = bright ? 1 : 0;
    sWalk walkP;
    sWalk walkQ;
    const CPoint startP = border.FindBorderPoint(image, area, p.x, p.y, grey1, walkP.direction);
    const CPoint startQ = border.FindBorderPoint(image, area, q.x, q.y, grey2, walkQ.direction);
    walkQ.direction = (walkQ.direction + 6) & 7;
    walkP.points.push_back(startP);
    walkQ.points.push_back(startQ);
    walkP.turns = kTurnsP;
    walkQ.turns = kTurnsQ;
    walkP.grey = grey1;
    walkQ.grey = grey2;
    const int startDistance = CityBlock(startP, startQ);
    walkP.best = walkQ.best = startDistance;
    walkP.reference = startQ;
    walkQ.reference = startP;
    int smallest = startDistance;

    const size_t capacityP = static_cast<size_t>(std::max(m_nCapacity, 4));
    const size_t capacityQ = capacityP / 2;

    auto accepts = [&](int x, int y, int grey) {
        if (x < 0 || y < 0 || x >= image.GetWidth() || y >= image.GetHeight() || !AreaContains(area, x, y))
            return false;
        const int g = static_cast<int>(image.GetPixel(x, y) & 0xFF);
        return bright ? g >= grey : g <= grey;
    };
    auto step = [&](sWalk& walk) {
        if (walk.done)
            return;
        const POINT c = walk.points.back();
        for (int t = 0; t < 7; ++t) {
            const int d = (walk.direction + walk.turns[t]) & 7;
            if (accepts(c.x + kDx[d], c.y + kDy[d], walk.grey)) {
                walk.direction = d;
                walk.points.push_back(POINT{c.x + kDx[d], c.y + kDy[d]});
                return;
            }
        }
        walk.done = true;
    };

    // The contour: walk P up to lastP, the straight gap, walk Q back from lastQ.
    auto join = [&](int lastP, int lastQ) {
        Reset();
        for (int i = 0; i <= lastP; ++i)
            m_Points.Add(walkP.points[static_cast<size_t>(i)]);
        const POINT a = walkP.points[static_cast<size_t>(lastP)];
        const POINT b = walkQ.points[static_cast<size_t>(lastQ)];
        if (!Same(a, b)) {
            CLinePoints gap;
            gap.Init(a.x, a.y, b.x, b.y);
            for (int i = 1; i + 1 < gap.GetCount(); ++i)
                m_Points.Add(gap.GetAt(i));
        }
        for (int i = lastQ; i >= 0; --i)
            if (i != lastQ || !Same(a, b))
                m_Points.Add(walkQ.points[static_cast<size_t>(i)]);
        m_nLastIndex = static_cast<int>(m_Points.GetSize()) - 1;
        m_bClosed = FALSE;
    };
    // Whether the walk that just stepped stands on the other's last points.
    auto meets = [](const sWalk& walk, const sWalk& other) {
        const size_t n = other.points.size();
        const POINT c = walk.points.back();
        if (Same(c, other.points[n - 1]))
            return static_cast<int>(n - 1);
        if (n > 1 && Same(c, other.points[n - 2]))
            return static_cast<int>(n - 2);
        return -1;
    };

    if (Same(startP, startQ)) {
        join(0, 0);
        return 1;
    }
    for (;;) {
        step(walkP);
        if (const int at = meets(walkP, walkQ); at >= 0) {
            join(static_cast<int>(walkP.points.size()) - 1, at);
            return 1;
        }
        step(walkQ);
        if (const int at = meets(walkQ, walkP); at >= 0) {
            join(at, static_cast<int>(walkQ.points.size()) - 1);
            return 1;
        }
        if (walkP.done && walkQ.done)
            break;
        if (walkP.points.size() >= capacityP - 1 || walkQ.points.size() >= capacityQ - 1) {
            MessageBeep(0xFFFFFFFF);
            break;
        }
        int distances[2] = {0, 0};
        sWalk* walks[2] = {&walkP, &walkQ};
        for (int w = 0; w < 2; ++w) {
            sWalk& walk = *walks[w];
            const int d = CityBlock(walk.points.back(), walk.reference);
            distances[w] = d;
            if (d < walk.best) {
                walk.best = d;
                smallest = std::min(smallest, d);
                walk.stall = walk.stall > 20 ? walk.stall - 1 : 0;
            } else {
                if (walk.stall == 0)
                    walk.remembered = static_cast<int>(walk.points.size()) - 2;
                ++walk.stall;
            }
        }
        if (walkP.stall == 0 && walkQ.stall == 0) {
            walkP.reference = walkQ.points.back();
            walkQ.reference = walkP.points.back();
        }
        if (distances[0] > 0 && distances[1] > 0 && (walkP.stall <= 10 || walkQ.stall <= 10))
            continue;
        // A walk on the other's reference point has reached the other walk.
        if (distances[0] == 0) {
            const int at = IndexOf(walkQ.points, walkP.reference);
            if (at >= 0) {
                join(static_cast<int>(walkP.points.size()) - 1, at);
                return 1;
            }
        }
        if (distances[1] == 0) {
            const int at = IndexOf(walkP.points, walkQ.reference);
            if (at >= 0) {
                join(at, static_cast<int>(walkQ.points.size()) - 1);
                return 1;
            }
        }
        if (smallest > startDistance / 4)
            break;
        if (walkP.stall != 0 && smallest < 5) {
            const int lastP = std::clamp(walkP.remembered + 1, 0, static_cast<int>(walkP.points.size()) - 1);
            const int lastQ = std::clamp(walkQ.remembered + 1, 0, static_cast<int>(walkQ.points.size()) - 1);
            join(lastP, lastQ);
            return 1;
        }
        break;
    }
    if (smallest < 5) {
        join(static_cast<int>(walkP.points.size()) - 1, static_cast<int>(walkQ.points.size()) - 1);
        return 1;
    }
    Reset();
    return 0;
}
