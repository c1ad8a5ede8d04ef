#pragma once
// COleVariant: a value of one of a few kinds, tagged by vt, as table columns,
// recordsets and script objects hand them around. Only the member that vt
// names is meaningful; the others stay zero.

#include "platform/core/cstring.h"
#include "platform/core/exceptions.h"
#include "platform/core/types.h"

using VARTYPE = unsigned short;
// Days since 1899-12-30; the fraction is the time of day.
using DATE = double;

inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_NULL = 1;
inline constexpr VARTYPE VT_I2 = 2;
inline constexpr VARTYPE VT_I4 = 3;
inline constexpr VARTYPE VT_R4 = 4;
inline constexpr VARTYPE VT_R8 = 5;
inline constexpr VARTYPE VT_DATE = 7;
inline constexpr VARTYPE VT_BSTR = 8;
inline constexpr VARTYPE VT_BOOL = 11;
inline constexpr VARTYPE VT_UI1 = 17;

inline constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005);
inline constexpr HRESULT DISP_E_OVERFLOW = static_cast<HRESULT>(0x8002000A);
inline constexpr HRESULT DISP_E_BADVARTYPE = static_cast<HRESULT>(0x80020008);

// A failed variant conversion: m_sc tells the kind, the message the value.
class COleException : public CException
{
public:
    COleException(HRESULT sc, const CString& message) : m_sc(sc), m_message(message) {}
    CString GetErrorMessage() const override { return m_message; }

    HRESULT m_sc;

private:
    CString m_message;
};

class COleVariant
{
public:
    COleVariant() = default;
    // VT_BSTR; a null text is an empty one.
    COleVariant(const char* text);
    COleVariant(const CString& text);
    COleVariant(BYTE value);
    // vt VT_I2 or VT_BOOL (any non-zero value is true).
    COleVariant(short value, VARTYPE vt = VT_I2);
    // vt VT_I4 or VT_BOOL (any non-zero value is true).
    COleVariant(LONG value, VARTYPE vt = VT_I4);
    // As the LONG form; CInvalidArgException when the value does not fit
    // 32 bits.
    COleVariant(long value, VARTYPE vt = VT_I4);
    COleVariant(float value);
    COleVariant(double value);

    static COleVariant Date(DATE value);
    static COleVariant Null();

    void Clear();
    // Converts in place. Numbers round half to even on the way to integers
    // and text is read and written with '.' whatever the locale. A value
    // that does not fit raises COleException (DISP_E_OVERFLOW), one that
    // cannot be read as the kind asked for COleException
    // (DISP_E_TYPEMISMATCH); the variant is then unchanged.
    void ChangeType(VARTYPE vt);

    // Same kind and equal value.
    friend bool operator==(const COleVariant& a, const COleVariant& b);

    // Display text: empty for VT_EMPTY and VT_NULL, "True"/"False" for
    // VT_BOOL, else the text ChangeType(VT_BSTR) gives.
    CString ToString() const;

    VARTYPE vt = VT_EMPTY;
    short iVal = 0;
    LONG lVal = 0;
    BYTE bVal = 0;
    float fltVal = 0.0F;
    double dblVal = 0.0;
    VARIANT_BOOL boolVal = VARIANT_FALSE;
    DATE date = 0.0;
    CString bstrVal;
};
