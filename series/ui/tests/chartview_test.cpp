// The chart windows: the control of the document's kind, the placement and
// bar count kept in the profile, printing, copying, ".cht" files through
// the window, and the charts the tables open.

#include "series/chartdoc.h"
#include "series/chartfile.h"
#include "series/objdatadoc.h"
#include "series/ui/chartpropsdlg.h"
#include "series/ui/chartview.h"
#include "series/tablecommands.h"
#include "series/tests/seriestesting.h"

#include "analysis/objsegments.h"
#include "analysis/ui/tests/dialogtesting.h"
#include "analysis/track.h"
#include "objectmodel/curvature32.h"
#include "objectmodel/rpolygon.h"
#include "objectmodel/toolfunctions.h"
#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "platform/core/recording_dc.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/mdi.h"
#include "platform/ui/printing.h"
#include "platform/core/resources.h"
#include "platform/ui/doctemplate.h"

#include <QCoreApplication>
#include <QWidget>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr UINT kChartMainResource = 7510;
constexpr UINT kChartResource = 7511;

// The main window: remembers which documents said they were going.
class CChartTestMain : public CMDIFrameWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == RegisterWindowMessage("DELETE_DOCUMENT"))
            m_gone.push_back(lParam);
        return CMDIFrameWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<LPARAM> m_gone;
};

class ChartViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = std::filesystem::path(std::getenv("KESTRUN_DATA_ROOT")) /
                   ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        m_app.SetProfileName(Path("kestrun32.ini"));
        AfxRegisterString(kChartMainResource, "Chart Test");
        AfxRegisterString(kChartResource, "\nChart\nChart Document\nChart Files (*.cht)\n.cht\n\n");
        m_main = new CChartTestMain;
        ASSERT_TRUE(m_main->LoadFrame(kChartMainResource));
        m_app.m_pMainWnd = m_main;
        m_main->MoveWindow(0, 0, 900, 700);
        m_main->ShowWindow(SW_SHOW);
        m_template = std::make_unique<CMultiDocTemplate>(kChartResource, RUNTIME_CLASS(CChartDoc),
                                                         RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CChartView));
    }

    void TearDown() override
    {
        m_template->CloseAllDocuments(FALSE);
        if (m_app.m_pMainWnd)
            m_app.m_pMainWnd->DestroyWindow();
        kestrun::PumpMessages();
    }

    CString Path(const char* name) const { return (m_folder / name).c_str(); }

    static CChartView& ViewOf(CDocument& doc)
    {
        POSITION position = doc.GetFirstViewPosition();
        return *DYNAMIC_DOWNCAST(CChartView, doc.GetNextView(position));
    }

    // A line chart of two curves in a window of its own.
    CChartDoc& OpenLineChart()
    {
        CChartDoc* doc = kestrun::OpenChartDocument(m_template.get(), CChartDoc::kLineChart);
        EXPECT_NE(doc, nullptr);
        CCurveChart& chart = *doc->GetChartControl();
        chart.SetXKind(CAxis::labelInteger);
        chart.SetXRange(0.0, 9.0, 1.0);
        chart.SetXMin(0.0);
        chart.SetXMax(9.0);
        chart.SetXTitle("Position");
        chart.SetYTitle("Value");
        const int rising = chart.AddCurve("Rising", RGB(255, 0, 0));
        const int falling = chart.AddCurve("Falling", RGB(0, 0, 255));
        for (int i = 0; i < 10; ++i) {
            chart.AddValue(static_cast<float>(i), rising);
            chart.AddValue(static_cast<float>(9 - i), falling);
        }
        chart.SetYMin(0.0);
        chart.SetYMax(9.0);
        doc->UpdateAllViews(nullptr);
        return *doc;
    }

    std::string ReadAll(const CString& path) const
    {
        std::ifstream in(path.GetString(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    CWinApp m_app{"ChartViewTest"};
    CChartTestMain* m_main = nullptr;
    std::unique_ptr<CMultiDocTemplate> m_template;
    std::filesystem::path m_folder;
};

int PdfPageCount(const std::string& pdf)
{
    int pages = 0;
    for (size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1)) {
        if (pdf.compare(at, 12, "/Type /Pages") != 0)
            ++pages;
    }
    return pages;
}

TEST_F(ChartViewTest, EachKindGetsItsControlAndTheViewKeepsPlacementAndBars)
{
    struct Case
    {
        int kind;
        const char* storedBars; // null: no "Bars" in the profile
        short viewBars;
        int controlBars;
    };
    const Case cases[] = {
        {CChartDoc::kLineChart, nullptr, -1, 20},
        {CChartDoc::kHistogram, nullptr, -1, 20},
        {CChartDoc::kHistogram, "25", 25, 25},
        {CChartDoc::kHistogram, "0", 0, 20},
    };
    int grow = 0;
    for (const Case& c : cases) {
        WriteProfileString("Histogram", "Bars", c.storedBars);
        CChartDoc* doc = kestrun::OpenChartDocument(m_template.get(), c.kind);
        ASSERT_NE(doc, nullptr);
        CChartView& view = ViewOf(*doc);
        const bool line = c.kind == CChartDoc::kLineChart;
        CWnd& shown = line ? static_cast<CWnd&>(view.GetChartWindow()) : view.GetHistogramWindow();
        CWnd& other = line ? static_cast<CWnd&>(view.GetHistogramWindow()) : view.GetChartWindow();
        ASSERT_NE(shown.GetSafeHwnd(), nullptr);
        EXPECT_EQ(other.GetSafeHwnd(), nullptr);
        CString text;
        shown.GetWindowText(text);
        EXPECT_EQ(text, line ? "Chart" : "Histogram");
        EXPECT_EQ(shown.GetDlgCtrlID(), 1000);
        EXPECT_EQ(doc->GetChartControl(), &view.GetChartWindow().GetControl());
        EXPECT_EQ(doc->GetHistogramControl(), &view.GetHistogramWindow().GetControl());
        EXPECT_EQ(view.GetBarCount(), c.viewBars);
        EXPECT_EQ(view.GetHistogramWindow().GetControl().GetBarCount(), c.controlBars);

        // The control follows the view's size.
        grow += 10;
        view.GetParentFrame()->MoveWindow(0, 0, 500 + grow, 400 + grow);
        QCoreApplication::processEvents();
        CRect client;
        view.GetClientRect(&client);
        CRect control;
        shown.GetClientRect(&control);
        EXPECT_EQ(control.Size(), client.Size());

        view.SetBarCount(12);
        doc->OnCloseDocument();
        EXPECT_EQ(GetProfileInt("Histogram", "Bars", 0), 12u);
        EXPECT_FALSE(GetProfileString("ChartView", "Rect", "").IsEmpty());
    }
}

TEST_F(ChartViewTest, AClosedChartTellsTheMainWindow)
{
    CChartDoc& doc = OpenLineChart();
    const auto id = reinterpret_cast<LPARAM>(static_cast<CDocument*>(&doc));
    doc.OnCloseDocument();
    EXPECT_EQ(m_main->m_gone, std::vector<LPARAM>{id});
}

TEST_F(ChartViewTest, PrintingDrawsTheChartAtItsScreenSizeOnOnePage)
{
    CChartDoc& doc = OpenLineChart();
    CChartView& view = ViewOf(doc);
    view.GetParentFrame()->MoveWindow(0, 0, 500, 400);
    QCoreApplication::processEvents();
    CRect client;
    view.GetClientRect(&client);

    CRecordingDC screen;
    const int dpi = view.GetWidget()->logicalDpiX();
    screen.SetResolution(dpi, dpi);
    ASSERT_TRUE(view.GetChartWindow().GetControl().DrawTo(&screen, client));
    CRecordingDC printer;
    printer.SetResolution(4 * dpi, 4 * dpi);
    CPrintInfo info;
    view.OnPrint(&printer, &info);
    auto curveEnds = [](const CRecordingDC& dc) {
        std::vector<CPoint> ends;
        for (const CDCRecord& record : dc.Records()) {
            if (record.op == "Polyline" && record.pen.lopnColor == RGB(255, 0, 0))
                ends = {record.points.front(), record.points.back()};
        }
        return ends;
    };
    const std::vector<CPoint> onScreen = curveEnds(screen);
    const std::vector<CPoint> onPaper = curveEnds(printer);
    ASSERT_EQ(onScreen.size(), 2u);
    ASSERT_EQ(onPaper.size(), 2u);
    for (size_t k = 0; k < 2; ++k) {
        EXPECT_NEAR(onPaper[k].x, 4 * onScreen[k].x, 8);
        EXPECT_NEAR(onPaper[k].y, 4 * onScreen[k].y, 8);
    }

    const CString pdf = Path("chart.pdf");
    ASSERT_TRUE(kestrun::PrintViewToPdf(view, pdf));
    EXPECT_EQ(PdfPageCount(ReadAll(pdf)), 1);
}

TEST_F(ChartViewTest, CopyPutsTheChartOnTheClipboardAsAPicture)
{
    CChartDoc& doc = OpenLineChart();
    CChartView& view = ViewOf(doc);
    view.SendMessage(WM_COMMAND, ID_EDIT_COPY, 0);
    const std::optional<CClipboardImage> image = kestrun::GetClipboardImage();
    ASSERT_TRUE(image.has_value());
    CRect client;
    view.GetClientRect(&client);
    EXPECT_EQ(image->width, client.Width());
    EXPECT_EQ(image->height, client.Height());
    // The red curve is in the picture.
    bool red = false;
    for (int y = 0; y < image->height && !red; ++y) {
        const BYTE* row = image->bits.data() + static_cast<size_t>(y) * image->stride;
        for (int x = 0; x < image->width && !red; ++x)
            red = row[3 * x] == 0 && row[3 * x + 1] == 0 && row[3 * x + 2] == 255;
    }
    EXPECT_TRUE(red);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(ChartViewTest, ChartFilesSaveAndLoadThroughTheWindow)
{
    CChartDoc& doc = OpenLineChart();
    const CString path = Path("two.cht");
    ASSERT_TRUE(doc.OnSaveDocument(path));
    const std::string saved = ReadAll(path);
    EXPECT_EQ(saved, kestrun::ChartFileText(doc.GetChartControl()->Data()));

    auto* loaded = dynamic_cast<CChartDoc*>(m_template->OpenDocumentFile(path));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(kestrun::ChartFileText(loaded->GetChartControl()->Data()), saved);
    EXPECT_NE(ViewOf(*loaded).GetChartWindow().GetSafeHwnd(), nullptr);

    // A damaged file opens no window and says so once, naming the file.
    const CString garbled = Path("garbled.cht");
    std::ofstream(garbled.GetString()) << saved.substr(0, saved.size() / 2);
    EXPECT_EQ(m_template->OpenDocumentFile(garbled), nullptr);
    ASSERT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_NE(m_boxes->Texts()[0].Find("garbled.cht"), -1);

    // A histogram has no chart file: refused, nothing written.
    CChartDoc* histogram = kestrun::OpenChartDocument(m_template.get(), CChartDoc::kHistogram);
    ASSERT_NE(histogram, nullptr);
    const CString none = Path("histogram.cht");
    EXPECT_FALSE(histogram->OnSaveDocument(none));
    EXPECT_FALSE(std::filesystem::exists(none.GetString()));
}

TEST_F(ChartViewTest, ThePropertiesDialogChangesTheChartOnlyWithValuesItTakes)
{
    using kestrun::testing::OnNextDialog;
    using kestrun::testing::Press;
    using kestrun::testing::Type;
    struct Case
    {
        const char* xMax;
        const char* width;
        const char* marker;
        bool accepted;
    };
    const Case cases[] = {
        {"20", "5", "3", true},
        {"-1", "5", "3", false},   // maximum below minimum
        {"20", "1001", "3", false}, // wider than a chart file holds
        {"20", "5", "12", false},  // marker larger than 9
    };
    for (const Case& c : cases) {
        CChartDoc& doc = OpenLineChart();
        CChartView& view = ViewOf(doc);
        const std::string before = kestrun::ChartFileText(doc.GetChartControl()->Data());
        bool stayedOpen = false;
        OnNextDialog([&](CDialog& dialog) {
            Type(dialog, CChartPropertiesDlg::IDC_X_TITLE, "Seconds");
            Type(dialog, CChartPropertiesDlg::IDC_X_MAX, c.xMax);
            Type(dialog, CChartPropertiesDlg::IDC_FILTER_WIDTH, c.width);
            Type(dialog, CChartPropertiesDlg::IDC_MARKER, c.marker);
            Press(dialog, IDOK);
            stayedOpen = dialog.GetSafeHwnd() != nullptr && dialog.IsWindowVisible();
            if (stayedOpen)
                Press(dialog, IDCANCEL);
        });
        view.SendMessage(WM_COMMAND, CChartView::ID_CHART_PROPERTIES, 0);
        const CCurveChart& chart = *doc.GetChartControl();
        EXPECT_EQ(stayedOpen, !c.accepted) << c.xMax << " " << c.width << " " << c.marker;
        if (c.accepted) {
            EXPECT_EQ(chart.GetXTitle(), "Seconds");
            EXPECT_EQ(chart.GetXMax(), 20.0);
            EXPECT_EQ(chart.Data().m_nFilterWidth, 5);
            EXPECT_EQ(chart.GetCurveStyle(0), 0x1000003u);
            EXPECT_EQ(chart.GetCurveStyle(1), 0x1000003u);
        } else {
            EXPECT_EQ(kestrun::ChartFileText(chart.Data()), before);
        }
        doc.OnCloseDocument();
    }
}

// ---- the charts of the tables -----------------------------------------------------------------

class TableChartTest : public ChartViewTest
{
protected:
    CChartDoc* NewestChart()
    {
        CChartDoc* newest = nullptr;
        POSITION position = m_template->GetFirstDocPosition();
        while (position != nullptr)
            newest = dynamic_cast<CChartDoc*>(m_template->GetNextDoc(position));
        return newest;
    }

    static CTrack* NewChartTrack(int frames)
    {
        auto* track = new CTrack;
        track->SetSize(frames);
        for (int k = 0; k < frames; ++k) {
            C3DTrackElement2009 e;
            e.m_dwTime = static_cast<DWORD>(1000 + 40 * k);
            e.m_wX = static_cast<WORD>(10 + k * k);
            e.m_wY = 20;
            e.m_dwArea = 50;
            e.m_wPerimeter = 30;
            track->AddPoint(e, static_cast<WORD>(k), 1);
        }
        return track;
    }

    static bool SameFloat(float a, float b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

    static std::unique_ptr<CObjData> ChartObject(LONG area)
    {
        auto object = std::make_unique<CObjData>();
        object->m_Type = CObjData::colPosX | CObjData::colPosY | CObjData::colArea;
        object->m_Rect = CRect(0, 0, 10, 10);
        object->m_lArea = area;
        return object;
    }
};

// The contour the table reads of an object.
struct CChartContourOf : CObjDataDoc
{
    using CObjDataDoc::GetContour;
};

TEST_F(TableChartTest, ShowChartDrawsATrackTablesColumnNineAsSpeed1)
{
    CObjDataDoc table;
    table.m_bSingleTrack = 1;
    table.AddObject(NewChartTrack(5));
    table.SetCurrentIndex(0);
    table.BuildTitles();
    std::filesystem::remove(table.m_strConfigPath.GetString());
    table.LoadColumnConfig();
    table.m_pChartTemplate = m_template.get();

    CCmdUI state;
    state.m_nID = ID_TABLE_SHOW_CHART;
    table.OnCmdMsg(ID_TABLE_SHOW_CHART, CN_UPDATE_COMMAND_UI, &state, nullptr);
    EXPECT_TRUE(state.m_bEnabled);
    table.OnCmdMsg(ID_TABLE_SHOW_CHART, CN_COMMAND, nullptr, nullptr);

    CChartDoc* doc = NewestChart();
    ASSERT_NE(doc, nullptr);
    const CCurveChart& chart = *doc->GetChartControl();
    ASSERT_EQ(chart.GetCurveCount(), 1);
    EXPECT_EQ(chart.GetCurveName(0), "Speed1");
    EXPECT_EQ(chart.GetCurveStyle(0), 255u);
    EXPECT_EQ(chart.GetXTitle(), "Position");
    EXPECT_EQ(chart.GetYTitle(), "Speed");
    EXPECT_EQ(chart.GetXMax(), 5.0);
    ASSERT_EQ(chart.GetPointCount(0, false), 4);
    for (int row = 1; row < 5; ++row) {
        const float cell = static_cast<float>(std::atof(table.GetCellText(row, 9).GetString()));
        EXPECT_EQ(chart.GetValue(0, row - 1, false), cell) << row;
    }
    // Frame k moved 2k - 1 pixels along x.
    EXPECT_GT(chart.GetValue(0, 3, false), chart.GetValue(0, 0, false));
}

TEST_F(TableChartTest, ACellThatIsNoNumberIsAGap)
{
    CGridDoc2 table;
    std::vector<CString> titles;
    for (int c = 0; c < 10; ++c)
        titles.push_back(FormatString("C%d", c));
    const char* speeds[] = {"1.5", "2.5", "fast", "", "4"};
    for (const char* speed : speeds) {
        std::vector<CString> values(10, "0");
        values[9] = speed;
        table.AddObject(new kestrun::testing::CTextRecord(16, titles, values));
    }
    table.BuildTitles();
    std::filesystem::remove(table.m_strConfigPath.GetString());
    table.LoadColumnConfig();
    table.m_pChartTemplate = m_template.get();
    ASSERT_EQ(table.GetCellText(1, 9), "2.5");
    table.OnShowChart();
    CChartDoc* doc = NewestChart();
    ASSERT_NE(doc, nullptr);
    const CCurveChart& chart = *doc->GetChartControl();
    const float nan = std::nanf("");
    const float expected[] = {2.5f, nan, nan, 4.0f};
    ASSERT_EQ(chart.GetPointCount(0, false), 4);
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(SameFloat(chart.GetValue(0, k, false), expected[k])) << k;
    EXPECT_EQ(chart.GetPointCount(0, true), 2);
}

TEST_F(TableChartTest, ShowHistogramGivesTwentyBarsOfAreasOrTheCurvatureOfAnObject)
{
    CObjDataDoc table;
    const LONG areas[] = {100, 100, 200, 300, 500};
    for (const LONG area : areas)
        table.AddObject(ChartObject(area).release());
    table.AttachSources(m_template.get(), nullptr, nullptr);
    CCmdUI state;
    state.m_nID = ID_TABLE_SHOW_HISTOGRAM;
    table.OnCmdMsg(ID_TABLE_SHOW_HISTOGRAM, CN_UPDATE_COMMAND_UI, &state, nullptr);
    EXPECT_TRUE(state.m_bEnabled);
    table.OnShowHistogram();

    CChartDoc* histogram = NewestChart();
    ASSERT_NE(histogram, nullptr);
    EXPECT_EQ(histogram->m_nChartKind, CChartDoc::kHistogram);
    EXPECT_EQ(histogram->GetTitle(), "Histogramm");
    const CBarChart& bars = *histogram->GetHistogramControl();
    EXPECT_EQ(bars.GetTitle(), "Area Distribution");
    EXPECT_EQ(bars.GetBarCount(), 20);
    // 100 to 500 in 20 bars of 20: 100 in bar 0, 200 in 5, 300 in 10, 500 in the last.
    std::vector<int> expected(20, 0);
    expected[0] = 2;
    expected[5] = 1;
    expected[10] = 1;
    expected[19] = 1;
    EXPECT_EQ(bars.GetBarCounts(0), expected);
    EXPECT_NE(ViewOf(*histogram).GetHistogramWindow().GetSafeHwnd(), nullptr);

    // A table whose first record is no object: the current object's curvature.
    CObjDataDoc others;
    others.AddObject(new kestrun::testing::CTextRecord(16, {"A"}, {"1"}));
    // An L-shaped object traced round its outline.
    auto object = kestrun::testing::MakeOutlinedObject({{10, 10}, {60, 10}, {60, 30}, {30, 30}, {30, 50}, {10, 50}});
    CRPolygon contour;
    ASSERT_TRUE(CChartContourOf::GetContour(*object, contour));
    others.AddObject(object.release());
    others.SetCurrentIndex(1);
    others.AttachSources(m_template.get(), nullptr, nullptr);
    others.OnShowHistogram();
    CChartDoc* curve = NewestChart();
    ASSERT_NE(curve, histogram);
    const CCurveChart& chart = *curve->GetChartControl();
    ASSERT_EQ(chart.GetCurveCount(), 1);
    EXPECT_EQ(chart.GetCurveName(0), "Curvature");
    EXPECT_EQ(chart.GetCurveColour(0), 255u);
    EXPECT_EQ(chart.GetXTitle(), "Intensity");
    EXPECT_EQ(chart.GetYTitle(), "--y--");
    EXPECT_DOUBLE_EQ(chart.GetXMax(), 6.28);
    CCurvature32 direct;
    direct.CalcContourCurvature(contour, 5);
    ASSERT_EQ(chart.GetPointCount(0, false), direct.GetSize());
    for (int k = 0; k < direct.GetSize(); ++k)
        EXPECT_EQ(chart.GetValue(0, k, false), static_cast<float>(direct.GetAt(k))) << k;
}

TEST_F(TableChartTest, ShowHistogramGivesAContourSegmentsOwnCurvature)
{
    CObjDataDoc table;
    table.AddObject(new kestrun::testing::CTextRecord(16, {"A"}, {"1"}));
    auto* segment = new CKonturSegment;
    const double values[] = {2.0, -5.0, 17.0, 0.0, 35.0};
    segment->m_Curvature.SetSize(5);
    for (int k = 0; k < 5; ++k)
        segment->m_Curvature.SetAtWrapped(k, values[k]);
    table.AddObject(segment);
    table.AttachSources(m_template.get(), nullptr, nullptr);

    // The text record current: nothing to show.
    table.SetCurrentIndex(0);
    table.OnShowHistogram();
    EXPECT_EQ(NewestChart(), nullptr);

    table.SetCurrentIndex(1);
    table.OnShowHistogram();
    CChartDoc* doc = NewestChart();
    ASSERT_NE(doc, nullptr);
    const CCurveChart& chart = *doc->GetChartControl();
    ASSERT_EQ(chart.GetCurveCount(), 1);
    EXPECT_EQ(chart.GetCurveName(0), "Curvature");
    EXPECT_DOUBLE_EQ(chart.GetXMax(), 6.28);
    ASSERT_EQ(chart.GetPointCount(0, false), 5);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(chart.GetValue(0, k, false), static_cast<float>(values[k])) << k;
}

} // namespace
