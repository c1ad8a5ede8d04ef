// A measurement document opening a ".cht" file: a damaged file is refused
// with the document as it was (its chart, its new-measurement flag, its
// path); a file that opens saves and opens again to the same chart.

#include "fuzz/fuzzsupport.h"
#include "series/chartfile.h"
#include "series/curvechart.h"
#include "series/kestrundoc.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // One document for the whole run: its settings go to the profile
    // only when it is destroyed.
    static CKestrunDoc* doc = [] {
        auto* made = new CKestrunDoc;
        made->m_bAutoDelete = FALSE;
        return made;
    }();
    CCurveChart& chart = *doc->GetChart(0);
    CCurveChartData kept;
    kept.m_Curves.emplace_back();
    kept.m_Curves.back().m_strName = "Keep";
    chart.SetData(kept);
    doc->m_bNewMeasurement = 1;
    doc->ClearPathName();
    const std::string before = kestrun::ChartFileText(chart.Data());

    const std::string path = kestrun::fuzz::WriteScratchFile(data, size, "cht");
    if (!doc->OnOpenDocument(path.c_str())) {
        if (kestrun::ChartFileText(chart.Data()) != before || doc->m_bNewMeasurement != 1 ||
            !doc->GetPathName().IsEmpty())
            std::abort(); // a refused file changed the document
        return 0;
    }
    const std::string opened = kestrun::ChartFileText(chart.Data());
    const std::string again = path + ".again.cht";
    if (!doc->OnSaveDocument(again.c_str()) || !doc->OnOpenDocument(again.c_str()))
        std::abort(); // what was opened cannot be stored and opened again
    if (kestrun::ChartFileText(chart.Data()) != opened)
        std::abort();
    return 0;
}
