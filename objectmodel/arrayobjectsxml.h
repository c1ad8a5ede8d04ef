#pragma once
// CArrayObjectsXML<T>: objects held by value, stored as one element per
// object named by its class. Loading rebuilds each object by its element
// name, so derived classes of T come back as what they were written as
// (and are copied into T's slot). Comments, text and elements whose class
// is unknown or not a T are skipped.

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/arrays.h"

#include <memory>

template <class T>
class CArrayObjectsXML : public CArray<T, T&>
{
public:
    // Called inside an open element, normally through SerializeObject.
    void Serialize(CArchive& ar) override
    {
        CXMLArchive& xml = CXMLArchive::FromArchive(ar);
        if (ar.IsStoring()) {
            for (m_nPosition = 0; m_nPosition < this->GetSize(); ++m_nPosition)
                this->ElementAt(m_nPosition).Serialize(ar);
            return;
        }
        this->RemoveAll();
        CXMLArchiveNode* node = xml.GetCurrentNode();
        if (node == nullptr)
            return;
        const int count = node->GetChildCount();
        for (m_nPosition = 0; m_nPosition < count; ++m_nPosition) {
            // The object's own GetChildNode takes the child at this index.
            node->SetChildIndex(m_nPosition);
            std::unique_ptr<CObject> object(
                CXMLArchive::CreateObjectByName(node->GetChildName(m_nPosition), T::GetThisClass()));
            if (object == nullptr)
                continue;
            object->Serialize(ar);
            this->Add(*static_cast<T*>(object.get()));
        }
        node->SetChildIndex(m_nPosition);
    }

    int m_nPosition = 0;
};
