#pragma once
// The error box of the database forms: code, its meaning, source and
// description of a failed database call.
#include "platform/database/ado.h"

// The text the box shows.
CString ComErrorText(const _com_error& e);
void DumpComError(const _com_error& e);
// The provider's messages of the connection's last failure, one line each;
// shows nothing itself.
CString DumpAdoErrors(const _ConnectionPtr& conn);
