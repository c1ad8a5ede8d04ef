// The view's focus, raster and integration windows: their measures on
// seeded pages, their loops, and closing them or the view while a loop runs.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/ui/dibviewcommands.h"
#include "imaging/ui/focusdlg.h"
#include "imaging/ui/integrationdlg.h"
#include "imaging/ui/rasterdlg.h"
#include "imaging/tests/boardprobe.h"

#include "analysis/aoidoc.h"
#include "analysis/aoistatistics.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/messages.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <functional>
#include <vector>

namespace {

using kestrun::testing::CImageViewTest;

// Rectangles of random grey on a grey page, from the seed.
void PaintScene(CDIB& page, unsigned seed)
{
    cv::Mat pixels = page.GetMat();
    pixels.setTo(cv::Scalar::all(128));
    cv::RNG rng(seed);
    for (int i = 0; i < 60; ++i) {
        const cv::Point a(rng.uniform(0, pixels.cols), rng.uniform(0, pixels.rows));
        const cv::Size size(rng.uniform(4, 40), rng.uniform(4, 40));
        cv::rectangle(pixels, cv::Rect(a, size), cv::Scalar::all(rng.uniform(0, 256)), cv::FILLED);
    }
}

// A dialog whose frames come from the test instead of the board.
template <class Base>
class CScripted : public Base
{
public:
    using Base::Base;
    // Called for each grab with its number (from 0); false: no frame.
    std::function<bool(CDIB& page, int n)> m_grab;
    std::vector<int> m_progress;
    int m_nGrabs = 0;

protected:
    bool GrabFrame() override
    {
        CDIB* page = this->m_pDoc != nullptr ? this->m_pDoc->GetActiveDIB() : nullptr;
        return page != nullptr && m_grab && m_grab(*page, m_nGrabs++);
    }
};

class CScriptedIntegration : public CScripted<CIntegrationDlg>
{
public:
    using CScripted<CIntegrationDlg>::CScripted;

protected:
    void ShowProgress(int nPercent) override { m_progress.push_back(nPercent); }
};

using CScriptedFocus = CScripted<CFocusDlg>;

class MeasureWindowsTest : public CImageViewTest
{
protected:
    CAOIDoc& Areas() { return *m_doc->GetDataDoc(); }

