// Start-up and shut-down: folders, the profile file, the profiles file,
// the run modes, the scanning-box library and a start for automation.

#include "app/tests/apptesting.h"

#include "app/resource.h"
#include "app/templatefactory.h"

#include "imaging/dibdoc.h"

#include "platform/core/profile.h"

#include <pugixml.hpp>

#include <fstream>
#include <map>

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

// Each damaged file of the stored profile: one message that names it and
// says what is wrong, the defaults in use, and at exit every file as it was.
TEST_F(StartupTest, DamagedFilesAtStartAreNamedOnceAndKept)
{
    const struct
    {
        const char* file;
        const char* bytes;
        const char* says;
    } cases[] = {
        {"KESTRUN.classes", "damaged", "Classes profile KESTRUN.classes cannot be read"},
        {"KESTRUN.classes", "", "Classes profile KESTRUN.classes cannot be read"},
        {"KESTRUN.AOI", "damaged", "Areas of interest KESTRUN.AOI cannot be read"},
        {"KESTRUN.AOI", "", "is empty"},
        {"bv.xml", "<BV_Profiles><CurrentProfileName>KEST", "not a readable XML file"},
        {"kestrun.xml", "<KESTRUN_Profiles><CurrentProfileName>KEST", "not a readable XML file"},
        {"kestrun.xml", "<Other_Profiles></Other_Profiles>", "bad format"},
    };
    const fs::path root = DataRoot().GetString();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + ": " + c.bytes);
        fs::remove_all(root);
        {
            CKestrunApp first;
            Start(first);
            Stop(first);
        }
        std::ofstream(root / c.file, std::ios::binary | std::ios::trunc) << c.bytes;
        std::map<std::string, std::string> before;
        for (const char* name : {"kestrun.xml", "bv.xml", "KESTRUN.classes", "KESTRUN.AOI"})
            before[name] = ReadFile(root / name);
        m_boxes->Clear();

        CKestrunApp app;
        Start(app);
        const auto texts = m_boxes->Texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_NE(texts[0].Find(DataRoot() + c.file), -1) << texts[0].GetString();
        EXPECT_NE(texts[0].Find(c.says), -1) << texts[0].GetString();
        EXPECT_EQ(texts[0].Find("was not found"), -1) << texts[0].GetString();
        EXPECT_EQ(app.GetEngine()->m_Classes.GetCount(), 0);
        Stop(app);
        EXPECT_EQ(m_boxes->Texts().size(), 1u);
        for (const auto& [name, bytes] : before)
            EXPECT_EQ(ReadFile(root / name), bytes) << name;
    }
}

// A profiles file whose names would lead out of the data root is refused
// as a whole: one message, nothing selected, nothing written anywhere.
TEST_F(StartupTest, ProfileNamesOutsideTheDataRootAreRefused)
{
    {
        CKestrunApp first;
        Start(first);
        Stop(first);
    }
    const fs::path outside = m_folder / "x";
    const CString absolute = (outside / "evil.AOI").c_str();
    const struct
    {
        const char* name;
        const char* classes;
        const char* areas;
        const char* shown;
    } cases[] = {
        {"../../../x/evil", "KESTRUN.classes", "KESTRUN.AOI", "\"../../../x/evil\""},
        {"..\\..\\..\\x\\evil", "KESTRUN.classes", "KESTRUN.AOI", "x\\evil\""},
        {"Lab", "../../../x/evil.classes", "KESTRUN.AOI", "evil.classes\""},
        {"Lab", "KESTRUN.classes", absolute, "evil.AOI\""},
        {"..", "KESTRUN.classes", "KESTRUN.AOI", "\"..\""},
    };
    const CString file = DataRoot() + "kestrun.xml";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(outside);
        fs::create_directories(outside);
        const CString entry = FormatString("<CProfileSettings><BVProfile>KESTRUN</BVProfile><FGProfile/>"
                                           "<ROIProfile>%s</ROIProfile><ClassesProfile>%s</ClassesProfile>"
                                           "<TrayvoProfile/></CProfileSettings>",
                                           c.areas, c.classes);
        const std::string xml =
            FormatString("<KESTRUN_Profiles><CurrentProfileName>%s</CurrentProfileName>%s<ProfileNames><key>%s</key>"
                         "<value>0</value></ProfileNames><SettingsArray>%s</SettingsArray></KESTRUN_Profiles>",
                         c.name, entry.GetString(), c.name, entry.GetString())
                .str();
        std::ofstream(file.GetString(), std::ios::trunc) << xml;
        m_boxes->Clear();

        CKestrunApp app;
        Start(app);
        EXPECT_TRUE(app.GetProfiles().m_strCurrentName.IsEmpty());
        Stop(app);
        const auto texts = m_boxes->Texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_NE(texts[0].Find(file), -1) << texts[0].GetString();
        EXPECT_NE(texts[0].Find(c.shown), -1) << texts[0].GetString();
        EXPECT_TRUE(fs::is_empty(outside));
        EXPECT_EQ(ReadFile(file.GetString()), xml);
    }
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
    // The forms of Modes 2 and 3 exist: they start with Open Database and
    // its tool bar; Mode 1 opens its tray form at once.
    for (const Case c : {Case{1, 1, false}, Case{2, 2, false}, Case{3, 3, false}, Case{4, 4, false}, Case{0, 0, false}}) {
        WriteMode(c.mode);
        m_boxes->Clear();
        CKestrunApp app;
        Start(app);
        EXPECT_EQ(app.m_nMode, c.expected) << c.mode;
        const bool database = c.expected == 2 || c.expected == 3;
        EXPECT_EQ(app.GetModeTemplate() != nullptr, database || c.expected == 1);
        EXPECT_EQ(app.GetFormView() != nullptr, c.expected == 1);
        EXPECT_EQ(QueryCommand(MainFrame(app), ID_OPEN_DATABASE).enabled != FALSE, database);
        // The database tool bar belongs to the database modes.
        EXPECT_EQ(MainFrame(app).m_wndDBToolBar.IsWindowVisible() != FALSE, database);
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

TEST(TemplateFactoryTest, TheTextTemplateHasItsClasses)
{
    const auto made = MakeTemplate(IDR_TEXTTYPE, {"CTextDoc", "CMDIChildWnd", "CTextView"});
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->m_pDocClass->m_lpszClassName, "CTextDoc");
    EXPECT_STREQ(made->m_pViewClass->m_lpszClassName, "CTextView");
}

} // namespace

} // namespace kestrun::testing
