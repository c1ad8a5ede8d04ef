#include "database/trayreport.h"

#include "database/dbfields.h"
#include "database/reportvalues.h"
#include "database/traynames.h"

namespace kestrun::tray {

const std::vector<CString>& TrayReportTitles()
{
    static const std::vector<CString> titles = {
        "Index",      "Date/Time",     "ImageName", "BarCode", "Tray",  "Pos",   "Number", "Area (Total)",
        "Area (Avg)", "Area (Dev)", "Area (Median)", "N [%]",   "K [%]", "A [%]", "L [%]"};
    return titles;
}

short FillTrayReportTitles(COleVariant& argument)
{
    const std::vector<CString>& titles = TrayReportTitles();
    const auto count = static_cast<short>(titles.size());
    return FillScriptArray(argument, titles, count, count + 1);
}

void AppendTrayReportValues(const _RecordsetPtr& rs, int nIndex, std::vector<CString>& cells)
{
    cells.push_back(FormatString("%d", nIndex));
    cells.push_back(GetFieldString(rs, "DatumZeit"));
    cells.push_back(GetFieldString(rs, "Bildname"));
    cells.push_back(GetBarCodeFromName(GetFieldString(rs, "DataName")));
    cells.push_back(FormatString("%d (%d)", GetFieldInt(rs, "Messtag"), GetFieldInt(rs, "Anzahl_Manuell")));
    cells.push_back(PositionLetter(GetFieldInt(rs, "Fuellstand"), GetFieldInt(rs, "GlasNr")));
    cells.push_back(FormatString("%d", GetFieldInt(rs, "Anzahl")));
    for (const char* area : {"Flaeche_Fronds", "Flaeche_MittelWert", "Flaeche_Standardabw", "Flaeche_Median"})
        cells.push_back(FormatString("%.2lf", GetFieldDouble(rs, area)));
    for (const char* share : {"Prozent_Hell", "Prozent_Gelblich", "Prozent_Ausgebleicht", "Prozent_Normal"})
        cells.push_back(FormatDecimalComma("%.1lf", GetFieldDouble(rs, share)));
}

int BuildTrayReportRows(const _RecordsetPtr& rs, std::vector<CString>& cells)
{
    if (rs->GetRecordCount() == 0)
        return 0;
    const long position = rs->GetAbsolutePosition();
    int records = 0;
    for (rs->MoveFirst(); !rs->GetEOF(); rs->MoveNext())
        AppendTrayReportValues(rs, ++records, cells);
    if (position >= 1)
        rs->PutAbsolutePosition(position);
    else
        rs->MoveFirst();
    return records;
}

} // namespace kestrun::tray
