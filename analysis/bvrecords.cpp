// The records of the main run: one per outer contour, measured by the
// profile's form model, tested against the form thresholds and handed to
// the result document or deleted.

#include "analysis/bv.h"

#include "analysis/cvcontours.h"
#include "analysis/objdataii.h"
#include "analysis/resultdocument.h"
#include "analysis/skeldata.h"
#include "analysis/stripesearch.h"

#include <cstdlib>
#include <iterator>
#include <typeinfo>

namespace {

// Whether the outline touches the border of the area. An outline inside
// a rectangle area, clear of its edges, cannot: that answer needs no walk
// over the points.
BOOL TouchesBorder(const CRPointArray& points, const CRect& box, const CAOI& aoi)
{
    if (typeid(aoi) == typeid(CAOI2) && box.left > aoi.GetLeft() && box.right < aoi.GetRight() &&
        box.top > aoi.GetTop() && box.bottom < aoi.GetBottom())
        return FALSE;
    for (const POINT& point : points)
        if (aoi.IsOnBorder(point.x, point.y))
            return TRUE;
    return FALSE;
}

// An outline that was not traced gets its chain and measures from its
// points, as a tracer built from them has them.
void MeasureOutline(sRunOutline& outline, CKontur8& tracer)
{
    if (outline.traced)
        return;
    tracer.SetFromPoints(*outline.polygon);
    tracer.CalcChainMeasures();
    outline.measures = tracer;
    CRPointArray points;
    tracer.TakeOutline(points, outline.chain);
    const BOOL closed = tracer.IsClosed();
    outline.polygon->CRPointArray::Swap(points);
    outline.polygon->m_bClosed = closed;
}

CArray<POINT, POINT> ToPointList(const CRPointArray& points)
{
    CArray<POINT, POINT> list;
    for (const POINT& p : points)
        list.Add(p);
    return list;
}

} // namespace

std::unique_ptr<CObjData> CBV::MakeRecord(const CAOI& aoi, sRunOutline& outline) const
{
    const CFormThres& form = m_Profiles.m_FormThres;
    std::unique_ptr<CObjData> record;
    if (form.m_Model == CFormThres::modelSkeleton) {
        record = std::make_unique<CSkelData>();
        record->m_Type |= CObjData::colBorder;
    } else if (outline.measures.m_nArea > 0) {
        record = std::make_unique<CObjDataII>();
        record->m_Type |= CObjData::colPosX | CObjData::colPosY | CObjData::colArea | CObjData::colForm |
                          CObjData::colBorder;
        record->m_nMoving = outline.polygon->m_nSpare;
    }
    if (!record)
        return record;
    CRPolygon& polygon = *outline.polygon;
    record->SetFromOutline(polygon, outline.chain, outline.measures, polygon.m_bClosed, !outline.traced);
    record->m_bHitBoundary = TouchesBorder(record->m_Polygon, record->m_Rect, aoi);
    return record;
}

sRunRecord CBV::BuildRecord(CAOI& aoi, sRunOutline& outline, CKontur8& tracer, bool finish)
{
    MeasureOutline(outline, tracer);
    sRunRecord made{MakeRecord(aoi, outline)};
    if (finish && made.record) {
        MeasurePlainObject(*m_Kontur.GetImage(), aoi, *made.record);
        made.passed = PassesFormThresholds(*made.record, false) ? 1 : 0;
    }
    return made;
}

void CBV::AcceptRecord(sRunRecord&& made)
{
    if (!made.record)
        return;
    m_arrObjects.push_back(std::move(made.record));
    if (made.passed >= 0)
        m_arrPassed.push_back(made.passed);
}

void CBV::AcceptParts(sCutParts& parts)
{
    m_nCutsStopped += parts.stopped;
    if (parts.passes.empty())
        return;
    for (sRunRecord& made : parts.passes[0])
        AcceptRecord(std::move(made));
    if (m_LaterParts.size() + 1 < parts.passes.size())
        m_LaterParts.resize(parts.passes.size() - 1);
    for (size_t pass = 1; pass < parts.passes.size(); ++pass)
        std::move(parts.passes[pass].begin(), parts.passes[pass].end(), std::back_inserter(m_LaterParts[pass - 1]));
}

void CBV::TakeLaterParts()
{
    for (std::vector<sRunRecord>& pass : m_LaterParts)
        for (sRunRecord& made : pass)
            AcceptRecord(std::move(made));
    m_LaterParts.clear();
}