    // The document becomes a video document on the simulated board.
    void UseBoard()
    {
        static kestrun::ManualClock clock;
        ASSERT_TRUE(kestrun::testing::UseSimulatedBoard(*GetFG(), clock));
        ASSERT_TRUE(m_doc->InitVideoPages());
    }
    void TearDown() override
    {
        CImageViewTest::TearDown();
        if (FGBoard* board = GetFG()) {
            board->StopLive();
            board->SetClock(nullptr);
        }
    }
};

// ---- focus ---------------------------------------------------------------------------------------

TEST_F(MeasureWindowsTest, TheFocusValueRisesWithSharpness)
{
    CDIB& page = *m_doc->GetActiveDIB();
    PaintScene(page, 7);
    const cv::Mat sharp = page.GetMat().clone();
    Areas().SetDefaultAOI(nullptr);
    std::vector<double> values;
    for (const double sigma : {0.0, 0.8, 1.5, 3.0}) {
        if (sigma > 0.0)
            cv::GaussianBlur(sharp, page.GetMat(), cv::Size(0, 0), sigma);
        values.push_back(CFocusDlg::ComputeFocus(page, Areas().GetDefaultAOI()));
    }
    for (size_t i = 1; i < values.size(); ++i)
        EXPECT_LT(values[i], values[i - 1]) << i;
    EXPECT_GT(values.back(), 0.0);
}

TEST_F(MeasureWindowsTest, PercentagesAgainstTheBestValueAndTheMark)
{
    CFocusDlg dialog(m_view);
    struct sStep
    {
        double value;
        int percent;
        bool above;
    };
    // The first value is the maximum; 96 % is above the mark, 95 % is not;
    // a better value becomes the new maximum.
    const sStep steps[] = {{50.0, 100, true}, {48.0, 96, true}, {47.5, 95, false},
                           {10.0, 20, false}, {80.0, 100, true}, {76.8, 96, true}};
    for (const sStep& step : steps) {
        dialog.TakeValue(step.value);
        EXPECT_EQ(dialog.GetFocusPercent(), step.percent) << step.value;
        EXPECT_EQ(dialog.IsAboveMark(), step.above) << step.value;
    }
    EXPECT_EQ(dialog.GetFocusMax(), 80.0);

    // 0 of 0 shows 0.
    CFocusDlg blank(m_view);
    blank.TakeValue(0.0);
    EXPECT_EQ(blank.GetFocusPercent(), 0);
    EXPECT_FALSE(blank.IsAboveMark());
}

TEST_F(MeasureWindowsTest, FocusShowsTheDefaultAreaAndSetROITakesTheActiveOneOrTheMiddleHalf)
{
    Command(ID_TOOL_FOCUS);
    ASSERT_NE(m_view->m_pFocusDlg, nullptr);
    CFocusDlg& dialog = *m_view->m_pFocusDlg;
    EXPECT_TRUE(Areas().m_bShowDefault);
    EXPECT_EQ(dialog.GetFocusPercent(), 100);
    EXPECT_EQ(dialog.GetMeter().GetCaption(), "Value");
    EXPECT_EQ(dialog.GetMeter().GetMark(), 95.0);
    EXPECT_EQ(dialog.GetMeter().GetScaleColor(0), RGB(255, 0, 0));
    EXPECT_EQ(dialog.GetMeter().GetScaleColor(1), RGB(0, 255, 0));

    auto area = std::unique_ptr<CAOI>(std::make_unique<CAOI2>(CRect(20, 30, 120, 90)));
    ASSERT_EQ(Areas().AddAOI(area), 1);
    Press(dialog, CFocusDlg::IDC_SET_ROI);
    EXPECT_EQ(Areas().GetDefaultAOI().GetRect(), CRect(20, 30, 120, 90));
    Areas().ClearAOIs();
    Press(dialog, CFocusDlg::IDC_SET_ROI);
    EXPECT_EQ(Areas().GetDefaultAOI().GetRect(), CRect(80, 60, 240, 180));

    Press(dialog, IDOK);
    EXPECT_EQ(m_view->m_pFocusDlg, nullptr);
    EXPECT_FALSE(Areas().m_bShowDefault);
}

TEST_F(MeasureWindowsTest, TheFocusLoopRunsUntilStopOrAMissingFrame)
{
    CScriptedFocus dialog(m_view);
    // Sharper and sharper, then blurred; Stop pressed during the fifth frame.
    const cv::Mat sharp = [&] {
        PaintScene(*m_doc->GetActiveDIB(), 3);
        return m_doc->GetActiveDIB()->GetMat().clone();
    }();
    const double sigmas[] = {3.0, 2.0, 1.0, 0.0, 2.0};
    dialog.m_grab = [&](CDIB& page, int n) {
        if (n >= 5)
            return false;
        if (sigmas[n] > 0.0)
            cv::GaussianBlur(sharp, page.GetMat(), cv::Size(0, 0), sigmas[n]);
        else
            sharp.copyTo(page.GetMat());
        if (n == 4)
            dialog.PostMessage(WM_COMMAND, MAKEWPARAM(CFocusDlg::IDC_START, BN_CLICKED), 0);
        return true;
    };
    ASSERT_TRUE(dialog.Create(m_doc));
    Press(dialog, CFocusDlg::IDC_START);
    EXPECT_FALSE(dialog.IsRunning());
    EXPECT_EQ(dialog.m_nGrabs, 5);
    EXPECT_LT(dialog.GetFocusPercent(), 95);
    // The last frame's percentage on the meter and in its field.
    EXPECT_EQ(dialog.GetMeter().GetValue(), dialog.GetFocusPercent());
    EXPECT_EQ(dialog.GetDlgItemInt(CFocusDlg::IDC_FOCUS_PERCENT), static_cast<UINT>(dialog.GetFocusPercent()));
    CString text;
    dialog.GetDlgItemText(CFocusDlg::IDC_START, text);
    EXPECT_EQ(text, "Start");

    // Without frames the loop ends at once and says nothing more than the board.
    dialog.m_grab = [](CDIB&, int) { return false; };
    Press(dialog, CFocusDlg::IDC_START);
    EXPECT_FALSE(dialog.IsRunning());
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(MeasureWindowsTest, OnAStillImageTheLoopsSayThereIsNoVideo)
{
    Command(ID_TOOL_FOCUS);
    ASSERT_NE(m_view->m_pFocusDlg, nullptr);
    Press(*m_view->m_pFocusDlg, CFocusDlg::IDC_START);
    EXPECT_FALSE(m_view->m_pFocusDlg->IsRunning());
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"No live video for this image"});
    // Integration needs a video document.
    EXPECT_FALSE(IsEnabled(ID_TOOL_IMAGE_INTEGRATION));
}

