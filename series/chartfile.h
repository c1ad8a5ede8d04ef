#pragma once
// The ".cht" file of a chart window: the whole chart as XML - version,
// titles, kinds, ranges, x start and step, properties 2-4, date, filter and
// the curves with name, colour, style, shown flag and values ("%.9g", gaps
// as "nan"). Saved through a temporary file renamed over the target, so a
// failed save leaves the old file; a damaged or newer file is refused and
// the chart keeps what it had.

#include "series/curvechart.h"

#include <string>
#include <string_view>

namespace kestrun {

// The version this program writes; newer files are refused.
constexpr int kChartFileVersion = 1;

std::string ChartFileText(const CCurveChartData& data);
// Throws CArchiveException naming the file: badSchema for a newer version,
// genericException for anything damaged.
CCurveChartData ParseChartFile(std::string_view text, const CString& fileName);

// Throws CFileException when the file cannot be written; the old file stays.
void SaveChartFile(const CCurveChart& chart, const CString& path);
// Throws CFileException or CArchiveException; the chart stays on failure.
void LoadChartFile(CCurveChart& chart, const CString& path);

} // namespace kestrun
