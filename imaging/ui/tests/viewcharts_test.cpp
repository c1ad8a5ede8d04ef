// The image document's charts: the colour histograms of the page in the
// histogram window, and the intensity profile along a parallelogram area in
// a chart window that the document keeps until it is closed.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/dibdocex.h"
#include "imaging/imagecommands.h"
#include "imaging/intensityprofile.h"
#include "imaging/ui/histdlg.h"

#include "platform/core/resources.h"

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "objectmodel/linepoints.h"
#include "analysis/ui/tests/dialogtesting.h"
#include "series/chartdoc.h"
#include "series/objdatadoc.h"
#include "series/tablecommands.h"
#include "series/ui/chartview.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace {

using kestrun::testing::CHitRecordingView;
using kestrun::testing::CImageViewTest;
using kestrun::testing::IDR_VIEW_TEST_IMAGE;

constexpr UINT kImageChartResource = 7431;

using ChannelCounts = std::array<std::vector<float>, 3>; // red, green, blue

class ImageChartTest : public CImageViewTest
{
protected:
    void SetUp() override
    {
        CImageViewTest::SetUp();
        AfxRegisterString(kImageChartResource, "\nChart\nChart Document\nChart Files (*.cht)\n.cht\n\n");
        m_chartTemplate = new CMultiDocTemplate(kImageChartResource, RUNTIME_CLASS(CChartDoc),
                                                RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CChartView));
        m_templates.SetTemplate(CSRC::kChartTemplate, m_chartTemplate);
        m_exTemplate = std::make_unique<CDIBMultiDocTemplate>(IDR_VIEW_TEST_IMAGE, RUNTIME_CLASS(CDIBDocEx),
                                                              RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CDIBVwEx));
        m_ex = dynamic_cast<CDIBDocEx*>(m_exTemplate->OpenDocumentFile(WritePlate(7)));
        ASSERT_NE(m_ex, nullptr);
    }

    void TearDown() override
    {
        m_exTemplate->CloseAllDocuments(FALSE);
        m_chartTemplate->CloseAllDocuments(FALSE);
        CImageViewTest::TearDown();
    }

    cv::Mat Page() { return m_ex->GetActiveDIB()->GetMat(); }

    // Colours that change along rows and columns.
    cv::Mat PaintGradient()
    {
        cv::Mat page = Page();
        for (int y = 0; y < page.rows; ++y)
            for (int x = 0; x < page.cols; ++x)
                page.at<cv::Vec3b>(y, x) = cv::Vec3b(static_cast<uchar>(y), static_cast<uchar>(2 * x % 256),
                                                     static_cast<uchar>((x + y) % 256));
        return page;
    }

    // The counts read from the page itself.
    ChannelCounts CountsOfPage()
    {
        ChannelCounts counts;
        for (auto& channel : counts)
            channel.assign(256, 0.0f);
        const cv::Mat page = Page();
        for (int y = 0; y < page.rows; ++y) {
            for (int x = 0; x < page.cols; ++x) {
                const cv::Vec3b bgr = page.at<cv::Vec3b>(y, x);
                counts[0][bgr[2]] += 1.0f;
                counts[1][bgr[1]] += 1.0f;
                counts[2][bgr[0]] += 1.0f;
            }
        }
        return counts;
    }

    // The parallelogram area with corners a, b, c becomes the active one.
    void AddParallelogram(POINT a, POINT b, POINT c)
    {
        auto parallelogram = std::make_unique<CAOI3>();
        parallelogram->SetFromPoints(a, b, c);
        std::unique_ptr<CAOI> area = std::move(parallelogram);
        ASSERT_EQ(m_ex->GetDataDoc()->AddAOI(area), 1);
    }

    int ChartCount() const
    {
        int count = 0;
        POSITION position = m_chartTemplate->GetFirstDocPosition();
        while (position != nullptr && m_chartTemplate->GetNextDoc(position) != nullptr)
            ++count;
        return count;
    }

    CMultiDocTemplate* m_chartTemplate = nullptr; // owned by the template holder
    std::unique_ptr<CDIBMultiDocTemplate> m_exTemplate;
    CDIBDocEx* m_ex = nullptr;
};

