// HTML report templates: any bytes as a template, filled with a value map
// and a table of cells; the fill ends with a result and never crashes.

#include "database/templatereport.h"
#include "fuzz/fuzzsupport.h"

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string templ = kestrun::fuzz::WriteScratchFile(data, size, ".html");
    const std::string output = templ + ".out";
    CMapStringToString values;
    values.SetAt("datum", "<1&2>");
    values.SetAt("probe", "{datum}");
    CStringArray cells;
    for (const char* cell : {"a", "<b>", "{VALUE0}", "d", "e"})
        cells.Add(cell);
    CTemplateReport report(FALSE);
    report.SetTemplatePath(templ.c_str());
    report.SetOutputPath(output.c_str());
    const int result = FillResultTable(report, values, 2, &cells);
    if (result != CTemplateReport::kDone && result != CTemplateReport::kUnterminatedTable)
        std::abort(); // a readable template and a writable output must fill
    std::remove(output.c_str());
    return 0;
}
