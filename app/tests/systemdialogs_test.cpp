// The system dialogs through the program's commands: folders and profiles,
// the hardware type, the parameter file and About.

#include "app/tests/apptesting.h"

#include "app/resource.h"
#include "app/selectdlg.h"
#include "app/systempathdlg.h"
#include "app/uwscannerdlg.h"

#include "analysis/bv.h"
#include "imaging/uwscanner.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/clock.h"
#include "platform/core/library.h"
#include "platform/core/messages.h"
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
    for (UINT id : {ID_SENSOR_SETUP, ID_DEVICE_CTRL, ID_UW_SCANNER})
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

class UwScannerDlgTest : public SystemDialogsTest
{
protected:
    void SetUp() override
    {
        SystemDialogsTest::SetUp();
        m_hFake = ::LoadLibrary("fakeuws");
        ASSERT_NE(m_hFake, nullptr);
        (void)TakeLog();
        for (int n = 1; n <= 3; ++n)
            SetPosition(n, 0);
        m_scanner = std::make_unique<CUwScanner>("fakeuws", m_folder.c_str());
        m_app.m_pUwScanner = m_scanner.get();
        FGBoard* board = GetFG();
        board->DisconnectDisplay();
        ASSERT_TRUE(board->SetClock(&m_clock));
        ASSERT_TRUE(board->SetVideoSource(0));
    }

    void TearDown() override
    {
        SystemDialogsTest::TearDown();
        GetFG()->DisconnectDisplay();
        GetFG()->SetClock(nullptr);
        ::FreeLibrary(m_hFake);
    }

    std::string TakeLog() const
    {
        auto take = reinterpret_cast<const char* (*)()>(::GetProcAddress(m_hFake, "FakeUwsTakeLog"));
        return take ? take() : "<no fake>";
    }
    void SetPosition(int n, int position) const
    {
        if (auto set = reinterpret_cast<void (*)(int, int)>(::GetProcAddress(m_hFake, "FakeUwsSetPosition")))
            set(n, position);
    }
    CDialog* Shown() const { return static_cast<CDialog*>(m_app.m_pUwScannerDlg); }
    // The choice each scanner's radio pair shows: 'M', 'I' or '-'.
    std::string Choices() const
    {
        std::string shown;
        for (UINT id = IDC_SCANNER1_MEASURE; id <= IDC_SCANNER3_INSITU; id += 2) {
            const bool measure = Shown()->IsDlgButtonChecked(static_cast<int>(id)) != 0;
            const bool insitu = Shown()->IsDlgButtonChecked(static_cast<int>(id + 1)) != 0;
            shown += measure == insitu ? '-' : measure ? 'M' : 'I';
        }
        return shown;
    }
    // Clicks a radio button as the user does: it is checked, then reports.
    void Choose(UINT id) const
    {
        const UINT first = id - (id - IDC_SCANNER1_MEASURE) % 2;
        Shown()->CheckRadioButton(static_cast<int>(first), static_cast<int>(first + 1), static_cast<int>(id));
        Press(*Shown(), id);
    }

    HMODULE m_hFake = nullptr;
    ManualClock m_clock;
    std::unique_ptr<CUwScanner> m_scanner;
};

TEST_F(UwScannerDlgTest, EnabledFromHardwareTypeZeroAndOpenedOnce)
{
    const struct
    {
        int type;
        bool enabled;
    } cases[] = {{-1, false}, {0, true}, {1, true}, {2, true}};
    for (const auto& c : cases) {
        m_app.m_nADType = c.type;
        EXPECT_EQ(QueryCommand(Frame(), ID_UW_SCANNER).enabled != FALSE, c.enabled) << c.type;
    }
    Command(ID_UW_SCANNER);
    CDialog* first = Shown();
    ASSERT_NE(first, nullptr);
    const HWND window = first->GetSafeHwnd();
    EXPECT_TRUE(first->IsWindowVisible());
    CString caption;
    first->GetWindowText(caption);
    EXPECT_EQ(caption, "UW Scanner Control");
    Command(ID_UW_SCANNER);
    EXPECT_EQ(Shown(), first) << "a second command leaves the one dialog";
    EXPECT_EQ(first->GetSafeHwnd(), window);
}

TEST_F(UwScannerDlgTest, MeasureSetsItsScannerAndOnlyAnInitialisedBoardsInput)
{
    SetPosition(2, CUwScannerDlg::kInsituPosition);
    m_app.m_nADType = 0;
    Command(ID_UW_SCANNER);
    ASSERT_NE(Shown(), nullptr);
    EXPECT_EQ(Choices(), "MIM") << "a lid at the INSITU position shows INSITU";
    EXPECT_EQ(TakeLog(), "");

    FGBoard& board = *GetFG();
    ASSERT_FALSE(board.IsInit());
    const BYTE before = board.GetInpChannel();
    Choose(IDC_SCANNER3_MEASURE);
    Press(*Shown(), IDC_UWS_VIDEO1 + 1);
    EXPECT_EQ(TakeLog(), "Set:3,1,1;") << "the scanner moves without a board";
    EXPECT_EQ(board.GetInpChannel(), before);

    ASSERT_EQ(board.ConnectDisplay(nullptr, Frame().GetSafeHwnd(), CRect(0, 0, 640, 480)), 1);
    ASSERT_TRUE(board.IsInit());
    const struct
    {
        UINT button;
        const char* calls;
        BYTE channel;
    } steps[] = {
        {IDC_SCANNER2_MEASURE, "Set:2,1,1;", 1}, {IDC_SCANNER1_INSITU, "Set:1,0,1;", 1},
        {IDC_SCANNER3_MEASURE, "Set:3,1,1;", 2}, {IDC_SCANNER1_MEASURE, "Set:1,1,1;", 0},
        {IDC_UWS_VIDEO3, "", 2},                 {IDC_SCANNER3_INSITU, "Set:3,0,1;", 2},
        {IDC_UWS_VIDEO1 + 1, "", 1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.button);
        if (step.button < IDC_UWS_VIDEO1)
            Choose(step.button);
        else
            Press(*Shown(), step.button);
        EXPECT_EQ(TakeLog(), step.calls);
        EXPECT_EQ(board.GetInpChannel(), step.channel);
    }
    EXPECT_EQ(Choices(), "MMI");
}

TEST_F(UwScannerDlgTest, ClosedAndChosenAgainItIsANewDialog)
{
    m_app.m_nADType = 1;
    for (UINT close : {static_cast<UINT>(IDOK), static_cast<UINT>(IDCANCEL)}) {
        SCOPED_TRACE(close);
        Command(ID_UW_SCANNER);
        ASSERT_NE(Shown(), nullptr);
        EXPECT_EQ(Choices(), "MMM");
        Shown()->SendMessage(WM_COMMAND, close);
        PumpMessages();
        EXPECT_EQ(Shown(), nullptr) << "the application forgets the closed dialog";

        // The new dialog reads the lids again.
        SetPosition(1, CUwScannerDlg::kInsituPosition);
        Command(ID_UW_SCANNER);
        ASSERT_NE(Shown(), nullptr);
        EXPECT_EQ(Choices(), "IMM");
        Shown()->SendMessage(WM_COMMAND, IDOK);
        PumpMessages();
        SetPosition(1, 0);
    }
    // One left open goes with the main window.
    Command(ID_UW_SCANNER);
    EXPECT_NE(Shown(), nullptr);
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
