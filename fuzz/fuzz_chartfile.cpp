// The ".cht" file of a chart window: damaged text raises the archive's
// exception; a chart that loads is written again, and that text loads to
// the same text.

#include "fuzz/fuzzsupport.h"
#include "platform/core/exceptions.h"
#include "series/chartfile.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CCurveChartData chart;
    try {
        chart = kestrun::ParseChartFile(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.cht");
    } catch (const CException&) {
        return 0;
    }
    const std::string text = kestrun::ChartFileText(chart);
    try {
        if (kestrun::ChartFileText(kestrun::ParseChartFile(text, "again.cht")) != text)
            std::abort(); // what was written reads differently
    } catch (const CException&) {
        std::abort(); // what was written does not load
    }
    return 0;
}
