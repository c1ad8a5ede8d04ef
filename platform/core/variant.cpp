#include "platform/core/variant.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// Day 0 of a DATE, counted from the system clock's epoch.
constexpr int kDateEpochOffset = 25569;
// 0100-01-01 to 9999-12-31, the range of a DATE.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958466.0;
constexpr long long kSecondsPerDay = 86400;

const char* typeName(VARTYPE vt)
{
    switch (vt) {
    case VT_EMPTY:
        return "an empty value";
    case VT_NULL:
        return "a null value";
    case VT_I2:
        return "a 16-bit integer";
    case VT_I4:
        return "a 32-bit integer";
    case VT_R4:
        return "a single-precision number";
    case VT_R8:
        return "a double-precision number";
    case VT_DATE:
        return "a date";
    case VT_BSTR:
        return "text";
    case VT_BOOL:
        return "a boolean";
    case VT_UI1:
        return "a byte";
    case VT_DISPATCH:
        return "an object";
    case VT_ARRAY | VT_VARIANT:
        return "an array";
    default:
        return "an unknown type";
    }
}

[[noreturn]] void throwMismatch(const COleVariant& from, VARTYPE to)
{
    throw COleException(DISP_E_TYPEMISMATCH, FormatString("Cannot convert %s \"%s\" to %s.", typeName(from.vt),
                                                          from.ToString().GetString(), typeName(to)));
}

[[noreturn]] void throwOverflow(const COleVariant& from, VARTYPE to)
{
    throw COleException(DISP_E_OVERFLOW, FormatString("%s \"%s\" does not fit %s.", typeName(from.vt),
                                                      from.ToString().GetString(), typeName(to)));
}

double roundHalfEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction < 0.5)
        return below;
    if (fraction > 0.5)
        return below + 1.0;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

template <class T>
CString numberText(T value, int precision)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, precision);
    CString text(buffer, static_cast<int>(result.ptr - buffer));
    text.Replace('e', 'E');
    return text;
}

// Reads the whole text, blanks around it allowed, as a number. A value
// beyond the range of a double becomes an infinity, a value too small zero.
bool parseNumber(const CString& text, double& value)
{
    CString trimmed(text);
    trimmed.Trim();
    std::string_view digits = trimmed.view();
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
        if (!digits.empty() && digits.front() == '-')
            return false;
    }
    const char* end = digits.data() + digits.size();
    const auto result = std::from_chars(digits.data(), end, value);
    if (result.ptr != end || digits.empty())
        return false;
    if (result.ec == std::errc::result_out_of_range) {
        long double wide = 0.0L;
        std::from_chars(digits.data(), end, wide);
        const bool huge = std::fabs(wide) > 1.0L;
        value = huge ? std::copysign(HUGE_VAL, static_cast<double>(wide)) : 0.0;
        return true;
    }
    return result.ec == std::errc() && !std::isnan(value) && !std::isinf(value);
}

CString dateText(DATE date)
{
    using namespace std::chrono;
    if (!(date >= kMinDate && date < kMaxDate))
        return numberText(date, 15);
    long long day = static_cast<long long>(date);
    long long seconds = std::llround(std::fabs(date - static_cast<double>(day)) * kSecondsPerDay);
    if (seconds == kSecondsPerDay) {
        seconds = 0;
        ++day;
    }
    const CString time = FormatString("%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    if (day == 0)
        return time;
    const year_month_day ymd{sys_days{days{day - kDateEpochOffset}}};
    CString text = FormatString("%04d-%02u-%02u", static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                                static_cast<unsigned>(ymd.day()));
    if (seconds != 0)
        text += " " + time;
    return text;
}

bool parseTime(const char* text, long long& seconds)
{
    int h = 0, m = 0, s = 0, used = 0;
    const bool withSeconds = std::sscanf(text, "%2d:%2d:%2d%n", &h, &m, &s, &used) == 3 && text[used] == '\0';
    if (!withSeconds) {
        s = 0;
        used = 0;
        if (std::sscanf(text, "%2d:%2d%n", &h, &m, &used) != 2 || text[used] != '\0')
            return false;
    }
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59)
        return false;
    seconds = h * 3600LL + m * 60LL + s;
    return true;
}

