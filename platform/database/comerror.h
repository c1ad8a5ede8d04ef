#pragma once
// The error a failing database call raises, shaped as the COM error the
// callers catch: a code, the system text for it, a source and a description.
#include "platform/core/cstring.h"
#include "platform/core/types.h"

#include <exception>

inline constexpr HRESULT ADO_E_FAIL = static_cast<HRESULT>(0x80004005);
// The row to update or delete was changed or removed by someone else.
inline constexpr HRESULT ADO_E_ROWCHANGED = static_cast<HRESULT>(0x80040E38);
// The operation is not allowed in the recordset's state (closed, no record).
inline constexpr HRESULT ADO_E_ILLEGALOPERATION = static_cast<HRESULT>(0x800A0C93);
// No field of that name.
inline constexpr HRESULT ADO_E_ITEMNOTFOUND = static_cast<HRESULT>(0x800A0CC1);
// BOF or EOF is true, or the current record was deleted.
inline constexpr HRESULT ADO_E_NOCURRENTRECORD = static_cast<HRESULT>(0x800A0BCD);

class _com_error : public std::exception
{
public:
    _com_error(HRESULT code, CString description, CString source = "Kestrun.Database")
        : m_code(code), m_description(std::move(description)), m_source(std::move(source)) {}

    HRESULT Error() const { return m_code; }
    // The system's text for the code.
    CString ErrorMessage() const;
    CString Source() const { return m_source; }
    CString Description() const { return m_description; }
    const char* what() const noexcept override { return m_description.GetString(); }

private:
    HRESULT m_code;
    CString m_description;
    CString m_source;
};
