#include "analysis/markjournal.h"

#include "platform/core/exceptions.h"

#include <cstring>

namespace kestrun {

CMarkJournal::CMarkJournal(CDIB& page) : m_pixels(page.GetMat())
{
    const int bits = page.GetBitCount();
    if (!page.IsValid() || (bits != 8 && bits != 24))
        AfxThrowInvalidArgException();
    m_bytesPerPixel = bits / 8;
}

CMarkJournal::~CMarkJournal()
{
    Restore();
}

void CMarkJournal::Record(const CRPointArray& points)
{
    const auto width = static_cast<unsigned>(m_pixels.cols);
    const auto height = static_cast<unsigned>(m_pixels.rows);
    const size_t stride = m_pixels.step[0];
    for (const POINT& p : points) {
        if (static_cast<unsigned>(p.x) >= width || static_cast<unsigned>(p.y) >= height)
            continue;
        const size_t offset = static_cast<size_t>(p.y) * stride + static_cast<size_t>(p.x) * m_bytesPerPixel;
        DWORD bytes = 0;
        std::memcpy(&bytes, m_pixels.data + offset, static_cast<size_t>(m_bytesPerPixel));
        m_entries.push_back(sEntry{offset, bytes});
    }
}

void CMarkJournal::Restore()
{
    // A pixel noted twice gets the bytes of its first note.
    for (auto entry = m_entries.rbegin(); entry != m_entries.rend(); ++entry)
        std::memcpy(m_pixels.data + entry->offset, &entry->bytes, static_cast<size_t>(m_bytesPerPixel));
    m_entries.clear();
}

} // namespace kestrun