// "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS]" (or 'T' between) and "HH:MM[:SS]".
bool parseDate(const CString& text, DATE& date)
{
    using namespace std::chrono;
    CString trimmed(text);
    trimmed.Trim();
    long long seconds = 0;
    if (parseTime(trimmed, seconds)) {
        date = static_cast<double>(seconds) / kSecondsPerDay;
        return true;
    }
    int y = 0, mo = 0, d = 0, used = 0;
    if (std::sscanf(trimmed, "%4d-%2d-%2d%n", &y, &mo, &d, &used) != 3)
        return false;
    const char* rest = trimmed.GetString() + used;
    if (*rest != '\0' && ((*rest != ' ' && *rest != 'T') || !parseTime(rest + 1, seconds)))
        return false;
    const year_month_day ymd{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
    if (!ymd.ok() || y < 100)
        return false;
    const long long dayNumber = sys_days{ymd}.time_since_epoch().count() + kDateEpochOffset;
    const double time = static_cast<double>(seconds) / kSecondsPerDay;
    // Before day 0 the time of day still counts away from zero.
    date = static_cast<double>(dayNumber) + (dayNumber < 0 ? -time : time);
    return true;
}

// The value as a number; the caller has excluded text and null.
double numericValue(const COleVariant& v)
{
    switch (v.vt) {
    case VT_I2:
        return v.iVal;
    case VT_I4:
        return v.lVal;
    case VT_UI1:
        return v.bVal;
    case VT_R4:
        return v.fltVal;
    case VT_R8:
        return v.dblVal;
    case VT_DATE:
        return v.date;
    case VT_BOOL:
        return v.boolVal;
    default:
        return 0.0;
    }
}

CString textValue(const COleVariant& v)
{
    switch (v.vt) {
    case VT_I2:
        return FormatString("%d", v.iVal);
    case VT_I4:
        return FormatString("%d", static_cast<int>(v.lVal));
    case VT_UI1:
        return FormatString("%u", v.bVal);
    case VT_BOOL:
        return FormatString("%d", v.boolVal);
    case VT_R4:
        return numberText(v.fltVal, 7);
    case VT_R8:
        return numberText(v.dblVal, 15);
    case VT_DATE:
        return dateText(v.date);
    case VT_BSTR:
        return v.bstrVal;
    default:
        return CString();
    }
}

// A number converted to a numeric kind; source names the original for errors.
COleVariant fromNumber(double value, VARTYPE to, const COleVariant& source)
{
    const auto integer = [&](double lo, double hi) {
        const double rounded = roundHalfEven(value);
        if (!(rounded >= lo && rounded <= hi))
            throwOverflow(source, to);
        return rounded;
    };
    switch (to) {
    case VT_I2:
        return COleVariant(static_cast<short>(integer(-32768.0, 32767.0)));
    case VT_I4:
        return COleVariant(static_cast<LONG>(integer(-2147483648.0, 2147483647.0)));
    case VT_UI1:
        return COleVariant(static_cast<BYTE>(integer(0.0, 255.0)));
    case VT_R4:
        if (std::fabs(value) > std::numeric_limits<float>::max())
            throwOverflow(source, to);
        return COleVariant(static_cast<float>(value));
    case VT_R8:
        if (!std::isfinite(value))
            throwOverflow(source, to);
        return COleVariant(value);
    case VT_DATE:
        if (!(value >= kMinDate && value < kMaxDate))
            throwOverflow(source, to);
        return COleVariant::Date(value);
    case VT_BOOL:
        return COleVariant(static_cast<short>(value != 0.0 ? VARIANT_TRUE : VARIANT_FALSE), VT_BOOL);
    default:
        throw COleException(DISP_E_BADVARTYPE, FormatString("Cannot convert to variant type %u.", to));
    }
}

COleVariant fromText(const COleVariant& source, VARTYPE to)
{
    const CString& text = source.bstrVal;
    if (to == VT_BOOL) {
        CString word(text);
        word.Trim();
        if (word.CompareNoCase("True") == 0)
            return COleVariant(VARIANT_TRUE, VT_BOOL);
        if (word.CompareNoCase("False") == 0)
            return COleVariant(VARIANT_FALSE, VT_BOOL);
    }
    if (to == VT_DATE) {
        DATE date = 0.0;
        if (parseDate(text, date))
            return COleVariant::Date(date);
    }
    double value = 0.0;
    if (!parseNumber(text, value))
        throwMismatch(source, to);
    return fromNumber(value, to, source);
}

COleVariant converted(const COleVariant& source, VARTYPE to)
{
    // Objects and arrays convert to nothing but themselves.
    if (source.vt == VT_DISPATCH || source.vt == (VT_ARRAY | VT_VARIANT)) {
        if (source.vt != to)
            throwMismatch(source, to);
        return source;
    }
    switch (to) {
    case VT_EMPTY:
        return COleVariant();
    case VT_NULL:
        if (source.vt != VT_EMPTY)
            throwMismatch(source, to);
        return COleVariant::Null();
    case VT_BSTR:
        if (source.vt == VT_NULL)
            throwMismatch(source, to);
        return COleVariant(textValue(source));
    case VT_I2:
    case VT_I4:
    case VT_UI1:
    case VT_R4:
    case VT_R8:
    case VT_DATE:
    case VT_BOOL:
        if (source.vt == VT_NULL)
            throwMismatch(source, to);
        if (source.vt == VT_BSTR)
            return fromText(source, to);
        // A true boolean keeps its bits in a byte.
        if (source.vt == VT_BOOL && to == VT_UI1)
            return COleVariant(static_cast<BYTE>(source.boolVal));
        return fromNumber(numericValue(source), to, source);
    default:
        throw COleException(DISP_E_BADVARTYPE, FormatString("Cannot convert to variant type %u.", to));
    }
}

} // namespace

