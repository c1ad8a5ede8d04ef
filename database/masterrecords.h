#pragma once
// How the master-data dialogs tie a list row to a record and delete one:
// row n is the n-th record of its recordset in query order. A failing call
// raises _com_error to the caller.
#include "platform/database/ado.h"

// The recordset itself; a missing one raises the error the dialogs report.
_RecordsetPtr RequireRecordset(const _RecordsetPtr& rs);
// Open and with at least one record.
bool HasOpenRecords(const _RecordsetPtr& rs);

// Makes record n (from 0) current. False, and nothing moved, for a row
// below 0 or at or beyond the record count.
bool MoveToRow(const _RecordsetPtr& rs, long row);

// Deletes the current record; the one after it, or the new last one,
// becomes current.
void DeleteCurrentAndMove(const _RecordsetPtr& rs);

// Deletes the current series of the series recordset together with its
// measurements and samples, all or none, then moves as DeleteCurrentAndMove.
// Without a current record nothing happens.
void DeleteSeriesWithRecords(const _ConnectionPtr& conn, const _RecordsetPtr& series);

// Deletes the current dilution series of the recordset with its steps, all
// or none, and requeries it, leaving the record after the deleted one (or
// the new last one) current. False, and nothing deleted, while a
// measurement series still uses it or there is no current record.
bool DeleteUnusedDilutionSeries(const _ConnectionPtr& conn, const _RecordsetPtr& dilutions);

// The error path of the master-data dialogs: the provider's messages of the
// connection are walked, the error box shown, and a change pending on the
// recordset dropped so that no later move stores half a record.
void ReportRecordError(const _ConnectionPtr& conn, const _RecordsetPtr& pending, const _com_error& e);

// The text column of the dilution-series and glass-type tables: databases
// name it Beschreibung or, as ours are created, Bezeichnung.
CString DescriptionColumn(const _RecordsetPtr& rs);
// That column's text, "Empty" for a null or empty one.
CString DescriptionOrEmpty(const _RecordsetPtr& rs);
