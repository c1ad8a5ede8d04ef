#include "database/traybarcode.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace kestrun::tray {

bool ReadWholeNumber(const CString& text, bool bSigned, std::int64_t& value)
{
    const char* begin = text.GetString();
    const char* digits = (bSigned && (*begin == '-' || *begin == '+')) ? begin + 1 : begin;
    if (*digits == '\0')
        return false;
    for (const char* p = digits; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9')
            return false;
    }
    errno = 0;
    const long long parsed = std::strtoll(begin, nullptr, 10);
    if (errno == ERANGE)
        return false;
    value = parsed;
    return true;
}

const std::vector<CString>& BuiltInTrayTypes()
{
    static const std::vector<CString> types{"72", "128", "264", "480"};
    return types;
}

CBarcodeRules::CBarcodeRules(std::int64_t nMin, std::int64_t nMax) : m_nMin(nMin), m_nMax(nMax) {}

EBarcodeKind CBarcodeRules::Classify(const CString& text) const
{
    if (std::find(m_profileCodes.begin(), m_profileCodes.end(), text) != m_profileCodes.end())
        return EBarcodeKind::profile;
    if (std::find(m_trayTypes.begin(), m_trayTypes.end(), text) != m_trayTypes.end())
        return EBarcodeKind::tray;
    if (BatchOf(text) != 0)
        return EBarcodeKind::batch;
    std::int64_t number = 0;
    if (ReadWholeNumber(text, false, number) && number >= m_nMin && number <= m_nMax)
        return EBarcodeKind::sample;
    return EBarcodeKind::invalid;
}

int CBarcodeRules::BatchOf(const CString& text)
{
    std::int64_t number = 0;
    if (!ReadWholeNumber(text, false, number) || number < 1 || number > kMaxBatch)
        return 0;
    return static_cast<int>(number);
}

CString CBarcodeRules::ProfileNameOf(const CString& code)
{
    CString name = code;
    name.Replace("/", "_");
    return name;
}

} // namespace kestrun::tray
