#include "analysis/objsegments.h"

#include "analysis/aoi.h"
#include "analysis/aoiimaging.h"
#include "analysis/recorditems.h"
#include "objectmodel/cross.h"
#include "objectmodel/textlabel.h"
#include "objectmodel/valueformat.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/dc.h"
#include "platform/core/exceptions.h"
#include "outside/pixmere/device.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CKonturSegment, CObjDataBase, 1)
IMPLEMENT_SERIAL(CCurvatureObj, CObjDataBase, 1)
IMPLEMENT_SERIAL(CDefect, CObjDataBase, 1)
IMPLEMENT_SERIAL(CFrequencyData, CObjDataBase, 1)

namespace {

// Pi in single precision: the stored angles were made with it.
constexpr double kPiSingle = 3.1415927410125732;

void SetTitles(CStringArray& titles, std::initializer_list<const char*> names)
{
    titles.RemoveAll();
    for (const char* name : names)
        titles.Add(name);
}

void RequireColors(std::span<const COLORREF> colors, size_t count)
{
    if (colors.size() < count)
        AfxThrowInvalidArgException();
}

void Cross(CDC* pDC, POINT at, COLORREF color, int width = 1)
{
    CCross cross(color, width, R2_COPYPEN);
    cross.Draw(pDC, at);
}

bool IsSet(POINT p)
{
    return p.x != 0 || p.y != 0;
}

} // namespace

namespace kestrun {

bool BeginRecordElement(CArchive& ar, const char* name)
{
    auto* xml = dynamic_cast<CXMLArchive*>(&ar);
    if (xml == nullptr || xml->GetChildNode(name) == nullptr)
        return false;
    return true;
}

void EndRecordElement(CArchive& ar)
{
    CXMLArchive::FromArchive(ar).GetCurrentNode()->EndNode();
}

} // namespace kestrun

CPoint RotatePoint(int cx, int cy, int px, int py, double angle)
{
    const double dx = px - cx;
    const double dy = cy - py;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return CPoint(cx + static_cast<int>(c * dx - s * dy), cy - static_cast<int>(c * dy + s * dx));
}

int WholeDegrees(double radians)
{
    return static_cast<int>(radians * 180.0 / kPiSingle);
}

// ---- contour segment -------------------------------------------------------------------

CKonturSegment::CKonturSegment()
{
    m_ID = kind;
}

void CKonturSegment::Serialize(CArchive& ar)
{
    if (!kestrun::BeginRecordElement(ar, "CKonturSegment"))
        return;
    CBaseObj::Serialize(ar);
    auto& xml = CXMLArchive::FromArchive(ar);
    kestrun::SerializeRecordInt(xml, "m_nType", m_nType);
    kestrun::SerializeRecordDouble(xml, "m_dStartAngle", m_dStartAngle);
    kestrun::SerializeRecordDouble(xml, "m_dEndAngle", m_dEndAngle);
    kestrun::SerializeRecordDouble(xml, "m_dChordAngle", m_dChordAngle);
    kestrun::SerializeRecordDouble(xml, "m_dOpenAngle", m_dOpenAngle);
    CArray<POINT, POINT> points;
    for (INT_PTR i = 0; i < m_Contour.GetSize(); ++i)
        points.Add(m_Contour[i]);
    kestrun::SerializeRecordPoints(xml, "m_Contour", points);
    if (ar.IsLoading()) {
        m_Contour.RemoveAll();
        for (const POINT& p : points)
            m_Contour.Add(p);
    }
    kestrun::EndRecordElement(ar);
}

void CKonturSegment::GetColumnTitles(CStringArray& titles, int)
{
    SetTitles(titles, {"Index", "Length", "Angle Range", "Sehne", "Angle Open", "Length", "RectSize", "Type",
                       "CurvMax", "CurvMean", "Roughness"});
}

CString CKonturSegment::GetColumnValues(int column)
{
    switch (column) {
    case 0:
        return "0";
    case 1:
        return FormatColumnValue(GetLength());
    case 2:
        return FormatString("%d-%d", WholeDegrees(m_dStartAngle), WholeDegrees(m_dEndAngle));
    case 3:
        return FormatString("%d", WholeDegrees(m_dChordAngle));
    case 4:
        return FormatString("%d", WholeDegrees(m_dOpenAngle));
    case 5:
        return FormatString("%d", m_nChordLength);
    case 6: {
        const CRect box = m_Contour.GetBoundingRect();
        return FormatString("%d,%d", static_cast<int>(box.Width()), static_cast<int>(box.Height()));
    }
    case 7:
        return m_nType == straight ? "Straight" : m_nType == convex ? "Convex" : "Concav";
    case 8:
        if (m_nMaxPos < 0 || m_nMaxPos >= m_Curvature.GetSize())
            return {};
        return FormatString("%f", m_Curvature.GetAt(m_nMaxPos));
    case 9:
        return FormatString("%f", m_dMeanCurvature);
    case 10:
        return FormatString("%lf", m_dRoughness);
    default:
        return {};
    }
}

