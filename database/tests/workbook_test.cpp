#include "database/tests/workbookfixture.h"
#include "database/workbook/excelobjects.h"
#include "database/workbook/xlsxworkbook.h"

#include "scripthost/vbscript/vbsinterpreter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using kestrun::CWorkbookException;
using kestrun::CXlsxPackage;
using kestrun::CXlsxWorkbook;

namespace {

class WorkbookTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("workbook_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        kestrun::RegisterWorkbookObjects();
        m_template = Write("template.xlsx", kestrun::testing::FixtureWorkbookBytes());
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(m_dir / name, std::ios::binary) << bytes;
        return (m_dir / name).string();
    }
    // The script with "BOOK" replaced by the template's path; its fault.
    std::optional<kestrun::vbs::CVbsFault> RunScript(std::string code) const
    {
        for (auto at = code.find("BOOK"); at != std::string::npos; at = code.find("BOOK"))
            code.replace(at, 4, m_template);
        kestrun::vbs::CVbsInterpreter interpreter;
        return interpreter.Execute(code, 1);
    }
    static CXlsxPackage Package(const std::string& path)
    {
        CXlsxPackage package;
        package.LoadFile(path.c_str());
        return package;
    }

    fs::path m_dir;
    std::string m_template;
};

std::string Shell(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    std::array<char, 4096> buffer{};
    while (size_t got = fread(buffer.data(), 1, buffer.size(), pipe))
        out.append(buffer.data(), got);
    pclose(pipe);
    return out;
}

