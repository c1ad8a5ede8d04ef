#include "analysis/stopreaction.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"

IMPLEMENT_DYNCREATE(CStopReaction, CBaseObj)

void CStopReaction::GetColumnTitles(CStringArray& titles, int)
{
    titles.RemoveAll();
    for (const char* title : {"Index", "Frames", "Angle", "Stop Index", "Stop Class"})
        titles.Add(title);
}

CString CStopReaction::GetColumnValues(int column)
{
    switch (column) {
    case 0:
        return FormatString("%d", 0);
    case 1:
        return FormatString("%d", m_nFrames);
    case 2:
        return FormatString("%d", m_nAngle);
    case 3:
        return FormatString("%d", m_nStopIndex);
    case 4:
        return m_nClass == stopLong ? "Long" : "Short";
    default:
        return {};
    }
}

void CStopReaction::SerializeItems(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode("CStopReaction") == nullptr)
        return;
    CXMLArchiveNode& node = *xml.GetCurrentNode();
    node.SerializeInt("m_nFrames", m_nFrames);
    node.SerializeInt("m_nAngle", m_nAngle);
    node.SerializeInt("m_nStopIndex", m_nStopIndex);
    node.SerializeInt("m_nClass", m_nClass);
    node.EndNode();
}
