// The script editor offscreen: marking a line, the status line, text files
// read and refused, the closing notice, and the archive form.

#include "scripthost/ui/editdlg.h"

#include "scripthost/scriptmessages.h"

#include "platform/core/archive.h"
#include "platform/core/file.h"
#include "platform/core/messages.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class CParentLog : public CMessageTarget
{
public:
    LRESULT OnWindowMessage(UINT message, WPARAM, LPARAM lParam) override
    {
        if (message == wm_EditClose)
            m_cookies.push_back(lParam);
        return 0;
    }
    std::vector<LPARAM> m_cookies;
};

CString Lines(int count)
{
    CString text;
    for (int i = 1; i <= count; ++i)
        text += FormatString(i == 1 ? "line%d" : "\r\nline%d", i);
    return text;
}

std::pair<int, int> Selection(CEditDlg& dlg)
{
    const QTextCursor cursor = dlg.GetEditCtrl().textCursor();
    return {cursor.selectionStart(), cursor.selectionEnd()};
}

TEST(EditDlg, MarkLineSelectsFromTheColumnToTheLineEnd)
{
    CEditDlg dlg(nullptr, 1);
    dlg.SetText("first\r\nsecond\r\nthird line\r\nfour");
    // Line 3 of the container is line 2 here; "third line" starts at 13.
    EXPECT_TRUE(dlg.MarkLine(2, 2, -1));
    EXPECT_EQ(Selection(dlg), std::make_pair(15, 23));
    EXPECT_TRUE(dlg.MarkLine(2, 10, -1)); // at the end: the whole line
    EXPECT_EQ(Selection(dlg), std::make_pair(13, 23));
    EXPECT_TRUE(dlg.MarkLine(2, 2, 3));
    EXPECT_EQ(Selection(dlg), std::make_pair(15, 18));
    EXPECT_TRUE(dlg.MarkLine(2, 2, 50)); // past the end: to the end
    EXPECT_EQ(Selection(dlg), std::make_pair(15, 23));
    EXPECT_FALSE(dlg.MarkLine(4, 0, -1));
    EXPECT_EQ(Selection(dlg), std::make_pair(15, 23));
    EXPECT_EQ(dlg.GetText(), "first\r\nsecond\r\nthird line\r\nfour");
}

TEST(EditDlg, StatusLineShowsTheCaretsLines)
{
    CEditDlg dlg(nullptr, 1);
    dlg.SetText(Lines(12));
    dlg.MarkLine(4, 0, 0);
    EXPECT_EQ(dlg.GetStatusText(), "Zeile: 5 von 12");
    QTextCursor cursor(dlg.GetEditCtrl().document());
    cursor.setPosition(dlg.GetEditCtrl().document()->findBlockByNumber(1).position() + 1);
    cursor.setPosition(dlg.GetEditCtrl().document()->findBlockByNumber(3).position() + 2, QTextCursor::KeepAnchor);
    dlg.GetEditCtrl().setTextCursor(cursor);
    dlg.UpdateStatus();
    EXPECT_EQ(dlg.GetStatusText(), "Zeile: 2 bis 4 von 12");
}

TEST(EditDlg, ClosingOnlyTellsTheParent)
{
    CParentLog parent;
    HWND hwnd = kestrun::CreateWindowHandle(&parent);
    {
        CEditDlg dlg(hwnd, 42);
        QCloseEvent close;
        QCoreApplication::sendEvent(&dlg, &close);
        EXPECT_EQ(parent.m_cookies, std::vector<LPARAM>{42});
        EXPECT_TRUE(dlg.isVisible());

        CEditDlg orphan(nullptr, 7);
        QCloseEvent again;
        QCoreApplication::sendEvent(&orphan, &again);
        EXPECT_TRUE(orphan.isVisible());
        EXPECT_EQ(parent.m_cookies.size(), 1U);
    }
    kestrun::DestroyWindowHandle(hwnd);
}

class EditDlgFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() / ("editdlg_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    CString Write(const char* name, const std::string& bytes) const
    {
        std::ofstream((m_dir / name), std::ios::binary) << bytes;
        return CString((m_dir / name).string());
    }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    std::filesystem::path m_dir;
};

TEST_F(EditDlgFiles, ReadsUpTo32767BytesAndRefusesMore)
{
    CEditDlg dlg(nullptr, 1);
    const CString fits = Write("fits.txt", std::string(32767, 'a'));
    dlg.OpenFile(fits);
    EXPECT_EQ(dlg.GetText().GetLength(), 32767);
    EXPECT_EQ(dlg.GetFilePath(), fits);
    EXPECT_EQ(dlg.windowTitle().toStdString(), std::string(fits.GetString()));

    dlg.SetText("mine");
    dlg.OpenFile(Write("big.txt", std::string(32768, 'b')));
    EXPECT_EQ(dlg.GetText(), "mine");
    EXPECT_EQ(m_boxes->Texts().size(), 1U);
    // A refused file leaves the path: Save does not overwrite the big file.
    EXPECT_EQ(dlg.GetFilePath(), fits);
}

TEST_F(EditDlgFiles, AFailedReadKeepsPathAndTitle)
{
    CEditDlg dlg(nullptr, 1);
    const CString mine = Write("mine.txt", "old");
    dlg.OpenFile(mine);
    dlg.SetText("edited");
    dlg.OpenFile(CString((m_dir / "missing.txt").string()));
    ASSERT_EQ(m_boxes->Texts().size(), 1U);
    EXPECT_EQ(m_boxes->Texts()[0], "Fehler: Datei kann nicht ge\xC3\xB6" "ffnet werden !");
    EXPECT_EQ(dlg.GetFilePath(), mine);
    dlg.SaveFile();
    std::ifstream in(mine.GetString());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "edited");
}

TEST_F(EditDlgFiles, FilesAreReadAsUtf8OrWindows1252)
{
    CEditDlg dlg(nullptr, 1);
    dlg.OpenFile(Write("latin.txt", "MsgBox \"Gr\xFC\xDF\""));
    EXPECT_EQ(dlg.GetText(), "MsgBox \"Gr\xC3\xBC\xC3\x9F\"");
}

TEST(EditDlg, ArchiveFormRefusesLongAndCutTexts)
{
    CEditDlg dlg(nullptr, 1);
    dlg.SetText("abc");
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        dlg.Serialize(ar);
        ar.Close();
    }
    EXPECT_EQ(file.Data(), (std::vector<BYTE>{3, 0, 0, 0, 'a', 'b', 'c'}));
    for (const std::vector<BYTE>& bad : {std::vector<BYTE>{3, 0, 0, 0, 'x'}, std::vector<BYTE>{0, 0x80, 0, 0}}) {
        CMemFile in(bad.data(), static_cast<UINT>(bad.size()));
        CArchive ar(&in, CArchive::load);
        EXPECT_THROW(dlg.Serialize(ar), CArchiveException);
        EXPECT_EQ(dlg.GetText(), "abc");
    }
}

} // namespace
