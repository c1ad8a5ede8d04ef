#pragma once
// Print Report and Show Table of the database forms, shared by the
// growth-test and the tray-scan form: a workbook template is copied beside
// itself and filled by the report script, any other template is filled as
// HTML into the report window; the records' rows go into a table window.
#include "platform/core/cstring.h"

#include <vector>

class CCmdTarget;
class CWnd;

namespace kestrun::dbui {

// ".xls" or ".xlsx" as written (".XLS" is an HTML template).
bool IsWorkbookTemplate(const CString& templatePath);

// The template copied beside itself as "<series><extension>" ("Report"
// without a series; characters that cannot stand in a file name become
// '_'), asking before an existing workbook is overwritten. A copy that
// fails is said and ends the command. Otherwise workbook names the copy
// and the form's report script runs on it.
void RunWorkbookReport(CCmdTarget& form, const CString& templatePath, const CString& seriesName, CString& workbook);

// The template filled with the date, series and sample and the cells
// (nColumns a row) into "report_temp.html" beside it, shown in the report
// window; the file goes when the window closes. "Error in report" for a
// template that does not fill.
void RunHtmlReport(CWnd* parent, const CString& templatePath, const CString& seriesName, const CString& sample,
                   int nColumns, const std::vector<CString>& cells);

// A table window with the rows under the titles; nTableMode chooses its
// title (0 the table's own). Nothing is shown without the application's
// table template (said).
void ShowRecordTable(const std::vector<CString>& titles, std::vector<std::vector<CString>>& rows, int nTableMode);

} // namespace kestrun::dbui
