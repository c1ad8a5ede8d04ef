// The line-chart control: growth evaluations, curves drawn into a
// recording context over the axes, and its ".cht" file.

#include "series/chartfile.h"
#include "series/growthrate.h"

#include "platform/core/exceptions.h"
#include "platform/core/recording_dc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

std::vector<const CDCRecord*> Polylines(const CRecordingDC& dc)
{
    std::vector<const CDCRecord*> lines;
    for (const CDCRecord& r : dc.Records())
        if (r.op == "Polyline")
            lines.push_back(&r);
    return lines;
}

// y = 100 e^(0.2 day), sampled daily, x in seconds.
CDataArray DailyGrowth(int days)
{
    CDataArray series(CDataArray::typeDouble);
    series.SetDX(kestrun::kSecondsPerDay);
    for (int d = 0; d < days; ++d)
        series.AddDouble(100.0 * std::exp(0.2 * d));
    return series;
}

struct GrowthCase
{
    int method;
    double (*expected)(int day); // NaN: a gap
};

class GrowthRateTest : public ::testing::TestWithParam<GrowthCase>
{
};

double Y(int d)
{
    return 100.0 * std::exp(0.2 * d);
}

TEST_P(GrowthRateTest, EvaluatesDailySamplesPerDay)
{
    const GrowthCase& c = GetParam();
    const std::vector<double> out = kestrun::EvaluateGrowth(c.method, DailyGrowth(6), kestrun::kSecondsPerDay);
    ASSERT_EQ(out.size(), 6u);
    for (int d = 0; d < 6; ++d) {
        const double want = c.expected(d);
        if (std::isnan(want))
            EXPECT_TRUE(std::isnan(out[d])) << "day " << d;
        else
            EXPECT_NEAR(out[d], want, 1e-9 * std::max(1.0, std::abs(want))) << "day " << d;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Methods, GrowthRateTest,
    ::testing::Values(GrowthCase{kestrun::growthValues, [](int d) { return Y(d); }},
                      GrowthCase{kestrun::growthRGR, [](int d) { return d == 0 ? NAN : 0.2; }},
                      GrowthCase{kestrun::growthGradient, [](int d) { return d == 0 ? NAN : Y(d) - Y(d - 1); }},
                      GrowthCase{kestrun::growthLinear, [](int d) { return d == 0 ? NAN : (Y(d) - Y(0)) / d; }}));

TEST(GrowthRateGapsTest, NoLogOfValuesAtOrBelowZeroNoRateWithoutTime)
{
    CDataArray series(CDataArray::typeDouble);
    for (const double v : {2.0, 0.0, -1.0, 8.0})
        series.AddDouble(v);
    const std::vector<double> rgr = kestrun::EvaluateGrowth(kestrun::growthRGR, series, 1.0);
    EXPECT_TRUE(std::isnan(rgr[1]));
    EXPECT_TRUE(std::isnan(rgr[2]));
    EXPECT_NEAR(rgr[3], std::log(4.0) / 3.0, 1e-12);
    // Linear rate and gradient take any value.
    EXPECT_DOUBLE_EQ(kestrun::EvaluateGrowth(kestrun::growthGradient, series, 1.0)[2], -1.0);

    series.SetDX(0.0); // every point at the same time
    for (int method = 1; method < kestrun::growthMethodCount; ++method)
        for (const double v : kestrun::EvaluateGrowth(method, series, 1.0))
            EXPECT_TRUE(std::isnan(v)) << method;
    EXPECT_THROW(kestrun::EvaluateGrowth(4, series, 1.0), CInvalidArgException);
}

// A 0..100 x 0..10 chart, one curve.
class CurveDrawTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_chart.SetXKind(CAxis::labelReal);
        m_chart.SetXRange(0.0, 100.0, 10.0);
        m_chart.SetYMin(0.0);
        m_chart.SetYMax(10.0);
        m_curve = m_chart.AddCurve("A", RGB(0, 0, 255));
    }

    CPoint PixelOf(double x, double y)
    {
        return CPoint(m_chart.GetXAxis().PointAt(m_chart.GetXAxis().ValueToPixel(x)).x,
                      m_chart.GetLeftAxis().PointAt(m_chart.GetLeftAxis().ValueToPixel(y)).y);
    }

    CCurveChart m_chart;
    CRecordingDC m_dc;
    int m_curve = 0;
};

