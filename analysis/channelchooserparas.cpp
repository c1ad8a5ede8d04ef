#include "analysis/channelchooserparas.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"

IMPLEMENT_SERIAL(CChannelChooserParas, CObject, 1)

void CChannelChooserParas::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode(RUNTIME_CLASS(CChannelChooserParas)->m_lpszClassName) == nullptr)
        return;
    if (CXMLArchiveNode* node = xml.GetCurrentNode()) {
        node->SerializeUInt("Color", m_Color);
        node->SerializeInt("Weight", m_Weight);
    }
    xml.GetCurrentNode()->EndNode();
}
