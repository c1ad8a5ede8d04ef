// Script containers: names and types, the archive form byte for byte,
// the editor reached through its interface, and the text forms.

#include "scripthost/tests/recordinghost.h"

#include "scripthost/contscript.h"
#include "scripthost/messageoutput.h"
#include "scripthost/scriptengine.h"
#include "scripthost/scripttext.h"

#include "platform/core/archive.h"
#include "platform/core/file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

std::vector<BYTE> Stored(CContScript& script)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        script.Serialize(ar);
        ar.Close();
    }
    return file.Data();
}

void Load(CContScript& script, const std::vector<BYTE>& bytes)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    script.Serialize(ar);
}

TEST(ContScript, NewContainerArchiveForm)
{
    CContScript script;
    EXPECT_EQ(Stored(script), (std::vector<BYTE>{0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}));
}

TEST(ContScript, HandlerContainerArchiveForm)
{
    CContScript script("Bild", "Click", "");
    EXPECT_EQ(script.GetType(), SCRIPTTYPE_HANDLER);
    EXPECT_EQ(script.GetName(), "Bild_Click");
    script.SetCode("x");
    const std::vector<BYTE> expected = {10,  'B', 'i', 'l', 'd', '_', 'C', 'l', 'i', 'c', 'k', 4, 'B', 'i', 'l',
                                        'd', 5,   'C', 'l', 'i', 'c', 'k', 0,   2,   0,   0,   0, 1,   0,   0,
                                        0,   1,   'x'};
    const std::vector<BYTE> bytes = Stored(script);
    EXPECT_EQ(bytes, expected);

    CContScript loaded;
    Load(loaded, bytes);
    EXPECT_EQ(loaded.GetName(), "Bild_Click");
    EXPECT_EQ(loaded.GetItemName(), "Bild");
    EXPECT_EQ(loaded.GetEventName(), "Click");
    EXPECT_EQ(loaded.GetType(), SCRIPTTYPE_HANDLER);
    EXPECT_EQ(loaded.GetCode(), "x");
}

TEST(ContScript, EmptyEventMakesGlobalCode)
{
    CContScript script("Bild", "", "");
    EXPECT_EQ(script.GetType(), SCRIPTTYPE_GLOBAL);
    EXPECT_EQ(script.GetName(), "Bild_");
    CContScript empty;
    empty.AppendCode("a");
    EXPECT_EQ(empty.GetCode(), "\r\na");
    empty.AddCodeAtTop("b");
    EXPECT_EQ(empty.GetCode(), "b\r\n\r\na");
}

// Every cut of a good archive is refused and leaves the container alone.
TEST(ContScript, CutOrDamagedArchiveChangesNothing)
{
    CContScript source("Bild", "Click", "(x)");
    source.SetCode("MsgBox 1");
    const std::vector<BYTE> bytes = Stored(source);
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        CContScript target;
        target.SetCode("kept");
        EXPECT_THROW(Load(target, std::vector<BYTE>(bytes.begin(), bytes.begin() + static_cast<long>(cut))),
                     CArchiveException);
        EXPECT_EQ(target.GetCode(), "kept");
    }
    std::vector<BYTE> badType = Stored(source);
    badType[26] = 7; // the type
    CContScript target;
    EXPECT_THROW(Load(target, badType), CArchiveException);
    EXPECT_EQ(target.GetType(), SCRIPTTYPE_NONE);
}

// The cookie used to be the address of the name text: it did not fit the
// 32 bits of a source context and dangled when the name changed.
TEST(ContScript, CookieIsAnIdOfItsOwn)
{
    CContScript a;
    CContScript b(a);
    EXPECT_NE(a.GetCookie(), 0U);
    EXPECT_NE(a.GetCookie(), b.GetCookie());
    const DWORD cookie = a.GetCookie();
    a.SetName("a much longer name that needs new memory for its text");
    EXPECT_EQ(a.GetCookie(), cookie);
}

