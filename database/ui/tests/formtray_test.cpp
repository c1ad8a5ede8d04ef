// The tray form without the program: barcodes entered into the form, one
// tray run over the simulated board's picture, the scanning box's states
// and messages recorded by the application's stand-in.
#include "database/ui/formtray.h"
#include "database/ui/formtrayresources.h"
#include "database/ui/tests/formtestframe.h"

#include "analysis/aoi.h"
#include "analysis/aoipatterns.h"
#include "analysis/bv.h"
#include "imaging/dibdocex.h"
#include "imaging/src.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "platform/core/resources.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/controlbar.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/mdi.h"
#include "platform/ui/testing/fake_app_services.h"
#include "platform/ui/winapp.h"
#include "series/objdatadoc.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include <opencv2/imgproc.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using namespace kestrun::trayform;

namespace {

constexpr UINT IDR_TRAY_TEST_MAIN = 7520;
constexpr UINT IDR_TRAY_TEST_FORM = 7521;
constexpr UINT IDR_TRAY_TEST_TABLE = 7522;
constexpr int kWidth = 640;
constexpr int kHeight = 480;
// Three vessel positions side by side.
const CRect kPositions[] = {{40, 100, 200, 260}, {240, 100, 400, 260}, {440, 100, 600, 260}};

using CTrayTestMainFrame = kestrun::testing::CFormTestFrame;

// The application's profiles as the form reaches them: the profile 30_20
// exists, every other does not.
class CTrayServices : public kestrun::testing::CFakeAppServices
{
public:
    BOOL SelectProfile(const CString& strName, BOOL) override
    {
        m_selected.push_back(strName);
        if (strName != "30_20")
            return FALSE;
        m_strProfileName = strName;
        return TRUE;
    }
    CString GetAOIFileName() const override { return m_strAOIFile; }
    void SetAOIFileName(const CString& strName) override { m_strAOIFile = strName; }
    CString GetProgramFolder() const override { return m_strProgramFolder; }

    std::vector<CString> m_selected;
    CString m_strAOIFile;
    CString m_strProgramFolder;
};

// Vessel walls (grey) at the left and right border of each position, the
// middle one left out when bEmptyMiddle; dark objects inside the vessels.
cv::Mat TrayPicture(bool bEmptyMiddle, bool bObjects)
{
    cv::Mat picture(kHeight, kWidth, CV_8UC3, cv::Scalar::all(250));
    for (int i = 0; i < 3; ++i) {
        if (bEmptyMiddle && i == 1)
            continue;
        const CRect& r = kPositions[i];
        for (int x : {static_cast<int>(r.left), static_cast<int>(r.right) - 1})
            cv::rectangle(picture, cv::Point(x - 3, r.top - 10), cv::Point(x + 3, r.bottom + 10), cv::Scalar::all(150),
                          cv::FILLED);
    }
    if (bObjects) {
        // Three in the first vessel, two in the last.
        for (cv::Point centre : {cv::Point(80, 140), cv::Point(150, 150), cv::Point(110, 220), cv::Point(490, 150),
                                 cv::Point(550, 210)})
            cv::circle(picture, centre, 10, cv::Scalar::all(40), cv::FILLED);
    }
    return picture;
}

class FormTrayTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = fs::path(std::getenv("KESTRUN_DATA_ROOT")) /
                   ("formtray_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder / "data");
        fs::create_directories(m_folder / "program");
        fs::create_directories(m_folder / "playback");
        m_app.SetProfileName((m_folder / "kestrun32.ini").c_str());
        AfxRegisterString(IDR_TRAY_TEST_MAIN, "Tray Test");
        AfxRegisterString(IDR_TRAY_TEST_FORM, "\nTray\nTray\n\n\n\n");
        AfxRegisterString(IDR_TRAY_TEST_TABLE, "\nData\nData\nData Files (*.xml)\n.xml\n\n");
        m_main = new CTrayTestMainFrame;
        ASSERT_TRUE(m_main->LoadFrame(IDR_TRAY_TEST_MAIN));
        m_app.m_pMainWnd = m_main;
        m_main->MoveWindow(0, 0, 1200, 900);
        // Tables without a window; a form's image counts into the grid's.
        m_templates.SetTemplate(CSRC::kObjGridTemplate,
                                new CMultiDocTemplate(IDR_TRAY_TEST_TABLE, RUNTIME_CLASS(CObjDataDoc), nullptr, nullptr));
        m_engine.GetSettings().m_SegThres = CSegThres(RGB(100, 100, 100), RGB(255, 255, 255), CSegThres::modeDark);
        m_services.m_pEngine = &m_engine;
        m_services.m_pTemplates = &m_templates;
        m_services.m_strDataRoot = Root();
        m_services.m_strDataDir = (m_folder / "data").c_str() + CString("/");
        m_services.m_strProfileName = "30_20";
        m_services.m_strProgramFolder = (m_folder / "program").c_str();

        // The three positions as tray 72, batches 1 and 2.
        m_engine.m_AOIDoc.ClearAOIs();
        m_engine.m_AOIDoc.SetImageSize(kWidth, kHeight, true);
        for (const CRect& r : kPositions) {
            std::unique_ptr<CAOI> area = std::make_unique<CAOI2>(r);
            ASSERT_NE(m_engine.m_AOIDoc.AddAOI(area), 0);
        }
        for (const char* name : {"72_1.AOI", "72_2.AOI", "72_3.AOI"}) {
            m_engine.m_AOIDoc.SetModifiedFlag();
            ASSERT_TRUE(m_engine.m_AOIDoc.SaveAOIFile(Root() + name));
        }
        m_engine.m_AOIDoc.ClearAOIs();

        m_board = GetFG();
        m_board->StopLive();
        m_board->DisconnectDisplay();
        WritePicture(TrayPicture(true, true));
        ASSERT_TRUE(m_board->SetParameterString(kestrun::fgparam::kPlaybackFolder,
                                                CString((m_folder / "playback").c_str())));
        ASSERT_TRUE(m_board->SetVideoSource(1));
    }

