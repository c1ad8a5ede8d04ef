#include "analysis/aoistat.h"

#include "analysis/aoiwalk.h"
#include "analysis/objsegments.h"
#include "analysis/recorditems.h"
#include "objectmodel/cross.h"
#include "objectmodel/xmlarchive.h"
#include "platform/core/dc.h"
#include "platform/core/exceptions.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_DYNAMIC(CColorClass, CObject)
IMPLEMENT_SERIAL(CAOIStat, CObjDataBase, 1)

void CColorClass::AddPixel(int x, int y, COLORREF color)
{
    m_arrPoints.Add(POINT{x, y});
    m_Channels[0].AddValue(GetRValue(color));
    m_Channels[1].AddValue(GetGValue(color));
    m_Channels[2].AddValue(GetBValue(color));
}

void CColorClass::Finish()
{
    for (CNormStat& channel : m_Channels)
        channel.Finish();
}

CAOIStat::CAOIStat()
{
    m_ID = kind;
}

CAOIStat::~CAOIStat() = default;

void CAOIStat::Serialize(CArchive& ar)
{
    if (!kestrun::BeginRecordElement(ar, "CAOIStat"))
        return;
    CBaseObj::Serialize(ar);
    auto& xml = CXMLArchive::FromArchive(ar);
    kestrun::SerializeRecordUInt(xml, "m_nPixels", m_nPixels);
    kestrun::SerializeRecordUInt(xml, "m_nObjectPixels", m_nObjectPixels);
    kestrun::SerializeRecordUInt(xml, "m_nObjectShare", m_nObjectShare);
    kestrun::SerializeRecordDouble(xml, "m_dHomogeneity", m_dHomogeneity);
    kestrun::EndRecordElement(ar);
}

void CAOIStat::GetColumnTitles(CStringArray& titles, int)
{
    titles.RemoveAll();
    for (const char* title : {"Index", "Class", "ROI Area[Units]", "Red ", "Green", "Blue", "Homogenity", "Object",
                              "Bright(R)", "Bright(G)", "Bright(B)"})
        titles.Add(title);
}

CString CAOIStat::GetColumnValues(int column)
{
    switch (column) {
    case 0:
        return "0";
    case 1:
        return "---";
    case 2:
        return FormatString("%.2lf", GetArea());
    case 3:
        return FormatString("%d", GetRValue(m_MeanColor));
    case 4:
        return FormatString("%d", GetGValue(m_MeanColor));
    case 5:
        return FormatString("%d", GetBValue(m_MeanColor));
    case 6:
        return FormatString("%.2lf", m_dHomogeneity);
    case 7:
        return FormatString("%d%%", static_cast<int>(m_nObjectShare));
    case 8:
    case 9:
    case 10:
        return FormatString("%d", static_cast<int>(m_dBright[column - 8]));
    default:
        return {};
    }
}

CString CAOIStat::GetColumnValuesAt(int classIndex, int column)
{
    // Checks the index first: a cell of a class that is not there is none.
    GetClass(classIndex);
    switch (column) {
    case 0:
        return "0";
    case 1:
        return FormatString("%s", GetClassName(classIndex).GetString());
    case 2:
        return FormatString("%.2lf", GetClassArea(classIndex));
    case 3:
    case 4:
    case 5:
        return FormatString("%d", GetClassMean(classIndex, column - 3));
    case 7:
        return FormatString("%d%%", GetClassShare(classIndex));
    default:
        return "---";
    }
}

double CAOIStat::GetArea() const
{
    const double factor = m_Calibration.m_dFactor;
    return static_cast<double>(m_nPixels) * factor * factor;
}

void CAOIStat::DrawPixels(CDC* pDC, COLORREF color) const
{
    if (m_ptMarked.x != 0 || m_ptMarked.y != 0) {
        CCross cross(color, 1, R2_COPYPEN);
        cross.Draw(pDC, m_ptMarked);
    }
    for (const auto& colorClass : m_Classes)
        for (const POINT& p : colorClass->m_arrPoints)
            pDC->SetPixel(p.x, p.y, colorClass->m_Color);
    for (const POINT& p : m_OwnClass.m_arrPoints)
        pDC->SetPixel(p.x, p.y, color);
}

