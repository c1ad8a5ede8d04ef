#include "analysis/clustering.h"

#include "analysis/objcluster.h"
#include "analysis/resultdocument.h"
#include "objectmodel/rectfunctions.h"
#include "platform/core/exceptions.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

bool Contains(const RECT& rect, const POINT& point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

// The more outlying of two corners: by x (ties by y), or by y (ties by x).
POINT Outlying(const POINT& p, const POINT& q, bool byX, bool larger, bool tieLarger)
{
    const LONG pMain = byX ? p.x : p.y;
    const LONG qMain = byX ? q.x : q.y;
    if (pMain != qMain)
        return (qMain > pMain) == larger ? q : p;
    const LONG pTie = byX ? p.y : p.x;
    const LONG qTie = byX ? q.y : q.x;
    return (qTie > pTie) == tieLarger && qTie != pTie ? q : p;
}

// b's rectangle record with each corner pushed out to the more outlying
// corner of the two records.
sMinAreaRect OutlyingMinRect(const sMinAreaRect& a, const sMinAreaRect& b)
{
    sMinAreaRect joined = b;
    joined.m_Corners[0] = Outlying(a.m_Corners[0], b.m_Corners[0], true, false, false);
    joined.m_Corners[1] = Outlying(a.m_Corners[1], b.m_Corners[1], false, false, false);
    joined.m_Corners[2] = Outlying(a.m_Corners[2], b.m_Corners[2], true, true, true);
    joined.m_Corners[3] = Outlying(a.m_Corners[3], b.m_Corners[3], false, true, false);
    const double across = joined.m_Corners[2].x - joined.m_Corners[0].x;
    const double down = joined.m_Corners[3].y - joined.m_Corners[1].y;
    joined.m_dLength = std::max(across, down);
    joined.m_dWidth = std::min(across, down);
    return joined;
}

std::unique_ptr<CObjData> AsObject(std::unique_ptr<CBaseObj> record)
{
    return std::unique_ptr<CObjData>(static_cast<CObjData*>(record.release()));
}

} // namespace

double CClustering::PixelArea(const CObjData& record)
{
    const double factor = CBaseObj::SystemCalibration.m_dFactor;
    return factor != 0.0 ? record.GetArea() / factor / factor : 0.0;
}

int CClustering::ShouldMerge(const CObjData& a, const CObjData& b) const
{
    // A record kept as rejected stays a row of its own: inside a cluster
    // its mark would be lost, as Merge leaves it out too.
    if (a.m_Link == 1 || b.m_Link == 1)
        return 0;
    const double gap = RectDistance(b.m_Rect, a.m_Rect);
    if (m_nMaxDistance < gap)
        return 0;
    if (m_nMaxMembers != 0 && a.GetMemberCount() + b.GetMemberCount() > m_nMaxMembers)
        return 0;
    if (m_dMaxArea == 0.0)
        return 1;
    return PixelArea(a) + PixelArea(b) <= m_dMaxArea ? 1 : 0;
}

int CClustering::Cluster(CResultObjectList* list, int maxDistance, int maxMembers, double maxArea)
{
    if (list == nullptr)
        return 0;
    m_pList = list;
    m_nMaxDistance = maxDistance;
    m_nMaxMembers = maxMembers;
    m_dMaxArea = maxArea;
    int i = 0;
    while (i < list->GetObjectCount() - 1) {
        const auto* a = dynamic_cast<const CObjData*>(list->GetObjectAt(i));
        bool merged = false;
        for (int j = i + 1; a != nullptr && j < list->GetObjectCount(); ++j) {
            const auto* b = dynamic_cast<const CObjData*>(list->GetObjectAt(j));
            if (b != nullptr && ShouldMerge(*a, *b) != 0) {
                MergeAt(i, j);
                merged = true;
                break;
            }
        }
        // The cluster at i is tested again against the later objects.
        if (!merged)
            ++i;
    }
    return 1;
}

int CClustering::Merge(CResultObjectList* list, const RECT& rect)
{
    m_dLargestArea = 0.0;
    if (list == nullptr)
        return 0;
    m_pList = list;
    std::vector<OBJECT_DESCRIPTOR> inside;
    for (int i = 0; i < list->GetObjectCount(); ++i) {
        auto* object = dynamic_cast<CObjData*>(list->GetObjectAt(i));
        if (object != nullptr && object->m_Link != 1 && Contains(rect, object->m_ptCentroid))
            inside.push_back({i, object});
    }
    if (inside.empty())
        return 0;
    m_dLargestArea = inside.front().pObject->GetArea();
    for (size_t k = 0; k + 1 < inside.size(); ++k) {
        m_dLargestArea = std::max(m_dLargestArea, inside[k + 1].pObject->GetArea());
        CObjCluster* cluster = MergeAt(inside[k].nIndex, inside[k + 1].nIndex);
        inside[k + 1] = {inside[k].nIndex, cluster};
        // One object left the list.
        for (size_t later = k + 2; later < inside.size(); ++later)
            --inside[later].nIndex;
    }
    return 1;
}

CObjCluster* CClustering::MergeAt(int indexA, int indexB)
{
    auto* a = dynamic_cast<CObjData*>(m_pList->GetObjectAt(indexA));
    auto* b = dynamic_cast<CObjData*>(m_pList->GetObjectAt(indexB));
    if (a == nullptr || b == nullptr)
        AfxThrowInvalidArgException();
    return MergePair(m_pList, a, a->m_Rect, PixelArea(*a), a->GetFormFactor(), indexA, b, b->m_Rect, PixelArea(*b),
                     b->GetFormFactor(), indexB);
}

CObjCluster* CClustering::MergePair(CResultObjectList* list, CObjData* a, const RECT& rectA, double areaA,
                                    double formA, int indexA, CObjData* b, const RECT& rectB, double areaB,
                                    double formB, int indexB)
{
    // The list owns both records: they must be the ones at their indices,
    // or a record would end in two owners.
    if (list == nullptr || a == nullptr || b == nullptr || indexA == indexB || list->GetObjectAt(indexA) != a ||
        list->GetObjectAt(indexB) != b)
        AfxThrowInvalidArgException();

    auto cluster = std::make_unique<CObjCluster>();
    cluster->m_Rect = CRect(std::min(rectA.left, rectB.left), std::min(rectA.top, rectB.top),
                            std::max(rectA.right, rectB.right), std::max(rectA.bottom, rectB.bottom));
    cluster->m_ptCentroid = CPoint((cluster->m_Rect.left + cluster->m_Rect.right) / 2,
                                   (cluster->m_Rect.top + cluster->m_Rect.bottom) / 2);
    cluster->m_lArea = static_cast<LONG>(areaA + areaB);
    cluster->m_FF = static_cast<float>((formA + formB) * 0.5);
    cluster->m_MinRect = OutlyingMinRect(a->m_MinRect, b->m_MinRect);
    cluster->m_ID = a->m_ID;
    cluster->m_dClass = a->m_dClass;
    cluster->m_strClassName = a->m_strClassName;
    cluster->m_ClassColor = a->m_ClassColor;
    cluster->m_Type |= a->m_Type;

    CObjCluster* made = cluster.get();
    const bool aFirst = indexA < indexB;
    std::unique_ptr<CBaseObj> low = list->ReplaceObjectAt(std::min(indexA, indexB), std::move(cluster));
    std::unique_ptr<CBaseObj> high = list->RemoveObjectAt(std::max(indexA, indexB));
    made->AddMember(AsObject(std::move(aFirst ? low : high)));
    made->AddMember(AsObject(std::move(aFirst ? high : low)));
    return made;
}
