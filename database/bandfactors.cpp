#include "database/bandfactors.h"

#include "database/dbfields.h"

int FillLevelBand(int fillLevel)
{
    if (fillLevel < 65)
        return 0;
    if (fillLevel >= 115)
        return 6;
    return (fillLevel - 55) / 10;
}

void ExchangeCorrectionFactors(const _ConnectionPtr& conn, CBandFactorArray& factors, bool store)
{
    _RecordsetPtr rs = CAdoRecordset::Create();
    rs->PutCursorLocation(adUseClient);
    rs->Open("SELECT * FROM Korrekturfaktoren", conn, adOpenKeyset, adLockOptimistic, adCmdText);
    if (rs->GetRecordCount() <= 0)
        return;
    for (rs->MoveFirst(); !rs->GetEOF(); rs->MoveNext()) {
        // The level is a number in new databases and a text in old ones.
        const COleVariant level = rs->GetCollect("Fuellstand");
        if (level.vt == VT_NULL || level.vt == VT_EMPTY)
            continue;
        const CString text = level.ToString().Trim();
        for (size_t band = 0; band < factors.size(); ++band) {
            if (text != FormatString("%d", 60 + 10 * static_cast<int>(band)))
                continue;
            if (store) {
                rs->PutCollect("Faktor", COleVariant(factors[band]));
                rs->Update();
            } else {
                factors[band] = static_cast<float>(GetFieldDouble(rs, "Faktor"));
            }
        }
    }
}
