#include "analysis/objdata.h"

#include "analysis/columnset.h"
#include "analysis/kontur8.h"
#include "analysis/scanrayresult.h"
#include "objectmodel/cross.h"
#include "objectmodel/cvgeometry.h"
#include "objectmodel/textlabel.h"
#include "objectmodel/valueformat.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/dc.h"
#include "platform/core/exceptions.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CObjData, CObjDataBase, 1)

namespace {

using kestrun::CColumnSpec;

// Titles in the order the tables show them. Tot.Length and Tips have their
// own columns, so that the columns after them stay under their titles.
constexpr CColumnSpec kColumns[CObjData::columnCount] = {
    {"Index", 0},
    {"PosX", CObjData::colPosX},
    {"PosY", CObjData::colPosY},
    {"Area[Units]", CObjData::colArea},
    {"Form", CObjData::colForm},
    {"Length", CObjData::colLength},
    {"Tot.Length", CObjData::colTotLength},
    {"Width", CObjData::colWidth},
    {"Roundness", CObjData::colLength | CObjData::colWidth, true},
    {"Red", CObjData::colColors},
    {"Green", CObjData::colColors},
    {"Blue", CObjData::colColors},
    {"Homogenity", CObjData::colHomogeneity},
    {"Convexity", CObjData::colConvexity},
    {"Nuclei", CObjData::colNuclei},
    {"N/C", CObjData::colNC},
    {"Curvature", CObjData::colCurvature},
    {"Holes", CObjData::colHoles},
    {"Tail/Moving", CObjData::colTail},
    {"Border", CObjData::colBorder},
    {"Rect(width,height)", CObjData::colRect},
    {"Tips", CObjData::colTips},
    {"Class", CObjData::colClass},
};

// Pi as the stored tail angles were converted with, in single precision.
constexpr double kPiDegrees = 3.1415927410125732;
// Half the orientation line, in pixels.
constexpr int kOrientationArm = 6;

CString BoolText(int value)
{
    return value == 1 ? "True" : "False";
}

void SerializeLong(CXMLArchiveNode& node, LPCTSTR name, LONG& value)
{
    UINT item = static_cast<UINT>(value);
    node.SerializeUInt(name, item);
    value = static_cast<LONG>(item);
}

template <class Owned>
Owned& Checked(const std::vector<std::unique_ptr<Owned>>& items, int index)
{
    if (index < 0 || index >= static_cast<int>(items.size()))
        AfxThrowInvalidArgException();
    return *items[static_cast<size_t>(index)];
}

// The empty parts a record without its rarely used parts answers with.
const sObjDataExtras& NoExtras()
{
    static const sObjDataExtras none;
    return none;
}

} // namespace

CObjData::CObjData()
{
    m_ID = 5;
}

CObjData::~CObjData() = default;

// --- archive ---

void CObjData::Serialize(CArchive& ar)
{
    SerializeObjData(ar);
}

void CObjData::SerializeObjData(CArchive& ar)
{
    auto* xml = dynamic_cast<CXMLArchive*>(&ar);
    if (xml == nullptr || xml->GetChildNode("CObjData") == nullptr)
        return;
    if (CXMLArchiveNode* node = xml->GetCurrentNode()) {
        SerializeLong(*node, "m_Rect.left", m_Rect.left);
        SerializeLong(*node, "m_Rect.right", m_Rect.right);
        SerializeLong(*node, "m_Rect.top", m_Rect.top);
        SerializeLong(*node, "m_Rect.bottom", m_Rect.bottom);
        SerializeLong(*node, "m_ptCentroid.x", m_ptCentroid.x);
        SerializeLong(*node, "m_ptCentroid.y", m_ptCentroid.y);
        // Written as the unsigned word: the default -1 reads 65535.
        WORD index = static_cast<WORD>(m_Index);
        node->SerializeWord("m_Index", index);
        m_Index = static_cast<short>(index);
        SerializeLong(*node, "m_lArea", m_lArea);
        node->SerializeFloat("m_FF", m_FF);
        UINT meanColor = m_MeanColor;
        node->SerializeUInt("m_MeanColor", meanColor);
        m_MeanColor = meanColor;
        node->SerializeInt("m_bHitBoundary", m_bHitBoundary);
        node->SerializeWord("m_dClass", m_dClass);
    }
    CBaseObj::Serialize(ar);
    xml->GetCurrentNode()->EndNode();
}

// --- columns ---

void CObjData::GetColumnTitles(CStringArray& titles, int)
{
    kestrun::ListColumnTitles(kColumns, m_Type, titles);
}

