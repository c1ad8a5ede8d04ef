#pragma once
// The cursor of a database form's records: whether there is a record to
// show, and the moves of the navigation commands, which never leave the
// cursor beyond either end.
#include "platform/database/ado.h"

namespace kestrun::dbui {

bool IsRecordsetOpen(const _RecordsetPtr& rs);
bool HasRecords(const _RecordsetPtr& rs);
// Records, and the cursor on one of them.
bool HasCurrentRecord(const _RecordsetPtr& rs);

void StepBack(CAdoRecordset& rs);
void StepForward(CAdoRecordset& rs);
// Whether First and Previous, or Next and Last, would move.
bool CanStepBack(const _RecordsetPtr& rs);
bool CanStepForward(const _RecordsetPtr& rs);

// Closes an open recordset; one that will not close is left as it is.
void CloseRecordset(const _RecordsetPtr& rs);

} // namespace kestrun::dbui
