// The cut side of CRPolygon: cut records, splitting along a cut line and
// joining parts again, and the stretches along an area's border.

#include "objectmodel/rowborders.h"
#include "objectmodel/rpolygon.h"
#include "platform/core/dc.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

double Distance(POINT a, POINT b)
{
    return std::hypot(static_cast<double>(b.x - a.x), static_cast<double>(b.y - a.y));
}

bool SamePoint(POINT a, POINT b)
{
    return a.x == b.x && a.y == b.y;
}

// Appends the point unless it repeats the last one; returns the index that
// holds it.
int AddSkippingRepeat(CRPolygon& polygon, POINT point)
{
    if (!polygon.IsEmpty() && SamePoint(polygon.GetAt(polygon.GetUpperBound()), point))
        return static_cast<int>(polygon.GetUpperBound());
    return static_cast<int>(polygon.Add(point));
}

// The points from index first forward to index last, wrapping past the end.
void AppendForward(const CRPointArray& source, int first, int last, std::vector<POINT>& out)
{
    const int n = static_cast<int>(source.GetSize());
    for (int i = first;; i = (i + 1) % n) {
        out.push_back(source[i]);
        if (i == last)
            break;
    }
}

} // namespace

bool CRPolygon::CutHolds(const tagCUT& cut, int index) const
{
    const int n = static_cast<int>(GetSize());
    if (n == 0 || cut.nStart < 0 || cut.nCount <= 0)
        return false;
    if (!m_bClosed)
        return index >= cut.nStart && index <= cut.nStart + cut.nCount - 1;
    const int offset = ((index - cut.nStart) % n + n) % n;
    return offset < cut.nCount;
}

int CRPolygon::LocatePoint(POINT point) const
{
    const int index = FindPoint(point);
    return index >= 0 ? index : FindNearestPoint(point.x, point.y);
}

int CRPolygon::AddCut(int /*start*/, POINT a, POINT b, int count, int spare, BOOL valid)
{
    tagCUT cut{FindPoint(a), a, b, count, spare, valid};
    if (FindPoint(b) >= 0)
        cut.bValid = 1;
    return static_cast<int>(m_Cuts.Add(cut));
}

int CRPolygon::AddCut(int start, int count, POINT a, POINT b)
{
    tagCUT cut{start, a, b, count, 0, 1};
    return static_cast<int>(m_Cuts.Add(cut));
}

bool CRPolygon::GetCutAt(int x, int y, POINT& a, POINT& b) const
{
    if (m_Cuts.IsEmpty())
        return false;
    int distance = 0;
    const int index = FindNearestPoint(x, y, distance);
    if (index < 0 || distance > 5)
        return false;
    for (const tagCUT& cut : m_Cuts) {
        if (cut.bValid && CutHolds(cut, index)) {
            a = GetPointAt(cut.nStart);
            b = GetPointAt(cut.nStart + cut.nCount - 1);
            return true;
        }
    }
    return false;
}

bool CRPolygon::FindCutByEnds(int x1, int y1, int x2, int y2) const
{
    if (IsEmpty())
        return false;
    const POINT p1{x1, y1};
    const POINT p2{x2, y2};
    for (const tagCUT& cut : m_Cuts) {
        if (!cut.bValid || cut.nStart < 0)
            continue;
        const POINT start = GetPointAt(cut.nStart);
        const POINT end = GetPointAt(cut.nStart + cut.nCount - 1);
        if ((SamePoint(start, p1) && SamePoint(end, p2)) || (SamePoint(start, p2) && SamePoint(end, p1)))
            return true;
    }
    return false;
}

int CRPolygon::FindCutNear(const tagCUT& cut, double maxDistance) const
{
    for (INT_PTR i = 0; i < m_Cuts.GetSize(); ++i) {
        const tagCUT& record = m_Cuts[i];
        const double d1 = std::min(Distance(record.ptA, cut.ptA), Distance(record.ptA, cut.ptB));
        const double d2 = std::min(Distance(record.ptB, cut.ptA), Distance(record.ptB, cut.ptB));
        if ((d1 < maxDistance && d2 < maxDistance) || std::min(d1, d2) < 3.0)
            return static_cast<int>(i);
    }
    return -1;
}

void CRPolygon::DrawCuts(CDC* pDC) const
{
    if (IsEmpty())
        return;
    for (const tagCUT& cut : m_Cuts) {
        if (!cut.bValid || cut.nStart < 0)
            continue;
        for (int k = 0; k < cut.nCount; ++k)
            pDC->SetPixel(GetPointAt(cut.nStart + k), RGB(0, 255, 0));
    }
}

bool CRPolygon::FindCutEnds(const CRPointArray& other, int& i1, int& i2) const
{
    if (other.IsEmpty())
        return false;
    const auto touch = [this](POINT p) {
        const int index = FindPoint(p);
        return index >= 0 ? index : FindNeighbour(p.x, p.y);
    };
    i1 = touch(other[0]);
    i2 = touch(other[other.GetUpperBound()]);
    return i1 >= 0 && i2 >= 0 && i1 != i2;
}

