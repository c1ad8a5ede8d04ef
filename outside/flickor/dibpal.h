#pragma once
// CDIBPal: the colours a meter's face is washed with, top to bottom.

#include "platform/core/types.h"

#include <vector>

class CDIBPal
{
public:
    static constexpr int kWashColours = 64;

    CDIBPal() = default;

    // A wash from white at the top to a light grey-blue at the bottom.
    BOOL CreateWash();
    int GetCount() const { return static_cast<int>(m_colours.size()); }
    // The colour at index, clamped into the palette; white when empty.
    COLORREF GetColor(int index) const;

private:
    std::vector<COLORREF> m_colours;
};
