#pragma once
// C2DNormStat: the statistics entries that the image-integration dialog
// fills and reads; the statistics classes only hold them.

#include "platform/core/arrays.h"

// One entry: a position and the value gathered there.
struct sStatEntry
{
    double m_dX = 0.0;
    double m_dY = 0.0;
    double m_dValue = 0.0;
};
static_assert(sizeof(sStatEntry) == 24);

class C2DNormStat : public CObject
{
    DECLARE_DYNAMIC(C2DNormStat)
public:
    C2DNormStat() = default;

    CArray<sStatEntry, sStatEntry&> m_arrayEntries;
    // Four words whose meaning belongs to the integration dialog.
    DWORD m_dwParam[4] = {0, 0, 0, 0};
};
