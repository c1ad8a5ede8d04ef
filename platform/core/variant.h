#pragma once
// COleVariant: a value of one of a few kinds, tagged by vt, as table columns,
// recordsets and script objects hand them around. Only the member that vt
// names is meaningful; the others stay zero.

#include "platform/core/cstring.h"
#include "platform/core/exceptions.h"
#include "platform/core/types.h"

#include <memory>
#include <span>
#include <vector>

namespace kestrun {
class CDispatchable;
}
class CVariantArray;

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
inline constexpr VARTYPE VT_DISPATCH = 9;
inline constexpr VARTYPE VT_BOOL = 11;
// An argument or a result taken as it comes, of any kind; with VT_ARRAY
// or VT_BYREF the kind of the elements or of the variable referred to.
inline constexpr VARTYPE VT_VARIANT = 12;
inline constexpr VARTYPE VT_UI1 = 17;
inline constexpr VARTYPE VT_ARRAY = 0x2000;
inline constexpr VARTYPE VT_BYREF = 0x4000;

inline constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005);
inline constexpr HRESULT DISP_E_OVERFLOW = static_cast<HRESULT>(0x8002000A);
inline constexpr HRESULT DISP_E_BADVARTYPE = static_cast<HRESULT>(0x80020008);
inline constexpr HRESULT DISP_E_BADINDEX = static_cast<HRESULT>(0x8002000B);

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

// The elements of an array variant; a copy copies the elements, as an
// assignment in a script copies an array.
class CArrayHolder
{
public:
    CArrayHolder() = default;
    CArrayHolder(const CArrayHolder& other);
    CArrayHolder(CArrayHolder&&) noexcept = default;
    CArrayHolder& operator=(const CArrayHolder& other);
    CArrayHolder& operator=(CArrayHolder&&) noexcept = default;
    ~CArrayHolder();

    std::unique_ptr<CVariantArray> m_p;
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
    // VT_DISPATCH; a null object is the script's Nothing.
    static COleVariant Dispatch(std::shared_ptr<kestrun::CDispatchable> object);
    // VT_ARRAY | VT_VARIANT.
    static COleVariant Array(CVariantArray elements);
    // VT_BYREF | VT_VARIANT: refers to the caller's variable, which must
    // outlive the variant; a callee may change it through Deref().
    static COleVariant ByRef(COleVariant& variable);

    // The variable a by-reference variant refers to, else the variant itself.
    const COleVariant& Deref() const;
    COleVariant& Deref();
    bool IsArray() const { return Deref().vt == (VT_ARRAY | VT_VARIANT); }
    // The elements of an array variant (after Deref); CInvalidArgException
    // for any other kind.
    CVariantArray& GetArray();
    const CVariantArray& GetArray() const;

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
    std::shared_ptr<kestrun::CDispatchable> pdispVal;
    CArrayHolder parray;
    COleVariant* pvarVal = nullptr;
};

// The elements of an array variant in one or more dimensions, each with its
// own lower bound; the first index runs fastest.
class CVariantArray
{
public:
    struct CBound
    {
        LONG m_lLower = 0;
        LONG m_nCount = 0;
    };
    // More elements than this in one array are refused as out of memory:
    // a script's size comes from untrusted text.
    static constexpr size_t kMaxElements = size_t(1) << 24;

    CVariantArray() = default;
    // CMemoryException beyond kMaxElements; CInvalidArgException for a
    // negative count or a bound whose upper end does not fit a LONG.
    explicit CVariantArray(std::vector<CBound> bounds);

    int GetDims() const { return static_cast<int>(m_bounds.size()); }
    // dim counts from 1; COleException (DISP_E_BADINDEX) for a dimension
    // the array does not have.
    LONG GetLBound(int dim) const;
    LONG GetUBound(int dim) const;
    size_t GetCount() const { return m_elements.size(); }
    const std::vector<CBound>& GetBounds() const { return m_bounds; }

    // COleException (DISP_E_BADINDEX) for an index outside the bounds or
    // the wrong number of indices.
    COleVariant& At(std::span<const LONG> indices);
    const COleVariant& At(std::span<const LONG> indices) const;
    std::vector<COleVariant>& Elements() { return m_elements; }
    const std::vector<COleVariant>& Elements() const { return m_elements; }

    // New bounds; with preserve only the last dimension may change its
    // count (else COleException DISP_E_BADINDEX) and the elements that are
    // still inside keep their values.
    void Redim(std::vector<CBound> bounds, bool preserve);

private:
    static size_t CheckedCount(const std::vector<CBound>& bounds);
    size_t Offset(std::span<const LONG> indices) const;

    std::vector<CBound> m_bounds;
    std::vector<COleVariant> m_elements;
};
