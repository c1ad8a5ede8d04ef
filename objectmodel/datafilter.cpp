#include "objectmodel/datafilter.h"

#include "objectmodel/regression.h"

#include <algorithm>
#include <vector>

IMPLEMENT_SERIAL(CDataFilter, CDataArray, VERSIONABLE_SCHEMA | 6)

CDataFilter::CDataFilter(int valueType) : CDataArray(valueType)
{
    m_ID = 9;
}

void CDataFilter::SetFilter(WORD kind, SHORT width)
{
    m_nFilterKind = kind;
    m_nFilterWidth = width;
}

BOOL CDataFilter::IsFiltered() const
{
    return m_nFilterKind == filterRegressionTrend && m_nFilterWidth > 1;
}

BOOL CDataFilter::IsFilterShown() const
{
    return IsFiltered();
}

void CDataFilter::AssignFilter(const CDataFilter& other)
{
    Assign(other);
    m_ID = other.m_ID;
    m_nFilterKind = other.m_nFilterKind;
    m_nFilterWidth = other.m_nFilterWidth;
}

double CDataFilter::GetAt(int i) const
{
    // A window of one sample - or of none - is the raw series.
    if (m_nFilterKind == filterOff || m_nFilterWidth <= 1)
        return RawAt(i);
    const int half = m_nFilterWidth / 2;
    switch (m_nFilterKind) {
    case filterMean: return WindowMean(i, half);
    case filterMedian: return WindowMedian(i, half);
    case filterRegression:
    case filterRegressionTrend: return WindowRegression(i, half);
    default: return 0.0;
    }
}

int CDataFilter::WindowIndex(int i, int j) const
{
    return std::max(std::min(i + j, m_nWritePos), 0);
}

double CDataFilter::WindowMean(int i, int half) const
{
    // j runs over -half .. +half: an even width takes one sample more.
    double sum = 0.0;
    for (int j = -half; j <= half; ++j)
        sum += RawAt(WindowIndex(i, j));
    return static_cast<float>(sum / (2 * half + 1));
}

double CDataFilter::WindowMedian(int i, int half) const
{
    std::vector<double> window;
    window.reserve(static_cast<size_t>(m_nFilterWidth));
    const bool integers = m_nValueType == typeShort || m_nValueType == typeLong;
    for (int j = -half; j <= half && static_cast<int>(window.size()) < m_nFilterWidth; ++j) {
        const double v = RawAt(WindowIndex(i, j));
        // Real values are compared in single precision; integers as they are.
        window.push_back(integers ? v : static_cast<double>(static_cast<float>(v)));
    }
    // For an even width the upper of the two middle values.
    std::nth_element(window.begin(), window.begin() + half, window.end());
    return window[static_cast<size_t>(half)];
}

double CDataFilter::WindowRegression(int i, int half) const
{
    CRegression regression;
    regression.Reset();
    double sum = 0.0;
    for (int j = -half; j <= half; ++j) {
        const int k = WindowIndex(i, j);
        const double y = RawAt(k);
        regression.AddPoint(k * m_dDX + m_dX0, y);
        sum += y;
    }
    const int k0 = WindowIndex(i, 0);
    if (!regression.Calculate() || regression.IsVertical()) {
        // No line through the window (one x only, or no trend to steer the
        // fit): its least-squares level is the mean.
        return sum / (2 * half + 1);
    }
    return regression.GetSlope() * (k0 * m_dDX + m_dX0) + regression.GetIntercept();
}
