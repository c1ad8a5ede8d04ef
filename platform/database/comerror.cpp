#include "platform/database/comerror.h"

CString _com_error::ErrorMessage() const
{
    switch (static_cast<unsigned>(m_code)) {
    case 0x80004005U: return "Unspecified error";
    case 0x80040E38U: return "Row cannot be located for updating";
    case 0x800A0C93U: return "Operation is not allowed in this context";
    case 0x800A0CC1U: return "Item cannot be found in the collection";
    case 0x800A0BCDU: return "Either BOF or EOF is True, or the current record has been deleted";
    default: return FormatString("Unknown error 0x%08X", static_cast<unsigned>(m_code));
    }
}
