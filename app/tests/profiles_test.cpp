// Profiles: the list and its file, and selecting, saving and removing
// profiles through the application with the parts in their order.

#include "app/tests/apptesting.h"

#include "app/profilelist.h"
#include "app/registeredmessages.h"
#include "app/resource.h"
#include "app/saveprofiledlg.h"

#include "imaging/ui/dibvwex.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/core/paths.h"

#include <fstream>

namespace kestrun::testing {

namespace {

namespace fs = std::filesystem;

// Records the parts a select or save drives, in order.
class CRecordingApp : public CKestrunApp
{
public:
    std::vector<CString> m_log;
    bool m_bAreasFail = false;

protected:
    void SelectGrabberProfile(const CString& name) override
    {
        m_log.push_back("grabber select " + name);
        CKestrunApp::SelectGrabberProfile(name);
    }
    void SaveGrabberProfile(const CString& name) override
    {
        m_log.push_back("grabber save " + name);
        CKestrunApp::SaveGrabberProfile(name);
    }
    int SelectBoxProfile(const CString& name) override
    {
        m_log.push_back("box select " + name);
        return CKestrunApp::SelectBoxProfile(name);
    }
    CString GetBoxProfile() override
    {
        m_log.push_back("box get");
        return CKestrunApp::GetBoxProfile();
    }
    void SelectAnalysisProfile(const CString& name) override
    {
        m_log.push_back("analysis select " + name);
        CKestrunApp::SelectAnalysisProfile(name);
    }
    void StoreAnalysisProfile(const CString& name) override
    {
        m_log.push_back("analysis store " + name);
        CKestrunApp::StoreAnalysisProfile(name);
    }
    BOOL LoadClasses(const CString& path) override
    {
        m_log.push_back("classes load " + FileName(path));
        return CKestrunApp::LoadClasses(path);
    }
    BOOL LoadAOIs(const CString& path) override
    {
        m_log.push_back("areas load " + FileName(path));
        return m_bAreasFail ? FALSE : CKestrunApp::LoadAOIs(path);
    }
    void SaveClasses(const CString& path) override
    {
        m_log.push_back("classes save " + FileName(path));
        CKestrunApp::SaveClasses(path);
    }
    void SaveAOIs(const CString& path) override
    {
        m_log.push_back("areas save " + FileName(path));
        CKestrunApp::SaveAOIs(path);
    }

private:
    static CString FileName(const CString& path) { return path.Mid(path.ReverseFind('/') + 1); }
};

class ProfilesTest : public CAppTest
{
protected:
    void SetUp() override
    {
        CAppTest::SetUp();
        SetBoxProfiles("Box-A;Box-B");
        Start(m_app);
        m_app.m_log.clear();
    }
    void TearDown() override
    {
        Stop(m_app);
        CAppTest::TearDown();
    }

    // Saves a profile whose classes hold one class of the given name and
    // whose areas hold one rectangle.
    void SaveProfile(const CString& name, const CString& className, const char* boxProfile)
    {
        m_app.GetEngine()->m_Classes.RemoveAll();
        m_app.GetEngine()->m_Classes.AddClass(className);
        SetBoxProfiles("Box-A;Box-B");
        if (boxProfile)
            m_app.GetTablon().SelectProfile(boxProfile);
        m_app.GetProfiles().m_strFGProfile = "Grabber-" + name;
        ASSERT_TRUE(m_app.SaveProfile(name));
        m_app.m_log.clear();
    }

