#include "analysis/classvector.h"

#include "analysis/inivalues.h"
#include "objectmodel/ludecomp.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"

#include <optional>

IMPLEMENT_SERIAL(CClassVector, CObject, 1)

CClassVector::CClassVector()
{
    m_Min.m_fArea = 1.0f;
    m_Max.m_fArea = 500000.0f;
    m_Min.m_fFormFactor = 1.0f;
    m_Max.m_fFormFactor = 5.0f;
    m_Min.m_fLength = 0.1f;
    m_Max.m_fLength = 100.0f;
    m_Min.m_fWidth = 0.1f;
    m_Max.m_fWidth = 100.0f;
    m_Min.m_MeanColor = 0;
    m_Max.m_MeanColor = 0xFFFFFF;
    m_Min.m_dHomogeneity = 0.0;
    m_Max.m_dHomogeneity = 1.0;
    m_Min.m_dConvexity = 0.0;
    m_Max.m_dConvexity = 1.0;
    m_Min.m_fCurvature = 0.0f;
    m_Max.m_fCurvature = 360.0f;
    m_Min.m_fNucleusRatio = 0.0f;
    m_Max.m_fNucleusRatio = 1.0f;
    m_Min.m_wNuclei = 0;
    m_Max.m_wNuclei = 3;
}

void CClassVector::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode(RUNTIME_CLASS(CClassVector)->m_lpszClassName) == nullptr)
        return;
    if (CXMLArchiveNode* node = xml.GetCurrentNode()) {
        node->SerializeUInt("Filter", m_Filter);
        node->SerializeUInt("MinFilter", m_Min.m_dwFeatureFlags);
        node->SerializeUInt("MaxFilter", m_Max.m_dwFeatureFlags);
        node->SerializeFloat("MinArea", m_Min.m_fArea);
        node->SerializeFloat("MaxArea", m_Max.m_fArea);
        node->SerializeFloat("MinFF", m_Min.m_fFormFactor);
        node->SerializeFloat("MaxFF", m_Max.m_fFormFactor);
        node->SerializeFloat("MinLength", m_Min.m_fLength);
        node->SerializeFloat("MaxLength", m_Max.m_fLength);
        node->SerializeFloat("MinWidth", m_Min.m_fWidth);
        node->SerializeFloat("MaxWidth", m_Max.m_fWidth);
        node->SerializeUInt("MinMeanColor", m_Min.m_MeanColor);
        node->SerializeUInt("MaxMeanColor", m_Max.m_MeanColor);
        node->SerializeDouble("MinHomogenity", m_Min.m_dHomogeneity);
        node->SerializeDouble("MaxHomogenity", m_Max.m_dHomogeneity);
        node->SerializeDouble("MinConvexity", m_Min.m_dConvexity);
        node->SerializeDouble("MaxConvexity", m_Max.m_dConvexity);
        node->SerializeFloat("MinCurvature", m_Min.m_fCurvature);
        node->SerializeFloat("MaxCurvature", m_Max.m_fCurvature);
        node->SerializeFloat("MinN_C", m_Min.m_fNucleusRatio);
        node->SerializeFloat("MaxN_C", m_Max.m_fNucleusRatio);
        node->SerializeWord("MinAnz.Nuclei", m_Min.m_wNuclei);
        node->SerializeWord("MaxAnz.Nuclei", m_Max.m_wNuclei);
        node->SerializeFloat("MinAreaHoles", m_Min.m_fHoleArea);
        node->SerializeFloat("MaxAreaHoles", m_Max.m_fHoleArea);
    }
    xml.GetCurrentNode()->EndNode();
}

void CClassVector::Copy(const CClassVector& other)
{
    m_Min.Copy(other.m_Min);
    m_Max.Copy(other.m_Max);
    m_Filter = other.m_Filter;
}

BOOL CClassVector::Differs(const CClassVector& other) const
{
    return m_Min.Differs(other.m_Min) || m_Max.Differs(other.m_Max) || m_Filter != other.m_Filter;
}