// OK and closing the view while a loop runs: the loop ends after its pass
// and the dialog goes after it (the sanitizers watch).
TEST_F(MeasureWindowsTest, OKOrClosingTheViewDuringTheFocusLoop)
{
    UseBoard();
    Command(ID_TOOL_FOCUS);
    ASSERT_NE(m_view->m_pFocusDlg, nullptr);
    CFocusDlg* focus = m_view->m_pFocusDlg.get();
    focus->PostMessage(WM_COMMAND, IDOK, 0);
    int frames = GetFG()->GetFrameCount();
    Press(*focus, CFocusDlg::IDC_START);
    EXPECT_EQ(m_view->m_pFocusDlg, nullptr);
    EXPECT_GT(GetFG()->GetFrameCount(), frames);

    Command(ID_TOOL_FOCUS);
    ASSERT_NE(m_view->m_pFocusDlg, nullptr);
    m_doc->SetModifiedFlag(FALSE);
    m_view->GetParentFrame()->PostMessage(WM_CLOSE);
    frames = GetFG()->GetFrameCount();
    Press(*m_view->m_pFocusDlg, CFocusDlg::IDC_START);
    EXPECT_EQ(m_imageTemplate->GetFirstDocPosition(), nullptr);
    EXPECT_GT(GetFG()->GetFrameCount(), frames);
    EXPECT_FALSE(m_engine.m_AOIDoc.m_bShowDefault);
}

// ---- raster ----------------------------------------------------------------------------------------

TEST_F(MeasureWindowsTest, RasterCellsEqualADirectComputationAndTheExtremesAreOutlined)
{
    CDIB& page = *m_doc->GetActiveDIB();
    PaintScene(page, 11);
    Command(ID_TOOL_RASTER);
    ASSERT_NE(m_view->m_pRasterDlg, nullptr);
    CRasterDlg& dialog = *m_view->m_pRasterDlg;
    EXPECT_EQ(dialog.GetList().GetItemCount(), 0); // nothing before the first scan
    Press(dialog, CRasterDlg::IDC_SCAN);

    // Without an area the raster lies over the whole page.
    const CAOIRaster& raster = dialog.GetRaster();
    ASSERT_EQ(raster.GetSize(), 25);
    EXPECT_EQ(raster.GetGridRect(), CRect(0, 0, kPlateWidth, kPlateHeight));
    for (int i = 0; i < 25; ++i) {
        // The last row and column reach one pixel past the page, which the
        // statistics leave out.
        CRect cell;
        cell.IntersectRect(raster[i].GetRect(), CRect(0, 0, kPlateWidth, kPlateHeight));
        const cv::Scalar mean = cv::mean(page.GetMat()(cv::Rect(cell.left, cell.top, cell.Width(), cell.Height())));
        const double grey = 0.299 * mean[2] + 0.587 * mean[1] + 0.114 * mean[0];
        EXPECT_EQ(dialog.GetGreyValues().GetAt(i), std::lround(grey)) << i;
        double e = 0, c = 0, h = 0, n = 0;
        ASSERT_TRUE(ComputeTexture(raster[i], page, 3, &e, &c, &n, &h, 2));
        EXPECT_DOUBLE_EQ(dialog.GetTextures().GetAt(i), h) << i;
    }
    // Cells go row by row from the top left.
    EXPECT_LT(raster[1].GetLeft(), raster[2].GetLeft());
    EXPECT_GT(raster[5].GetTop(), raster[4].GetTop());

    ASSERT_EQ(dialog.GetList().GetItemCount(), 25);
    EXPECT_EQ(dialog.GetList().GetItemText(24, 0), "25");
    CString grey;
    grey.Format("%d", static_cast<int>(dialog.GetGreyValues().GetAt(3)));
    EXPECT_EQ(dialog.GetList().GetItemText(3, 1), grey);
    CString texture;
    texture.Format("%lf", dialog.GetTextures().GetAt(3));
    EXPECT_EQ(dialog.GetList().GetItemText(3, 2), texture);

    // The darkest cell in red, the brightest in blue.
    double low = 1e9, high = -1.0;
    int darkest = -1, brightest = -1;
    for (int i = 0; i < 25; ++i) {
        const double v = dialog.GetGreyValues().GetAt(i);
        if (v < low)
            low = v, darkest = i;
        if (v > high)
            high = v, brightest = i;
    }
    CRecordingDC dc;
    dialog.Outline(&dc);
    ASSERT_EQ(dc.Records().size(), 10u);
    EXPECT_EQ(dc.Records()[0].pen.lopnColor, RGB(255, 0, 0));
    EXPECT_EQ(dc.Records()[0].points[0], raster[darkest].GetRect().TopLeft());
    EXPECT_EQ(dc.Records()[5].pen.lopnColor, RGB(0, 0, 255));
    EXPECT_EQ(dc.Records()[5].points[0], raster[brightest].GetRect().TopLeft());
}

