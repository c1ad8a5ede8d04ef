// The scanning control on a still image and on the live frames of the
// simulated board.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/ui/scandlg.h"
#include "imaging/tests/boardprobe.h"

#include "outside/grabwell/fgboard.h"
#include "platform/core/messages.h"

#include <opencv2/imgproc.hpp>

#include <chrono>
#include <thread>

namespace {

using kestrun::testing::CImageViewTest;

class ScanDlgTest : public CImageViewTest
{
protected:
    void SetUp() override
    {
        CImageViewTest::SetUp();
        // A dark band 20 pixels wide, columns 100 to 119, on a grey page.
        cv::Mat pixels = m_doc->GetActiveDIB()->GetMat();
        pixels.setTo(cv::Scalar::all(200));
        cv::rectangle(pixels, cv::Rect(100, 0, 20, kPlateHeight), cv::Scalar::all(30), cv::FILLED);
        m_dialog = std::make_unique<CScanDlg>();
        m_dialog->SetBoard(GetFG());
        ASSERT_TRUE(m_dialog->Create(m_view));
        m_dialog->SetDocument(m_doc);
    }
    void TearDown() override
    {
        m_dialog.reset();
        CImageViewTest::TearDown();
    }

    void SetPositions(std::initializer_list<CPoint> points)
    {
        m_doc->m_arrPoints1.RemoveAll();
        for (const CPoint& p : points)
            m_doc->m_arrPoints1.Add(p);
    }

    std::unique_ptr<CScanDlg> m_dialog;
};

TEST_F(ScanDlgTest, TheThreeModesOnAStillImage)
{
    SetPositions({CPoint(60, 50), CPoint(160, 50)});
    m_dialog->m_bScanVideo = 0;

    m_dialog->m_nMode = CScanMeasure::modeGrey;
    m_dialog->OnStart();
    const std::vector<float>& curve = m_dialog->GetCurve();
    ASSERT_EQ(curve.size(), 100u);
    EXPECT_EQ(curve[0], 200.0f);
    EXPECT_EQ(curve[40], 30.0f);
    EXPECT_EQ(curve[59], 30.0f);
    EXPECT_EQ(curve[60], 200.0f);

    // One value per row of the page measured.
    m_dialog->m_nMode = CScanMeasure::modeDifference;
    m_dialog->OnStart();
    ASSERT_EQ(m_dialog->GetCurve().size(), static_cast<size_t>(kPlateHeight));
    for (const float v : m_dialog->GetCurve())
        EXPECT_NEAR(v, 20.0f, 1.0f);

    m_dialog->m_nMode = CScanMeasure::modeWidth;
    m_dialog->OnStart();
    ASSERT_EQ(m_dialog->GetCurve().size(), static_cast<size_t>(kPlateHeight));
    for (const float v : m_dialog->GetCurve())
        EXPECT_EQ(v, 19.0f);
    // The two positions and the band's ends on the first position's row.
    const std::vector<CPoint> expected{CPoint(60, 50), CPoint(160, 50), CPoint(100, 50), CPoint(119, 50)};
    EXPECT_EQ(m_dialog->GetResultPoints(), expected);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(ScanDlgTest, PositionsAreClampedAndTooFewAreToldOncePerStart)
{
    m_dialog->m_bScanVideo = 0;
    m_dialog->m_nMode = CScanMeasure::modeGrey;
    SetPositions({CPoint(-50, 10), CPoint(5000, 10)});
    m_dialog->OnStart();
    EXPECT_EQ(m_dialog->GetCurve().size(), static_cast<size_t>(kPlateWidth - 1));

    SetPositions({CPoint(60, 50)});
    m_dialog->OnStart();
    m_dialog->ProcessImage(*m_doc->GetActiveDIB());
    ASSERT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_EQ(m_boxes->Texts()[0], "No Positions defined");
    m_dialog->OnStart();
    EXPECT_EQ(m_boxes->Texts().size(), 2u);
}

TEST_F(ScanDlgTest, LiveFramesUntilStopOrEscape)
{
    FGBoard* board = GetFG();
    static kestrun::ManualClock clock;
    ASSERT_TRUE(kestrun::testing::UseSimulatedBoard(*board, clock));
    SetPositions({CPoint(10, 20), CPoint(110, 20)});
    m_dialog->m_bScanVideo = 1;
    m_dialog->m_nMode = CScanMeasure::modeGrey;

    // Frames come while the clock runs; the dialog measures them on this thread.
    auto waitForFrames = [&](int count) {
        for (int i = 0; i < 400 && m_dialog->GetMeasuredFrames() < count; ++i) {
            clock.Advance(100);
            kestrun::PumpMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return m_dialog->GetMeasuredFrames() >= count;
    };
    m_dialog->OnStart();
    ASSERT_TRUE(m_dialog->IsRunning());
    ASSERT_TRUE(waitForFrames(2));
    EXPECT_EQ(m_dialog->GetCurve().size(), 100u);

    // A mode change counts from the next frame on.
    m_dialog->m_nMode = CScanMeasure::modeDifference;
    const int before = m_dialog->GetMeasuredFrames();
    ASSERT_TRUE(waitForFrames(before + 1));
    EXPECT_EQ(m_dialog->GetCurve().size(), static_cast<size_t>(board->GetHeight()));

    // Escape stops it at the next frame.
    m_dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(m_dialog->IsRunning());
    for (int i = 0; i < 400 && m_dialog->IsRunning(); ++i) {
        clock.Advance(100);
        kestrun::PumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(m_dialog->IsRunning());
    const int stopped = m_dialog->GetMeasuredFrames();
    clock.Advance(1000);
    kestrun::PumpMessages();
    EXPECT_EQ(m_dialog->GetMeasuredFrames(), stopped);

    // Start again, then Stop.
    m_dialog->OnStart();
    ASSERT_TRUE(waitForFrames(stopped + 1));
    m_dialog->OnStop();
    EXPECT_FALSE(m_dialog->IsRunning());
    board->StopLive();
    board->SetClock(nullptr);
}

} // namespace
