// The growth-test database in the program: Mode 3 opens it, a new record is
// made, the plate's image is loaded and counted into the record.

#include "app/tests/apptesting.h"

#include "app/resource.h"

#include "analysis/bv.h"
#include "database/dbdocado.h"
#include "database/dbfields.h"
#include "database/growthschema.h"
#include "database/tests/workbookfixture.h"
#include "database/workbook/xlsxworkbook.h"
#include "database/ui/dbdlgresources.h"
#include "database/ui/dbform.h"
#include "database/ui/listrows.h"
#include "platform/core/recording_dc.h"
#include "platform/ui/systemlook.h"
#include "database/ui/dbverd.h"
#include "database/ui/masterdataresources.h"
#include "database/ui/reportdlg.h"
#include "imaging/src.h"
#include "platform/ui/doctemplate.h"
#include "series/griddoc2.h"
#include "objectmodel/toolfunctions.h"
#include "dialogtesting.h"
#include "imaging/dibdocex.h"
#include "outside/scansource/testing/sanetestbackend.h"
#include "platform/core/messages.h"
#include "platform/ui/doctemplate.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

using namespace kestrun::testing;
using namespace kestrun::dbui;

class GrowthDatabaseTest : public CAppTest
{
protected:
    void SetUp() override
    {
        CAppTest::SetUp();
        ::setenv("ODBCINI", (m_folder / "odbc.ini").c_str(), 1);
        WriteMode(3);
    }
    void TearDown() override
    {
        ::unsetenv("ODBCINI");
        CAppTest::TearDown();
    }

    CString DatabasePath() const { return DataRoot() + "data/Halvorn.db"; }

    _ConnectionPtr Connect() const
    {
        _ConnectionPtr conn = CAdoConnection::Create();
        conn->Open("DRIVER=SQLite3;Database=" + DatabasePath());
        return conn;
    }

    // Measurement > Open Database; the form, or null.
    static CDBForm* OpenDatabase(CKestrunApp& app)
    {
        MainFrame(app).SendMessage(WM_COMMAND, ID_OPEN_DATABASE);
        return dynamic_cast<CDBForm*>(app.GetFormView());
    }

    // A new database with one series, where the program looks first.
    long PrepareDatabase() const
    {
        std::filesystem::create_directories(std::filesystem::path(DatabasePath().GetString()).parent_path());
        _ConnectionPtr conn = Connect();
        PrepareGrowthSchema(conn);
        conn->Execute("INSERT INTO Messreihen (Bezeichnung, Probe) VALUES ('Lemna week 12', 'Pond A')");
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->Open("SELECT ID FROM Messreihen", conn);
        return GetFieldInt(rs, "ID");
    }

    // Two classes that the engine learned by area: small discs are class 1
    // (light), large ones class 2 (yellowish); dark objects on a bright plate.
    static void TeachEngine(CBV& engine)
    {
        engine.GetSettings().m_SegThres = CSegThres(RGB(145, 145, 145), RGB(250, 250, 250), CSegThres::modeDark);
        CClasses& classes = engine.m_Classes;
        ASSERT_TRUE(classes.AddClass("Small"));
        ASSERT_TRUE(classes.AddClass("Large"));
        const double samples[2][2] = {{600.0, 800.0}, {1800.0, 2100.0}};
        for (int i = 0; i < 2; ++i) {
            CVectorNormal& c = classes[i];
            c.AddFeature("Area", 1, 0.0, 1.0);
            c.ResetFeatures();
            c.AddSample(samples[i][0], 0);
            c.AddSample(samples[i][1], 0);
        }
    }

