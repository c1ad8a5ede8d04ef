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
    // The provider's messages of the last failed call.
    std::vector<CAdoError> errors;
};

namespace kestrun::odbc {

// Guard on a connection: its error list holds the messages of this call's
// failure, one per line of the driver's report.
template <typename F>
auto GuardOn(CAdoConnection::CImpl& impl, F&& call) -> decltype(call())
{
    try {
        return Guard(std::forward<F>(call));
    } catch (const _com_error& e) {
        impl.errors.clear();
        CString text = e.Description();
        for (int start = 0; start <= text.GetLength();) {
            int end = text.Find('\n', start);
            if (end < 0)
                end = text.GetLength();
            if (end > start)
                impl.errors.push_back(CAdoError{e.Error(), text.Mid(start, end - start)});
            start = end + 1;
        }
        throw;
    }
}

} // namespace kestrun::odbc