TEST_F(CurveDrawTest, PointsLandOnThePixelsTheAxesGiveAndGapsSplitTheLine)
{
    for (const float v : {1.0f, 5.0f, NAN, 7.0f, INFINITY, 2.0f, 3.0f})
        m_chart.AddValue(v, m_curve);
    ASSERT_TRUE(m_chart.DrawTo(&m_dc, CRect(0, 0, 400, 300)));
    const std::vector<const CDCRecord*> lines = Polylines(m_dc);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]->points, (std::vector<CPoint>{PixelOf(0, 1), PixelOf(10, 5)}));
    EXPECT_EQ(lines[1]->points, (std::vector<CPoint>{PixelOf(50, 2), PixelOf(60, 3)}));
    EXPECT_EQ(lines[0]->pen.lopnColor, RGB(0, 0, 255));
    // Larger values lie higher.
    EXPECT_LT(PixelOf(0, 5).y, PixelOf(0, 1).y);
    // The lone 7 between two gaps is a dot.
    const auto dot = std::find_if(m_dc.Records().begin(), m_dc.Records().end(),
                                  [](const CDCRecord& r) { return r.op == "SetPixelV"; });
    ASSERT_NE(dot, m_dc.Records().end());
    EXPECT_EQ(dot->points[0], PixelOf(30, 7));
}

TEST_F(CurveDrawTest, ValuesAtOrBelowZeroAreNotDrawnOnALogAxis)
{
    m_chart.GetLeftAxis().SetStyle(CAxisBase::kLogarithmic, CAxisBase::kLogMask);
    m_chart.SetYMin(1.0);
    m_chart.SetYMax(1000.0);
    for (const float v : {10.0f, 100.0f, 0.0f, -5.0f, 1000.0f, 10.0f})
        m_chart.AddValue(v, m_curve);
    ASSERT_TRUE(m_chart.DrawTo(&m_dc, CRect(0, 0, 400, 300)));
    const std::vector<const CDCRecord*> lines = Polylines(m_dc);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]->points, (std::vector<CPoint>{PixelOf(0, 10), PixelOf(10, 100)}));
    EXPECT_EQ(lines[1]->points, (std::vector<CPoint>{PixelOf(40, 1000), PixelOf(50, 10)}));
}

TEST_F(CurveDrawTest, StylesPickTheLineAndTheMarker)
{
    m_chart.AddValue(4.0f, m_curve);
    m_chart.AddValue(6.0f, m_curve);
    m_chart.SetCurveStyle(m_curve, CCurveChart::kLineDashed | 255); // marker capped at 9
    ASSERT_TRUE(m_chart.DrawTo(&m_dc, CRect(0, 0, 400, 300)));
    ASSERT_EQ(Polylines(m_dc).size(), 1u);
    EXPECT_EQ(Polylines(m_dc)[0]->pen.lopnStyle, static_cast<UINT>(PS_DASH));
    std::vector<CRect> markers;
    for (const CDCRecord& r : m_dc.Records())
        if (r.op == "FillSolidRect" && r.brush.lbColor == RGB(0, 0, 255))
            markers.emplace_back(r.points[0], r.points[1]);
    ASSERT_EQ(markers.size(), 2u);
    EXPECT_EQ(markers[0].Width(), 9);
    EXPECT_TRUE(markers[0].PtInRect(PixelOf(0, 4)));

    m_dc.Clear();
    m_chart.SetCurveStyle(m_curve, 0); // no line, no marker
    ASSERT_TRUE(m_chart.DrawTo(&m_dc, CRect(0, 0, 400, 300)));
    EXPECT_TRUE(Polylines(m_dc).empty());
}

TEST_F(CurveDrawTest, OneSpikeAmongAMillionValuesIsDrawn)
{
    const int n = 1000000;
    m_chart.SetXRange(0.0, n - 1, 1.0);
    std::vector<float> values(n, 1.0f);
    values[n / 2 + 17] = 9.0f;
    EXPECT_EQ(m_chart.SetCurveValues(values, m_curve), n);
    ASSERT_TRUE(m_chart.DrawTo(&m_dc, CRect(0, 0, 1000, 600)));
    const std::vector<const CDCRecord*> lines = Polylines(m_dc);
    ASSERT_EQ(lines.size(), 1u);
    const int plotWidth = m_chart.GetPlotRect().Width();
    // A few points a pixel column, not a million.
    EXPECT_LE(lines[0]->points.size(), static_cast<size_t>(4 * (plotWidth + 1)));
    const CPoint spike = PixelOf(n / 2 + 17, 9.0);
    EXPECT_NE(std::find(lines[0]->points.begin(), lines[0]->points.end(), spike), lines[0]->points.end());
}