    // Three small discs and one large one; returns their areas as the count
    // measures them: the polygon through the outline's pixel centres.
    static std::vector<double> WritePlate(const CString& path)
    {
        cv::Mat plate(300, 400, CV_8UC3, cv::Scalar::all(235));
        const struct
        {
            cv::Point centre;
            int radius;
        } discs[] = {{{70, 70}, 15}, {{200, 80}, 15}, {{320, 90}, 15}, {{150, 200}, 25}};
        std::vector<double> areas;
        for (const auto& d : discs) {
            cv::circle(plate, d.centre, d.radius, cv::Scalar::all(40), cv::FILLED, cv::LINE_8);
            cv::Mat mask(plate.size(), CV_8U, cv::Scalar(0));
            cv::circle(mask, d.centre, d.radius, cv::Scalar(255), cv::FILLED, cv::LINE_8);
            std::vector<std::vector<cv::Point>> outlines;
            cv::findContours(mask, outlines, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
            areas.push_back(outlines.size() == 1 ? cv::contourArea(outlines[0]) : 0.0);
        }
        EXPECT_TRUE(cv::imwrite(path.GetString(), plate, {cv::IMWRITE_JPEG_QUALITY, 100}));
        return areas;
    }
};

TEST_F(GrowthDatabaseTest, NewRecordLoadCountWritesTheRecordAndTellsTheBox)
{
    const long series = PrepareDatabase();
    CKestrunApp app;
    Start(app);
    TeachEngine(*app.GetEngine());
    CMainFrame& frame = MainFrame(app);

    CDBForm* form = OpenDatabase(app);
    ASSERT_NE(form, nullptr) << (m_boxes->Texts().empty() ? "" : m_boxes->Texts()[0].GetString());
    EXPECT_EQ(form->m_strSeriesName, CString("Lemna week 12"));
    EXPECT_TRUE(frame.m_wndDBToolBar.IsWindowVisible());
    EXPECT_TRUE(QueryCommand(frame, ID_DB_NEW_RECORD).enabled);
    EXPECT_FALSE(QueryCommand(frame, ID_DB_DELETE_RECORD).enabled);

    OnNextDialog([](CDialog& d) {
        Type(d, IDC_DESCRIPTION, "vessel one");
        Press(d, IDOK);
    });
    frame.SendMessage(WM_COMMAND, ID_DB_NEW_RECORD);
    const _RecordsetPtr records = form->GetMeasurements();
    ASSERT_EQ(records->GetRecordCount(), 1);
    const int id = GetFieldInt(records, "ID");
    EXPECT_EQ(GetFieldString(records, "Bildname"), FormatString("%d.jpg", id));

    const CString seriesFolder = AddTrailingBackslash(app.GetImageDir()) + FormatString("%ld/", series);
    const std::vector<double> areas = WritePlate(seriesFolder + FormatString("%d.jpg", id));
    frame.SendMessage(WM_COMMAND, ID_DB_LOAD_IMAGE);
    ASSERT_NE(form->GetImageDocument(), nullptr);
    ASSERT_NE(form->GetImageView(), nullptr);

    const std::string boxBefore = BoxLog();
    Press(*form, IDC_COUNT);

    _ConnectionPtr conn = Connect();
    _RecordsetPtr stored = CAdoRecordset::Create();
    stored->Open(FormatString("SELECT * FROM Messungen WHERE ID = %d", id), conn);
    ASSERT_EQ(stored->GetRecordCount(), 1);
    EXPECT_EQ(GetFieldInt(stored, "Anzahl"), 4);
    EXPECT_EQ(GetFieldInt(stored, "MessreihenID"), series);
    EXPECT_DOUBLE_EQ(GetFieldDouble(stored, "Prozent_Normal"), 0.0);
    EXPECT_DOUBLE_EQ(GetFieldDouble(stored, "Prozent_Hell"), 75.0);
    EXPECT_DOUBLE_EQ(GetFieldDouble(stored, "Prozent_Gelblich"), 25.0);
    EXPECT_DOUBLE_EQ(GetFieldDouble(stored, "Prozent_Ausgebleicht"), 0.0);
    const double sum = areas[0] + areas[1] + areas[2] + areas[3];
    EXPECT_NEAR(GetFieldDouble(stored, "Flaeche_Fronds"), sum, sum * 0.01);
    // Sorted, the median is the upper middle: a small disc.
    EXPECT_NEAR(GetFieldDouble(stored, "Flaeche_Median"), areas[0], areas[0] * 0.01);
    EXPECT_NEAR(GetFieldDouble(stored, "Flaeche_MittelWert"), sum / 4, sum / 4 * 0.01);
    EXPECT_EQ(GetFieldString(stored, "Messparameter"), app.GetCurrentProfileName());
    EXPECT_EQ(GetFieldString(stored, "Bildname"), FormatString("%d.jpg", id));
    EXPECT_EQ(GetFieldString(stored, "Comment"), CString("vessel one"));
    EXPECT_NE(BoxLog().find("SetParam:State=3;", boxBefore.size()), std::string::npos) << BoxLog();
    for (const CString& text : m_boxes->Texts())
        ADD_FAILURE() << text.GetString();
    Stop(app);
}

TEST_F(GrowthDatabaseTest, RecordsOfTheSeriesAreShownMovedAndChangedOnlyAsAsked)
{
    const long series = PrepareDatabase();
    {
        _ConnectionPtr conn = Connect();
        // Ordered by date: the record of the parent folder's image, the
        // one with a name that leaves the folder, the last one empty.
        conn->Execute("INSERT INTO Messungen (MessreihenID, GlasNr, DatumZeit, Bildname, Anzahl, Prozent_Normal, "
                      "Prozent_Hell, Prozent_Gelblich, Prozent_Ausgebleicht, Flaeche_Total) VALUES "
                      "(?, 1, '2026-01-01 10:00:00', 'old.jpg', 3, 33, 33, 33, 0, 12.345), "
                      "(?, 2, '2026-01-02 10:00:00', '../outside.jpg', 0, 0, 0, 0, 0, 0), "
                      "(?, 3, '2026-01-03 10:00:00', NULL, 0, 0, 0, 0, 0, 0)",
                      {COleVariant(series), COleVariant(series), COleVariant(series)});
        conn->Execute("INSERT INTO Messreihen (Bezeichnung) VALUES ('other')");
    }
    CKestrunApp app;
    Start(app);
    const CString images = AddTrailingBackslash(app.GetImageDir());
    std::filesystem::create_directories(images.GetString());
    cv::imwrite((images + "old.jpg").GetString(), cv::Mat(40, 60, CV_8UC3, cv::Scalar::all(200)));
    CMainFrame& frame = MainFrame(app);
    CDBForm* form = OpenDatabase(app);
    ASSERT_NE(form, nullptr);
    const _RecordsetPtr records = form->GetMeasurements();

    // The first record's image came from the parent folder into the series folder.
    const CString seriesFolder = images + FormatString("%ld/", series);
    EXPECT_TRUE(std::filesystem::exists((seriesFolder + "old.jpg").GetString()));
    EXPECT_FALSE(std::filesystem::exists((images + "old.jpg").GetString()));
    EXPECT_NE(form->GetImageDocument(), nullptr);
    EXPECT_EQ(form->m_strPosition, CString("1/3"));
    // 33, 33, 33, 0 of a counted record are shown as 34, 33, 33, 0.
    const auto& rows = form->GetResultRows();
    ASSERT_GE(rows.size(), 6U);
    EXPECT_EQ(rows[0].strValue, CString("12.340"));
    EXPECT_EQ(rows[5].strTitle, CString("Normal"));
    EXPECT_EQ(rows[5].strValue, CString("34"));
    {
        // The result list paints its rows itself: each cell inset by 2
        // pixels, cut with an ellipsis; a selected row in highlight colours.
        CListCtrl& list = form->GetResultList();
        ASSERT_GE(list.GetItemCount(), 6);
        CRecordingDC dc;
        DRAWITEMSTRUCT item{};
        item.itemID = 5;
        item.itemState = ODS_SELECTED;
        item.hDC = &dc;
        item.rcItem = CRect(0, 0, 400, 16);
        DrawResultRow(list, item);
        std::vector<CString> texts;
        int left = 0;
        for (const CDCRecord& r : dc.Records()) {
            if (r.op == "FillRect") {
                EXPECT_EQ(r.brush.lbColor, GetSysColor(COLOR_HIGHLIGHT));
            }
            if (r.op != "DrawText")
                continue;
            texts.push_back(r.text);
            EXPECT_NE(r.format & DT_END_ELLIPSIS, 0U);
            ASSERT_FALSE(r.points.empty());
            EXPECT_EQ(r.points[0].x, left + 2) << r.text.GetString();
            left += list.GetColumnWidth(static_cast<int>(texts.size()) - 1);
        }
        EXPECT_EQ(texts, (std::vector<CString>{rows[5].strTitle, rows[5].strValue, rows[5].strUnit}));
    }
    EXPECT_TRUE(QueryCommand(frame, ID_RECORD_NEXT).enabled);
    EXPECT_FALSE(QueryCommand(frame, ID_RECORD_PREV).enabled);

    // Save Image never overwrites the record's file.
    const auto written = std::filesystem::last_write_time((seriesFolder + "old.jpg").GetString());
    frame.SendMessage(WM_COMMAND, ID_DB_SAVE_IMAGE);
    EXPECT_EQ(std::filesystem::last_write_time((seriesFolder + "old.jpg").GetString()), written);

    // A name with folder parts is refused with one message; nothing is written.
    frame.SendMessage(WM_COMMAND, ID_RECORD_NEXT);
    EXPECT_EQ(form->m_strPosition, CString("2/3"));
    ASSERT_EQ(m_boxes->Texts().size(), 1U);
    EXPECT_NE(m_boxes->Texts()[0].Find("../outside.jpg"), -1);
    frame.SendMessage(WM_COMMAND, ID_DB_SAVE_IMAGE);
    EXPECT_FALSE(std::filesystem::exists((images + "outside.jpg").GetString()));
    m_boxes->Clear();

    // "DataChanged" from another window's table writes nothing; a manual
    // count writes the manual count alone.
    const UINT dataChanged = RegisterWindowMessage("DataChanged");
    CDocument foreign;
    form->SendMessage(dataChanged, 9, reinterpret_cast<LPARAM>(&foreign));
    EXPECT_EQ(GetFieldInt(records, "Anzahl_Manuell"), 0);
    form->SendMessage(dataChanged, 17, 0);
    EXPECT_EQ(GetFieldInt(records, "Anzahl_Manuell"), 17);
    EXPECT_EQ(GetFieldInt(records, "Anzahl"), 0);
    EXPECT_EQ(GetFieldInt(records, "GlasNr"), 2);

    // Another workstation changed the record: the count is refused with the
    // error box, its value stays, and the form moves on without a new error.
    {
        _ConnectionPtr other = Connect();
        other->Execute("UPDATE Messungen SET Anzahl_Manuell = 5 WHERE ID = ?",
                       {COleVariant(static_cast<LONG>(GetFieldInt(records, "ID")))});
        form->SendMessage(dataChanged, 18, 0);
        ASSERT_EQ(m_boxes->Texts().size(), 1U);
        EXPECT_EQ(m_boxes->Texts()[0].Left(6), CString("Error\n"));
        _RecordsetPtr check = CAdoRecordset::Create();
        check->Open("SELECT Anzahl_Manuell FROM Messungen WHERE GlasNr = 2", other);
        EXPECT_EQ(GetFieldInt(check, "Anzahl_Manuell"), 5);
        m_boxes->Clear();
        frame.SendMessage(WM_COMMAND, ID_RECORD_PREV);
        EXPECT_EQ(form->m_strPosition, CString("1/3"));
        EXPECT_TRUE(m_boxes->Texts().empty());
    }

    // Form mode 0: vessel 4 makes GlasNr 5 and proposes 5; the new record
    // is current and holds its own image name.
    form->m_nVessel = 4;
    OnNextDialog([](CDialog& d) { Press(d, IDOK); });
    frame.SendMessage(WM_COMMAND, ID_DB_NEW_RECORD);
    EXPECT_EQ(records->GetRecordCount(), 4);
    EXPECT_EQ(GetFieldInt(records, "GlasNr"), 5);
    EXPECT_EQ(form->m_nVessel, 5);
    EXPECT_EQ(GetFieldString(records, "Bildname"), FormatString("%d.jpg", GetFieldInt(records, "ID")));
    EXPECT_DOUBLE_EQ(GetFieldDouble(records, "Korrekturfaktor"), 1.0);
    // A cancelled dialog adds nothing.
    OnNextDialog([](CDialog& d) { Press(d, IDCANCEL); });
    frame.SendMessage(WM_COMMAND, ID_DB_NEW_RECORD);
    EXPECT_EQ(records->GetRecordCount(), 4);

    frame.SendMessage(WM_COMMAND, ID_DB_DELETE_RECORD);
    EXPECT_EQ(records->GetRecordCount(), 3);
    EXPECT_TRUE(m_boxes->Texts().empty()) << m_boxes->Texts()[0].GetString();
    Stop(app);
}

TEST_F(GrowthDatabaseTest, FormModeOneTakesItsFactorsAndTheNewRecordsDialog)
{
    const long series = PrepareDatabase();
    {
        _ConnectionPtr conn = Connect();
        conn->Execute("UPDATE Messreihen SET V_ReiheID = 4");
        conn->Execute("INSERT INTO Verduennungsstufen (V_ReiheID, GlasNr, Reihenfolge) VALUES (4, 11, 1), (4, 12, 2)");
        // Ordered by vessel, the new record comes before this one.
        conn->Execute("INSERT INTO Messungen (MessreihenID, GlasNr, Bildname) VALUES (?, 20, 'twenty.jpg')",
                      {COleVariant(series)});
    }
    CKestrunApp app;
    Start(app);
    CMainFrame& frame = MainFrame(app);
    CDBForm* form = OpenDatabase(app);
    ASSERT_NE(form, nullptr);
    form->m_nFormMode = 1;
    form->OnUpdate(nullptr, 0, nullptr);

    // The 90 ml factor, typed with a comma, is stored in its row.
    OnNextDialog([](CDialog& d) {
        Type(d, IDC_FACTOR60 + 3, "1,25");
        Press(d, IDOK);
    });
    form->EditCorrectionFactors();
    EXPECT_FLOAT_EQ(form->GetBandFactor(90), 1.25F);
    _ConnectionPtr conn = Connect();
    _RecordsetPtr factor = CAdoRecordset::Create();
    factor->Open("SELECT Faktor FROM Korrekturfaktoren WHERE Fuellstand = 90", conn);
    EXPECT_DOUBLE_EQ(GetFieldDouble(factor, "Faktor"), 1.25);

    // The second vessel, 90 ml and day 7 from the dialog; the form
    // proposes the next vessel.
    form->m_nVessel = 1;
    form->m_nFillLevel = 3;
    OnNextDialog([](CDialog& d) {
        Type(d, IDC_TESTDAY, "7");
        Press(d, IDOK);
    });
    frame.SendMessage(WM_COMMAND, ID_DB_NEW_RECORD);
    const _RecordsetPtr records = form->GetMeasurements();
    ASSERT_EQ(records->GetRecordCount(), 2);
    EXPECT_EQ(records->GetAbsolutePosition(), 1);
    EXPECT_EQ(GetFieldInt(records, "MessreihenID"), series);
    EXPECT_EQ(GetFieldInt(records, "GlasNr"), 12);
    EXPECT_EQ(GetFieldString(records, "Bildname"), FormatString("%d.jpg", GetFieldInt(records, "ID")));
    EXPECT_EQ(GetFieldInt(records, "Fuellstand"), 90);
    EXPECT_EQ(GetFieldInt(records, "Messtag"), 7);
    EXPECT_DOUBLE_EQ(GetFieldDouble(records, "Korrekturfaktor"), 1.25);
    EXPECT_EQ(form->m_nVessel, 2);
    EXPECT_EQ(form->m_nMeasurementDay, 7);
    EXPECT_EQ(form->m_nFillLevel, 3);
    _RecordsetPtr other = CAdoRecordset::Create();
    other->Open("SELECT Bildname FROM Messungen WHERE GlasNr = 20", conn);
    EXPECT_EQ(GetFieldString(other, "Bildname"), CString("twenty.jpg"));
    EXPECT_TRUE(m_boxes->Texts().empty());
    Stop(app);
}

TEST_F(GrowthDatabaseTest, EmptySeriesShowsNoPositionAndDisablesCounting)
{
    PrepareDatabase();
    CKestrunApp app;
    Start(app);
    CMainFrame& frame = MainFrame(app);
    CDBForm* form = OpenDatabase(app);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->m_strPosition, CString("0/0"));
    for (UINT id : {IDC_COUNT, IDC_LOGO})
        EXPECT_FALSE(form->GetDlgItem(static_cast<int>(id))->IsWindowEnabled()) << id;
    EXPECT_FALSE(QueryCommand(frame, ID_DB_DELETE_RECORD).enabled);
    frame.SendMessage(WM_COMMAND, ID_RECORD_NEXT);
    EXPECT_EQ(form->GetImageDocument(), nullptr);
    // Count without records says so and changes nothing.
    form->OnCount();
    ASSERT_EQ(m_boxes->Texts().size(), 1U);
    EXPECT_EQ(m_boxes->Texts()[0], CString("No dataset available!\nPlease create a new dataset first!"));
    // So does Show Table, and it opens no window.
    m_boxes->Clear();
    frame.SendMessage(WM_COMMAND, ID_DB_SHOW_TABLE);
    ASSERT_EQ(m_boxes->Texts().size(), 1U);
    EXPECT_EQ(m_boxes->Texts()[0], CString("No measurement set available."));
    EXPECT_EQ(app.GetTemplates()->GetTemplate(CSRC::kGridTemplate)->GetFirstDocPosition(), nullptr);
    Stop(app);
}