// A script fills the template: the written cells change, everything else
// (styles, theme, the formula, the merged title, column widths) is as it
// was, and the workbook recalculates when next opened.
TEST_F(WorkbookTest, ScriptFillsTheTemplateAndKeepsItsFormatting)
{
    const CXlsxPackage before = Package(m_template);
    const auto fault = RunScript("Set xl = CreateObject(\"Excel.Application\")\n"
                           "xl.Visible = False\n"
                           "xl.DisplayAlerts = False\n"
                           "Set book = xl.Workbooks.Open(\"BOOK\")\n"
                           "Set sheet = book.Worksheets(1)\n"
                           "If sheet.Range(\"A1\").Value <> \"Bericht Titel\" Then Err.Raise 1000\n"
                           "If sheet.Cells(1, 3).Value <> \"Doppelt\" Then Err.Raise 1001\n"
                           "sheet.Cells(1, 1).Value = \"Serie 7\"\n"
                           "sheet.Cells(2, 1).Value = 21\n"
                           "sheet.Range(\"B2\") = \"Lemna <&> \"\"x\"\"\"\n"
                           "sheet.Cells(5, 4).Value = True\n"
                           "book.Worksheets(\"daten\").Cells(3, 2).Value = 3.25\n"
                           "If xl.Workbooks.Count <> 1 Then Err.Raise 1002\n"
                           "book.Save\n"
                           "book.Close\n"
                           "If xl.Workbooks.Count <> 0 Then Err.Raise 1003\n"
                           "xl.Quit\n");
    ASSERT_FALSE(fault.has_value()) << fault->m_strDescription.GetString();

    CXlsxWorkbook book;
    book.Open(m_template.c_str());
    ASSERT_EQ(book.GetSheetCount(), 2);
    EXPECT_EQ(book.GetSheetName(1), CString("Daten"));
    EXPECT_EQ(book.GetCell(0, 1, 1).bstrVal, CString("Serie 7"));
    EXPECT_EQ(book.GetCell(0, 2, 1).dblVal, 21.0);
    EXPECT_EQ(book.GetCell(0, 2, 2).bstrVal, CString("Lemna <&> \"x\""));
    EXPECT_EQ(book.GetCell(0, 5, 4).vt, VT_BOOL);
    EXPECT_EQ(book.GetCell(1, 3, 2).dblVal, 3.25);
    EXPECT_EQ(book.GetCell(0, 4, 4).vt, VT_EMPTY);

    const CXlsxPackage after = Package(m_template);
    for (const char* part : {"xl/styles.xml", "xl/theme/theme1.xml", "xl/sharedStrings.xml", "xl/calcChain.xml",
                             "[Content_Types].xml", "xl/_rels/workbook.xml.rels"}) {
        ASSERT_NE(after.Find(part), nullptr) << part;
        EXPECT_EQ(*after.Find(part), *before.Find(part)) << part;
    }
    const std::string sheet = *after.Find("xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find(R"(<c r="A1" s="1" t="inlineStr">)"), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("<f>A2*2</f>"), std::string::npos);
    EXPECT_NE(sheet.find(R"(<mergeCell ref="A1:B1"/>)"), std::string::npos);
    EXPECT_NE(sheet.find(R"(<col min="1" max="1" width="30" customWidth="1"/>)"), std::string::npos);
    EXPECT_NE(sheet.find(R"(<dimension ref="A1:D5"/>)"), std::string::npos);
    EXPECT_NE(after.Find("xl/workbook.xml")->find(R"(<calcPr calcId="191029" fullCalcOnLoad="1"/>)"),
              std::string::npos);

    // Another reader sees the same values, in the cells' number format
    // ("0.00") that the template gave them.
    const std::string csv = Shell("xlsx2csv -s 1 '" + m_template + "' 2>&1");
    EXPECT_NE(csv.find("Serie 7,,Doppelt"), std::string::npos) << csv;
    EXPECT_NE(csv.find("21.00,\"Lemna <&> \"\"x\"\"\",2.00"), std::string::npos) << csv;
    EXPECT_NE(Shell("xlsx2csv -n Daten '" + m_template + "' 2>&1").find("3.25"), std::string::npos);
}

// Writing over a formula drops the calculation chain that listed it;
// a new workbook is saved under a name of the script's choice.
TEST_F(WorkbookTest, FormulaOverwrittenAndNewWorkbookSaved)
{
    const std::string made = (m_dir / "made.xlsx").string();
    const auto fault = RunScript("Set xl = CreateObject(\"Excel.Application\")\n"
                           "Set book = xl.Workbooks.Open(\"BOOK\")\n"
                           "book.Worksheets(1).Cells(2, 3).Value = 7\n"
                           "book.Close True\n"
                           "Set fresh = xl.Workbooks.Add\n"
                           "fresh.Worksheets.Item(1).Cells(3, 28).Value = \"AB3\"\n"
                           "fresh.SaveAs \"" + made + "\"\n"
                           "If fresh.Name <> \"made.xlsx\" Then Err.Raise 1000\n"
                           "fresh.Close\n");
    ASSERT_FALSE(fault.has_value()) << fault->m_strDescription.GetString();
    const CXlsxPackage after = Package(m_template);
    EXPECT_EQ(after.Find("xl/calcChain.xml"), nullptr);
    EXPECT_EQ(after.Find("[Content_Types].xml")->find("calcChain"), std::string::npos);
    EXPECT_EQ(after.Find("xl/_rels/workbook.xml.rels")->find("calcChain"), std::string::npos);
    EXPECT_EQ(after.Find("xl/worksheets/sheet1.xml")->find("<f>"), std::string::npos);

    CXlsxWorkbook book;
    book.Open(made.c_str());
    EXPECT_EQ(book.GetCell(0, 3, 28).bstrVal, CString("AB3"));
    EXPECT_NE(Shell("xlsx2csv '" + made + "' 2>&1").find(",AB3"), std::string::npos);
}

// Bad workbooks and bad addresses are script errors that say what is
// wrong, and the file on the disk is left as it was.
TEST_F(WorkbookTest, BadWorkbooksAndAddressesAreScriptErrors)
{
    Write("text.xlsx", "no workbook");
    Write("old.xls", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0'));
    fs::create_directories(m_dir / "blocked");
    Write("file", "in the way");
    struct CCase
    {
        const char* m_code;
        const char* m_said;
    };
    const std::string dir = m_dir.string() + "/";
    const std::string open = "Set xl = CreateObject(\"Excel.Application\")\nSet book = xl.Workbooks.Open(\"BOOK\")\n";
    const CCase cases[] = {
        {"xl.Workbooks.Open \"DIR/missing.xlsx\"", "does not exist"},
        {"xl.Workbooks.Open \"DIR/text.xlsx\"", "is not a workbook"},
        {"xl.Workbooks.Open \"DIR/old.xls\"", "save it as .xlsx"},
        {"book.Worksheets(3).Cells(1, 1).Value = 1", "has no sheet 3"},
        {"book.Worksheets(\"Nope\").Cells(1, 1).Value = 1", "has no sheet Nope"},
        {"book.Worksheets(1).Cells(0, 1).Value = 1", "outside the sheet"},
        {"book.Worksheets(1).Cells(1, 16385).Value = 1", "outside the sheet"},
        {"book.Worksheets(1).Range(\"A0\").Value = 1", "not a single cell"},
        {"book.Worksheets(1).Range(\"A1:B2\").Value = 1", "not a single cell"},
        {"book.Worksheets(1).Cells(1, 1).Value = Array(1)", "can be written"},
        {"Set s = book.Worksheets(1)\nbook.Close\ns.Cells(1, 1).Value = 1", "is closed"},
        {"xl.Workbooks.Add.Save", "use SaveAs"},
        {"book.SaveAs \"DIR/copy.xls\"", "not as 97-2003"},
        {"book.Worksheets(1).Cells(1, 1).Value = 1\nbook.SaveAs \"DIR/file/x.xlsx\"", "cannot be written"},
        {"xl.Workbooks.Item(2).Save", "no open workbook 2"},
    };
    const std::string original = Package(m_template).Find("xl/worksheets/sheet1.xml")->c_str();
    for (const CCase& c : cases) {
        std::string code = open + c.m_code + "\n";
        for (auto at = code.find("DIR/"); at != std::string::npos; at = code.find("DIR/"))
            code.replace(at, 4, dir);
        const auto fault = RunScript(code);
        ASSERT_TRUE(fault.has_value()) << c.m_code;
        EXPECT_NE(fault->m_strDescription.Find(c.m_said), -1) << c.m_code << ": " << fault->m_strDescription.GetString();
    }
    EXPECT_EQ(*Package(m_template).Find("xl/worksheets/sheet1.xml"), original);
    EXPECT_FALSE(fs::exists(m_dir / "copy.xls"));
}

// Damaged packages are refused with a message naming them; part names are
// only keys, never paths.
TEST(XlsxWorkbook, DamagedPackagesAreRefused)
{
    const std::string good = kestrun::testing::FixtureWorkbookBytes();
    const auto damaged = [](std::string bytes) {
        CXlsxWorkbook book;
        try {
            book.Load(bytes.data(), bytes.size(), "damaged.xlsx");
        } catch (const CWorkbookException& e) {
            return e.GetErrorMessage().Find("damaged.xlsx") != -1;
        }
        return false;
    };
    EXPECT_TRUE(damaged(good.substr(0, good.size() / 2)));
    EXPECT_TRUE(damaged(""));
    CXlsxPackage escaping;
    escaping.Set("../../xl/workbook.xml", "<workbook/>");
    EXPECT_TRUE(damaged(escaping.Save()));
    CXlsxPackage noSheets;
    noSheets.Set("xl/workbook.xml", "<workbook><sheets><sheet name=\"x\" r:id=\"rId9\"/></sheets></workbook>");
    EXPECT_TRUE(damaged(noSheets.Save()));
    CXlsxPackage badXml;
    badXml.Set("xl/workbook.xml", "<workbook><sheets>");
    EXPECT_TRUE(damaged(badXml.Save()));

    // A shared-string index past the list is an error, not a read outside it.
    CXlsxPackage package;
    package.Load(good.data(), good.size(), "fixture");
    std::string sheet = *package.Find("xl/worksheets/sheet1.xml");
    sheet.replace(sheet.find("<v>1</v></c></row>"), 8, "<v>99</v>");
    package.Set("xl/worksheets/sheet1.xml", sheet);
    const std::string bytes = package.Save();
    CXlsxWorkbook book;
    book.Load(bytes.data(), bytes.size(), "fixture");
    EXPECT_THROW(book.GetCell(0, 1, 3), CWorkbookException);
    EXPECT_EQ(book.GetCell(0, 1, 1).bstrVal, CString("Bericht Titel"));
}

TEST(XlsxWorkbook, CellReferences)
{
    struct CCase
    {
        const char* m_text;
        bool m_ok;
        long m_row;
        long m_column;
    };
    const CCase cases[] = {{"A1", true, 1, 1},         {"$AB$12", true, 12, 28}, {"xfd1048576", true, 1048576, 16384},
                           {"XFE1", false, 0, 0},      {"A0", false, 0, 0},      {"A1048577", false, 0, 0},
                           {"1A", false, 0, 0},        {"A-1", false, 0, 0},     {"", false, 0, 0},
                           {"AAAA1", false, 0, 0}};
    for (const CCase& c : cases) {
        long row = 0, column = 0;
        EXPECT_EQ(CXlsxWorkbook::ParseReference(c.m_text, row, column), c.m_ok) << c.m_text;
        if (c.m_ok) {
            EXPECT_EQ(row, c.m_row) << c.m_text;
            EXPECT_EQ(column, c.m_column) << c.m_text;
            EXPECT_EQ(CXlsxWorkbook::ParseReference(CXlsxWorkbook::MakeReference(row, column), row, column), true);
        }
    }
    EXPECT_EQ(CXlsxWorkbook::MakeReference(7, 28), CString("AB7"));
}

} // namespace