COleVariant::COleVariant(const char* text) : vt(VT_BSTR), bstrVal(text) {}

COleVariant::COleVariant(const CString& text) : vt(VT_BSTR), bstrVal(text) {}

COleVariant::COleVariant(BYTE value) : vt(VT_UI1), bVal(value) {}

COleVariant::COleVariant(short value, VARTYPE type)
{
    if (type == VT_I2)
        iVal = value;
    else if (type == VT_BOOL)
        boolVal = value != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    else
        AfxThrowInvalidArgException();
    vt = type;
}

COleVariant::COleVariant(LONG value, VARTYPE type)
{
    if (type == VT_I4)
        lVal = value;
    else if (type == VT_BOOL)
        boolVal = value != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    else
        AfxThrowInvalidArgException();
    vt = type;
}

namespace {

LONG checkedLong(long value)
{
    if (value < std::numeric_limits<LONG>::min() || value > std::numeric_limits<LONG>::max())
        AfxThrowInvalidArgException();
    return static_cast<LONG>(value);
}

} // namespace

COleVariant::COleVariant(long value, VARTYPE type) : COleVariant(checkedLong(value), type) {}

COleVariant::COleVariant(float value) : vt(VT_R4), fltVal(value) {}

COleVariant::COleVariant(double value) : vt(VT_R8), dblVal(value) {}

COleVariant COleVariant::Date(DATE value)
{
    COleVariant v;
    v.vt = VT_DATE;
    v.date = value;
    return v;
}

COleVariant COleVariant::Null()
{
    COleVariant v;
    v.vt = VT_NULL;
    return v;
}

void COleVariant::Clear() { *this = COleVariant(); }

void COleVariant::ChangeType(VARTYPE type)
{
    if (vt == (VT_BYREF | VT_VARIANT)) {
        *this = converted(Deref(), type);
        return;
    }
    if (type != vt)
        *this = converted(*this, type);
}

COleVariant COleVariant::Dispatch(std::shared_ptr<kestrun::CDispatchable> object)
{
    COleVariant v;
    v.vt = VT_DISPATCH;
    v.pdispVal = std::move(object);
    return v;
}

COleVariant COleVariant::Array(CVariantArray elements)
{
    COleVariant v;
    v.vt = VT_ARRAY | VT_VARIANT;
    v.parray.m_p = std::make_unique<CVariantArray>(std::move(elements));
    return v;
}

COleVariant COleVariant::ByRef(COleVariant& variable)
{
    COleVariant v;
    v.vt = VT_BYREF | VT_VARIANT;
    // A reference to a reference refers to the variable itself.
    v.pvarVal = &variable.Deref();
    return v;
}

const COleVariant& COleVariant::Deref() const
{
    return vt == (VT_BYREF | VT_VARIANT) && pvarVal != nullptr ? *pvarVal : *this;
}

COleVariant& COleVariant::Deref()
{
    return vt == (VT_BYREF | VT_VARIANT) && pvarVal != nullptr ? *pvarVal : *this;
}

CVariantArray& COleVariant::GetArray()
{
    COleVariant& v = Deref();
    if (v.vt != (VT_ARRAY | VT_VARIANT) || !v.parray.m_p)
        AfxThrowInvalidArgException();
    return *v.parray.m_p;
}

const CVariantArray& COleVariant::GetArray() const
{
    const COleVariant& v = Deref();
    if (v.vt != (VT_ARRAY | VT_VARIANT) || !v.parray.m_p)
        AfxThrowInvalidArgException();
    return *v.parray.m_p;
}

CArrayHolder::CArrayHolder(const CArrayHolder& other)
    : m_p(other.m_p ? std::make_unique<CVariantArray>(*other.m_p) : nullptr)
{
}

CArrayHolder& CArrayHolder::operator=(const CArrayHolder& other)
{
    if (this != &other)
        m_p = other.m_p ? std::make_unique<CVariantArray>(*other.m_p) : nullptr;
    return *this;
}

CArrayHolder::~CArrayHolder() = default;

// ---- CVariantArray --------------------------------------------------------------------------

