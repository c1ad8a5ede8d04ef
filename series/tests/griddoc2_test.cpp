// The table document: columns and their configuration, the shown table,
// the exports, the script object "Tabelle" and the notices.

#include "series/griddoc2.h"
#include "series/tablecommands.h"
#include "series/tests/seriestesting.h"

#include "platform/automation/dispatchmap.h"
#include "platform/core/profile.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

using kestrun::testing::CSeriesTest;
using kestrun::testing::CTestTrack;
using kestrun::testing::CTextRecord;

constexpr DWORD kColumns = CObjData::colPosX | CObjData::colPosY | CObjData::colArea | CObjData::colRect |
                           CObjData::colClass;

std::string Golden(const char* name)
{
    std::ifstream in(std::string(KESTRUN_SERIES_GOLDEN_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class GridDocTest : public CSeriesTest
{
protected:
    void SetUp() override
    {
        CSeriesTest::SetUp();
        m_doc = std::make_unique<CGridDoc2>();
    }

    void TearDown() override
    {
        m_doc.reset();
        CSeriesTest::TearDown();
    }

    // Three objects with texts that need quoting; titles and configuration loaded.
    void AddObjects()
    {
        auto big = MakeObject(kColumns, {12, 30}, {5, 20, 19, 40}, 100);
        big->m_strClassName = "Big";
        auto odd = MakeObject(kColumns, {50, 60}, {48, 58, 52, 62}, 7);
        odd->m_strClassName = "Odd \"one\"";
        auto plain = MakeObject(kColumns, {80, 15}, {75, 12, 85, 17}, 2500);
        m_doc->AddObject(big.release());
        m_doc->AddObject(odd.release());
        m_doc->AddObject(plain.release());
        m_doc->BuildTitles();
        m_doc->LoadColumnConfig();
    }

    std::string WriteTable(char separator)
    {
        std::ostringstream out;
        m_doc->WriteTable(out, separator);
        return out.str();
    }

    COleVariant Call(const char* member, std::vector<COleVariant> args = {})
    {
        return m_doc->Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
    }

    LPARAM DocParam() const { return reinterpret_cast<LPARAM>(static_cast<CDocument*>(m_doc.get())); }

    std::unique_ptr<CGridDoc2> m_doc;
};

// ---- columns ------------------------------------------------------------------------------

TEST_F(GridDocTest, TitlesComeFromTheFirstRecordAndUnconfiguredColumnsAreShownTenWidePerCharacter)
{
    m_doc->AddObject(new CTextRecord(16, {"Area", "Count"}, {"1", "2"}));
    m_doc->AddObject(new CTextRecord(16, {"Other"}, {"3"}));
    EXPECT_EQ(m_doc->m_nFirstType, 16);
    m_doc->BuildTitles();
    ASSERT_EQ(m_doc->GetColumnCount(), 2);
    EXPECT_EQ(m_doc->m_Titles[0], "Area");
    m_doc->LoadColumnConfig();
    ASSERT_EQ(m_doc->m_arrVisible.GetSize(), 2);
    EXPECT_EQ(m_doc->m_arrVisible[0], 1);
    EXPECT_EQ(m_doc->m_arrWidths[0], 40);
    EXPECT_EQ(m_doc->m_arrWidths[1], 50);
    EXPECT_EQ(m_doc->m_nVisibleColumns, 2);

    // A record that knows no titles leaves them; without records the configuration stays empty.
    std::unique_ptr<CBaseObj> replaced(m_doc->SetAt(0, new CBaseObj));
    m_doc->BuildTitles();
    EXPECT_EQ(m_doc->GetColumnCount(), 2);
    CGridDoc2 empty;
    empty.m_Titles.Add("Area");
    empty.LoadColumnConfig();
    EXPECT_EQ(empty.m_arrVisible.GetSize(), 0);
    EXPECT_EQ(empty.m_nVisibleColumns, 0);
}

TEST_F(GridDocTest, TheColumnConfigurationRoundTripsThroughGridConfigIni)
{
    AddObjects();
    m_doc->m_arrVisible[2] = 0; // PosY
    m_doc->m_arrWidths[3] = 77;
    m_doc->SaveColumnConfig();
    EXPECT_EQ(GetPrivateProfileInt("SegObj", "PosY", 9, ConfigPath()), 0u);
    EXPECT_EQ(GetPrivateProfileInt("SegObj", "Area[Units]Width", 9, ConfigPath()), 77u);
    EXPECT_EQ(GetPrivateProfileInt("SegObj", "IndexWidth", 9, ConfigPath()), 50u);

    CGridDoc2 other;
    other.AddObject(MakeObject(kColumns, {}, {}, 1).release());
    other.BuildTitles();
    other.LoadColumnConfig();
    ASSERT_EQ(other.m_arrVisible.GetSize(), 6);
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(other.m_arrVisible[c], m_doc->m_arrVisible[c]) << c;
        EXPECT_EQ(other.m_arrWidths[c], m_doc->m_arrWidths[c]) << c;
    }
    EXPECT_EQ(other.m_nVisibleColumns, 5);
    EXPECT_EQ(other.GetShownColumns(), (std::vector<int>{0, 1, 3, 4, 5}));
}

TEST_F(GridDocTest, TracksKeepTheirColumnsInSectionsOfTheirOwn)
{
    m_doc->AddObject(new CTestTrack(3));
    m_doc->BuildTitles();
    m_doc->LoadColumnConfig();
    m_doc->m_arrVisible[1] = 0;
    m_doc->SaveColumnConfig();
    m_doc->m_bSingleTrack = 1;
    m_doc->LoadColumnConfig();
    EXPECT_EQ(m_doc->m_arrVisible[1], 1);
    m_doc->m_arrWidths[2] = 33;
    m_doc->SaveColumnConfig();
    EXPECT_EQ(GetPrivateProfileInt("Tracks", "X", 9, ConfigPath()), 0u);
    EXPECT_EQ(GetPrivateProfileInt("TracksSingle", "YWidth", 9, ConfigPath()), 33u);
    EXPECT_EQ(GetPrivateProfileInt("SegObj", "X", 9, ConfigPath()), 9u);
}

// Counts, for one file of a folder, the opens and the renames that replace
// it. Opens and closes alternate in the queue, so repeated opens are not
// folded into one event.
class CFileWatch
{
public:
    explicit CFileWatch(const std::filesystem::path& folder) : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        ::inotify_add_watch(m_fd, folder.c_str(), IN_OPEN | IN_CLOSE_NOWRITE | IN_CLOSE_WRITE | IN_MOVED_TO);
    }
    ~CFileWatch() { ::close(m_fd); }

    struct CCounts
    {
        int opens = 0;
        int replaced = 0;
    };
    // What happened to the file since the last call.
    CCounts Take(const std::string& name)
    {
        CCounts counts;
        alignas(inotify_event) char buffer[65536];
        for (ssize_t got; (got = ::read(m_fd, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && name == event->name) {
                    counts.opens += (event->mask & IN_OPEN) != 0;
                    counts.replaced += (event->mask & IN_MOVED_TO) != 0;
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return counts;
    }

private:
    int m_fd;
};

TEST_F(GridDocTest, ATableWithManyColumnsReadsAndWritesItsConfigurationOnce)
{
    std::vector<CString> titles;
    for (int c = 0; c < 300; ++c)
        titles.push_back(FormatString("Column%d", c));
    m_doc->AddObject(new CTextRecord(16, titles, std::vector<CString>(titles.size(), "1")));
    m_doc->BuildTitles();
    m_doc->LoadColumnConfig();
    for (int c = 0; c < 300; c += 7) {
        m_doc->m_arrVisible[c] = 0;
        m_doc->m_arrWidths[c] = static_cast<WORD>(c + 1);
    }

    const std::filesystem::path folder = std::filesystem::path(ConfigPath().GetString()).parent_path();
    std::filesystem::create_directories(folder);
    CFileWatch watch(folder);
    m_doc->SaveColumnConfig();
    EXPECT_EQ(watch.Take("GridConfig.ini").replaced, 1);

    CGridDoc2 other;
    other.AddObject(new CTextRecord(16, titles, std::vector<CString>(titles.size(), "1")));
    other.BuildTitles();
    other.LoadColumnConfig();
    EXPECT_EQ(watch.Take("GridConfig.ini").opens, 1);
    for (int c = 0; c < 300; ++c) {
        EXPECT_EQ(other.m_arrVisible[c], m_doc->m_arrVisible[c]) << c;
        EXPECT_EQ(other.m_arrWidths[c], m_doc->m_arrWidths[c]) << c;
    }
}

// The configuration a lab keeps by hand stays as it was, but for the keys
// of the table: the file ends as writing key by key left it.
TEST_F(GridDocTest, SavingKeepsEveryOtherLineOfTheConfigurationByteForByte)
{
    const std::string before = "; columns\r\n[SegObj]\r\n; widths below\r\nINDEX=1\r\nindexwidth = \"30\"\r\n"
                               "Area=1\r\nArea=0\r\n\r\n; next\r\n[Other]\r\nIndex=7\r\n[segobj]\r\nCount=0";
    const CString copy = PathOf("copy.ini");
    std::filesystem::create_directories(std::filesystem::path(ConfigPath().GetString()).parent_path());
    for (const CString& path : {ConfigPath(), copy})
        std::ofstream(path.GetString(), std::ios::binary) << before;

    // A title that cannot be a key is left out, as it was key by key.
    m_doc->AddObject(
        new CTextRecord(16, {"Index", "Area", "A=B", "Count", "New", "Index"}, {"1", "2", "3", "4", "5", "6"}));
    m_doc->BuildTitles();
    m_doc->LoadColumnConfig();
    EXPECT_EQ(m_doc->m_arrWidths[0], 30);
    EXPECT_EQ(m_doc->m_arrVisible[1], 1);
    for (int c = 0; c < m_doc->GetColumnCount(); ++c) {
        m_doc->m_arrVisible[c] = static_cast<BYTE>(c % 2);
        m_doc->m_arrWidths[c] = static_cast<WORD>(40 + c);
        WritePrivateProfileString("SegObj", m_doc->m_Titles[c], FormatString("%d", c % 2), copy);
        WritePrivateProfileString("SegObj", m_doc->m_Titles[c] + "Width", FormatString("%d", 40 + c), copy);
    }
    m_doc->SaveColumnConfig();
    EXPECT_EQ(ReadFile(ConfigPath().GetString()), ReadFile("copy.ini"));
}

// ---- the shown table ------------------------------------------------------------------------------

TEST_F(GridDocTest, CellsAreThoseOfTheShownRowsAndColumns)
{
    AddObjects();
    m_doc->SelectObject(1);
    m_doc->m_arrVisible[2] = 0;
    EXPECT_EQ(m_doc->GetCellText(0, 0), "1");
    EXPECT_EQ(m_doc->GetCellText(1, 0), "2");
    EXPECT_EQ(m_doc->GetCellText(1, 1), "80");
    EXPECT_EQ(m_doc->GetCellText(1, 2), "2500.00");
    EXPECT_EQ(m_doc->GetCellText(0, 3), "14,20");
    EXPECT_EQ(m_doc->GetCellText(0, 4), "Big");
    for (const auto& [row, column] : std::initializer_list<std::pair<int, int>>{{2, 0}, {-1, 0}, {0, -1}, {0, 5}})
        EXPECT_EQ(m_doc->GetCellText(row, column), "NULL") << row << "," << column;

    // At most 25 columns, at most 31 bytes a cell.
    CGridDoc2 wide;
    std::vector<CString> titles;
    std::vector<CString> values;
    for (int c = 0; c < 30; ++c) {
        titles.push_back(FormatString("C%d", c));
        values.push_back(CString(std::string(40, static_cast<char>('a' + c % 26))));
    }
    wide.AddObject(new CTextRecord(16, titles, values));
    wide.BuildTitles();
    wide.LoadColumnConfig();
    EXPECT_EQ(wide.GetCellText(0, 24), CString(std::string(31, 'y')));
    EXPECT_EQ(wide.GetCellText(0, 25), "NULL");
}

TEST_F(GridDocTest, TheFrameTitleFollowsTheTableMode)
{
    AddObjects();
    m_doc->SelectObject(0);
    const std::pair<int, const char*> modes[] = {
        {0, "Count Result: 2"}, {1, "Area Measurement"}, {2, "AOI Measurement"}, {3, "Table"}, {-1, "Table"}};
    for (const auto& [mode, title] : modes) {
        m_doc->m_nTableMode = mode;
        EXPECT_EQ(m_doc->GetTitleText(), title);
    }
}

// ---- the table as text ------------------------------------------------------------------------------

TEST_F(GridDocTest, ExportsMatchTheGoldenFilesAndFieldsWithSeparatorsStayOneColumn)
{
    AddObjects();
    EXPECT_EQ(WriteTable(','), Golden("objects.csv"));
    EXPECT_EQ(WriteTable('\r'), Golden("objects.txt"));

    AnswerFileDialog(PathOf("objects.csv"));
    m_doc->OnCmdMsg(ID_TABLE_EXPORT_CSV, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(ReadFile("objects.csv"), Golden("objects.csv"));
    AnswerFileDialog(PathOf("objects"));
    m_doc->OnCmdMsg(ID_TABLE_EXPORT_ASCII, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(ReadFile("objects.txt"), Golden("objects.txt"));
    EXPECT_EQ(m_strDialogTitle, "Create File");
    EXPECT_EQ(m_strDialogFilter, "ASCII File (*.txt) |*.txt||");
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(GridDocTest, HiddenColumnsAreLeftOutOfEveryLine)
{
    AddObjects();
    m_doc->m_arrVisible[2] = 0;
    m_doc->m_arrVisible[4] = 0;
    m_doc->m_arrVisible[5] = 0;
    EXPECT_EQ(WriteTable(','), "Index,PosX,Area[Units]\r\n"
                               "0,12,100.00\r\n"
                               "1,50,7.00\r\n"
                               "2,80,2500.00\r\n");
}

TEST_F(GridDocTest, ASingleTrackIsWrittenFrameByFrameEachValueFollowedByTheSeparator)
{
    m_doc->AddObject(new CTestTrack(3));
    m_doc->BuildTitles();
    m_doc->LoadColumnConfig();
    m_doc->m_bSingleTrack = 1;
    EXPECT_EQ(WriteTable(','), "Frame,X,Y\r\n"
                               "0,0,\"0,5\",\r\n"
                               "1,10,\"1,5\",\r\n"
                               "2,20,\"2,5\",\r\n");

    // Flat records stay one line each, also in single-track mode.
    CGridDoc2 flat;
    flat.AddObject(new CTextRecord(10, {"Index", "File"}, {"x", "a.bmp"}));
    flat.AddObject(new CTextRecord(10, {"Index", "File"}, {"x", "b.bmp"}));
    flat.BuildTitles();
    flat.LoadColumnConfig();
    flat.m_bSingleTrack = 1;
    std::ostringstream out;
    flat.WriteTable(out, ',');
    EXPECT_EQ(out.str(), "Index,File\r\n0,a.bmp\r\n1,b.bmp\r\n");
}

TEST_F(GridDocTest, AnEmptyTableIsNotExported)
{
    AnswerFileDialog(PathOf("empty.csv"));
    m_doc->OnExportCsv();
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"No objects available !"});
    EXPECT_FALSE(m_bDialogShown);
    EXPECT_FALSE(std::filesystem::exists(PathOf("empty.csv").GetString()));
}

TEST_F(GridDocTest, TheDefaultExportNameFollowsTheDocumentPath)
{
    AddObjects();
    AnswerFileDialog("");
    m_doc->SetPathName(PathOf("run.xml"), FALSE);
    m_doc->OnExportCsv();
    EXPECT_EQ(m_strDialogFileName, PathOf("run.csv"));
    EXPECT_EQ(m_strDialogFilter, "Comma-separated Files (*.csv) |*.csv||");
    // Without a dot the name stays.
    const CString plain = CString((m_folder / "run").c_str());
    m_doc->SetPathName(plain, FALSE);
    m_doc->OnExportText();
    EXPECT_EQ(m_strDialogFileName, plain);
    // Cancelled: no file.
    EXPECT_TRUE(std::filesystem::is_empty(m_folder));
}

TEST_F(GridDocTest, AFileThatCannotBeMadeIsReportedAndAnOldOneIsReplacedWhole)
{
    AddObjects();
    AnswerFileDialog(PathOf("missing/objects.csv"));
    m_doc->OnExportCsv();
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Cannot open file!!"});

    std::ofstream(PathOf("old.csv").GetString()) << std::string(5000, 'x');
    AnswerFileDialog(PathOf("old.csv"));
    m_doc->OnExportCsv();
    EXPECT_EQ(ReadFile("old.csv"), Golden("objects.csv"));
}

// ---- "Tabelle" -------------------------------------------------------------------------------------

TEST_F(GridDocTest, TabelleAnswersThroughItsMemberTable)
{
    AddObjects();
    m_doc->SelectObject(1);
    m_doc->m_arrVisible[2] = 0;
    m_doc->CountVisibleColumns();

    const kestrun::CDispatchMap& map = m_doc->GetDispatchMap();
    EXPECT_EQ(map.GetClassId(), "{8BC6CEE3-C874-11d3-A1B4-00C0A8403DF2}");
    EXPECT_EQ(map.GetCount(), 4);
    EXPECT_EQ(m_doc->GetIDOfName("Count"), 1);
    EXPECT_EQ(m_doc->GetIDOfName("Columns"), 2);
    EXPECT_EQ(m_doc->GetIDOfName("Title"), 3);
    EXPECT_EQ(m_doc->GetIDOfName("value"), 4);

    EXPECT_EQ(Call("Count"), COleVariant(static_cast<short>(2)));
    EXPECT_EQ(Call("Columns"), COleVariant(static_cast<short>(5)));
    EXPECT_EQ(Call("Title", {COleVariant(0L)}), COleVariant("NULL"));
    EXPECT_EQ(Call("Title", {COleVariant(1L)}), COleVariant("Index"));
    EXPECT_EQ(Call("Title", {COleVariant(3L)}), COleVariant("Area[Units]"));
    EXPECT_EQ(Call("Title", {COleVariant(6L)}), COleVariant("NULL"));

    EXPECT_EQ(Call("Value", {COleVariant(1L), COleVariant(1L)}), COleVariant(static_cast<short>(1)));
    EXPECT_EQ(Call("Value", {COleVariant("2"), COleVariant("2")}), COleVariant("80"));
    EXPECT_EQ(Call("Value", {COleVariant(2L), COleVariant(4L)}), COleVariant("10,5"));
    EXPECT_EQ(Call("Value", {COleVariant(1L), COleVariant(5L)}), COleVariant("Big"));
    EXPECT_EQ(Call("Value", {COleVariant(3L), COleVariant(1L)}), COleVariant("NULL"));
    EXPECT_EQ(Call("Value", {COleVariant(1L), COleVariant(6L)}), COleVariant("NULL"));
    EXPECT_THROW(Call("Value", {COleVariant(1L)}), COleDispatchException);
}

TEST_F(GridDocTest, TabelleCountsTheFramesOfASingleTrack)
{
    m_doc->AddObject(new CTestTrack(4));
    m_doc->BuildTitles();
    m_doc->LoadColumnConfig();
    EXPECT_EQ(Call("Count").iVal, 1);
    m_doc->m_bSingleTrack = 1;
    EXPECT_EQ(Call("Count").iVal, 4);
    EXPECT_EQ(Call("Value", {COleVariant(2L), COleVariant(2L)}), COleVariant("10"));
    EXPECT_EQ(Call("Value", {COleVariant(4L), COleVariant(3L)}), COleVariant("3,5"));
    EXPECT_EQ(Call("Value", {COleVariant(5L), COleVariant(2L)}), COleVariant("NULL"));
    // A single-track table without a track has no rows.
    m_doc->DeleteContents();
    EXPECT_EQ(Call("Count").iVal, 0);
}

// ---- notices ---------------------------------------------------------------------------------------

TEST_F(GridDocTest, TheMainWindowGetsTheTableForTheScriptAndHearsOfItsEnd)
{
    AddObjects();
    m_doc->OnCmdMsg(ID_TABLE_EXPORT_EXCEL, CN_COMMAND, nullptr, nullptr);
    const auto runs = m_main->m_log.Of("Message RunMacro ");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].wParam, 0u);
    EXPECT_EQ(runs[0].lParam, DocParam());
    // The script host finds the member table behind the document it is handed.
    auto* script = dynamic_cast<kestrun::CDispatchable*>(reinterpret_cast<CDocument*>(runs[0].lParam));
    ASSERT_NE(script, nullptr);
    EXPECT_EQ(script->Invoke("Count", DISPATCH_METHOD).iVal, 3);

    const LPARAM doc = DocParam();
    m_doc.reset();
    const auto ends = m_main->m_log.Of("DELETE_DOCUMENT");
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].lParam, doc);
}

TEST_F(GridDocTest, ExcludingAnObjectHidesItAndTellsTheWindows)
{
    AddObjects();
    CRect rect;
    m_doc->SetCurrentIndex(1);
    EXPECT_EQ(m_doc->ExcludeCurrentObject(rect), 1);
    EXPECT_EQ(rect, CRect(48, 58, 52, 62));
    EXPECT_TRUE(m_doc->IsSelected(1));
    EXPECT_EQ(m_doc->CountUnselected(), 2);
    EXPECT_TRUE(m_doc->IsModified());
    const auto changed = m_child.m_log.Of("DataChanged");
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].lParam, DocParam());

    // Included again; an object's rectangle is not handed back then.
    CRect untouched(1, 2, 3, 4);
    EXPECT_EQ(m_doc->IncludeCurrentObject(untouched), 1);
    EXPECT_FALSE(m_doc->IsSelected(1));
    EXPECT_EQ(untouched, CRect(1, 2, 3, 4));
    EXPECT_EQ(m_child.m_log.Of("DataChanged").size(), 2u);

    // Contour segments are deleted.
    auto segment = MakeObject(kColumns, {}, {1, 1, 9, 9}, 5);
    segment->m_ID = CGridDoc2::kTypeContourSegment;
    m_doc->AddObject(segment.release());
    m_doc->SetCurrentIndex(3);
    EXPECT_EQ(m_doc->ExcludeCurrentObject(rect), 1);
    EXPECT_EQ(rect, CRect(1, 1, 9, 9));
    EXPECT_EQ(m_doc->GetCount(), 3);

    // Nothing to exclude in an empty table.
    CGridDoc2 empty;
    EXPECT_EQ(empty.ExcludeCurrentObject(rect), 0);
    EXPECT_EQ(empty.IncludeCurrentObject(rect), 0);
}

TEST_F(GridDocTest, TheChartStaysOffUntilItExists)
{
    AddObjects();
    CCmdUI state;
    state.m_nID = ID_TABLE_SHOW_CHART;
    m_doc->OnCmdMsg(ID_TABLE_SHOW_CHART, CN_UPDATE_COMMAND_UI, &state, nullptr);
    EXPECT_FALSE(state.m_bEnabled);
}

} // namespace
