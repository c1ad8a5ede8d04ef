#include "analysis/objellipse.h"

#include "analysis/recorditems.h"
#include "analysis/segthres.h"
#include "objectmodel/normstat.h"
#include "objectmodel/textlabel.h"
#include "objectmodel/xmlarchive.h"
#include "outside/pixmere/device.h"
#include "platform/core/dc.h"
#include "platform/core/exceptions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

IMPLEMENT_SERIAL(CEllipsenObj, CObjDataBase, 1)

namespace {

// Area, form and the three colour columns.
constexpr DWORD kEllipseColumns = 0x70C;

BYTE RoundByte(double value)
{
    return static_cast<BYTE>(std::clamp(std::lround(value), 0L, 255L));
}

} // namespace

CEllipsenObj::CEllipsenObj()
{
    m_ID = kind;
    m_Type = kEllipseColumns;
}

CEllipsenObj::~CEllipsenObj() = default;

void CEllipsenObj::Serialize(CArchive& ar)
{
    if (!kestrun::BeginRecordElement(ar, "CEllipsenObj"))
        return;
    CBaseObj::Serialize(ar);
    auto& xml = CXMLArchive::FromArchive(ar);
    kestrun::SerializeRecordUInt(xml, "m_MeanColor", m_MeanColor);
    int rect[4] = {m_Rect.left, m_Rect.top, m_Rect.right, m_Rect.bottom};
    kestrun::SerializeRecordInt(xml, "m_Rect.left", rect[0]);
    kestrun::SerializeRecordInt(xml, "m_Rect.top", rect[1]);
    kestrun::SerializeRecordInt(xml, "m_Rect.right", rect[2]);
    kestrun::SerializeRecordInt(xml, "m_Rect.bottom", rect[3]);
    kestrun::SerializeRecordPoints(xml, "m_arrPoints", m_arrPoints);
    kestrun::SerializeRecordDouble(xml, "m_Color.red", m_Color.red);
    kestrun::SerializeRecordDouble(xml, "m_Color.green", m_Color.green);
    kestrun::SerializeRecordDouble(xml, "m_Color.blue", m_Color.blue);
    kestrun::EndRecordElement(ar);
    if (ar.IsLoading()) {
        m_Rect = CRect(rect[0], rect[1], rect[2], rect[3]);
        // The ellipse is not stored: it comes from the loaded points.
        m_bFitted = false;
        FitEllipse();
    }
}

void CEllipsenObj::GetColumnTitles(CStringArray& titles, int)
{
    titles.RemoveAll();
    for (const char* title : {"Index", "Area[Units]", "Form", "Fit Quality", "Segments", "Red", "Green", "Blue", "Class"})
        titles.Add(title);
}

CString CEllipsenObj::GetColumnValues(int column)
{
    switch (column) {
    case 0:
        return "0";
    case 1:
        return FormatString("%.3lf", GetArea());
    case 2:
        return FormatString("%.2f", GetFormFactor());
    case 3:
        return FormatString("%.4lf", m_dFitQuality);
    case 4:
        return FormatString("%d", GetPieceCount());
    case 5:
        return FormatString("%d", GetRValue(m_MeanColor));
    case 6:
        return FormatString("%d", GetGValue(m_MeanColor));
    case 7:
        return FormatString("%d", GetBValue(m_MeanColor));
    case 8:
        return FormatString("%s", GetClassName().GetString());
    default:
        return {};
    }
}

double CEllipsenObj::GetArea() const
{
    const double factor = SystemCalibration.m_dFactor;
    return m_nArea * factor * factor;
}

double CEllipsenObj::GetFormFactor() const
{
    if (m_dAxis2 == 0.0)
        return std::numeric_limits<double>::max();
    return m_dAxis1 / m_dAxis2;
}

void CEllipsenObj::Draw(CDC* pDC, int number, std::span<const COLORREF> colors, CTextLabel* label, DWORD flags)
{
    if (colors.size() < 3)
        AfxThrowInvalidArgException();
    if (!m_bFitted)
        for (const auto& piece : m_Pieces)
            piece->Draw(pDC, number, colors, nullptr, flags);
    if (label != nullptr)
        label->m_strText = FormatString("%d", number);
    if (!m_bFitted)
        return;
    CPen pen(PS_SOLID, 1, colors[0]);
    CPen* old = pDC->SelectObject(&pen);
    m_Ellipse.Draw(pDC, m_ClassColor, 1, 360, 5, 1.0);
    pDC->SelectObject(old);
}

int CEllipsenObj::FitEllipse(CEllipsePixelTarget* target)
{
    std::vector<point> points;
    const auto take = [&](POINT p) {
        if (static_cast<int>(points.size()) < maxFitPoints)
            points.emplace_back(p.x, p.y);
    };
    const int step = m_Pieces.size() == 1 ? 9 : 5;
    for (const auto& piece : m_Pieces) {
        const CRPolygon& contour = piece->m_Contour;
        const int codes = static_cast<int>(contour.GetSize());
        const int pieceStep = codes < 16 ? 5 : step;
        if (codes < pieceStep || codes == 0)
            continue;
        const int stride = codes / pieceStep;
        take(contour[0]);
        for (int k = 0; k < codes; k += stride)
            take(contour[k]);
    }
    for (const POINT& p : m_arrPoints)
        take(p);
    if (points.size() < 4)
        return 1;

    const double quality = m_Ellipse.FitEll(points.data(), static_cast<int>(points.size()), 0.0, 0.0);
    if (!std::isfinite(quality) || !std::isfinite(m_Ellipse.GetXAxis()) || !std::isfinite(m_Ellipse.GetYAxis()))
        return 1;
    m_dFitQuality = quality;
    if (target != nullptr) {
        point bottom;
        point top;
        point left;
        point right;
        if (m_Ellipse.GetBoundingPositions(&bottom, &top, &left, &right) != 0) {
            for (int y = static_cast<int>(top.gety()); y <= static_cast<int>(bottom.gety()); y += 2) {
                double x1 = 0.0;
                double x2 = 0.0;
                if (m_Ellipse.GetXVal(y, &x1, &x2) != 2)
                    continue;
                for (int x = static_cast<int>(std::min(x1, x2)); x <= static_cast<int>(std::max(x1, x2)); x += 2)
                    if (!target->AddPixel(x, y))
                        return 0;
            }
            m_Rect = CRect(static_cast<int>(left.getx()), static_cast<int>(top.gety()), static_cast<int>(right.getx()),
                           static_cast<int>(bottom.gety()));
        }
    }
    m_nArea = static_cast<int>(std::lround(std::numbers::pi * m_Ellipse.GetXAxis() * m_Ellipse.GetYAxis()));
    m_dAxis1 = std::max(m_Ellipse.GetXAxis(), m_Ellipse.GetYAxis());
    m_dAxis2 = std::min(m_Ellipse.GetXAxis(), m_Ellipse.GetYAxis());
    m_bFitted = true;
    return 1;
}