int CObjData::GetColumnOfFeature(int visibleColumn) const
{
    return kestrun::FixedColumnOf(kColumns, m_Type, visibleColumn);
}

CString CObjData::GetColumnValues(int column)
{
    return ColumnText(GetColumnOfFeature(column));
}

COleVariant CObjData::GetColumnVariant(int column)
{
    return ColumnVariant(GetColumnOfFeature(column));
}

CString CObjData::ColumnText(int fixed) const
{
    switch (fixed) {
    case columnIndex:
        return "0"; // the table numbers its rows itself
    case columnPosX:
        return FormatString("%d", static_cast<int>(m_ptCentroid.x));
    case columnPosY:
        return FormatString("%d", static_cast<int>(m_ptCentroid.y));
    case columnArea:
        return FormatColumnValue(GetArea());
    case columnForm:
        return FormatString("%.2f", m_FF);
    case columnLength:
        return FormatColumnValue(GetLength());
    case columnWidth:
        return FormatColumnValue(GetWidth());
    case columnRoundness:
        return FormatString("%.2lf", GetRoundness());
    case columnRed:
        return FormatString("%d", GetRValue(m_MeanColor));
    case columnGreen:
        return FormatString("%d", GetGValue(m_MeanColor));
    case columnBlue:
        return FormatString("%d", GetBValue(m_MeanColor));
    case columnHomogeneity:
        return FormatString("%.2lf", m_dHomogeneity);
    case columnConvexity:
        return FormatString("%.2lf", GetConvexity());
    case columnNuclei:
        return FormatString("%d", m_nNuclei);
    case columnNC:
        return FormatString("%.2f", m_fNC);
    case columnCurvature:
        if (m_fCurvature1 == 0.0f)
            return "-";
        return FormatString("%.2f,%.2f", m_fCurvature2, m_fCurvature1);
    case columnHoles:
        return FormatString("%d", GetHoleCount());
    case columnTail:
        if (m_nMoving == 2)
            return "Moving";
        if (m_bTail == 0)
            return "False";
        if (m_bTailValid == 0)
            return "True";
        return FormatString("Len:%.2lf Ang:%.2lf\u00B0", GetTailLength(), GetTailAngle() * 180.0 / kPiDegrees);
    case columnBorder:
        return BoolText(GetHitBoundary());
    case columnRect:
        return FormatString("%d,%d", static_cast<int>(m_Rect.Width()), static_cast<int>(m_Rect.Height()));
    case columnClass:
        return GetClassName();
    default:
        // Tot.Length and Tips: a plain record measures neither.
        return {};
    }
}

COleVariant CObjData::ColumnVariant(int fixed) const
{
    switch (fixed) {
    case columnIndex:
        return COleVariant(static_cast<LONG>(0));
    case columnPosX:
        return COleVariant(static_cast<LONG>(m_ptCentroid.x));
    case columnPosY:
        return COleVariant(static_cast<LONG>(m_ptCentroid.y));
    case columnArea:
        return COleVariant(GetArea());
    case columnForm:
        return COleVariant(m_FF);
    case columnLength:
        return COleVariant(GetLength());
    case columnWidth:
        return COleVariant(GetWidth());
    case columnRoundness:
        return COleVariant(GetRoundness());
    case columnRed:
        return COleVariant(GetRValue(m_MeanColor));
    case columnGreen:
        return COleVariant(GetGValue(m_MeanColor));
    case columnBlue:
        return COleVariant(GetBValue(m_MeanColor));
    case columnHomogeneity:
        return COleVariant(m_dHomogeneity);
    case columnConvexity:
        return COleVariant(GetConvexity());
    case columnNuclei:
        return COleVariant(static_cast<short>(m_nNuclei));
    case columnNC:
        return COleVariant(m_fNC);
    case columnCurvature:
        return COleVariant(m_fCurvature2);
    case columnHoles:
        return COleVariant(static_cast<short>(GetHoleCount()));
    case columnTail:
        return COleVariant(static_cast<short>(m_bTail));
    case columnBorder:
        return COleVariant(static_cast<short>(GetHitBoundary()));
    case columnClass:
        return COleVariant(GetClassName());
    default:
        return {};
    }
}

// --- measures ---

double CObjData::GetArea() const
{
    const double factor = SystemCalibration.m_dFactor;
    return static_cast<double>(m_lArea - m_lHoleArea) * factor * factor;
}

double CObjData::GetLength() const
{
    for (const auto& result : (m_pExtras ? *m_pExtras : NoExtras()).results)
        if (const auto* scan = DYNAMIC_DOWNCAST(CScanRayResult3, result.get()))
            return scan->GetOutlineLength();
    return m_MinRect.m_dLength * SystemCalibration.m_dFactor;
}

