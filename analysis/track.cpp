#include "analysis/track.h"

#include "objectmodel/fit.h"
#include "objectmodel/valueformat.h"
#include "platform/core/exceptions.h"

#include <algorithm>
#include <cmath>
#include <numbers>

IMPLEMENT_SERIAL(CTrack, CData, VERSIONABLE_SCHEMA | 3)

namespace {

constexpr const char* kTrackHeaders[] = {"Index",       "Frames",      "Distance [Units]", "Speed (VCL)",
                                         "Speed (VSL)", "Speed (VAP)", "Linearity",        "Radius",
                                         "WHO Class",   "Hyperact./Trans.", "BCF (1/s)",   "Wobble",
                                         "ALH   ",      "Short Stop",  "Long Stop"};
constexpr const char* kFrameHeaders[] = {"Index",    "Frame",       "Time[ms]", "PosX",       "PosY",
                                         "PosZ",     "Area[Units]", "Form",     "Distance [Pixel]",
                                         "Distance [Units]", "Angle", "MainAxis", "GreenEven", "GreenOdd"};
constexpr const char* kFrameColumnHeaders[] = {"Index",   "Frame", "mSecs",   "PosX",     "PosY",
                                               "PosZ",    "VArea", "Form",    "DistPix",  "DistUnits",
                                               "Angle",   "MainAxis", "GreenEven", "GreenOdd"};
static_assert(std::size(kFrameHeaders) == CTrack::kFrameColumnCount);
static_assert(std::size(kFrameColumnHeaders) == CTrack::kFrameColumnCount);

double Degrees(double radians)
{
    return radians / std::numbers::pi * 180.0;
}

} // namespace

CTrack::CTrack()
{
    m_ID = 7;
}

// ---- elements ----

const C3DTrackElement2009& CTrack::Element(int i) const
{
    if (i < 0 || i >= m_nCount)
        AfxThrowInvalidArgException();
    return m_arrElements[static_cast<size_t>(i)];
}

void CTrack::SetSize(int n)
{
    if (n < 0 || n > kMaxElements)
        AfxThrowInvalidArgException();
    m_arrElements.assign(static_cast<size_t>(n), C3DTrackElement2009{});
    m_arrFrameNumbers.assign(static_cast<size_t>(n), 0);
    m_nCapacity = n;
    m_nCount = 0;
}

bool CTrack::AddPoint(const C3DTrackElement2009& element, WORD frameNumber, int advance)
{
    if (m_nCount >= m_nCapacity)
        return false;
    m_arrElements[static_cast<size_t>(m_nCount)] = element;
    m_arrFrameNumbers[static_cast<size_t>(m_nCount)] = frameNumber;
    if (advance == 1)
        ++m_nCount;
    return true;
}

int CTrack::GetFrameNumberAt(int i) const
{
    Element(i);
    return m_arrFrameNumbers[static_cast<size_t>(i)];
}

std::int64_t CTrack::GetTime(int i) const
{
    if (i != 0)
        return Element(i).m_dwTime;
    Element(0);
    return m_nCount > 1 ? static_cast<std::int64_t>(Element(1).m_dwTime) - kFrameInterval : 0;
}

// ---- derived values ----

double CTrack::Smoothed(int i, double (CTrack::*value)(int) const) const
{
    Element(i);
    if (i == 0 || i == m_nCount - 1)
        return (this->*value)(i);
    double sum = 0.0;
    for (int k = i - 2; k <= i + 2; ++k)
        sum += (this->*value)(std::clamp(k, 0, m_nCount - 1));
    return sum / 5.0;
}

double CTrack::GetSmoothedX(int i) const
{
    return Smoothed(i, &CTrack::GetX);
}

double CTrack::GetSmoothedY(int i) const
{
    return Smoothed(i, &CTrack::GetY);
}

CString CTrack::GetWHOClassText() const
{
    switch (m_nWHOClass) {
    case 2:
    case 3:
        return "c";
    case 4:
        return "b";
    case 5:
        return "a";
    default:
        return "d";
    }
}

int CTrack::CountStops(int stopClass) const
{
    return static_cast<int>(
        std::count_if(m_arrStops.begin(), m_arrStops.end(), [&](const CStopReaction& s) { return s.m_nClass == stopClass; }));
}

double CTrack::GetPathDirection(int i, int window) const
{
    Element(i);
    if (window % 2 == 0)
        ++window;
    if (window < 1 || m_nCount < window)
        return 0.0;
    const int first = std::clamp(i - window / 2, 0, m_nCount - window);
    CFit fit;
    fit.SetSize(window);
    for (int k = 0; k < window; ++k)
        fit.SetPoint(k, static_cast<int>(GetX(first + k)), static_cast<int>(GetY(first + k)), 1.0f, 1.0f);
    double errorA = 0.0;
    double errorB = 0.0;
    double chi2 = 0.0;
    if (!fit.FitLine(errorA, errorB, chi2))
        return 0.0;
    return fit.GetDirection();
}

