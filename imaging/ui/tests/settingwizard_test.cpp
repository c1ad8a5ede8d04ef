// The illumination wizard: the go/stop sign, the reference image, the live
// worker, the histogram ranges, and its place in the view.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/ui/dibviewcommands.h"
#include "imaging/ui/settingwizard.h"
#include "imaging/tests/boardprobe.h"

#include "analysis/aoidoc.h"
#include "objectmodel/datafilter.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/messages.h"
#include "platform/ui/propsheet.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

using kestrun::testing::CImageViewTest;

class SettingWizardTest : public CImageViewTest
{
protected:
    void SetUp() override
    {
        CImageViewTest::SetUp();
        m_services.m_strImageDir = PathOf("images/");
        std::filesystem::create_directories(m_folder / "images");
    }
    void TearDown() override
    {
        CImageViewTest::TearDown();
        if (FGBoard* board = GetFG()) {
            board->StopLive();
            board->SetClock(nullptr);
        }
    }
    CString ReferencePath() const { return PathOf("images/ReferenceImage.jpg"); }
    CSettingWizard1& Open()
    {
        Command(ID_TOOL_CHECK_ILLUMINATION);
        EXPECT_NE(m_view->m_pSetupSheet, nullptr);
        return *m_view->m_pSetupPage1;
    }
    void UseBoard()
    {
        static kestrun::ManualClock clock;
        ASSERT_TRUE(kestrun::testing::UseSimulatedBoard(*GetFG(), clock));
        ASSERT_TRUE(m_doc->InitVideoPages());
    }
    // Pumps until the page has taken count live frames more; false after a while.
    static bool WaitForLiveFrames(CSettingWizard1& page, int count)
    {
        const int target = page.GetLiveFrames() + count;
        for (int i = 0; i < 2000 && page.GetLiveFrames() < target; ++i) {
            kestrun::PumpMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return page.GetLiveFrames() >= target;
    }
    CString Field(CWnd& page, int id)
    {
        CString text;
        page.GetDlgItemText(id, text);
        return text;
    }
};

TEST_F(SettingWizardTest, GoWithinFivePercentOfTheReferenceBrightness)
{
    struct sCase
    {
        double live;
        double reference;
        bool go;
    };
    const sCase cases[] = {
        {100.0, 112.75, true}, {100.0, 113.0, false}, {112.75, 100.0, true}, {0.0, 0.0, true}, {255.0, 0.0, false},
    };
    for (const sCase& c : cases)
        EXPECT_EQ(CSettingWizard1::IsGo(c.live, c.reference), c.go) << c.live << " " << c.reference;
}

TEST_F(SettingWizardTest, OpensOnceOnThePageWithoutAReferenceAndShowsTheSign)
{
    m_doc->GetActiveDIB()->GetMat().setTo(cv::Scalar::all(100));
    CSettingWizard1& page = Open();
    Command(ID_TOOL_CHECK_ILLUMINATION);
    EXPECT_EQ(m_view->m_pSetupPage1.get(), &page);
    EXPECT_EQ(page.m_strReferencePath, ReferencePath());
    EXPECT_EQ(m_view->m_pSetupSheet->GetActiveIndex(), 0);
    EXPECT_TRUE(m_view->m_pSetupSheet->IsWizard());
    EXPECT_EQ(Field(page, CSettingWizard1::IDC_CURRENT_BRIGHTNESS), "100.00");
    EXPECT_EQ(Field(page, CSettingWizard1::IDC_REFERENCE_BRIGHTNESS), "0.00");
    EXPECT_FALSE(page.GetSign().IsWindowEnabled());
    EXPECT_FALSE(page.GetSign().GetBitmap(CBitmapButton::lookDisabled).isNull());
    EXPECT_TRUE(m_boxes->Texts().empty());

    // Saving makes the page the reference: now it shows GO.
    Press(page, CSettingWizard1::IDC_SAVE_REFERENCE);
    EXPECT_TRUE(std::filesystem::exists(ReferencePath().GetString()));
    EXPECT_NEAR(page.m_RefValues.Brightness(), 100.0, 1e-9);
    EXPECT_TRUE(page.GetSign().IsWindowEnabled());
    EXPECT_TRUE(m_boxes->Texts().empty());

    // Cancel closes it through the view.
    m_view->m_pSetupSheet->PressButton(PSBTN_CANCEL);
    kestrun::PumpMessages();
    EXPECT_EQ(m_view->m_pSetupSheet, nullptr);
    EXPECT_EQ(m_view->m_pSetupPage1, nullptr);
}

TEST_F(SettingWizardTest, AnsweringCancelKeepsTheOldReference)
{
    m_doc->GetActiveDIB()->GetMat().setTo(cv::Scalar::all(60));
    CSettingWizard1& page = Open();
    Press(page, CSettingWizard1::IDC_SAVE_REFERENCE);
    const auto written = std::filesystem::last_write_time(ReferencePath().GetString());

    m_doc->GetActiveDIB()->GetMat().setTo(cv::Scalar::all(200));
    m_boxes->QueueAnswer(IDCANCEL);
    Press(page, CSettingWizard1::IDC_SAVE_REFERENCE);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Reference Image already exits - Overwrite?"});
    EXPECT_NEAR(page.m_RefValues.Brightness(), 60.0, 1e-9);
    EXPECT_EQ(std::filesystem::last_write_time(ReferencePath().GetString()), written);

    // The next wizard reads the reference from the file.
    m_view->m_pSetupSheet->PressButton(PSBTN_CANCEL);
    kestrun::PumpMessages();
    CSettingWizard1& again = Open();
    EXPECT_NEAR(again.m_RefValues.Brightness(), 60.0, 1.0); // JPEG
    EXPECT_EQ(again.GetReference().GetWidth(), kPlateWidth);
}

TEST_F(SettingWizardTest, AnUnreadableReferenceIsToldAndLeavesTheValuesAtZero)
{
    std::ofstream(ReferencePath().GetString()) << "not a picture";
    CSettingWizard1& page = Open();
    ASSERT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_NE(m_boxes->Texts()[0].Find("ReferenceImage.jpg"), -1);
    EXPECT_EQ(page.m_RefValues.Brightness(), 0.0);
    EXPECT_EQ(page.m_RefValues.Contrast(), 0.0);
    EXPECT_EQ(page.GetReference().GetWidth(), 0);
    EXPECT_EQ(std::filesystem::file_size(ReferencePath().GetString()), 13u);
}

TEST_F(SettingWizardTest, LiveValuesComeFromTheWorkerAndNextStopsIt)
{
    UseBoard();
    CSettingWizard1& page = Open();
    Press(page, CSettingWizard1::IDC_LIVE_VIDEO);
    ASSERT_TRUE(page.IsLive());
    EXPECT_EQ(Field(page, CSettingWizard1::IDC_LIVE_VIDEO), "Live Video Off");
    ASSERT_TRUE(WaitForLiveFrames(page, 3));
    EXPECT_GT(page.m_Live.Brightness(), 0.0);

    m_view->m_pSetupSheet->PressButton(PSBTN_NEXT);
    EXPECT_FALSE(page.IsLive());
    EXPECT_EQ(m_view->m_pSetupSheet->GetActiveIndex(), 1);
    const int frames = page.GetLiveFrames();
    kestrun::PumpMessages();
    EXPECT_EQ(page.GetLiveFrames(), frames);
}

TEST_F(SettingWizardTest, StartingAndStoppingLiveManyTimes)
{
    UseBoard();
    CSettingWizard1& page = Open();
    for (int i = 0; i < 25; ++i) {
        Press(page, CSettingWizard1::IDC_LIVE_VIDEO);
        ASSERT_TRUE(page.IsLive());
        if (i % 5 == 0) {
            ASSERT_TRUE(WaitForLiveFrames(page, 1));
        }
        Press(page, CSettingWizard1::IDC_LIVE_VIDEO);
        ASSERT_FALSE(page.IsLive());
    }
    // Closing the view while live stops and joins the worker with the wizard.
    Press(page, CSettingWizard1::IDC_LIVE_VIDEO);
    ASSERT_TRUE(WaitForLiveFrames(page, 1));
    m_doc->SetModifiedFlag(FALSE);
    m_doc->OnCloseDocument();
    kestrun::PumpMessages();
    EXPECT_EQ(m_imageTemplate->GetFirstDocPosition(), nullptr);
}

// The range of a channel as the second page walks it: the peak of the
// smoothed histogram, then outwards while the three-bin level falls.
CSettingWizard2::sRange WalkedRange(const std::vector<double>& h)
{
    const int n = static_cast<int>(h.size());
    CSettingWizard2::sRange range;
    for (int i = 1; i < n; ++i)
        if (h[static_cast<size_t>(i)] > h[static_cast<size_t>(range.peak)])
            range.peak = i;
    auto at = [&h](int i) { return h[static_cast<size_t>(i)]; };
    range.maximum = range.peak;
    double level = at(range.peak);
    for (int i = range.peak + 1; i < n; ++i) {
        const double next = i < n - 2 ? (at(i) + at(i + 1) + at(i + 2)) / 3.0 : at(i);
        if (!(next < level))
            break;
        level = next;
        range.maximum = i;
    }
    range.minimum = range.peak;
    level = at(range.peak);
    for (int i = range.peak - 1; i >= 1; --i) {
        const double next = i >= 2 ? (at(i) + at(i - 1) + at(i - 2)) / 3.0 : at(i);
        if (!(next < level))
            break;
        level = next;
        range.minimum = i;
    }
    return range;
}

TEST_F(SettingWizardTest, EachChannelsRangeFollowsTheWalkFromItsPeak)
{
    // Three channels of different spread around different means, from a seed.
    cv::Mat pixels = m_doc->GetActiveDIB()->GetMat();
    cv::RNG rng(17);
    const double means[3] = {60.0, 180.0, 120.0}; // blue, green, red
    const double spreads[3] = {8.0, 20.0, 35.0};
    for (int y = 0; y < pixels.rows; ++y)
        for (int x = 0; x < pixels.cols; ++x)
            for (int c = 0; c < 3; ++c)
                pixels.at<cv::Vec3b>(y, x)[c] = cv::saturate_cast<uchar>(rng.gaussian(spreads[c]) + means[c]);

    Open();
    m_view->m_pSetupSheet->PressButton(PSBTN_NEXT);
    ASSERT_NE(m_view->m_pSetupPage2, nullptr);
    CSettingWizard2& page = *m_view->m_pSetupPage2;

    int peaks = 0;
    const int minima[3] = {page.m_nBlueMin, page.m_nGreenMin, page.m_nRedMin};
    const int maxima[3] = {page.m_nBlueMax, page.m_nGreenMax, page.m_nRedMax};
    for (int c = 0; c < 3; ++c) {
        std::vector<int> counts(256, 0);
        for (int y = 0; y < pixels.rows; ++y)
            for (int x = 0; x < pixels.cols; ++x)
                ++counts[pixels.at<cv::Vec3b>(y, x)[c]];
        CDataFilter series(CDataArray::typeLong);
        for (const int count : counts)
            series.AddInt(count);
        series.SetFilter(CDataFilter::filterMean, 15);
        std::vector<double> smoothed;
        for (int i = 0; i < 256; ++i)
            smoothed.push_back(static_cast<float>(series.GetAt(i)));
        const CSettingWizard2::sRange expected = WalkedRange(smoothed);
        EXPECT_EQ(minima[c], expected.minimum) << c;
        EXPECT_EQ(maxima[c], expected.maximum) << c;
        EXPECT_NEAR(expected.peak, means[c], 6.0) << c;
        EXPECT_LT(expected.minimum, expected.peak) << c;
        EXPECT_GT(expected.maximum, expected.peak) << c;
        peaks += expected.peak;
    }
    EXPECT_EQ(page.m_nOverall, peaks / 3);
    CString shown;
    page.GetDlgItemText(CSettingWizard2::IDC_GREEN_MAX, shown);
    EXPECT_EQ(atoi(shown.GetString()), page.m_nGreenMax);
    EXPECT_EQ(page.m_wndChart.GetControl().GetCurveCount(), 3);
    EXPECT_EQ(page.m_wndChart.GetControl().GetCurveName(2), "Blue");

    // Finish closes it through the view.
    m_view->m_pSetupSheet->PressButton(PSBTN_FINISH);
    kestrun::PumpMessages();
    EXPECT_EQ(m_view->m_pSetupSheet, nullptr);
}

TEST_F(SettingWizardTest, ATrackerMoveMeasuresTheMovedArea)
{
    cv::Mat pixels = m_doc->GetActiveDIB()->GetMat();
    pixels.setTo(cv::Scalar::all(40));
    pixels(cv::Rect(200, 100, 60, 60)).setTo(cv::Scalar::all(220));
    CSettingWizard1& page = Open();
    auto area = std::unique_ptr<CAOI>(std::make_unique<CAOI2>(CRect(200, 100, 260, 160)));
    ASSERT_EQ(m_doc->GetDataDoc()->AddAOI(area), 1);
    m_view->RefreshSetupWizard();
    EXPECT_NEAR(page.m_Live.Brightness(), 220.0, 1e-9);
}

} // namespace
