#pragma once
// CThresholdTestCache: the answers of a colour threshold's tests, remembered
// for one trace or fill. The tests are pure functions of the colour and an
// object's pixels repeat few colours, so each colour asks the threshold's
// virtual tests once instead of once per pixel. Invalidate before every run:
// the threshold may have changed in between.

#include "platform/core/types.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrun {

class CThresholdTestCache
{
public:
    CThresholdTestCache() : m_entries(kSlots), m_byteStamps(256, 0), m_byteBits(256, 0) {}

    void Invalidate()
    {
        if (++m_stamp == 0) {
            for (Entry& entry : m_entries)
                entry.stamp = 0;
            std::fill(m_byteStamps.begin(), m_byteStamps.end(), 0);
            m_stamp = 1;
        }
    }

    // The same for byte keys (palette indices, grey values): a direct table.
    template <class Ask>
    BYTE LookupByte(BYTE key, Ask&& ask)
    {
        if (m_byteStamps[key] != m_stamp) {
            m_byteStamps[key] = m_stamp;
            m_byteBits[key] = ask(key);
        }
        return m_byteBits[key];
    }

    // The answer bits for key (a colour word or a byte); ask (key) computes
    // them when the key is not known yet.
    template <class Ask>
    BYTE Lookup(DWORD key, Ask&& ask)
    {
        Entry& entry = m_entries[Slot(key)];
        if (entry.stamp != m_stamp || entry.key != key) {
            entry.key = key;
            entry.stamp = m_stamp;
            entry.bits = ask(key);
        }
        return entry.bits;
    }

private:
    struct Entry
    {
        DWORD key = 0;
        DWORD stamp = 0; // 0: never valid
        BYTE bits = 0;
    };

    static constexpr int kSlotBits = 10;
    static constexpr size_t kSlots = size_t{1} << kSlotBits;

    static size_t Slot(DWORD key) { return static_cast<size_t>((key * 0x9E3779B1u) >> (32 - kSlotBits)); }

    std::vector<Entry> m_entries;
    std::vector<DWORD> m_byteStamps;
    std::vector<BYTE> m_byteBits;
    DWORD m_stamp = 1;
};

} // namespace kestrun
