#include "series/tests/measurementtesting.h"

#include "analysis/segthres.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>

namespace kestrun::testing {

void CMeasurementTest::SetUp()
{
    // Calendar times in the tests are UTC wall times.
    setenv("TZ", "UTC", 1);
    tzset();
    CSeriesTest::SetUp();
    m_app.SetProfileName(PathOf("kestrun32.ini"));
    const std::filesystem::path devices = m_folder / "dev";
    std::filesystem::create_directories(devices);
    m_board = std::make_unique<FGBoard>(&m_host.m_clock, CString(devices.c_str()));
    ASSERT_TRUE(m_board->SetParameter(fgparam::kLiveWidth, 320));
    ASSERT_TRUE(m_board->SetParameter(fgparam::kLiveHeight, 240));
    ASSERT_TRUE(m_board->SetParameter(fgparam::kSimulatedSeed, 5));
    ASSERT_EQ(m_board->GrabFrame(0), 1.0);
    // The camera's objects each have a channel far below the light
    // background's.
    m_engine.GetSettings().m_SegThres = CSegThres(RGB(200, 200, 200), RGB(255, 255, 255), CSegThres::modeOutside);
}

void CMeasurementTest::TearDown()
{
    m_board.reset();
    CSeriesTest::TearDown();
}

std::unique_ptr<CRecordingDoc> CMeasurementTest::MakeDoc(int kind)
{
    auto doc = std::make_unique<CRecordingDoc>();
    doc->m_bAutoDelete = FALSE;
    doc->SetRunHost(&m_host);
    doc->SetBoard(m_board.get());
    doc->LoadSettings(kind, &m_engine, nullptr, nullptr);
    return doc;
}

CMeasurementSetup CMeasurementTest::Setup(CLineDataDoc& doc, const char* method, int sec, int msec, int runMin)
{
    CMeasurementSetup setup = doc.MakeSetup();
    const auto found = std::find(setup.m_arrMethods.begin(), setup.m_arrMethods.end(), CString(method));
    EXPECT_NE(found, setup.m_arrMethods.end()) << method;
    setup.m_nMethod = static_cast<int>(found - setup.m_arrMethods.begin());
    setup.m_nXAxis = CMeasurementSetup::axisTime;
    setup.m_nIntervalMin = 0;
    setup.m_nIntervalSec = sec;
    setup.m_nIntervalMSec = msec;
    setup.m_nRunDays = 0;
    setup.m_nRunHours = 0;
    setup.m_nRunMin = runMin;
    setup.m_bClockSynchron = 0;
    return setup;
}

int CMeasurementTest::RunTimer(CLineDataDoc& doc, DWORD period, int limit)
{
    int ticks = 0;
    while (doc.m_bRunning && ticks < limit) {
        m_host.Advance(period);
        doc.TimerStep();
        ++ticks;
    }
    return ticks;
}

} // namespace kestrun::testing
