#include "analysis/aoi.h"

IMPLEMENT_SERIAL(CAOI2, CAOI, VERSIONABLE_SCHEMA | CAOI::storeSchema)

CAOI2::CAOI2() : CAOI(typeRectangle) {}

CAOI2::CAOI2(const RECT& rect) : CAOI(typeRectangle)
{
    m_nLeft = rect.left;
    m_nTop = rect.top;
    m_nWidth = rect.right - rect.left;
    m_nHeight = rect.bottom - rect.top;
}

CAOI2::CAOI2(const CAOI2& other) : CAOI(other.m_nType)
{
    CAOI::CopyFrom(other);
}

CAOI2& CAOI2::operator=(const CAOI2& other)
{
    CAOI::CopyFrom(other);
    return *this;
}

int CAOI2::GetRowLeft(int) const
{
    return m_nLeft;
}

int CAOI2::GetRowRight(int) const
{
    return m_nLeft + m_nWidth - 1;
}
