// Line charts set up as the measurement views do: the profile's line
// style, the group's curves and axes, and the filter kept per document kind.

#include "series/chartsetup.h"
#include "series/curvechart.h"
#include "series/tests/seriestesting.h"

#include "objectmodel/datagroupattrib.h"
#include "platform/core/profile.h"

namespace {

using kestrun::testing::CSeriesTest;

class ChartSetupTest : public CSeriesTest
{
protected:
    void SetUp() override
    {
        CSeriesTest::SetUp();
        m_app.SetProfileName(PathOf("kestrun32.ini"));
    }
};

TEST_F(ChartSetupTest, TheGroupsCurvesTakeTheProfilesLineStyle)
{
    struct Case
    {
        const char* stored; // null: no "Style" in the profile
        DWORD style;
    };
    for (const Case& c : {Case{nullptr, 0x1000000}, Case{"255", 255}, Case{"33554435", 0x2000003}}) {
        WriteProfileString("LineChart", "Style", c.stored);
        CDataGroupAttrib group("Time", 2, "AreaAOI", 1, 5.0f, 50.0f);
        group.AddItemAttrib(CDataItemAttrib("AOI 1", RGB(255, 0, 0), 1, 0, 1, 0));
        group.AddItemAttrib(CDataItemAttrib("AOI 2", RGB(0, 0, 255), 2, 0, 0, 0));
        CCurveChart chart;
        kestrun::SetUpLineChart(chart, group, 3600.0, 7200.0, 60.0);

        const CCurveChartData& data = chart.Data();
        ASSERT_EQ(chart.GetCurveCount(), 2);
        EXPECT_EQ(chart.GetCurveName(1), "AOI 2");
        EXPECT_EQ(chart.GetCurveColour(1), RGB(0, 0, 255));
        EXPECT_EQ(chart.GetCurveStyle(0), c.style);
        EXPECT_EQ(chart.GetCurveStyle(1), c.style);
        EXPECT_TRUE(data.m_Curves[0].m_bShown);
        EXPECT_FALSE(data.m_Curves[1].m_bShown);
        EXPECT_EQ(data.m_dXStart, 3600.0);
        EXPECT_EQ(data.m_dXStep, 60.0);
        EXPECT_EQ(data.m_dXMin, 3600.0);
        EXPECT_EQ(data.m_dXMax, 7200.0);
        EXPECT_EQ(data.m_dYMin, 5.0);
        EXPECT_EQ(data.m_dYMax, 50.0);
        EXPECT_EQ(data.m_strXTitle, "Time");
        EXPECT_EQ(data.m_strYTitle, "AreaAOI");
        EXPECT_EQ(data.m_nXKind, 2);
        EXPECT_EQ(data.m_nYKind, 1);
    }

    // The first curve's style goes back to the profile; a chart without curves leaves it.
    CCurveChart chart;
    chart.SetCurveStyle(chart.AddCurve("A", 0), 0x3000004);
    kestrun::SaveLineChartStyle(chart);
    EXPECT_EQ(kestrun::GetLineChartStyle(), 0x3000004u);
    kestrun::SaveLineChartStyle(CCurveChart());
    EXPECT_EQ(kestrun::GetLineChartStyle(), 0x3000004u);
}

TEST_F(ChartSetupTest, TheFilterIsKeptPerDocumentKind)
{
    struct Case
    {
        const char* type; // null: not stored
        const char* width;
        WORD expectedType;
        SHORT expectedWidth;
    };
    const Case cases[] = {
        {nullptr, nullptr, 0, 1}, {"2", "7", 2, 7}, {"9", "7", 0, 1}, {"1", "5000", 0, 1}, {"1", "-3", 0, 1},
    };
    for (const Case& c : cases) {
        WriteProfileString("BV-Document", "ChartFilterType", c.type);
        WriteProfileString("BV-Document", "ChartFilterWidth", c.width);
        CCurveChart chart;
        chart.AddCurve("A", 0);
        kestrun::ReadChartFilter(chart, "BV-Document");
        EXPECT_EQ(chart.Data().m_nFilterType, c.expectedType) << (c.type ? c.type : "none");
        EXPECT_EQ(chart.Data().m_nFilterWidth, c.expectedWidth) << (c.width ? c.width : "none");
    }
    CCurveChart chart;
    chart.SetFilter(CDataFilter::filterMedian, 9);
    kestrun::SaveChartFilter(chart, "Growth-Document");
    EXPECT_EQ(GetProfileInt("Growth-Document", "ChartFilterType", 0), 2u);
    EXPECT_EQ(GetProfileInt("Growth-Document", "ChartFilterWidth", 0), 9u);
}

} // namespace
