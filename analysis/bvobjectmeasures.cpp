// Measures of one object of the active area for the measurement series:
// the largest object's area and the curvature record of the longest
// object. Both run the main run into a table of their own.

#include "analysis/bv.h"

#include "analysis/objdata.h"
#include "analysis/objsegments.h"
#include "analysis/pageaccess.h"
#include "analysis/resultdocument.h"
#include "analysis/skeldata.h"
#include "objectmodel/pointtarget.h"
#include "outside/pixmere/dib.h"
#include "platform/core/messagebox.h"

#include <cmath>

namespace {

// The kind of the object and skeleton records of the main run.
constexpr WORD kObjectKind = 5;
constexpr BYTE kOutlineValue = 255;

// Sets the points of a chain walk in a page, leaving out those outside.
class CPagePoints : public CPointTarget
{
public:
    explicit CPagePoints(CDIB& page) : m_page(page), m_access(page) {}
    void SetPoint(int x, int y, DWORD value) override
    {
        if (!m_access.IsInside(x, y))
            return;
        // An 8-bit page takes the value as its index.
        if (m_access.IsPaletted())
            m_access.SetFirstByte(x, y, static_cast<BYTE>(value));
        else
            m_page.SetPixel(x, y, value);
    }

private:
    CDIB& m_page;
    kestrun::CPageAccess m_access;
};

// The object records of the table, in its order.
std::vector<CObjData*> ObjectRecords(const CResultObjectList& table)
{
    std::vector<CObjData*> records;
    for (int i = 0; i < table.GetObjectCount(); ++i)
        if (auto* record = dynamic_cast<CObjData*>(table.GetObjectAt(i)); record && record->m_ID == kObjectKind)
            records.push_back(record);
    return records;
}

} // namespace

int CBV::MeasureLargestObject(CDIB* image, double& area)
{
    area = 0.0;
    CAOI* aoi = m_AOIDoc.GetActiveAOI(true);
    if (image == nullptr || aoi == nullptr)
        return 1;
    CResultObjectList table;
    Analyse(image, aoi, &table, 1);
    const CObjData* largest = nullptr;
    for (const CObjData* record : ObjectRecords(table)) {
        if (largest == nullptr || record->GetArea() > largest->GetArea())
            largest = record;
    }
    if (largest == nullptr)
        return 1;
    area = largest->GetArea();
    CPagePoints page(*image);
    largest->m_Chain.ForEachPoint(page, kOutlineValue);
    return 1;
}

std::unique_ptr<CCurvatureObj> CBV::CalcObjectCurvature(CDIB* image)
{
    CAOI* aoi = m_AOIDoc.GetActiveAOI(true);
    if (image == nullptr || aoi == nullptr)
        return nullptr;
    CResultObjectList table;
    Analyse(image, aoi, &table, 0);
    return CurvatureOfLongestObject(table);
}

std::unique_ptr<CCurvatureObj> CBV::CurvatureOfLongestObject(const IResultDocument& table)
{
    const CObjData* longest = nullptr;
    for (int i = 0; i < table.GetObjectCount(); ++i) {
        const CBaseObj* object = table.GetObjectAt(i);
        const auto* record = dynamic_cast<const CObjData*>(object);
        if (record == nullptr || record->m_ID != kObjectKind) {
            AfxMessageBox(FormatString("Cannot calculate curvature of an object of type:%d", object ? object->m_ID : 0));
            return nullptr;
        }
        if (longest == nullptr || record->GetLength() > longest->GetLength())
            longest = record;
    }
    if (longest == nullptr)
        return nullptr;
    auto curvature = std::make_unique<CCurvatureObj>();
    curvature->m_Chain = longest->m_Chain;
    // The ends of a skeleton are its tips.
    const auto* skeleton = dynamic_cast<const CSkelData*>(longest);
    curvature->m_arrEnds.Copy(skeleton ? skeleton->m_arrTips : longest->GetTipPoints());
    curvature->m_fCurvature = longest->GetCurvature();
    curvature->m_nLength = static_cast<int>(std::lround(longest->GetLength()));
    return curvature;
}