    CRecordingApp m_app;
};

TEST_F(ProfilesTest, SaveDrivesThePartsInOrderAndWritesTheList)
{
    m_app.GetProfiles().m_strFGProfile = "Grabber-1";
    SetBoxProfiles("Box-A");
    ASSERT_TRUE(m_app.SaveProfile("Lab"));
    const std::vector<CString> expected = {"grabber save Lab", "analysis store Lab", "classes save Lab.classes",
                                           "areas save Lab.AOI", "box get"};
    EXPECT_EQ(m_app.m_log, expected);

    const CProfileList& list = m_app.GetProfiles();
    EXPECT_EQ(list.m_strCurrentName, "Lab");
    const CProfileSettings* stored = list.Lookup("Lab");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->m_strBVProfile, "Lab");
    EXPECT_EQ(stored->m_strFGProfile, "Grabber-1");
    EXPECT_EQ(stored->m_strClassesProfile, "Lab.classes");
    EXPECT_EQ(stored->m_strROIProfile, "Lab.AOI");
    EXPECT_EQ(stored->m_strTrayvoProfile, "Box-A");
    for (const char* file : {"Lab.classes", "Lab.AOI", "bv.xml"})
        EXPECT_TRUE(fs::exists((DataRoot() + file).GetString())) << file;
    EXPECT_NE(ReadFile((DataRoot() + "kestrun.xml").GetString()).find("<key>Lab</key>"), std::string::npos);
}

TEST_F(ProfilesTest, SelectDrivesThePartsInOrderAndTellsTheWindows)
{
    SaveProfile("Lab", "Cells", "Box-B");
    SaveProfile("Field", "Plants", "Box-A");
    CProbeWnd probe(MainFrame(m_app), AppMessages().profileChanged);

    ASSERT_TRUE(m_app.SelectProfile("Lab", FALSE));
    const std::vector<CString> expected = {"grabber select Grabber-Lab", "box select Box-B", "analysis select Lab",
                                           "classes load Lab.classes", "areas load Lab.AOI"};
    EXPECT_EQ(m_app.m_log, expected);
    EXPECT_EQ(m_app.GetProfiles().m_strCurrentName, "Lab");
    EXPECT_EQ(m_app.GetCurrentProfileName(), "Lab");
    ASSERT_EQ(m_app.GetEngine()->m_Classes.GetCount(), 1);
    EXPECT_EQ(m_app.GetEngine()->m_Classes[0].m_strName, "Cells");
    EXPECT_EQ(probe.m_nReceived, 1);
    EXPECT_TRUE(m_boxes->Shown().empty());
}

TEST_F(ProfilesTest, TheGrabberProfileAClosingViewHandsOverIsSavedWithTheProfile)
{
    // The board keeps its settings under the profile's name; the list
    // still names the grabber profile it had before.
    SaveProfile("Lab", "Cells", nullptr);
    EXPECT_EQ(m_app.GetGrabberProfileName(), "Grabber-Lab");
    CDIBVwEx::HandOverGrabberProfile(*GetFG());
    EXPECT_EQ(m_app.GetGrabberProfileName(), "Lab");

    ASSERT_TRUE(m_app.SaveProfile("Lab"));
    const CProfileSettings* stored = m_app.GetProfiles().Lookup("Lab");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->m_strFGProfile, "Lab");
    m_app.m_log.clear();
    ASSERT_TRUE(m_app.SelectProfile("Lab", TRUE));
    ASSERT_FALSE(m_app.m_log.empty());
    EXPECT_EQ(m_app.m_log.front(), "grabber select Lab");
    EXPECT_EQ(GetFG()->GetParameterString(kestrun::fgparam::kProfile), "Lab");
}

TEST_F(ProfilesTest, UnknownProfilesAndRefusedBoxProfilesAreReported)
{
    EXPECT_FALSE(m_app.SelectProfile("Nowhere", TRUE));
    EXPECT_TRUE(m_boxes->Texts().empty());
    EXPECT_FALSE(m_app.SelectProfile("Nowhere", FALSE));
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Profile Nowhere not found"});

    // A box that does not know the profile says so, even quietly, and the
    // select goes on.
    SaveProfile("Lab", "Cells", "Box-B");
    SetBoxProfiles("Box-A");
    m_boxes->Clear();
    EXPECT_TRUE(m_app.SelectProfile("Lab", TRUE));
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Trayvo profile Box-B not found"});
}

