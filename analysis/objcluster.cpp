#include "analysis/objcluster.h"

#include "objectmodel/textlabel.h"
#include "platform/core/exceptions.h"

#include <utility>
#include <vector>

IMPLEMENT_DYNCREATE(CObjCluster, CObjData)

namespace {

constexpr COLORREF kClusterColor = RGB(0, 0, 255);

} // namespace

void CObjCluster::AddMember(std::unique_ptr<CObjData> member)
{
    if (!member)
        AfxThrowInvalidArgException();
    m_arrMembers.push_back(std::move(member));
}

CObjData& CObjCluster::GetMember(int index) const
{
    if (index < 0 || index >= GetMemberCount())
        AfxThrowInvalidArgException();
    return *m_arrMembers[static_cast<size_t>(index)];
}

double CObjCluster::GetMembersArea() const
{
    double area = 0.0;
    for (const auto& member : m_arrMembers)
        area += member->GetArea();
    return area;
}

void CObjCluster::ForEachContourPoint(CPointTarget& target) const
{
    for (const auto& member : m_arrMembers)
        member->ForEachContourPoint(target);
}

void CObjCluster::DrawMarker(CDC* pDC, COLORREF crossColor, COLORREF contourColor)
{
    for (const auto& member : m_arrMembers)
        member->DrawMarker(pDC, crossColor, contourColor);
}

void CObjCluster::Draw(CDC* pDC, int number, std::span<const COLORREF> colors, CTextLabel* label, DWORD flags)
{
    if (colors.size() < 3)
        AfxThrowInvalidArgException();
    std::vector<COLORREF> memberColors(colors.begin(), colors.end());
    memberColors[0] = kClusterColor;
    memberColors[2] = kClusterColor;
    for (const auto& member : m_arrMembers)
        member->Draw(pDC, number, memberColors, nullptr, flags & ~drawLabel);
    if ((flags & drawLabel) == 0)
        return;
    const COLORREF textColor = label ? label->m_crTextColor : kClusterColor;
    if (label)
        label->m_crTextColor = kClusterColor;
    DrawNumber(pDC, number, kClusterColor, label, m_ptCentroid, true);
    if (label)
        label->m_crTextColor = textColor;
}
