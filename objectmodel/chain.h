#pragma once
// CChain: a Freeman chain code, one direction byte per step from a start
// pixel to the next neighbour. The kind tells the neighbourhood (1 for the
// 8-direction chains of CChain8) and is never copied between chains.

#include "platform/core/arrays.h"
#include "platform/core/geometry.h"

#include <utility>

class CChain : public CByteArray
{
    DECLARE_DYNAMIC(CChain)

public:
    CChain() = default;
    CChain(const CChain& other);
    CChain& operator=(const CChain& other);
    ~CChain() override = default;

    // The codes and the start point of other.
    void Copy(const CChain& other);
    // The first n codes of other and its start point; n outside
    // 0 .. other's size raises CInvalidArgException.
    void CopyHead(const CChain& other, INT_PTR n);
    // Exchanges the codes and the start points (not the kinds).
    void Swap(CChain& other) noexcept
    {
        CByteArray::Swap(other);
        std::swap(m_nStartX, other.m_nStartX);
        std::swap(m_nStartY, other.m_nStartY);
    }

    CPoint GetStartPoint() const { return CPoint(m_nStartX, m_nStartY); }
    void SetStartPoint(int x, int y)
    {
        m_nStartX = x;
        m_nStartY = y;
    }

    LONG m_nKind = 0;
    LONG m_nStartX = 0;
    LONG m_nStartY = 0;
};
