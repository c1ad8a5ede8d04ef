// The chart axes: value-to-pixel mapping, the tick steps of decimal,
// binary and time axes, the label texts, and a chart's plot and rulers
// drawn into a recording context.

#include "series/trackchart.h"

#include "platform/core/recording_dc.h"
#include "platform/core/resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

namespace {

CAxis MakeAxis(double dMin, double dMax, int nLabelMode = CAxis::labelInteger)
{
    CAxis axis;
    axis.m_nLabelMode = nLabelMode;
    axis.SetRange(dMin, dMax);
    return axis;
}

TEST(AxisMappingTest, MapsValuesFromTheMinimumAndTurnsForReversedAxesAndRanges)
{
    CAxis axis = MakeAxis(10.0, 60.0);
    axis.SetScale(500, 100);
    EXPECT_DOUBLE_EQ(axis.m_dScale, 10.0);
    EXPECT_EQ(axis.ValueToPixel(10.0), 0);
    EXPECT_EQ(axis.ValueToPixel(12.34), 23); // 23.4 + 0.5, truncated
    EXPECT_EQ(axis.ValueToPixel(60.0), 500);

    // Vertical, larger values higher: the pixels run upwards.
    CAxis up = MakeAxis(10.0, 60.0);
    up.SetStyle(1);
    up.SetScale(100, 250);
    EXPECT_DOUBLE_EQ(up.m_dScale, 5.0);
    EXPECT_EQ(up.ValueToPixel(20.0), -50);

    // A range that runs downwards turns the direction once more: -100 + 0.5
    // truncates towards 0 before the turn.
    CAxis down = MakeAxis(60.0, 10.0);
    down.SetScale(500, 100);
    EXPECT_EQ(down.ValueToPixel(50.0), 99);

    // Ticks below with right-aligned labels take half the scale.
    CAxis half = MakeAxis(0.0, 50.0);
    half.SetStyle(CAxisBase::kTickRightAligned);
    half.SetScale(500, 100);
    EXPECT_DOUBLE_EQ(half.m_dScale, 5.0);
}

TEST(AxisMappingTest, ASpanOfZeroLeavesScaleAndStepUntouched)
{
    CAxis axis = MakeAxis(0.0, 50.0);
    axis.SetScale(500, 100);
    axis.NiceStep(40);
    const double scale = axis.m_dScale;
    const double step = axis.m_dStep;
    axis.SetRange(7.0, 7.0);
    axis.SetScale(800, 100);
    axis.NiceStep(40);
    EXPECT_DOUBLE_EQ(axis.m_dScale, scale);
    EXPECT_DOUBLE_EQ(axis.m_dStep, step);
}

struct NiceStepCase
{
    double span;
    double scale; // pixels per unit
    int labelMode;
    int minPixels;
    double step;
    int minorCount;
};

void PrintTo(const NiceStepCase& c, std::ostream* out)
{
    *out << (c.labelMode == CAxis::labelInteger ? "integer" : "real") << " span " << c.span << " at " << c.scale
         << " px, labels " << c.minPixels;
}

class NiceStepTest : public ::testing::TestWithParam<NiceStepCase>
{
};

TEST_P(NiceStepTest, TakesTheFirstOneTwoFiveStepLongEnough)
{
    const NiceStepCase& c = GetParam();
    CAxis axis = MakeAxis(0.0, c.span, c.labelMode);
    axis.m_dScale = c.scale;
    axis.NiceStep(c.minPixels);
    EXPECT_DOUBLE_EQ(axis.m_dStep, c.step);
    EXPECT_EQ(axis.m_nMinorCount, c.minorCount);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, NiceStepTest,
    ::testing::Values(
        // Span 50 at 10 pixels per unit, labels 40 apart (target 50): 5, four minor ticks.
        NiceStepCase{50.0, 10.0, CAxis::labelReal, 40, 5.0, 4},
        NiceStepCase{50.0, 10.0, CAxis::labelInteger, 40, 5.0, 4},
        // 10 pixels per step of 1 is short of 25; 2 reaches 20, still short; 5 does.
        NiceStepCase{200.0, 10.0, CAxis::labelInteger, 20, 5.0, 4},
        // A step of ten gets nine minor ticks, a tenth of it each.
        NiceStepCase{1000.0, 5.0, CAxis::labelInteger, 40, 10.0, 9},
        // Minor ticks closer than 3 pixels are left out.
        NiceStepCase{1000.0, 1.0, CAxis::labelInteger, 8, 10.0, 0},
        // The search starts at 1e-5 for a real span of 0.05, at 1e-6 for one of 0.001.
        NiceStepCase{0.05, 1e7, CAxis::labelReal, 40, 1e-5, 4},
        NiceStepCase{0.001, 1e8, CAxis::labelReal, 40, 1e-6, 4},
        // An integer axis never steps below 1.
        NiceStepCase{3.0, 200.0, CAxis::labelInteger, 10, 1.0, 9}));

TEST(AxisStepTest, StartDecadeFollowsTheSpanOnRealAxes)
{
    const std::pair<double, double> cases[] = {{0.0005, 1e7}, {0.001, 1e6}, {0.05, 1e5}, {0.5, 1e4},
                                               {5.0, 1e3},    {50.0, 1e2},  {100.0, 1.0}, {-50.0, 1e2}};
    for (const auto& [span, decade] : cases) {
        CAxis axis = MakeAxis(0.0, span, CAxis::labelReal);
        EXPECT_DOUBLE_EQ(axis.StartDecade(), decade) << "span " << span;
    }
    EXPECT_DOUBLE_EQ(MakeAxis(0.0, 0.0005).StartDecade(), 10.0);
}

TEST(AxisStepTest, CountBinaryAndTimeSteps)
{
    CAxis counted = MakeAxis(0.0, 47.0);
    counted.StepForCount(); // 47 / 10 = 4.7, rounded on an integer axis
    EXPECT_DOUBLE_EQ(counted.m_dStep, 5.0);
    counted.m_nDivisions = 0;
    counted.StepForCount();
    EXPECT_DOUBLE_EQ(counted.m_dStep, 47.0);
    CAxis tiny = MakeAxis(0.0, 2.0);
    tiny.StepForCount();
    EXPECT_DOUBLE_EQ(tiny.m_dStep, 1.0);

    CAxis binary = MakeAxis(0.0, 64.0);
    binary.m_dScale = 3.0;
    binary.BinaryStep(20); // target 25: 8 * 3 = 24 is short, 16 * 3 reaches it
    EXPECT_DOUBLE_EQ(binary.m_dStep, 16.0);
    EXPECT_EQ(binary.m_nMinorCount, 0);

    CAxis time = MakeAxis(0.0, 3600.0, CAxis::labelTime);
    time.TimeStep(40);
    EXPECT_DOUBLE_EQ(time.m_dStep, 0.01); // no scale: the first step
    time.m_dScale = 0.2;
    time.TimeStep(40); // target 50: 300 s is 60 pixels; 120 s only 24
    EXPECT_DOUBLE_EQ(time.m_dStep, 300.0);
    EXPECT_EQ(time.m_nMinorCount, 4);
    time.m_dScale = 1e-6;
    time.TimeStep(40);
    EXPECT_DOUBLE_EQ(time.m_dStep, 432000.0);

    // The style picks the choice: binary bits before the time mode.
    time.SetStyle(0x10000);
    time.m_dScale = 3.0;
    time.ChooseStep(20);
    EXPECT_DOUBLE_EQ(time.m_dStep, 16.0);
}

struct LabelCase
{
    int labelMode;
    double span; // sets the time parts
    double value;
    int precision;
    const char* text;
};

void PrintTo(const LabelCase& c, std::ostream* out)
{
    *out << '"' << c.text << '"';
}

class AxisLabelTest : public ::testing::TestWithParam<LabelCase>
{
};

TEST_P(AxisLabelTest, FormatsTheValue)
{
    const LabelCase& c = GetParam();
    const CAxis axis = MakeAxis(0.0, c.span, c.labelMode);
    EXPECT_EQ(axis.FormatLabel(c.value, c.precision), c.text);
}

INSTANTIATE_TEST_SUITE_P(Labels, AxisLabelTest,
                         ::testing::Values(LabelCase{CAxis::labelInteger, 100.0, 42.9, 0, "42"},
                                           LabelCase{CAxis::labelInteger, 100.0, -3.7, 0, "-3"},
                                           LabelCase{CAxis::labelInteger, 100.0, 5e-15, 0, "0"},
                                           LabelCase{CAxis::labelReal, 1.0, 5e-15, 2, "0.00"},
                                           LabelCase{CAxis::labelReal, 1.0, 0.125, 2, "0.12"},
                                           // 90 s span: minutes and seconds
                                           LabelCase{CAxis::labelTime, 90.0, 90.0, 0, "01:30"},
                                           // 2 hours: hours and minutes
                                           LabelCase{CAxis::labelTime, 7200.0, 7200.0, 0, "2:00"},
                                           // 3 days: days, a blank, a colon, hours
                                           LabelCase{CAxis::labelTime, 3 * 86400.0, 2 * 86400.0 + 5 * 3600.0, 0, "2 :5"},
                                           // under a minute: minutes, seconds and milliseconds
                                           LabelCase{CAxis::labelTime, 30.0, 12.25, 0, "00:12:250"}));

TEST(AxisLabelTest, DividedLabelsAndTitles)
{
    CAxis axis = MakeAxis(0.0, 5000.0);
    axis.m_strTitle = "Area";
    EXPECT_EQ(axis.GetTitleText(), "Area");
    axis.m_dUnitDivisor = 100.0;
    EXPECT_EQ(axis.GetTitleText(), "Area [x100]");
    EXPECT_EQ(axis.FormatLabel(2550.0, 0), "25");
}

TEST(AxisTicksTest, TicksLieOnWholeStepsInsideTheRange)
{
    CAxis axis = MakeAxis(3.0, 27.0);
    axis.m_dScale = 10.0;
    axis.m_sizeLabel = CSize(30, 12);
    axis.Layout(CPoint(0, 0), 240, 50, 12);
    EXPECT_DOUBLE_EQ(axis.m_dStep, 5.0);
    EXPECT_DOUBLE_EQ(axis.m_dFirstTick, 3.0); // the step's multiple lies 3 below the minimum
    EXPECT_EQ(axis.MajorTicks(), (std::vector<double>{5.0, 10.0, 15.0, 20.0, 25.0}));
    const std::vector<double> minors = axis.MinorTicks();
    EXPECT_EQ(minors.front(), 4.0);
    EXPECT_EQ(minors.back(), 26.0);
    EXPECT_EQ(std::count(minors.begin(), minors.end(), 10.0), 0);

    // A tick at the end of the range when the style asks for one.
    axis.SetStyle(CAxisBase::kEndTick);
    EXPECT_EQ(axis.MajorTicks().back(), 27.0);
}

// A chart's rulers around a 200 x 100 plot: x along the top, y on the left.
class RulerChartTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_chart.SetDisplay(FALSE, TRUE);
        m_chart.GetXAxis().SetStyle(0x100220, 0xFFFFF);
        m_chart.GetLeftAxis().SetStyle(0x100222, 0xFFFFF);
        m_chart.GetXAxis().SetRange(0.0, 200.0);
        m_chart.GetLeftAxis().SetRange(0.0, 100.0);
        m_chart.GetXAxis().m_strTitle = "[mm]";
    }

    std::vector<CString> Texts() const
    {
        std::vector<CString> texts;
        for (const CDCRecord& r : m_dc.Records())
            if (r.op == "TextOut")
                texts.push_back(r.text);
        return texts;
    }

    CTrackChart m_chart;
    CRecordingDC m_dc;
};