// Reports and the table of a series: "DBFront" hands titles and values to a
// report script, the workbook route copies the template under the series'
// name and runs "script/report.txt" on it, Show Table opens the records.
TEST_F(GrowthDatabaseTest, ReportsAndTheTableReadTheSeriesAndKeepTheRecord)
{
    const long series = PrepareDatabase();
    {
        _ConnectionPtr conn = Connect();
        conn->Execute("INSERT INTO Messungen (MessreihenID, GlasNr, Messtag, DatumZeit, Anzahl, Anzahl_Manuell, "
                      "Flaeche_Total, Prozent_Normal) VALUES "
                      "(?, 2, 3, '2026-01-03 10:00:00', 20, 18, 12.5, 12.5), "
                      "(?, 1, 1, '2026-01-01 10:00:00', 20, 0, 3.14159, 0)",
                      {COleVariant(series), COleVariant(series)});
    }
    const std::filesystem::path scripts = std::filesystem::path(DataRoot().GetString()) / "script";
    std::filesystem::create_directories(scripts);
    std::ofstream(scripts / "report.txt") << "t = Array(\"\")\n"
                                             "n = DBFront.GetReportValues(t)\n"
                                             "MsgBox \"report.xls|\" & n & \"|\" & t(5) & \"|\" & t(6) & \"|\" & t(18) & \"|\" & t(19) & \"|\" & "
                                             "DBFront.ReportColumns & \"|\" & DBFront.GetReportInfo(0)\n";
    CKestrunApp app;
    Start(app);
    CMainFrame& frame = MainFrame(app);
    CDBForm* form = OpenDatabase(app);
    ASSERT_NE(form, nullptr);
    frame.SendMessage(WM_COMMAND, ID_RECORD_NEXT);
    const long shown = GetFieldInt(form->GetMeasurements(), "ID");

    // The workbook route: the template copied beside itself, the script run.
    const std::filesystem::path folder = m_folder / "reports";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "template.xlsx") << "workbook";
    form->m_strReportTemplate = (folder / "template.xlsx").c_str();
    // A quote in the name must not end the script's string literal.
    form->m_strSeriesName = "Lemna \"12\"/x";
    m_boxes->Clear();
    ASSERT_TRUE(QueryCommand(frame, ID_DB_PRINT_REPORT).enabled);
    frame.SendMessage(WM_COMMAND, ID_DB_PRINT_REPORT);
    const std::filesystem::path workbook = folder / "Lemna \"12\"_x.xlsx";
    EXPECT_TRUE(std::filesystem::exists(workbook));
    // Ordered by vessel: the second record inserted comes first. Its area
    // is 3,14, the other's count the manual one.
    ASSERT_EQ(m_boxes->Texts().size(), 1U);
    EXPECT_EQ(m_boxes->Texts()[0], CString((workbook.string() + "|2|3,14|20|12,50|18|13|Lemna \"12\"/x").c_str()));
    EXPECT_EQ(GetFieldInt(form->GetMeasurements(), "ID"), shown);

    // An existing workbook is kept when the user says No; no script runs.
    m_boxes->Clear();
    m_boxes->QueueAnswer(IDNO);
    frame.SendMessage(WM_COMMAND, ID_DB_PRINT_REPORT);
    ASSERT_EQ(m_boxes->Texts().size(), 1U);
    EXPECT_NE(m_boxes->Texts()[0].Find("exists - Overwrite(Y/N)"), -1);

    // An HTML template: the filled report in the report window, which
    // prints; its file goes when the window closes.
    std::ofstream(folder / "vovod.html") << "<h1>{messreihe}</h1>\n<table>{BEGINTABLE RESULTVALUES}\n<tr>"
                                            "{BEGINCOLUMN}\n<td>{VALUE}</td>\n{ENDCOLUMN}</tr>\n{ENDTABLE}\n</table>\n";
    form->m_strReportTemplate = (folder / "vovod.html").c_str();
    m_boxes->Clear();
    CString shownText;
    bool printed = false;
    OnNextDialog([&](CDialog& d) {
        auto& report = dynamic_cast<CReportDlg&>(d);
        shownText = report.GetBrowser().GetPlainText();
        printed = report.GetBrowser().PrintToPdf((folder / "report.pdf").c_str()) != FALSE;
        Press(d, IDOK);
    });
    frame.SendMessage(WM_COMMAND, ID_DB_PRINT_REPORT);
    EXPECT_NE(shownText.Find("Lemna \"12\"/x"), -1) << shownText.GetString();
    EXPECT_NE(shownText.Find("3,14"), -1) << shownText.GetString();
    EXPECT_TRUE(printed);
    EXPECT_GT(std::filesystem::file_size(folder / "report.pdf"), 500U);
    EXPECT_FALSE(std::filesystem::exists(folder / "report_temp.html"));
    EXPECT_EQ(GetFieldInt(form->GetMeasurements(), "ID"), shown);
    // A template that cannot be read: "Error in report" and no window.
    form->m_strReportTemplate = (folder / "missing.html").c_str();
    frame.SendMessage(WM_COMMAND, ID_DB_PRINT_REPORT);
    ASSERT_EQ(m_boxes->Texts().size(), 1U);
    EXPECT_EQ(m_boxes->Texts()[0], CString("Error in report"));

    // Show Table: one row per record, in date order.
    m_boxes->Clear();
    frame.SendMessage(WM_COMMAND, ID_DB_SHOW_TABLE);
    CMultiDocTemplate* tables = app.GetTemplates()->GetTemplate(CSRC::kGridTemplate);
    POSITION position = tables->GetFirstDocPosition();
    auto* table = position != nullptr ? dynamic_cast<CGridDoc2*>(tables->GetNextDoc(position)) : nullptr;
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->GetCount(), 2);
    EXPECT_EQ(table->m_Titles.GetSize(), 14);
    EXPECT_EQ(table->GetCellText(0, 4), CString("3,14"));
    EXPECT_EQ(table->GetCellText(1, 9), CString("18"));
    EXPECT_TRUE(m_boxes->Texts().empty());

    // The example export script writes the table into a new workbook.
    std::ifstream example(KESTRUN_EXAMPLES_DIR "/export.txt", std::ios::binary);
    std::string code((std::istreambuf_iterator<char>(example)), std::istreambuf_iterator<char>());
    const std::filesystem::path exported = folder / "table.xlsx";
    const auto target = code.find("/tmp/kestrun-table.xlsx");
    ASSERT_NE(target, std::string::npos);
    code.replace(target, std::strlen("/tmp/kestrun-table.xlsx"), exported.string());
    std::ofstream(scripts / "export.txt", std::ios::binary) << code;
    table->OnExportExcel();
    EXPECT_TRUE(m_boxes->Texts().empty()) << m_boxes->Texts()[0].GetString();
    kestrun::CXlsxWorkbook book;
    book.Open(exported.c_str());
    EXPECT_EQ(book.GetCell(0, 1, 1).bstrVal, CString("Index"));
    EXPECT_EQ(book.GetCell(0, 2, 1).dblVal, 1.0);
    EXPECT_EQ(book.GetCell(0, 2, 5).bstrVal, CString("3,14"));
    EXPECT_EQ(book.GetCell(0, 3, 10).bstrVal, CString("18"));
    Stop(app);
}