TEST_F(MeasureWindowsTest, EqualCellsOutlineCellZeroTwiceAndASecondScanReplacesAll)
{
    m_doc->GetActiveDIB()->GetMat().setTo(cv::Scalar::all(90));
    auto area = std::unique_ptr<CAOI>(std::make_unique<CAOI2>(CRect(50, 40, 150, 140)));
    ASSERT_EQ(m_doc->GetDataDoc()->AddAOI(area), 1);
    Command(ID_TOOL_RASTER);
    CRasterDlg& dialog = *m_view->m_pRasterDlg;
    Press(dialog, CRasterDlg::IDC_SCAN);
    EXPECT_EQ(dialog.GetRaster().GetGridRect(), CRect(50, 40, 150, 140));
    EXPECT_EQ(dialog.GetDarkestCell(), 0);
    EXPECT_EQ(dialog.GetBrightestCell(), 0);
    CRecordingDC dc;
    dialog.Outline(&dc);
    EXPECT_EQ(dc.Records().back().pen.lopnColor, RGB(0, 0, 255));
    EXPECT_EQ(dc.Records().back().points[1], CPoint(50, 40));

    m_doc->GetDataDoc()->ClearAOIs();
    m_doc->GetActiveDIB()->GetMat().setTo(cv::Scalar::all(200));
    Press(dialog, CRasterDlg::IDC_SCAN);
    EXPECT_EQ(dialog.GetRaster().GetGridRect(), CRect(0, 0, kPlateWidth, kPlateHeight));
    EXPECT_EQ(dialog.GetGreyValues().GetUsedCount(), 25);
    EXPECT_EQ(dialog.GetGreyValues().GetAt(24), 200.0);
    EXPECT_EQ(dialog.GetList().GetItemCount(), 25);
}

// ---- integration -------------------------------------------------------------------------------------

class IntegrationTest : public MeasureWindowsTest
{
protected:
    // Frames of the plate's size from the seed, one value per frame or noise.
    static cv::Mat RandomEvenFrame(unsigned seed)
    {
        cv::Mat frame(kPlateHeight, kPlateWidth, CV_8UC3);
        cv::RNG(seed).fill(frame, cv::RNG::UNIFORM, 0, 128);
        return frame * 2;
    }
    void Run(CScriptedIntegration& dialog, const std::vector<cv::Mat>& frames)
    {
        dialog.m_grab = [&frames](CDIB& page, int n) {
            if (n >= static_cast<int>(frames.size()))
                return false;
            const cv::Mat& frame = frames[static_cast<size_t>(n)];
            if (page.GetWidth() != frame.cols || page.GetHeight() != frame.rows)
                page.InitDIB(frame.cols, frame.rows, 24);
            frame.copyTo(page.GetMat());
            return true;
        };
        Press(dialog, CIntegrationDlg::IDC_START);
    }
    int CountDifferent(const cv::Mat& expected)
    {
        const cv::Mat different = m_doc->GetActiveDIB()->GetMat() != expected;
        return cv::countNonZero(different.reshape(1));
    }
};

