#include "series/runtablerow.h"

#include "analysis/objsegments.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"

IMPLEMENT_SERIAL(CRunTableRow, CBaseObj, 1)

CRunTableRow::CRunTableRow()
{
    m_ID = kind;
}

CRunTableRow::CRunTableRow(const CStringArray& titles, const CStringArray& values)
{
    m_ID = kind;
    m_Titles.Copy(titles);
    m_Values.Copy(values);
}

void CRunTableRow::Serialize(CArchive& ar)
{
    if (!kestrun::BeginRecordElement(ar, "CRunTableRow"))
        return;
    CBaseObj::Serialize(ar);
    CXMLArchiveNode* node = CXMLArchive::FromArchive(ar).GetCurrentNode();
    node->SerializeStringArray("m_Titles", m_Titles);
    node->SerializeStringArray("m_Values", m_Values);
    kestrun::EndRecordElement(ar);
}

void CRunTableRow::GetColumnTitles(CStringArray& titles, int)
{
    titles.Copy(m_Titles);
}

CString CRunTableRow::GetColumnValues(int column)
{
    return column >= 0 && column < m_Values.GetSize() ? m_Values[column] : CString();
}