TEST(ContScript, GlobalCodeRunsWithTheCookieAsSourceContext)
{
    auto host = std::make_shared<kestrun::test::CRecordingHost>();
    std::vector<CString> output;
    const auto previous = kestrun::SetMessageOutputSink([&](const CString& text) { output.push_back(text); });
    CContScript script;
    script.SetName("kestrun");
    script.SetType(SCRIPTTYPE_GLOBAL);
    script.SetCode("Out.Print 1\r\nOut.Nothing");
    CScriptEngine engine;
    engine.Open();
    engine.ConnectEvents();
    engine.AddItem("Out", CContCLSID(), host, 0);
    script.AddTo(&engine);
    kestrun::SetMessageOutputSink(previous);
    EXPECT_EQ(host->Joined(), "1");
    EXPECT_EQ(engine.GetLastError().GetSourceContext(), script.GetCookie());
    EXPECT_EQ(engine.GetLastError().GetSourceLine(), 2U);
    EXPECT_EQ(output.size(), 1U);
}

// ---- the editor through its interface --------------------------------------------------------

struct CEditorLog
{
    CString m_strTitle;
    CString m_strText;
    std::vector<std::tuple<int, int, int>> m_marks;
    int m_nRestored = 0;
    int m_nRaised = 0;
    bool m_bOpen = false;
    long m_nCookie = 0;
};

class CFakeEditor : public IScriptEditor
{
public:
    explicit CFakeEditor(CEditorLog& log) : m_log(log) { m_log.m_bOpen = true; }
    ~CFakeEditor() override { m_log.m_bOpen = false; }
    CString GetText() const override { return m_log.m_strText; }
    void SetText(const CString& text) override { m_log.m_strText = text; }
    void SetTitle(const CString& title) override { m_log.m_strTitle = title; }
    BOOL MarkLine(int line, int column, int length) override
    {
        m_log.m_marks.emplace_back(line, column, length);
        return TRUE;
    }
    void Restore() override { ++m_log.m_nRestored; }
    void BringToTop() override { ++m_log.m_nRaised; }

private:
    CEditorLog& m_log;
};

class CFakeProvider : public IScriptEditorProvider
{
public:
    explicit CFakeProvider(CEditorLog& log) : m_log(log) {}
    std::unique_ptr<IScriptEditor> Create(HWND, long cookie) override
    {
        m_log.m_nCookie = cookie;
        return std::make_unique<CFakeEditor>(m_log);
    }
    CString GetWindowText(HWND) const override { return "Kestrun"; }

private:
    CEditorLog& m_log;
};

class ContScriptEditor : public ::testing::Test
{
protected:
    void SetUp() override { m_previous = kestrun::SetScriptEditorProvider(std::make_shared<CFakeProvider>(m_log)); }
    void TearDown() override { kestrun::SetScriptEditorProvider(m_previous); }

    CEditorLog m_log;
    std::shared_ptr<IScriptEditorProvider> m_previous;
};

TEST_F(ContScriptEditor, EditOpensOnceAndStopEditTakesTheText)
{
    CContScript script;
    script.SetName("kestrun");
    script.SetType(SCRIPTTYPE_GLOBAL);
    script.SetCode("old");
    EXPECT_FALSE(script.MarkLine(1, 0, -1));
    ASSERT_TRUE(script.Edit(nullptr));
    EXPECT_EQ(m_log.m_strTitle, "kestrun");
    EXPECT_EQ(m_log.m_strText, "old");
    EXPECT_EQ(m_log.m_nCookie, static_cast<long>(script.GetCookie()));
    ASSERT_TRUE(script.Edit(nullptr));
    EXPECT_EQ(m_log.m_nRestored, 1);
    EXPECT_EQ(m_log.m_nRaised, 2);

    EXPECT_TRUE(script.MarkLine(3, 2, -1));
    EXPECT_FALSE(script.MarkLine(0, 2, -1));
    ASSERT_EQ(m_log.m_marks.size(), 1U);
    EXPECT_EQ(m_log.m_marks[0], std::make_tuple(2, 2, -1));

    m_log.m_strText = "new";
    EXPECT_EQ(script.GetCode(), "old");
    script.StopEdit();
    EXPECT_EQ(script.GetCode(), "new");
    EXPECT_FALSE(script.IsInEditor());
    EXPECT_FALSE(m_log.m_bOpen);
}

