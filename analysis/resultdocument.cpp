#include "analysis/resultdocument.h"

#include "platform/core/exceptions.h"

void CResultObjectList::AddObject(std::unique_ptr<CBaseObj> object)
{
    if (object)
        m_Objects.push_back(std::move(object));
}

CBaseObj* CResultObjectList::GetObjectAt(int index) const
{
    if (index < 0 || index >= GetObjectCount())
        AfxThrowInvalidArgException();
    return m_Objects[static_cast<size_t>(index)].get();
}