TEST_F(ImageChartTest, TheHistogramWindowShowsTheCountsOfThePage)
{
    struct Case
    {
        const char* name;
        cv::Scalar ground; // blue, green, red
        cv::Scalar patch;
    };
    const Case cases[] = {
        {"black page", cv::Scalar(0, 0, 0), cv::Scalar(0, 0, 0)},
        {"two colours", cv::Scalar(200, 215, 240), cv::Scalar(30, 20, 10)},
        {"one channel apart", cv::Scalar(7, 7, 7), cv::Scalar(7, 99, 7)},
    };
    for (const Case& c : cases) {
        Page().setTo(c.ground);
        cv::rectangle(Page(), cv::Rect(10, 20, 30, 15), c.patch, cv::FILLED);
        const ChannelCounts expected = CountsOfPage();
        bool shown = false;
        kestrun::testing::OnNextDialog([&](CDialog& dialog) {
            auto* window = dynamic_cast<CHistDlg*>(&dialog);
            ASSERT_NE(window, nullptr);
            shown = true;
            CCurveChart& chart = window->m_wndChart.GetControl();
            EXPECT_EQ(chart.GetXTitle(), "Value");
            EXPECT_EQ(chart.GetYTitle(), "Number");
            EXPECT_EQ(chart.GetXMin(), 0.0);
            EXPECT_EQ(chart.GetXMax(), 255.0);
            ASSERT_EQ(chart.GetCurveCount(), 3);
            const char* names[] = {"Red", "Green", "Blue"};
            const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
            for (int k = 0; k < 3; ++k) {
                EXPECT_EQ(chart.GetCurveName(k), names[k]);
                EXPECT_EQ(chart.GetCurveColour(k), colours[k]);
                ASSERT_EQ(chart.GetPointCount(k, false), 256);
                std::vector<float> values(256);
                for (int v = 0; v < 256; ++v)
                    values[static_cast<size_t>(v)] = chart.GetValue(k, v, false);
                EXPECT_EQ(values, expected[static_cast<size_t>(k)]) << c.name << " " << names[k];
                if (c.ground == cv::Scalar(0, 0, 0) && c.patch == c.ground) {
                    EXPECT_EQ(values[0], static_cast<float>(kPlateWidth * kPlateHeight));
                }
            }
            // The count axis is the range the counts need.
            double low = 0.0;
            double high = 0.0;
            ASSERT_TRUE(chart.GetNeededRange(low, high));
            EXPECT_EQ(chart.Data().m_dYMin, low);
            EXPECT_EQ(chart.Data().m_dYMax, high);
            kestrun::testing::Press(dialog, IDOK);
        });
        m_ex->OnCmdMsg(ID_IMAGE_HISTOGRAM, CN_COMMAND, nullptr, nullptr);
        EXPECT_TRUE(shown) << c.name;
    }
}

