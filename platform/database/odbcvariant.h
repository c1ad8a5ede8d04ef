#pragma once
// Between the ODBC layer's plain values and variants; ODBC errors become
// _com_error. Private to platform/database.
#include "platform/database/ado.h"
#include "platform/database/odbc.h"

namespace kestrun::odbc {

CValue ToValue(const COleVariant& v);
COleVariant ToVariant(const CValue& v);
VARTYPE ToType(EKind kind);
EKind ToKind(VARTYPE type);
std::vector<CValue> ToValues(const std::vector<COleVariant>& values);

// Runs an ODBC call; its error is raised as _com_error.
template <typename F>
auto Guard(F&& call) -> decltype(call())
{
    try {
        return call();
    } catch (const CError& e) {
        throw _com_error(e.code == CError::Overflow ? DISP_E_OVERFLOW : ADO_E_FAIL, CString(e.text.c_str()), "ODBC");
    }
}

} // namespace kestrun::odbc

struct CAdoConnection::CImpl
{
    kestrun::odbc::CConnection connection;
};
