// The library as the program sees it: opened by name, driven through its
// exports, over the simulated box.

#include "objectmodel/toolfunctions.h"
#include "platform/core/library.h"
#include "trayscanner/tablonapp.h"
#include "trayscanner/tests/boxtesting.h"

using namespace kestrun;
using namespace kestrun::tablon;
using namespace kestrun::tablon::testing;
using tcatio::CRegisterAccess;
using tcatio::kCameraPort;
using tcatio::kDoorPort;
using tcatio::kOutputPort;

#include <algorithm>
#include <filesystem>

namespace {

class ExportsTest : public CSimulatorFixture
{
protected:
    void SetUp() override
    {
        m_module = ::LoadLibrary("Tablon.dll");
        ASSERT_NE(m_module, nullptr) << LastLibraryError().GetString();
        m_setInterface = reinterpret_cast<void (*)(CCamBoxInterface*)>(::GetProcAddress(m_module, "_SetInterface@4"));
        m_setParam = reinterpret_cast<int (*)(const char*, double)>(::GetProcAddress(m_module, "_SetParam@12"));
        m_setString =
            reinterpret_cast<int (*)(const char*, const char*)>(::GetProcAddress(m_module, "SetParamString"));
        m_getString = reinterpret_cast<const char* (*)(const char*)>(::GetProcAddress(m_module, "GetParamString"));
        ASSERT_TRUE(m_setInterface && m_setParam && m_setString && m_getString &&
                    ::GetProcAddress(m_module, "_GetParam@4") && ::GetProcAddress(m_module, "_SetupDlg@0"));
        TablonApp().m_box.SetOwnTimer(false);
        // Each test starts from the defaults and no profile file.
        std::filesystem::remove(std::filesystem::path(GetDataRootPath().GetString()) / "trayvo.xml");
        TablonApp().m_box.Profiles().Current() = CBoxSettings();
        TablonApp().m_box.ClearProfileName();
    }
    void TearDown() override
    {
        if (m_setInterface)
            m_setInterface(nullptr);
        TablonApp().m_box.SetOwnTimer(true);
        ::FreeLibrary(m_module);
    }

    static bool Wrote(const std::vector<CRegisterAccess>& log, int nRegister)
    {
        return std::any_of(log.begin(), log.end(),
                           [&](const CRegisterAccess& a) { return a.bWrite && a.nRegister == nRegister; });
    }