TEST_F(IntegrationTest, AverageSumAndSingleFrame)
{
    const cv::Mat a = RandomEvenFrame(1);
    const cv::Mat b = cv::Scalar::all(254) - a;
    {
        // Their mean is 127 everywhere, whatever a is.
        CScriptedIntegration dialog(m_view);
        ASSERT_TRUE(dialog.Create(m_doc));
        Run(dialog, {a, b});
        EXPECT_EQ(dialog.m_nGrabs, 2);
        EXPECT_EQ(CountDifferent(cv::Mat(a.size(), CV_8UC3, cv::Scalar::all(127))), 0);
        EXPECT_FALSE(dialog.IsBusy());
    }
    {
        CScriptedIntegration dialog(m_view);
        ASSERT_TRUE(dialog.Create(m_doc));
        dialog.SetDlgItemText(CIntegrationDlg::IDC_NUMBER, "1");
        Run(dialog, {a, b});
        EXPECT_EQ(dialog.m_nGrabs, 1);
        EXPECT_EQ(CountDifferent(a), 0);
    }
    {
        // The sum saturates at 255.
        CScriptedIntegration dialog(m_view);
        ASSERT_TRUE(dialog.Create(m_doc));
        dialog.m_nMethod = CIntegrationDlg::methodAddition;
        dialog.UpdateData(FALSE);
        const cv::Mat low(a.size(), CV_8UC3, cv::Scalar(10, 100, 200));
        Run(dialog, {low, low});
        EXPECT_EQ(CountDifferent(cv::Mat(a.size(), CV_8UC3, cv::Scalar(20, 200, 255))), 0);
    }
}

TEST_F(IntegrationTest, ProgressAfterEachFrame)
{
    CScriptedIntegration dialog(m_view);
    ASSERT_TRUE(dialog.Create(m_doc));
    dialog.SetDlgItemText(CIntegrationDlg::IDC_NUMBER, "4");
    const cv::Mat frame = RandomEvenFrame(2);
    Run(dialog, {frame, frame, frame, frame});
    EXPECT_EQ(dialog.m_progress, (std::vector<int>{25, 50, 75}));
    EXPECT_EQ(CountDifferent(frame), 0);
}

TEST_F(IntegrationTest, FramesThatChangeSizeStopTheRunAndNothingIsWrittenBack)
{
    CScriptedIntegration dialog(m_view);
    ASSERT_TRUE(dialog.Create(m_doc));
    dialog.SetDlgItemText(CIntegrationDlg::IDC_NUMBER, "3");
    const cv::Mat first = RandomEvenFrame(3);
    cv::Mat smaller(100, 120, CV_8UC3, cv::Scalar::all(40));
    Run(dialog, {first, smaller, smaller});
    EXPECT_EQ(dialog.m_nGrabs, 2);
    EXPECT_EQ(m_boxes->Texts(),
              std::vector<CString>{"The frames changed their size during the integration: it stopped."});
    EXPECT_EQ(m_doc->GetPageSize(), CSize(120, 100));
    EXPECT_EQ(CountDifferent(smaller), 0);
    EXPECT_FALSE(dialog.IsBusy());
}