// On a fresh data root the program puts a report template and a report
// script there: Print Report fills the HTML template at once, and with a
// formatted workbook template the script fills a copy of it through
// "DBFront", keeping the template's formatting and formula.
TEST_F(GrowthDatabaseTest, AFreshInstallReportsToHtmlAndToAWorkbook)
{
    PrepareDatabase();
    {
        _ConnectionPtr conn = Connect();
        conn->Execute("INSERT INTO Messungen (MessreihenID, GlasNr, Messtag, DatumZeit, Anzahl, Anzahl_Manuell, "
                      "Flaeche_Total, Prozent_Normal) SELECT ID, 2, 3, '2026-01-03 10:00:00', 20, 18, 12.5, 12.5 "
                      "FROM Messreihen");
        conn->Execute("INSERT INTO Messungen (MessreihenID, GlasNr, Messtag, DatumZeit, Anzahl, Anzahl_Manuell, "
                      "Flaeche_Total, Prozent_Normal) SELECT ID, 1, 1, '2026-01-01 10:00:00', 20, 0, 3.14159, 0 "
                      "FROM Messreihen");
    }
    const std::filesystem::path root(DataRoot().GetString());
    ASSERT_FALSE(std::filesystem::exists(root / "script" / "report.txt"));
    CKestrunApp app;
    Start(app);
    CMainFrame& frame = MainFrame(app);
    EXPECT_TRUE(std::filesystem::exists(root / "data" / "vovod.html"));
    EXPECT_TRUE(std::filesystem::exists(root / "script" / "report.txt"));
    CDBForm* form = OpenDatabase(app);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->m_strReportTemplate, DataRoot() + "data/vovod.html");
    for (UINT id : {ID_DB_PRINT_REPORT, ID_DB_SERIES, ID_DB_SAMPLES, ID_DB_DILUTION, ID_DB_SHOW_TABLE})
        EXPECT_TRUE(QueryCommand(frame, id).enabled) << id;

    m_boxes->Clear();
    CString shownText;
    OnNextDialog([&](CDialog& d) {
        shownText = dynamic_cast<CReportDlg&>(d).GetBrowser().GetPlainText();
        Press(d, IDOK);
    });
    frame.SendMessage(WM_COMMAND, ID_DB_PRINT_REPORT);
    EXPECT_TRUE(m_boxes->Texts().empty());
    EXPECT_NE(shownText.Find("Measurement row Lemna week 12"), -1) << shownText.GetString();
    EXPECT_NE(shownText.Find("12,50"), -1) << shownText.GetString();
    EXPECT_FALSE(std::filesystem::exists(root / "data" / "report_temp.html"));

    const std::filesystem::path folder = m_folder / "reports";
    std::filesystem::create_directories(folder);
    const std::string templateBytes = kestrun::testing::FixtureWorkbookBytes();
    std::ofstream(folder / "template.xlsx", std::ios::binary) << templateBytes;
    form->m_strReportTemplate = (folder / "template.xlsx").c_str();
    frame.SendMessage(WM_COMMAND, ID_DB_PRINT_REPORT);
    EXPECT_TRUE(m_boxes->Texts().empty()) << m_boxes->Texts()[0].GetString();
    const std::filesystem::path filled = folder / "Lemna week 12.xlsx";
    ASSERT_TRUE(std::filesystem::exists(filled));

    kestrun::CXlsxWorkbook book;
    book.Open(filled.c_str());
    EXPECT_EQ(book.GetCell(0, 1, 1).bstrVal, CString("Lemna week 12"));
    EXPECT_EQ(book.GetCell(0, 3, 1).vt, VT_BSTR);
    // Ordered by vessel; numbers with a decimal comma went in as numbers.
    EXPECT_DOUBLE_EQ(book.GetCell(0, 4, 6).dblVal, 3.14);
    EXPECT_DOUBLE_EQ(book.GetCell(0, 4, 7).dblVal, 20.0);
    EXPECT_DOUBLE_EQ(book.GetCell(0, 5, 6).dblVal, 12.5);
    EXPECT_DOUBLE_EQ(book.GetCell(0, 5, 7).dblVal, 18.0);
    EXPECT_DOUBLE_EQ(book.GetCell(0, 2, 1).dblVal, 1.0); // the template's own value
    kestrun::CXlsxPackage before;
    before.Load(templateBytes.data(), templateBytes.size(), "template");
    kestrun::CXlsxPackage after;
    after.LoadFile(filled.c_str());
    for (const char* part : {"xl/styles.xml", "xl/theme/theme1.xml", "xl/calcChain.xml"})
        EXPECT_EQ(*after.Find(part), *before.Find(part)) << part;
    EXPECT_NE(after.Find("xl/worksheets/sheet1.xml")->find("<f>A2*2</f>"), std::string::npos);

    std::string csv;
    if (FILE* pipe = popen(("xlsx2csv '" + filled.string() + "' 2>&1").c_str(), "r")) {
        std::array<char, 4096> buffer{};
        while (size_t got = fread(buffer.data(), 1, buffer.size(), pipe))
            csv.append(buffer.data(), got);
        pclose(pipe);
    }
    EXPECT_NE(csv.find("Lemna week 12,,Doppelt"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",3.14,20,"), std::string::npos) << csv;
    // The template stays as it was.
    std::ifstream original(folder / "template.xlsx", std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(original)), std::istreambuf_iterator<char>()),
              templateBytes);

    // Database > Dilution Series works on the document's recordsets.
    OnNextDialog([](CDialog& d) {
        OnNextDialog([](CDialog& entry) {
            Type(entry, IDC_NEW_ENTRY_TEXT, "1:10");
            Press(entry, IDOK);
        });
        Press(d, IDC_DILUTION_ADD);
        EXPECT_EQ(dynamic_cast<CDBVerd&>(d).GetSeriesList().GetItemText(0, 1), CString("1:10"));
        Press(d, IDOK);
    });
    frame.SendMessage(WM_COMMAND, ID_DB_DILUTION);
    _RecordsetPtr dilutions = CAdoRecordset::Create();
    dilutions->Open("SELECT Bezeichnung FROM Verduennungsreihen", Connect());
    EXPECT_EQ(GetFieldString(dilutions, "Bezeichnung"), CString("1:10"));
    Stop(app);
}

} // namespace