std::unique_ptr<CRPolygon> CRPolygon::OuterPart(const CRPointArray& cut, int a, int b) const
{
    const int n = static_cast<int>(GetSize());
    const int m = static_cast<int>(cut.GetSize());
    auto part = std::make_unique<CRPolygon>();
    for (int i = 0; i <= a; ++i)
        AddSkippingRepeat(*part, GetAt(i));
    for (int j = 1; j < m - 1; ++j)
        AddSkippingRepeat(*part, cut[j]);
    int bInPart = static_cast<int>(part->GetSize());
    for (int i = b; i < n; ++i) {
        const int index = AddSkippingRepeat(*part, GetAt(i));
        if (i == b)
            bInPart = index;
    }
    if (part->GetSize() > 1)
        part->Close();

    // Cuts before a keep their place, cuts from b on move back; a cut that
    // reaches into the stretch between a and b is no longer whole.
    const auto runsIntoCutOff = [&](const tagCUT& record) {
        for (int k = 0; k < std::min<int>(record.nCount, n); ++k) {
            const int index = (record.nStart + k) % n;
            if (index > a && index < b)
                return true;
        }
        return false;
    };
    for (const tagCUT& record : m_Cuts) {
        if (record.nStart < 0 || (record.nStart >= a && record.nStart < b))
            continue;
        tagCUT moved = record;
        if (record.nStart >= b)
            moved.nStart = record.nStart - (b - bInPart);
        if (runsIntoCutOff(record))
            moved.bValid = 0;
        part->m_Cuts.Add(moved);
    }
    part->AddCut(a, m, cut[0], cut[m - 1]);
    return part;
}

std::unique_ptr<CRPolygon> CRPolygon::InnerPart(const CRPointArray& cut, int a, int b) const
{
    const int m = static_cast<int>(cut.GetSize());
    auto part = std::make_unique<CRPolygon>();
    for (int i = a; i <= b; ++i)
        AddSkippingRepeat(*part, GetAt(i));
    for (int j = m - 2; j >= 1; --j)
        AddSkippingRepeat(*part, cut[j]);
    if (part->GetSize() > 1)
        part->Close();

    // Cuts strictly between a and b come along, whole only when they end there too.
    for (const tagCUT& record : m_Cuts) {
        if (record.nStart <= a || record.nStart >= b)
            continue;
        tagCUT moved = record;
        moved.nStart = record.nStart - a;
        const int end = record.nStart + record.nCount - 1;
        if (end < a || end > b)
            moved.bValid = 0;
        part->m_Cuts.Add(moved);
    }
    part->AddCut(b - a, m, cut[m - 1], cut[0]);
    return part;
}

std::unique_ptr<CRPolygon> CRPolygon::SplitByCut(CRPointArray& cut)
{
    if (cut.IsEmpty())
        return nullptr;
    const int m = static_cast<int>(cut.GetSize());
    int a = FindPoint(cut[0]);
    if (a < 0)
        return nullptr;
    int b = FindPoint(cut[m - 1]);
    if (b == a)
        b = FindPointReverse(cut[m - 1]);
    if (b < 0 || b == a)
        return nullptr;
    if (b < a) {
        std::swap(a, b);
        std::reverse(cut.begin(), cut.end());
    }

    std::unique_ptr<CRPolygon> partA = OuterPart(cut, a, b);
    std::unique_ptr<CRPolygon> partB = InnerPart(cut, a, b);

    // A part that is the whole contour again means the cut split nothing
    // (a part that only has as many points is a real split).
    const auto samePoints = [this](const CRPolygon& part) {
        return part.GetSize() == GetSize() && std::equal(begin(), end(), part.begin(), SamePoint);
    };
    if (samePoints(*partA) || samePoints(*partB))
        return nullptr;
    // This polygon keeps the larger part (the inner one on a tie).
    std::unique_ptr<CRPolygon>& kept = partA->GetSize() > partB->GetSize() ? partA : partB;
    std::unique_ptr<CRPolygon>& other = partA->GetSize() > partB->GetSize() ? partB : partA;
    CopyFrom(*kept);
    if (other->GetSize() > 1)
        return std::move(other);
    return nullptr;
}

bool CRPolygon::JoinAlongCut(const CRPointArray& joinLine, const CRPolygon& hole)
{
    if (joinLine.IsEmpty() || IsEmpty() || hole.IsEmpty())
        return false;
    const int n = static_cast<int>(GetSize());
    const int holeCount = static_cast<int>(hole.GetSize());
    const int m = static_cast<int>(joinLine.GetSize());
    const int a = FindPoint(joinLine[0]);
    int b = hole.FindPoint(joinLine[m - 1]);
    if (a < 0 || b < 0)
        return false;

    CRPolygon joined;
    for (int i = 0; i <= a; ++i)
        joined.Add(GetAt(i));
    if (m == 1) {
        joined.Add(hole[b]);
        b = (b + 1) % holeCount;
    }
    for (int j = 1; j < m - 1; ++j)
        joined.Add(joinLine[j]);
    for (int i = b; i < holeCount; ++i)
        joined.Add(hole[i]);
    for (int i = 0; i <= b; ++i)
        joined.Add(hole[i]);
    for (int j = m - 2; j >= 1; --j)
        joined.Add(joinLine[j]);
    for (int i = a; i < n; ++i)
        joined.Add(GetAt(i));
    joined.Close();
    CopyFrom(joined);
    return true;
}

