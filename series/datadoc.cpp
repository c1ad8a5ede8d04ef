#include "series/datadoc.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/exceptions.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CDataDoc, CDocument)

namespace {

constexpr BYTE kUnselected = 0;
constexpr BYTE kSelected = 1;

} // namespace

CDataDoc::CDataDoc() = default;

CDataDoc::~CDataDoc() = default;

void CDataDoc::AddObject(CBaseObj* pObj)
{
    m_arrayObjects.Add(std::unique_ptr<CBaseObj>(pObj));
}

void CDataDoc::AddObject(std::unique_ptr<CBaseObj> object)
{
    AddObject(object.release());
}

void CDataDoc::DeleteObject(int nIndex)
{
    m_arrayObjects.RemoveAt(nIndex);
}

int CDataDoc::DeselectObject(int nIndex)
{
    m_arrayObjects.SetFlag(nIndex, kUnselected);
    return nIndex;
}

int CDataDoc::SelectObject(int nIndex)
{
    m_arrayObjects.SetFlag(nIndex, kSelected);
    return nIndex;
}

CBaseObj* CDataDoc::RemoveObject(int nIndex)
{
    return m_arrayObjects.RemoveAt(nIndex).release();
}

int CDataDoc::GetCount() const
{
    return m_arrayObjects.GetSize();
}

CBaseObj* CDataDoc::GetAt(int nIndex) const
{
    return m_arrayObjects.GetAt(nIndex);
}

CBaseObj* CDataDoc::SetAt(int nIndex, CBaseObj* pObj)
{
    if (pObj == nullptr)
        AfxThrowInvalidArgException();
    // Checked before the new record is taken over, so a bad index leaves
    // it with the caller.
    m_arrayObjects.GetAt(nIndex);
    return m_arrayObjects.SetAt(nIndex, std::unique_ptr<CBaseObj>(pObj)).release();
}

BOOL CDataDoc::IsSelected(int nIndex) const
{
    return m_arrayObjects.GetFlag(nIndex) == kSelected;
}

int CDataDoc::CountUnselected() const
{
    int count = 0;
    for (int i = 0; i < GetCount(); ++i) {
        if (m_arrayObjects.GetFlag(i) == kUnselected)
            ++count;
    }
    return count;
}

int CDataDoc::FindNthUnselected(int n) const
{
    int seen = 0;
    for (int i = 0; i < GetCount(); ++i) {
        if (m_arrayObjects.GetFlag(i) != kSelected && seen++ == n)
            return i;
    }
    return 0;
}

CBaseObj* CDataDoc::GetUnselectedAt(int n) const
{
    int seen = 0;
    for (int i = 0; i < GetCount(); ++i) {
        if (m_arrayObjects.GetFlag(i) != kSelected && seen++ == n)
            return GetAt(i);
    }
    AfxThrowInvalidArgException();
}

int CDataDoc::CountUnselectedBefore(int n) const
{
    if (n > GetCount())
        AfxThrowInvalidArgException();
    int count = 0;
    for (int i = 0; i < n; ++i) {
        if (m_arrayObjects.GetFlag(i) == kUnselected)
            ++count;
    }
    return count;
}

int CDataDoc::GetCurrentIndex() const
{
    return std::min(m_nCurrentIndex, GetCount() - 1);
}

void CDataDoc::DeleteContents()
{
    m_arrayObjects.RemoveAll();
}

void CDataDoc::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode("CDataDoc") == nullptr)
        return;
    xml.GetCurrentNode()->SerializeObject("m_arrayObjects", m_arrayObjects);
    xml.GetCurrentNode()->EndNode();
}
