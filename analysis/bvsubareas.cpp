// The main run over the sub-areas of an area of interest: one run per
// cell, then the objects that the cell borders cut apart are joined again.

#include "analysis/bv.h"

#include "analysis/aoiraster.h"
#include "analysis/objdataii.h"
#include "analysis/resultdocument.h"
#include "analysis/scopedvalue.h"
#include "analysis/skeldata.h"
#include "platform/core/exceptions.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace {

// Cut ends of the two parts of one object lie on facing cell borders, a
// grid line apart.
constexpr double kJoinDistance = 5.0;

// The records of one run, kept for the joining.
class CRecordCollector : public IResultDocument
{
public:
    void AddObject(std::unique_ptr<CBaseObj> object) override
    {
        if (object)
            m_records.push_back(std::move(object));
    }
    int GetObjectCount() const override { return static_cast<int>(m_records.size()); }
    CBaseObj* GetObjectAt(int index) const override
    {
        if (index < 0 || index >= GetObjectCount())
            AfxThrowInvalidArgException();
        return m_records[static_cast<size_t>(index)].get();
    }

    std::vector<std::unique_ptr<CBaseObj>> m_records;
};

// An object of one cell with its outline and the cuts the cell's border
// made in it.
struct sPart
{
    std::unique_ptr<CObjData> record;
    CRPolygon outline;
    int cell = 0;
};

CRPolygon OutlineOf(const CObjData& record)
{
    if (record.m_Polygon.GetSize() > 2)
        return record.m_Polygon;
    return CRPolygon(record.m_Chain);
}

// Cuts along the outer border of the whole area are no cell borders.
bool IsInnerCut(const tagCUT& cut, const CAOI& area)
{
    return !(area.IsOnBorder(cut.ptA.x, cut.ptA.y) && area.IsOnBorder(cut.ptB.x, cut.ptB.y));
}

// The cut of b that faces one of a's inner cuts: (index in a, index in b),
// or (-1, -1).
std::pair<int, int> FindFacingCuts(const sPart& a, const sPart& b, const CAOI& area)
{
    for (int i = 0; i < a.outline.GetCutCount(); ++i) {
        const tagCUT& cut = a.outline.GetCut(i);
        if (!cut.bValid || !IsInnerCut(cut, area))
            continue;
        const int j = b.outline.FindCutNear(cut, kJoinDistance);
        if (j >= 0 && b.outline.GetCut(j).bValid && IsInnerCut(b.outline.GetCut(j), area))
            return {i, j};
    }
    return {-1, -1};
}

COLORREF WeightedColour(const CObjData& a, const CObjData& b)
{
    const double wa = std::max<LONG>(a.m_lArea, 1);
    const double wb = std::max<LONG>(b.m_lArea, 1);
    const auto mix = [&](BYTE ca, BYTE cb) { return static_cast<BYTE>((ca * wa + cb * wb) / (wa + wb) + 0.5); };
    return RGB(mix(GetRValue(a.m_MeanColor), GetRValue(b.m_MeanColor)),
               mix(GetGValue(a.m_MeanColor), GetGValue(b.m_MeanColor)),
               mix(GetBValue(a.m_MeanColor), GetBValue(b.m_MeanColor)));
}

// The record of the joined outline: the measures of the outline, the
// colour of both parts and the other values of the first.
std::unique_ptr<CObjData> JoinedRecord(const sPart& first, const CObjData& second, const CAOI& area)
{
    CKontur8 tracer(first.outline);
    tracer.CalcChainMeasures();
    auto record = std::make_unique<CObjDataII>();
    record->CopyFrom(*first.record);
    record->SetFromContour(tracer);
    record->m_MeanColor = WeightedColour(*first.record, second);
    record->m_bHitBoundary = tracer.TouchesBorder(area) ? 1 : 0;
    if ((record->m_Type & (CObjData::colLength | CObjData::colWidth)) != 0)
        record->m_Polygon.GetMinAreaRect(record->m_MinRect);
    if ((record->m_Type & CObjData::colConvexity) != 0)
        record->MeasureFromContour();
    return record;
}

