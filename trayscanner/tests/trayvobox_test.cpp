#include "trayscanner/trayvobox.h"

#include "trayscanner/tests/boxtesting.h"

#include <algorithm>
#include <string>

using namespace kestrun;
using namespace kestrun::tablon;
using namespace kestrun::tablon::testing;
using tcatio::kCameraPort;
using tcatio::kDoorPort;
using tcatio::kOutputPort;

namespace {

// A host without a window: the box calls its operations.
class CSlotHost : public CCamBoxInterface
{
public:
    void TopLimitReached() override { m_calls.push_back("top"); }
    void BottomLimitReached() override { m_calls.push_back("bottom"); }
    void ButtonPressed() override { m_calls.push_back("button"); }
    void PositionUpdate(int nPosition, bool bNoLimitYet) override
    {
        m_calls.push_back("position " + std::to_string(nPosition) + (bNoLimitYet ? " first" : ""));
    }
    std::vector<std::string> m_calls;
};

class TrayvoBoxTest : public CSimulatorFixture
{
protected:
    TrayvoBoxTest() : m_host(&m_window) { m_box.SetOwnTimer(false); }
    ~TrayvoBoxTest() override { m_box.Close(); }

    void OpenWith(CCamBoxInterface* pHost)
    {
        ASSERT_TRUE(m_box.Open());
        m_box.SetInterface(pHost);
        // The carriage stands where the test puts it.
        m_box.StopCamera();
        m_window.Take();
        // A test run alone finds no profile file yet and is told so.
        m_boxes->Clear();
    }
    void Tick(ULONGLONG ms = CTrayvoBox::kTickMs)
    {
        m_clock.Advance(ms);
        m_box.Tick();
    }
    // Press and release the push button over two ticks.
    void PushButton()
    {
        Box().SetButton(true);
        Tick();
        Box().SetButton(false);
        Tick();
    }
    std::uint8_t Switches() { return Box().SentOutputs(kOutputPort)[22]; }
    std::vector<CPosted> Posted(UINT message)
    {
        std::vector<CPosted> found;
        for (const CPosted& posted : m_window.Take()) {
            if (posted.message == message)
                found.push_back(posted);
        }
        return found;
    }

    CRecordingWnd m_window;
    CCamBoxInterface m_host;
    CTrayvoBox m_box;
};

TEST_F(TrayvoBoxTest, PositionNoticesAreCalledWithoutAWindowAndPostedWithOne)
{
    CSlotHost callbacks;
    OpenWith(&callbacks);
    const UINT position = CamBoxPositionMessage();
    struct Case
    {
        unsigned at;
        std::vector<std::string> calls;
        std::vector<CPosted> posts;
    };
    const Case cases[] = {
        {12345, {"position 12345 first"}, {{position, 0, 12345}}},
        {0, {"top", "position 0"}, {{position, 2, 0}, {position, 0, 0}}},
        {0, {"top", "position 0"}, {{position, 2, 0}, {position, 0, 0}}},
        {40000, {"bottom", "position 40000"}, {{position, 3, 0}, {position, 0, 40000}}},
        {39999, {"position 39999"}, {{position, 0, 39999}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at);
        Box().SetPosition(kCameraPort, c.at);
        Tick();
        EXPECT_EQ(callbacks.m_calls, c.calls);
        callbacks.m_calls.clear();
    }
    m_box.SetInterface(&m_host);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at);
        Box().SetPosition(kCameraPort, c.at);
        Tick();
        EXPECT_EQ(Posted(position), c.posts);
    }
    EXPECT_TRUE(callbacks.m_calls.empty());
}

TEST_F(TrayvoBoxTest, TheButtonCountsOnlyWhenActiveAndRunsTheDoorCycle)
{
    OpenWith(&m_host);
    const UINT button = CamBoxButtonMessage();

    // State 1: read and released, nothing announced, the door still.
    PushButton();
    EXPECT_TRUE(Posted(button).empty());
    EXPECT_EQ(Box().GetPosition(kDoorPort), 0u);

    // A button held down does not hold up the tick.
    m_box.SetState(CTrayvoBox::kLampOn);
    Box().SetButton(true);
    for (int k = 0; k < 3; ++k)
        Tick();
    EXPECT_TRUE(Posted(button).empty());
    Box().SetButton(false);
    Tick();
    EXPECT_EQ(Posted(button).size(), 1u);
    EXPECT_EQ(Box().GetPosition(kDoorPort), 21920u) << "closed before the scan";

    // State 2 opens the door again; the lamp blinks in 300 ms phases.
    m_box.SetState(CTrayvoBox::kBlinking);
    EXPECT_EQ(Box().GetPosition(kDoorPort), 0u);
    std::vector<bool> lamp;
    for (int k = 0; k < 4; ++k) {
        Tick();
        lamp.push_back((Switches() & 0x40) != 0);
    }
    EXPECT_TRUE(lamp == (std::vector<bool>{true, false, true, false}) ||
                lamp == (std::vector<bool>{false, true, false, true}));

    // The door option keeps the door where it is.
    m_box.Profiles().LeaveDoorOpended = true;
    Box().SetPosition(kDoorPort, 500);
    m_box.SetState(CTrayvoBox::kLampOn);
    PushButton();
    EXPECT_EQ(Posted(button).size(), 1u);
    EXPECT_EQ(Box().GetPosition(kDoorPort), 500u);
    EXPECT_NE(Switches() & 0x40, 0);

    m_box.SetState(CTrayvoBox::kIdle);
    EXPECT_EQ(Switches() & 0x40, 0);
}

