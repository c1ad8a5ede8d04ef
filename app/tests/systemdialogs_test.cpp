// The system dialogs through the program's commands: folders and profiles,
// the hardware type, the parameter file and About.

#include "app/tests/apptesting.h"

#include "app/resource.h"
#include "app/selectdlg.h"
#include "app/systempathdlg.h"

#include "analysis/bv.h"
#include "dialogtesting.h"
#include "platform/core/profile.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/pathdialog.h"

#include <fstream>

namespace kestrun::testing {

namespace {

namespace fs = std::filesystem;

class SystemDialogsTest : public CStartedAppTest<CKestrunApp>
{
protected:
    void SetUp() override
    {
        CAppTest::SetUp();
        SetBoxProfiles("Box-A");
        Start(m_app);
    }

    void Command(UINT id) { Frame().SendMessage(WM_COMMAND, id); }
    CString Folder(const char* name) const { return (m_folder / name).c_str(); }
    static std::vector<CString> Profiles(CDialog& dialog)
    {
        std::vector<CString> names;
        auto* combo = DYNAMIC_DOWNCAST(CComboBox, dialog.GetDlgItem(IDC_PROFILE_COMBO));
        for (int i = 0; combo != nullptr && i < combo->GetCount(); ++i) {
            CString name;
            combo->GetLBText(i, name);
            names.push_back(name);
        }
        return names;
    }
};

TEST_F(SystemDialogsTest, OptionsStoreCreatableFoldersAndKeepTheOldOneOtherwise)
{
    std::ofstream(m_folder / "blocker") << "a file in the way";
    const CString oldData = m_app.m_strDataDir;
    OnNextDialog([&](CDialog& dialog) {
        // The chooser writes its folder into the edit; a cancelled one nothing.
        OnNextDialog([&](CDialog& chooser) {
            Type(chooser, CPathDialogSub::IDC_PATH_EDIT, Folder("pictures/new"));
            m_boxes->QueueAnswer(IDYES); // create it
            chooser.SendMessage(WM_COMMAND, IDOK);
        });
        Press(dialog, IDC_BROWSE_IMAGES);
        OnNextDialog([](CDialog& chooser) { chooser.SendMessage(WM_COMMAND, IDCANCEL); });
        Press(dialog, IDC_BROWSE_DATA);
        EXPECT_EQ(TextOf(dialog, IDC_IMAGE_FOLDER), Folder("pictures/new"));
        EXPECT_EQ(TextOf(dialog, IDC_DATA_FOLDER), oldData);
        Type(dialog, IDC_DATA_FOLDER, Folder("blocker/data"));
        Press(dialog, IDOK);
    });
    m_boxes->Clear();
    Command(ID_SYSTEM_OPTIONS);

    EXPECT_EQ(m_app.m_strImageDir, Folder("pictures/new") + "/");
    EXPECT_TRUE(fs::is_directory(m_folder / "pictures/new"));
    EXPECT_EQ(m_app.m_strDataDir, oldData) << "the uncreatable folder is not taken";
    ASSERT_EQ(m_boxes->Texts().size(), 2u);
    EXPECT_NE(m_boxes->Texts()[1].Find("blocker/data cannot be created"), -1);
    EXPECT_EQ(m_app.GetProfileString("PathName", "Images"), Folder("pictures/new") + "/");
    EXPECT_EQ(m_app.GetProfileString("PathName", "Data"), oldData);

    // Cancel changes nothing.
    OnNextDialog([&](CDialog& dialog) {
        Type(dialog, IDC_IMAGE_FOLDER, Folder("other"));
        dialog.SendMessage(WM_COMMAND, IDCANCEL); // Esc
    });
    Command(ID_SYSTEM_OPTIONS);
    EXPECT_EQ(m_app.m_strImageDir, Folder("pictures/new") + "/");
    EXPECT_FALSE(fs::exists(m_folder / "other"));
}

TEST_F(SystemDialogsTest, TheProfileButtonsSaveAskBeforeOverwritingAndDelete)
{
    OnNextDialog([&](CDialog& dialog) {
        const auto save = [&](const char* name, int answer) {
            OnNextDialog([name](CDialog& saving) {
                Type(saving, IDC_PROFILE_NAME, name);
                Press(saving, IDOK);
            });
            if (answer != 0)
                m_boxes->QueueAnswer(answer);
            Press(dialog, IDC_PROFILE_SAVE);
        };
        save("Lab/1", 0);
        EXPECT_EQ(Profiles(dialog), std::vector<CString>{"Lab_1"});
        EXPECT_EQ(TextOf(dialog, IDC_PROFILE_COMBO), "Lab_1") << "the saved profile is current";
        EXPECT_EQ(static_cast<CSystemPath&>(dialog).m_strProfileName, "Lab_1");

        m_app.GetEngine()->GetSettings().m_ObjectFilter.m_ConCutType = 2;
        save("Lab_1", IDNO);
        EXPECT_EQ(m_boxes->Texts().back(), "This profile already exists. Do you want to overwrite it?");
        EXPECT_NE(m_app.GetProfiles().Lookup("Lab_1"), nullptr);
        save("Field", 0);
        EXPECT_EQ(Profiles(dialog), (std::vector<CString>{"Lab_1", "Field"}));

        Press(dialog, IDC_PROFILE_DELETE);
        EXPECT_EQ(Profiles(dialog), std::vector<CString>{"Lab_1"});
        EXPECT_EQ(TextOf(dialog, IDC_PROFILE_COMBO), "") << "no current profile after a delete";
        EXPECT_TRUE(m_app.GetProfiles().m_strCurrentName.IsEmpty());
        Press(dialog, IDOK);
    });
    Command(ID_SYSTEM_OPTIONS);
    EXPECT_EQ(m_app.GetProfiles().Lookup("Field"), nullptr);
}

TEST_F(SystemDialogsTest, AParameterFileLoadsItsSectionsAndTheFilesBesideIt)
{
    CBVSettings& settings = m_app.GetEngine()->GetSettings();
    const CString path = Folder("lab.ini");
    CSegThres threshold = settings.m_SegThres;
    threshold.SetLower(RGB(10, 20, 30));
    threshold.SetUpper(RGB(40, 50, 60));
    threshold.WriteProfile("Threshold", path);
    WritePrivateProfileString("ObjectFilter", "ConglomeratCutType", "2", path);

    CFileAnswers files;
    files.m_answer = path;
    OnNextDialog([](CDialog& dialog) {
        Press(dialog, IDC_LOAD_PARAMETERS);
        Press(dialog, IDOK);
    });
    m_boxes->Clear();
    Command(ID_SYSTEM_OPTIONS);
    EXPECT_TRUE(m_boxes->Texts().empty());
    EXPECT_EQ(settings.m_SegThres.GetLower(), RGB(10, 20, 30));
    EXPECT_EQ(settings.m_ObjectFilter.m_ConCutType, 2);

    // Damaged or foreign files change nothing, with one message each.
    const struct
    {
        const char* text;
        const char* message;
    } cases[] = {
        {"[Other]\nKey=1\n", "holds no analysis parameters"},
        {"[Threshold]\nMode=9\n", "holds no usable threshold"},
    };
    for (const auto& c : cases) {
        std::ofstream(m_folder / "bad.ini") << c.text;
        m_boxes->Clear();
        m_app.LoadParameterFile(Folder("bad.ini"));
        ASSERT_EQ(m_boxes->Texts().size(), 1u) << c.text;
        EXPECT_NE(m_boxes->Texts()[0].Find(c.message), -1) << c.text;
        EXPECT_EQ(settings.m_SegThres.GetLower(), RGB(10, 20, 30));
    }
}

TEST_F(SystemDialogsTest, HardwareSelectStoresTheTypeAndEnablesItsCommands)
{
    EXPECT_FALSE(QueryCommand(Frame(), ID_DEVICE_CTRL).enabled);
    OnNextDialog([](CDialog& dialog) {
        dialog.CheckRadioButton(IDC_HARDWARE_TYPE, IDC_HARDWARE_TYPE + 2, IDC_HARDWARE_TYPE + 2);
        Press(dialog, IDOK);
    });
    Command(ID_HARDWARE_SELECT);
    EXPECT_EQ(m_app.m_nADType, 2);
    EXPECT_EQ(m_app.GetProfileInt("Hardware", "AD-Type", -1), 2);
    for (UINT id : {ID_SENSOR_SETUP, ID_DEVICE_CTRL})
        EXPECT_TRUE(QueryCommand(Frame(), id).enabled) << id;
    m_boxes->Clear();
    Command(ID_SENSOR_SETUP);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"LoadLibrary with adudas.dll failed"});

