#include "analysis/objectfilter.h"

#include "analysis/inivalues.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/exceptions.h"

#include <array>

IMPLEMENT_SERIAL(CObjectFilter, CObject, 1)

namespace {

constexpr std::array<const char*, 10> kStepNames = {
    "Smooth", "SplitColorChannel", "Perspective", "Binarize", "RasterAutoThreshold",
    "Edge",   "Erode",             "Dilate",      "Vovod",    "Undistort",
};

} // namespace

CString GetFilterStepName(int id)
{
    if (id < 0 || id >= static_cast<int>(kStepNames.size()))
        return "Unknown";
    return kStepNames[static_cast<size_t>(id)];
}

int GetFilterStepId(const CString& name)
{
    for (size_t i = 0; i < kStepNames.size(); ++i) {
        if (name == kStepNames[i])
            return static_cast<int>(i);
    }
    return -1;
}

// Passes 2 to 4 start with grade 0: they smooth nothing until set.
CObjectFilter::CObjectFilter() : m_SmoothGrade{2, 3, 0, 0, 0}, m_SmoothMaxTurns{40, 10, 0, 0, 0} {}

void CObjectFilter::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode(RUNTIME_CLASS(CObjectFilter)->m_lpszClassName) == nullptr)
        return;
    if (CXMLArchiveNode* node = xml.GetCurrentNode()) {
        node->SerializeInt("Distance", m_Distance);
        node->SerializeInt("Smoothing", m_Smoothing);
        node->SerializeIntBuffer("SmoothGradeArray", m_SmoothGrade, smoothPasses);
        node->SerializeIntBuffer("SmoothMaxTurnsArray", m_SmoothMaxTurns, smoothPasses);
        node->SerializeInt("ConCutType", m_ConCutType);
        node->SerializeFloat("ConCutThres", m_ConCutThres);
        node->SerializeInt("ContourFeatureMethod", m_ContourFeatureMethod);
        node->SerializeInt("ContourFeatureFit", m_ContourFeatureFit);
        node->SerializeFloat("ContourFeatureThresLow", m_ContourFeatureThresLow);
        node->SerializeFloat("ContourFeatureThresHigh", m_ContourFeatureThresHigh);
        node->SerializeInt("ContourFeatureSegmentFilterFit", m_ContourFeatureSegmentFilterFit);
        node->SerializeFloat("ContourFeatureSegmentFilterThres", m_ContourFeatureSegmentFilterThres);
        node->SerializeInt("ContourFeatureLineFitThres", m_ContourFeatureLineFitThres);
        node->SerializeInt("CCFit", m_CCFit);
        node->SerializeFloat("ConvexThres", m_ConvexThres);
        node->SerializeFloat("ConcavThres", m_ConcavThres);
        node->SerializeFloat("SkeletonSegmentMinLength", m_SkeletonSegmentMinLength);
        node->SerializeIntArray("m_arrayFilter", m_arrayFilter);
    }
    xml.GetCurrentNode()->EndNode();
}

void CObjectFilter::Copy(const CObjectFilter& other)
{
    CArray<int, int> steps(m_arrayFilter);
    *this = other;
    m_arrayFilter.Copy(steps);
}

void CObjectFilter::LoadIni(const CString& section, const CString& iniFile)
{
    using namespace kestrun::ini;
    if (section == "ObjectFilter0" && IsMarkerPending("ObjFilter", "ConglomeratCutFit", iniFile)) {
        ReadAppProfile(false);
        Write("ObjFilter", "ConglomeratCutFit", "-1", iniFile);
        return;
    }
    if (section == "ObjectFilter1" && IsMarkerPending("ObjFilter", "ConglomeratCutFitMorph", iniFile)) {
        ReadAppProfile(true);
        Write("ObjFilter", "ConglomeratCutFitMorph", "-1", iniFile);
        return;
    }
    ReadInt(section, "Smooth", iniFile, m_Smoothing);
    for (int i = 0; i < smoothPasses; ++i)
        ReadInt(section, FormatString("Smooth_Grade%d", i), iniFile, m_SmoothGrade[i]);
    for (int i = 0; i < smoothPasses; ++i)
        ReadInt(section, FormatString("Smooth_MaxTurns%d", i), iniFile, m_SmoothMaxTurns[i]);
    ReadFloat(section, "ConglomeratCutThres", iniFile, m_ConCutThres);
    ReadInt(section, "ConglomeratCutType", iniFile, m_ConCutType);
    ReadInt(section, "RegWidthCurv", iniFile, m_ContourFeatureFit);
    ReadInt(section, "RegWidthCC", iniFile, m_CCFit);
    ReadFloat(section, "ThresConvex", iniFile, m_ConvexThres);
    ReadFloat(section, "ThresConcav", iniFile, m_ConcavThres);
    ReadInt(section, "Distance", iniFile, m_Distance);
}

void CObjectFilter::ReadAppProfile(bool morph)
{
    using namespace kestrun::ini;
    if (morph) {
        ReadProfileFloat("ObjFilter", "ConglomeratCutThresMorph", m_ConCutThres);
        ReadProfileInt("ObjFilter", "ConglomeratCutTypeMorph", m_ConCutType);
        return;
    }
    ReadProfileInt("ObjFilter", "Smooth", m_Smoothing);
    for (int i = 0; i < smoothPasses; ++i)
        ReadProfileInt("CellObjFilter", FormatString("Smooth_Grade%d", i), m_SmoothGrade[i]);
    for (int i = 0; i < smoothPasses; ++i)
        ReadProfileInt("CellObjFilter", FormatString("Smooth_MaxTurns%d", i), m_SmoothMaxTurns[i]);
    ReadProfileFloat("ObjFilter", "ConglomeratCutThres", m_ConCutThres);
    ReadProfileInt("ObjFilter", "ConglomeratCutType", m_ConCutType);
    ReadProfileInt("Curvature", "RegWidthCurv", m_ContourFeatureFit);
    ReadProfileInt("RegWidthCC", "RegWidthCC", m_CCFit);
    ReadProfileFloat("Convex", "ThresConvex", m_ConvexThres);
    ReadProfileFloat("Concav", "ThresConcav", m_ConcavThres);
    ReadProfileInt("EllipseFit", "Distance", m_Distance);
}

int CObjectFilter::GetFilter(int index) const
{
    if (index < 0 || index >= GetFilterCount())
        AfxThrowInvalidArgException();
    return m_arrayFilter[index];
}