TEST_F(ContScriptEditor, HandlerTitleCarriesThePrefix)
{
    CContScript script("Bild", "Click", "(x)");
    script.Edit(reinterpret_cast<HWND>(1));
    EXPECT_EQ(m_log.m_strTitle, "Kestrun.Bild.Click(x)");
    script.StopEdit();
    script.Edit(nullptr, "");
    EXPECT_EQ(m_log.m_strTitle, "Bild.Click(x)");
}

// ---- text forms ------------------------------------------------------------------------------

TEST(ScriptText, ArchiveFormRefusesMoreThan32767Bytes)
{
    for (const int size : {0, 32767, 32768}) {
        CString text(std::string(static_cast<size_t>(size), 'a'));
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            kestrun::SerializeScriptText(ar, text);
            ar.Close();
        }
        CMemFile in(file.Data().data(), static_cast<UINT>(file.Data().size()));
        CArchive ar(&in, CArchive::load);
        CString loaded("kept");
        if (size > kestrun::kMaxScriptTextSize) {
            try {
                kestrun::SerializeScriptText(ar, loaded);
                ADD_FAILURE() << "accepted " << size;
            } catch (const CArchiveException& e) {
                EXPECT_EQ(e.m_cause, CArchiveException::badIndex);
            }
            EXPECT_EQ(loaded, "kept");
        } else {
            kestrun::SerializeScriptText(ar, loaded);
            EXPECT_EQ(loaded.GetLength(), size);
        }
    }
    const std::vector<BYTE> cut = {5, 0, 0, 0, 'a', 'b'};
    CMemFile in(cut.data(), static_cast<UINT>(cut.size()));
    CArchive ar(&in, CArchive::load);
    CString loaded("kept");
    try {
        kestrun::SerializeScriptText(ar, loaded);
        ADD_FAILURE() << "accepted a cut text";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
    }
    EXPECT_EQ(loaded, "kept");
}

class ScriptFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() / ("scripthost_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    CString Write(const char* name, const std::string& bytes) const
    {
        const auto path = m_dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return CString(path.string());
    }

    std::filesystem::path m_dir;
};

TEST_F(ScriptFiles, ReadWholeUpToTheLimit)
{
    CString text("kept");
    EXPECT_EQ(kestrun::ReadScriptFile(Write("a.txt", std::string(32767, 'x')), 32767, text),
              kestrun::EScriptFileRead::Ok);
    EXPECT_EQ(text.GetLength(), 32767);
    text = "kept";
    EXPECT_EQ(kestrun::ReadScriptFile(Write("b.txt", std::string(32768, 'x')), 32767, text),
              kestrun::EScriptFileRead::TooLarge);
    EXPECT_EQ(text, "kept");
    // Code files were cut at 2048 bytes.
    EXPECT_EQ(kestrun::ReadScriptFile(Write("c.txt", std::string(5000, 'y')), 1 << 20, text),
              kestrun::EScriptFileRead::Ok);
    EXPECT_EQ(text.GetLength(), 5000);
}

TEST_F(ScriptFiles, PathsKeepTheirCase)
{
    Write("Export.txt", "MsgBox 1");
    CString text;
    const CString path(( m_dir / "Export.txt").string());
    EXPECT_EQ(kestrun::ReadScriptFile(path, 100, text), kestrun::EScriptFileRead::Ok);
    CString upper(path);
    upper.MakeUpper();
    EXPECT_EQ(kestrun::ReadScriptFile(upper, 100, text), kestrun::EScriptFileRead::NotOpened);
    EXPECT_EQ(kestrun::ReadScriptFile(CString(m_dir.string()), 100, text), kestrun::EScriptFileRead::NotOpened);
}

TEST(ScriptText, Utf8WhenValidElseWindows1252)
{
    EXPECT_EQ(kestrun::DecodeScriptBytes("Gr\xC3\xBC\xC3\x9F"), "Gr\xC3\xBC\xC3\x9F");
    EXPECT_EQ(kestrun::DecodeScriptBytes("Gr\xFC\xDF"), "Gr\xC3\xBC\xC3\x9F");
    EXPECT_EQ(kestrun::DecodeScriptBytes("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(kestrun::DecodeScriptBytes("\xC0\xAF"), "\xC3\x80\xC2\xAF"); // overlong: not UTF-8
}

} // namespace
