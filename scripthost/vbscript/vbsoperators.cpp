#include "scripthost/vbscript/vbsoperators.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace kestrun::vbs {

namespace {

// 1 for the kinds that stay Integer, 2 for Long, 0 for the others.
int IntegerRank(VARTYPE vt)
{
    switch (vt) {
    case VT_EMPTY:
    case VT_BOOL:
    case VT_UI1:
    case VT_I2:
        return 1;
    case VT_I4:
        return 2;
    default:
        return 0;
    }
}

COleVariant FromInteger(long long value, int rank)
{
    if (rank == 1 && value >= -32768 && value <= 32767)
        return COleVariant(static_cast<short>(value));
    if (value >= std::numeric_limits<LONG>::min() && value <= std::numeric_limits<LONG>::max())
        return COleVariant(static_cast<LONG>(value));
    return COleVariant(static_cast<double>(value));
}

COleVariant FromDouble(double value)
{
    if (!std::isfinite(value))
        Raise(err::kOverflow);
    return COleVariant(value);
}

void CheckOperand(const COleVariant& v)
{
    if (v.vt == VT_DISPATCH || v.vt == (VT_ARRAY | VT_VARIANT))
        Raise(err::kTypeMismatch);
}

// A number from an operand for the logical operators: booleans stay
// recognisable so that True And False is a Boolean.
long long ToInteger(const COleVariant& v)
{
    return ToLong(v);
}

} // namespace

COleVariant MakeBool(bool value)
{
    return COleVariant(static_cast<short>(value ? VARIANT_TRUE : VARIANT_FALSE), VT_BOOL);
}

bool IsNumericKind(VARTYPE vt)
{
    return vt == VT_I2 || vt == VT_I4 || vt == VT_R4 || vt == VT_R8 || vt == VT_UI1 || vt == VT_BOOL ||
           vt == VT_DATE || vt == VT_EMPTY;
}

COleVariant Convert(const COleVariant& value, VARTYPE vt)
{
    const COleVariant& v = value.Deref();
    if (v.vt == VT_NULL && vt != VT_NULL)
        Raise(err::kInvalidNull);
    COleVariant copy(v);
    try {
        copy.ChangeType(vt);
    } catch (const COleException& e) {
        Raise(e.m_sc == DISP_E_OVERFLOW ? err::kOverflow : err::kTypeMismatch);
    }
    return copy;
}

double ToDouble(const COleVariant& value)
{
    const COleVariant& v = value.Deref();
    if (v.vt == VT_BOOL)
        return v.boolVal != VARIANT_FALSE ? -1.0 : 0.0;
    return Convert(v, VT_R8).dblVal;
}

LONG ToLong(const COleVariant& value)
{
    const COleVariant& v = value.Deref();
    if (v.vt == VT_BOOL)
        return v.boolVal != VARIANT_FALSE ? -1 : 0;
    return Convert(v, VT_I4).lVal;
}

bool ToBool(const COleVariant& value)
{
    const COleVariant& v = value.Deref();
    if (v.vt == VT_NULL)
        return false;
    if (v.vt == VT_BOOL)
        return v.boolVal != VARIANT_FALSE;
    CheckOperand(v);
    return Convert(v, VT_BOOL).boolVal != VARIANT_FALSE;
}

CString ToText(const COleVariant& value)
{
    const COleVariant& v = value.Deref();
    if (v.vt == VT_NULL)
        Raise(err::kInvalidNull);
    CheckOperand(v);
    return v.ToString();
}

