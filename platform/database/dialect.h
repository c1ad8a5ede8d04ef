#pragma once
// The pieces of table definitions that differ between the servers behind a
// data source; everything else is written once for all of them.
#include "platform/core/cstring.h"
#include "platform/database/ado.h"

// An integer key column the server numbers itself.
CString AutoKeyColumn(EDbDialect dialect, const CString& name = "ID");
// A column default of the local date and time of the insert.
CString LocalNowDefault(EDbDialect dialect);
