#pragma once
// The tables of the growth-test database: a new, empty database gets all of
// them; one with tables is brought up to date in place. Names are written
// unquoted and matched whatever their case, since PostgreSQL folds them.
// A failing statement raises _com_error; what ran before it stays.
#include "platform/database/ado.h"

// True when a table of that name exists, whatever its case.
bool HasTable(const _ConnectionPtr& conn, const CString& name);

// Creates every table when the database has none, else adds the columns
// and drops the tables that changed since older versions. Returns the
// number of statements it ran (0 for a current database).
int PrepareGrowthSchema(const _ConnectionPtr& conn);