double CTrack::FrameDistance(int i, int j) const
{
    if (i < 0 || j < 0 || i >= m_nCount || j >= m_nCount)
        return 0.0;
    const double dx = GetX(j) - GetX(i);
    const double dy = GetY(j) - GetY(i);
    const double dz = GetZ(j) - GetZ(i);
    return std::sqrt(dy * dy + dx * dx + dz * dz);
}

// ---- the track table ----

void CTrack::GetColumnHeaders(CStringArray& titles, int frameFlag) const
{
    titles.RemoveAll();
    if (frameFlag != 0) {
        for (const char* title : kFrameHeaders)
            titles.Add(title);
        return;
    }
    for (const char* title : kTrackHeaders)
        titles.Add(title);
}

void CTrack::GetColumnTitles(CStringArray& titles, int selection)
{
    GetColumnHeaders(titles, selection == 1 ? 1 : 0);
}

CString CTrack::GetColumnText(int column) const
{
    switch (column) {
    case 0:
        return FormatString("%d", 0);
    case 1:
        return FormatString("%d", m_nCount > 0 ? GetFrameNumberAt(m_nCount - 1) : 0);
    case 2:
        return FormatColumnValue(m_dDistance);
    case 3:
        return FormatColumnValue(m_dVCL);
    case 4:
        return FormatColumnValue(m_dVSL);
    case 5:
        return FormatColumnValue(m_dVAP);
    case 6:
        return FormatString("%.1lf%%", GetLinearity() * 100.0);
    case 7:
        return FormatColumnValue(m_dRadius);
    case 8:
        return GetWHOClassText();
    case 9:
        return m_nHyperactivated == 1 ? "Hyperactive" : m_nHyperactivated == 2 ? "Transitional" : "";
    case 10:
        return FormatString("%.2lf", m_dBCF);
    case 11:
        return FormatString("%.2lf", GetWobble());
    case 12:
        return FormatString("%.2lf", m_dALH);
    case 13:
        return FormatString("%d", CountStops(CStopReaction::stopShort));
    case 14:
        return FormatString("%d", CountStops(CStopReaction::stopLong));
    default:
        return {};
    }
}

CString CTrack::GetColumnValues(int column)
{
    return GetColumnText(column);
}

// ---- the per-frame table ----

CString CTrack::GetFrameColumnHeaders(int column) const
{
    if (column < 0 || column >= kFrameColumnCount)
        return "Undef";
    return kFrameColumnHeaders[column];
}

double CTrack::GetFrameValue(int i, int column) const
{
    switch (column) {
    case 0:
        Element(i);
        return i;
    case 1:
        return GetFrameNumberAt(i);
    case 2:
        return static_cast<double>(GetTime(i));
    case 3:
        return GetX(i);
    case 4:
        return GetY(i);
    case 5:
        return GetZ(i);
    case 6:
        return GetArea(i);
    case 7:
        return CalcFormFactor(GetArea(i), GetPerimeter(i));
    case 8:
        Element(i);
        return FrameDistance(i - 1, i);
    case 9:
        return GetFrameValue(i, 8) * SystemCalibration.m_dFactor;
    case 10:
        return Degrees(GetPathDirection(i, 5));
    case 11:
        return Degrees(GetMainAxisAngle(i));
    case 12:
        return GetGreenEven(i);
    case 13:
        return GetGreenOdd(i);
    default:
        return -1.0;
    }
}

CString CTrack::GetFrameColumnText(int index, int column) const
{
    if (index < 0)
        AfxThrowInvalidArgException();
    if (index >= m_nCount)
        return "overflow";
    if (column < 0 || column >= kFrameColumnCount)
        return {};
    const double value = GetFrameValue(index, column);
    switch (column) {
    case 2:
        return FormatString("%lld", static_cast<long long>(GetTime(index)));
    case 7:
    case 8:
    case 9:
        return FormatString("%.2f", value);
    case 12:
        return FormatString("%u", static_cast<unsigned>(GetGreenEven(index)));
    case 13:
        return FormatString("%u", static_cast<unsigned>(GetGreenOdd(index)));
    default:
        return FormatString("%d", static_cast<int>(value));
    }
}

CString CTrack::GetColumnValuesAt(int row, int column)
{
    return GetFrameColumnText(row, column);
}
