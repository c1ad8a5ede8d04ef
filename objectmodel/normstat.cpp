#include "objectmodel/normstat.h"

#include "platform/core/archive.h"

#include <cfloat>
#include <cmath>

IMPLEMENT_SERIAL(CNormStat, CObject, VERSIONABLE_SCHEMA | 1)

namespace {

// Half the distance of the two prior samples per unit of range: a standard
// deviation of (hi - lo) / 6 to about eight digits. Stored priors hold
// variances made with exactly this value.
constexpr double kRangeDivisor = 8.4852813446908;

} // namespace

CNormStat::CNormStat()
{
    Reset();
}

CNormStat::CNormStat(double expectedMin, double expectedMax)
{
    Reset();
    SetRange(expectedMin, expectedMax);
}

int CNormStat::Reset()
{
    m_N = 0;
    m_Sum = 0.0;
    m_SumSquares = 0.0;
    m_SumDiffSquares = 0.0;
    m_Mean = 0.0;
    m_Variance = 0.0;
    m_Min = DBL_MAX;
    m_PosMin = 0;
    m_Max = -DBL_MAX;
    m_PosMax = 0;
    m_Calculation = FALSE;
    return 0;
}

void CNormStat::AddValue(double value, int weight)
{
    if (m_N == 0) {
        m_Min = value;
        m_Max = value;
    } else {
        if (value < m_Min)
            m_Min = value;
        if (value > m_Max)
            m_Max = value;
    }
    m_N += weight;
    m_Sum += weight * value;
    m_SumSquares += value * value * weight;
    // On ties the latest value's position wins.
    if (value == m_Min)
        m_PosMin = m_N - 1;
    if (value == m_Max)
        m_PosMax = m_N - 1;
    m_Calculation = FALSE;
}

int CNormStat::Finish()
{
    m_Calculation = TRUE;
    if (m_N == 0) {
        m_Mean = 0.0;
        m_Variance = 0.0;
        return m_N;
    }
    m_Mean = m_Sum / m_N;
    m_SumDiffSquares = std::fabs(m_SumSquares - m_Sum * m_Sum / m_N);
    m_Variance = m_N > 1 ? m_SumDiffSquares / (m_N - 1) : m_SumDiffSquares;
    return m_N > 1 ? m_N - 1 : m_N;
}

void CNormStat::CalcRange()
{
    const double lo = m_Min;
    const double hi = m_Max;
    // A range symmetric about 0 (or none) sets nothing but the extremes.
    if (lo + hi != 0.0) {
        Reset();
        const double d = (hi - lo) / kRangeDivisor;
        AddValue((lo + hi) * 0.5 - d, 1);
        AddValue((lo + hi) * 0.5 + d, 1);
        Finish();
    }
    m_Min = lo;
    m_Max = hi;
}

void CNormStat::SetRange(double expectedMin, double expectedMax)
{
    m_Min = expectedMin;
    m_Max = expectedMax;
    CalcRange();
}

void CNormStat::Serialize(CArchive& ar)
{
    ar.SerializeClass(RUNTIME_CLASS(CNormStat));
    if (ar.IsStoring()) {
        ar << std::int32_t{m_N} << m_Sum << m_SumSquares << m_SumDiffSquares << m_Mean << m_Variance << m_Min
           << std::int32_t{m_PosMin} << m_Max << std::int32_t{m_PosMax} << static_cast<WORD>(m_Calculation);
        return;
    }
    // Read into a copy: a short file leaves this statistic as it was.
    CNormStat read;
    WORD finished = 0;
    ar >> read.m_N >> read.m_Sum >> read.m_SumSquares >> read.m_SumDiffSquares >> read.m_Mean >> read.m_Variance >>
        read.m_Min >> read.m_PosMin >> read.m_Max >> read.m_PosMax >> finished;
    read.m_Calculation = finished;
    CNormStat::operator=(read);
}