namespace {

TEST_F(GrowthDatabaseTest, AScanGoesToTheOpenDatabaseForm)
{
    kestrun::testing::CScopedSaneTestBackend backend("mode Color\nresolution 254\nbr_x 10\nbr_y 20\n");
    PrepareDatabase();
    CKestrunApp app;
    Start(app);
    CDBForm* form = OpenDatabase(app);
    ASSERT_NE(form, nullptr);
    const int documents = [&] {
        int count = 0;
        for (POSITION pos = app.GetImageTemplate()->GetFirstDocPosition(); pos != nullptr; ++count)
            app.GetImageTemplate()->GetNextDoc(pos);
        return count;
    }();

    m_boxes->QueueAnswer(IDOK); // the scan's question
    MainFrame(app).SendMessage(WM_COMMAND, ID_TWAIN_ACQUIRE);
    while (kestrun::PumpMessages() > 0) {
    }
    ASSERT_NE(form->GetImageDocument(), nullptr);
    EXPECT_EQ(form->GetImageDocument()->GetPageSize(), CSize(100, 200));
    EXPECT_NE(form->GetImageView(), nullptr);
    // No image window of its own.
    int after = 0;
    for (POSITION pos = app.GetImageTemplate()->GetFirstDocPosition(); pos != nullptr; ++after)
        app.GetImageTemplate()->GetNextDoc(pos);
    EXPECT_EQ(after, documents);
    EXPECT_EQ(m_boxes->Texts().size(), 1u);
    Stop(app);
}

} // namespace