    void TearDown() override
    {
        if (m_app.m_pMainWnd)
            m_app.m_pMainWnd->DestroyWindow();
        kestrun::PumpMessages();
        m_templates.GetTemplate(CSRC::kObjGridTemplate)->CloseAllDocuments(FALSE);
        m_board->StopLive();
        m_board->DisconnectDisplay();
        m_board->SetVideoSource(0);
        delete m_formTemplate;
    }

    CString Root() const { return (m_folder.string() + "/").c_str(); }
    void WritePicture(const cv::Mat& picture) const
    {
        CDIB page;
        ASSERT_TRUE(page.InitDIB(kWidth, kHeight, 24));
        picture.copyTo(page.GetMat());
        ASSERT_TRUE(page.Write((m_folder / "playback" / "tray.bmp").c_str()));
    }

    // The form in its frame, as the program opens it.
    CFormTray* OpenForm()
    {
        m_formTemplate = new CMultiDocTemplate(IDR_TRAY_TEST_FORM, RUNTIME_CLASS(CFormTrayDoc),
                                               RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CFormTray));
        CDocument* doc = m_formTemplate->OpenDocumentFile(nullptr);
        if (doc == nullptr || doc->Views().empty())
            return nullptr;
        return dynamic_cast<CFormTray*>(doc->Views().front());
    }

    // Typed into the barcode box and ended by Enter.
    static void Enter(CFormTray& form, const char* text)
    {
        form.GetDlgItem(static_cast<int>(IDC_TRAY_BARCODE))->SetWindowText(text);
        MSG msg{};
        msg.message = WM_KEYDOWN;
        msg.wParam = VK_RETURN;
        form.PreTranslateMessage(&msg);
    }

    // The learned vessel walls of every position, from a full tray.
    void LearnPositions(CFormTray& form)
    {
        CDIB reference;
        ASSERT_TRUE(reference.InitDIB(kWidth, kHeight, 24));
        TrayPicture(false, false).copyTo(reference.GetMat());
        ASSERT_EQ(m_engine.m_AOIDoc.GetAOICount(), 3);
        for (int i = 0; i < 3; ++i) {
            CAOI* area = m_engine.m_AOIDoc.GetAOI(i);
            auto pattern = std::make_unique<CDIB>();
            ASSERT_TRUE(LearnBorderPattern(*area, reference, pattern.get()));
            area->AddPattern(std::move(pattern), 0);
        }
        ASSERT_NE(form.GetImageDocument(), nullptr);
        form.GetImageDocument()->m_nCheckBackground = 1;
    }

    static CString ControlText(CFormTray& form, UINT id)
    {
        CString text;
        form.GetDlgItem(static_cast<int>(id))->GetWindowText(text);
        return text;
    }
    CString StatusBarText() const { return m_main->m_wndStatusBar.GetPaneText(0); }
    std::vector<CString> MessagesFrom(size_t first) const
    {
        return {m_services.m_trayvoMessages.begin() + static_cast<long>(first), m_services.m_trayvoMessages.end()};
    }
    static std::string Read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    CWinApp m_app{"FormTrayTest"};
    CTrayTestMainFrame* m_main = nullptr;
    CMultiDocTemplate* m_formTemplate = nullptr;
    CSRC m_templates;
    CBV m_engine;
    CTrayServices m_services;
    FGBoard* m_board = nullptr;
    fs::path m_folder;
    kestrun::testing::ScopedMessageBoxes m_boxes;
};