double CKonturSegment::GetLength() const
{
    return m_nLength * SystemCalibration.m_dFactor;
}

void CKonturSegment::Draw(CDC* pDC, int, std::span<const COLORREF> colors, CTextLabel*, DWORD)
{
    RequireColors(colors, 3);
    const COLORREF own = m_nType == straight ? colors[0] : m_nType == convex ? colors[1] : colors[2];
    for (INT_PTR i = 0; i < m_Contour.GetSize(); ++i)
        pDC->SetPixel(m_Contour[i].x, m_Contour[i].y, own);
    for (const sPeak& peak : m_Curvature.GetPeaks())
        if (peak.m_nIndex >= 0 && peak.m_nIndex < m_Contour.GetSize())
            Cross(pDC, m_Contour[peak.m_nIndex], colors[2]);
    for (const auto& [from, to] : m_arrIndexPairs)
        for (int i = std::max(from, 0); i <= to && i < m_Contour.GetSize(); ++i)
            pDC->SetPixel(m_Contour[i].x, m_Contour[i].y, RGB(200, 0, 0));
    for (const POINT& p : m_arrPixels)
        pDC->SetPixel(p.x, p.y, RGB(128, 128, 0));
    m_MinRect.Draw(pDC);
    for (const POINT& p : m_arrPoints)
        Cross(pDC, p, RGB(0, 255, 128));
    if (IsSet(m_ptRef))
        Cross(pDC, m_ptRef, RGB(0, 255, 128));
}

CPoint CKonturSegment::GetPoint(int index) const
{
    if (index < 0)
        AfxThrowInvalidArgException();
    if (index >= m_arrPoints.GetSize())
        return CPoint(0, 0);
    return m_arrPoints[index];
}

int CKonturSegment::IsInAngleRange(const CKonturSegment& other) const
{
    if (&other == this)
        return 0;
    if (m_dStartAngle < m_dEndAngle) {
        const double low = m_dStartAngle * 0.99;
        const double high = m_dEndAngle * 1.01;
        const auto inside = [&](double a) { return a >= low && a <= high; };
        return inside(other.m_dStartAngle) && inside(other.m_dEndAngle) ? 1 : 0;
    }
    // The range wraps.
    if (other.m_dStartAngle < m_dStartAngle && other.m_dStartAngle > m_dEndAngle)
        return 0;
    if (other.m_dEndAngle >= m_dStartAngle)
        return 1;
    return other.m_dEndAngle <= m_dEndAngle ? 1 : 0;
}

int CKonturSegment::IsNear(const CKonturSegment& other, double distance) const
{
    if (&other == this || !IsSet(m_ptRef) || !IsSet(other.m_ptRef))
        return 0;
    return std::hypot(double(m_ptRef.x - other.m_ptRef.x), double(m_ptRef.y - other.m_ptRef.y)) < distance ? 1 : 0;
}

// ---- curvature profile -------------------------------------------------------------------

CCurvatureObj::CCurvatureObj()
{
    m_ID = kind;
}

void CCurvatureObj::Serialize(CArchive& ar)
{
    if (!kestrun::BeginRecordElement(ar, "CCurvatureObj"))
        return;
    CBaseObj::Serialize(ar);
    kestrun::EndRecordElement(ar);
}

void CCurvatureObj::GetColumnTitles(CStringArray& titles, int)
{
    SetTitles(titles, {"Index", "Length", "Ends", "Curvature"});
}

CString CCurvatureObj::GetColumnValues(int column)
{
    switch (column) {
    case 0:
        return "0";
    case 1:
        return FormatString("%d", m_nLength);
    case 2:
        return FormatString("%d", static_cast<int>(m_arrEnds.GetSize()));
    case 3:
        return FormatString("%f", static_cast<double>(m_fCurvature));
    default:
        return {};
    }
}

void CCurvatureObj::Copy(const CCurvatureObj& other)
{
    CBaseObj::Copy(other);
    m_Chain = other.m_Chain;
    m_arrEnds.Copy(other.m_arrEnds);
    m_fCurvature = other.m_fCurvature;
    m_ptRef = other.m_ptRef;
    m_dAngle = other.m_dAngle;
    m_dEndAngles[0] = other.m_dEndAngles[0];
    m_dEndAngles[1] = other.m_dEndAngles[1];
    m_nLength = other.m_nLength;
}

