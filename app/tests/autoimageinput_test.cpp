// Automatic Image Input in the running program: the dialog of command
// 45146 watches a folder; each new image opens once it is whole, titled
// "Aquired Image ..." and deleted, and a file that is no image is reported
// and kept. The watch's settling wait and the main window's checks run on
// manual clocks.

#include "app/tests/apptesting.h"

#include "app/registeredmessages.h"
#include "app/resource.h"

#include "imaging/dibdoc.h"
#include "outside/pixmere/dib.h"
#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "platform/ui/doctemplate.h"

#include <opencv2/imgcodecs.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace kestrun::testing {
namespace {

namespace fs = std::filesystem;

class AutoImageInputTest : public CStartedAppTest<CKestrunApp>
{
protected:
    void SetUp() override
    {
        CStartedAppTest::SetUp();
        m_watched = m_folder / "incoming";
        m_staging = m_folder / "staging";
        fs::create_directories(m_watched);
        fs::create_directories(m_staging);
        Frame().m_newImages.SetClock(&m_checkClock);
    }

    CDirCheckDlg& Dialog() { return Frame().m_dlgDirCheck; }

    void OpenAndStart()
    {
        Frame().SendMessage(WM_COMMAND, ID_AUTO_IMAGE_INPUT);
        ASSERT_NE(Dialog().GetSafeHwnd(), nullptr);
        Dialog().GetWatcher().SetClock(&m_watchClock);
        Dialog().SetDlgItemText(CDirCheckDlg::IDC_DIRECTORY, m_watched.c_str());
        Dialog().SendMessage(WM_COMMAND, CDirCheckDlg::IDC_START);
        ASSERT_TRUE(Dialog().GetWatcher().IsRunning());
    }

    std::vector<uchar> ImageBytes(int width, int height)
    {
        std::vector<uchar> bytes;
        EXPECT_TRUE(cv::imencode(".bmp", cv::Mat(height, width, CV_8UC3, cv::Scalar(40, 90, 200)), bytes));
        return bytes;
    }

    // A whole file at once, as a copy that ends in a rename.
    void Drop(const char* name, const std::vector<uchar>& bytes)
    {
        std::ofstream(m_staging / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        fs::rename(m_staging / name, m_watched / name);
    }

    std::vector<CDocument*> ImageDocuments() { return m_app.GetImageTemplate()->Documents(); }

    // Pumps until pred holds; the deadline only keeps a broken watch from
    // hanging the run.
    template <class Pred>
    bool PumpUntil(Pred pred)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!pred()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            WaitForMessages(20);
            PumpMessages();
        }
        return true;
    }

    // Lets time pass for the checks of the new images until pred holds.
    template <class Pred>
    bool CheckUntil(Pred pred)
    {
        return PumpUntil([&] {
            m_checkClock.Advance(CNewImageQueue::kCheckIntervalMs);
            Frame().SendMessage(AppMessages().imageCreated);
            return pred();
        });
    }

    CString StatusLine()
    {
        CString text;
        Dialog().GetDlgItemText(CDirCheckDlg::IDC_STATUS, text);
        return text;
    }
    bool Enabled(int nID) { return Dialog().GetDlgItem(nID)->IsWindowEnabled() != FALSE; }

    fs::path m_watched;
    fs::path m_staging;
    ManualClock m_watchClock;
    ManualClock m_checkClock;
};

