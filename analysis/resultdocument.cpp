#include "analysis/resultdocument.h"

#include "platform/core/exceptions.h"

#include <utility>

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

std::unique_ptr<CBaseObj> CResultObjectList::ReplaceObjectAt(int index, std::unique_ptr<CBaseObj> object)
{
    if (!object)
        AfxThrowInvalidArgException();
    GetObjectAt(index);
    return std::exchange(m_Objects[static_cast<size_t>(index)], std::move(object));
}

std::unique_ptr<CBaseObj> CResultObjectList::RemoveObjectAt(int index)
{
    GetObjectAt(index);
    const auto at = m_Objects.begin() + index;
    std::unique_ptr<CBaseObj> removed = std::move(*at);
    m_Objects.erase(at);
    return removed;
}
