#include "analysis/bvsettings.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"

IMPLEMENT_SERIAL(CBVSettings, CObject, 1)

CBVSettings::CBVSettings(const CBVSettings& other) : CObject(other)
{
    AssignAll(other);
}

CBVSettings& CBVSettings::operator=(const CBVSettings& other)
{
    m_SegThres.Copy(other.m_SegThres);
    m_FormThres.Copy(other.m_FormThres);
    m_Calibration = other.m_Calibration;
    m_ObjectFilter.Copy(other.m_ObjectFilter);
    m_Perspective.CopyGeometry(other.m_Perspective);
    return *this;
}

void CBVSettings::AssignAll(const CBVSettings& other)
{
    m_SegThres = other.m_SegThres;
    m_FormThres = other.m_FormThres;
    m_Calibration = other.m_Calibration;
    m_ObjectFilter = other.m_ObjectFilter;
    m_ChannelChooser = other.m_ChannelChooser;
    m_Perspective = other.m_Perspective;
}

void CBVSettings::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode(RUNTIME_CLASS(CBVSettings)->m_lpszClassName) == nullptr)
        return;
    if (CXMLArchiveNode* node = xml.GetCurrentNode())
        node->SerializeObject("SegThres", m_SegThres);
    if (CXMLArchiveNode* node = xml.GetCurrentNode())
        node->SerializeObject("FormThres", m_FormThres);
    if (CXMLArchiveNode* node = xml.GetCurrentNode())
        node->SerializeObject("Calibration", m_Calibration);
    if (CXMLArchiveNode* node = xml.GetCurrentNode())
        node->SerializeObject("ObjectFilter", m_ObjectFilter);
    if (CXMLArchiveNode* node = xml.GetCurrentNode())
        node->SerializeObject("CChannelChooserParas", m_ChannelChooser);
    if (CXMLArchiveNode* node = xml.GetCurrentNode())
        node->SerializeObject("Perspective", m_Perspective);
    xml.GetCurrentNode()->EndNode();
}