TEST_F(CurveDrawTest, RunsReadInPlaceDrawAsTheEvaluatedValuesDo)
{
    // A run with gaps, a spike and values past the x range, drawn from the
    // values as written and again through a mean filter, which evaluates
    // value by value: the runs split at the same gaps and cover the same
    // pixel columns.
    const int n = 30000;
    m_chart.SetXRange(0.0, n / 2, 1.0);
    std::vector<float> values(n);
    for (int i = 0; i < n; ++i)
        values[static_cast<size_t>(i)] = static_cast<float>((i * 37) % 101) / 10.0f;
    values[100] = NAN;
    values[101] = INFINITY;
    values[7000] = 50.0f;
    m_chart.SetCurveValues(values, m_curve);
    ASSERT_TRUE(m_chart.DrawTo(&m_dc, CRect(0, 0, 400, 300)));
    const std::vector<const CDCRecord*> inPlace = Polylines(m_dc);

    CCurveChart evaluated;
    evaluated.SetXKind(CAxis::labelReal);
    evaluated.SetXRange(0.0, n / 2, 1.0);
    evaluated.SetYMin(0.0);
    evaluated.SetYMax(10.0);
    const int curve = evaluated.AddCurve("A", RGB(0, 0, 255));
    evaluated.SetCurveValues(values, curve);
    evaluated.SetFilter(CDataFilter::filterMean, 3);
    CRecordingDC dc;
    ASSERT_TRUE(evaluated.DrawTo(&dc, CRect(0, 0, 400, 300)));
    const std::vector<const CDCRecord*> longWay = Polylines(dc);
    ASSERT_FALSE(inPlace.empty());
    // Same runs, split at the same gaps; the filtered one is smoother but
    // covers the same columns.
    ASSERT_EQ(inPlace.size(), longWay.size());
    for (size_t k = 0; k < inPlace.size(); ++k) {
        EXPECT_EQ(inPlace[k]->points.front().x, longWay[k]->points.front().x) << k;
        EXPECT_EQ(inPlace[k]->points.back().x, longWay[k]->points.back().x) << k;
    }
}

TEST_F(CurveDrawTest, TheLegendNamesTheShownCurvesInTheirColours)
{
    struct Case
    {
        std::vector<BOOL> shown; // of A, B, C
        std::vector<CString> names;
    };
    const int b = m_chart.AddCurve("B", RGB(255, 0, 0));
    const int c = m_chart.AddCurve("C", RGB(0, 128, 0));
    const Case cases[] = {
        {{TRUE, TRUE, TRUE}, {"A", "B", "C"}},
        {{TRUE, FALSE, TRUE}, {"A", "C"}},
        {{FALSE, TRUE, FALSE}, {}}, // one curve needs no legend
    };
    for (const Case& k : cases) {
        for (int i : {m_curve, b, c})
            m_chart.SetCurveShown(i, k.shown[static_cast<size_t>(i)]);
        CRecordingDC dc;
        ASSERT_TRUE(m_chart.DrawTo(&dc, CRect(0, 0, 400, 300)));
        std::vector<CString> names;
        std::vector<COLORREF> strokes;
        // The legend sits in the plot's right half; the axes' labels lie outside it.
        CRect plot = m_chart.GetPlotRect();
        plot.left = plot.CenterPoint().x;
        for (const CDCRecord& r : dc.Records()) {
            if (r.op == "TextOut" && plot.PtInRect(r.points[0]))
                names.push_back(r.text);
            if (r.op == "LineTo" && plot.PtInRect(r.points[0]) && r.pen.lopnWidth.x == 2)
                strokes.push_back(r.pen.lopnColor);
        }
        EXPECT_EQ(names, k.names);
        std::vector<COLORREF> colours;
        for (const CString& name : k.names)
            colours.push_back(name == "A" ? RGB(0, 0, 255) : name == "B" ? RGB(255, 0, 0) : RGB(0, 128, 0));
        EXPECT_EQ(strokes, colours);
    }
}

