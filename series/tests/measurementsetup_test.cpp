// The set-up of a measurement: the pages' checks, the time marks and run
// time it schedules, the chart's x axis, and where its values come from.

#include "series/tests/measurementtesting.h"

#include "platform/core/profile.h"
#include "series/curvechart.h"

#include <optional>
#include <tuple>

namespace kestrun::testing {
namespace {

using MarkTuple = std::tuple<std::string, DWORD, DWORD>;

std::vector<MarkTuple> MarksOf(const CTimeMarkList& list)
{
    std::vector<MarkTuple> marks;
    for (INT_PTR i = 0; i < list.GetCount(); ++i) {
        const CTimeMark* mark = list.GetAt(i);
        marks.emplace_back(mark->m_strName.GetString(), mark->m_nStart, mark->m_nInterval);
    }
    return marks;
}

class MeasurementSetupTest : public CMeasurementTest
{
};

TEST_F(MeasurementSetupTest, ChecksAndScheduleAsOneTable)
{
    struct sCase
    {
        const char* name;
        int min, sec, msec;
        int days, hours, runMin;
        int delay1, delay2;
        const char* refusal; // "" when accepted
        std::vector<MarkTuple> marks;
        DWORD runTime;
        double xEnd, xStep;
    };
    const std::vector<MarkTuple> every20 = {{"On1", 0, 20}, {"Measure", 0, 20}, {"Off", 0, 20}};
    const sCase cases[] = {
        {"50 ms", 0, 0, 50, 0, 0, 1, 0, 0, "Select a 20 ms or a 40 ms interval", {}, 0, 0, 0},
        {"no interval", 0, 0, 0, 0, 0, 1, 0, 0, "Select a 20 ms or a 40 ms interval", {}, 0, 0, 0},
        {"20 ms", 0, 0, 20, 0, 0, 1, 0, 0, "", every20, 60000, 60.0, 0.02},
        {"30 ms", 0, 0, 30, 0, 0, 1, 0, 0, "", {{"On1", 0, 30}, {"Measure", 0, 30}, {"Off", 0, 30}}, 60000, 60.0, 0.03},
        {"40 ms", 0, 0, 40, 0, 0, 1, 0, 0, "", {{"On1", 0, 40}, {"Measure", 0, 40}, {"Off", 0, 40}}, 60000, 60.0, 0.04},
        {"100 ms", 0, 0, 100, 0, 0, 2, 0, 0, "", {{"On1", 0, 100}, {"Measure", 0, 100}, {"Off", 0, 100}}, 120000,
         120.0, 0.1},
        {"32 days", 0, 1, 0, 32, 0, 0, 0, 0, "Please enter a whole number from 0 to 31.", {}, 0, 0, 0},
        {"a day of seconds: 86400 steps", 0, 1, 0, 1, 0, 0, 0, 0, "",
         {{"On1", 0, 1000}, {"Measure", 0, 1000}, {"Off", 0, 1000}}, 86400000, 86400.0, 1.0},
        {"1000000 steps", 0, 0, 120, 1, 9, 20, 0, 0, "", {{"On1", 0, 120}, {"Measure", 0, 120}, {"Off", 0, 120}},
         120000000, 120000.0, 0.12},
        {"1000500 steps", 0, 0, 120, 1, 9, 21, 0, 0, "Too much data!\n Decrease runtime or increase interval", {}, 0,
         0, 0},
        {"delays and the save mark from 10 s", 0, 10, 0, 0, 1, 0, 300, 700, "",
         {{"On1", 0, 10000}, {"Measure", 300, 10000}, {"Off", 1000, 10000}, {"Save", 0, 1800000}}, 3600700, 3600.0,
         10.0},
        {"9.999 s: no save mark", 0, 9, 999, 0, 1, 0, 0, 0, "",
         {{"On1", 0, 9999}, {"Measure", 0, 9999}, {"Off", 0, 9999}}, 3600000, 3600.0, 9.999},
        {"delay beyond range", 0, 1, 0, 0, 0, 1, 0, 100001, "Please enter a whole number from 0 to 100000.", {}, 0, 0,
         0},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_boxes->Clear();
        auto doc = MakeDoc();
        CMeasurementSetup setup = Setup(*doc, "AreaAOI", c.sec, c.msec, c.runMin);
        setup.m_nIntervalMin = c.min;
        setup.m_nRunDays = c.days;
        setup.m_nRunHours = c.hours;
        setup.m_nDelay1 = c.delay1;
        setup.m_nDelay2 = c.delay2;
        EXPECT_EQ(CheckSetup(setup), CString(c.refusal));
        const bool accepted = doc->ApplySetup(setup);
        EXPECT_EQ(accepted, *c.refusal == '\0');
        if (!accepted) {
            EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{c.refusal});
            EXPECT_EQ(doc->m_TimeMarks.GetCount(), 0);
            continue;
        }
        EXPECT_EQ(MarksOf(doc->m_TimeMarks), c.marks);
        EXPECT_EQ(doc->m_TimeMarks.GetRunTime(), c.runTime);
        const CCurveChart& chart = *doc->GetChart(0);
        EXPECT_DOUBLE_EQ(chart.Data().m_dXStart, 0.0);
        EXPECT_DOUBLE_EQ(chart.GetXMax(), c.xEnd);
        EXPECT_DOUBLE_EQ(chart.Data().m_dXStep, c.xStep);
    }
    // The steps are counted in milliseconds: 20 ms over a minute are 3000.
    CMeasurementSetup fast;
    fast.m_nIntervalSec = 0;
    fast.m_nIntervalMSec = 20;
    EXPECT_EQ(SetupStepCount(fast), 3000u);
}

TEST_F(MeasurementSetupTest, ClockStartAndCountAxis)
{
    auto doc = MakeDoc();
    CMeasurementSetup clock = Setup(*doc, "MeanColor", 30, 0, 10);
    clock.m_bClockSynchron = 1;
    clock.m_nStartHour = 10;
    clock.m_nStartMin = 30;
    ASSERT_TRUE(doc->ApplySetup(clock));
    EXPECT_EQ(doc->m_bTimingSynchron, 1);
    EXPECT_EQ(doc->m_StartTime, m_host.m_now + 2 * 3600 + 30 * 60); // the host's day at 08:00
    const CCurveChart& chart = *doc->GetChart(0);
    EXPECT_DOUBLE_EQ(chart.Data().m_dXStart, 37800.0);
    EXPECT_DOUBLE_EQ(chart.GetXMax(), 37800.0 + 600.0);
    EXPECT_EQ(chart.GetYTitle(), "MeanColor");

    CMeasurementSetup count = Setup(*doc, "AreaAOI", 1);
    count.m_nXAxis = CMeasurementSetup::axisCount;
    count.m_nCount = 50;
    ASSERT_TRUE(doc->ApplySetup(count));
    EXPECT_EQ(doc->m_TimeMarks.GetCount(), 0);
    EXPECT_EQ(doc->m_TimeMarks.GetRunTime(), 0u);
    EXPECT_DOUBLE_EQ(doc->GetChart(0)->GetXMax(), 50.0);
    EXPECT_DOUBLE_EQ(doc->GetChart(0)->Data().m_dXStep, 1.0);
    count.m_nCount = 1000001;
    EXPECT_FALSE(doc->ApplySetup(count));
    EXPECT_EQ(m_boxes->Texts().back(), "Please enter a whole number from 1 to 1000000.");
}

TEST_F(MeasurementSetupTest, ProfileValuesAreClampedAndWrittenBack)
{
    WriteProfileInt("BV-Document", "Sec", 99);
    WriteProfileInt("BV-Document", "RT_Days", 40);
    WriteProfileInt("BV-Document", "mSec", -5);
    WriteProfileInt("BV-Document", "Index", 500);
    auto doc = MakeDoc();
    CMeasurementSetup setup = doc->MakeSetup();
    EXPECT_EQ(setup.m_nIntervalSec, 60);
    EXPECT_EQ(setup.m_nRunDays, 31);
    EXPECT_EQ(setup.m_nIntervalMSec, 0);
    EXPECT_EQ(setup.m_nMethod, 0);
    EXPECT_EQ(setup.m_nStartHour, 8);
    ASSERT_FALSE(setup.m_arrMethods.empty());

    setup = Setup(*doc, "Growth", 2, 500, 7);
    ASSERT_TRUE(doc->ApplySetup(setup));
    EXPECT_EQ(GetProfileInt("BV-Document", "Sec", 0), 2u);
    EXPECT_EQ(GetProfileInt("BV-Document", "mSec", 0), 500u);
    EXPECT_EQ(GetProfileInt("BV-Document", "RT_Min", 0), 7u);
    EXPECT_EQ(static_cast<int>(GetProfileInt("BV-Document", "Index", -1)), setup.m_nMethod);
}

TEST_F(MeasurementSetupTest, TheSheetDecides)
{
    auto doc = MakeDoc();
    // Accepted: the set-up takes effect.
    m_host.m_edit = [&](CMeasurementSetup& setup) {
        setup = Setup(*doc, "Growth", 1);
        return true;
    };
    EXPECT_EQ(doc->ConfigureMeasurement(), 1);
    EXPECT_EQ(doc->GetMethodName(), "Growth");
    EXPECT_EQ(doc->m_TimeMarks.GetCount(), 3);
    // Cancelled: nothing changes.
    m_host.m_edit = [](CMeasurementSetup&) { return false; };
    EXPECT_EQ(doc->ConfigureMeasurement(), 2);
    EXPECT_EQ(doc->m_TimeMarks.GetCount(), 3);

    // Analogue documents have no set-up.
    auto analogue = MakeDoc(CLineDataDoc::kindAnalogue);
    m_boxes->Clear();
    EXPECT_EQ(analogue->ConfigureMeasurement(), 2);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Function not available"});

    // Headless, without the window layer's sheet, nothing is accepted.
    auto plain = MakeDoc();
    plain->SetRunHost(nullptr);
    EXPECT_EQ(plain->ConfigureMeasurement(), 2);
    EXPECT_EQ(plain->m_TimeMarks.GetCount(), 0);
}

TEST_F(MeasurementSetupTest, CurvatureGetsTheLengthChart)
{
    auto doc = MakeDoc();
    ASSERT_TRUE(doc->ApplySetup(Setup(*doc, "Curvature", 1)));
    ASSERT_NE(doc->GetChart(1), nullptr);
    EXPECT_EQ(doc->GetChart(1)->GetYTitle(), "Length");
    EXPECT_EQ(doc->GetChart(1)->GetCurveCount(), doc->GetChart(0)->GetCurveCount());
    ASSERT_TRUE(doc->ApplySetup(Setup(*doc, "AreaAOI", 1)));
    EXPECT_EQ(doc->GetChart(1), nullptr);
}

} // namespace
} // namespace kestrun::testing
