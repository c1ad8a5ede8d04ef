#include "series/arrayxml.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/exceptions.h"

#include <utility>

CArrayXML::~CArrayXML() = default;

const CArrayXML::CEntry& CArrayXML::EntryAt(int index) const
{
    if (index < 0 || index >= GetSize())
        AfxThrowInvalidArgException();
    return m_entries[static_cast<size_t>(index)];
}

CArrayXML::CEntry& CArrayXML::EntryAt(int index)
{
    return const_cast<CEntry&>(std::as_const(*this).EntryAt(index));
}

CBaseObj* CArrayXML::GetAt(int index) const
{
    return EntryAt(index).record.get();
}

BYTE CArrayXML::GetFlag(int index) const
{
    return EntryAt(index).flag;
}

void CArrayXML::SetFlag(int index, BYTE flag)
{
    EntryAt(index).flag = flag;
}

void CArrayXML::Add(std::unique_ptr<CBaseObj> record)
{
    if (!record)
        AfxThrowInvalidArgException();
    m_entries.push_back(CEntry{std::move(record), 0});
}

std::unique_ptr<CBaseObj> CArrayXML::RemoveAt(int index)
{
    std::unique_ptr<CBaseObj> record = std::move(EntryAt(index).record);
    m_entries.erase(m_entries.begin() + index);
    return record;
}

std::unique_ptr<CBaseObj> CArrayXML::SetAt(int index, std::unique_ptr<CBaseObj> record)
{
    CEntry& entry = EntryAt(index);
    if (!record)
        AfxThrowInvalidArgException();
    std::unique_ptr<CBaseObj> old = std::exchange(entry.record, std::move(record));
    entry.flag = 0;
    return old;
}

void CArrayXML::RemoveAll()
{
    m_entries.clear();
}

void CArrayXML::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (ar.IsStoring()) {
        for (CEntry& entry : m_entries)
            entry.record->Serialize(ar);
        return;
    }
    RemoveAll();
    CXMLArchiveNode* node = xml.GetCurrentNode();
    if (node == nullptr)
        return;
    const int count = node->GetChildCount();
    for (int i = 0; i < count; ++i) {
        // The record's own GetChildNode opens the child at this index.
        node->SetChildIndex(i);
        std::unique_ptr<CObject> object(
            CXMLArchive::CreateObjectByName(node->GetChildName(i), RUNTIME_CLASS(CBaseObj)));
        if (object == nullptr)
            continue;
        object->Serialize(ar);
        Add(std::unique_ptr<CBaseObj>(static_cast<CBaseObj*>(object.release())));
    }
    node->SetChildIndex(count);
}
