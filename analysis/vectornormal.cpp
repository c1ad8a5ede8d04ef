#include "analysis/vectornormal.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CVectorNormal, CObject, VERSIONABLE_SCHEMA | 9)

namespace {

// A feature's statistic in the class file: a known-class tag and the fields.
constexpr ULONGLONG kStoredFeatureBytes = 2 + 4 + 6 * 8 + 4 + 8 + 4 + 2;

} // namespace

CVectorNormal::CVectorNormal(int classId, const CString& name) : m_nClass(classId), m_strName(name) {}

CVectorNormal::CVectorNormal(const CVectorNormal& other) : CObject(other)
{
    *this = other;
}

CVectorNormal& CVectorNormal::operator=(const CVectorNormal& other)
{
    if (this != &other) {
        m_nClass = other.m_nClass;
        m_strName = other.m_strName;
        m_Color = other.m_Color;
        m_FeatureVector.Copy(other.m_FeatureVector);
    }
    return *this;
}

void CVectorNormal::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode(RUNTIME_CLASS(CVectorNormal)->m_lpszClassName) == nullptr)
        return;
    if (CXMLArchiveNode* node = xml.GetCurrentNode()) {
        node->SerializeInt("Class", m_nClass);
        node->SerializeString("Name", m_strName);
        node->SerializeUInt("Color", m_Color);
        node->SerializeObject("FeatureVector", m_FeatureVector);
    }
    xml.GetCurrentNode()->EndNode();
}

void CVectorNormal::SerializeBinary(CArchive& ar)
{
    CStringArray names;
    CUIntArray types;
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CVectorNormal));
        ar << std::int32_t{m_nClass} << m_strName << std::uint32_t{m_Color}
           << static_cast<std::uint32_t>(m_FeatureVector.GetSize());
        {
            const CNormFeature::CBinaryScope binary;
            for (CNormFeature& feature : m_FeatureVector) {
                feature.Serialize(ar);
                names.Add(feature.m_strName);
                types.Add(static_cast<UINT>(feature.m_nType));
            }
        }
        names.Serialize(ar);
        types.Serialize(ar);
        return;
    }

    UINT schema = 0;
    ar.ReadClass(RUNTIME_CLASS(CVectorNormal), &schema);
    if (schema <= 8)
        return;
    // Read into a copy: a damaged file leaves this class as it was.
    CVectorNormal read;
    std::uint32_t color = 0;
    std::uint32_t count = 0;
    ar >> read.m_nClass >> read.m_strName >> color >> count;
    read.m_Color = color;
    if (count > ar.BytesLeft() / kStoredFeatureBytes)
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    {
        const CNormFeature::CBinaryScope binary;
        for (std::uint32_t i = 0; i < count; ++i) {
            CNormFeature feature;
            feature.Serialize(ar);
            read.m_FeatureVector.Add(feature);
        }
    }
    names.Serialize(ar);
    types.Serialize(ar);
    const INT_PTR named = std::min({read.m_FeatureVector.GetSize(), names.GetSize(), types.GetSize()});
    for (INT_PTR i = 0; i < named; ++i) {
        read.m_FeatureVector[i].m_strName = names[i];
        read.m_FeatureVector[i].m_nType = static_cast<int>(types[i]);
    }
    *this = read;
}

int CVectorNormal::AddFeature(const CString& name, int type, double expectedMin, double expectedMax)
{
    CNormFeature feature(name, type, expectedMin, expectedMax);
    m_FeatureVector.Add(feature);
    return GetFeatureCount();
}

void CVectorNormal::RemoveFeature(int index)
{
    m_FeatureVector.RemoveAt(index);
}

int CVectorNormal::FindFeature(int type) const
{
    for (int i = 0; i < GetFeatureCount(); ++i) {
        if (m_FeatureVector.GetAt(i).m_nType == type)
            return i;
    }
    return -1;
}

CString CVectorNormal::GetFeatureName(int index) const
{
    return m_FeatureVector.GetAt(index).m_strName;
}

void CVectorNormal::SetFeatureRange(int index, double minimum, double maximum)
{
    m_FeatureVector.GetAt(index).SetRange(minimum, maximum);
}

void CVectorNormal::ResetFeatures()
{
    for (CNormFeature& feature : m_FeatureVector)
        feature.Reset();
}

bool CVectorNormal::AddSample(double value, int index)
{
    CNormFeature& feature = m_FeatureVector.GetAt(index);
    feature.AddValue(value, 1);
    feature.Finish();
    return true;
}

double CVectorNormal::GetFeatureStat(int index, int which) const
{
    const CNormFeature& feature = m_FeatureVector.GetAt(index);
    switch (which) {
    case statMin:
        return feature.GetMin();
    case statMax:
        return feature.GetMax();
    case statMean:
        return feature.GetMean();
    case statDeviation:
        return feature.GetVariance() == 0.0 ? 0.0 : std::sqrt(feature.GetVariance());
    default:
        return 0.0;
    }
}

double CVectorNormal::GetFeatureDistance(double value, int index) const
{
    const CNormFeature& feature = m_FeatureVector.GetAt(index);
    const double deviation = std::sqrt(feature.GetVariance());
    const double scale = (feature.GetVariance() == 0.0 || deviation == 0.0) ? 1e-8 : 3.0 * deviation;
    return std::fabs(value - feature.GetMean()) / scale;
}
