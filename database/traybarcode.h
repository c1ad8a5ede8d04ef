#pragma once
// What a barcode entered in the tray form stands for. The texts are tested
// in a fixed order: a profile code, a tray type, a batch (1 to 4), then a
// sample barcode inside the configured range. A sample barcode is digits
// only, so that names made from it stay plain file names.

#include "platform/core/cstring.h"

#include <cstdint>
#include <vector>

namespace kestrun::tray {

enum class EBarcodeKind
{
    profile,
    tray,
    batch,
    sample,
    invalid,
};

inline constexpr int kMaxBatch = 4;

// The tray types a barcode can choose; also the tray chooser's list when
// the settings name none.
const std::vector<CString>& BuiltInTrayTypes();

class CBarcodeRules
{
public:
    CBarcodeRules(std::int64_t nMin, std::int64_t nMax);

    EBarcodeKind Classify(const CString& text) const;
    // The batch a batch barcode selects; 0 for any other text.
    static int BatchOf(const CString& text);
    // "30/20" selects the profile "30_20".
    static CString ProfileNameOf(const CString& code);

    const std::vector<CString>& ProfileCodes() const { return m_profileCodes; }
    const std::vector<CString>& TrayTypes() const { return m_trayTypes; }
    std::int64_t Min() const { return m_nMin; }
    std::int64_t Max() const { return m_nMax; }

private:
    std::int64_t m_nMin;
    std::int64_t m_nMax;
    std::vector<CString> m_profileCodes{"30/20", "60/40", "50/20", "50/30", "55/35"};
    std::vector<CString> m_trayTypes{BuiltInTrayTypes()};
};

// A whole decimal number that fits a signed 64-bit number: digits only,
// after a sign when bSigned.
bool ReadWholeNumber(const CString& text, bool bSigned, std::int64_t& value);

} // namespace kestrun::tray
