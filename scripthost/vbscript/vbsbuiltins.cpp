#include "scripthost/vbscript/vbsbuiltins.h"

#include "scripthost/vbscript/vbsfault.h"
#include "scripthost/vbscript/vbsoperators.h"

#include "platform/automation/dispatchable.h"
#include "platform/automation/dispatchmap.h"
#include "platform/automation/objectregistry.h"
#include "platform/core/messagebox.h"

#include <chrono>
#include <climits>
#include <cstdint>
#include <cstring>
#include <cmath>
#include <ctime>
#include <string_view>

namespace kestrun::vbs {

namespace {

using Args = std::vector<COleVariant>;

constexpr int kDateEpochOffset = 25569; // 1899-12-30 to 1970-01-01

bool IsNull(const COleVariant& v)
{
    return v.Deref().vt == VT_NULL;
}

COleVariant Text(const CString& text)
{
    return COleVariant(text);
}

LONG NonNegative(const COleVariant& v)
{
    const LONG n = ToLong(v);
    if (n < 0)
        Raise(err::kInvalidCall);
    return n;
}

// ---- conversions ----------------------------------------------------------------------------

COleVariant CBoolFn(Args& a) { return MakeBool(ToBool(Convert(a[0], VT_BOOL))); }
COleVariant CByteFn(Args& a) { return Convert(a[0], VT_UI1); }
COleVariant CIntFn(Args& a) { return Convert(a[0], VT_I2); }
COleVariant CLngFn(Args& a) { return Convert(a[0], VT_I4); }
COleVariant CDblFn(Args& a) { return Convert(a[0], VT_R8); }
COleVariant CSngFn(Args& a) { return Convert(a[0], VT_R4); }
COleVariant CDateFn(Args& a) { return Convert(a[0], VT_DATE); }
COleVariant CStrFn(Args& a) { return Text(ToText(a[0])); }

COleVariant Rounded(const COleVariant& v, double (*fn)(double))
{
    if (IsNull(v))
        return COleVariant::Null();
    const COleVariant& x = v.Deref();
    const double r = fn(ToDouble(x));
    if (x.vt == VT_I2 || x.vt == VT_I4 || x.vt == VT_UI1)
        return x;
    return COleVariant(r);
}
COleVariant IntFn(Args& a) { return Rounded(a[0], [](double x) { return std::floor(x); }); }
COleVariant FixFn(Args& a) { return Rounded(a[0], [](double x) { return std::trunc(x); }); }
COleVariant AbsFn(Args& a)
{
    if (IsNull(a[0]))
        return COleVariant::Null();
    const COleVariant& x = a[0].Deref();
    if (ToDouble(x) < 0)
        return UnaryOp("-", x);
    return x.vt == VT_BSTR || x.vt == VT_EMPTY ? COleVariant(ToDouble(x)) : x;
}
COleVariant SgnFn(Args& a)
{
    const double x = ToDouble(a[0]);
    return COleVariant(static_cast<short>(x > 0 ? 1 : (x < 0 ? -1 : 0)));
}
COleVariant RoundFn(Args& a)
{
    if (IsNull(a[0]))
        return COleVariant::Null();
    const LONG digits = a.size() > 1 ? NonNegative(a[1]) : 0;
    const double scale = std::pow(10.0, std::min<LONG>(digits, 15));
    const double x = ToDouble(a[0]) * scale;
    double r = std::nearbyint(x); // the default rounding mode: half to even
    return COleVariant(r / scale);
}
COleVariant HexFn(Args& a) { return Text(FormatString("%X", static_cast<unsigned>(ToLong(a[0])))); }
COleVariant OctFn(Args& a) { return Text(FormatString("%o", static_cast<unsigned>(ToLong(a[0])))); }

COleVariant Math(const COleVariant& v, double (*fn)(double), bool positive, bool nonNegative)
{
    const double x = ToDouble(v);
    if ((positive && x <= 0.0) || (nonNegative && x < 0.0))
        Raise(err::kInvalidCall);
    const double r = fn(x);
    if (!std::isfinite(r))
        Raise(err::kOverflow);
    return COleVariant(r);
}
COleVariant SqrFn(Args& a) { return Math(a[0], [](double x) { return std::sqrt(x); }, false, true); }
COleVariant ExpFn(Args& a) { return Math(a[0], [](double x) { return std::exp(x); }, false, false); }
COleVariant LogFn(Args& a) { return Math(a[0], [](double x) { return std::log(x); }, true, false); }
COleVariant SinFn(Args& a) { return Math(a[0], [](double x) { return std::sin(x); }, false, false); }
COleVariant CosFn(Args& a) { return Math(a[0], [](double x) { return std::cos(x); }, false, false); }
COleVariant TanFn(Args& a) { return Math(a[0], [](double x) { return std::tan(x); }, false, false); }
COleVariant AtnFn(Args& a) { return Math(a[0], [](double x) { return std::atan(x); }, false, false); }

// ---- text -----------------------------------------------------------------------------------

COleVariant LenFn(Args& a)
{
    if (IsNull(a[0]))
        return COleVariant::Null();
    return COleVariant(static_cast<LONG>(ToText(a[0]).GetLength()));
}
COleVariant LeftFn(Args& a)
{
    if (IsNull(a[0]))
        return COleVariant::Null();
    return Text(ToText(a[0]).Left(NonNegative(a[1])));
}
COleVariant RightFn(Args& a)
{
    if (IsNull(a[0]))
        return COleVariant::Null();
    const CString text = ToText(a[0]);
    const LONG n = std::min<LONG>(NonNegative(a[1]), text.GetLength());
    return Text(text.Mid(text.GetLength() - n));
}
COleVariant MidFn(Args& a)
{
    if (IsNull(a[0]))
        return COleVariant::Null();
    const CString text = ToText(a[0]);
    const LONG start = ToLong(a[1]);
    if (start < 1)
        Raise(err::kInvalidCall);
    if (start > text.GetLength())
        return Text(CString());
    if (a.size() > 2)
        return Text(text.Mid(start - 1, std::min<LONG>(NonNegative(a[2]), text.GetLength() - start + 1)));
    return Text(text.Mid(start - 1));
}
bool TextCompare(const Args& a, size_t index)
{
    return a.size() > index && ToLong(a[index]) == 1;
}
CString Folded(CString text, bool fold)
{
    if (fold)
        text.MakeLower();
    return text;
}
COleVariant InStrFn(Args& a)
{
    // InStr([start,] text, sought[, compare])
    size_t first = 0;
    LONG start = 1;
    if (a.size() >= 3) {
        start = ToLong(a[0]);
        first = 1;
        if (start < 1)
            Raise(err::kInvalidCall);
    }
    if (IsNull(a[first]) || IsNull(a[first + 1]))
        return COleVariant::Null();
    const bool fold = TextCompare(a, first + 2);
    const CString text = Folded(ToText(a[first]), fold);
    const CString sought = Folded(ToText(a[first + 1]), fold);
    if (start > text.GetLength())
        return COleVariant(LONG(0));
    const int at = text.Find(sought, start - 1);
    return COleVariant(static_cast<LONG>(at + 1));
}
COleVariant InStrRevFn(Args& a)
{
    const bool fold = TextCompare(a, 3);
    const CString text = Folded(ToText(a[0]), fold);
    const CString sought = Folded(ToText(a[1]), fold);
    LONG start = a.size() > 2 ? ToLong(a[2]) : -1;
    if (start == 0 || start < -1)
        Raise(err::kInvalidCall);
    if (start == -1 || start > text.GetLength())
        start = text.GetLength();
    const std::string_view view = text.view().substr(0, static_cast<size_t>(start));
    const size_t at = view.rfind(sought.view());
    return COleVariant(static_cast<LONG>(at == std::string_view::npos ? 0 : at + 1));
}
COleVariant LCaseFn(Args& a)
{
    if (IsNull(a[0]))
        return COleVariant::Null();
    CString text = ToText(a[0]);
    return Text(text.MakeLower());
}
COleVariant UCaseFn(Args& a)
{
    if (IsNull(a[0]))
        return COleVariant::Null();
    CString text = ToText(a[0]);
    return Text(text.MakeUpper());
}
COleVariant TrimFn(Args& a)
{
    CString text = ToText(a[0]);
    return Text(text.Trim(' '));
}
COleVariant LTrimFn(Args& a)
{
    CString text = ToText(a[0]);
    return Text(text.TrimLeft(' '));
}
COleVariant RTrimFn(Args& a)
{
    CString text = ToText(a[0]);
    return Text(text.TrimRight(' '));
}
COleVariant ReplaceFn(Args& a)
{
    const CString text = ToText(a[0]);
    const CString find = ToText(a[1]);
    const CString with = ToText(a[2]);
    const LONG start = a.size() > 3 ? ToLong(a[3]) : 1;
    LONG count = a.size() > 4 ? ToLong(a[4]) : -1;
    if (start < 1 || count < -1)
        Raise(err::kInvalidCall);
    const bool fold = TextCompare(a, 5);
    // The result starts at start, as in VBScript.
    const std::string source(text.view().substr(std::min<size_t>(static_cast<size_t>(start - 1), text.view().size())));
    if (find.IsEmpty())
        return Text(CString(source));
    const std::string folded(Folded(CString(source), fold).view());
    const std::string key(Folded(find, fold).view());
    std::string out;
    size_t pos = 0;
    while (count != 0) {
        const size_t at = folded.find(key, pos);
        if (at == std::string::npos)
            break;
        out.append(source, pos, at - pos);
        out.append(with.view());
        pos = at + key.size();
        if (count > 0)
            --count;
    }
    out.append(source, pos, std::string::npos);
    return Text(CString(out));
}
COleVariant SpaceFn(Args& a) { return Text(CString(std::string(static_cast<size_t>(std::min<LONG>(NonNegative(a[0]), 1 << 20)), ' '))); }
COleVariant StringFn(Args& a)
{
    const LONG n = std::min<LONG>(NonNegative(a[0]), 1 << 20);
    const COleVariant& ch = a[1].Deref();
    char c = ' ';
    if (ch.vt == VT_BSTR) {
        if (ch.bstrVal.IsEmpty())
            Raise(err::kInvalidCall);
        c = ch.bstrVal.GetString()[0];
    } else {
        c = static_cast<char>(ToLong(ch) & 0xFF);
    }
    return Text(CString(std::string(static_cast<size_t>(n), c)));
}
COleVariant StrReverseFn(Args& a)
{
    std::string text(ToText(a[0]).view());
    std::reverse(text.begin(), text.end());
    return Text(CString(text));
}
COleVariant StrCompFn(Args& a)
{
    if (IsNull(a[0]) || IsNull(a[1]))
        return COleVariant::Null();
    return COleVariant(static_cast<short>(
        Compare(COleVariant(ToText(a[0])), COleVariant(ToText(a[1])), TextCompare(a, 2))));
}
COleVariant AscFn(Args& a)
{
    const CString text = ToText(a[0]);
    if (text.IsEmpty())
        Raise(err::kInvalidCall);
    return COleVariant(static_cast<short>(static_cast<unsigned char>(text.GetString()[0])));
}
COleVariant ChrFn(Args& a)
{
    const LONG code = ToLong(a[0]);
    if (code < 0 || code > 255)
        Raise(err::kInvalidCall);
    return Text(CString(std::string(1, static_cast<char>(code))));
}

// ---- arrays ---------------------------------------------------------------------------------

COleVariant ArrayFn(Args& a)
{
    CVariantArray array({{0, static_cast<LONG>(a.size())}});
    for (size_t i = 0; i < a.size(); ++i)
        array.Elements()[i] = a[i].Deref();
    return COleVariant::Array(std::move(array));
}
const CVariantArray& ArrayOf(const COleVariant& v)
{
    if (!v.IsArray())
        Raise(err::kTypeMismatch);
    return v.GetArray();
}
int Dimension(const Args& a)
{
    return a.size() > 1 ? static_cast<int>(ToLong(a[1])) : 1;
}
COleVariant LBoundFn(Args& a)
{
    const CVariantArray& array = ArrayOf(a[0]);
    const int dim = Dimension(a);
    if (dim < 1 || dim > array.GetDims())
        Raise(err::kSubscript);
    return COleVariant(array.GetLBound(dim));
}
COleVariant UBoundFn(Args& a)
{
    const CVariantArray& array = ArrayOf(a[0]);
    const int dim = Dimension(a);
    if (dim < 1 || dim > array.GetDims())
        Raise(err::kSubscript);
    return COleVariant(array.GetUBound(dim));
}
COleVariant SplitFn(Args& a)
{
    const CString text = ToText(a[0]);
    const CString delimiter = a.size() > 1 ? ToText(a[1]) : CString(" ");
    LONG limit = a.size() > 2 ? ToLong(a[2]) : -1;
    std::vector<COleVariant> parts;
    if (!text.IsEmpty()) {
        const std::string_view view = text.view();
        size_t pos = 0;
        while (delimiter.GetLength() > 0 && (limit < 0 || static_cast<LONG>(parts.size()) + 1 < limit)) {
            const size_t at = view.find(delimiter.view(), pos);
            if (at == std::string_view::npos)
                break;
            parts.emplace_back(CString(std::string(view.substr(pos, at - pos))));
            pos = at + static_cast<size_t>(delimiter.GetLength());
        }
        parts.emplace_back(CString(std::string(view.substr(pos))));
    }
    CVariantArray array({{0, static_cast<LONG>(parts.size())}});
    array.Elements() = std::move(parts);
    return COleVariant::Array(std::move(array));
}
COleVariant JoinFn(Args& a)
{
    const CVariantArray& array = ArrayOf(a[0]);
    if (array.GetDims() > 1)
        Raise(err::kInvalidCall);
    const CString delimiter = a.size() > 1 ? ToText(a[1]) : CString(" ");
    CString out;
    for (size_t i = 0; i < array.GetCount(); ++i) {
        if (i > 0)
            out += delimiter;
        if (array.Elements()[i].vt != VT_NULL)
            out += ToText(array.Elements()[i]);
    }
    return Text(out);
}

// ---- Is functions and types -----------------------------------------------------------------

COleVariant IsArrayFn(Args& a) { return MakeBool(a[0].IsArray()); }
COleVariant IsEmptyFn(Args& a) { return MakeBool(a[0].Deref().vt == VT_EMPTY); }
COleVariant IsNullFn(Args& a) { return MakeBool(IsNull(a[0])); }
COleVariant IsObjectFn(Args& a) { return MakeBool(a[0].Deref().vt == VT_DISPATCH); }
COleVariant IsNumericFn(Args& a)
{
    const COleVariant& v = a[0].Deref();
    if (v.vt == VT_BSTR) {
        COleVariant copy(v);
        try {
            copy.ChangeType(VT_R8);
            return MakeBool(true);
        } catch (const COleException&) {
            return MakeBool(false);
        }
    }
    return MakeBool(IsNumericKind(v.vt) && v.vt != VT_DATE);
}
COleVariant IsDateFn(Args& a)
{
    const COleVariant& v = a[0].Deref();
    if (v.vt == VT_DATE)
        return MakeBool(true);
    if (v.vt != VT_BSTR)
        return MakeBool(false);
    COleVariant copy(v);
    try {
        copy.ChangeType(VT_DATE);
        return MakeBool(true);
    } catch (const COleException&) {
        return MakeBool(false);
    }
}
COleVariant VarTypeFn(Args& a) { return COleVariant(static_cast<short>(a[0].Deref().vt)); }
COleVariant TypeNameFn(Args& a)
{
    const COleVariant& v = a[0].Deref();
    switch (v.vt) {
    case VT_EMPTY: return Text("Empty");
    case VT_NULL: return Text("Null");
    case VT_I2: return Text("Integer");
    case VT_I4: return Text("Long");
    case VT_R4: return Text("Single");
    case VT_R8: return Text("Double");
    case VT_DATE: return Text("Date");
    case VT_BSTR: return Text("String");
    case VT_BOOL: return Text("Boolean");
    case VT_UI1: return Text("Byte");
    case VT_DISPATCH: return Text(v.pdispVal ? v.pdispVal->GetDispatchMap().GetTypeName() : CString("Nothing"));
    case VT_ARRAY | VT_VARIANT: return Text("Variant()");
    default: return Text("Unknown");
    }
}

// ---- dates ----------------------------------------------------------------------------------

struct CParts
{
    int m_year, m_month, m_day, m_hour, m_minute, m_second;
};

CParts Split(const COleVariant& v)
{
    const double date = Convert(v, VT_DATE).date;
    using namespace std::chrono;
    // The day is the whole part: -1.25 is day -1 at 6:00.
    const double whole = std::trunc(date);
    const long long dayNumber = static_cast<long long>(whole) - kDateEpochOffset;
    const year_month_day ymd{sys_days{days{dayNumber}}};
    // Before day 0 the time counts away from zero.
    double fraction = std::fabs(date - static_cast<double>(static_cast<long long>(date)));
    long long seconds = std::llround(fraction * 86400.0);
    if (seconds >= 86400)
        seconds = 86399;
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day())), static_cast<int>(seconds / 3600),
            static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60)};
}