double CObjData::GetWidth() const
{
    return m_MinRect.m_dWidth * SystemCalibration.m_dFactor;
}

double CObjData::GetRoundness() const
{
    if (m_MinRect.m_dLength == 0.0 || m_MinRect.m_dWidth == 0.0)
        return 0.0;
    return m_MinRect.m_dLength / m_MinRect.m_dWidth;
}

double CObjData::GetConvexity() const
{
    if (m_lConvexArea == 0)
        return 1.0;
    return std::fabs(static_cast<double>(m_lArea) / static_cast<double>(m_lConvexArea));
}

double CObjData::GetTailLength() const
{
    return GetTail().m_fValue1 * SystemCalibration.m_dFactor;
}

double CObjData::GetTailAngle() const
{
    static const double pi = 3.0 * std::acos(0.5);
    double angle = GetTail().m_fValue2;
    while (angle > pi / 2.0)
        angle -= pi;
    return std::fabs(m_fOrientation - angle);
}

// --- filling ---

void CObjData::SetFromContour(const CKontur8& tracer)
{
    m_lArea = tracer.m_nArea;
    m_FF = static_cast<float>(CalcFormFactor(tracer.m_nArea, tracer.m_nPerimeter));
    // The tracer's stores may be larger than its contour.
    const CChain8& chain = tracer.GetChain();
    m_Chain.CopyHead(chain, std::clamp<INT_PTR>(tracer.GetChainLength(), 0, chain.GetSize()));
    const CRPolygon& points = tracer.GetPoints();
    const INT_PTR count = std::min<INT_PTR>(tracer.GetLastIndex() + 1, points.GetSize());
    m_Polygon.RemoveAll();
    for (INT_PTR i = 0; i < count; ++i)
        m_Polygon.Add(points[i]);
    m_Polygon.m_bClosed = tracer.IsClosed();
    m_Polygon.RecalcBounds();
    m_ptCentroid = tracer.GetCentroid();
    const CBoundingRect& box = tracer.GetBoundingRect();
    m_Rect.SetRect(box.left, box.top, box.right, box.bottom);
    m_ContourColor = tracer.GetMeanColor();
}

void CObjData::SetFromOutline(CRPointArray& points, CChain8& chain, const CKonturParam& measures, BOOL closed,
                              bool recalcBox)
{
    m_lArea = measures.m_nArea;
    m_FF = static_cast<float>(CalcFormFactor(measures.m_nArea, measures.m_nPerimeter));
    m_Chain.RemoveAll();
    m_Chain.Swap(chain);
    m_Polygon.RemoveAll();
    m_Polygon.CRPointArray::Swap(points);
    m_Polygon.m_bClosed = closed;
    m_ptCentroid = CPoint(measures.m_nCenterX, measures.m_nCenterY);
    const CBoundingRect& box = m_Polygon.GetBoundingRect();
    m_Rect.SetRect(box.left, box.top, box.right, box.bottom);
    if (recalcBox)
        m_Polygon.RecalcBounds();
}

void CObjData::MeasureFromContour()
{
    m_lConvexArea = 0;
    if (m_pExtras)
        m_pExtras->hullChain.RemoveAll();
    if (m_Chain.IsEmpty())
        return;
    const CRPolygon contour(m_Chain);
    CArray<POINT, const POINT&> hull;
    ConvexHull(contour, hull);
    // The hull as the tracer would have walked it: clockwise on screen.
    CRPointArray vertices;
    for (INT_PTR i = hull.GetSize() - 1; i >= 0; --i)
        vertices.Add(hull[i]);
    CRPolygon hullPolygon;
    hullPolygon.SetFromVertices(vertices);
    CChain8& hullChain = EditExtras().hullChain;
    hullChain = CChain8(hullPolygon);
    CKontur8 hullTracer(hullPolygon, hullChain);
    hullTracer.CalcChainMeasures();
    m_lConvexArea = hullTracer.m_nArea;
}

void CObjData::AddChain(const CChain8* chain, int area)
{
    if (chain == nullptr)
        return;
    std::vector<std::unique_ptr<CChain8>>& holes = EditExtras().holes;
    holes.push_back(std::make_unique<CChain8>(*chain));
    if (holes.size() == 1)
        m_lHoleArea = 0;
    m_lHoleArea += area;
}

void CObjData::AddScanResult(std::unique_ptr<CObject> result)
{
    if (!result)
        return;
    if (const auto* scan = DYNAMIC_DOWNCAST(CScanRayResult3, result.get()))
        m_Rect = scan->GetBoundingRect();
    EditExtras().results.push_back(std::move(result));
}

