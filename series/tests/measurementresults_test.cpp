// The results of a run: the text export, the result table, the curves'
// frequencies and the ".cht" file of the document.

#include "series/tests/measurementtesting.h"

#include "analysis/objsegments.h"
#include "platform/ui/doctemplate.h"
#include "series/curvechart.h"
#include "series/griddoc2.h"
#include "series/runtablerow.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>

namespace kestrun::testing {
namespace {

namespace fs = std::filesystem;

class MeasurementResultsTest : public CMeasurementTest
{
protected:
    void SetUp() override
    {
        setenv("LC_ALL", "C", 1);
        CMeasurementTest::SetUp();
    }
    void TearDown() override
    {
        for (CDocument* doc : std::vector<CDocument*>(m_tables.Documents()))
            doc->OnCloseDocument();
        CMeasurementTest::TearDown();
    }
    // Chart 0 of a document: curves, x axis and values as given.
    static void Fill(CLineDataDoc& doc, const std::vector<std::pair<CString, std::vector<float>>>& curves,
                     double xStart, double xStep)
    {
        CCurveChart& chart = *doc.GetChart(0);
        chart.ClearCurves();
        chart.SetYTitle("AreaAOI");
        chart.SetXTitle("Time");
        chart.SetXKind(2);
        chart.SetXRange(xStart, xStart + 100.0 * xStep, xStep);
        chart.SetDate(46082.5); // 1 March 2026, 12:00
        for (const auto& [name, values] : curves) {
            const int curve = chart.AddCurve(name, RGB(0, 0, 255));
            for (const float v : values)
                chart.AddValue(v, curve);
        }
    }
    static std::vector<float> Sine(int points, double frequency, double step)
    {
        std::vector<float> values;
        for (int i = 0; i < points; ++i)
            values.push_back(static_cast<float>(50.0 + 10.0 * std::sin(2.0 * std::numbers::pi * frequency * i * step)));
        return values;
    }
    std::unique_ptr<CRecordingDoc> ResultDoc()
    {
        auto doc = MakeDoc();
        doc->m_pTableTemplate = &m_tables;
        return doc;
    }

    CMultiDocTemplate m_tables{0, RUNTIME_CLASS(CGridDoc2), nullptr, nullptr};
};

TEST_F(MeasurementResultsTest, TextExportMatchesTheGoldenFile)
{
    auto doc = ResultDoc();
    doc->SetPathName(PathOf("growth.cht"), FALSE);
    Fill(*doc, {{"AOI1", {1.0F, 2.5F, 1e6F / 3.0F}}, {"AOI2", {-4.25F, 0.0F}}}, 0.0, 0.5);
    AnswerFileDialog(PathOf("growth.txt"));
    doc->ExportText();
    EXPECT_EQ(m_strDialogTitle, "Create File");
    EXPECT_EQ(m_strDialogFilter, "ASCII File (*.txt) |*.txt||");
    EXPECT_EQ(m_strDialogFileName, PathOf("growth.txt"));
    std::ifstream golden(fs::path(KESTRUN_SERIES_GOLDEN_DIR) / "measurement_export.txt", std::ios::binary);
    std::stringstream expected;
    expected << golden.rdbuf();
    EXPECT_EQ(ReadFile("growth.txt"), expected.str());

    // A target that cannot be written: the German message, nothing else.
    fs::create_directories(m_folder / "blocked");
    std::ofstream(m_folder / "blocked" / "file") << "x";
    AnswerFileDialog(PathOf("blocked/file/out.txt"));
    doc->ExportText();
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Fehler: Exportfunktion kann Datei nicht öffnen"});
}

TEST_F(MeasurementResultsTest, ShowTableGivesIndexTimeCurvesAndRates)
{
    auto doc = ResultDoc();
    Fill(*doc, {{"Sine", Sine(70, 0.05, 1.0)}, {"Flat", {3.0F}}}, 0.0, 1.0);
    const std::time_t start = doc->m_StartTime = 12345;

    auto* table = dynamic_cast<CGridDoc2*>(doc->ShowTable());
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->GetCount(), 70);
    CStringArray titles;
    table->GetAt(0)->GetColumnTitles(titles, 0);
    EXPECT_EQ(std::vector<CString>(titles.begin(), titles.end()),
              (std::vector<CString>{"Index", "Time[d:h:m:s]", "Sine", "Flat"}));
    struct sRow
    {
        int row;
        const char* time;
        const char* sine;
        const char* flat;
    };
    const sRow rows[] = {{0, "1:0:0:0", "50.000000", "3.000000"}, {5, "1:0:0:5", "60.000000", ""},
                         {61, "1:0:1:1", "53.090172", ""}};
    for (const sRow& r : rows) {
        SCOPED_TRACE(r.row);
        CBaseObj& row = *table->GetAt(r.row);
        EXPECT_EQ(row.GetColumnValues(0), FormatString("%d", r.row));
        EXPECT_EQ(row.GetColumnValues(1), r.time);
        EXPECT_EQ(row.GetColumnValues(2), r.sine);
        EXPECT_EQ(row.GetColumnValues(3), r.flat);
    }
    // A result command leaves the run's clock start alone.
    EXPECT_EQ(doc->m_StartTime, start);