TEST_F(CurveDrawTest, IndicesOutOfRangeAreInvalidArguments)
{
    m_chart.AddValue(1.0f, m_curve);
    EXPECT_THROW(m_chart.AddValue(1.0f, 1), CInvalidArgException);
    EXPECT_THROW(m_chart.AddValue(1.0f, -1), CInvalidArgException);
    EXPECT_THROW(m_chart.GetValue(m_curve, 1, false), CInvalidArgException);
    EXPECT_THROW(m_chart.GetCurveName(2), CInvalidArgException);
    EXPECT_THROW(m_chart.SetCurveStyle(3, 0), CInvalidArgException);
    EXPECT_THROW(m_chart.SetMethod(4), CInvalidArgException);
    EXPECT_THROW(m_chart.SetXRange(0.0, 1.0, 0.0), CInvalidArgException);
    EXPECT_THROW(m_chart.SetYMax(NAN), CInvalidArgException);
    const float values[] = {1.0f};
    EXPECT_THROW(m_chart.SetCurveValues(values, 5), CInvalidArgException);
    // No curve: the reset clears them all.
    EXPECT_EQ(m_chart.SetCurveValues(values, -1), 0);
    EXPECT_EQ(m_chart.GetCurveCount(), 0);
}

TEST_F(CurveDrawTest, ReadingsAndTheRangeTheDataNeeds)
{
    for (const float v : {3.0f, NAN, -1.0f, 7.0f})
        m_chart.AddValue(v, m_curve);
    EXPECT_EQ(m_chart.GetPointCount(m_curve, false), 4);
    EXPECT_EQ(m_chart.GetPointCount(m_curve, true), 3);
    EXPECT_DOUBLE_EQ(m_chart.GetCurveMin(m_curve), -1.0);
    EXPECT_DOUBLE_EQ(m_chart.GetCurveMax(m_curve), 7.0);
    EXPECT_DOUBLE_EQ(m_chart.GetCurveMean(m_curve), 3.0);
    double low = 0.0;
    double high = 0.0;
    ASSERT_TRUE(m_chart.GetNeededRange(low, high));
    EXPECT_EQ(low, -1.0);
    EXPECT_EQ(high, 7.0);
    // Values as shown go through the growth method, one point at a time.
    m_chart.SetMethod(kestrun::growthLinear);
    EXPECT_FLOAT_EQ(m_chart.GetValue(m_curve, 3, true), 4.0f / 30.0f);
    EXPECT_TRUE(std::isnan(m_chart.GetValue(m_curve, 0, true)));
    EXPECT_EQ(m_chart.GetValue(m_curve, 3, false), 7.0f);
    m_chart.SetMethod(kestrun::growthValues);

    // All equal: a unit span, never a range of 0.
    const float same[] = {4.0f, 4.0f};
    m_chart.SetCurveValues(same, m_curve);
    ASSERT_TRUE(m_chart.GetNeededRange(low, high));
    EXPECT_EQ(low, 3.5);
    EXPECT_EQ(high, 4.5);
    m_chart.SetYMin(4.0);
    m_chart.SetYMax(4.0);
    EXPECT_TRUE(m_chart.DrawTo(&m_dc, CRect(0, 0, 400, 300)));
    EXPECT_EQ(Polylines(m_dc).size(), 1u);

    // No values: no range, and no reading claims one.
    m_chart.SetCurveValues({}, m_curve);
    low = 1.0;
    EXPECT_FALSE(m_chart.GetNeededRange(low, high));
    EXPECT_EQ(low, 1.0);
    EXPECT_TRUE(std::isnan(m_chart.GetCurveMean(m_curve)));
}

