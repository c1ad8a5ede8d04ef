#include "outside/tcatio/simulatedbox.h"
#include "outside/tcatio/tcatio.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace kestrun;
using namespace kestrun::tcatio;

namespace {

class SimulatedBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SimulatedBox().Reset();
        SimulatedBox().SetClock(&m_clock);
        ASSERT_EQ(TCatIoOpen(), 0);
        void* in = nullptr;
        void* out = nullptr;
        ASSERT_EQ(TCatIoGetInputPtr(kCameraPort, &in, 6), 0);
        ASSERT_EQ(TCatIoGetOutputPtr(kCameraPort, &out, 6), 0);
        m_in = static_cast<std::uint8_t*>(in);
        m_out = static_cast<std::uint8_t*>(out);
    }
    void TearDown() override { SimulatedBox().Reset(); }

    void Send(std::uint8_t control, std::uint16_t data = 0)
    {
        m_out[0] = control;
        m_out[2] = static_cast<std::uint8_t>(data & 0xFF);
        m_out[3] = static_cast<std::uint8_t>(data >> 8);
        ASSERT_EQ(TCatIoOutputUpdate(kCameraPort), 0);
    }
    void Update() { ASSERT_EQ(TCatIoInputUpdate(kCameraPort), 0); }
    int Data() const { return m_in[2] | (m_in[3] << 8); }
    int StatusWord() const { return m_in[4] | (m_in[5] << 8); }

    ManualClock m_clock{1000};
    std::uint8_t* m_in = nullptr;
    std::uint8_t* m_out = nullptr;
};

TEST_F(SimulatedBoxTest, ConfigurationWritesNeedTheCodeWordAndAreAcknowledgedAfterTheDelay)
{
    SimulatedBox().SetAckDelay(kCameraPort, 2);
    Send(52 | 0xC0, 0x4000);
    Update();
    EXPECT_EQ(m_in[0], 0) << "not yet acknowledged";
    Update();
    EXPECT_EQ(m_in[0], 52 | 0x80);
    EXPECT_EQ(SimulatedBox().GetRegister(kCameraPort, 52), 0) << "locked";

    SimulatedBox().SetAckDelay(kCameraPort, 1);
    Send(31 | 0xC0, 0x1235);
    Send(52 | 0xC0, 0x4000);
    Send(31 | 0xC0, 0);
    Send(52 | 0x80);
    Update();
    EXPECT_EQ(Data(), 0x4000);
    EXPECT_EQ(SimulatedBox().RegisterLog(kCameraPort),
              (std::vector<CRegisterAccess>{{52, true, 0x4000, false},
                                            {31, true, 0x1235, true},
                                            {52, true, 0x4000, true},
                                            {31, true, 0, true},
                                            {52, false, 0x4000, true}}));

    SimulatedBox().SetAckDelay(kCameraPort, -1);
    Send(2 | 0x80);
    for (int k = 0; k < 50; ++k)
        Update();
    EXPECT_EQ(m_in[0], 0) << "a stuck acknowledge never comes";
}

TEST_F(SimulatedBoxTest, RunsTravelAtTheirSpeedAndFinishWithStatusEight)
{
    SimulatedBox().SetSpeed(kCameraPort, 10);
    Send(2 | 0xC0, 1000);
    Send(3 | 0xC0, 0);
    Send(1);
    Send(5);
    m_clock.Advance(40);
    Update();
    EXPECT_EQ(Data(), 400);
    EXPECT_EQ(StatusWord(), 0);
    m_clock.Advance(100);
    Update();
    EXPECT_EQ(Data(), 1000);
    EXPECT_EQ(StatusWord(), 8);
    Send(1);
    Update();
    EXPECT_EQ(StatusWord(), 0);

    // Homing after the command word, and a stop on the way.
    Send(31 | 0xC0, 0x1235);
    Send(7 | 0xC0, 0x520);
    Send(1);
    Send(5);
    m_clock.Advance(30);
    Send(3);
    m_clock.Advance(1000);
    Update();
    EXPECT_EQ(Data(), 700);
    EXPECT_FALSE(SimulatedBox().IsRunning(kCameraPort));

    SimulatedBox().SetRunNeverEnds(kCameraPort, true);
    Send(1);
    Send(5);
    m_clock.Advance(100000);
    Update();
    EXPECT_TRUE(SimulatedBox().IsRunning(kCameraPort));
    EXPECT_NE(StatusWord(), 8);
}

TEST_F(SimulatedBoxTest, FaultsAndTimeComeFromTheControl)
{
    std::uint64_t time = 0;
    ASSERT_EQ(TCatIoGetCpuTime(&time), 0);
    EXPECT_EQ(time, 1000u * 10000u);

    SimulatedBox().SetClock(&m_clock, 3);
    Update();
    EXPECT_EQ(m_clock.NowMs(), 1003u) << "every input update moves the clock";

    SimulatedBox().SetFaults({false, {kOutputPort}, {kCameraPort}});
    void* image = nullptr;
    EXPECT_NE(TCatIoGetOutputPtr(kOutputPort, &image, 27), 0);
    EXPECT_NE(TCatIoInputUpdate(kCameraPort), 0);
    EXPECT_NE(TCatIoGetInputPtr(kInputPort, &image, 30), 0) << "larger than the image";
    EXPECT_EQ(TCatIoGetInputPtr(kInputPort, &image, 29), 0);

    SimulatedBox().SetButton(true);
    ASSERT_EQ(TCatIoInputUpdate(kInputPort), 0);
    EXPECT_EQ(static_cast<std::uint8_t*>(image)[22], 0x02);

    TCatIoClose();
    SimulatedBox().SetFaults({true, {}, {}});
    EXPECT_EQ(TCatIoOpen(), -1);
    EXPECT_FALSE(SimulatedBox().IsDriverOpen());
    EXPECT_NE(TCatIoInputUpdate(kInputPort), 0) << "closed";
}

} // namespace
