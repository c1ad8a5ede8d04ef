#pragma once
// CObjCluster: neighbouring object records joined into one record. The
// cluster owns the joined records (a member may be a cluster itself) and
// draws as its members; its own measures are those clustering gave it.
// It is stored as a plain CObjData: the members are not stored.

#include "analysis/objdata.h"

#include <memory>
#include <vector>

class CObjCluster : public CObjData
{
    DECLARE_DYNCREATE(CObjCluster)

public:
    CObjCluster() = default;
    ~CObjCluster() override = default;

    void AddMember(std::unique_ptr<CObjData> member);
    // Invalid argument outside 0 .. count - 1.
    CObjData& GetMember(int index) const;

    int GetMemberCount() const override { return static_cast<int>(m_arrMembers.size()); }
    double GetMembersArea() const override;

    void ForEachContourPoint(CPointTarget& target) const override;
    void DrawMarker(CDC* pDC, COLORREF crossColor, COLORREF contourColor) override;
    // The members in blue without their labels; with drawLabel the
    // cluster's number at its centroid. At least three colours.
    void Draw(CDC* pDC, int number, std::span<const COLORREF> colors, CTextLabel* label, DWORD flags) override;

private:
    std::vector<std::unique_ptr<CObjData>> m_arrMembers;
};
