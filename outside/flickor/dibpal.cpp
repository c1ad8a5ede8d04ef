#include "outside/flickor/dibpal.h"

#include "platform/core/gdi.h"

#include <algorithm>

BOOL CDIBPal::CreateWash()
{
    m_colours.clear();
    m_colours.reserve(kWashColours);
    for (int i = 0; i < kWashColours; ++i) {
        const int down = i * 48 / (kWashColours - 1);
        m_colours.push_back(RGB(255 - down, 255 - down * 3 / 4, 255 - down / 3));
    }
    return TRUE;
}

COLORREF CDIBPal::GetColor(int index) const
{
    if (m_colours.empty())
        return RGB(255, 255, 255);
    return m_colours[static_cast<size_t>(std::clamp(index, 0, GetCount() - 1))];
}