namespace {

// The limit of a feature with a scalar value, null for the others.
std::optional<double> ScalarLimit(const CFeature& limits, DWORD bit)
{
    switch (bit) {
    case featureArea:
        return limits.m_fArea;
    case featureFormFactor:
        return limits.m_fFormFactor;
    case featureLength:
        return limits.m_fLength;
    case featureWidth:
        return limits.m_fWidth;
    case featureHomogeneity:
        return limits.m_dHomogeneity;
    case featureConvexity:
        return limits.m_dConvexity;
    case featureCurvature:
        return limits.m_fCurvature;
    case featureHoleArea:
        return limits.m_fHoleArea;
    default:
        return std::nullopt;
    }
}

BYTE ColorByte(DWORD color, int shift)
{
    return static_cast<BYTE>((color >> shift) & 0xFF);
}

} // namespace

BOOL CClassVector::CheckRange(double value, DWORD bit) const
{
    if (const auto minimum = ScalarLimit(m_Min, bit)) {
        if ((m_Min.m_dwFeatureFlags & bit) != 0 && value < *minimum)
            return FALSE;
        if ((m_Max.m_dwFeatureFlags & bit) != 0 && value > *ScalarLimit(m_Max, bit))
            return FALSE;
    }
    if ((bit & featureColors) == 0)
        return TRUE;
    // A value that is no colour word at all fails every colour limit.
    const std::optional<int> word = kestrun::TruncateToInt(value);
    if (!word && (m_Min.m_dwFeatureFlags & featureColors) + (m_Max.m_dwFeatureFlags & featureColors) != 0)
        return FALSE;
    const DWORD color = static_cast<DWORD>(word.value_or(0));
    if ((m_Min.m_dwFeatureFlags & featureColors) != 0) {
        for (int shift = 0; shift <= 16; shift += 8) {
            if (ColorByte(color, shift) < ColorByte(m_Min.m_MeanColor, shift))
                return FALSE;
        }
    }
    if ((m_Max.m_dwFeatureFlags & featureColors) == 0)
        return TRUE;
    for (int shift = 0; shift <= 16; shift += 8) {
        if (ColorByte(color, shift) > ColorByte(m_Max.m_MeanColor, shift))
            return FALSE;
    }
    return TRUE;
}

void CClassVector::SetFlagBit(DWORD bits, int state)
{
    if (state == 1)
        m_Filter |= bits;
    else
        m_Filter &= ~bits;
}

void CClassVector::LoadIni(const CString& section, const CString& iniFile)
{
    using namespace kestrun::ini;
    for (int index = 0; index <= 1; ++index) {
        const CString marker = FormatString("Filter%d:", index);
        if (section == FormatString("Formparameter%d", index) && IsMarkerPending("Thresholds:", marker, iniFile)) {
            ReadAppProfile(index);
            Write("Thresholds:", marker, "-1", iniFile);
            return;
        }
    }
    ReadUInt(section, "Filter", iniFile, m_Filter);
    ReadUInt(section, "MinFilter", iniFile, m_Min.m_dwFeatureFlags);
    ReadUInt(section, "MaxFilter", iniFile, m_Max.m_dwFeatureFlags);
    ReadFloat(section, "MinArea", iniFile, m_Min.m_fArea);
    ReadFloat(section, "MaxArea", iniFile, m_Max.m_fArea);
    ReadFloat(section, "MinFF", iniFile, m_Min.m_fFormFactor);
    ReadFloat(section, "MaxFF", iniFile, m_Max.m_fFormFactor);
    ReadFloat(section, "MinLength", iniFile, m_Min.m_fLength);
    ReadFloat(section, "MaxLength", iniFile, m_Max.m_fLength);
    ReadFloat(section, "MinWidth", iniFile, m_Min.m_fWidth);
    ReadFloat(section, "MaxWidth", iniFile, m_Max.m_fWidth);
    ReadUInt(section, "MinMeanColor", iniFile, m_Min.m_MeanColor);
    ReadUInt(section, "MaxMeanColor", iniFile, m_Max.m_MeanColor);
}

