#pragma once
// The report of the tray-scan records: 15 column titles and, per record,
// its 15 cells in title order. Shares use a decimal comma, areas a point.
#include "platform/core/cstring.h"
#include "platform/database/ado.h"

#include <vector>

namespace kestrun::tray {

const std::vector<CString>& TrayReportTitles();

// "DBFront" GetReportTitles: the 15 titles into the script's array, which
// grows to 16 elements when its length is not 15. Answers 15, or 0.
short FillTrayReportTitles(COleVariant& argument);

// The current record's cells; nIndex numbers the rows from 1.
void AppendTrayReportValues(const _RecordsetPtr& rs, int nIndex, std::vector<CString>& cells);

// The cells of every record appended to cells; the recordset comes back to
// the record it stood on. Returns the number of records.
int BuildTrayReportRows(const _RecordsetPtr& rs, std::vector<CString>& cells);

} // namespace kestrun::tray
