#include "objectmodel/baseobj.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"

IMPLEMENT_SERIAL(CBaseObj, CObject, 1)

CCalibration CBaseObj::SystemCalibration;

void CBaseObj::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    // Always the base's own name: derived records nest this element.
    if (xml.GetChildNode("CBaseObj") == nullptr)
        return;
    if (CXMLArchiveNode* node = xml.GetCurrentNode()) {
        node->SerializeWord("m_ID", m_ID);
        node->SerializeUInt("m_Type", m_Type);
        node->SerializeWord("m_dClass", m_dClass);
        node->SerializeString("m_strClassName", m_strClassName);
        node->SerializeUInt("m_ClassColor", m_ClassColor);
    }
    xml.GetCurrentNode()->EndNode();
}

void CBaseObj::GetColumnTitles(CStringArray&, int)
{
}

CString CBaseObj::GetColumnValues(int)
{
    return {};
}

CString CBaseObj::GetColumnValuesAt(int, int)
{
    return {};
}

COleVariant CBaseObj::GetColumnVariant(int)
{
    return {};
}

COleVariant CBaseObj::GetColumnVariantAt(int, int)
{
    return {};
}

CBaseObj& CBaseObj::Copy(const CBaseObj& other)
{
    m_ID = other.m_ID;
    m_Type = other.m_Type;
    m_dClass = other.m_dClass;
    m_strClassName = other.m_strClassName;
    m_ClassColor = other.m_ClassColor;
    return *this;
}
