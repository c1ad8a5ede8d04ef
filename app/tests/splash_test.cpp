// The splash window: its timers, the demo's scrolling title, and the main
// window's creation, which shows it and goes on.

#include "app/tests/apptesting.h"

#include "app/splash.h"

#include <QImage>
#include <QWidget>

namespace kestrun::testing {

namespace {

class SplashTest : public ::testing::Test
{
protected:
    // A splash on the test's clock.
    template <class TSplash>
    static std::unique_ptr<TSplash> Make(ULONGLONG& clock)
    {
        auto splash = std::make_unique<TSplash>();
        splash->SetBitmap("SPLASH");
        splash->AddTitleLine("A TarvexAV Product");
        splash->SetClock([&clock] { return clock; });
        return splash;
    }

    ULONGLONG m_clock = 1000;
};

TEST_F(SplashTest, WithoutTimersItStaysUntilTimer999ClosesIt)
{
    auto splash = Make<CSplashThread>(m_clock);
    splash->SetCloseTime(0);
    splash->SetStepTime(0);
    ASSERT_TRUE(splash->CreateThread());
    EXPECT_TRUE(splash->IsShowing());
    EXPECT_TRUE(splash->Window().IsWindowVisible());
    const CRect rect = [&] {
        CRect r;
        splash->Window().GetClientRect(&r);
        return r;
    }();
    EXPECT_EQ(rect.Size(), CSize(splash->Picture()->nWidth, splash->Picture()->nHeight)) << "sized to its picture";

    // The picture is painted (its frame in the corner).
    const QImage shown = splash->Window().GetWidget()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(30, 60, 90));

    m_clock += 60000;
    splash->Window().SendMessage(WM_TIMER, CSplashThread::kStepTimer);
    EXPECT_TRUE(splash->IsShowing()) << "a step of the plain splash does nothing";
    splash->Window().SendMessage(WM_TIMER, CSplashThread::kCloseTimer);
    EXPECT_FALSE(splash->IsShowing());
}

TEST_F(SplashTest, AMissingPictureShowsNoWindow)
{
    auto splash = Make<CSplashThread>(m_clock);
    splash->SetBitmap("NONE");
    EXPECT_FALSE(splash->CreateThread());
    EXPECT_FALSE(splash->IsShowing());
}

TEST_F(SplashTest, TheDemoTitleScrollsInHoldsAndCloses)
{
    auto splash = Make<CSplashThreadDemo>(m_clock);
    splash->SetTextPosition(1, 22, 80);
    ASSERT_TRUE(splash->CreateThread());
    const int width = splash->Picture()->nWidth;
    EXPECT_EQ(splash->Group(CSplashThread::kTitle).ptStart.x, width) << "starts at the picture's right edge";

    const auto step = [&] {
        m_clock += 10;
        splash->Window().SendMessage(WM_TIMER, CSplashThread::kStepTimer);
    };
    step();
    EXPECT_EQ(splash->Group(CSplashThread::kTitle).ptStart.x, width - 2);
    const int steps = (width - 2 - 22) / 2;
    for (int i = 0; i < steps; ++i)
        step();
    EXPECT_EQ(splash->Group(CSplashThread::kTitle).ptStart.x, 22) << "stops at its place";
    step();
    EXPECT_EQ(splash->Group(CSplashThread::kTitle).ptStart.x, 22);

    m_clock += CSplashThreadDemo::kHoldTime - 30;
    step();
    EXPECT_TRUE(splash->IsShowing()) << "holds";
    step();
    EXPECT_FALSE(splash->IsShowing()) << "1500 ms after it arrived";
}

using SplashStartTest = CStartedAppTest<CKestrunApp>;

TEST_F(SplashStartTest, TheMainWindowIsCreatedWhileTheSplashShows)
{
    ASSERT_NE(Frame().m_pSplash, nullptr);
    const CSplashThreadDemo& splash = *Frame().m_pSplash;
    EXPECT_TRUE(splash.IsShowing());
    EXPECT_TRUE(Frame().IsWindowVisible());
    EXPECT_EQ(splash.Group(CSplashThread::kTitle).lines, std::vector<CString>{"A TarvexAV Product"});
    EXPECT_EQ(splash.Group(CSplashThread::kBody).lines, std::vector<CString>{"0.1."});
    EXPECT_EQ(splash.Group(CSplashThread::kBody).ptStart, CPoint(195, 148));
    Frame().m_pSplash->Window().SendMessage(WM_TIMER, CSplashThread::kCloseTimer);
    EXPECT_FALSE(splash.IsShowing());
}

} // namespace

} // namespace kestrun::testing
