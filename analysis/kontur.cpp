#include "analysis/kontur.h"

#include "analysis/segthres.h"

IMPLEMENT_DYNAMIC(CKontur, CSegObj)

void CKontur::GetPointColumnTitles(CStringArray& titles) const
{
    titles.RemoveAll();
    for (const char* title : {"Index", "PosX", "PosY", "ChainCode"})
        titles.Add(title);
}

double CKontur::GetArea() const
{
    const double factor = CBaseObj::SystemCalibration.m_dFactor;
    const double step = m_nStepWidth;
    return m_nArea * step * step * factor * factor;
}

BOOL CKontur::IsTraceGrey(BYTE grey) const
{
    const CSegThres& threshold = BoundThreshold();
    if (m_nTestSelector == testThresholdOnly || m_pMarkMask)
        return threshold.IsObjectGrey(grey);
    return threshold.IsMarkGrey(grey) || threshold.IsObjectGrey(grey);
}

BOOL CKontur::IsTraceColor(COLORREF color) const
{
    const CSegThres& threshold = BoundThreshold();
    if (m_nTestSelector == testThresholdOnly || m_pMarkMask)
        return threshold.IsObjectColor(color);
    return threshold.IsMarkColor(color) || threshold.IsObjectColor(color);
}
