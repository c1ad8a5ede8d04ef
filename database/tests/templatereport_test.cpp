#include "database/templatereport.h"

#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class TemplateReportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("templatereport_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    CString Write(const std::string& name, const std::string& text) const
    {
        std::ofstream(m_dir / name, std::ios::binary) << text;
        return CString((m_dir / name).string().c_str());
    }
    static std::string Read(const CString& path)
    {
        std::ifstream in(static_cast<const char*>(path), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path m_dir;
};

CMapStringToString Values()
{
    CMapStringToString values;
    values.SetAt("datum", "11.12.2026");
    values.SetAt("probe", "<b>A&B</b>");
    values.SetAt("messreihe", "S {datum}");
    return values;
}

CStringArray Cells(const std::vector<const char*>& texts)
{
    CStringArray cells;
    for (const char* text : texts)
        cells.Add(text);
    return cells;
}

struct GoldenCase
{
    const char* name;
    const char* templ;
    const char* expected;
    int result;
    int boxes; // invalid-table messages
};

// Three columns, two rows: "a".."f".
const GoldenCase kGolden[] = {
    {"plain lines, placeholders replaced and escaped, values not expanded again",
     "<p>{datum} {unknown}</p>\r\n{probe}|{messreihe}\nno tags", "<p>11.12.2026 {unknown}</p>\n&lt;b&gt;A&amp;B&lt;/b&gt;|S {datum}\nno tags\n",
     0, 0},
    {"table with a column template",
     "<table>{BEGINTABLE RESULTVALUES}{datum}\n<tr>{BEGINCOLUMN}\n<td>{VALUE}</td>\n{ENDCOLUMN}</tr>\n{ENDTABLE}\n</table>\n",
     "<table>11.12.2026\n<tr><td>a</td><td>b</td><td>c</td></tr>\n<tr><td>d</td><td>e</td><td>f</td></tr>\n</table>\n", 0,
     0},
    {"value-map placeholders inside a block and on the end line stay",
     "{BEGINTABLE RESULTVALUES}\n<tr><td>{datum}</td>{BEGINCOLUMN}\n<td>{VALUE}</td>\n{ENDCOLUMN}\n{ENDTABLE}{datum}\n",
     "\n{datum}<tr><td>{datum}</td><td>a</td><td>b</td><td>c</td>\n<tr><td>{datum}</td><td>d</td><td>e</td><td>f</td>\n", 0, 0},
    {"no COLOR values; VALUE inside longer words",
     "{BEGINTABLE RESULTVALUES}\n{BEGINCOLUMN}\n<td bgcolor={COLOR} class=VALUES>{VALUE}</td>\n{ENDCOLUMN}{ENDTABLE}\n",
     "\n<td bgcolor={COLOR0} class=VALUE0S>a</td><td bgcolor={COLOR1} class=VALUE1S>b</td>"
     "<td bgcolor={COLOR2} class=VALUE2S>c</td>\n<td bgcolor={COLOR0} class=VALUE0S>d</td>"
     "<td bgcolor={COLOR1} class=VALUE1S>e</td><td bgcolor={COLOR2} class=VALUE2S>f</td>\n",
     0, 0},
    {"begin and end column on one line: the end stays in the row template",
     "{BEGINTABLE RESULTVALUES}\n[{BEGINCOLUMN}{ENDCOLUMN}\n{VALUE},\n{ENDCOLUMN}]\n{ENDTABLE}\n",
     "\n[{ENDCOLUMN}a,b,c,]\n[{ENDCOLUMN}d,e,f,]\n", 0, 0},
    {"unknown and nameless tables are ordinary lines",
     "x{BEGINTABLE OTHER}\n{BEGINTABLE}\n{BEGINCOLUMN}VALUE{ENDCOLUMN}\n{ENDTABLE}\n",
     "x{BEGINTABLE OTHER}\n{BEGINTABLE}\n{BEGINCOLUMN}VALUE{ENDCOLUMN}\n{ENDTABLE}\n", 0, 2},
    {"a block without an end is an error",
     "<p>{datum}</p>\n{BEGINTABLE RESULTVALUES}\n{BEGINCOLUMN}VALUE\n{ENDCOLUMN}\n", "<p>11.12.2026</p>\n\n", -6, 0},
    {"an end inside an open column template closes it too",
     "{BEGINTABLE RESULTVALUES}\n{BEGINCOLUMN}{ENDTABLE}\n{BEGINTABLE RESULTVALUES}\n<i>{VALUE0}</i>\n{ENDTABLE}\n",
     "\n\n\n\n<i>a</i>\n<i>d</i>\n", 0, 0},
};

TEST_F(TemplateReportTest, GoldenTemplatesGiveGoldenHtml)
{
    const CMapStringToString values = Values();
    const CStringArray cells = Cells({"a", "b", "c", "d", "e", "f", "g"});
    for (const GoldenCase& golden : kGolden) {
        kestrun::testing::ScopedMessageBoxes boxes;
        CTemplateReport report(FALSE);
        report.SetTemplatePath(Write("t.html", golden.templ));
        report.SetOutputPath((m_dir / "out.html").string().c_str());
        EXPECT_EQ(FillResultTable(report, values, 3, &cells), golden.result) << golden.name;
        EXPECT_EQ(Read(report.GetOutputPath()), golden.expected) << golden.name;
        EXPECT_EQ(static_cast<int>(boxes->Texts().size()), golden.boxes) << golden.name;
    }
}

TEST_F(TemplateReportTest, InvalidTableMessageQuotesTheLine)
{
    kestrun::testing::ScopedMessageBoxes boxes;
    CTemplateReport report(FALSE);
    report.SetTemplatePath(Write("t.html", "<h1>{BEGINTABLE results}</h1>\n"));
    report.SetOutputPath((m_dir / "out.html").string().c_str());
    const CStringArray cells;
    EXPECT_EQ(FillResultTable(report, Values(), 2, &cells), 0);
    ASSERT_EQ(boxes->Texts().size(), 1u);
    EXPECT_EQ(boxes->Texts()[0], CString("Invalid table in HTML template: <h1>{BEGINTABLE results}</h1>"));
}

TEST_F(TemplateReportTest, RowsComeFromWholeRowsOfCells)
{
    struct
    {
        int cells;
        int columns;
        int rows;
    } const cases[] = {{31, 15, 2}, {30, 15, 2}, {14, 15, 0}, {5, 0, 0}, {0, 3, 0}};
    for (const auto& c : cases) {
        CStringArray cells;
        for (int i = 0; i < c.cells; ++i)
            cells.Add("c");
        CTemplateReport report(FALSE);
        report.SetTemplatePath(Write("t.html", "{BEGINTABLE RESULTVALUES}\nrow\n{ENDTABLE}\n"));
        report.SetOutputPath((m_dir / "out.html").string().c_str());
        EXPECT_EQ(FillResultTable(report, Values(), c.columns, &cells), 0);
        std::string expected;
        for (int r = 0; r < c.rows; ++r)
            expected += "row\n";
        EXPECT_EQ(Read(report.GetOutputPath()), "\n" + expected) << c.cells << " cells, " << c.columns << " columns";
    }
    const CStringArray cells = Cells({"a", "b", "c"});
    const struct
    {
        int row;
        int column;
        const char* text;
    } lookups[] = {{0, 0, "a"}, {0, 1, "b"}, {1, 0, "c"}, {1, 1, ""}, {0, -1, ""}, {-1, 1, ""}};
    for (const auto& l : lookups)
        EXPECT_EQ(GetResultCell(&cells, 2, l.row, l.column), CString(l.text)) << l.row << "," << l.column;
    EXPECT_EQ(GetResultCell(nullptr, 2, 0, 0), CString());
}

int SkipOddRows(const char*, CMapStringToString* values, int row, int* emit, void*)
{
    if (row >= 4)
        return 0;
    if (row % 2 == 1)
        *emit = 0;
    if (row == 0)
        values->SetAt("kept", "first");
    CString number;
    number.Format("%d", row);
    values->SetAt("n", number);
    return 1;
}

TEST_F(TemplateReportTest, SkippedRowsWriteNothingAndKeysStay)
{
    CTemplateReport report(FALSE);
    EXPECT_EQ(report.AddTable("T", 1), 0);
    EXPECT_EQ(report.AddTable("U", 2), 1);
    EXPECT_EQ(report.ExpandRows("{n}:{kept}", SkipOddRows, 1, nullptr), CString("0:first\n2:first\n"));
    EXPECT_EQ(report.ExpandRows("{n}", SkipOddRows, 2, nullptr), CString());
    EXPECT_EQ(report.ExpandRows("{n}", nullptr, 0, nullptr), CString());
}

TEST_F(TemplateReportTest, WithoutCallbackTagsAreCopied)
{
    CTemplateReport report(FALSE);
    report.AddTable("RESULTVALUES", 1);
    report.SetTemplatePath(Write("t.html", "{BEGINTABLE RESULTVALUES}{datum}\n{ENDTABLE}\n"));
    report.SetOutputPath((m_dir / "out.html").string().c_str());
    EXPECT_EQ(report.Fill(Values(), nullptr, nullptr), 0);
    EXPECT_EQ(Read(report.GetOutputPath()), "{BEGINTABLE RESULTVALUES}11.12.2026\n{ENDTABLE}\n");
}

TEST_F(TemplateReportTest, FileFailuresGiveTheirResults)
{
    const CString templ = Write("t.html", "{datum}\n");
    const CString blocker = Write("file", "not a folder");
    const CString existing = Write("existing.html", "old\n");
    const struct
    {
        const char* name;
        CString templ;
        CString output;
        BOOL append;
        int result;
    } cases[] = {
        {"no template path", "", existing, FALSE, -1},
        {"no output path", templ, "", FALSE, -2},
        {"template missing", (m_dir / "missing.html").string().c_str(), existing, FALSE, -3},
        {"output folder not writable", templ, blocker + "/out.html", FALSE, -4},
        {"append to a missing file", templ, (m_dir / "missing.html").string().c_str(), TRUE, -5},
    };
    for (const auto& c : cases) {
        CTemplateReport report(c.append);
        report.SetTemplatePath(c.templ);
        report.SetOutputPath(c.output);
        EXPECT_EQ(report.Fill(Values(), nullptr, nullptr), c.result) << c.name;
    }
    EXPECT_EQ(Read(existing), "old\n");
    EXPECT_EQ(Read(blocker), "not a folder");

    CTemplateReport append(TRUE);
    append.SetTemplatePath(templ);
    append.SetOutputPath(existing);
    EXPECT_EQ(append.Fill(Values(), nullptr, nullptr), 0);
    EXPECT_EQ(Read(existing), "old\n11.12.2026\n");
}

TEST(TemplateReportTokens, RemoveTokenAndTags)
{
    const struct
    {
        const char* text;
        const char* token;
        bool removed;
        const char* rest;
    } cases[] = {{"a{X}b{X}", "{X}", true, "ab"}, {"a{X b}", "{X}", false, "a{X b}"}, {"abc", "", false, "abc"}};
    for (const auto& c : cases) {
        CString text = c.text;
        EXPECT_EQ(RemoveToken(text, c.token), c.removed) << c.text;
        EXPECT_EQ(text, CString(c.rest)) << c.text;
    }
    const CTemplateReport report;
    EXPECT_EQ(report.BuildTag("ENDTABLE"), CString("{ENDTABLE}"));
    EXPECT_EQ(report.BuildTag("BEGINTABLE", "R"), CString("{BEGINTABLE R}"));
    CString text = "{a}{b}{a}{{a}";
    CMapStringToString values;
    values.SetAt("a", "1");
    values.SetAt("b", "'\"");
    EXPECT_EQ(report.ReplaceValues(values, text), 4);
    EXPECT_EQ(text, CString("1&#39;&quot;1{1"));
}

} // namespace