TEST_F(ImageChartTest, TheLineProfileShowsThePixelsOnTheDrawnLine)
{
    cv::Mat page = PaintGradient();
    CDIBVwEx* view = ViewOf(m_ex);
    ASSERT_NE(view, nullptr);
    if (view->m_bShrinkToFit)
        view->SendMessage(WM_COMMAND, ID_VIEW_DIRECT);
    const CPoint from(30, 40);
    const CPoint to(130, 90);
    const CPoint a = view->ImageToClient(from);
    const CPoint b = view->ImageToClient(to);
    view->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x, a.y));
    view->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(b.x, b.y));
    view->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(b.x, b.y));
    view->SendMessage(WM_COMMAND, ID_TOOL_LINE_PROFILE);

    auto* chartDoc = dynamic_cast<CChartDoc*>(m_ex->m_pProfileChart);
    ASSERT_NE(chartDoc, nullptr);
    const CCurveChart& chart = *chartDoc->GetChartControl();
    ASSERT_EQ(chart.GetCurveCount(), 3);
    CLinePoints line;
    line.Init(from.x, from.y, to.x, to.y);
    for (int k = 0; k < 3; ++k) {
        ASSERT_EQ(chart.GetPointCount(k, false), line.GetCount());
        for (int i = 0; i < line.GetCount(); ++i) {
            const POINT& p = line.GetAt(i);
            const cv::Vec3b bgr = page.at<cv::Vec3b>(p.y, p.x);
            EXPECT_EQ(chart.GetValue(k, i, false), static_cast<float>(bgr[2 - k])) << k << " " << i;
        }
    }
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(ImageChartTest, TheProfileFollowsTheParallelogramUntilItsChartIsClosed)
{
    // Each column its own colour; rows alike.
    cv::Mat page = Page();
    for (int x = 0; x < page.cols; ++x)
        page.col(x).setTo(cv::Scalar(255 - x % 256, (2 * x) % 256, x % 256));

    m_ex->OnCmdMsg(ID_IMAGE_SCAN_PARALLELOGRAM, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"No Parallelogram AOI active"});
    EXPECT_EQ(m_ex->m_pProfileChart, nullptr);
    EXPECT_EQ(ChartCount(), 0);

    AddParallelogram({50, 100}, {90, 100}, {90, 104});
    m_ex->OnCmdMsg(ID_IMAGE_SCAN_PARALLELOGRAM, CN_COMMAND, nullptr, nullptr);
    auto* chartDoc = dynamic_cast<CChartDoc*>(m_ex->m_pProfileChart);
    ASSERT_NE(chartDoc, nullptr);
    const CCurveChart& chart = *chartDoc->GetChartControl();
    EXPECT_EQ(chart.GetXTitle(), "Position");
    EXPECT_EQ(chart.GetYTitle(), "Intensity");
    ASSERT_EQ(chart.GetCurveCount(), 3);
    const char* names[] = {"Color", "Green", "Blue"};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(chart.GetCurveName(k), names[k]);
        ASSERT_EQ(chart.GetPointCount(k, false), 41);
        for (int i = 0; i <= 40; ++i) {
            const cv::Vec3b bgr = page.at<cv::Vec3b>(102, 50 + i);
            EXPECT_EQ(chart.GetValue(k, i, false), static_cast<float>(bgr[2 - k])) << names[k] << " " << i;
        }
    }

    // Asked again, the same chart shows the page as it is now.
    page.setTo(cv::Scalar(1, 2, 3));
    m_ex->ShowIntensityProfile(FALSE);
    EXPECT_EQ(m_ex->m_pProfileChart, chartDoc);
    EXPECT_EQ(ChartCount(), 1);
    EXPECT_EQ(chart.GetValue(0, 7, false), 3.0f);

    // Closed, the chart is forgotten: a refresh makes none, a new profile a new one.
    chartDoc->OnCloseDocument();
    EXPECT_EQ(m_ex->m_pProfileChart, nullptr);
    m_ex->ShowIntensityProfile(FALSE);
    EXPECT_EQ(ChartCount(), 0);
    m_ex->ShowIntensityProfile(TRUE);
    EXPECT_EQ(ChartCount(), 1);
    EXPECT_EQ(m_boxes->Texts().size(), 1u);
}

TEST_F(ImageChartTest, ProfilePointsOutsideThePageAreReadAtItsEdge)
{
    // The areas document takes no area reaching past the page; a profile
    // of one that does reads the page's edge there.
    cv::Mat page = Page();
    for (int x = 0; x < page.cols; ++x)
        page.col(x).setTo(cv::Scalar(0, 0, x % 256));
    CAOI3 area;
    area.SetFromPoints({300, 10}, {340, 10}, {340, 12});
    const sIntensityProfile profile = MeasureParallelogramProfile(*m_ex->GetActiveDIB(), area);
    ASSERT_EQ(profile.channels.size(), 3u);
    const std::vector<float>& red = profile.channels[0];
    ASSERT_EQ(red.size(), 41u);
    for (size_t i = 0; i < red.size(); ++i)
        EXPECT_EQ(red[i], static_cast<float>(std::min(300 + static_cast<int>(i), kPlateWidth - 1) % 256)) << i;
}

} // namespace

