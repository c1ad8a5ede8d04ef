#pragma once
// The vocabulary of dispatchable objects - the objects that scripts and the
// automation server reach by member name: member ids, the kinds of call, the
// "any value" type of arguments and results, and the error a failed call
// raises. The numbers are those of the automation interface, so that script
// engines and stored scripts see the values they expect.

#include "platform/core/exceptions.h"
#include "platform/core/variant.h"

using DISPID = LONG;
inline constexpr DISPID DISPID_UNKNOWN = -1;

// Kinds of call; a script engine may ask for several at once (a bare name
// in VBScript is a method call or a property read).
inline constexpr WORD DISPATCH_METHOD = 0x1;
inline constexpr WORD DISPATCH_PROPERTYGET = 0x2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 0x4;

inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006);
inline constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000E);

// A call that failed: m_scError tells the kind (DISP_E_*), the description
// what went wrong in words a script author can act on. For a bad argument
// m_nArgError is its position (from 0), else -1.
class COleDispatchException : public CException
{
public:
    COleDispatchException(HRESULT scError, const CString& description, int nArgError = -1)
        : m_scError(scError), m_strDescription(description), m_nArgError(nArgError)
    {
    }
    CString GetErrorMessage() const override { return m_strDescription; }

    HRESULT m_scError;
    CString m_strDescription;
    int m_nArgError;
};