TEST_F(ProfilesTest, FailedSelectLeavesThePreviousProfileCurrent)
{
    SaveProfile("Good", "Cells", "Box-A");
    struct Case
    {
        const char* name;
        void (*spoil)(const CString& root);
        const char* message;
    };
    const Case cases[] = {
        {"NoAnalysis", nullptr, "BV profile Elsewhere not found"},
        // A damaged file is said even quietly, and names the file.
        {"BadClasses",
         [](const CString& root) { std::ofstream(root + "BadClasses.classes", std::ios::trunc) << "no classes"; },
         "Classes profile BadClasses.classes cannot be read: "},
        {"EmptyClasses", [](const CString& root) { std::ofstream(root + "EmptyClasses.classes", std::ios::trunc); },
         "Classes profile EmptyClasses.classes cannot be read: "},
        {"EmptyAreas", [](const CString& root) { std::ofstream(root + "EmptyAreas.AOI", std::ios::trunc); },
         "Areas of interest EmptyAreas.AOI cannot be read: "},
        {"NoAreas", [](const CString& root) { fs::remove((root + "NoAreas.AOI").GetString()); }, nullptr},
    };
    for (const Case& c : cases) {
        SaveProfile(c.name, "Spoilt", "Box-B");
        if (c.spoil)
            c.spoil(DataRoot());
        if (c.spoil == nullptr) {
            // A profile whose analysis part was never stored.
            CProfileList& list = m_app.GetProfiles();
            ASSERT_TRUE(list.Find(c.name));
            list.m_strBVProfile = "Elsewhere";
            list.Store(c.name);
        }
        ASSERT_TRUE(m_app.SelectProfile("Good", TRUE));
        m_app.m_log.clear();
        m_boxes->Clear();

        EXPECT_FALSE(m_app.SelectProfile(c.name, c.spoil != nullptr)) << c.name;
        // Nothing was driven and nothing changed.
        EXPECT_TRUE(m_app.m_log.empty()) << c.name;
        const CProfileList& list = m_app.GetProfiles();
        EXPECT_EQ(list.m_strCurrentName, "Good") << c.name;
        EXPECT_EQ(list.m_strClassesProfile, "Good.classes") << c.name;
        EXPECT_EQ(list.m_strTrayvoProfile, "Box-A") << c.name;
        EXPECT_EQ(m_app.GetCurrentProfileName(), "Good") << c.name;
        EXPECT_EQ(m_app.GetEngine()->m_Classes[0].m_strName, "Cells") << c.name;
        const auto texts = m_boxes->Texts();
        ASSERT_EQ(texts.size(), c.message ? 1u : 0u) << c.name;
        if (c.message) {
            EXPECT_EQ(texts[0].Find(c.message), 0) << texts[0].GetString();
        }
        if (c.message && c.spoil) {
            EXPECT_NE(texts[0].Find(DataRoot() + c.name), -1) << texts[0].GetString();
        }
    }
}

TEST_F(ProfilesTest, NamesThatAreNotPlainFileNamesAreRefused)
{
    const auto files = [this] {
        std::vector<std::string> all;
        for (const auto& entry : fs::recursive_directory_iterator(m_folder))
            all.push_back(entry.path().string() + ":" + (entry.is_regular_file() ? ReadFile(entry.path()) : ""));
        return all;
    };
    SaveProfile("Good", "Cells", "Box-A");
    const auto before = files();
    for (const char* name : {"../x/evil", "a\\b", "..", "", "tab\tname", "/abs"}) {
        SCOPED_TRACE(name);
        m_boxes->Clear();
        EXPECT_FALSE(m_app.SaveProfile(name));
        ASSERT_EQ(m_boxes->Texts().size(), 1u);
        EXPECT_NE(m_boxes->Texts()[0].Find(FormatString("\"%s\" is not a plain file name", PrintableName(name).GetString())),
                  -1)
            << m_boxes->Texts()[0].GetString();
        EXPECT_TRUE(m_app.m_log.empty());
        EXPECT_EQ(files(), before);
    }

    // A stored entry whose part leads elsewhere is not selected, even quietly.
    CProfileList& list = m_app.GetProfiles();
    ASSERT_TRUE(list.Find("Good"));
    list.m_strClassesProfile = "../evil.classes";
    list.Store("Odd");
    ASSERT_TRUE(m_app.SelectProfile("Good", TRUE));
    m_app.m_log.clear();
    m_boxes->Clear();
    EXPECT_FALSE(m_app.SelectProfile("Odd", TRUE));
    EXPECT_TRUE(m_app.m_log.empty());
    ASSERT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_NE(m_boxes->Texts()[0].Find("\"../evil.classes\" is not a plain file name"), -1);
    EXPECT_EQ(m_app.GetProfiles().m_strCurrentName, "Good");

    // The save dialog makes '/' a '_' and takes nothing else that leads elsewhere.
    CSaveProfileDlg dialog(&MainFrame(m_app));
    ASSERT_TRUE(dialog.Create(IDD_SAVE_PROFILE, &MainFrame(m_app)));
    for (const auto& [text, enabled] : std::vector<std::pair<const char*, bool>>{
             {"A/B", true}, {"Lab", true}, {"..", false}, {"a\\b", false}, {"", false}}) {
        dialog.SetDlgItemText(IDC_PROFILE_NAME, text);
        EXPECT_EQ(dialog.GetDlgItem(IDOK)->IsWindowEnabled() != FALSE, enabled) << text;
    }
    EXPECT_EQ(CSaveProfileDlg::ProfileNameOf("A/B"), "A_B");
    dialog.DestroyWindow();
}