void CBV::BuildRecords(CAOI& aoi, std::vector<sRunOutline>& outer, std::vector<sRunOutline>& holes)
{
    // Plain records are measured and tested where they are built, as the
    // search does without cutting.
    const bool finish = FinishesAlone() && !outer.empty() && m_arrPassed.size() == m_arrObjects.size();
    const CCalibration calibration = CBaseObj::SystemCalibration;
    if (finish)
        CBaseObj::SystemCalibration = m_Profiles.m_Calibration;
    const int threads = GetRunThreads();
    std::vector<std::unique_ptr<CKontur8>> tracers;
    for (int k = 0; k < threads && static_cast<size_t>(k) < outer.size(); ++k)
        tracers.push_back(std::make_unique<CKontur8>());
    std::vector<sRunRecord> made(outer.size());
    try {
        WorkerPool().ForEach(threads, outer.size(), [&](size_t i, int worker) {
            made[i] = BuildRecord(aoi, outer[i], *tracers[static_cast<size_t>(worker)], finish);
            outer[i].polygon.reset();
        });
    } catch (...) {
        CBaseObj::SystemCalibration = calibration;
        throw;
    }
    outer.clear();
    const size_t before = m_arrObjects.size();
    m_arrObjects.reserve(before + made.size());
    for (sRunRecord& record : made)
        AcceptRecord(std::move(record));
    // Records are measured in the profile's calibration.
    CBaseObj::SystemCalibration = m_arrObjects.size() > before ? m_Profiles.m_Calibration : calibration;

    TakeRunHoles(holes);
}

void CBV::TakeRunHoles(std::vector<sRunOutline>& holes)
{
    CKontur8 tracer;
    m_arrHoleChains.reserve(m_arrHoleChains.size() + holes.size());
    for (sRunOutline& outline : holes) {
        MeasureOutline(outline, tracer);
        m_arrHoleChains.emplace_back().Swap(outline.chain);
        m_arrHoleAreas.Add(std::abs(outline.measures.m_nArea));
        outline.polygon.reset();
    }
    holes.clear();
    m_HoleIndex.Build(m_arrHoleChains);
    if (!m_arrHoleChains.empty() && TakesRunHoles())
        ClaimRunHoles();
}

void CBV::ClaimRunHoles()
{
    CAOI4 area;
    for (const std::unique_ptr<CObjData>& record : m_arrObjects) {
        const CRect& box = record->m_Rect;
        // Most records have no hole near them: no area for them.
        const std::vector<int>& near = m_HoleIndex.Find(box.left - 1, box.top - 1, box.right + 1, box.bottom + 1);
        if (near.empty() || !area.SetPolygon(CRPolygon(record->m_Chain)))
            continue;
        const long outline = std::abs(static_cast<long>(record->m_lArea));
        for (const int i : near) {
            const CChain8& hole = m_arrHoleChains[static_cast<size_t>(i)];
            if (area.Contains(hole.m_nStartX, hole.m_nStartY))
                m_HoleIndex.Claim(i, outline);
        }
    }
}

void CBV::AddRunHoles(CObjData& record, const CAOI4& area)
{
    if (m_arrHoleChains.empty())
        return;
    // The hole list may have been filled outside a run.
    if (m_HoleIndex.GetCount() != m_arrHoleChains.size())
        m_HoleIndex.Build(m_arrHoleChains);
    const long outline = std::abs(static_cast<long>(record.m_lArea));
    // The area holds no point outside its bounding box.
    for (const int i : m_HoleIndex.Find(area.GetLeft(), area.GetTop(), area.GetRight(), area.GetBottom())) {
        const CChain8& hole = m_arrHoleChains[static_cast<size_t>(i)];
        if (m_HoleIndex.IsOwner(i, outline) && area.Contains(hole.m_nStartX, hole.m_nStartY))
            record.AddChain(&hole, m_arrHoleAreas[static_cast<INT_PTR>(i)]);
    }
}

int CBV::FinishRecord(CDIB& image, CAOI& aoi, std::unique_ptr<CObjData> record, IResultDocument* document)
{
    CalcContourFeatures(&image, *record, &aoi);
    switch (m_Profiles.m_FormThres.m_Model) {
    case CFormThres::modelContour: {
        MeasurePlainObject(image, aoi, *record);
        const bool passed = PassesFormThresholds(*record, false);
        return KeepOrDrop(std::move(record), passed, document);
    }
    case CFormThres::modelSkeleton: {
        auto* skeleton = dynamic_cast<CSkelData*>(record.get());
        if (skeleton == nullptr || !MeasureSkeletonObject(*skeleton))
            return 0;
        const bool passed = PassesFormThresholds(*record, true);
        return KeepOrDrop(std::move(record), passed, document);
    }
    case CFormThres::modelContourSegment:
        HandOverSubObjects(*record, document);
        return 0;
    case CFormThres::modelEllipse: {
        std::vector<std::unique_ptr<CObjDataBase>> segments = record->TakeSegmentsB();
        MeasureSegmentRegions(&image, &aoi, segments, document);
        return 0;
    }
    default:
        return 0;
    }
}