bool CRPolygon::JoinAtCuts(CRPolygon& other, int cutHere, int cutThere)
{
    if (&other == this || IsEmpty() || other.IsEmpty() || cutHere < 0 || cutHere >= m_Cuts.GetSize() || cutThere < 0 ||
        cutThere >= other.m_Cuts.GetSize())
        return false;
    const tagCUT here = m_Cuts[cutHere];
    const tagCUT there = other.m_Cuts[cutThere];

    // Each contour runs outside its cut from the cut's end B round to its
    // end A. Where the other cut's ends pair crosswise with ours, the two
    // outside stretches follow each other; else the other one runs backwards.
    const bool crosswise = Distance(there.ptA, here.ptB) + Distance(there.ptB, here.ptA) <=
                           Distance(there.ptA, here.ptA) + Distance(there.ptB, here.ptB);
    std::vector<POINT> vertices;
    AppendForward(*this, LocatePoint(here.ptB), LocatePoint(here.ptA), vertices);
    std::vector<POINT> outside;
    AppendForward(other, other.LocatePoint(there.ptB), other.LocatePoint(there.ptA), outside);
    if (!crosswise)
        std::reverse(outside.begin(), outside.end());
    vertices.insert(vertices.end(), outside.begin(), outside.end());
    if (vertices.size() > 1 && SamePoint(vertices.back(), vertices.front()))
        vertices.pop_back();

    std::vector<tagCUT> remaining;
    for (INT_PTR i = 0; i < m_Cuts.GetSize(); ++i) {
        if (i != cutHere)
            remaining.push_back(m_Cuts[i]);
    }
    for (INT_PTR i = 0; i < other.m_Cuts.GetSize(); ++i) {
        if (i != cutThere)
            remaining.push_back(other.m_Cuts[i]);
    }
    other.m_Cuts.RemoveAt(cutThere);

    CRPointArray outline;
    for (const POINT& p : vertices)
        outline.Add(p);
    SetFromVertices(outline);

    // The kept cuts find their place on the new outline by their ends.
    m_Cuts.RemoveAll();
    for (tagCUT cut : remaining) {
        cut.nStart = FindPoint(cut.ptA);
        if (cut.nStart < 0 || FindPoint(cut.ptB) < 0)
            cut.bValid = 0;
        m_Cuts.Add(cut);
    }
    return true;
}

int CRPolygon::MarkBorderCuts(const kestrun::CRowBorders& aoi)
{
    const int n = static_cast<int>(GetSize());
    std::vector<bool> onBorder(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        onBorder[static_cast<size_t>(i)] = aoi.IsOnBorder(GetAt(i).x, GetAt(i).y);

    // Runs as (start, length); a run at index 0 takes in the run that ends
    // the contour.
    std::vector<std::pair<int, int>> runs;
    for (int i = 0; i < n;) {
        if (!onBorder[static_cast<size_t>(i)]) {
            ++i;
            continue;
        }
        int end = i;
        while (end + 1 < n && onBorder[static_cast<size_t>(end + 1)])
            ++end;
        runs.emplace_back(i, end - i + 1);
        i = end + 1;
    }
    if (runs.size() > 1 && runs.front().first == 0 && runs.back().first + runs.back().second == n) {
        runs.front().first = runs.back().first;
        runs.front().second += runs.back().second;
        runs.pop_back();
    }

    int added = 0;
    for (const auto& [start, length] : runs) {
        if (length <= 5)
            continue;
        const POINT first = GetAt(start);
        const POINT last = GetAt((start + length - 1) % n);
        if (first.x == last.x || first.y == last.y) {
            AddCut(start, length, first, last);
            ++added;
        }
    }
    return added;
}

int CRPolygon::FindBorderTransitions(const kestrun::CRowBorders& aoi, std::vector<std::pair<int, int>>& pairs) const
{
    pairs.clear();
    const int n = static_cast<int>(GetSize());
    int border = -1;
    for (int i = 0; i < n && border < 0; ++i) {
        if (aoi.IsOnBorder(GetAt(i).x, GetAt(i).y))
            border = i;
    }
    if (border < 0)
        return 0;

    // From one border contact once round: each stretch inside runs from
    // where the contour leaves the border to where it comes back.
    bool previousOnBorder = true;
    int start = -1;
    for (int step = 1; step <= n; ++step) {
        const int i = (border + step) % n;
        const bool on = aoi.IsOnBorder(GetAt(i).x, GetAt(i).y);
        if (previousOnBorder && !on)
            start = i;
        else if (!previousOnBorder && on)
            pairs.emplace_back(start, (i - 1 + n) % n);
        previousOnBorder = on;
    }
    return static_cast<int>(pairs.size());
}
