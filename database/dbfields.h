#pragma once
// One field of a recordset's current record, read or written by name,
// whatever variant kind the database gives. A failing call raises
// _com_error to the caller.
#include "platform/database/ado.h"

// 0 for an empty recordset, a null and a kind that is no integer.
int GetFieldInt(const _RecordsetPtr& rs, const CString& name);
// 0.0 for an empty recordset, a null and a kind that is no number.
double GetFieldDouble(const _RecordsetPtr& rs, const CString& name);
// Texts and dates; an empty text for the rest and for a text of one blank.
CString GetFieldString(const _RecordsetPtr& rs, const CString& name);
// Stored by the recordset's next update or move. An empty text is stored
// too, so that a cleared field is cleared.
void SetFieldString(const _RecordsetPtr& rs, const CString& name, const CString& text);