void CObjData::SetHolePoints(const CArray<POINT, POINT>& points)
{
    if (m_pExtras || !points.IsEmpty())
        EditExtras().holePoints.Copy(points);
}

void CObjData::SetTipPoints(const CArray<POINT, POINT>& points)
{
    if (m_pExtras || !points.IsEmpty())
        EditExtras().tipPoints.Copy(points);
}

std::vector<std::unique_ptr<CObjDataBase>> CObjData::TakeSegmentsA()
{
    return m_pExtras ? std::exchange(m_pExtras->segmentsA, {}) : std::vector<std::unique_ptr<CObjDataBase>>();
}

std::vector<std::unique_ptr<CObjDataBase>> CObjData::TakeSegmentsB()
{
    return m_pExtras ? std::exchange(m_pExtras->segmentsB, {}) : std::vector<std::unique_ptr<CObjDataBase>>();
}

sObjDataExtras& CObjData::EditExtras()
{
    if (!m_pExtras)
        m_pExtras = std::make_unique<sObjDataExtras>();
    return *m_pExtras;
}

void CObjData::AddNucleus(std::unique_ptr<CObjData>)
{
}

void CObjData::CopyFrom(const CObjData& other)
{
    if (&other == this)
        return;
    Copy(other);
    m_Chain = other.m_Chain;
    // Without its rare parts a record reads as empty ones.
    if (m_pExtras || other.m_pExtras) {
        EditExtras().hullChain = other.GetHullChain();
        m_pExtras->tail = other.GetTail();
    }
    m_Rect = other.m_Rect;
    m_ptCentroid = other.m_ptCentroid;
    m_lArea = other.m_lArea;
    m_lConvexArea = other.m_lConvexArea;
    m_FF = other.m_FF;
    m_MeanColor = other.m_MeanColor;
    m_dHomogeneity = other.m_dHomogeneity;
    m_fCurvature1 = other.m_fCurvature1;
    m_fCurvature2 = other.m_fCurvature2;
    m_bTail = other.m_bTail;
    m_bTailValid = other.m_bTailValid;
    m_MinRect = other.m_MinRect;
    m_Index = other.m_Index;
    m_bHitBoundary = other.m_bHitBoundary;
    m_dClass = other.m_dClass;
    m_nSubCount = other.m_nSubCount;
    m_ptLabel = other.m_ptLabel;
    m_dInnerRadius = other.m_dInnerRadius;
}

// --- access ---

const CChain8& CObjData::GetHole(int index) const
{
    return Checked((m_pExtras ? *m_pExtras : NoExtras()).holes, index);
}

CObject& CObjData::GetResult(int index) const
{
    return Checked((m_pExtras ? *m_pExtras : NoExtras()).results, index);
}

CObjDataBase& CObjData::GetSegmentA(int index) const
{
    return Checked((m_pExtras ? *m_pExtras : NoExtras()).segmentsA, index);
}

CObjDataBase& CObjData::GetSegmentB(int index) const
{
    return Checked((m_pExtras ? *m_pExtras : NoExtras()).segmentsB, index);
}

const CChain8& CObjData::GetHullChain() const
{
    return (m_pExtras ? *m_pExtras : NoExtras()).hullChain;
}

const CColorPositionArray& CObjData::GetColorPositions() const
{
    return (m_pExtras ? *m_pExtras : NoExtras()).colorPositions;
}

const CArray<POINT, POINT>& CObjData::GetMarkPoints() const
{
    return (m_pExtras ? *m_pExtras : NoExtras()).markPoints;
}

const CArray<POINT, POINT>& CObjData::GetHolePoints() const
{
    return (m_pExtras ? *m_pExtras : NoExtras()).holePoints;
}

const CArray<POINT, POINT>& CObjData::GetTipPoints() const
{
    return (m_pExtras ? *m_pExtras : NoExtras()).tipPoints;
}

const sPointSet& CObjData::GetTail() const
{
    return (m_pExtras ? *m_pExtras : NoExtras()).tail;
}

// --- drawing ---

void CObjData::ForEachContourPoint(CPointTarget& target) const
{
    m_Chain.ForEachPoint(target, 0xFFFFFF);
}

void CObjData::DrawMarker(CDC* pDC, COLORREF crossColor, COLORREF contourColor)
{
    CCross(crossColor, 1, R2_COPYPEN).Draw(pDC, m_ptCentroid);
    if (!m_Polygon.IsEmpty())
        m_Polygon.SetPixels(pDC, contourColor);
    else
        m_Chain.Draw(pDC);
}