TEST_F(IntegrationTest, NumbersThatDoNotReadOrExceedTheLimitAreRefused)
{
    for (const char* typed : {"abc", "0", "1001", ""}) {
        m_boxes->Clear();
        CScriptedIntegration dialog(m_view);
        ASSERT_TRUE(dialog.Create(m_doc));
        dialog.SetDlgItemText(CIntegrationDlg::IDC_NUMBER, typed);
        Run(dialog, {RandomEvenFrame(4)});
        EXPECT_EQ(dialog.m_nGrabs, 0) << typed;
        EXPECT_EQ(m_boxes->Texts().size(), 1u) << typed;
        EXPECT_TRUE(dialog.GetSafeHwnd() != nullptr);
    }
    CScriptedIntegration dialog(m_view);
    ASSERT_TRUE(dialog.Create(m_doc));
    dialog.SetDlgItemText(CIntegrationDlg::IDC_NUMBER, "1000");
    EXPECT_EQ(dialog.m_nImages, 1000);
}

TEST_F(IntegrationTest, OKIsIgnoredWhileBusyAndClosingTheViewEndsTheRun)
{
    UseBoard();
    ASSERT_TRUE(IsEnabled(ID_TOOL_IMAGE_INTEGRATION));
    Command(ID_TOOL_IMAGE_INTEGRATION);
    ASSERT_NE(m_view->m_pIntegrationDlg, nullptr);
    CIntegrationDlg* dialog = m_view->m_pIntegrationDlg.get();
    Command(ID_TOOL_IMAGE_INTEGRATION);
    EXPECT_EQ(m_view->m_pIntegrationDlg.get(), dialog);
    dialog->SetDlgItemText(CIntegrationDlg::IDC_NUMBER, "3");
    dialog->PostMessage(WM_COMMAND, IDOK, 0);
    Press(*dialog, CIntegrationDlg::IDC_START);
    ASSERT_EQ(m_view->m_pIntegrationDlg.get(), dialog);
    EXPECT_FALSE(dialog->IsBusy());
    Press(*dialog, IDOK);
    EXPECT_EQ(m_view->m_pIntegrationDlg, nullptr);

    Command(ID_TOOL_IMAGE_INTEGRATION);
    ASSERT_NE(m_view->m_pIntegrationDlg, nullptr);
    dialog = m_view->m_pIntegrationDlg.get();
    dialog->SetDlgItemText(CIntegrationDlg::IDC_NUMBER, "50");
    m_doc->SetModifiedFlag(FALSE);
    m_view->GetParentFrame()->PostMessage(WM_CLOSE);
    const int frames = GetFG()->GetFrameCount();
    Press(*dialog, CIntegrationDlg::IDC_START);
    EXPECT_EQ(m_imageTemplate->GetFirstDocPosition(), nullptr);
    // The first frame came; the view closed before the second.
    EXPECT_EQ(GetFG()->GetFrameCount(), frames + 1);
}

// ---- the view -------------------------------------------------------------------------------------------

TEST_F(MeasureWindowsTest, EachOpensOnceItsReportClearsItsSlotAndTheViewClosesThemAll)
{
    UseBoard();
    Command(ID_TOOL_FOCUS);
    Command(ID_TOOL_RASTER);
    Command(ID_TOOL_IMAGE_INTEGRATION);
    CFocusDlg* focus = m_view->m_pFocusDlg.get();
    CRasterDlg* raster = m_view->m_pRasterDlg.get();
    ASSERT_NE(focus, nullptr);
    ASSERT_NE(raster, nullptr);
    ASSERT_NE(m_view->m_pIntegrationDlg, nullptr);
    Command(ID_TOOL_FOCUS);
    Command(ID_TOOL_RASTER);
    EXPECT_EQ(m_view->m_pFocusDlg.get(), focus);
    EXPECT_EQ(m_view->m_pRasterDlg.get(), raster);

    Press(*raster, IDOK);
    EXPECT_EQ(m_view->m_pRasterDlg, nullptr);
    Press(*focus, IDCANCEL);
    EXPECT_EQ(m_view->m_pFocusDlg, nullptr);
    // A report for a window that is not open changes nothing.
    m_view->SendMessage(WM_USER + 5, 1, CRasterDlg::kReportId);

    Command(ID_TOOL_RASTER);
    Command(ID_TOOL_FOCUS);
    m_doc->SetModifiedFlag(FALSE);
    m_doc->OnCloseDocument();
    kestrun::PumpMessages();
    EXPECT_FALSE(m_engine.m_AOIDoc.m_bShowDefault);
}

} // namespace