    HMODULE m_module = nullptr;
    void (*m_setInterface)(CCamBoxInterface*) = nullptr;
    int (*m_setParam)(const char*, double) = nullptr;
    int (*m_setString)(const char*, const char*) = nullptr;
    const char* (*m_getString)(const char*) = nullptr;
    CRecordingWnd m_window;
    CCamBoxInterface m_host{&m_window};
};

TEST_F(ExportsTest, TheFirstInterfaceOpensConfiguresHomesOpensTheDoorAndApplies)
{
    Box().SetPosition(kDoorPort, 3000);
    m_setInterface(&m_host);
    ASSERT_TRUE(TablonApp().m_box.IsOpen());
    // The door's wiring word is 0, as the terminal starts: left alone.
    for (auto [port, registers] : {std::pair{kCameraPort, std::vector<int>{52, 32, 39, 35, 36, 3}},
                                   std::pair{kDoorPort, std::vector<int>{32, 39, 35, 36, 3}}}) {
        const auto log = Box().RegisterLog(port);
        for (int reg : registers)
            EXPECT_TRUE(Wrote(log, reg)) << port << " register " << reg;
        EXPECT_EQ(Wrote(log, 52), port == kCameraPort);
        EXPECT_NE(std::find(log.begin(), log.end(), CRegisterAccess{7, true, 0x520}), log.end()) << "homed";
    }
    EXPECT_EQ(Box().GetRegister(kDoorPort, 39), 150);
    EXPECT_EQ(Box().GetRegister(kDoorPort, 35), 65);
    EXPECT_EQ(Box().GetPosition(kDoorPort), 0u) << "the door opened";
    const auto out = Box().SentOutputs(kOutputPort);
    EXPECT_EQ(out[4] | (out[5] << 8), 16000) << "green";
    EXPECT_EQ(out[22], 0x14) << "white and green on, backlight and lamp off";
    EXPECT_EQ(out[23] | (out[24] << 8), 0) << "backlight";
    EXPECT_EQ(out[25] | (out[26] << 8), 16000) << "white";
    EXPECT_TRUE(Box().IsRunning(kCameraPort)) << "on its way to the settings' position";

    // A second interface only replaces the first.
    CCamBoxInterface other;
    m_setInterface(&other);
    EXPECT_EQ(Box().OpenCalls(), 1);
    EXPECT_EQ(TablonApp().m_box.GetInterface(), &other);

    // Opened again, the configured terminals get register 3 only.
    m_setInterface(nullptr);
    Box().ClearHistory();
    m_setInterface(&m_host);
    for (unsigned short port : {kCameraPort, kDoorPort}) {
        const auto log = Box().RegisterLog(port);
        for (int reg : {52, 32, 39, 35, 36})
            EXPECT_FALSE(Wrote(log, reg)) << port << " register " << reg;
    }
}

TEST_F(ExportsTest, ANullFirstCallOpensAndCloses)
{
    m_setInterface(nullptr);
    EXPECT_EQ(Box().OpenCalls(), 1);
    EXPECT_EQ(Box().CloseCalls(), 1);
    EXPECT_FALSE(Box().IsDriverOpen());
    EXPECT_FALSE(TablonApp().m_box.IsOpen());
}

TEST_F(ExportsTest, AfterTheCloseTheLightsAreOffAndThePositionIsTheLastOneRead)
{
    m_setInterface(&m_host);
    CTrayvoBox& box = TablonApp().m_box;
    m_clock.Advance(300);
    box.Tick();
    const DWORD read = box.GetPosition();
    EXPECT_GT(read, 0u);
    m_clock.Advance(50);
    m_setInterface(nullptr);
    EXPECT_EQ(box.Profiles().Lights, 0);
    EXPECT_EQ(box.Profiles().CameraPosition, read);
    EXPECT_EQ(Box().SentOutputs(kOutputPort)[22], 0);
    EXPECT_FALSE(Box().IsDriverOpen());
}

TEST_F(ExportsTest, ParametersTravelAsTheyShould)
{
    m_setInterface(&m_host);
    CTrayvoBox& box = TablonApp().m_box;
    box.Profiles().IntensityLEDGreen = 777;
    box.StoreProfileAndSave("Petri");
    box.Profiles().IntensityLEDGreen = 5;
    box.ClearProfileName();

    EXPECT_EQ(m_setString("Profile", "nope"), 0);
    EXPECT_STREQ(m_getString("Profile"), "");
    EXPECT_EQ(box.Profiles().IntensityLEDGreen, 5);
    EXPECT_EQ(m_setString("Profile", "Petri"), 1);
    EXPECT_STREQ(m_getString("Profile"), "Petri");
    const auto out = Box().SentOutputs(kOutputPort);
    EXPECT_EQ(out[4] | (out[5] << 8), 777) << "applied";

    // Ignored: other states, messages, unknown names.
    EXPECT_EQ(m_setParam("State", 4), 0);
    EXPECT_EQ(m_setParam("Message", 12345.0), 0);
    EXPECT_EQ(m_setString("Message", "Halvorn starting..."), 0);
    EXPECT_EQ(m_setParam("Nonsense", 1e300), 0);
    EXPECT_STREQ(m_getString("Other"), "");
    EXPECT_EQ(m_setParam("State", 3), 0);
    EXPECT_NE(Box().SentOutputs(kOutputPort)[22] & 0x40, 0) << "state 3 lights the lamp";
}

} // namespace