void CBV::MeasurePlainObject(CDIB& image, CAOI& aoi, CObjData& record)
{
    const UINT type = m_Profiles.m_FormThres.m_Type;
    if ((type & (featureLength | featureWidth | CObjData::colTips)) != 0) {
        const CRPolygon polygon(record.m_Chain);
        CArray<double, double> moments;
        HuMoments(polygon, moments);
        if (moments.GetSize() >= 8)
            record.m_fOrientation = static_cast<float>(moments[7]);
        polygon.GetMinAreaRect(record.m_MinRect);
        if ((type & featureLength) != 0)
            record.m_Type |= CObjData::colLength;
        if ((type & featureWidth) != 0)
            record.m_Type |= CObjData::colWidth;
        if ((type & CObjData::colTips) != 0) {
            CRPointArray peaks;
            if (polygon.FindCurvaturePeaksAdaptive(peaks) > 0)
                record.SetHolePoints(ToPointList(peaks));
        }
    }
    // Length without width: measured along scan rays.
    if ((type & featureLength) != 0 && (type & featureWidth) == 0)
        MeasureShapeByScanRays(&image, &aoi, record);
    if ((type & featureTailOrMovement) != 0) {
        // A moving object has its tail without the search. Without a search
        // the record has no tail value: no column, no filter.
        const bool moving = record.m_nMoving == 2;
        const std::optional<POINT> point = moving ? std::nullopt : FindTail(record.m_Polygon, &image, &aoi);
        if (moving || point) {
            record.m_Type |= CObjData::colTail;
            CArray<POINT, POINT> tail;
            if (point && (point->x != 0 || point->y != 0))
                tail.Add(*point);
            record.m_bTail = (moving || tail.GetSize() > 0) ? 1 : 0;
            record.SetHolePoints(tail);
            record.SetTipPoints(CArray<POINT, POINT>());
        }
    }
    if ((type & featureConvexity) != 0) {
        record.MeasureFromContour();
        record.m_Type |= CObjData::colConvexity;
    }
}

bool CBV::MeasureSkeletonObject(CSkelData& record)
{
    const CRPolygon polygon(record.m_Chain);
    if (polygon.GetSize() <= 9)
        return false;
    return MeasureSkeleton(record, polygon);
}

void CBV::HandOverSubObjects(CObjData& record, IResultDocument* document)
{
    const CFormThres& form = m_Profiles.m_FormThres;
    // The record's own sub-objects (no step of the run attaches any yet)
    // are listed with their marker, then its contour segments.
    for (std::unique_ptr<CObjDataBase>& sub : record.TakeSegmentsA()) {
        sub->m_Link = form.CheckValue(sub->GetLength(), featureLength) ? 0 : 1;
        if (document)
            document->AddObject(std::move(sub));
    }
    for (std::unique_ptr<CObjDataBase>& segment : record.TakeSegmentsB())
        if (document && form.CheckValue(segment->GetLength(), featureLength))
            document->AddObject(std::move(segment));
}

bool CBV::PassesFormThresholds(const CObjData& record, bool skeleton) const
{
    const CFormThres& form = m_Profiles.m_FormThres;
    if (skeleton)
        return form.CheckValue(record.GetLength(), featureLength) && form.CheckValue(record.GetWidth(), featureWidth) &&
               form.CheckValue(record.GetHitBoundary(), featureBorderContact);
    return form.CheckValue(record.GetArea(), featureArea) &&
           form.CheckValue(record.GetFormFactor(), featureFormFactor) &&
           form.CheckValue(record.GetLength(), featureLength) && form.CheckValue(record.GetWidth(), featureWidth) &&
           form.CheckValue(static_cast<DWORD>(record.GetMeanColor()), featureColors) &&
           form.CheckValue(record.GetHomogeneity(), featureHomogeneity) &&
           form.CheckValue(record.GetConvexity(), featureConvexity) &&
           form.CheckValue(record.GetCurvature(), featureCurvature) &&
           // A record without a tail value is not judged by one.
           ((record.m_Type & CObjData::colTail) == 0 ||
            form.CheckValue(record.GetTailFlag(), featureTailOrMovement)) &&
           form.CheckValue(record.GetHitBoundary(), featureBorderContact);
}

int CBV::KeepOrDrop(std::unique_ptr<CObjData> record, bool passed, IResultDocument* document)
{
    if (document != nullptr && (passed || m_Profiles.m_FormThres.m_bKeepRejected != 0)) {
        // The rejected marker.
        record->m_Link = passed ? 0 : 1;
        document->AddObject(std::move(record));
    }
    return passed ? 1 : 0;
}
