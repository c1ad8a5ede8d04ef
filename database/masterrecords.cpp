#include "database/masterrecords.h"

#include "database/comerrorbox.h"
#include "database/dbfields.h"

#include <algorithm>
#include <vector>

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

namespace {

bool HasCurrentRecord(const _RecordsetPtr& rs)
{
    return rs->GetRecordCount() > 0 && !rs->GetEOF() && !rs->GetBOF();
}

// Runs the statements in one transaction, all or none, then requeries the
// recordset and makes the record after the deleted current one current.
void DeleteInTransaction(const _ConnectionPtr& conn, const _RecordsetPtr& rs, const std::vector<CString>& statements)
{
    conn->BeginTrans();
    try {
        for (const CString& sql : statements)
            conn->Execute(sql);
        conn->CommitTrans();
    } catch (const _com_error&) {
        try {
            conn->RollbackTrans();
        } catch (const _com_error&) {
            // The rollback's own failure tells nothing new.
        }
        throw;
    }
    const long position = rs->GetAbsolutePosition();
    rs->Requery();
    const long count = rs->GetRecordCount();
    if (count <= 0)
        return;
    // The record after the deleted one now stands at its place.
    MoveToRow(rs, std::min(position, count) - 1);
}

} // namespace

void DeleteSeriesWithRecords(const _ConnectionPtr& conn, const _RecordsetPtr& series)
{
    if (!conn || !series)
        throw _com_error(ADO_E_ILLEGALOPERATION, "No series recordset or connection");
    if (!HasCurrentRecord(series))
        return;
    // Measurements and samples of a deleted series would show under no
    // series at all, so they go with it, and a failure leaves all three.
    const long id = GetFieldInt(series, "ID");
    DeleteInTransaction(conn, series,
                        {FormatString("DELETE FROM Messungen WHERE MessreihenID = %ld", id),
                         FormatString("DELETE FROM Proben WHERE MessreihenID = %ld", id),
                         FormatString("DELETE FROM Messreihen WHERE ID = %ld", id)});
}

bool DeleteUnusedDilutionSeries(const _ConnectionPtr& conn, const _RecordsetPtr& dilutions)
{
    if (!conn || !dilutions)
        throw _com_error(ADO_E_ILLEGALOPERATION, "No dilution-series recordset or connection");
    if (!HasCurrentRecord(dilutions))
        return false;
    // A series whose dilution series went would read its steps from nothing.
    const long id = GetFieldInt(dilutions, "ID");
    _RecordsetPtr users = CAdoRecordset::Create();
    users->PutCursorLocation(adUseClient);
    users->Open(FormatString("SELECT ID FROM Messreihen WHERE V_ReiheID = %ld", id), conn, adOpenKeyset,
                adLockReadOnly, adCmdText);
    const bool used = users->GetRecordCount() > 0;
    users->Close();
    if (used)
        return false;
    DeleteInTransaction(conn, dilutions,
                        {FormatString("DELETE FROM Verduennungsstufen WHERE V_ReiheID = %ld", id),
                         FormatString("DELETE FROM Verduennungsreihen WHERE ID = %ld", id)});
    return true;
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