TEST_F(AutoImageInputTest, AnImageWrittenInTwoHalvesOpensOnceWholeThenGoes)
{
    WriteProfileString("PathName", "AutoImages", "/somewhere/else");
    Frame().SendMessage(WM_COMMAND, ID_AUTO_IMAGE_INPUT);
    CString shown;
    Dialog().GetDlgItemText(CDirCheckDlg::IDC_DIRECTORY, shown);
    EXPECT_EQ(shown, "/somewhere/else");
    EXPECT_TRUE(Enabled(CDirCheckDlg::IDC_START));
    EXPECT_FALSE(Enabled(CDirCheckDlg::IDC_STOP));
    Dialog().SetDlgItemText(CDirCheckDlg::IDC_DIRECTORY, "");
    EXPECT_FALSE(Enabled(CDirCheckDlg::IDC_START));
    // Hidden and shown again: the same window.
    Dialog().SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_FALSE(Dialog().IsWindowVisible());
    const HWND window = Dialog().GetSafeHwnd();
    OpenAndStart();
    EXPECT_EQ(Dialog().GetSafeHwnd(), window);
    EXPECT_TRUE(Dialog().IsWindowVisible());
    EXPECT_FALSE(Enabled(CDirCheckDlg::IDC_START));
    EXPECT_TRUE(Enabled(CDirCheckDlg::IDC_STOP));
    EXPECT_EQ(StatusLine(), "Start dir check...");
    EXPECT_EQ(GetProfileString("PathName", "AutoImages"), CString(m_watched.c_str()));

    const std::vector<uchar> bytes = ImageBytes(40, 30);
    const fs::path file = m_watched / "picture.bmp";
    const std::size_t half = bytes.size() / 2;
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(half));
    }
    ASSERT_TRUE(PumpUntil([&] { return Frame().m_newImages.HasPending(); }));
    // A check sees the half file; no time has passed for a second one.
    Frame().SendMessage(AppMessages().imageCreated);
    EXPECT_TRUE(ImageDocuments().empty());
    {
        std::ofstream out(file, std::ios::binary | std::ios::app);
        out.write(reinterpret_cast<const char*>(bytes.data() + half), static_cast<std::streamsize>(bytes.size() - half));
    }
    ASSERT_TRUE(CheckUntil([&] { return !ImageDocuments().empty(); }));
    CheckUntil([&] { return !Frame().m_newImages.HasPending(); });

    ASSERT_EQ(ImageDocuments().size(), 1u);
    auto* doc = dynamic_cast<CDIBDoc*>(ImageDocuments().front());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetTitle().Left(14), "Aquired Image ");
    EXPECT_EQ(doc->GetActiveDIB()->GetMat().size(), cv::Size(40, 30));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(m_boxes->Texts().empty());
    EXPECT_EQ(StatusLine(), "Created " + CString(file.c_str()));

    Dialog().SendMessage(WM_COMMAND, CDirCheckDlg::IDC_STOP);
    EXPECT_FALSE(Dialog().GetWatcher().HasWorker());
    EXPECT_EQ(StatusLine(), "Stop dir check...");
    EXPECT_TRUE(Enabled(CDirCheckDlg::IDC_START));
}

TEST_F(AutoImageInputTest, TwoFilesAtOnceBothOpenAndATextFileIsReportedAndKept)
{
    OpenAndStart();
    Drop("one.bmp", ImageBytes(20, 10));
    Drop("two.bmp", ImageBytes(20, 10));
    const char note[] = "not an image";
    Drop("note.txt", std::vector<uchar>(note, note + sizeof(note) - 1));
    ASSERT_TRUE(CheckUntil([&] { return ImageDocuments().size() == 2 && !m_boxes->Texts().empty(); }));
    CheckUntil([&] { return !Frame().m_newImages.HasPending(); });

    EXPECT_EQ(ImageDocuments().size(), 2u);
    EXPECT_FALSE(fs::exists(m_watched / "one.bmp"));
    EXPECT_FALSE(fs::exists(m_watched / "two.bmp"));
    EXPECT_TRUE(fs::exists(m_watched / "note.txt"));
    EXPECT_EQ(m_boxes->Texts(), (std::vector<CString>{"Couldn't load Image: " + CString((m_watched / "note.txt").c_str())}));
}

TEST_F(AutoImageInputTest, WithoutDeletionTheImageKeepsItsFileAndPath)
{
    OpenAndStart();
    Dialog().CheckDlgButton(CDirCheckDlg::IDC_DELETE, 0);
    Dialog().SendMessage(WM_COMMAND, CDirCheckDlg::IDC_DELETE);
    EXPECT_EQ(GetProfileInt("PathName", "AutoImageDelete", 1), 0u);
    Drop("kept.bmp", ImageBytes(8, 8));
    ASSERT_TRUE(CheckUntil([&] { return ImageDocuments().size() == 1; }));
    EXPECT_EQ(ImageDocuments().front()->GetTitle(), CString((m_watched / "kept.bmp").c_str()));
    EXPECT_TRUE(fs::exists(m_watched / "kept.bmp"));
}

} // namespace
} // namespace kestrun::testing
