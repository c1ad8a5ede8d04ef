#include "objectmodel/chain.h"

IMPLEMENT_DYNAMIC(CChain, CByteArray)

CChain::CChain(const CChain& other) : CByteArray(other), m_nKind(other.m_nKind), m_nStartX(other.m_nStartX), m_nStartY(other.m_nStartY)
{
}

CChain& CChain::operator=(const CChain& other)
{
    Copy(other);
    return *this;
}

void CChain::Copy(const CChain& other)
{
    if (&other == this)
        return;
    CByteArray::Copy(other);
    m_nStartX = other.m_nStartX;
    m_nStartY = other.m_nStartY;
}

void CChain::CopyHead(const CChain& other, INT_PTR n)
{
    if (n < 0 || n > other.GetSize())
        AfxThrowInvalidArgException();
    if (&other == this) {
        SetSize(n);
        return;
    }
    SetSize(n);
    for (INT_PTR i = 0; i < n; ++i)
        SetAt(i, other.GetAt(i));
    m_nStartX = other.m_nStartX;
    m_nStartY = other.m_nStartY;
}
