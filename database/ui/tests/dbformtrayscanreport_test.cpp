// The tray-scan form's reports and exports on SQLite, offscreen: the report
// cells and the script's values, Print Report's HTML and workbook routes,
// Show Table, Save Image and the import of a tray folder.
#include "database/ui/tests/dbformtrayscanfixture.h"

#include "database/ui/dbdlgresources.h"
#include "database/ui/reportdlg.h"
#include "database/ui/webbrowser2.h"
#include "dialogtesting.h"
#include "imaging/dibdocex.h"
#include "outside/pixmere/dib.h"
#include "platform/core/variant.h"
#include "platform/ui/staticedit.h"
#include "platform/ui/frame.h"
#include "platform/ui/pathdialog.h"
#include "series/griddoc2.h"
#include "series/ui/gridview2.h"

#include <functional>
#include <iterator>
#include <memory>

namespace {

using namespace kestrun::testing;
using namespace kestrun::dbui;
namespace fs = std::filesystem;

constexpr UINT IDR_TRAYSCAN_TEST_GRID = 7533;

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The main window's part in a workbook report: the scripts it is asked to
// run.
class CScriptRunLog : public CFrameWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == RegisterWindowMessage("Message RunMacro "))
            m_runs.push_back(lParam);
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<LPARAM> m_runs;
};

class TrayScanReportTest : public DBFormTrayScanTest
{
protected:
    // Three records; the second is "M" (area 1 of batch 3) with a share of
    // 12.5 and an area of 12.5.
    CDBFormTrayScan* OpenWithThreeRecords()
    {
        WriteAoiFile("72_1.AOI");
        WriteAoiFile("72_3.AOI");
        CTrayScanRecord record;
        record.strBildname = "20260302 091500 1001.jpg";
        record.strDataName = "20260302 091500 1001.xml";
        record.nAnzahl = 4;
        AddRecord(record);
        record.nGlasNr = 3;
        record.nFuellstand = 1;
        record.strDataName = "20260302 091501 1002.xml";
        record.fArea[1] = 12.5;
        record.fShare[1] = 12.5;
        AddRecord(record);
        record.nGlasNr = 1;
        record.nFuellstand = 0;
        record.strDataName = "20260302 091502 1003.xml";
        AddRecord(record);
        return OpenForm();
    }

    // Runs f with a main window that logs the report scripts it is asked
    // to run.
    std::vector<LPARAM> ScriptRuns(const std::function<void()>& f)
    {
        auto* log = new CScriptRunLog;
        EXPECT_TRUE(log->Create(nullptr, "Report scripts"));
        CWnd* main = m_app.m_pMainWnd;
        m_app.m_pMainWnd = log;
        f();
        m_app.m_pMainWnd = main;
        std::vector<LPARAM> runs = log->m_runs;
        log->DestroyWindow();
        return runs;
    }

    static LPARAM FormParam(CDBFormTrayScan& form) { return reinterpret_cast<LPARAM>(static_cast<CCmdTarget*>(&form)); }
};

