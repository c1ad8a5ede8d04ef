// Start-up and shut-down: folders, the profile file, the profiles file,
// the run modes, the scanning-box library and a start for automation.

#include "app/tests/apptesting.h"

#include "app/resource.h"
#include "app/templatefactory.h"

#include "imaging/dibdoc.h"

#include "platform/core/profile.h"

#include <pugixml.hpp>

#include <fstream>

namespace kestrun::testing {

namespace {

namespace fs = std::filesystem;

class StartupTest : public CAppTest
{
};

CString Ini(const CString& ini, const char* section, const char* key)
{
    return GetPrivateProfileString(section, key, "<missing>", ini);
}

TEST_F(StartupTest, FirstStartCreatesTheFoldersAndExitWritesSettingsAndProfiles)
{
    {
        CKestrunApp app;
        Start(app);
        EXPECT_EQ(app.m_strDataRoot, DataRoot());
        EXPECT_TRUE(fs::is_directory(DataRoot().GetString()));
        EXPECT_TRUE(fs::is_directory((DataRoot() + "images").GetString()));
        EXPECT_TRUE(fs::is_directory((DataRoot() + "data").GetString()));
        EXPECT_EQ(app.GetImageDir(), DataRoot() + "images/");
        EXPECT_EQ(app.m_nMode, 0);
        EXPECT_EQ(ApplicationProfile(), IniPath());
        Stop(app);
    }

    const CString ini = IniPath();
    EXPECT_EQ(Ini(ini, "PathName", "Images"), DataRoot() + "images");
    EXPECT_EQ(Ini(ini, "PathName", "Data"), DataRoot() + "data");
    EXPECT_EQ(Ini(ini, "Hardware", "AD-Type"), "-1");
    EXPECT_EQ(Ini(ini, "System", "AutoThreshold"), "0");
    // The main window came up maximised and keeps its placement and bars.
    EXPECT_EQ(Ini(ini, "MainFrame", "max"), "1");
    EXPECT_EQ(Ini(ini, "MainFrame", "Rect").GetLength(), 19);
    EXPECT_EQ(Ini(ini, "General04-Bar0", "Visible"), "1");
    // Without a current profile the settings are saved as "KESTRUN".
    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_file((DataRoot() + "kestrun.xml").GetString()));
    const pugi::xml_node root = xml.child("KESTRUN_Profiles");
    ASSERT_TRUE(root);
    EXPECT_STREQ(root.child_value("CurrentProfileName"), "KESTRUN");
    const pugi::xml_node current = root.child("CProfileSettings");
    EXPECT_STREQ(current.child_value("BVProfile"), "KESTRUN");
    EXPECT_STREQ(current.child_value("ClassesProfile"), "KESTRUN.classes");
    EXPECT_STREQ(current.child_value("ROIProfile"), "KESTRUN.AOI");
    EXPECT_STREQ(root.child("ProfileNames").child_value("key"), "KESTRUN");
    EXPECT_STREQ(root.child("SettingsArray").child("CProfileSettings").child_value("BVProfile"), "KESTRUN");
    for (const char* file : {"bv.xml", "KESTRUN.classes", "KESTRUN.AOI"})
        EXPECT_TRUE(fs::exists((DataRoot() + file).GetString())) << file;
    EXPECT_TRUE(m_boxes->Shown().empty());
}

TEST_F(StartupTest, SecondStartReadsTheSettingsAndSelectsTheStoredProfile)
{
    {
        CKestrunApp first;
        Start(first);
        Stop(first);
    }
    const CString pictures = CString(m_folder.c_str()) + "/pictures";
    WritePrivateProfileString("PathName", "Images", pictures, IniPath());
    // An empty entry falls back to the data root's folder.
    WritePrivateProfileString("PathName", "Data", "", IniPath());
    WritePrivateProfileString("Hardware", "AD-Type", "2", IniPath());
    WritePrivateProfileString("System", "AutoThreshold", "1", IniPath());

    CKestrunApp app;
    Start(app);
    EXPECT_EQ(app.m_strImageDir, pictures);
    EXPECT_TRUE(fs::is_directory(pictures.GetString()));
    EXPECT_EQ(app.m_strDataDir, DataRoot() + "data");
    EXPECT_EQ(app.m_nADType, 2);
    EXPECT_EQ(app.m_bAutoThreshold, TRUE);
    EXPECT_EQ(app.GetProfiles().m_strCurrentName, "KESTRUN");
    EXPECT_EQ(app.GetCurrentProfileName(), "KESTRUN");
    // The stored profile has no box profile: the box is not asked.
    EXPECT_EQ(BoxLog().find("SetParamString:Profile"), std::string::npos);
    Stop(app);
    EXPECT_EQ(Ini(IniPath(), "PathName", "Data"), DataRoot() + "data");
}

TEST_F(StartupTest, ProfileThatCannotBeSelectedAtStartIsNotOverwrittenAtExit)
{
    {
        CKestrunApp first;
        Start(first);
        Stop(first);
    }
    // The stored profile's classes file is damaged: the start-up select fails.
    std::ofstream(DataRoot() + "KESTRUN.classes", std::ios::binary | std::ios::trunc) << "damaged";
    const auto read = [](const CString& path) {
        std::ifstream in(path.GetString(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string profilesBefore = read(DataRoot() + "bv.xml");
    const std::string areasBefore = read(DataRoot() + "KESTRUN.AOI");

    CKestrunApp app;
    Start(app);
    Stop(app);
    EXPECT_EQ(read(DataRoot() + "bv.xml"), profilesBefore);
    EXPECT_EQ(read(DataRoot() + "KESTRUN.AOI"), areasBefore);
    EXPECT_EQ(read(DataRoot() + "KESTRUN.classes"), "damaged") << "left for the user to mend, not emptied";
}

TEST_F(StartupTest, StartedForAutomationWritesBackOnlyWhatItRead)
{
    const CString ini = IniPath();
    {
        CKestrunApp first;
        Start(first);
        Stop(first);
    }
    WritePrivateProfileString("PathName", "Images", "/lab/pictures", ini);
    WritePrivateProfileString("Hardware", "AD-Type", "1", ini);
    WritePrivateProfileString("System", "AutoThreshold", "1", ini);
    SetBoxProfiles("");

    CKestrunApp app;
    Start(app, {"-Automation"});
    EXPECT_FALSE(app.GetTablon().IsLoaded());
    EXPECT_FALSE(app.m_pMainWnd->IsWindowVisible());
    EXPECT_TRUE(app.m_strImageDir.IsEmpty());
    Stop(app);

    EXPECT_EQ(Ini(ini, "PathName", "Images"), "/lab/pictures");
    EXPECT_EQ(Ini(ini, "PathName", "Data"), DataRoot() + "data");
    EXPECT_EQ(Ini(ini, "Hardware", "AD-Type"), "1");
    EXPECT_EQ(Ini(ini, "System", "AutoThreshold"), "1");
    EXPECT_EQ(BoxLog(), "");
}

TEST_F(StartupTest, ModesWhoseFormsAreMissingStartInModeZero)
{
    struct Case
    {
        int mode;
        int expected;
        bool told;
    };
    for (const Case c : {Case{1, 0, true}, Case{2, 0, true}, Case{3, 0, true}, Case{4, 4, false}, Case{0, 0, false}}) {
        WriteMode(c.mode);
        m_boxes->Clear();
        CKestrunApp app;
        Start(app);
        EXPECT_EQ(app.m_nMode, c.expected) << c.mode;
        EXPECT_EQ(app.GetModeTemplate(), nullptr);
        EXPECT_FALSE(QueryCommand(MainFrame(app), ID_OPEN_DATABASE).enabled);
        // The database tool bar belongs to the database modes.
        EXPECT_FALSE(MainFrame(app).m_wndDBToolBar.IsWindowVisible());
        const auto texts = m_boxes->Texts();
        ASSERT_EQ(texts.size(), c.told ? 1u : 0u) << c.mode;
        if (c.told) {
            EXPECT_NE(texts[0].Find(FormatString("Mode %d", c.mode)), -1) << texts[0].GetString();
        }
        Stop(app);
    }
}

TEST_F(StartupTest, ScanningBoxGetsTheMainWindowAndAMissingLibraryIsSilent)
{
    {
        CKestrunApp app;
        Start(app);
        EXPECT_TRUE(app.GetTablon().IsInterfaceSet());
        EXPECT_TRUE(QueryCommand(MainFrame(app), ID_SCAN_CHAMBER).enabled);
        Stop(app);
    }
    // Closing the window closes the device; exit asks for the box's
    // profile to save it.
    EXPECT_EQ(BoxLog(), "SetInterface:window;SetInterface:null;GetParamString:Profile;");

    CKestrunApp app;
    app.m_strProgramFolder = m_programFolder.c_str();
    app.m_strTablonLibrary = "Tablon-missing.dll";
    app.m_arguments = {"kestrun"};
    ASSERT_TRUE(app.InitInstance());
    EXPECT_FALSE(app.GetTablon().IsLoaded());
    EXPECT_FALSE(QueryCommand(MainFrame(app), ID_SCAN_CHAMBER).enabled);
    app.SetTrayvoState(3);
    Stop(app);
    EXPECT_TRUE(m_boxes->Shown().empty());
}

TEST_F(StartupTest, UnreadableProfilesFileIsReportedAndKeptAtExit)
{
    fs::create_directories(DataRoot().GetString());
    const CString file = DataRoot() + "kestrun.xml";
    {
        std::ofstream out(file.GetString());
        out << "<Other_Profiles></Other_Profiles>";
    }
    CKestrunApp app;
    Start(app);
    EXPECT_EQ(m_boxes->Shown().size(), 1u);
    EXPECT_TRUE(app.GetProfiles().m_strFileName.IsEmpty());
    Stop(app);
    EXPECT_EQ(ReadFile(file.GetString()), "<Other_Profiles></Other_Profiles>");
}

TEST(TemplateFactoryTest, TemplatesNeedAllTheirClasses)
{
    const auto made = MakeTemplate(IDR_DIBDOCEX, {"CDIBDoc", "CMDIChildWnd", "CFrameWnd"});
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->m_pDocClass, RUNTIME_CLASS(CDIBDoc));
    EXPECT_EQ(made->GetResourceID(), IDR_DIBDOCEX);
    EXPECT_EQ(MakeTemplate(IDR_DIBDOCEX, {"CDIBDoc", "CMDIChildWnd", "CNoSuchView"}), nullptr);

    CDIBDoc doc;
    EXPECT_TRUE(IsKindOfClass(&doc, "CDocument"));
    EXPECT_FALSE(IsKindOfClass(&doc, "CView"));
    EXPECT_FALSE(IsKindOfClass(&doc, "CNoSuchClass"));
    EXPECT_FALSE(IsKindOfClass(nullptr, "CDocument"));
}

} // namespace

} // namespace kestrun::testing