// Joins parts of different cells that face each other across a cell
// border, again and again, so that an object over several cells becomes
// one.
void JoinParts(std::vector<sPart>& parts, const CAOI& area)
{
    bool joined = true;
    while (joined) {
        joined = false;
        for (size_t a = 0; a < parts.size() && !joined; ++a) {
            for (size_t b = 0; b < parts.size() && !joined; ++b) {
                if (a == b || parts[a].cell == parts[b].cell)
                    continue;
                const auto [here, there] = FindFacingCuts(parts[a], parts[b], area);
                if (here < 0 || !parts[a].outline.JoinAtCuts(parts[b].outline, here, there))
                    continue;
                parts[a].record = JoinedRecord(parts[a], *parts[b].record, area);
                // The joined part may meet further cells.
                parts[a].cell = -1 - static_cast<int>(a);
                parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(b));
                joined = true;
            }
        }
    }
}

} // namespace

int CBV::AnalyseSubAreas(CDIB* image, CAOI* aoi, IResultDocument* document)
{
    if (image == nullptr || aoi == nullptr || aoi->GetRaster() == nullptr || aoi->GetRaster()->GetSize() == 0)
        AfxThrowInvalidArgException();
    const CAOIRaster& cells = *aoi->GetRaster();

    std::vector<sPart> parts;
    std::vector<std::unique_ptr<CBaseObj>> others;
    // Each cell's run starts its own notes; the user hears of all cells.
    CRunDiagnostics notes;
    CFormThres& form = m_Profiles.m_FormThres;
    const bool group = (form.m_Parameter & 0x20) != 0 &&
                       (form.m_Model == CFormThres::modelContour || form.m_Model == CFormThres::modelSkeleton);
    {
        // Parts that fail the limits alone may pass once joined.
        const kestrun::CScopedValue<int> keep(form.m_bKeepRejected, 1);
        // Groups are made over the whole area, once the parts are joined.
        const kestrun::CScopedValue<UINT> noGroups(form.m_Parameter, form.m_Parameter & ~0x20u);
        for (INT_PTR i = 0; i < cells.GetSize(); ++i) {
            CAOI2 cell(cells[i]);
            CRecordCollector run;
            Analyse(image, &cell, &run, 1);
            notes.Merge(m_RunDiagnostics);
            for (std::unique_ptr<CBaseObj>& record : run.m_records) {
                auto* object = dynamic_cast<CObjData*>(record.get());
                if (object == nullptr || dynamic_cast<CSkelData*>(object) != nullptr) {
                    others.push_back(std::move(record));
                    continue;
                }
                sPart part;
                part.outline = OutlineOf(*object);
                part.outline.MarkBorderCuts(cell);
                part.cell = static_cast<int>(i);
                part.record.reset(static_cast<CObjData*>(record.release()));
                parts.push_back(std::move(part));
            }
        }
    }
    m_RunDiagnostics = std::move(notes);
    JoinParts(parts, *aoi);

    // The limits judge single objects, before any group is made: a
    // group's measures are sums, not those of one object.
    int passed = 0;
    CResultObjectList kept;
    const auto keepPassing = [&](std::unique_ptr<CBaseObj> record) {
        if (auto* object = dynamic_cast<CObjData*>(record.get())) {
            if (!PassesFormThresholds(*object, dynamic_cast<CSkelData*>(object) != nullptr))
                return;
            object->m_Link = 0;
        }
        ++passed;
        kept.AddObject(std::move(record));
    };
    for (sPart& part : parts)
        keepPassing(std::move(part.record));
    for (std::unique_ptr<CBaseObj>& record : others)
        keepPassing(std::move(record));
    if (document == nullptr)
        return passed;
    if (group)
        ClusterObjects(kept, form.m_MaxDistance);
    for (std::unique_ptr<CBaseObj>& record : kept.TakeAll())
        document->AddObject(std::move(record));
    return passed;
}