TEST(ColourBandTest, EveryWholeValueColoursItsColumns)
{
    CChart chart;
    chart.GetXAxis().SetRange(0.0, 255.0);
    chart.GetLeftAxis().SetRange(0.0, 1.0);
    CRecordingDC dc;
    ASSERT_TRUE(chart.Layout(&dc, CRect(0, 0, 600, 200)));
    const auto fillAt = [&dc](int x) {
        COLORREF colour = CLR_INVALID;
        for (const CDCRecord& r : dc.Records())
            if (r.op == "FillSolidRect" && r.points[0].x <= x && x < r.points[1].x && r.brush.lbColor != RGB(255, 255, 255))
                colour = r.brush.lbColor; // the last fill wins
        return colour;
    };
    const CAxis& x = chart.GetXAxis();
    const int at100 = x.PointAt(x.ValueToPixel(100.0)).x;
    chart.DrawColourBand(&dc, nullptr);
    EXPECT_EQ(fillAt(at100), RGB(0, 100, 0));
    EXPECT_EQ(fillAt(x.PointAt(x.ValueToPixel(255.0)).x), RGB(0, 255, 0));

    CDataArray palette(CDataArray::typeLong);
    for (int i = 0; i < 256; ++i)
        palette.AddInt(static_cast<int>(RGB(i, 0, 255 - i)));
    dc.Clear();
    chart.DrawColourBand(&dc, &palette);
    EXPECT_EQ(fillAt(at100), RGB(100, 0, 155));
}

TEST(TickLabelTest, LabelsFromASeriesOrATextList)
{
    CChart chart;
    CAxis& x = chart.GetXAxis();
    x.SetRange(0.0, 4.0);
    chart.GetLeftAxis().SetRange(0.0, 1.0);
    x.m_bAutoStep = 0;
    x.m_nDivisions = 3; // a step of 1
    CStringArray texts;
    for (const char* text : {"Mon", "Tue", "Wed"})
        texts.Add(text);
    x.m_pLabelTexts = &texts;
    CRecordingDC dc;
    ASSERT_TRUE(chart.Layout(&dc, CRect(0, 0, 400, 200)));
    ASSERT_EQ(x.MajorTicks().size(), 5u);
    const auto labels = [&dc, &chart]() {
        dc.Clear();
        chart.DrawAxes(&dc);
        std::vector<CString> texts;
        for (const CDCRecord& r : dc.Records())
            if (r.op == "TextOut" && r.points[0].y > chart.GetPlotRect().bottom)
                texts.push_back(r.text);
        return texts;
    };
    // Past the list the ticks have no label.
    EXPECT_EQ(labels(), (std::vector<CString>{"Mon", "Tue", "Wed"}));

    CDataArray series;
    series.SetX0(10.0);
    series.SetDX(2.0);
    x.m_pLabelTexts = nullptr;
    x.m_pLabelSeries = &series;
    EXPECT_EQ(labels(), (std::vector<CString>{"10", "12", "14", "16", "18"}));
}

// ---- the ".cht" file ----

