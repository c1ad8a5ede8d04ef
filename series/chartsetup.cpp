#include "series/chartsetup.h"

#include "series/curvechart.h"

#include "objectmodel/datagroupattrib.h"
#include "platform/core/profile.h"

namespace {

constexpr const char* kLineSection = "LineChart";
constexpr const char* kStyleKey = "Style";
constexpr const char* kFilterTypeKey = "ChartFilterType";
constexpr const char* kFilterWidthKey = "ChartFilterWidth";
constexpr int kDefaultFilterType = 0;
constexpr int kDefaultFilterWidth = 1;

} // namespace

namespace kestrun {

DWORD GetLineChartStyle()
{
    return static_cast<DWORD>(GetProfileInt(kLineSection, kStyleKey, static_cast<int>(CCurveChart::kLineSolid)));
}

void SaveLineChartStyle(const CCurveChart& chart)
{
    if (chart.GetCurveCount() > 0)
        WriteProfileInt(kLineSection, kStyleKey, static_cast<int>(chart.GetCurveStyle(0)));
}

void SetUpLineChart(CCurveChart& chart, const CDataGroupAttrib& group, double xStart, double xEnd, double xStep)
{
    const DWORD style = GetLineChartStyle();
    for (const auto& item : group.GetItems()) {
        const int curve = chart.AddCurve(item->m_strName, item->m_Color);
        chart.SetCurveStyle(curve, style);
        chart.SetCurveShown(curve, item->m_bShown != 0);
    }
    chart.SetXRange(xStart, xEnd, xStep);
    chart.SetXMin(xStart);
    chart.SetXMax(xEnd);
    chart.SetYMin(group.m_dYMin);
    chart.SetYMax(group.m_dYMax);
    chart.SetXTitle(group.m_strXName);
    chart.SetYTitle(group.m_strYName);
    chart.SetXKind(group.m_nXKind);
    chart.SetYKind(group.m_nYKind);
}

void ReadChartFilter(CCurveChart& chart, LPCTSTR lpszSection)
{
    const int type = static_cast<int>(GetProfileInt(lpszSection, kFilterTypeKey, kDefaultFilterType));
    const int width = static_cast<int>(GetProfileInt(lpszSection, kFilterWidthKey, kDefaultFilterWidth));
    const bool usable = type >= 0 && type <= CDataFilter::filterRegressionTrend && width >= 0 &&
                        width <= CCurveChart::kMaxFilterWidth;
    chart.SetFilter(static_cast<WORD>(usable ? type : kDefaultFilterType),
                    static_cast<SHORT>(usable ? width : kDefaultFilterWidth));
}

void SaveChartFilter(const CCurveChart& chart, LPCTSTR lpszSection)
{
    WriteProfileInt(lpszSection, kFilterTypeKey, chart.Data().m_nFilterType);
    WriteProfileInt(lpszSection, kFilterWidthKey, chart.Data().m_nFilterWidth);
}

} // namespace kestrun