void CClassVector::SaveIni(const CString& section, const CString& iniFile) const
{
    using kestrun::ini::Write;
    Write(section, "Filter", FormatString("%d", static_cast<int>(m_Filter)), iniFile);
    Write(section, "MinFilter", FormatString("%d", static_cast<int>(m_Min.m_dwFeatureFlags)), iniFile);
    Write(section, "MaxFilter", FormatString("%d", static_cast<int>(m_Max.m_dwFeatureFlags)), iniFile);
    Write(section, "MinArea", FormatString("%f", m_Min.m_fArea), iniFile);
    Write(section, "MaxArea", FormatString("%f", m_Max.m_fArea), iniFile);
    Write(section, "MinFF", FormatString("%f", m_Min.m_fFormFactor), iniFile);
    Write(section, "MaxFF", FormatString("%f", m_Max.m_fFormFactor), iniFile);
    Write(section, "MinLength", FormatString("%f", m_Min.m_fLength), iniFile);
    Write(section, "MaxLength", FormatString("%f", m_Max.m_fLength), iniFile);
    Write(section, "MinWidth", FormatString("%f", m_Min.m_fWidth), iniFile);
    Write(section, "MaxWidth", FormatString("%f", m_Max.m_fWidth), iniFile);
    Write(section, "MinMeanColor", FormatString("%d", static_cast<int>(m_Min.m_MeanColor)), iniFile);
    Write(section, "MaxMeanColor", FormatString("%d", static_cast<int>(m_Max.m_MeanColor)), iniFile);
}

void CClassVector::ReadAppProfile(int index)
{
    using namespace kestrun::ini;
    const auto key = [index](const char* name) { return FormatString("%s%d:", name, index); };
    const CString section = "Thresholds:";
    ReadProfileUInt(section, key("Filter"), m_Filter);
    ReadProfileUInt(section, key("MinFilter"), m_Min.m_dwFeatureFlags);
    ReadProfileUInt(section, key("MaxFilter"), m_Max.m_dwFeatureFlags);
    ReadProfileFloat(section, key("MinArea"), m_Min.m_fArea);
    ReadProfileFloat(section, key("MaxArea"), m_Max.m_fArea);
    ReadProfileFloat(section, key("MinFF"), m_Min.m_fFormFactor);
    ReadProfileFloat(section, key("MaxFF"), m_Max.m_fFormFactor);
    ReadProfileFloat(section, key("MinLength"), m_Min.m_fLength);
    ReadProfileFloat(section, key("MaxLength"), m_Max.m_fLength);
    ReadProfileFloat(section, key("MinWidth"), m_Min.m_fWidth);
    ReadProfileFloat(section, key("MaxWidth"), m_Max.m_fWidth);
    ReadProfileUInt(section, key("MinMeanColor"), m_Min.m_MeanColor);
    ReadProfileUInt(section, key("MaxMeanColor"), m_Max.m_MeanColor);
    ReadProfileDouble(section, key("MinHomogenity"), m_Min.m_dHomogeneity);
    ReadProfileDouble(section, key("MaxHomogenity"), m_Max.m_dHomogeneity);
    ReadProfileDouble(section, key("MinConvexity"), m_Min.m_dConvexity);
    ReadProfileDouble(section, key("MaxConvexity"), m_Max.m_dConvexity);
    ReadProfileFloat(section, key("MinCurvature"), m_Min.m_fCurvature);
    ReadProfileFloat(section, key("MaxCurvature"), m_Max.m_fCurvature);
    ReadProfileFloat(section, key("MinN/C"), m_Min.m_fNucleusRatio);
    ReadProfileFloat(section, key("MaxN/C"), m_Max.m_fNucleusRatio);
    ReadProfileWord(section, key("MinAnz.Nuclei"), m_Min.m_wNuclei);
    ReadProfileWord(section, key("MaxAnz.Nuclei"), m_Max.m_wNuclei);
    ReadProfileFloat(section, key("MinAreaHoles"), m_Min.m_fHoleArea);
    ReadProfileFloat(section, key("MaxAreaHoles"), m_Max.m_fHoleArea);
}