// Tables the image document makes chart through the chart template the
// document hands them: an object table its histogram, an area table (rows
// of nine and more columns) its chart.
TEST_F(ImageChartTest, TablesMadeByTheImageOpenTheirCharts)
{
    m_templates.SetTemplate(CSRC::kGridTemplate,
                            new CMultiDocTemplate(kImageChartResource, RUNTIME_CLASS(CGridDoc2),
                                                  RUNTIME_CLASS(CMDIChildWnd),
                                                  RUNTIME_CLASS(CHitRecordingView)));
    const auto opensChart = [this](CGridDoc2& table, UINT id) {
        table.BuildTitles(); // as the table's own view does
        CCmdUI ui;
        ui.m_nID = id;
        ui.DoUpdate(&table, FALSE);
        const int before = ChartCount();
        table.OnCmdMsg(id, CN_COMMAND, nullptr, nullptr);
        return ui.m_bEnabled != FALSE && ChartCount() == before + 1;
    };
    m_ex->SearchObjects();
    auto* objects = dynamic_cast<CObjDataDoc*>(m_ex->GetResultDoc());
    ASSERT_NE(objects, nullptr);
    ASSERT_GT(objects->GetCount(), 0);
    EXPECT_TRUE(opensChart(*objects, ID_TABLE_SHOW_HISTOGRAM));

    m_ex->SetResultDoc(nullptr);
    m_ex->MeasureAreas();
    auto* areas = dynamic_cast<CGridDoc2*>(m_ex->GetResultDoc());
    ASSERT_NE(areas, nullptr);
    ASSERT_NE(areas, objects);
    EXPECT_TRUE(opensChart(*areas, ID_TABLE_SHOW_CHART));
}

TEST_F(ImageChartTest, MarkedPointsComeBeforeTheParallelogramInTheProfile)
{
    cv::Mat page = PaintGradient();
    AddParallelogram({50, 100}, {90, 100}, {90, 104});
    // The last point lies past the page's right edge: read at the edge.
    const std::vector<CPoint> marked = {{20, 30}, {60, 50}, {60, 10}, {kPlateWidth + 40, 10}};
    m_ex->m_Points.Start(CPoints::modePolygon);
    for (const CPoint& p : marked)
        m_ex->m_Points.AddPoint(p.x, p.y);
    m_ex->OnCmdMsg(ID_IMAGE_SCAN_PARALLELOGRAM, CN_COMMAND, nullptr, nullptr);

    // The pixels of the segments one after the other, each joint once.
    std::vector<cv::Vec3b> expected;
    for (size_t s = 1; s < marked.size(); ++s) {
        CLinePoints line;
        line.Init(marked[s - 1].x, marked[s - 1].y, marked[s].x, marked[s].y);
        for (int i = s == 1 ? 0 : 1; i < line.GetCount(); ++i) {
            const POINT& p = line.GetAt(i);
            expected.push_back(page.at<cv::Vec3b>(std::clamp<int>(p.y, 0, page.rows - 1),
                                                  std::clamp<int>(p.x, 0, page.cols - 1)));
        }
    }
    auto* chartDoc = dynamic_cast<CChartDoc*>(m_ex->m_pProfileChart);
    ASSERT_NE(chartDoc, nullptr);
    const CCurveChart& chart = *chartDoc->GetChartControl();
    ASSERT_EQ(chart.GetCurveCount(), 3);
    for (int k = 0; k < 3; ++k) {
        ASSERT_EQ(chart.GetPointCount(k, false), static_cast<int>(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(chart.GetValue(k, static_cast<int>(i), false), static_cast<float>(expected[i][2 - k]))
                << k << " " << i;
    }

    // One point is no line: the parallelogram's scan lines again.
    m_ex->m_Points.Start(CPoints::modePolygon);
    m_ex->m_Points.AddPoint(20, 30);
    m_ex->ShowIntensityProfile(FALSE);
    EXPECT_EQ(chart.GetPointCount(0, false), 41);
    EXPECT_TRUE(m_boxes->Texts().empty());
}
