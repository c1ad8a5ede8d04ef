#pragma once
// CModeSetting: one value a PowerShot camera offers for a property, with
// its display text. The seven enumerated properties the settings dialog
// lists are described as data: the property, its width and the text of
// each known code.

#include "platform/core/arrays.h"
#include "platform/core/cstring.h"

#include <cstdint>
#include <span>

class CModeSetting
{
public:
    CModeSetting() = default;
    CModeSetting(std::uint32_t nCode, const CString& strText) : m_nCode(nCode), m_strText(strText) {}

    std::uint32_t m_nCode = 0;
    CString m_strText;
};

using CModeSettingList = CArray<CModeSetting, const CModeSetting&>;

struct CModeText
{
    std::uint16_t nCode;
    const char* lpszText;
};

struct CModeProperty
{
    std::uint16_t nProperty;
    // 1 for an 8-bit, 2 for a 16-bit property.
    std::uint8_t nBytes;
    std::span<const CModeText> texts;
    // The text of a code not in texts; null: such codes are left out of
    // the list.
    const char* lpszOther;
};

namespace kestrun::pavick {

extern const CModeProperty kExposureModeProperty;
extern const CModeProperty kWhiteBalanceProperty;
extern const CModeProperty kIsoProperty;
extern const CModeProperty kExposureCompensationProperty;
extern const CModeProperty kMeteringProperty;
extern const CModeProperty kAFFieldProperty;
extern const CModeProperty kStrobeProperty;

// The text of a code; null when the property leaves the code out.
const char* ModeText(const CModeProperty& property, std::uint32_t nCode);

} // namespace kestrun::pavick