// ---- colour classes ------------------------------------------------------------------------

void CAOIStat::AddClass(COLORREF color, const CString& name)
{
    m_Classes.push_back(std::make_unique<CColorClass>(color, name));
}

const CColorClass& CAOIStat::GetClass(int classIndex) const
{
    if (classIndex < 0 || classIndex > GetClassCount())
        AfxThrowInvalidArgException();
    return classIndex == GetClassCount() ? m_OwnClass : *m_Classes[static_cast<size_t>(classIndex)];
}

CString CAOIStat::GetClassName(int classIndex) const
{
    return classIndex == GetClassCount() ? CString("Normal") : GetClass(classIndex).m_strName;
}

COLORREF CAOIStat::GetClassColor(int classIndex) const
{
    return classIndex == GetClassCount() ? COLORREF(255) : GetClass(classIndex).m_Color;
}

int CAOIStat::GetClassMean(int classIndex, int channel) const
{
    if (channel < 0 || channel > 2)
        AfxThrowInvalidArgException();
    return static_cast<int>(std::lround(GetClass(classIndex).m_Channels[channel].GetMean()));
}

double CAOIStat::GetClassArea(int classIndex) const
{
    const double factor = m_Calibration.m_dFactor;
    return GetClass(classIndex).GetPointCount() * factor * factor;
}

int CAOIStat::GetClassShare(int classIndex) const
{
    const double area = GetArea();
    if (area == 0.0)
        return 0;
    return static_cast<int>(GetClassArea(classIndex) / area * 100.0);
}

void CAOIStat::MeasureHomogeneity(const CAOI& aoi, const Device& image)
{
    CNormStat channels[3];
    kestrun::ForEachRunPixel(aoi, [&](int x, int y) {
        if (!kestrun::IsInImage(image, x, y))
            return;
        const COLORREF c = image.GetPixel(x, y);
        channels[0].AddValue(GetRValue(c));
        channels[1].AddValue(GetGValue(c));
        channels[2].AddValue(GetBValue(c));
    });
    if (channels[0].GetCount() == 0)
        return;
    double deviations[3] = {};
    for (int k = 0; k < 3; ++k) {
        channels[k].Finish();
        deviations[k] = std::sqrt(std::max(channels[k].GetVariance(), 0.0));
    }
    m_ColorSpread = Color_Double(deviations[0], deviations[1], deviations[2]);
    const double mean = (deviations[0] + deviations[1] + deviations[2]) / 3.0;
    m_dHomogeneity = std::max(0.0, 1.0 - mean / 128.0);
}

// ---- measurement ------------------------------------------------------------------------------

void CAOIStat::ResetTotals()
{
    m_nPixels = 0;
    m_nObjectPixels = 0;
    m_nObjectShare = 0;
}

void CAOIStat::AddPixel(int x, int y, COLORREF color, int classNumber)
{
    if (classNumber < 0 || classNumber > GetClassCount())
        return;
    CColorClass& target = classNumber == 0 ? m_OwnClass : *m_Classes[static_cast<size_t>(classNumber - 1)];
    target.AddPixel(x, y, color);
}

void CAOIStat::SetTotals(DWORD total, COLORREF meanColor, DWORD passing, int share)
{
    m_nPixels = total;
    m_MeanColor = meanColor;
    m_nObjectPixels = passing;
    m_nObjectShare = static_cast<DWORD>(std::max(share, 0));
    m_dBright[0] = GetRValue(meanColor);
    m_dBright[1] = GetGValue(meanColor);
    m_dBright[2] = GetBValue(meanColor);
    m_ColorMean = Color_Double(m_dBright[0], m_dBright[1], m_dBright[2]);
}

void CAOIStat::FinishStatistics()
{
    m_OwnClass.Finish();
    for (auto& colorClass : m_Classes)
        colorClass->Finish();
}
