#include "database/ui/recordcursor.h"

namespace kestrun::dbui {

bool IsRecordsetOpen(const _RecordsetPtr& rs)
{
    return rs && rs->GetState() == adStateOpen;
}

bool HasRecords(const _RecordsetPtr& rs)
{
    return IsRecordsetOpen(rs) && rs->GetRecordCount() > 0;
}

bool HasCurrentRecord(const _RecordsetPtr& rs)
{
    return HasRecords(rs) && !rs->GetEOF() && !rs->GetBOF();
}

void StepBack(CAdoRecordset& rs)
{
    if (!rs.GetBOF())
        rs.MovePrevious();
    if (rs.GetBOF())
        rs.MoveFirst();
}

void StepForward(CAdoRecordset& rs)
{
    if (!rs.GetEOF())
        rs.MoveNext();
    if (rs.GetEOF())
        rs.MoveLast();
}

bool CanStepBack(const _RecordsetPtr& rs)
{
    return HasRecords(rs) && rs->GetAbsolutePosition() > 1;
}

bool CanStepForward(const _RecordsetPtr& rs)
{
    return HasRecords(rs) && rs->GetAbsolutePosition() > 0 && rs->GetAbsolutePosition() < rs->GetRecordCount();
}

void CloseRecordset(const _RecordsetPtr& rs)
{
    try {
        if (IsRecordsetOpen(rs))
            rs->Close();
    } catch (const _com_error&) {
        // Closing fails only for a recordset that is closed already.
    }
}

} // namespace kestrun::dbui
