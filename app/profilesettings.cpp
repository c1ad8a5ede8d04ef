#include "app/profilesettings.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/paths.h"

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

const CString* CProfileSettings::FindUnsafeName() const
{
    for (const CString* name :
         {&m_strBVProfile, &m_strFGProfile, &m_strROIProfile, &m_strClassesProfile, &m_strTrayvoProfile}) {
        if (!name->IsEmpty() && !kestrun::IsPlainFileName(*name))
            return name;
    }
    return nullptr;
}