TEST_F(FormTrayTest, BarcodesChooseProfileTrayAndBatchOrJoinTheQueue)
{
    CFormTray* form = OpenForm();
    ASSERT_NE(form, nullptr);
    // No "trayscan.ini": tray 72, batch 1, and its areas loaded at once.
    EXPECT_EQ(form->m_strTray, CString("72"));
    EXPECT_EQ(form->m_nMaxBarcode, 4294967295LL);
    EXPECT_EQ(m_engine.m_AOIDoc.GetAOICount(), 3);
    EXPECT_EQ(m_services.m_strAOIFile, CString("72_1.AOI"));

    struct Step
    {
        const char* barcode;
        const char* status;
        const char* tray;
        int batch;
        std::vector<CString> queue;
    };
    const Step steps[] = {
        {"ABC", "Error: barcode not valid", "72", 1, {}},
        {"1001", "Ready-Next Barcode:1001", "72", 1, {"1001"}},
        {"1002", "Ready-Next Barcode:1001", "72", 1, {"1001", "1002"}},
        {"4", "Error: loading batch", "72", 1, {"1001", "1002"}},
        {"2", "Batch:2", "72", 2, {"1001", "1002"}},
        {"128", "Error: loading tray", "72", 2, {"1001", "1002"}},
        {"72", "Tray:72", "72", 1, {"1001", "1002"}},
        // "1" is a batch, though a sample barcode of the range too.
        {"1", "Batch:1", "72", 1, {"1001", "1002"}},
        {"60/40", "Error: loading profile", "72", 1, {"1001", "1002"}},
        {"30/20", "Profil:30/20", "72", 1, {"1001", "1002"}},
        {"-5", "Error: barcode not valid", "72", 1, {"1001", "1002"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.barcode);
        const size_t before = m_services.m_trayvoMessages.size();
        Enter(*form, step.barcode);
        ASSERT_GT(m_services.m_trayvoMessages.size(), before);
        EXPECT_EQ(m_services.m_trayvoMessages.back(), CString(step.status));
        EXPECT_EQ(StatusBarText(), CString(step.status));
        EXPECT_EQ(form->m_strTray, CString(step.tray));
        EXPECT_EQ(form->m_nBatch, step.batch);
        EXPECT_EQ(form->GetQueue(), step.queue);
        EXPECT_EQ(ControlText(*form, IDC_TRAY_TYPE), CString(step.tray));
    }
    // A queued barcode stays selected in the box; the next key starts the
    // next barcode. Queuing it shows one status line.
    const size_t beforeQueued = m_services.m_trayvoMessages.size();
    Enter(*form, "1003");
    EXPECT_EQ(MessagesFrom(beforeQueued), (std::vector<CString>{"Ready-Next Barcode:1001"}));
    auto* combo = qobject_cast<QComboBox*>(form->GetDlgItem(static_cast<int>(IDC_TRAY_BARCODE))->GetWidget());
    ASSERT_NE(combo, nullptr);
    ASSERT_NE(combo->lineEdit(), nullptr);
    EXPECT_EQ(combo->lineEdit()->selectedText().toStdString(), "1003");
    QKeyEvent key(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, "7");
    QApplication::sendEvent(combo->lineEdit(), &key);
    EXPECT_EQ(combo->lineEdit()->text().toStdString(), "7");
    EXPECT_FALSE(form->m_bBarcodeTaken);
    EXPECT_EQ(form->GetQueue(), (std::vector<CString>{"1001", "1002", "1003"}));

    // The profile is selected by its stored name, with the tray's areas.
    EXPECT_EQ(m_services.m_selected, (std::vector<CString>{"60_40", "30_20"}));
    EXPECT_EQ(ControlText(*form, IDC_TRAY_PROFILE), CString("30/20"));
    EXPECT_EQ(m_services.m_strAOIFile, CString("72_1.AOI"));

    // Batch 4 would need four barcodes; with three nothing runs.
    ASSERT_TRUE(m_engine.m_AOIDoc.SaveAOIFile(Root() + "72_4.AOI"));
    Enter(*form, "4");
    form->RunTray();
    EXPECT_EQ(m_services.m_trayvoMessages.back(), CString("Error: not enough barcodes"));
    EXPECT_EQ(form->GetQueue().size(), 3U);
    EXPECT_TRUE(m_services.m_trayvoStates.empty());
    // No image yet (the video starts two seconds after the form): the
    // barcodes stay queued.
    Enter(*form, "1");
    form->RunTray();
    EXPECT_EQ(m_services.m_trayvoMessages.back(), CString("Error: no image available"));
    EXPECT_EQ(form->GetQueue().size(), 3U);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(FormTrayTest, ATrayRunWritesTheImageAndEachCountedPosition)
{
    CFormTray* form = OpenForm();
    ASSERT_NE(form, nullptr);
    // One second for all the names.
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 11;
    local.tm_hour = 14;
    local.tm_min = 30;
    local.tm_sec = 5;
    local.tm_isdst = -1;
    const std::time_t now = std::mktime(&local);
    form->SetClock([now] { return now; });
    // The start timer's work.
    form->SendMessage(WM_TIMER, 1);
    ASSERT_NE(form->GetImageView(), nullptr);
    ASSERT_TRUE(form->GetImageDocument()->IsVideo());
    LearnPositions(*form);
    for (const char* barcode : {"1001", "1002", "1003"})
        Enter(*form, barcode);
    // With the camera ready the box leaves its idle state.
    EXPECT_EQ(m_services.m_trayvoStates, (std::vector<int>{3}));
    m_services.m_trayvoStates.clear();
    const size_t before = m_services.m_trayvoMessages.size();

    form->RunTray();

    EXPECT_EQ(m_services.m_trayvoStates, (std::vector<int>{4, 5, 3, 3}));
    EXPECT_EQ(MessagesFrom(before), (std::vector<CString>{"Measurement started", "Ready-Count: 3", "Ready-Count: 2",
                                                          "Ready-Count: 2-No Barcode"}));
    EXPECT_EQ(StatusBarText(), CString("Ready-Count: 2-No Barcode"));
    EXPECT_FALSE(form->m_bRunning);
    EXPECT_TRUE(form->GetQueue().empty());

    // The image under the first barcode; the empty middle position took
    // 1002 and wrote nothing; the last is numbered within the second.
    const fs::path data = m_folder / "data";
    std::set<std::string> files;
    for (const auto& entry : fs::directory_iterator(data))
        files.insert(entry.path().filename().string());
    EXPECT_EQ(files, (std::set<std::string>{"20261211 143005 1001.jpg", "20261211 143005 1001.xml",
                                            "20261211 143005 1001.txt", "20261211 143005-2 1003.xml",
                                            "20261211 143005-2 1003.txt"}));
    EXPECT_EQ(Read(data / "20261211 143005-2 1003.txt"),
              "Profile:30_20\nImage:20261211 143005 1001.jpg\nRaster:72\nBatch:1\nIndexAOI:2\n");
    EXPECT_EQ(Read(data / "20261211 143005 1001.txt"),
              "Profile:30_20\nImage:20261211 143005 1001.jpg\nRaster:72\nBatch:1\nIndexAOI:0\n");
    // Each table holds its own vessel's objects.
    CObjDataDoc table;
    ASSERT_TRUE(table.OnOpenDocument((data / "20261211 143005 1001.xml").c_str()));
    EXPECT_EQ(table.Count(), 3);
    ASSERT_TRUE(table.OnOpenDocument((data / "20261211 143005-2 1003.xml").c_str()));
    EXPECT_EQ(table.Count(), 2);
    // The skipped position's area went back where it was.
    EXPECT_EQ(m_engine.m_AOIDoc.GetAOI(1)->GetRect(), kPositions[1]);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(FormTrayTest, FailuresEndTheRunOrOnlyTheStatusLine)
{
    CFormTray* form = OpenForm();
    ASSERT_NE(form, nullptr);
    form->SendMessage(WM_TIMER, 1);
    ASSERT_NE(form->GetImageView(), nullptr);
    const fs::path data = m_folder / "data";

    // Barcodes run out after the first position; its side file cannot be
    // written (a folder stands in the way), which only the status tells.
    const std::time_t now = 1'800'000'000;
    form->SetClock([now] { return now; });
    Enter(*form, "1001");
    const CString base = form->MakeFileName("1001", 0);
    form->SetClock([now] { return now; });
    fs::create_directories(data / (base + ".txt").GetString());
    size_t before = m_services.m_trayvoMessages.size();
    form->RunTray();
    EXPECT_EQ(MessagesFrom(before), (std::vector<CString>{"Measurement started", "Ready-Count: 3",
                                                          "Error: writing side file", "Error: no barcode"}));
    EXPECT_TRUE(fs::exists(data / (base + ".xml").GetString()));
    EXPECT_FALSE(form->m_bRunning);

    // A data folder that is gone: the image fails and nothing is counted.
    fs::remove_all(data);
    m_services.m_trayvoStates.clear();
    Enter(*form, "1002");
    before = m_services.m_trayvoMessages.size();
    form->RunTray();
    EXPECT_EQ(MessagesFrom(before), (std::vector<CString>{"Measurement started", "Error: writing image file"}));
    EXPECT_EQ(m_services.m_trayvoStates, (std::vector<int>{4, 5}));
    EXPECT_FALSE(form->m_bRunning);

    // A result table that cannot be written ends the tray at its position.
    fs::create_directories(data);
    m_services.m_trayvoStates.clear();
    Enter(*form, "1003");
    Enter(*form, "1004");
    form->SetClock([now] { return now + 1; });
    const CString third = form->MakeFileName("1003", 0);
    form->SetClock([now] { return now + 1; });
    fs::create_directories(data / (third + ".xml").GetString());
    before = m_services.m_trayvoMessages.size();
    form->RunTray();
    EXPECT_EQ(MessagesFrom(before), (std::vector<CString>{"Measurement started", "Error: writing data file"}));
    EXPECT_EQ(m_services.m_trayvoStates, (std::vector<int>{4, 5, 3}));
    EXPECT_FALSE(fs::exists(data / (third + ".txt").GetString()));
    EXPECT_EQ(form->GetQueue(), (std::vector<CString>{"1004"}));
    EXPECT_FALSE(form->m_bRunning);
    // The table's own save names the file it could not write.
    ASSERT_EQ(m_boxes->Texts().size(), 1U);
    EXPECT_NE(m_boxes->Texts()[0].Find(third + ".xml"), -1);
    m_boxes->Clear();
    for (const CString& text : m_boxes->Texts())
        ADD_FAILURE() << text.GetString();
}

TEST_F(FormTrayTest, TheTrayTypeOfTheSettingsFileIsReadAndWrittenBack)
{
    const CString ini = (m_folder / "program" / "trayscan.ini").c_str();
    WritePrivateProfileString("Tray", "Type", "72", ini);
    WritePrivateProfileString("BarCodeRange", "Min", "500", ini);
    WritePrivateProfileString("BarCodeRange", "Max", "600", ini);
    CFormTray* form = OpenForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->m_nMinBarcode, 500);
    Enter(*form, "499");
    EXPECT_EQ(m_services.m_trayvoMessages.back(), CString("Error: barcode not valid"));
    Enter(*form, "500");
    EXPECT_EQ(form->GetQueue(), (std::vector<CString>{"500"}));
    // A camera plug-in's picture release and texts reach the box.
    const UINT grabber = RegisterWindowMessage("MSG_GRABBER");
    form->SendMessage(grabber, 24, 0);
    form->SendMessage(grabber, 25, reinterpret_cast<LPARAM>("Camera busy"));
    EXPECT_EQ(m_services.m_trayvoStates, (std::vector<int>{5}));
    EXPECT_EQ(m_services.m_trayvoMessages.back(), CString("Camera busy"));
    // The last tray type chosen is the next start's.
    form->m_strTray = "264";
    m_main->DestroyWindow();
    m_app.m_pMainWnd = nullptr;
    kestrun::PumpMessages();
    EXPECT_EQ(GetPrivateProfileString("Tray", "Type", "", ini), CString("264"));
    EXPECT_EQ(m_services.m_trayvoMessages.back(), CString("Halvorn is going down"));
}

} // namespace