TEST_F(RulerChartTest, DrawsTheFrameWithoutFillAndLabelsBothAxes)
{
    ASSERT_TRUE(m_chart.DrawPlot(&m_dc, CRect(0, 0, 300, 200), CRect(35, 30, 235, 130)));
    const std::vector<CString> ops = m_dc.Ops();
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "FillSolidRect"), 0);
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "LineTo"), 4); // the frame
    m_dc.Clear();
    m_chart.DrawAxes(&m_dc);

    // The x labels above the top edge, at their ticks.
    const std::vector<CString> texts = Texts();
    for (const char* label : {"0", "50", "100", "150", "200", "[mm]"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), label), texts.end()) << label;
    for (const CDCRecord& r : m_dc.Records()) {
        if (r.op != "TextOut")
            continue;
        if (r.text == "150") {
            // Centred on x = 35 + 150 (6 pixels a character) and above the plot's top edge.
            EXPECT_EQ(r.points[0].x, 185 - 9) << r;
            EXPECT_LT(r.points[0].y + 12, 30) << r;
        }
    }
    // The y labels left of the plot.
    const CAxis& y = m_chart.GetLeftAxis();
    EXPECT_GT(y.m_dStep, 0.0);
    for (const CDCRecord& r : m_dc.Records()) {
        if (r.op == "TextOut" && r.points[0].y > 30 && r.text != "[mm]") {
            EXPECT_LE(r.points[0].x + 6 * r.text.GetLength(), 35) << r;
        }
    }
}

