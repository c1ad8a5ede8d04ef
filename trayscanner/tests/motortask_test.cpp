#include "trayscanner/motortask.h"

#include "trayscanner/tests/boxtesting.h"

#include <functional>

using namespace kestrun;
using namespace kestrun::tablon;
using namespace kestrun::tablon::testing;
using tcatio::CRegisterAccess;
using tcatio::kCameraPort;

namespace {

class MotorTaskTest : public CSimulatorFixture
{
protected:
    void SetUp() override { ASSERT_TRUE(m_camera.Open()); }
    void TearDown() override { m_camera.Close(); }

    CMotorTask m_camera{kCameraLayout};
};

std::vector<CRegisterAccess> Writes(const std::vector<CRegisterAccess>& log)
{
    std::vector<CRegisterAccess> writes;
    for (const CRegisterAccess& access : log) {
        if (access.bWrite)
            writes.push_back(access);
    }
    return writes;
}

// The protocol's cases: what the library asks, what the terminal sees.
TEST_F(MotorTaskTest, ProtocolCases)
{
    struct Case
    {
        const char* what;
        std::function<void(MotorTaskTest&)> prepare;
        std::function<bool(CMotorTask&)> run;
        bool expected;
        std::function<void(MotorTaskTest&)> check;
    };
    const Case cases[] = {
        {"a handshake that times out fails and hands back no stale word",
         [](MotorTaskTest& t) {
             t.Box().SetRegister(kCameraPort, 5, 777);
             t.Box().SetAckDelay(kCameraPort, -1);
         },
         [](CMotorTask& m) {
             WORD value = 4242;
             const bool ok = m.ReadRegister(5, value);
             EXPECT_EQ(value, 4242);
             return ok;
         },
         false, nullptr},
        {"a late acknowledge within the time-out reads the register",
         [](MotorTaskTest& t) {
             t.Box().SetRegister(kCameraPort, 5, 777);
             t.Box().SetAckDelay(kCameraPort, 50);
         },
         [](CMotorTask& m) {
             WORD value = 0;
             const bool ok = m.ReadRegister(5, value);
             EXPECT_EQ(value, 777);
             return ok;
         },
         true, nullptr},
        {"register 64 is refused without touching the images",
         [](MotorTaskTest& t) { t.Box().ClearHistory(); },
         [](CMotorTask& m) {
             WORD value = 1;
             return m.ReadRegister(64, value) || m.WriteRegister(64, 1);
         },
         false,
         [](MotorTaskTest& t) {
             EXPECT_TRUE(t.Box().OutputHistory().empty());
             EXPECT_TRUE(t.Box().RegisterLog(kCameraPort).empty());
         }},
        {"a fresh terminal is configured under the code word",
         [](MotorTaskTest& t) { t.Box().ClearHistory(); },
         [](CMotorTask& m) { return m.Configure(); },
         true,
         [](MotorTaskTest& t) {
             EXPECT_EQ(Writes(t.Box().RegisterLog(kCameraPort)),
                       (std::vector<CRegisterAccess>{{31, true, 0x1235}, {52, true, 0x4000}, {31, true, 0},
                                                     {31, true, 0x1235}, {32, true, 26}, {31, true, 0},
                                                     {31, true, 0x1235}, {39, true, 100}, {31, true, 0},
                                                     {31, true, 0x1235}, {35, true, 100}, {36, true, 100},
                                                     {31, true, 0}, {3, true, 0}}));
         }},
        {"a configured terminal gets register 3 only",
         [](MotorTaskTest& t) {
             for (auto [reg, value] : {std::pair{52, 0x4000}, {32, 26}, {39, 100}, {35, 100}, {36, 100}})
                 t.Box().SetRegister(kCameraPort, reg, static_cast<std::uint16_t>(value));
             t.Box().ClearHistory();
         },
         [](CMotorTask& m) { return m.Configure(); },
         true,
         [](MotorTaskTest& t) {
             EXPECT_EQ(Writes(t.Box().RegisterLog(kCameraPort)), (std::vector<CRegisterAccess>{{3, true, 0}}));
         }},
        {"a stored target above the maximum is refused before the start",
         [](MotorTaskTest& t) {
             t.Box().SetRegister(kCameraPort, 2, 54001 & 0xFFFF);
             t.Box().SetRegister(kCameraPort, 3, 0);
         },
         [](CMotorTask& m) { return m.Move(false); },
         false,
         [](MotorTaskTest& t) { EXPECT_FALSE(t.Box().IsRunning(kCameraPort)); }},
        {"a move to a stored target arrives",
         nullptr,
         [](CMotorTask& m) { return m.SetTarget(30000) && m.Move(true); },
         true,
         [](MotorTaskTest& t) { EXPECT_EQ(t.Box().GetPosition(kCameraPort), 30000u); }},
        {"a target above the maximum is cut to it",
         nullptr,
         [](CMotorTask& m) { return m.SetTarget(60000) && m.Move(true); },
         true,
         [](MotorTaskTest& t) { EXPECT_EQ(t.Box().GetPosition(kCameraPort), 54000u); }},
        {"a run that never ends fails at the move deadline",
         [](MotorTaskTest& t) { t.Box().SetRunNeverEnds(kCameraPort, true); },
         [](CMotorTask& m) { return m.SetTarget(1000) && m.Move(true); },
         false, nullptr},
        {"homing that never ends fails at its deadline",
         [](MotorTaskTest& t) {
             t.Box().SetPosition(kCameraPort, 5000);
             t.Box().SetRunNeverEnds(kCameraPort, true);
         },
         [](CMotorTask& m) { return m.Home(); },
         false,
         [](MotorTaskTest& t) { EXPECT_EQ(t.Box().GetRegister(kCameraPort, 31), 0) << "locked again"; }},
        {"homing runs to the top",
         [](MotorTaskTest& t) { t.Box().SetPosition(kCameraPort, 5000); },
         [](CMotorTask& m) { return m.Home(); },
         true,
         [](MotorTaskTest& t) { EXPECT_EQ(t.Box().GetPosition(kCameraPort), 0u); }},
        {"an update error fails the stop",
         [](MotorTaskTest& t) { t.Box().SetFaults({false, {}, {kCameraPort}}); },
         [](CMotorTask& m) { return m.Stop(); },
         false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_camera.Close();
        Box().Reset();
        Box().SetClock(&m_clock, 1);
        ASSERT_TRUE(m_camera.Open());
        if (c.prepare)
            c.prepare(*this);
        EXPECT_EQ(c.run(m_camera), c.expected);
        if (c.check)
            c.check(*this);
    }
}

TEST_F(MotorTaskTest, TheDriverOpensWithTheFirstTaskAndClosesWithTheLast)
{
    CInput input;
    COutput output;
    CMotorTask door(kDoorLayout);
    ASSERT_TRUE(input.Open());
    ASSERT_TRUE(output.Open());
    ASSERT_TRUE(door.Open());
    EXPECT_EQ(Box().OpenCalls(), 1);
    EXPECT_EQ(DriverUseCount(), 4);
    for (CTwinCatIO* task : std::initializer_list<CTwinCatIO*>{&input, &output, &m_camera}) {
        task->Close();
        EXPECT_TRUE(Box().IsDriverOpen());
    }
    door.Close();
    EXPECT_FALSE(Box().IsDriverOpen());
    EXPECT_EQ(Box().CloseCalls(), 1);

    // A task whose image cannot be mapped gives the driver back.
    Box().SetFaults({false, {tcatio::kOutputPort}, {}});
    EXPECT_FALSE(output.Open());
    EXPECT_EQ(DriverUseCount(), 0);
    EXPECT_FALSE(Box().IsDriverOpen());
}

} // namespace
