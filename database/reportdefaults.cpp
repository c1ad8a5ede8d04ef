#include "database/reportdefaults.h"

#include "platform/core/atomicfile.h"
#include "platform/core/exceptions.h"

#include <cstring>
#include <filesystem>
#include <system_error>

namespace kestrun {

namespace {

constexpr const char kTemplate[] = R"(<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<title>Report {messreihe}</title>
<style>
body { font-family: sans-serif; }
table { border-collapse: collapse; }
td { border: 1px solid #888; padding: 2px 6px; text-align: right; }
</style>
</head>
<body>
<h1>Measurement row {messreihe}</h1>
<p>Sample: {probe}<br>Date: {datum}</p>
<table>
{BEGINTABLE RESULTVALUES}
<tr>{BEGINCOLUMN}
<td>{VALUE}</td>
{ENDCOLUMN}</tr>
{ENDTABLE}
</table>
</body>
</html>
)";

// Print Report puts the copied workbook's path in place of the name that
// Workbooks.Open is given below.
constexpr const char kScript[] = R"(' Fills the workbook that Print Report copied from the template: the name
' of the measurement row in A1, the column titles in row 3 and one row per
' record from row 4. Numbers go in as numbers, so the template's formulas
' and number formats work on them.
Dim titles, values, columns, rows, xl, book, sheet, r, c

Function CellValue(text)
    Dim number
    number = Replace(text, ",", ".")
    If IsNumeric(number) Then
        CellValue = CDbl(number)
    Else
        CellValue = text
    End If
End Function

titles = Array("")
values = Array("")
columns = DBFront.GetReportTitles(titles)
rows = DBFront.GetReportValues(values)

Set xl = CreateObject("Excel.Application")
xl.DisplayAlerts = False
Set book = xl.Workbooks.Open("report.xls")
Set sheet = book.Worksheets(1)
sheet.Cells(1, 1).Value = DBFront.GetReportInfo(0)
For c = 0 To columns - 1
    sheet.Cells(3, c + 1).Value = titles(c)
Next
For r = 0 To rows - 1
    For c = 0 To columns - 1
        sheet.Cells(r + 4, c + 1).Value = CellValue(values(r * columns + c))
    Next
Next
book.Save
book.Close
xl.Quit
)";

bool InstallFile(const std::filesystem::path& path, const char* text)
{
    std::error_code error;
    if (std::filesystem::exists(path, error) || error)
        return !error;
    std::filesystem::create_directories(path.parent_path(), error);
    try {
        CAtomicFileWriter writer(path.c_str());
        writer.Write(text, std::strlen(text));
        writer.Commit(false);
    } catch (const CFileException&) {
        return false;
    }
    return true;
}

} // namespace

const char* DefaultReportTemplate()
{
    return kTemplate;
}

const char* DefaultReportScript()
{
    return kScript;
}

bool InstallReportDefaults(const CString& dataRoot)
{
    if (dataRoot.IsEmpty())
        return false;
    const std::filesystem::path root(dataRoot.GetString());
    const bool html = InstallFile(root / "data" / "vovod.html", kTemplate);
    const bool script = InstallFile(root / "script" / "report.txt", kScript);
    return html && script;
}

} // namespace kestrun
