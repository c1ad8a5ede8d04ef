#include "database/masterrecords.h"

#include "database/comerrorbox.h"
#include "database/dbfields.h"

#include <algorithm>

_RecordsetPtr RequireRecordset(const _RecordsetPtr& rs)
{
    if (!rs)
        throw _com_error(ADO_E_ILLEGALOPERATION, "The recordset is not open");
    return rs;
}

bool HasOpenRecords(const _RecordsetPtr& rs)
{
    return rs && rs->GetState() == adStateOpen && rs->GetRecordCount() > 0;
}

bool MoveToRow(const _RecordsetPtr& rs, long row)
{
    if (row < 0 || row >= rs->GetRecordCount())
        return false;
    rs->MoveFirst();
    rs->Move(row);
    return true;
}

void DeleteCurrentAndMove(const _RecordsetPtr& rs)
{
    rs->Delete();
    if (rs->GetRecordCount() <= 0)
        return;
    if (!rs->GetEOF())
        rs->MoveNext();
    if (rs->GetEOF())
        rs->MoveLast();
}

void DeleteSeriesWithRecords(const _ConnectionPtr& conn, const _RecordsetPtr& series)
{
    if (!conn || !series)
        throw _com_error(ADO_E_ILLEGALOPERATION, "No series recordset or connection");
    if (series->GetRecordCount() <= 0 || series->GetEOF() || series->GetBOF())
        return;
    // Measurements and samples of a deleted series would show under no
    // series at all, so they go with it, and a failure leaves all three.
    const long id = GetFieldInt(series, "ID");
    conn->BeginTrans();
    try {
        conn->Execute(FormatString("DELETE FROM Messungen WHERE MessreihenID = %ld", id));
        conn->Execute(FormatString("DELETE FROM Proben WHERE MessreihenID = %ld", id));
        conn->Execute(FormatString("DELETE FROM Messreihen WHERE ID = %ld", id));
        conn->CommitTrans();
    } catch (const _com_error&) {
        try {
            conn->RollbackTrans();
        } catch (const _com_error&) {
            // The rollback's own failure tells nothing new.
        }
        throw;
    }
    const long position = series->GetAbsolutePosition();
    series->Requery();
    const long count = series->GetRecordCount();
    if (count <= 0)
        return;
    // The record after the deleted one now stands at its place.
    MoveToRow(series, std::min(position, count) - 1);
}

void ReportRecordError(const _ConnectionPtr& conn, const _RecordsetPtr& pending, const _com_error& e)
{
    DumpAdoErrors(conn);
    DumpComError(e);
    try {
        if (pending && pending->GetState() == adStateOpen)
            pending->CancelUpdate();
    } catch (const _com_error&) {
        // Nothing was pending.
    }
}

CString DescriptionColumn(const _RecordsetPtr& rs)
{
    return rs->ColumnIndex("Beschreibung") >= 0 ? CString("Beschreibung") : CString("Bezeichnung");
}

CString DescriptionOrEmpty(const _RecordsetPtr& rs)
{
    const CString text = GetFieldString(rs, DescriptionColumn(rs));
    return text.IsEmpty() ? CString("Empty") : text;
}