    // A growth-rate chart beside it adds one column per curve, titled by
    // its method.
    struct sMethod
    {
        int method;
        const char* title;
    };
    const sMethod methods[] = {{1, "RGR 0        "}, {2, "Gradient 0   "}, {3, "Linear rate 0"}, {0, "Undefined 0  "}};
    for (const sMethod& m : methods) {
        SCOPED_TRACE(m.title);
        CCurveChart rates;
        rates.SetXRange(0.0, 100.0, 1.0);
        rates.AddCurve("Sine", 0);
        for (const float v : {1.0F, 2.0F, 4.0F})
            rates.AddValue(v, 0);
        rates.SetMethod(m.method);
        doc->AttachChart(&rates);
        auto* withRates = dynamic_cast<CGridDoc2*>(doc->ShowTable());
        doc->DetachChart(&rates);
        ASSERT_NE(withRates, nullptr);
        withRates->GetAt(1)->GetColumnTitles(titles, 0);
        ASSERT_EQ(titles.GetSize(), 5);
        EXPECT_EQ(titles[4], m.title);
        EXPECT_EQ(withRates->GetAt(1)->GetColumnValues(4), FormatString("%f", rates.GetValue(0, 1, true)));
    }

    // Without a table template nothing opens.
    doc->m_pTableTemplate = nullptr;
    EXPECT_EQ(doc->ShowTable(), nullptr);
    EXPECT_EQ(doc->SearchPeaks(), nullptr);
}

TEST_F(MeasurementResultsTest, SearchPeaksFindsTheSineFrequency)
{
    auto doc = ResultDoc();
    // 0.05 Hz sampled every 0.5 s, and 0.2 Hz every 0.5 s.
    Fill(*doc, {{"Slow", Sine(400, 0.05, 0.5)}, {"Fast", Sine(400, 0.2, 0.5)}}, 0.0, 0.5);
    auto* table = dynamic_cast<CGridDoc2*>(doc->SearchPeaks());
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->GetCount(), 2);
    const auto* slow = dynamic_cast<const CFrequencyData*>(table->GetAt(0));
    const auto* fast = dynamic_cast<const CFrequencyData*>(table->GetAt(1));
    ASSERT_TRUE(slow && fast);
    EXPECT_EQ(slow->m_strFileName, "Slow");
    EXPECT_NEAR(slow->m_dFrequency, 0.05, 0.0026);
    EXPECT_EQ(fast->m_strFileName, "Fast");
    EXPECT_NEAR(fast->m_dFrequency, 0.2, 0.0026);
    CStringArray titles;
    table->GetAt(0)->GetColumnTitles(titles, 0);
    EXPECT_EQ(std::vector<CString>(titles.begin(), titles.end()),
              (std::vector<CString>{"Index", "Filename", "Frequency"}));
}

TEST_F(MeasurementResultsTest, TheChartFileReopensAndFailuresKeepWhatWasThere)
{
    auto doc = ResultDoc();
    Fill(*doc, {{"AOI1", {1.0F, 2.0F, 3.5F}}, {"AOI2", {7.0F}}}, 30.0, 2.0);
    doc->SetModifiedFlag(TRUE);
    const CString path = PathOf("kept.cht");
    ASSERT_TRUE(doc->OnSaveDocument(path));
    EXPECT_FALSE(doc->IsModified());

    CKestrunDoc reopened;
    reopened.m_bAutoDelete = FALSE;
    ASSERT_TRUE(reopened.OnOpenDocument(path));
    EXPECT_FALSE(reopened.IsNewMeasurement());
    EXPECT_EQ(reopened.GetPathName(), path);
    const CCurveChart& chart = *reopened.GetChart(0);
    ASSERT_EQ(chart.GetCurveCount(), 2);
    EXPECT_EQ(chart.GetCurveName(1), "AOI2");
    EXPECT_EQ(chart.GetPointCount(0, false), 3);
    EXPECT_FLOAT_EQ(chart.GetValue(0, 2, false), 3.5F);
    EXPECT_DOUBLE_EQ(chart.Data().m_dXStart, 30.0);
    EXPECT_EQ(chart.GetYTitle(), "AreaAOI");

    // Targets that cannot be written: a file in the way of the folder, a
    // folder in the way of the file. The old content stays, the document
    // stays modified, one message names the target.
    const std::string saved = ReadFile("kept.cht");
    std::ofstream(m_folder / "plain") << "x";
    fs::create_directories(m_folder / "folder.cht" / "inside");
    for (const char* target : {"plain/run.cht", "folder.cht"}) {
        SCOPED_TRACE(target);
        m_boxes->Clear();
        doc->SetModifiedFlag(TRUE);
        EXPECT_FALSE(doc->OnSaveDocument(PathOf(target)));
        EXPECT_TRUE(doc->IsModified());
        ASSERT_EQ(m_boxes->Texts().size(), 1u);
        EXPECT_NE(m_boxes->Texts()[0].Find(target), -1) << m_boxes->Texts()[0].GetString();
    }
    EXPECT_TRUE(fs::is_directory(m_folder / "folder.cht" / "inside"));
    EXPECT_EQ(ReadFile("kept.cht"), saved);

    // A damaged file is refused with one message naming it and stays.
    for (const char* damaged : {"<chart version=\"1\"><curve", "not a chart at all", ""}) {
        SCOPED_TRACE(damaged);
        std::ofstream(m_folder / "damaged.cht", std::ios::binary) << damaged;
        m_boxes->Clear();
        CKestrunDoc broken;
        broken.m_bAutoDelete = FALSE;
        EXPECT_FALSE(broken.OnOpenDocument(PathOf("damaged.cht")));
        ASSERT_EQ(m_boxes->Texts().size(), 1u);
        EXPECT_NE(m_boxes->Texts()[0].Find("damaged.cht"), -1) << m_boxes->Texts()[0].GetString();
        EXPECT_EQ(ReadFile("damaged.cht"), damaged);
        EXPECT_EQ(broken.GetChart(0)->GetCurveCount(), 0);
    }
}

} // namespace
} // namespace kestrun::testing