TEST_F(TrayScanReportTest, ThreeRecordsGiveSixtyCellsAndTheScriptFortySixElements)
{
    CDBFormTrayScan* form = OpenWithThreeRecords();
    ASSERT_NE(form, nullptr);
    form->OnRecordNext();
    ASSERT_EQ(form->m_strPosition, CString("2/3"));

    std::vector<CString> cells = CDBFormTrayScan::GetReportTitleArray();
    EXPECT_EQ(form->BuildReportRows(cells), 3);
    ASSERT_EQ(cells.size(), 60U);
    const CString second[] = {"2", "2026-03-02 09:15:00", "20260302 091500 1001.jpg", "1002", "72 (0)", "M", "4",
                              "12.50", "0.00", "0.00", "0.00", "12,5", "0,0", "0,0", "0,0"};
    for (size_t i = 0; i < std::size(second); ++i)
        EXPECT_EQ(cells[30 + i], second[i]) << i;
    EXPECT_EQ(cells[15], CString("1"));
    EXPECT_EQ(cells[20], CString("L"));
    // The form stays on its record.
    EXPECT_EQ(form->GetMeasurements()->GetAbsolutePosition(), 2);

    COleVariant array = COleVariant::Array(CVariantArray({{0, 1}}));
    COleVariant argument = COleVariant::ByRef(array);
    EXPECT_EQ(form->GetReportValues(argument), 3);
    const CVariantArray& elements = array.GetArray();
    ASSERT_EQ(elements.Elements().size(), 46U);
    EXPECT_EQ(elements.Elements()[0].ToString(), CString("1"));
    EXPECT_EQ(elements.Elements()[44].ToString(), CString("0,0"));
    EXPECT_EQ(elements.Elements()[45].vt, VT_EMPTY);
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(TrayScanReportTest, HtmlReportShowsTheTitlesAndTheRecords)
{
    CDBFormTrayScan* form = OpenWithThreeRecords();
    ASSERT_NE(form, nullptr);
    const fs::path folder = m_folder.Path() / "reports";
    fs::create_directories(folder);
    std::ofstream(folder / "tray.html") << "<h1>{messreihe} {probe}</h1>\n<table>{BEGINTABLE RESULTVALUES}\n<tr>"
                                           "{BEGINCOLUMN}\n<td>{VALUE}</td>\n{ENDCOLUMN}</tr>\n{ENDTABLE}\n</table>\n";
    form->m_strReport = (folder / "tray.html").c_str();
    CString shown;
    OnNextDialog([&](CDialog& d) {
        shown = dynamic_cast<CReportDlg&>(d).GetBrowser().GetPlainText();
        Press(d, IDOK);
    });
    form->OnPrintReport();
    for (const char* text : {"Trays week 3 Pond B", "Area (Median)", "L [%]", "12,5", "12.50", "1002"})
        EXPECT_NE(shown.Find(text), -1) << text << "\n" << shown.GetString();
    EXPECT_FALSE(fs::exists(folder / "report_temp.html"));
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(TrayScanReportTest, WorkbookIsCopiedBesideTheTemplateBeforeTheScriptRuns)
{
    CDBFormTrayScan* form = OpenWithThreeRecords();
    ASSERT_NE(form, nullptr);
    const fs::path folder = m_folder.Path() / "reports";
    fs::create_directories(folder);
    std::ofstream(folder / "tray.xls") << "template";
    form->m_strReport = (folder / "tray.xls").c_str();

    // Characters that cannot stand in a file name become '_'.
    form->m_strSeries = "Trays \"3\"/b";
    const fs::path workbook = folder / "Trays \"3\"_b.xls";
    EXPECT_EQ(ScriptRuns([&] { form->OnPrintReport(); }), std::vector<LPARAM>{FormParam(*form)});
    EXPECT_EQ(ReadAll(workbook), "template");
    EXPECT_EQ(form->GetReportWorkbook(), CString(workbook.c_str()));
    EXPECT_TRUE(BoxTexts().empty());

    // No series name: "Report.xls".
    form->m_strSeries.Empty();
    EXPECT_EQ(ScriptRuns([&] { form->OnPrintReport(); }).size(), 1U);
    EXPECT_EQ(form->GetReportWorkbook(), CString((folder / "Report.xls").c_str()));

    // An existing workbook and No: kept, no script.
    form->m_strSeries = "Trays \"3\"/b";
    std::ofstream(workbook) << "filled";
    m_boxes->QueueAnswer(IDNO);
    EXPECT_TRUE(ScriptRuns([&] { form->OnPrintReport(); }).empty());
    EXPECT_EQ(ReadAll(workbook), "filled");
    ASSERT_EQ(BoxTexts().size(), 1U);
    EXPECT_NE(BoxTexts()[0].Find("exists - Overwrite(Y/N)"), -1);

    // Yes, but the copy fails: said, and no script runs on the old workbook.
    m_boxes->Clear();
    form->m_strSeries = "blocked";
    fs::create_directories(folder / "blocked.xls");
    m_boxes->QueueAnswer(IDYES);
    EXPECT_TRUE(ScriptRuns([&] { form->OnPrintReport(); }).empty());
    ASSERT_EQ(BoxTexts().size(), 2U);
    EXPECT_NE(BoxTexts()[1].Find("could not be copied"), -1) << BoxTexts()[1].GetString();
    EXPECT_EQ(form->GetReportWorkbook(), CString((folder / "Report.xls").c_str()));

    // ".XLS" is no workbook template: the HTML route, which cannot fill it.
    m_boxes->Clear();
    std::ofstream(folder / "upper.XLS") << "<p>{messreihe}</p>";
    form->m_strReport = (folder / "upper.XLS").c_str();
    bool dialog = false;
    OnNextDialog([&](CDialog& d) {
        dialog = true;
        Press(d, IDOK);
    });
    EXPECT_TRUE(ScriptRuns([&] { form->OnPrintReport(); }).empty());
    EXPECT_TRUE(dialog);
    EXPECT_FALSE(fs::exists(folder / "blocked.XLS"));
}

TEST_F(TrayScanReportTest, ShowTablePutsEachShareUnderItsClassAndNumbersTheRows)
{
    AfxRegisterString(IDR_TRAYSCAN_TEST_GRID, "\nTable\nTable\n\n\n\n");
    auto* grids = new CMultiDocTemplate(IDR_TRAYSCAN_TEST_GRID, RUNTIME_CLASS(CGridDoc2), RUNTIME_CLASS(CMDIChildWnd),
                                        RUNTIME_CLASS(CGridView2));
    m_templates.SetTemplate(CSRC::kGridTemplate, grids);
    const auto shownTable = [grids]() -> CGridDoc2* {
        POSITION position = grids->GetFirstDocPosition();
        CGridDoc2* table = nullptr;
        while (position != nullptr)
            table = dynamic_cast<CGridDoc2*>(grids->GetNextDoc(position));
        return table;
    };
    CDBFormTrayScan* form = OpenWithThreeRecords();
    ASSERT_NE(form, nullptr);
    struct
    {
        std::vector<const char*> classes;
        std::vector<CString> shareTitles;
        std::vector<CString> secondShares;
    } const cases[] = {
        // Only the default class: its own share, Prozent_Normal.
        {{}, {"Empty"}, {"0.0"}},
        {{"Small", "Large"}, {"Small", "Large", "Empty"}, {"12.5", "0.0", "0.0"}},
        // The record keeps the shares of three classes.
        {{"A", "B", "C", "D"}, {"A", "B", "C", "Empty"}, {"12.5", "0.0", "0.0", "0.0"}},
    };
    for (const auto& c : cases) {
        m_engine.m_Classes.RemoveAll();
        for (const char* name : c.classes)
            ASSERT_TRUE(m_engine.m_Classes.AddClass(name));
        form->UpdateData(FALSE);
        m_boxes->Clear();
        form->OnShowTable();
        CGridDoc2* table = shownTable();
        ASSERT_NE(table, nullptr);
        ASSERT_EQ(table->GetCount(), 3);
        const std::vector<CString> fixed = {"Index", "-- Date/Time --", "BarCode", "Tray", "Batch", "Pos",
                                            "Tray Cells", "Count"};
        ASSERT_EQ(table->m_Titles.GetSize(), static_cast<INT_PTR>(fixed.size() + 4 + c.shareTitles.size()));
        for (size_t i = 0; i < fixed.size(); ++i)
            EXPECT_EQ(table->m_Titles[static_cast<INT_PTR>(i)], fixed[i]);
        for (size_t i = 0; i < c.shareTitles.size(); ++i) {
            const int column = static_cast<int>(fixed.size() + 4 + i);
            EXPECT_EQ(table->m_Titles[column], c.shareTitles[i]);
            EXPECT_EQ(table->GetCellText(1, column), c.secondShares[i]) << column;
        }
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(table->GetCellText(row, 0), FormatString("%d", row + 1));
        EXPECT_EQ(table->GetCellText(1, 5), CString("M"));
        EXPECT_EQ(table->GetCellText(1, 8), CString("12.50"));
        EXPECT_TRUE(BoxTexts().empty());
        grids->CloseAllDocuments(FALSE);
    }
}

TEST_F(TrayScanReportTest, SaveImageWritesTheRecordsImageInsideTheImagesFolder)
{
    WriteAoiFile("72_1.AOI");
    CTrayScanRecord record;
    record.strBildname = "saved.jpg";
    AddRecord(record);
    record.strBildname = "../outside.jpg";
    AddRecord(record);
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    ASSERT_NE(form->GetImageDocument(), nullptr);
    form->OnSaveImage();
    EXPECT_TRUE(fs::exists(m_folder.Path() / "images" / "saved.jpg"));
    EXPECT_EQ(form->GetImageDocument()->GetTitle(), CString("saved.jpg"));
    EXPECT_TRUE(BoxTexts().empty()) << BoxTexts().front().GetString();

    form->OnRecordNext();
    form->OnSaveImage();
    EXPECT_FALSE(fs::exists(m_folder.Path() / "outside.jpg"));
    ASSERT_EQ(BoxTexts().size(), 1U);
    EXPECT_NE(BoxTexts()[0].Find("no plain file name"), -1);
}

// ---- Import ------------------------------------------------------------------------------------

// Boxes go to the test's record; a box whose text holds m_strWhen runs
// m_then first (a folder that goes away while a box is open).
class CBoxHook : public IMessageBoxPresenter
{
public:
    explicit CBoxHook(ScriptedMessageBoxes& boxes) : m_boxes(boxes) {}
    int Show(const CString& text, const CString& caption, UINT type) override
    {
        if (m_then && text.Find(m_strWhen) != -1)
            std::exchange(m_then, nullptr)();
        return m_boxes.Show(text, caption, type);
    }
    void Beep(UINT type) override { m_boxes.Beep(type); }

    ScriptedMessageBoxes& m_boxes;
    CString m_strWhen;
    std::function<void()> m_then;
};

class TrayScanImportTest : public TrayScanReportTest
{
protected:
    void SetUp() override
    {
        TrayScanReportTest::SetUp();
        // The image document's tables, as the program has them.
        m_templates.SetTemplate(CSRC::kObjTemplate,
                                new CMultiDocTemplate(IDR_TRAYSCAN_TEST_TABLE, RUNTIME_CLASS(CObjDataDoc),
                                                      RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CGridView2)));
        fs::create_directories(In());
        WriteAoiFile("72_1.AOI");
    }

    void TearDown() override
    {
        TrayScanReportTest::TearDown();
        m_templates.GetTemplate(CSRC::kObjTemplate)->CloseAllDocuments(FALSE);
    }

    fs::path In() const { return m_folder.Path() / "in"; }
    fs::path Images() const { return m_folder.Path() / "images"; }
    fs::path Data() const { return m_folder.Path() / "data"; }

    void WriteImage(const fs::path& path) const
    {
        CDIB page;
        ASSERT_TRUE(page.InitDIB(40, 30, 24));
        ASSERT_TRUE(page.Write(path.c_str()));
    }
    void WriteTable(const fs::path& path) const
    {
        CObjDataDoc table;
        ASSERT_TRUE(table.OnSaveDocument(path.c_str()));
    }

    // Measurement > Import on the folder.
    void Import(CDBFormTrayScan& form, const fs::path& folder)
    {
        OnNextDialog([folder](CDialog& d) {
            dynamic_cast<CPathDialogSub&>(d).PathEdit()->SetWindowText(folder.c_str());
            Press(d, IDOK);
        });
        form.OnImport();
    }

    // DataName and Bildname of every record, in order.
    static std::vector<std::pair<CString, CString>> Records(CDBFormTrayScan& form)
    {
        std::vector<std::pair<CString, CString>> names;
        _RecordsetPtr rs = form.GetMeasurements();
        if (rs->GetRecordCount() <= 0)
            return names;
        const long position = rs->GetAbsolutePosition();
        for (rs->MoveFirst(); !rs->GetEOF(); rs->MoveNext())
            names.emplace_back(GetFieldString(rs, "DataName"), GetFieldString(rs, "Bildname"));
        rs->PutAbsolutePosition(position);
        return names;
    }
};

TEST_F(TrayScanImportTest, TakesTheResultTablesWithTheirImagesAndSideFilesOnly)
{
    WriteAoiFile("128_2.AOI");
    WriteTable(In() / "a.xml");
    std::ofstream(In() / "a.txt") << "Profile:60_40\nImage:other.jpg\nRaster:128\nBatch:2\nIndexAOI:1\n";
    WriteImage(In() / "a.jpg");
    WriteImage(In() / "b.jpg");
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    Import(*form, In());

    // b.jpg stays out: a result table was found.
    using Names = std::vector<std::pair<CString, CString>>;
    EXPECT_EQ(Records(*form), (Names{{"a.xml", "a.jpg"}}));
    EXPECT_TRUE(fs::exists(Images() / "a.jpg"));
    EXPECT_FALSE(fs::exists(Images() / "b.jpg"));
    EXPECT_TRUE(fs::exists(Data() / "a.xml"));
    _RecordsetPtr rs = form->GetMeasurements();
    EXPECT_EQ(GetFieldInt(rs, "Messtag"), 128);
    EXPECT_EQ(GetFieldInt(rs, "GlasNr"), 2);
    EXPECT_EQ(GetFieldInt(rs, "Fuellstand"), 1);
    EXPECT_EQ(GetFieldString(rs, "Messparameter"), CString("60_40"));
    EXPECT_EQ(GetProfileString("DataBase", "Import", ""), CString(In().c_str()));
    EXPECT_TRUE(BoxTexts().empty()) << BoxTexts().front().GetString();

    // Without a table the images are the records.
    fs::remove(In() / "a.xml");
    fs::remove(Images() / "a.jpg");
    fs::remove(Data() / "a.xml");
    Import(*form, In());
    EXPECT_EQ(Records(*form), (Names{{"a.xml", "a.jpg"}, {"", "a.jpg"}, {"", "b.jpg"}}));
}

TEST_F(TrayScanImportTest, NeverOverwritesAFileAndGoesOnWithTheFolder)
{
    // a: its image is in the images folder already; c: its table in the
    // data folder; e: a side file with values that cannot be used; f: no
    // table at all.
    for (const char* name : {"a.xml", "c.xml", "d.xml", "e.xml"})
        WriteTable(In() / name);
    WriteImage(In() / "a.jpg");
    std::ofstream(Images() / "a.jpg") << "old image";
    std::ofstream(Data() / "c.xml") << "old table";
    std::ofstream(In() / "e.txt") << "Raster:../../72\nBatch:x\n";
    std::ofstream(In() / "f.xml") << "no table";
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    Import(*form, In());

    using Names = std::vector<std::pair<CString, CString>>;
    EXPECT_EQ(Records(*form), (Names{{"d.xml", ""}, {"e.xml", ""}}));
    EXPECT_EQ(ReadAll(Images() / "a.jpg"), "old image");
    EXPECT_EQ(ReadAll(Data() / "c.xml"), "old table");
    EXPECT_EQ(GetFieldInt(form->GetMeasurements(), "Messtag"), 72);
    const std::vector<CString> boxes = BoxTexts();
    ASSERT_EQ(boxes.size(), 4U);
    EXPECT_NE(boxes[0].Find("a.jpg exists already"), -1) << boxes[0].GetString();
    EXPECT_NE(boxes[1].Find("c.xml exists already"), -1) << boxes[1].GetString();
    EXPECT_NE(boxes[2].Find("e.txt"), -1) << boxes[2].GetString();
    EXPECT_NE(boxes[3].Find("f.xml"), -1) << boxes[3].GetString();
}

TEST_F(TrayScanImportTest, AFolderThatGoesAwayIsSaidOnceAndTheRecordsMadeStay)
{
    for (const char* name : {"a.xml", "b.xml", "c.xml", "d.xml"})
        WriteTable(In() / name);
    WriteImage(In() / "b.jpg");
    std::ofstream(Images() / "b.jpg") << "old image";
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    auto hook = std::make_shared<CBoxHook>(*m_boxes);
    hook->m_strWhen = "exists already";
    hook->m_then = [this] { fs::remove_all(In()); };
    const auto previous = kestrun::SetMessageBoxPresenter(hook);
    Import(*form, In());
    kestrun::SetMessageBoxPresenter(previous);

    using Names = std::vector<std::pair<CString, CString>>;
    EXPECT_EQ(Records(*form), (Names{{"a.xml", ""}}));
    const std::vector<CString> boxes = BoxTexts();
    ASSERT_EQ(boxes.size(), 2U);
    EXPECT_NE(boxes[1].Find("is gone"), -1) << boxes[1].GetString();
}

} // namespace
