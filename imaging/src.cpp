#include "imaging/src.h"

#include "platform/core/exceptions.h"
#include "platform/ui/doctemplate.h"

IMPLEMENT_DYNAMIC(CSRC, CObject)

CSRC::CSRC()
{
    m_owned.fill(TRUE);
}

CSRC::~CSRC()
{
    for (size_t i = 0; i < m_templates.size(); ++i) {
        if (m_owned[i])
            delete m_templates[i];
    }
}

size_t CSRC::IndexOf(int nSlot)
{
    if (nSlot < 1 || nSlot > kSlotCount)
        AfxThrowInvalidArgException();
    return static_cast<size_t>(nSlot - 1);
}

CMultiDocTemplate* CSRC::GetTemplate(int nSlot) const
{
    if (nSlot < 1 || nSlot > kSlotCount)
        return nullptr;
    return m_templates[static_cast<size_t>(nSlot - 1)];
}

void CSRC::SetTemplate(int nSlot, CMultiDocTemplate* pTemplate, BOOL bOwned)
{
    const size_t i = IndexOf(nSlot);
    if (m_templates[i] != pTemplate && m_owned[i])
        delete m_templates[i];
    m_templates[i] = pTemplate;
    m_owned[i] = bOwned;
}

BOOL CSRC::IsOwned(int nSlot) const
{
    return m_owned[IndexOf(nSlot)];
}

void CSRC::SetOwned(int nSlot, BOOL bOwned)
{
    m_owned[IndexOf(nSlot)] = bOwned;
}