TEST_F(ProfilesTest, PartThatFailsLateIsUndone)
{
    SaveProfile("Good", "Cells", "Box-A");
    SaveProfile("Late", "Plants", "Box-B");
    ASSERT_TRUE(m_app.SelectProfile("Good", TRUE));
    m_app.m_log.clear();

    m_app.m_bAreasFail = true;
    EXPECT_FALSE(m_app.SelectProfile("Late", TRUE));
    m_app.m_bAreasFail = false;
    // The grabber and box went to "Late" and were put back.
    const std::vector<CString> expected = {"grabber select Grabber-Late", "box select Box-B", "analysis select Late",
                                           "classes load Late.classes", "areas load Late.AOI",
                                           "analysis select Good", "grabber select Grabber-Good", "box select Box-A"};
    EXPECT_EQ(m_app.m_log, expected);
    const CProfileList& list = m_app.GetProfiles();
    EXPECT_EQ(list.m_strCurrentName, "Good");
    EXPECT_EQ(list.m_strFGProfile, "Grabber-Good");
    EXPECT_EQ(list.m_strROIProfile, "Good.AOI");
    EXPECT_EQ(m_app.GetCurrentProfileName(), "Good");
    EXPECT_EQ(m_app.GetEngine()->m_Classes[0].m_strName, "Cells");
}

TEST_F(ProfilesTest, UnsavedSettingsAreSavedFirstOnlyWhenWanted)
{
    SaveProfile("Lab", "Cells", "Box-A");
    SaveProfile("Field", "Plants", "Box-A");

    m_app.m_nSettingsChanged = 1;
    m_boxes->QueueAnswer(IDNO);
    ASSERT_TRUE(m_app.SelectProfile("Lab", FALSE));
    EXPECT_EQ(m_app.m_log.front(), "grabber select Grabber-Lab");
    EXPECT_EQ(m_app.m_nSettingsChanged, 0);

    m_app.m_log.clear();
    m_app.m_nSettingsChanged = 1;
    m_boxes->QueueAnswer(IDYES);
    ASSERT_TRUE(m_app.SelectProfile("Field", FALSE));
    EXPECT_EQ(m_app.m_log.front(), "grabber save Lab");
    EXPECT_EQ(m_boxes->Texts(), (std::vector<CString>{"Save settings ?", "Save settings ?"}));
}

TEST(ProfileListTest, RemovingKeepsTheIndicesDense)
{
    CProfileList list;
    for (const char* name : {"A", "B", "C"}) {
        list.m_strBVProfile = name;
        list.Store(name);
    }
    list.Remove("A");
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetNamesByIndex()[0], "B");
    EXPECT_EQ(list.GetNamesByIndex()[1], "C");
    EXPECT_EQ(list.Lookup("C")->m_strBVProfile, "C");
    // Removing another profile keeps the current name; removing it does not.
    EXPECT_EQ(list.m_strCurrentName, "C");
    list.Remove("B");
    EXPECT_EQ(list.m_strCurrentName, "C");
    list.Remove("C");
    EXPECT_TRUE(list.m_strCurrentName.IsEmpty());
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_FALSE(list.Find("C"));
}

TEST(ProfileListTest, GoldenFileRoundTrips)
{
    const fs::path golden = fs::path(KESTRUN_APP_GOLDEN_DIR) / "kestrun.xml";
    CProfileList list;
    list.m_strRootName = "KESTRUN_Profiles";
    list.m_strFileName = golden.c_str();
    ASSERT_TRUE(list.SerializeFile(true));
    EXPECT_EQ(list.m_strCurrentName, "Plate_24");
    EXPECT_EQ(list.m_strROIProfile, "72_1.AOI");
    ASSERT_EQ(list.GetCount(), 3);
    const CProfileSettings* cells = list.Lookup("Cells");
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(cells->m_strFGProfile, "Microscope");
    EXPECT_EQ(cells->m_strTrayvoProfile, "");

    const fs::path copy = fs::path(std::getenv("KESTRUN_DATA_ROOT")) / "kestrun-copy.xml";
    list.m_strFileName = copy.c_str();
    ASSERT_TRUE(list.SerializeFile(false));
    EXPECT_EQ(ReadFile(copy), ReadFile(golden));
}

TEST(ProfileListTest, FileWithAnotherRootChangesNothing)
{
    const fs::path file = fs::path(std::getenv("KESTRUN_DATA_ROOT")) / "other.xml";
    std::ofstream(file) << "<BV_Profiles><CurrentProfileName>X</CurrentProfileName></BV_Profiles>";
    CProfileList list;
    list.m_strRootName = "KESTRUN_Profiles";
    list.m_strFileName = file.c_str();
    list.m_strCurrentName = "Kept";
    EXPECT_THROW(list.SerializeFile(true), CArchiveException);
    EXPECT_EQ(list.m_strCurrentName, "Kept");
    list.m_strFileName.Empty();
    EXPECT_FALSE(list.SerializeFile(true));
}

} // namespace

} // namespace kestrun::testing
