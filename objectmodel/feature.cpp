#include "objectmodel/feature.h"

#include "platform/core/exceptions.h"

IMPLEMENT_SERIAL(CFeature, CObject, VERSIONABLE_SCHEMA | 2)

namespace {

void SetBits(DWORD& word, DWORD mask, int on)
{
    if (on == 1)
        word |= mask;
    else
        word &= ~mask;
}

} // namespace

void CFeature::SetFeatureFlag(DWORD mask, int on)
{
    SetBits(m_dwFeatureFlags, mask, on);
}

void CFeature::SetFlag(DWORD mask, int on)
{
    SetBits(m_dwSelectionFlags, mask, on);
}

CFeature& CFeature::Copy(const CFeature& other)
{
    m_dwFeatureFlags = other.m_dwFeatureFlags;
    m_dwSelectionFlags = other.m_dwSelectionFlags;
    m_fArea = other.m_fArea;
    m_fFormFactor = other.m_fFormFactor;
    m_fLength = other.m_fLength;
    m_fWidth = other.m_fWidth;
    m_MeanColor = other.m_MeanColor;
    m_dHomogeneity = other.m_dHomogeneity;
    m_dConvexity = other.m_dConvexity;
    m_fCurvature = other.m_fCurvature;
    m_fNucleusRatio = other.m_fNucleusRatio;
    m_wNuclei = other.m_wNuclei;
    m_dValueB = other.m_dValueB;
    m_dValueC = other.m_dValueC;
    m_dValueD = other.m_dValueD;
    m_fHoleArea = other.m_fHoleArea;
    return *this;
}

BOOL CFeature::Differs(const CFeature& other) const
{
    const bool same = m_dwFeatureFlags == other.m_dwFeatureFlags && m_dwSelectionFlags == other.m_dwSelectionFlags &&
                      m_fArea == other.m_fArea && m_fFormFactor == other.m_fFormFactor && m_fLength == other.m_fLength &&
                      m_fWidth == other.m_fWidth && m_MeanColor == other.m_MeanColor &&
                      m_dHomogeneity == other.m_dHomogeneity && m_dConvexity == other.m_dConvexity &&
                      m_fCurvature == other.m_fCurvature && m_fNucleusRatio == other.m_fNucleusRatio &&
                      m_wNuclei == other.m_wNuclei && m_dValueB == other.m_dValueB && m_dValueC == other.m_dValueC &&
                      m_dValueD == other.m_dValueD && m_fHoleArea == other.m_fHoleArea;
    return same ? FALSE : TRUE;
}

void CFeature::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CFeature));
        ar << m_dwFeatureFlags << m_fArea << m_fFormFactor << m_fLength << m_fWidth << m_MeanColor << m_dHomogeneity
           << m_dConvexity << m_fCurvature << m_fNucleusRatio << m_wNuclei << m_dValueB << m_dValueC << m_dValueD
           << m_fHoleArea;
        return;
    }

    UINT schema = 0;
    ar.ReadClass(RUNTIME_CLASS(CFeature), &schema);
    // Only the two layouts we know: reading another would misplace every
    // value that follows in the file.
    if (schema < 1 || schema > 2)
        AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);

    CFeature loaded(*this);
    ar >> loaded.m_dwFeatureFlags >> loaded.m_fArea >> loaded.m_fFormFactor >> loaded.m_fLength >> loaded.m_fWidth >>
        loaded.m_MeanColor >> loaded.m_dHomogeneity >> loaded.m_dConvexity >> loaded.m_fCurvature >>
        loaded.m_fNucleusRatio >> loaded.m_wNuclei >> loaded.m_dValueB >> loaded.m_dValueC >> loaded.m_dValueD;
    if (schema > 1)
        ar >> loaded.m_fHoleArea;
    Copy(loaded);
}