fs::path Scratch(const char* name)
{
    const char* root = std::getenv("KESTRUN_DATA_ROOT");
    fs::path folder = fs::path(root != nullptr ? root : fs::temp_directory_path().c_str()) / "curvechart_test";
    fs::create_directories(folder);
    return folder / name;
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Two curves (a negative value, 1e-7, a gap), time axis, titles, filter,
// styles and the RGR method.
void FillGoldenChart(CCurveChart& chart)
{
    chart.SetXTitle("Time");
    chart.SetYTitle("RGR");
    chart.SetXKind(CAxis::labelTime);
    chart.SetYKind(4);
    chart.SetXRange(0.0, 345600.0, 86400.0);
    chart.SetYMin(-1.0);
    chart.SetYMax(2.5);
    chart.SetShort(2, 1);
    chart.SetShort(3, 7);
    chart.SetMethod(kestrun::growthRGR);
    chart.SetDate(46000.25);
    chart.SetFilter(CDataFilter::filterMean, 3);
    const int a = chart.AddCurve("Area 1", RGB(255, 0, 0));
    const int b = chart.AddCurve("Area <2> & \"3\"", RGB(0, 128, 255));
    chart.SetCurveStyle(b, CCurveChart::kLineDotted | 5);
    chart.SetCurveShown(b, FALSE);
    for (const float v : {100.0f, 122.140274f, -3.5f, 1e-7f, NAN})
        chart.AddValue(v, a);
    for (const float v : {0.1f, 0.25f})
        chart.AddValue(v, b);
}

const fs::path kGolden = fs::path(KESTRUN_SERIES_GOLDEN_DIR) / "twocurves.cht";

TEST(ChartFileTest, SavesTheGoldenFileAndLoadsItBackToTheSameBytes)
{
    CCurveChart chart;
    FillGoldenChart(chart);
    const fs::path path = Scratch("golden.cht");
    kestrun::SaveChartFile(chart, path.c_str());
    const std::string saved = ReadAll(path);
    EXPECT_EQ(saved, ReadAll(kGolden));

    CCurveChart loaded;
    kestrun::LoadChartFile(loaded, path.c_str());
    ASSERT_EQ(loaded.GetCurveCount(), 2);
    EXPECT_EQ(loaded.GetCurveName(1), "Area <2> & \"3\"");
    EXPECT_EQ(loaded.GetMethod(), kestrun::growthRGR);
    EXPECT_TRUE(std::isnan(loaded.GetValue(0, 4, false)));
    EXPECT_EQ(loaded.GetValue(0, 3, false), 1e-7f);
    EXPECT_EQ(loaded.Data().m_Curves[0].m_Values.GetFilterWidth(), 3);
    const fs::path again = Scratch("again.cht");
    kestrun::SaveChartFile(loaded, again.c_str());
    EXPECT_EQ(ReadAll(again), saved);
}

TEST(ChartFileTest, EveryFilterTheChartTakesLoadsAgain)
{
    // A filter the file would refuse is refused when set, so no chart
    // saves a file that does not load.
    struct Case
    {
        SHORT width;
        bool taken;
    };
    for (const Case& c : {Case{0, true}, Case{1000, true}, Case{1001, false}, Case{-1, false}}) {
        CCurveChart chart;
        chart.AddCurve("A", 255);
        chart.SetFilter(CDataFilter::filterMedian, 5);
        if (!c.taken) {
            EXPECT_THROW(chart.SetFilter(CDataFilter::filterMean, c.width), CInvalidArgException) << c.width;
            EXPECT_EQ(chart.Data().m_nFilterWidth, 5);
            continue;
        }
        chart.SetFilter(CDataFilter::filterMean, c.width);
        const std::string text = kestrun::ChartFileText(chart.Data());
        EXPECT_EQ(kestrun::ParseChartFile(text, "filter.cht").m_nFilterWidth, c.width);
    }
}

TEST(ChartFileTest, DamagedOrNewerFilesAreRefusedAndTheChartStays)
{
    const std::string good = ReadAll(kGolden);
    ASSERT_FALSE(good.empty());
    const auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    struct sDamage
    {
        std::string text;
        int cause;
    };
    const sDamage cases[] = {
        {good.substr(0, good.size() / 2), CArchiveException::genericException},
        {replaced("version=\"1\"", "version=\"2\""), CArchiveException::badSchema},
        {replaced("version=\"1\"", "version=\"x\""), CArchiveException::genericException},
        {replaced("-3.5", "-3.5x"), CArchiveException::genericException},
        {replaced("method=\"1\"", "method=\"9\""), CArchiveException::genericException},
        {replaced("step=\"86400\"", "step=\"0\""), CArchiveException::genericException},
        {replaced("<YAxis", "<Axis"), CArchiveException::genericException},
        {"", CArchiveException::genericException},
    };
    for (const sDamage& c : cases) {
        CCurveChart chart;
        chart.AddCurve("Kept", 7);
        const fs::path path = Scratch("damaged.cht");
        std::ofstream(path, std::ios::binary) << c.text;
        try {
            kestrun::LoadChartFile(chart, path.c_str());
            ADD_FAILURE() << "loaded: " << c.text.substr(0, 80);
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, c.cause);
            EXPECT_EQ(e.m_strFileName, path.c_str());
        }
        ASSERT_EQ(chart.GetCurveCount(), 1);
        EXPECT_EQ(chart.GetCurveName(0), "Kept");
    }
}

TEST(ChartFileTest, AFailedSaveKeepsTheOldFileAndIsReported)
{
    // Tests run as root: a target that is a folder with content cannot be
    // replaced by the new file.
    const fs::path target = Scratch("busy.cht");
    fs::create_directories(target);
    std::ofstream(target / "old") << "old";
    CCurveChart chart;
    FillGoldenChart(chart);
    EXPECT_THROW(kestrun::SaveChartFile(chart, target.c_str()), CFileException);
    EXPECT_EQ(ReadAll(target / "old"), "old");
    // No temporary file is left beside it.
    for (const auto& entry : fs::directory_iterator(target.parent_path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

} // namespace