    OnNextDialog([](CDialog& dialog) {
        dialog.CheckRadioButton(IDC_HARDWARE_TYPE, IDC_HARDWARE_TYPE + 2, IDC_HARDWARE_TYPE);
        dialog.SendMessage(WM_COMMAND, IDCANCEL);
    });
    Command(ID_HARDWARE_SELECT);
    EXPECT_EQ(m_app.m_nADType, 2) << "Cancel keeps the type";
}

TEST_F(SystemDialogsTest, AboutShowsTheNameAndVersion)
{
    bool shown = false;
    OnNextDialog([&shown](CDialog& dialog) {
        shown = true;
        EXPECT_EQ(TextOf(dialog, IDC_ABOUT_NAME), "Kestrun");
        EXPECT_EQ(TextOf(dialog, IDC_ABOUT_VERSION).Left(9), "Version 0");
        Press(dialog, IDOK);
    });
    Command(ID_APP_ABOUT);
    EXPECT_TRUE(shown);
}

} // namespace

} // namespace kestrun::testing

namespace kestrun::testing {

namespace {

TEST(SelectTest, ThePictureButtonsAnswerTheirKindAndCancelNone)
{
    const struct
    {
        UINT button; // 0: Cancel
        INT_PTR result;
        int choice;
    } cases[] = {{IDC_MEASURE_AD, IDOK, 2}, {IDC_MEASURE_BV, IDOK, 1}, {0, IDCANCEL, 0}};
    for (const auto& c : cases) {
        CSelect dialog;
        OnNextDialog([&c](CDialog& shown) {
            CString text;
            shown.GetDlgItem(IDC_MEASURE_AD)->GetWindowText(text);
            EXPECT_EQ(text, "") << "a picture, no text";
            if (c.button != 0)
                Press(shown, c.button);
            else
                Press(shown, IDCANCEL);
        });
        EXPECT_EQ(dialog.DoModal(), c.result);
        EXPECT_EQ(dialog.m_nChoice, c.choice);
    }

    // A picture that cannot be made leaves the button its text.
    CSelect dialog;
    dialog.m_strPictureBV = "MISSING";
    OnNextDialog([](CDialog& shown) {
        EXPECT_EQ(TextOf(shown, IDC_MEASURE_BV), "Video Measurement");
        Press(shown, IDC_MEASURE_BV);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_nChoice, 1);
}

} // namespace

} // namespace kestrun::testing
