#include "analysis/perspectivetransform.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"

IMPLEMENT_SERIAL(CPerspectiveTransform, CObject, 1)

CPerspectiveTransform::CPerspectiveTransform(const CPerspectiveTransform& other)
    : CObject(other), m_FL(other.m_FL), m_FR(other.m_FR), m_BL(other.m_BL), m_BR(other.m_BR),
      m_Width(other.m_Width), m_Height(other.m_Height), m_Matrix(other.m_Matrix.clone())
{
}

CPerspectiveTransform& CPerspectiveTransform::operator=(const CPerspectiveTransform& other)
{
    if (this != &other) {
        CopyGeometry(other);
        m_Matrix = other.m_Matrix.clone();
    }
    return *this;
}

void CPerspectiveTransform::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode(RUNTIME_CLASS(CPerspectiveTransform)->m_lpszClassName) == nullptr)
        return;
    if (CXMLArchiveNode* node = xml.GetCurrentNode()) {
        node->SerializePoint("FL", m_FL);
        node->SerializePoint("FR", m_FR);
        node->SerializePoint("BL", m_BL);
        node->SerializePoint("BR", m_BR);
        node->SerializeDouble("Width", m_Width);
        node->SerializeDouble("Height", m_Height);
    }
    xml.GetCurrentNode()->EndNode();
    if (ar.IsLoading())
        ReleaseMatrix();
}

void CPerspectiveTransform::CopyGeometry(const CPerspectiveTransform& other)
{
    m_FL = other.m_FL;
    m_FR = other.m_FR;
    m_BL = other.m_BL;
    m_BR = other.m_BR;
    m_Width = other.m_Width;
    m_Height = other.m_Height;
    if (this != &other)
        ReleaseMatrix();
}
