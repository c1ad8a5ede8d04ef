#pragma once
// Setting a line chart up as the measurement views do: the curves of a
// group attribute record in the line style of the profile ("LineChart",
// "Style"), and the filter of the chart kept per document kind
// ("ChartFilterType", "ChartFilterWidth" in the kind's section).

#include "platform/core/cstring.h"
#include "platform/core/types.h"

class CCurveChart;
class CDataGroupAttrib;

namespace kestrun {

// The profile's line style for new curves; 0x1000000 (a solid line)
// unless set.
DWORD GetLineChartStyle();
// The first curve's style becomes the profile's; nothing without curves.
void SaveLineChartStyle(const CCurveChart& chart);

// One curve per item (name, colour, shown) in the profile's style, the x
// range from start to end in steps, the value range, titles and kinds of
// the group.
void SetUpLineChart(CCurveChart& chart, const CDataGroupAttrib& group, double xStart, double xEnd, double xStep);

// The filter stored for a document kind; a type or width the chart cannot
// take reads as the defaults, 0 and 1.
void ReadChartFilter(CCurveChart& chart, LPCTSTR lpszSection);
void SaveChartFilter(const CCurveChart& chart, LPCTSTR lpszSection);

} // namespace kestrun