size_t CVariantArray::CheckedCount(const std::vector<CBound>& bounds)
{
    size_t total = bounds.empty() ? 0 : 1;
    for (const CBound& bound : bounds) {
        if (bound.m_nCount < 0 ||
            static_cast<long long>(bound.m_lLower) + bound.m_nCount - 1 > std::numeric_limits<LONG>::max())
            AfxThrowInvalidArgException();
        if (bound.m_nCount != 0 && total > kMaxElements / static_cast<size_t>(bound.m_nCount))
            AfxThrowMemoryException();
        total *= static_cast<size_t>(bound.m_nCount);
    }
    if (total > kMaxElements)
        AfxThrowMemoryException();
    return total;
}

CVariantArray::CVariantArray(std::vector<CBound> bounds) : m_bounds(std::move(bounds))
{
    m_elements.resize(CheckedCount(m_bounds));
}

LONG CVariantArray::GetLBound(int dim) const
{
    if (dim < 1 || dim > GetDims())
        throw COleException(DISP_E_BADINDEX, "The array has no such dimension.");
    return m_bounds[static_cast<size_t>(dim - 1)].m_lLower;
}

LONG CVariantArray::GetUBound(int dim) const
{
    const LONG lower = GetLBound(dim);
    return static_cast<LONG>(static_cast<long long>(lower) + m_bounds[static_cast<size_t>(dim - 1)].m_nCount - 1);
}

size_t CVariantArray::Offset(std::span<const LONG> indices) const
{
    if (indices.size() != m_bounds.size() || m_bounds.empty())
        throw COleException(DISP_E_BADINDEX, "Wrong number of indices.");
    size_t offset = 0;
    size_t stride = 1;
    for (size_t i = 0; i < indices.size(); ++i) {
        const long long rel = static_cast<long long>(indices[i]) - m_bounds[i].m_lLower;
        if (rel < 0 || rel >= m_bounds[i].m_nCount)
            throw COleException(DISP_E_BADINDEX, "The index lies outside the array.");
        offset += static_cast<size_t>(rel) * stride;
        stride *= static_cast<size_t>(m_bounds[i].m_nCount);
    }
    return offset;
}

COleVariant& CVariantArray::At(std::span<const LONG> indices)
{
    return m_elements[Offset(indices)];
}

const COleVariant& CVariantArray::At(std::span<const LONG> indices) const
{
    return m_elements[Offset(indices)];
}

void CVariantArray::Redim(std::vector<CBound> bounds, bool preserve)
{
    const size_t total = CheckedCount(bounds);
    if (!preserve || m_bounds.empty()) {
        m_elements.assign(total, COleVariant());
        m_bounds = std::move(bounds);
        return;
    }
    if (bounds.size() != m_bounds.size())
        throw COleException(DISP_E_BADINDEX, "Only the last dimension can change its size.");
    for (size_t i = 0; i + 1 < bounds.size(); ++i) {
        if (bounds[i].m_lLower != m_bounds[i].m_lLower || bounds[i].m_nCount != m_bounds[i].m_nCount)
            throw COleException(DISP_E_BADINDEX, "Only the last dimension can change its size.");
    }
    // The last dimension runs slowest: the kept elements are a prefix.
    const size_t keep = std::min(total, m_elements.size());
    m_elements.resize(keep);
    m_elements.resize(total);
    m_bounds = std::move(bounds);
}

bool operator==(const COleVariant& a, const COleVariant& b)
{
    if (a.vt != b.vt)
        return false;
    switch (a.vt) {
    case VT_I2:
        return a.iVal == b.iVal;
    case VT_I4:
        return a.lVal == b.lVal;
    case VT_UI1:
        return a.bVal == b.bVal;
    case VT_R4:
        return a.fltVal == b.fltVal;
    case VT_R8:
        return a.dblVal == b.dblVal;
    case VT_DATE:
        return a.date == b.date;
    case VT_BOOL:
        return a.boolVal == b.boolVal;
    case VT_BSTR:
        return a.bstrVal == b.bstrVal;
    case VT_DISPATCH:
        return a.pdispVal == b.pdispVal;
    case VT_BYREF | VT_VARIANT:
        return a.pvarVal == b.pvarVal;
    case VT_ARRAY | VT_VARIANT:
        return a.parray.m_p && b.parray.m_p && a.parray.m_p->GetBounds().size() == b.parray.m_p->GetBounds().size() &&
               std::equal(a.parray.m_p->GetBounds().begin(), a.parray.m_p->GetBounds().end(),
                          b.parray.m_p->GetBounds().begin(),
                          [](const auto& x, const auto& y) {
                              return x.m_lLower == y.m_lLower && x.m_nCount == y.m_nCount;
                          }) &&
               a.parray.m_p->Elements() == b.parray.m_p->Elements();
    default:
        return true;
    }
}

CString COleVariant::ToString() const
{
    if (vt == VT_BOOL)
        return boolVal != VARIANT_FALSE ? "True" : "False";
    return textValue(*this);
}
