#include "trayscanner/boxprofiles.h"

#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

class BoxProfilesTest : public ::testing::Test
{
protected:
    BoxProfilesTest()
    {
        m_folder = std::filesystem::path(std::getenv("KESTRUN_DATA_ROOT")) / "boxprofiles";
        std::filesystem::create_directories(m_folder);
        m_profiles.m_strRootName = "Trayvo_Profiles";
        m_profiles.m_strFilePath = (m_folder / "trayvo.xml").c_str();
    }
    ~BoxProfilesTest() override { std::filesystem::remove_all(m_folder); }

    std::filesystem::path Path() const { return m_folder / "trayvo.xml"; }

    std::filesystem::path m_folder;
    CBoxProfiles m_profiles;
    kestrun::testing::ScopedMessageBoxes m_boxes;
};

TEST_F(BoxProfilesTest, TheGoldenFileRoundTrips)
{
    const std::filesystem::path golden = std::filesystem::path(KESTRUN_TRAYSCANNER_GOLDEN_DIR) / "trayvo.xml";
    std::filesystem::copy_file(golden, Path());
    ASSERT_TRUE(m_profiles.SerializeFile(true));
    EXPECT_EQ(m_profiles.m_strCurrentName, "Plates");
    EXPECT_EQ(m_profiles.GetProfileCount(), 2);
    EXPECT_EQ(m_profiles.IndexOf("Plates"), 0);
    EXPECT_EQ(m_profiles.IndexOf("Dishes 90"), 1);
    EXPECT_EQ(m_profiles.Lights, 7);
    EXPECT_EQ(m_profiles.LowLimit, 41000u);
    EXPECT_TRUE(m_profiles.LeaveDoorOpended);
    EXPECT_FALSE(m_profiles.CameraInput1NO);
    EXPECT_EQ(m_profiles.GetStored(1).IntensityLEDGreen, 1234);
    EXPECT_EQ(m_profiles.GetStored(1).DoorMaxLowLimit, 20000u);

    std::filesystem::remove(Path());
    ASSERT_TRUE(m_profiles.SerializeFile(false));
    EXPECT_EQ(ReadText(Path()), ReadText(golden));
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(BoxProfilesTest, StoringAndRemovingKeepTheIndicesDense)
{
    m_profiles.StoreProfile("A");
    m_profiles.Lights = 1;
    m_profiles.StoreProfile("B");
    m_profiles.StoreProfile("C");
    m_profiles.IntensityLEDWhite = 5;
    m_profiles.StoreProfile("B");
    EXPECT_EQ(m_profiles.GetProfileCount(), 3);
    EXPECT_EQ(m_profiles.IndexOf("B"), 1) << "an existing name keeps its index";
    EXPECT_EQ(m_profiles.GetStored(1).IntensityLEDWhite, 5);

    m_profiles.RemoveProfile("A");
    EXPECT_EQ(m_profiles.GetProfileCount(), 2);
    EXPECT_EQ(m_profiles.IndexOf("B"), 0);
    EXPECT_EQ(m_profiles.IndexOf("C"), 1);
    EXPECT_EQ(m_profiles.m_strCurrentName, "B");
    m_profiles.RemoveProfile("B");
    EXPECT_TRUE(m_profiles.m_strCurrentName.IsEmpty());

    m_profiles.Lights = 2;
    EXPECT_FALSE(m_profiles.SelectProfile("nope"));
    EXPECT_EQ(m_profiles.Lights, 2);
    EXPECT_TRUE(m_profiles.SelectProfile("C"));
    EXPECT_EQ(m_profiles.Lights, 1);
    EXPECT_EQ(m_profiles.m_strCurrentName, "C");
}

// A file that cannot be read whole: one message naming it, nothing changed,
// the file left as it is.
TEST_F(BoxProfilesTest, BadFilesChangeNothing)
{
    const char* const settings = "<CBoxSettings><Lights>1</Lights><LeaveDoorOpended>1</LeaveDoorOpended>"
                                 "<CameraInput1NO>true</CameraInput1NO></CBoxSettings>";
    struct Case
    {
        const char* what;
        std::string text; // empty: no file
    };
    const Case cases[] = {
        {"missing", ""},
        {"damaged", std::string("<Trayvo_Profiles><CurrentProfileName>X</CurrentProfileName>") + settings},
        {"another root", std::string("<KESTRUN_Profiles><CurrentProfileName>X</CurrentProfileName>") + settings +
                             "</KESTRUN_Profiles>"},
        {"a name without its record",
         std::string("<Trayvo_Profiles><CurrentProfileName>X</CurrentProfileName>") + settings +
             "<ProfileNames><key>X</key><value>3</value></ProfileNames><SettingsArray>" + settings +
             "</SettingsArray></Trayvo_Profiles>"},
    };
    m_profiles.StoreProfile("Kept");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(Path());
        if (!c.text.empty())
            WriteText(Path(), c.text);
        m_boxes->Clear();
        EXPECT_FALSE(m_profiles.SerializeFile(true));
        ASSERT_EQ(m_boxes->Texts().size(), 1u);
        EXPECT_NE(m_boxes->Texts()[0].Find("trayvo.xml"), -1);
        EXPECT_EQ(m_profiles.Lights, 6);
        EXPECT_EQ(m_profiles.m_strCurrentName, "Kept");
        EXPECT_EQ(m_profiles.GetProfileCount(), 1);
        if (!c.text.empty()) {
            EXPECT_EQ(ReadText(Path()), c.text);
        }
    }

    // A good file whose boolean holds "1": false.
    WriteText(Path(), std::string("<Trayvo_Profiles><CurrentProfileName></CurrentProfileName>") + settings +
                          "<ProfileNames></ProfileNames><SettingsArray></SettingsArray></Trayvo_Profiles>");
    ASSERT_TRUE(m_profiles.SerializeFile(true));
    EXPECT_FALSE(m_profiles.LeaveDoorOpended);
    EXPECT_TRUE(m_profiles.CameraInput1NO);
    EXPECT_EQ(m_profiles.Lights, 1);
    EXPECT_EQ(m_profiles.GetProfileCount(), 0);
}

TEST_F(BoxProfilesTest, AFailedSaveKeepsTheOldFile)
{
    m_profiles.StoreProfile("One");
    ASSERT_TRUE(m_profiles.SerializeFile(false));
    const std::string before = ReadText(Path());
    // A folder where the file's temporary sibling would go makes the save fail.
    m_profiles.m_strFilePath = (m_folder / "sub" / "trayvo.xml").c_str();
    std::filesystem::create_directories(m_folder / "sub" / "trayvo.xml");
    EXPECT_FALSE(m_profiles.SerializeFile(false));
    EXPECT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_EQ(ReadText(Path()), before);
}

} // namespace