CPoint CCurvatureObj::GetTopPoint() const
{
    if (m_arrEnds.IsEmpty())
        return CPoint(0, 0);
    POINT top = m_arrEnds[0];
    for (const POINT& p : m_arrEnds)
        if (p.y < top.y || (p.y == top.y && p.x > top.x))
            top = p;
    return top;
}

void CCurvatureObj::Draw(CDC* pDC, int number, std::span<const COLORREF> colors, CTextLabel* label, DWORD)
{
    RequireColors(colors, 3);
    if (label != nullptr)
        label->m_strText = FormatString("%d", number);
    m_Chain.Draw(pDC);
    for (const POINT& p : m_arrEnds)
        Cross(pDC, p, colors[1]);
    if (!m_arrEnds.IsEmpty())
        Cross(pDC, GetTopPoint(), colors[2]);
    if (IsSet(m_ptRef))
        Cross(pDC, m_ptRef, RGB(255, 255, 0));
    // A short stroke through each end at its angle.
    constexpr double halfStroke = 6.0;
    const int ends = std::min<int>(2, static_cast<int>(m_arrEnds.GetSize()));
    for (int k = 0; k < ends; ++k) {
        const POINT p = m_arrEnds[k == 0 ? 0 : m_arrEnds.GetSize() - 1];
        const double a = m_dEndAngles[k] * kPiSingle / 180.0;
        const int dx = static_cast<int>(std::lround(std::cos(a) * halfStroke));
        const int dy = static_cast<int>(std::lround(std::sin(a) * halfStroke));
        pDC->MoveTo(p.x - dx, p.y + dy);
        pDC->LineTo(p.x + dx, p.y - dy);
    }
}

// ---- defect ------------------------------------------------------------------------------

CDefect::CDefect()
{
    m_ID = kind;
}

void CDefect::Serialize(CArchive&)
{
}

void CDefect::GetColumnTitles(CStringArray& titles, int)
{
    SetTitles(titles, {"Index", "PosX", "PosY", "Intensity"});
}

void CDefect::SetDefect(int x, int y, double intensity)
{
    m_ptPos = CPoint(x, y);
    m_dIntensity = intensity;
}

void CDefect::Draw(CDC* pDC, int number, std::span<const COLORREF> colors, CTextLabel* label, DWORD)
{
    RequireColors(colors, 1);
    DrawDefect(pDC, number, colors[0], label);
}

void CDefect::DrawDefect(CDC* pDC, int number, COLORREF color, CTextLabel* label) const
{
    Cross(pDC, m_ptPos, color);
    if (label == nullptr)
        return;
    label->m_strText = FormatString("%d", number);
    label->Draw(pDC, m_ptPos.x + 5, m_ptPos.y);
}

// ---- frequency of a file -----------------------------------------------------------------

CFrequencyData::CFrequencyData()
{
    m_ID = kind;
}

CFrequencyData::CFrequencyData(const CString& fileName, double frequency)
    : m_strFileName(fileName), m_dFrequency(frequency)
{
    m_ID = kind;
}

void CFrequencyData::Serialize(CArchive& ar)
{
    CBaseObj::Serialize(ar);
}

void CFrequencyData::GetColumnTitles(CStringArray& titles, int)
{
    SetTitles(titles, {"Index", "Filename", "Frequency"});
}

void CKonturSegment::FindInnerCircle(const Device& image, const CSegThres& threshold, const CRect& imageRect)
{
    // Without a reference point the seed would be a guess near the page's
    // corner.
    if (!IsSet(m_ptRef))
        return;
    constexpr int kSeedRadius = 4;
    CPoint base = m_ptRef;
    double angle = m_dDirectionAngle;
    if (m_nMaxPos != -1 && m_nMaxPos >= 0 && m_nMaxPos < m_Contour.GetSize()) {
        base = m_Contour.GetPointAt(m_nMaxPos);
        angle = m_dPeakDirectionAngle;
    }
    m_nInnerRadius = kSeedRadius;
    m_ptInnerCenter = CPoint(base.x + static_cast<int>(kSeedRadius * std::cos(angle)),
                             base.y - static_cast<int>(kSeedRadius * std::sin(angle)));
    // Pixels beyond the page are background.
    const CRect inside = imageRect & CRect(0, 0, image.GetWidth(), image.GetHeight());
    if (inside.IsRectEmpty())
        return;
    CAOIEllipse circle;
    circle.SetCenterAndRadii(m_ptInnerCenter.x, m_ptInnerCenter.y, kSeedRadius, kSeedRadius);
    GrowLargestCircle(circle, m_ptInnerCenter, image, threshold, inside);
}