COleVariant YearFn(Args& a) { return COleVariant(static_cast<short>(Split(a[0]).m_year)); }
COleVariant MonthFn(Args& a) { return COleVariant(static_cast<short>(Split(a[0]).m_month)); }
COleVariant DayFn(Args& a) { return COleVariant(static_cast<short>(Split(a[0]).m_day)); }
COleVariant HourFn(Args& a) { return COleVariant(static_cast<short>(Split(a[0]).m_hour)); }
COleVariant MinuteFn(Args& a) { return COleVariant(static_cast<short>(Split(a[0]).m_minute)); }
COleVariant SecondFn(Args& a) { return COleVariant(static_cast<short>(Split(a[0]).m_second)); }
COleVariant WeekdayFn(Args& a)
{
    const double date = std::floor(Convert(a[0], VT_DATE).date);
    // Day 0 (1899-12-30) was a Saturday; Sunday is 1.
    long long w = (static_cast<long long>(date) + 6) % 7;
    if (w < 0)
        w += 7;
    return COleVariant(static_cast<short>(w + 1));
}
COleVariant DateSerialFn(Args& a)
{
    using namespace std::chrono;
    const LONG y = ToLong(a[0]);
    const LONG m = ToLong(a[1]);
    const LONG d = ToLong(a[2]);
    if (y < 100 || y > 9999 || m < -10000 || m > 10000 || d < -100000 || d > 100000)
        Raise(err::kInvalidCall);
    const long long months = static_cast<long long>(y) * 12 + (m - 1);
    const year_month_day first{year{static_cast<int>(months / 12)}, month{static_cast<unsigned>(months % 12 + 1)},
                               day{1}};
    const long long number = sys_days{first}.time_since_epoch().count() + kDateEpochOffset + (d - 1);
    return Convert(COleVariant(static_cast<double>(number)), VT_DATE);
}
COleVariant TimeSerialFn(Args& a)
{
    const double seconds = ToDouble(a[0]) * 3600 + ToDouble(a[1]) * 60 + ToDouble(a[2]);
    return Convert(COleVariant(seconds / 86400.0), VT_DATE);
}
double LocalNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const double days = static_cast<double>(std::chrono::sys_days{std::chrono::year_month_day{
                            std::chrono::year{local.tm_year + 1900}, std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                            std::chrono::day{static_cast<unsigned>(local.tm_mday)}}}
                                                .time_since_epoch()
                                                .count() +
                                            kDateEpochOffset);
    return days + (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
}
// Seconds from day 0; the time of a day before day 0 counts forward from
// its midnight as well (-1.25 is 29 December 1899, 6:00).
constexpr long long kFirstDay = -657434; // 1 January 100
constexpr long long kLastDay = 2958465;  // 31 December 9999
long long SerialSeconds(const COleVariant& v)
{
    const double date = Convert(v, VT_DATE).date;
    const double day = std::trunc(date);
    return static_cast<long long>(day) * 86400 + std::llround(std::fabs(date - day) * 86400.0);
}
long long FloorDiv(long long a, long long b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
long long DayOf(long long seconds)
{
    return FloorDiv(seconds, 86400);
}
COleVariant FromSerialSeconds(long long seconds)
{
    const long long day = DayOf(seconds);
    const long long time = seconds - day * 86400;
    if (day < kFirstDay || day > kLastDay)
        Raise(err::kInvalidCall);
    const double fraction = static_cast<double>(time) / 86400.0;
    return COleVariant::Date(day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction);
}
// The interval of DateAdd and DateDiff in seconds, or in months ("yyyy",
// "q", "m"); Invalid procedure call for another text.
struct CInterval
{
    bool m_bMonths;
    long long m_nUnit;
};
CInterval Interval(const COleVariant& v)
{
    const CString text = ToText(v);
    static const struct
    {
        const char* m_name;
        CInterval m_interval;
    } kIntervals[] = {{"yyyy", {true, 12}}, {"q", {true, 3}},   {"m", {true, 1}},     {"y", {false, 86400}},
                      {"d", {false, 86400}}, {"w", {false, 86400}}, {"ww", {false, 604800}}, {"h", {false, 3600}},
                      {"n", {false, 60}},    {"s", {false, 1}}};
    for (const auto& known : kIntervals) {
        if (text.CompareNoCase(known.m_name) == 0)
            return known.m_interval;
    }
    Raise(err::kInvalidCall);
}
COleVariant DateAddFn(Args& a)
{
    const CInterval interval = Interval(a[0]);
    if (IsNull(a[1]) || IsNull(a[2]))
        return COleVariant::Null();
    const long long number = ToLong(a[1]);
    const long long seconds = SerialSeconds(a[2]);
    if (!interval.m_bMonths)
        return FromSerialSeconds(seconds + number * interval.m_nUnit);
    // Months: the day stays unless the new month is shorter.
    using namespace std::chrono;
    const CParts parts = Split(a[2]);
    const long long months = static_cast<long long>(parts.m_year) * 12 + parts.m_month - 1 + number * interval.m_nUnit;
    if (months < 100 * 12 || months >= 10000 * 12)
        Raise(err::kInvalidCall);
    const year y{static_cast<int>(months / 12)};
    const month m{static_cast<unsigned>(months % 12 + 1)};
    const unsigned last = static_cast<unsigned>(year_month_day_last{y, month_day_last{m}}.day());
    const year_month_day date{y, m, day{std::min(static_cast<unsigned>(parts.m_day), last)}};
    const long long dayNumber = sys_days{date}.time_since_epoch().count() + kDateEpochOffset;
    return FromSerialSeconds(dayNumber * 86400 + parts.m_hour * 3600 + parts.m_minute * 60 + parts.m_second);
}
COleVariant DateDiffFn(Args& a)
{
    const CInterval interval = Interval(a[0]);
    if (IsNull(a[1]) || IsNull(a[2]))
        return COleVariant::Null();
    long long difference = 0;
    const CString text = ToText(a[0]);
    if (interval.m_bMonths) {
        const CParts from = Split(a[1]);
        const CParts to = Split(a[2]);
        const long long first = (static_cast<long long>(from.m_year) * 12 + from.m_month - 1) / interval.m_nUnit;
        const long long second = (static_cast<long long>(to.m_year) * 12 + to.m_month - 1) / interval.m_nUnit;
        difference = second - first;
    } else if (text.CompareNoCase("w") == 0) {
        // Whole weeks between the two days.
        difference = (DayOf(SerialSeconds(a[2])) - DayOf(SerialSeconds(a[1]))) / 7;
    } else if (text.CompareNoCase("ww") == 0) {
        // Weeks begun: the first day of the week (Sunday unless given) passed.
        const long long first = a.size() > 3 && a[3].Deref().vt != VT_EMPTY ? ToLong(a[3]) : 1;
        if (first < 0 || first > 7)
            Raise(err::kInvalidCall);
        // Day 0 was a Saturday (weekday 7).
        const long long shift = 7 - (first == 0 ? 1 : first);
        difference = FloorDiv(DayOf(SerialSeconds(a[2])) + shift, 7) - FloorDiv(DayOf(SerialSeconds(a[1])) + shift, 7);
    } else {
        difference = FloorDiv(SerialSeconds(a[2]), interval.m_nUnit) - FloorDiv(SerialSeconds(a[1]), interval.m_nUnit);
    }
    if (difference < INT32_MIN || difference > INT32_MAX)
        Raise(err::kOverflow);
    return COleVariant(static_cast<LONG>(difference));
}

// ---- random numbers -------------------------------------------------------------------------

// VBScript's 24-bit generator; one sequence per thread, as the engine runs
// on the thread that made it.
thread_local std::uint32_t tRandomState = 0x50000;

std::uint32_t FloatBits(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
COleVariant RndFn(Args& a)
{
    const double x = a.empty() ? 1.0 : ToDouble(a[0]);
    if (x < 0.0) {
        // The same negative number always starts the same sequence.
        const std::uint32_t bits = FloatBits(static_cast<float>(x));
        tRandomState = (bits + (bits >> 24)) & 0xFFFFFF;
    }
    if (x != 0.0)
        tRandomState = (tRandomState * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFF;
    return COleVariant(static_cast<float>(tRandomState) / 16777216.0f);
}
COleVariant RandomizeFn(Args& a)
{
    double seed = 0.0;
    if (a.empty() || a[0].Deref().vt == VT_EMPTY) {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        seed = static_cast<double>(std::chrono::duration_cast<std::chrono::microseconds>(now).count() % 86400000000LL) /
               1e6;
    } else {
        seed = ToDouble(a[0]);
    }
    std::uint64_t bits = 0;
    std::memcpy(&bits, &seed, sizeof bits);
    const auto high = static_cast<std::uint32_t>(bits >> 32);
    const std::uint32_t mixed = ((high >> 16) ^ high) & 0xFFFF;
    tRandomState = (tRandomState & 0xFF0000FFu) | (mixed << 8);
    tRandomState &= 0xFFFFFF;
    return {};
}

COleVariant NowFn(Args&) { return COleVariant::Date(LocalNow()); }
COleVariant DateFn(Args&) { return COleVariant::Date(std::floor(LocalNow())); }
COleVariant TimeFn(Args&) { return COleVariant::Date(LocalNow() - std::floor(LocalNow())); }
COleVariant TimerFn(Args&) { return COleVariant(static_cast<float>((LocalNow() - std::floor(LocalNow())) * 86400.0)); }

// ---- FormatNumber, MsgBox, CreateObject -----------------------------------------------------

COleVariant FormatNumberFn(Args& a)
{
    if (IsNull(a[0]))
        Raise(err::kTypeMismatch);
    const double value = ToDouble(a[0]);
    LONG digits = a.size() > 1 && a[1].Deref().vt != VT_EMPTY ? ToLong(a[1]) : -1;
    if (digits == -1)
        digits = 2;
    if (digits < 0 || digits > 30)
        Raise(err::kInvalidCall);
    const auto flag = [&](size_t i, bool byDefault) {
        if (a.size() <= i || a[i].Deref().vt == VT_EMPTY)
            return byDefault;
        const LONG tristate = ToLong(a[i]);
        return tristate == -2 ? byDefault : tristate != 0;
    };
    const bool leading = flag(2, true);
    const bool parens = flag(3, false);
    const bool group = flag(4, true);
    std::string digitsText = FormatString("%.*f", static_cast<int>(digits), std::fabs(value)).GetString();
    const bool negative = value < 0 && digitsText.find_first_not_of("0.") != std::string::npos;
    const size_t point = digitsText.find('.');
    std::string whole = digitsText.substr(0, point);
    const std::string fraction = point == std::string::npos ? std::string() : digitsText.substr(point);
    if (group) {
        for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3)
            whole.insert(static_cast<size_t>(i), ",");
    }
    if (!leading && whole == "0" && !fraction.empty())
        whole.clear();
    std::string text = whole + fraction;
    if (negative)
        text = parens ? "(" + text + ")" : "-" + text;
    return Text(CString(text));
}
COleVariant MsgBoxFn(Args& a)
{
    const CString prompt = ToText(a[0]);
    const UINT type = a.size() > 1 && a[1].Deref().vt != VT_EMPTY ? static_cast<UINT>(ToLong(a[1])) : MB_OK;
    int answer = 0;
    if (a.size() > 2 && a[2].Deref().vt != VT_EMPTY)
        answer = MessageBoxWithCaption(prompt, ToText(a[2]), type);
    else
        answer = AfxMessageBox(prompt, type);
    return COleVariant(static_cast<LONG>(answer));
}
COleVariant CreateObjectFn(Args& a)
{
    const CString progId = ToText(a[0]);
    std::shared_ptr<CDispatchable> object = CreateDispatchObject(progId);
    if (!object)
        Raise(err::kCannotCreate, progId);
    return COleVariant::Dispatch(std::move(object));
}

constexpr CBuiltin kBuiltins[] = {
    {"Abs", 1, 1, AbsFn},           {"Array", 0, 1 << 16, ArrayFn}, {"Asc", 1, 1, AscFn},
    {"Atn", 1, 1, AtnFn},           {"CBool", 1, 1, CBoolFn},       {"CByte", 1, 1, CByteFn},
    {"CDate", 1, 1, CDateFn},       {"CDbl", 1, 1, CDblFn},         {"Chr", 1, 1, ChrFn},
    {"CInt", 1, 1, CIntFn},         {"CLng", 1, 1, CLngFn},         {"Cos", 1, 1, CosFn},
    {"CreateObject", 1, 2, CreateObjectFn}, {"CSng", 1, 1, CSngFn}, {"CStr", 1, 1, CStrFn},
    {"Date", 0, 0, DateFn},         {"DateAdd", 3, 3, DateAddFn},   {"DateDiff", 3, 5, DateDiffFn},         {"DateSerial", 3, 3, DateSerialFn}, {"Day", 1, 1, DayFn},
    {"Exp", 1, 1, ExpFn},           {"Fix", 1, 1, FixFn},           {"FormatNumber", 1, 5, FormatNumberFn},
    {"Hex", 1, 1, HexFn},           {"Hour", 1, 1, HourFn},         {"InStr", 2, 4, InStrFn},
    {"InStrRev", 2, 4, InStrRevFn}, {"Int", 1, 1, IntFn},           {"IsArray", 1, 1, IsArrayFn},
    {"IsDate", 1, 1, IsDateFn},     {"IsEmpty", 1, 1, IsEmptyFn},   {"IsNull", 1, 1, IsNullFn},
    {"IsNumeric", 1, 1, IsNumericFn}, {"IsObject", 1, 1, IsObjectFn}, {"Join", 1, 2, JoinFn},
    {"LBound", 1, 2, LBoundFn},     {"LCase", 1, 1, LCaseFn},       {"Left", 2, 2, LeftFn},
    {"Len", 1, 1, LenFn},           {"Log", 1, 1, LogFn},           {"LTrim", 1, 1, LTrimFn},
    {"Mid", 2, 3, MidFn},           {"Minute", 1, 1, MinuteFn},     {"Month", 1, 1, MonthFn},
    {"MsgBox", 1, 5, MsgBoxFn},     {"Now", 0, 0, NowFn},           {"Oct", 1, 1, OctFn},           {"Randomize", 0, 1, RandomizeFn},
    {"Replace", 3, 6, ReplaceFn},   {"Right", 2, 2, RightFn},       {"Rnd", 0, 1, RndFn},       {"Round", 1, 2, RoundFn},
    {"RTrim", 1, 1, RTrimFn},       {"Second", 1, 1, SecondFn},     {"Sgn", 1, 1, SgnFn},
    {"Sin", 1, 1, SinFn},           {"Space", 1, 1, SpaceFn},       {"Split", 1, 4, SplitFn},
    {"Sqr", 1, 1, SqrFn},           {"StrComp", 2, 3, StrCompFn},   {"String", 2, 2, StringFn},
    {"StrReverse", 1, 1, StrReverseFn}, {"Tan", 1, 1, TanFn},       {"Time", 0, 0, TimeFn},
    {"Timer", 0, 0, TimerFn},       {"TimeSerial", 3, 3, TimeSerialFn}, {"Trim", 1, 1, TrimFn},
    {"TypeName", 1, 1, TypeNameFn}, {"UBound", 1, 2, UBoundFn},     {"UCase", 1, 1, UCaseFn},
    {"VarType", 1, 1, VarTypeFn},   {"Weekday", 1, 2, WeekdayFn},   {"Year", 1, 1, YearFn},
};

struct CConstant
{
    const char* m_name;
    LONG m_value;
};

constexpr CConstant kNumbers[] = {
    {"vbokonly", 0},       {"vbokcancel", 1},   {"vbabortretryignore", 2}, {"vbyesnocancel", 3},
    {"vbyesno", 4},        {"vbretrycancel", 5}, {"vbcritical", 16},       {"vbquestion", 32},
    {"vbexclamation", 48}, {"vbinformation", 64}, {"vbok", 1},              {"vbcancel", 2},
    {"vbabort", 3},        {"vbretry", 4},      {"vbignore", 5},           {"vbyes", 6},
    {"vbno", 7},           {"vbempty", 0},      {"vbnull", 1},             {"vbinteger", 2},
    {"vblong", 3},         {"vbsingle", 4},     {"vbdouble", 5},           {"vbdate", 7},
    {"vbstring", 8},       {"vbobject", 9},     {"vbboolean", 11},         {"vbvariant", 12},
    {"vbbyte", 17},        {"vbarray", 8192},   {"vbbinarycompare", 0},    {"vbtextcompare", 1},
    {"vbusedefault", -2},  {"vbtrue", -1},      {"vbfalse", 0},            {"vbsunday", 1},
};

} // namespace

const CBuiltin* FindBuiltin(const std::string& key)
{
    for (const CBuiltin& builtin : kBuiltins) {
        if (CString(builtin.m_name).CompareNoCase(key.c_str()) == 0)
            return &builtin;
    }
    return nullptr;
}

bool FindConstant(const std::string& key, COleVariant& value)
{
    if (key == "vbcrlf" || key == "vbnewline") {
        value = COleVariant("\r\n");
        return true;
    }
    if (key == "vbcr" || key == "vblf" || key == "vbtab" || key == "vbnullstring" || key == "vbnullchar") {
        value = COleVariant(key == "vbcr" ? "\r" : key == "vblf" ? "\n" : key == "vbtab" ? "\t" : "");
        if (key == "vbnullchar")
            value = COleVariant(CString(std::string(1, '\0')));
        return true;
    }
    for (const CConstant& constant : kNumbers) {
        if (key == constant.m_name) {
            value = constant.m_value >= -32768 && constant.m_value <= 32767
                        ? COleVariant(static_cast<short>(constant.m_value))
                        : COleVariant(constant.m_value);
            return true;
        }
    }
    return false;
}

} // namespace kestrun::vbs