void CObjData::DrawNumber(CDC* pDC, int number, COLORREF crossColor, CTextLabel* label, CPoint at, bool show) const
{
    if (label) {
        label->m_strText.Empty();
        label->m_strText.Format("%d", number);
    }
    if (!show)
        return;
    CCross(crossColor, 1, R2_COPYPEN).Draw(pDC, at);
    if (label)
        label->Draw(pDC, m_dClass != 0 ? at.x - 5 : at.x + 5, at.y);
}

void CObjData::DrawCrosses(CDC* pDC, const CArray<POINT, POINT>& points, COLORREF color)
{
    CCross cross(color, 1, R2_COPYPEN);
    for (const POINT& p : points)
        cross.Draw(pDC, p);
}

void CObjData::Draw(CDC* pDC, int number, std::span<const COLORREF> colors, CTextLabel* label, DWORD flags)
{
    if (colors.size() < 3)
        AfxThrowInvalidArgException();
    const CPoint labelAt = (m_ptLabel.x != 0 || m_ptLabel.y != 0) ? m_ptLabel : m_ptCentroid;
    const sObjDataExtras& extras = m_pExtras ? *m_pExtras : NoExtras();
    DrawNumber(pDC, number, colors[2], label, labelAt, (flags & drawLabel) != 0);
    DrawCrosses(pDC, extras.markPoints, RGB(0, 255, 0));
    DrawCrosses(pDC, extras.holePoints, RGB(0, 255, 128));
    if (flags & drawTips)
        for (const POINT& p : extras.tipPoints)
            pDC->SetPixel(p, RGB(0, 255, 255));
    for (const auto& result : extras.results)
        if (auto* drawable = DYNAMIC_DOWNCAST(CResult, result.get()))
            drawable->Draw(pDC);

    const COLORREF contourColor = m_dClass != 0 ? m_ClassColor : colors[0];
    CPen contourPen(PS_SOLID, 1, contourColor);
    CPen pen1(PS_SOLID, 1, colors[1]);
    CPen pen2(PS_SOLID, 1, colors[2]);
    CPen* oldPen = pDC->SelectObject(&contourPen);
    if (flags & drawContour) {
        if (!m_Polygon.IsEmpty()) {
            m_Polygon.SetPixels(pDC, contourColor);
            m_Polygon.DrawCuts(pDC);
        } else {
            m_Chain.Draw(pDC);
        }
        if (!extras.hullChain.IsEmpty()) {
            CPen blackPen(PS_SOLID, 1, RGB(0, 0, 0));
            pDC->SelectObject(&blackPen);
            extras.hullChain.Draw(pDC);
            pDC->SelectObject(&contourPen);
        }
    }
    pDC->SelectObject(&pen1);
    if (extras.tail.m_Points.GetSize() > 1)
        DrawCrosses(pDC, extras.tail.m_Points, RGB(0, 255, 0));
    if (flags & drawHoles)
        for (const auto& hole : extras.holes)
            hole->Draw(pDC);
    if ((flags & drawContour) && HasNuclei())
        DrawNucleusChains(pDC);
    if (flags & drawMinRect)
        m_MinRect.Draw(pDC);
    if (flags & drawOrientation) {
        pDC->SelectObject(&pen2);
        if (m_fOrientation != orientationNotSet) {
            // The angle is measured on the outline with y growing downwards,
            // as the page is drawn: no flip.
            const double c = kOrientationArm * std::cos(m_fOrientation);
            const double s = kOrientationArm * std::sin(m_fOrientation);
            pDC->MoveTo(static_cast<int>(m_ptCentroid.x - c), static_cast<int>(m_ptCentroid.y - s));
            pDC->LineTo(static_cast<int>(m_ptCentroid.x + c), static_cast<int>(m_ptCentroid.y + s));
        }
    }
    if ((flags & drawRect) && !m_Rect.IsRectNull()) {
        pDC->SelectObject(&pen2);
        pDC->MoveTo(m_Rect.left, m_Rect.top);
        pDC->LineTo(m_Rect.right, m_Rect.top);
        pDC->LineTo(m_Rect.right, m_Rect.bottom);
        pDC->LineTo(m_Rect.left, m_Rect.bottom);
        pDC->LineTo(m_Rect.left, m_Rect.top);
    }
    pDC->SelectObject(oldPen);
    for (const auto& segment : extras.segmentsA)
        segment->Draw(pDC, number, colors, label, flags);
    for (const auto& segment : extras.segmentsB)
        segment->Draw(pDC, number, colors, label, flags);
}
