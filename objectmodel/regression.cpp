#include "objectmodel/regression.h"

#include <cfloat>
#include <cmath>

IMPLEMENT_DYNAMIC(CRegression, CObject)

namespace {

// Centred sums come from differences of large running sums; what is left of
// them below this share of the raw sums is rounding, not spread.
constexpr double kCancellation = 64.0 * DBL_EPSILON;

} // namespace

void CRegression::Reset()
{
    m_nCount = 0;
    m_dSumX = m_dSumY = m_dSumXX = m_dSumYY = m_dSumXY = 0.0;
    ClearResult();
}

void CRegression::ClearResult()
{
    m_dSlope = 0.0;
    m_dScaledSlope = 0.0;
    m_dIntercept = 0.0;
    m_bVertical = 0;
}

void CRegression::AddPoint(double x, double y)
{
    m_dSumX += x;
    m_dSumY += y;
    m_dSumXX += x * x;
    m_dSumYY += y * y;
    m_dSumXY += x * y;
    if (m_nCount == 0) {
        m_dMinX = m_dMaxX = x;
        m_dMinY = m_dMaxY = y;
    } else {
        if (x < m_dMinX)
            m_dMinX = x;
        if (x > m_dMaxX)
            m_dMaxX = x;
        if (y < m_dMinY)
            m_dMinY = y;
        if (y > m_dMaxY)
            m_dMaxY = y;
    }
    ++m_nCount;
}

bool CRegression::Calculate()
{
    ClearResult();
    if (m_nCount <= 0)
        return false;

    const double n = m_nCount;
    double sxy = m_dSumXY - m_dSumX * m_dSumY / n;
    double sxx = m_dSumXX - m_dSumX * m_dSumX / n;
    double syy = m_dSumYY - m_dSumY * m_dSumY / n;
    if (sxx <= kCancellation * m_dSumXX)
        sxx = 0.0;
    if (syy <= kCancellation * m_dSumYY)
        syy = 0.0;
    if (std::fabs(sxy) <= kCancellation * std::sqrt(m_dSumXX * m_dSumYY))
        sxy = 0.0;

    if (sxx == 0.0) {
        m_bVertical = 1;
        m_dSlope = DBL_MAX;
        m_dIntercept = 0.0;
        return true;
    }
    if (syy <= sxx) {
        m_dSlope = sxy / sxx;
    } else {
        // Regress x on y; without correlation that line has no slope in y.
        if (sxy == 0.0)
            return false;
        m_dSlope = syy / sxy;
    }
    m_dIntercept = m_dSumY / n - (m_dSumX / n) * m_dSlope;
    const double yRange = m_dMaxY - m_dMinY;
    m_dScaledSlope = yRange > 0.0 ? m_dSlope * (m_dMaxX - m_dMinX) / yRange : m_dSlope;
    return true;
}