TEST_F(TrayvoBoxTest, WithoutAWindowTheButtonCallsTheHostAndLeavesTheDoor)
{
    CSlotHost callbacks;
    OpenWith(&callbacks);
    m_box.SetState(CTrayvoBox::kLampOn);
    callbacks.m_calls.clear();
    Box().SetPosition(kCameraPort, 1000);
    PushButton();
    EXPECT_EQ(std::count(callbacks.m_calls.begin(), callbacks.m_calls.end(), "button"), 1);
    EXPECT_EQ(Box().GetPosition(kDoorPort), 0u);
}

TEST_F(TrayvoBoxTest, TheEmergencyStopLocksAtOnceAndUnlockHomesAndApplies)
{
    OpenWith(&m_host);
    const CBoxSettings before(m_box.Profiles().Current());
    Box().SetPosition(kCameraPort, 8000);
    ASSERT_TRUE(m_box.MoveCameraDown());

    Box().SetEmergencyStop(true);
    Tick();
    EXPECT_TRUE(m_box.IsLocked()) << "on the edge, with the input still held";
    EXPECT_FALSE(Box().IsRunning(kCameraPort));
    EXPECT_EQ(Switches() & 0x15, 0) << "lights off";
    EXPECT_TRUE(m_box.Profiles().Current() == before) << "settings kept";
    EXPECT_TRUE(m_boxes->Texts().empty()) << "the tick does not wait on the message";
    m_window.Take();
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{kEmergencyText});

    Tick();
    EXPECT_EQ(m_boxes->Texts().size(), 1u) << "once per stop";
    EXPECT_FALSE(m_box.SetLights(CBoxSettings::kWhite, true));
    EXPECT_FALSE(m_box.MoveCameraUp());
    EXPECT_FALSE(m_box.OpenDoor());
    EXPECT_FALSE(m_box.SetLightIntensity(CTrayvoBox::kWhiteChannel, 5));

    Box().SetEmergencyStop(false);
    Tick();
    Box().ClearHistory();
    m_box.Unlock();
    EXPECT_FALSE(m_box.IsLocked());
    const auto log = Box().RegisterLog(kCameraPort);
    EXPECT_NE(std::find(log.begin(), log.end(), tcatio::CRegisterAccess{7, true, 0x520}), log.end()) << "homed";
    EXPECT_EQ(Switches() & 0x15, 0x14) << "the settings applied again: white and green";
    EXPECT_TRUE(m_box.Profiles().Current() == before);
}

TEST_F(TrayvoBoxTest, TheBacklightIsDrivenFullWhenSwitchedOn)
{
    OpenWith(&m_host);
    m_box.SetLights(CBoxSettings::kBacklight, true);
    m_box.ApplySettings();
    const auto outputs = Box().SentOutputs(kOutputPort);
    EXPECT_EQ(outputs[23] | (outputs[24] << 8), 32767);
    EXPECT_EQ(m_box.Profiles().IntensityBacklight, 32767);
}

TEST_F(TrayvoBoxTest, AClosedBoxRefusesAndSaysSoWhenApplying)
{
    EXPECT_FALSE(m_box.SetLights(CBoxSettings::kWhite, true));
    EXPECT_FALSE(m_box.MoveCameraTo(100));
    m_box.SetState(CTrayvoBox::kLampOn);
    m_box.Profiles().StoreProfile("P");
    EXPECT_TRUE(m_box.SelectProfile("P"));
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{kNotConnected});

    // A box that cannot be opened gives the driver back.
    Box().SetFaults({false, {}, {kDoorPort}});
    EXPECT_FALSE(m_box.Open());
    EXPECT_FALSE(Box().IsDriverOpen());
    EXPECT_EQ(DriverUseCount(), 0);
}

} // namespace