int Compare(const COleVariant& a, const COleVariant& b, bool textCompare)
{
    CheckOperand(a);
    CheckOperand(b);
    const bool aText = a.vt == VT_BSTR;
    const bool bText = b.vt == VT_BSTR;
    if (aText && bText) {
        const int c = textCompare ? a.bstrVal.CompareNoCase(b.bstrVal) : a.bstrVal.Compare(b.bstrVal);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (aText != bText) {
        // A number against a text that reads as a number compares the
        // numbers; against any other text the number is the smaller.
        const COleVariant& text = aText ? a : b;
        COleVariant number(text);
        try {
            number.ChangeType(VT_R8);
        } catch (const COleException&) {
            if (a.vt == VT_EMPTY || b.vt == VT_EMPTY)
                return Compare(aText ? a : COleVariant(""), bText ? b : COleVariant(""));
            return aText ? 1 : -1;
        }
        const double x = aText ? number.dblVal : ToDouble(a);
        const double y = bText ? number.dblVal : ToDouble(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const double x = ToDouble(a);
    const double y = ToDouble(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

COleVariant UnaryOp(const std::string& op, const COleVariant& value)
{
    const COleVariant& a = value.Deref();
    if (a.vt == VT_NULL)
        return a;
    CheckOperand(a);
    if (op == "+")
        return a.vt == VT_EMPTY ? COleVariant(short(0)) : a;
    if (op == "not") {
        if (a.vt == VT_BOOL)
            return MakeBool(a.boolVal == VARIANT_FALSE);
        return FromInteger(~static_cast<long long>(ToInteger(a)), IntegerRank(a.vt) == 1 ? 1 : 2);
    }
    // Negation.
    if (IntegerRank(a.vt) != 0)
        return FromInteger(-static_cast<long long>(ToLong(a)), IntegerRank(a.vt));
    if (a.vt == VT_DATE)
        return COleVariant::Date(-a.date);
    return FromDouble(-ToDouble(a));
}

COleVariant BinaryOp(const std::string& op, const COleVariant& left, const COleVariant& right)
{
    const COleVariant& a = left.Deref();
    const COleVariant& b = right.Deref();
    if (op == "is") {
        if (a.vt != VT_DISPATCH || b.vt != VT_DISPATCH)
            Raise(err::kObjectRequired);
        return MakeBool(a.pdispVal == b.pdispVal);
    }
    if (op == "&") {
        if (a.vt == VT_NULL && b.vt == VT_NULL)
            return a;
        CString text = a.vt == VT_NULL ? CString() : ToText(a);
        text += b.vt == VT_NULL ? CString() : ToText(b);
        return COleVariant(text);
    }
    const bool logical = op == "and" || op == "or" || op == "xor" || op == "eqv" || op == "imp";
    if (logical) {
        CheckOperand(a);
        CheckOperand(b);
        // Null propagates unless the other side decides the result.
        if (a.vt == VT_NULL || b.vt == VT_NULL) {
            const COleVariant& other = a.vt == VT_NULL ? b : a;
            if (other.vt != VT_NULL) {
                if (op == "and" && !ToBool(other) && other.vt == VT_BOOL)
                    return MakeBool(false);
                if (op == "or" && other.vt == VT_BOOL && ToBool(other))
                    return MakeBool(true);
            }
            return COleVariant::Null();
        }
        const long long x = ToInteger(a);
        const long long y = ToInteger(b);
        long long r = 0;
        if (op == "and")
            r = x & y;
        else if (op == "or")
            r = x | y;
        else if (op == "xor")
            r = x ^ y;
        else if (op == "eqv")
            r = ~(x ^ y);
        else
            r = ~x | y;
        if (a.vt == VT_BOOL && b.vt == VT_BOOL)
            return MakeBool(r != 0);
        return FromInteger(r, std::max(IntegerRank(a.vt), IntegerRank(b.vt)) == 1 ? 1 : 2);
    }
    if (a.vt == VT_NULL || b.vt == VT_NULL) {
        CheckOperand(a.vt == VT_NULL ? b : a);
        return COleVariant::Null();
    }
    if (op == "=" || op == "<>" || op == "<" || op == ">" || op == "<=" || op == ">=") {
        const int c = Compare(a, b);
        if (op == "=")
            return MakeBool(c == 0);
        if (op == "<>")
            return MakeBool(c != 0);
        if (op == "<")
            return MakeBool(c < 0);
        if (op == ">")
            return MakeBool(c > 0);
        if (op == "<=")
            return MakeBool(c <= 0);
        return MakeBool(c >= 0);
    }
    CheckOperand(a);
    CheckOperand(b);
    if (op == "+" && a.vt == VT_BSTR && b.vt == VT_BSTR)
        return COleVariant(a.bstrVal + b.bstrVal);
    const int rank = std::max(IntegerRank(a.vt), IntegerRank(b.vt));
    const bool integral = IntegerRank(a.vt) != 0 && IntegerRank(b.vt) != 0;
    if (op == "+" || op == "-" || op == "*") {
        if (integral) {
            const long long x = ToLong(a);
            const long long y = ToLong(b);
            return FromInteger(op == "+" ? x + y : (op == "-" ? x - y : x * y), rank);
        }
        const double x = ToDouble(a);
        const double y = ToDouble(b);
        const double r = op == "+" ? x + y : (op == "-" ? x - y : x * y);
        if ((a.vt == VT_DATE || b.vt == VT_DATE) && op != "*" && !(a.vt == VT_DATE && b.vt == VT_DATE))
            return COleVariant::Date(r);
        return FromDouble(r);
    }
    if (op == "/") {
        const double y = ToDouble(b);
        const double x = ToDouble(a);
        if (y == 0.0)
            Raise(x == 0.0 ? err::kOverflow : err::kDivisionByZero);
        return FromDouble(x / y);
    }
    if (op == "\\" || op == "mod") {
        const long long x = ToLong(a);
        const long long y = ToLong(b);
        if (y == 0)
            Raise(err::kDivisionByZero);
        return FromInteger(op == "mod" ? x % y : x / y, integral ? rank : 2);
    }
    if (op == "^") {
        const double x = ToDouble(a);
        const double y = ToDouble(b);
        if (x < 0.0 && y != std::floor(y))
            Raise(err::kInvalidCall);
        return FromDouble(std::pow(x, y));
    }
    Raise(err::kSyntax);
}

} // namespace kestrun::vbs
