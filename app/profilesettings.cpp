#include "app/profilesettings.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"

IMPLEMENT_SERIAL(CProfileSettings, CObject, 1)

void CProfileSettings::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode(RUNTIME_CLASS(CProfileSettings)->m_lpszClassName) == nullptr)
        return;
    if (CXMLArchiveNode* node = xml.GetCurrentNode()) {
        node->SerializeString("BVProfile", m_strBVProfile);
        node->SerializeString("FGProfile", m_strFGProfile);
        node->SerializeString("ROIProfile", m_strROIProfile);
        node->SerializeString("ClassesProfile", m_strClassesProfile);
        node->SerializeString("TrayvoProfile", m_strTrayvoProfile);
    }
    xml.GetCurrentNode()->EndNode();
}
