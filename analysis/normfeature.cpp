#include "analysis/normfeature.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"

IMPLEMENT_SERIAL(CNormFeature, CNormStat, 1)

CNormFeature::CNormFeature(const CString& name, int type, double expectedMin, double expectedMax)
    : CNormStat(expectedMin, expectedMax), m_strName(name), m_nType(type)
{
}

void CNormFeature::Serialize(CArchive& ar)
{
    if (s_bBinary) {
        CNormStat::Serialize(ar);
        return;
    }
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode(RUNTIME_CLASS(CNormFeature)->m_lpszClassName) == nullptr)
        return;
    if (CXMLArchiveNode* node = xml.GetCurrentNode()) {
        node->SerializeString("Name", m_strName);
        node->SerializeInt("Type", m_nType);
        node->SerializeInt("N", m_N);
        node->SerializeDouble("Sum", m_Sum);
        node->SerializeDouble("SumSquares", m_SumSquares);
        node->SerializeDouble("SumDiffSquares", m_SumDiffSquares);
        node->SerializeDouble("Mean", m_Mean);
        node->SerializeDouble("Variance", m_Variance);
        node->SerializeDouble("Min", m_Min);
        node->SerializeInt("PosMin", m_PosMin);
        node->SerializeDouble("Max", m_Max);
        node->SerializeInt("PosMax", m_PosMax);
        node->SerializeInt("Calculation", m_Calculation);
    }
    xml.GetCurrentNode()->EndNode();
}
