// CObjDataDoc: splitting, joining and moving object contours.

#include "series/objdatadoc.h"

#include "analysis/kontur8.h"
#include "analysis/objdataii.h"
#include "objectmodel/linepoints.h"
#include "objectmodel/rpolygon.h"
#include "objectmodel/rscanpolygon.h"

#include <memory>
#include <utility>
#include <vector>

namespace {

// How near the ends of two cuts must lie for the objects to be joined there.
constexpr double kJoinDistance = 3.0;
// Fewer contour points make no object.
constexpr INT_PTR kMinContourPoints = 3;

// The pixels of the line through the points, each corner once.
std::vector<POINT> LinePixels(const CRPointArray& line)
{
    std::vector<POINT> pixels;
    if (line.IsEmpty())
        return pixels;
    pixels.push_back(line[0]);
    for (INT_PTR i = 1; i < line.GetSize(); ++i) {
        CLinePoints step;
        step.Init(line[i - 1].x, line[i - 1].y, line[i].x, line[i].y);
        const auto points = step.Points();
        pixels.insert(pixels.end(), points.begin() + 1, points.end());
    }
    return pixels;
}

} // namespace

CObjData* CObjDataDoc::GetCurrentObject() const
{
    const int current = GetCurrentIndex();
    if (current < 0)
        return nullptr;
    auto* object = dynamic_cast<CObjData*>(GetAt(current));
    return object != nullptr && object->m_ID == kTypeObject ? object : nullptr;
}

bool CObjDataDoc::GetContour(const CObjData& object, CRPolygon& contour)
{
    if (!object.m_Polygon.IsEmpty())
        contour.CopyFrom(object.m_Polygon);
    else if (!object.m_Chain.IsEmpty())
        contour = CRPolygon(object.m_Chain);
    else
        return false;
    return contour.GetSize() >= kMinContourPoints;
}

void CObjDataDoc::Remeasure(CObjData& object, const CRPolygon& outline)
{
    CKontur8 tracer(outline);
    tracer.CalcChainMeasures();
    // The tracer's colour belongs to the traced object, not to its outline.
    const DWORD contourColor = object.m_ContourColor;
    object.SetFromContour(tracer);
    object.m_ContourColor = contourColor;
    object.m_Polygon.CopyFrom(outline);
    object.MeasureFromContour();
    object.m_Polygon.GetMinAreaRect(object.m_MinRect);
}

void CObjDataDoc::RecordsChanged()
{
    SetModifiedFlag();
    NotifyDataChanged();
    UpdateAllViews(nullptr);
}

int CObjDataDoc::SplitObjectAt(const CRPointArray& cutLine)
{
    if (m_nFirstType != kTypeObject)
        return 0;
    CObjData* object = GetCurrentObject();
    CRPolygon contour;
    if (object == nullptr || !GetContour(*object, contour))
        return 0;

    // The first stretch of the line that runs inside the object.
    CRScanPolygon area;
    if (!area.SetFromPolygon(contour))
        return 0;
    const std::vector<POINT> line = LinePixels(cutLine);
    int enter = -1;
    int leave = -1;
    for (int k = 0; k < static_cast<int>(line.size()); ++k) {
        const bool inside = area.IsInside(line[static_cast<size_t>(k)].x, line[static_cast<size_t>(k)].y);
        if (inside && enter < 0)
            enter = k;
        if (enter >= 0 && !inside)
            break;
        if (inside)
            leave = k;
    }
    if (enter < 0)
        return 0;
    int a = contour.FindNearestPoint(line[static_cast<size_t>(enter)].x, line[static_cast<size_t>(enter)].y);
    int b = contour.FindNearestPoint(line[static_cast<size_t>(leave)].x, line[static_cast<size_t>(leave)].y);
    if (a == b)
        return 0;
    if (a > b)
        std::swap(a, b);

    // The straight pixel line between the two crossings closes both parts.
    CLinePoints pixels;
    pixels.Init(contour[a].x, contour[a].y, contour[b].x, contour[b].y);
    CRPointArray cut;
    for (const POINT& p : pixels.Points())
        cut.Add(p);
    CRPolygon kept(contour);
    std::unique_ptr<CRPolygon> other = kept.SplitByCut(cut);
    if (!other || other->GetSize() < kMinContourPoints || kept.GetSize() < kMinContourPoints)
        return 0;

    auto piece = std::make_unique<CObjDataII>();
    piece->CopyFrom(*object);
    Remeasure(*object, kept);
    Remeasure(*piece, *other);
    AddObject(piece.release());
    RecordsChanged();
    return 1;
}

int CObjDataDoc::JoinObjects(int nFirst, int nSecond)
{
    if (nFirst == nSecond)
        return 0;
    auto* first = dynamic_cast<CObjData*>(GetAt(nFirst));
    auto* second = dynamic_cast<CObjData*>(GetAt(nSecond));
    CRPolygon joined;
    CRPolygon other;
    if (first == nullptr || second == nullptr || !GetContour(*first, joined) || !GetContour(*second, other))
        return 0;
    for (int i = 0; i < joined.GetCutCount(); ++i) {
        if (!joined.GetCut(i).bValid)
            continue;
        const int j = other.FindCutNear(joined.GetCut(i), kJoinDistance);
        if (j < 0 || !other.GetCut(j).bValid || !joined.JoinAtCuts(other, i, j))
            continue;
        Remeasure(*first, joined);
        DeleteObject(nSecond);
        SetCurrentIndex(nSecond < nFirst ? nFirst - 1 : nFirst);
        m_nSelected = -1;
        RecordsChanged();
        return 1;
    }
    return 0;
}

int CObjDataDoc::JoinObjects()
{
    const int current = GetCurrentIndex();
    if (current < 0 || m_nSelected < 0 || m_nSelected >= GetCount())
        return 0;
    return JoinObjects(current, m_nSelected);
}

int CObjDataDoc::EditContour(CPoint point)
{
    CObjData* object = GetCurrentObject();
    CRPolygon contour;
    if (object == nullptr || !GetContour(*object, contour))
        return 0;
    const int nearest = contour.FindNearestPoint(point.x, point.y);
    if (nearest < 0 || (contour[nearest].x == point.x && contour[nearest].y == point.y))
        return 0;
    CRPolygon moved;
    for (int i = 0; i < static_cast<int>(contour.GetSize()); ++i) {
        const POINT p = i == nearest ? POINT{point.x, point.y} : contour[i];
        if (moved.IsEmpty())
            moved.Add(p);
        else
            moved.AddPointConnected(p);
    }
    moved.Close();
    Remeasure(*object, moved);
    RecordsChanged();
    return 1;
}