void CEllipsenObj::SetRectFromBounds()
{
    point bottom;
    point top;
    point left;
    point right;
    if (m_Ellipse.GetBoundingPositions(&bottom, &top, &left, &right) != 0)
        m_Rect = CRect(static_cast<int>(left.getx()), static_cast<int>(top.gety()), static_cast<int>(right.getx()),
                       static_cast<int>(bottom.gety()));
}

template <class Visit>
void CEllipsenObj::ForEachInside(int step, Visit visit) const
{
    if (step < 1)
        AfxThrowInvalidArgException();
    for (int y = m_Rect.top; y <= m_Rect.bottom; y += step) {
        double x1 = 0.0;
        double x2 = 0.0;
        if (m_Ellipse.GetXVal(y, &x1, &x2) != 2)
            continue;
        for (int x = static_cast<int>(std::ceil(std::min(x1, x2))); x <= static_cast<int>(std::max(x1, x2)); x += step)
            visit(x, y);
    }
}

double CEllipsenObj::MeasureColor(const CEllipseContext& context, int step)
{
    if (!m_bFitted || context.image == nullptr || context.threshold == nullptr)
        return 0.0;
    SetRectFromBounds();
    CNormStat red;
    CNormStat green;
    CNormStat blue;
    int visited = 0;
    int inObject = 0;
    ForEachInside(step, [&](int x, int y) {
        ++visited;
        if (context.admits && !context.admits(x, y))
            return;
        const COLORREF c = context.image->GetPixel(x, y);
        if (!context.threshold->IsObjectColor(c))
            return;
        ++inObject;
        red.AddValue(GetRValue(c));
        green.AddValue(GetGValue(c));
        blue.AddValue(GetBValue(c));
    });
    red.Finish();
    green.Finish();
    blue.Finish();
    if (inObject > 0) {
        m_Color = Color_Double(red.GetMean(), green.GetMean(), blue.GetMean());
        m_MeanColor = RGB(RoundByte(red.GetMean()), RoundByte(green.GetMean()), RoundByte(blue.GetMean()));
    }
    return visited == 0 ? 0.0 : static_cast<double>(inObject) / visited;
}

void CEllipsenObj::PaintInterior(const CEllipseContext& context, int step)
{
    if (!m_bFitted || context.output == nullptr)
        return;
    const COLORREF mark = context.paintDark ? 0x010101 : 0xFEFEFE;
    ForEachInside(step, [&](int x, int y) {
        if (!context.admits || context.admits(x, y))
            context.output->SetPixel(x, y, mark);
    });
}

void CEllipsenObj::AddPiece(std::unique_ptr<CKonturSegment> piece)
{
    if (!piece)
        AfxThrowInvalidArgException();
    const CRect box = piece->m_Contour.GetBoundingRect();
    m_Rect = m_Rect.IsRectNull() ? box : CRect(std::min(m_Rect.left, box.left), std::min(m_Rect.top, box.top),
                                                 std::max(m_Rect.right, box.right), std::max(m_Rect.bottom, box.bottom));
    m_Pieces.push_back(std::move(piece));
}

std::unique_ptr<CKonturSegment> CEllipsenObj::RemovePiece(int index)
{
    if (index < 0 || index >= GetPieceCount())
        AfxThrowInvalidArgException();
    auto piece = std::move(m_Pieces[static_cast<size_t>(index)]);
    m_Pieces.erase(m_Pieces.begin() + index);
    return piece;
}

CKonturSegment& CEllipsenObj::GetPiece(int index) const
{
    if (index < 0 || index >= GetPieceCount())
        AfxThrowInvalidArgException();
    return *m_Pieces[static_cast<size_t>(index)];
}

void CEllipsenObj::AddPoint(POINT point)
{
    m_arrPoints.Add(point);
}

void CEllipsenObj::AddRowPoints(int firstRow, int lastRow, std::span<const int> left, std::span<const int> right)
{
    const int rows = lastRow - firstRow + 1;
    if (rows < 1 || static_cast<int>(left.size()) < rows || static_cast<int>(right.size()) < rows)
        AfxThrowInvalidArgException();
    const int middle = (lastRow - firstRow) / 2;
    m_arrPoints.Add(POINT{left[0], firstRow});
    m_arrPoints.Add(POINT{left[static_cast<size_t>(middle)], firstRow + middle});
    m_arrPoints.Add(POINT{left[static_cast<size_t>(rows - 1)], lastRow});
    m_arrPoints.Add(POINT{right[static_cast<size_t>(middle)], firstRow + middle});
}