TEST_F(RulerChartTest, APlotWithoutRangeIsNotDrawn)
{
    m_chart.GetXAxis().SetRange(4.0, 4.0);
    EXPECT_FALSE(m_chart.DrawPlot(&m_dc, CRect(0, 0, 300, 200), CRect(35, 30, 235, 130)));
    EXPECT_TRUE(m_dc.Records().empty());
    EXPECT_FALSE(m_chart.DrawPlot(&m_dc, CRect(0, 0, 300, 200), CRect()));

    AfxRegisterString(57378, "Reset zoom ");
    m_chart.DrawTitleById(&m_dc, 57378);
    EXPECT_EQ(Texts().size(), 0u);
    ASSERT_EQ(m_dc.Records().size(), 1u);
    EXPECT_EQ(m_dc.Records()[0].text, "Reset zoom ");
}

TEST_F(RulerChartTest, TrackSegmentsMapThroughTheAxes)
{
    ASSERT_TRUE(m_chart.DrawPlot(&m_dc, CRect(0, 0, 300, 200), CRect(35, 30, 235, 130)));
    m_dc.Clear();
    m_chart.DrawTrackSegment(&m_dc, 10.0, 20.0, 50.0, 60.0, RGB(0, 0, 255));
    ASSERT_EQ(m_dc.Records().size(), 2u);
    EXPECT_EQ(m_dc.Records()[1].points[0], CPoint(45, 50));
    EXPECT_EQ(m_dc.Records()[1].points[1], CPoint(85, 90));
    EXPECT_EQ(m_dc.Records()[1].pen.lopnColor, RGB(0, 0, 255));
}

TEST(ChartLayoutTest, LeavesRoomForTheLabelsOrRefuses)
{
    CChart chart;
    chart.GetXAxis().SetRange(0.0, 1000.0);
    chart.GetLeftAxis().SetRange(0.0, 50.0);
    CRecordingDC dc;
    ASSERT_TRUE(chart.Layout(&dc, CRect(0, 0, 400, 300)));
    const CRect plot = chart.GetPlotRect();
    EXPECT_GT(plot.left, 0);
    EXPECT_LT(plot.bottom, 300);
    EXPECT_GT(plot.Width(), 300);
    dc.Clear();
    chart.Draw(&dc);
    const std::vector<CString> ops = dc.Ops();
    EXPECT_EQ(std::count(ops.begin(), ops.end(), "FillSolidRect"), 1);

    CChart tiny;
    tiny.GetXAxis().SetRange(0.0, 1000.0);
    tiny.GetLeftAxis().SetRange(0.0, 50.0);
    EXPECT_FALSE(tiny.Layout(&dc, CRect(0, 0, 40, 20)));
}

} // namespace
