// The tray-scan form on SQLite, offscreen: the records of the series with
// their tray, batch and areas of interest, the tray chooser, the fields of
// the record, and the "DBFront" titles.
#include "database/ui/tests/dbformtrayscanfixture.h"

#include "database/ui/dbdlgresources.h"
#include "dialogtesting.h"
#include "imaging/dibdocex.h"
#include "outside/pixmere/dib.h"
#include "database/ui/listrows.h"
#include "platform/core/recording_dc.h"
#include "platform/core/variant.h"
#include "series/ui/gridview2.h"
#include "platform/ui/systemlook.h"
#include "platform/ui/listboxes.h"

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <utility>

namespace {

using namespace kestrun::testing;
using namespace kestrun::dbui;

std::vector<CString> ComboItems(CDBFormTrayScan& form, UINT id)
{
    std::vector<CString> items;
    auto* combo = dynamic_cast<CComboBox*>(form.GetDlgItem(static_cast<int>(id)));
    for (int i = 0; combo != nullptr && i < combo->GetCount(); ++i) {
        CString text;
        combo->GetLBText(i, text);
        items.push_back(text);
    }
    return items;
}

TEST_F(DBFormTrayScanTest, OpensOnTheSeriesAndShowsItsFirstRecord)
{
    WriteAoiFile("72_1.AOI");
    CTrayScanRecord first;
    first.strBildname = "first.jpg";
    first.nAnzahl = 7;
    AddRecord(first);
    AddRecord(CTrayScanRecord());
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->m_strSeries, CString("Trays week 3"));
    EXPECT_EQ(form->m_strSample, CString("Pond B"));
    EXPECT_EQ(form->m_nRecordCount, 2);
    EXPECT_EQ(ControlText(*form, IDC_POSITION), CString("1/2"));
    EXPECT_EQ(ControlText(*form, IDC_IMAGE_NAME), CString("first.jpg"));
    EXPECT_EQ(ControlText(*form, IDC_COUNT_VALUE), CString("7"));
    EXPECT_EQ(form->m_strAoiFile, CString("72_1.AOI"));
    EXPECT_EQ(m_engine.m_AOIDoc.GetAOICount(), 3);
    for (UINT id : {IDC_NEWCOUNT, IDC_COUNT, IDC_TS_COUNT_ALL})
        EXPECT_TRUE(form->GetDlgItem(static_cast<int>(id))->IsWindowEnabled()) << id;
    // The image is missing: the grey placeholder stands in for it.
    ASSERT_NE(form->GetImageDocument(), nullptr);
    EXPECT_TRUE(BoxTexts().empty()) << BoxTexts().front().GetString();
}

TEST_F(DBFormTrayScanTest, TrayChooserListsTheConfiguredTypesOrTheBuiltInOnes)
{
    const std::pair<std::string, std::vector<CString>> cases[] = {
        {"[Tray]\nCount=11\nNumber1=96\n", {"72", "128", "264", "480"}},
        {"[Tray]\nCount=2\nNumber1=96\nNumber2=24\nNumber3=384\n", {"96", "24"}},
    };
    for (const auto& [settings, expected] : cases) {
        WriteTraySettings(settings);
        CDBFormTrayScan* form = OpenForm();
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(ComboItems(*form, IDC_TS_TRAY), expected) << settings;
        m_formTemplate->CloseAllDocuments(FALSE);
        delete std::exchange(m_formTemplate, nullptr);
    }
}

TEST_F(DBFormTrayScanTest, EachRecordLoadsTheAreasOfItsTrayAndBatchOnce)
{
    for (const char* name : {"72_1.AOI", "128_3.AOI", "128_1.AOI"})
        WriteAoiFile(name);
    struct
    {
        int messtag;
        int glasNr;
        const char* file;
        int batch;
    } const records[] = {
        {50, 3, "72_1.AOI", 1}, {128, 3, "128_3.AOI", 3}, {128, 7, "128_1.AOI", 1}, {128, 7, "128_1.AOI", 1}};
    for (const auto& record : records) {
        CTrayScanRecord r;
        r.nMesstag = record.messtag;
        r.nGlasNr = record.glasNr;
        AddRecord(r);
    }
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    for (size_t i = 0; i < std::size(records); ++i) {
        if (i > 0)
            form->OnRecordNext();
        EXPECT_EQ(form->m_strAoiFile, CString(records[i].file)) << i;
        EXPECT_EQ(m_services.m_strAOIFile, CString(records[i].file)) << i;
        EXPECT_EQ(form->m_nBatch, records[i].batch) << i;
        EXPECT_EQ(m_engine.m_AOIDoc.GetAOICount(), i < 3 ? 3 : 2) << i;
        // A file loaded again would bring this area back.
        m_engine.m_AOIDoc.DeleteAOI(2);
        m_engine.m_AOIDoc.SetModifiedFlag(FALSE);
    }
    EXPECT_TRUE(BoxTexts().empty()) << BoxTexts().front().GetString();
}

TEST_F(DBFormTrayScanTest, FailedAreaLoadIsTriedAgainOnTheNextRecord)
{
    for (int i = 0; i < 2; ++i) {
        CTrayScanRecord r;
        r.nMesstag = 128;
        r.nGlasNr = 2;
        AddRecord(r);
    }
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(BoxTexts().size(), 1U);
    EXPECT_EQ(BoxTexts()[0], CString("ROI profile 128_2.AOI not found"));
    EXPECT_NE(form->m_strAoiFile, CString("128_2.AOI"));
    EXPECT_EQ(form->m_strTray, CString("72"));

    WriteAoiFile("128_2.AOI", 2);
    form->OnRecordNext();
    EXPECT_EQ(form->m_strAoiFile, CString("128_2.AOI"));
    EXPECT_EQ(form->m_strTray, CString("128"));
    EXPECT_EQ(form->m_nBatch, 2);
    EXPECT_EQ(m_engine.m_AOIDoc.GetAOICount(), 2);
    EXPECT_EQ(BoxTexts().size(), 1U);
}

TEST_F(DBFormTrayScanTest, BarcodeFieldShowsTheBarcodeOfALongDataName)
{
    WriteAoiFile("72_1.AOI");
    const std::pair<const char*, const char*> cases[] = {
        {"20260302_091500_4711.xml", "4711"},
        {"20260302_0915.xml", ""},
    };
    for (const auto& [dataName, barcode] : cases) {
        CTrayScanRecord r;
        r.strDataName = dataName;
        AddRecord(r);
    }
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    for (const auto& [dataName, barcode] : cases) {
        EXPECT_EQ(ControlText(*form, IDC_TS_BARCODE), CString(barcode)) << dataName;
        form->OnRecordNext();
    }
}

TEST_F(DBFormTrayScanTest, ReportTitlesGrowAShortArrayToSixteen)
{
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    for (const auto& [length, expected] : {std::pair{10L, 16L}, std::pair{15L, 15L}}) {
        COleVariant array = COleVariant::Array(CVariantArray({{3, static_cast<LONG>(length)}}));
        COleVariant argument = COleVariant::ByRef(array);
        EXPECT_EQ(form->GetReportTitles(argument), 15) << length;
        const CVariantArray& elements = array.GetArray();
        EXPECT_EQ(elements.GetLBound(1), 3) << length;
        ASSERT_EQ(static_cast<long>(elements.Elements().size()), expected) << length;
        EXPECT_EQ(elements.Elements()[0].ToString(), CString("Index"));
        EXPECT_EQ(elements.Elements()[14].ToString(), CString("L [%]"));
        if (expected == 16)
            EXPECT_EQ(elements.Elements()[15].vt, VT_EMPTY);
    }
    EXPECT_EQ(form->GetReportInfo(0).ToString(), CString("Trays week 3"));
    EXPECT_EQ(form->GetReportInfo(1).vt, VT_EMPTY);
}

} // namespace

namespace {

TEST_F(DBFormTrayScanTest, ResultRowsShowTheAreasAndTheSharesOfTheClasses)
{
    WriteAoiFile("72_1.AOI");
    CTrayScanRecord r;
    r.nAnzahl = 9;
    r.fArea[1] = 12.3456; // cut, not rounded, to two decimals
    r.fArea[2] = 1.999;
    r.fShare[0] = 40.0;
    r.fShare[1] = 30.0;
    r.fShare[2] = 20.0;
    r.fShare[3] = 5.0;
    AddRecord(r);
    // A share far below zero, as a damaged record may hold.
    CTrayScanRecord damaged;
    damaged.nAnzahl = 1;
    damaged.fShare[0] = -1e12;
    AddRecord(damaged);
    using CRows = std::vector<std::vector<CString>>;
    const auto rows = [](const CDBFormTrayScan& form) {
        CRows shown;
        for (const tagDATA_LIST& row : form.GetResultRows())
            shown.push_back({row.strTitle, row.strValue, row.strUnit});
        return shown;
    };
    const CRows areas = {{"Area Sum [mm²]:", "12.340", ""},
                         {"Area Avg [mm²]:", "1.990", ""},
                         {"Area Dev [mm²]:", "0.000", ""},
                         {"Area Median [mm²]:", "0.000", ""}};

    // No learned classes: the areas and the default class; in Mode 2 the
    // shares stay as stored.
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    CRows expected = areas;
    expected.push_back({"Empty", "40.0", "%"});
    EXPECT_EQ(rows(*form), expected);
    EXPECT_EQ(form->GetResultList().GetItemCount(), 5);
    m_formTemplate->CloseAllDocuments(FALSE);
    delete std::exchange(m_formTemplate, nullptr);

    // Four classes, another mode: Normal made up to 100 in steps of 1.
    for (const char* name : {"Light", "Yellowish", "Bleached", "Dark"})
        ASSERT_TRUE(m_engine.m_Classes.AddClass(name));
    m_services.m_nMode = 3;
    form = OpenForm();
    ASSERT_NE(form, nullptr);
    expected = areas;
    expected.push_back({"Light", "30.0", "%"});
    expected.push_back({"Yellowish", "20.0", "%"});
    expected.push_back({"Bleached", "5.0", "%"});
    expected.push_back({"Dark", "", ""});
    expected.push_back({"Empty", "45.0", "%"});
    EXPECT_EQ(rows(*form), expected);
    form->OnRecordNext();
    EXPECT_EQ(form->GetResultRows().back().strValue, CString("100.0"));
}

TEST_F(DBFormTrayScanTest, AreaIndexOutsideTheTrayLeavesTheActiveAreaAndNavigationStopsAtTheEnds)
{
    WriteAoiFile("72_1.AOI");
    for (int area : {2, 5}) {
        CTrayScanRecord r;
        r.nFuellstand = area;
        AddRecord(r);
    }
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->m_nActiveAoi, 2);
    EXPECT_EQ(m_engine.m_AOIDoc.GetActiveIndex(), 2);
    form->OnRecordPrev();
    EXPECT_EQ(form->m_strPosition, CString("1/2"));
    form->OnRecordNext();
    form->OnRecordNext();
    EXPECT_EQ(form->m_strPosition, CString("2/2"));
    EXPECT_EQ(form->m_nActiveAoi, 2);
    EXPECT_EQ(m_engine.m_AOIDoc.GetActiveIndex(), 2);
    EXPECT_NE(form->GetImageDocument(), nullptr);
    EXPECT_TRUE(BoxTexts().empty()) << BoxTexts().front().GetString();
}

} // namespace

namespace {

void Choose(CWnd& form, UINT id, const char* text)
{
    auto* combo = dynamic_cast<CComboBox*>(form.GetDlgItem(static_cast<int>(id)));
    ASSERT_NE(combo, nullptr) << id;
    const int row = combo->FindStringExact(-1, text);
    ASSERT_GE(row, 0) << text;
    combo->SetCurSel(row);
    form.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(CBN_SELCHANGE)),
                     reinterpret_cast<LPARAM>(combo->m_hWnd));
}

TEST_F(DBFormTrayScanTest, ProfileTrayAndBatchChosenInTheFormAreWhatSaveStores)
{
    for (const char* name : {"72_1.AOI", "128_1.AOI", "128_3.AOI"})
        WriteAoiFile(name);
    AddRecord(CTrayScanRecord());
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(ComboItems(*form, IDC_TS_PROFILE), (std::vector<CString>{"30/20", "60/40"}));
    EXPECT_EQ(ControlText(*form, IDC_TS_PROFILE), CString("30/20"));

    Choose(*form, IDC_TS_PROFILE, "60/40");
    ASSERT_FALSE(m_services.m_selected.empty());
    EXPECT_EQ(m_services.m_selected.back(), CString("60_40"));
    EXPECT_FALSE(m_services.m_quiet.back());

    Choose(*form, IDC_TS_TRAY, "128");
    EXPECT_EQ(form->m_strTray, CString("128"));
    EXPECT_EQ(form->m_nBatch, 1);
    EXPECT_EQ(ControlText(*form, IDC_TS_BATCH), CString("1"));
    EXPECT_EQ(m_services.m_strAOIFile, CString("128_1.AOI"));

    Type(*form, IDC_TS_BATCH, "3");
    EXPECT_EQ(form->m_nBatch, 3);
    EXPECT_EQ(m_services.m_strAOIFile, CString("128_3.AOI"));

    // Save writes the tray's areas, changed, and the chosen profile.
    std::unique_ptr<CAOI> added = std::make_unique<CAOI2>(CRect(10, 10, 60, 60));
    ASSERT_NE(m_engine.m_AOIDoc.AddAOI(added), 0);
    Press(*form, IDC_TS_SAVE_AOI);
    ASSERT_FALSE(m_services.m_saved.empty());
    EXPECT_EQ(m_services.m_saved.back(), CString("60_40"));
    m_engine.m_AOIDoc.ClearAOIs();
    ASSERT_TRUE(m_engine.m_AOIDoc.LoadAOIFile(Root() + "128_3.AOI"));
    EXPECT_EQ(m_engine.m_AOIDoc.GetAOICount(), 4);
    EXPECT_TRUE(BoxTexts().empty()) << BoxTexts().front().GetString();

    // Closed, the form keeps tray and batch for the next start.
    m_formTemplate->CloseAllDocuments(FALSE);
    const CString ini = Root() + "program/trayscan.ini";
    EXPECT_EQ(GetPrivateProfileString("Tray", "Type", "", ini), CString("128"));
    EXPECT_EQ(GetPrivateProfileInt("Tray", "Batch", 0, ini), 3U);
}

} // namespace

namespace {

TEST_F(DBFormTrayScanTest, StoredImagesAreShownAndAMissingOneIsGrey)
{
    WriteAoiFile("72_1.AOI");
    const cv::Mat picture(100, 200, CV_8UC3, cv::Scalar(10, 200, 30));
    ASSERT_TRUE(cv::imwrite((m_folder.Path() / "images" / "tray.png").string(), picture));
    // A name that leaves the images folder stands for no image at all.
    ASSERT_TRUE(cv::imwrite((m_folder.Path() / "outside.png").string(), picture));
    for (const char* name : {"tray.png", "missing.png", "../outside.png"}) {
        CTrayScanRecord r;
        r.strBildname = name;
        AddRecord(r);
    }
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    ASSERT_NE(form->GetImageDocument(), nullptr);
    ASSERT_NE(form->GetImageView(), nullptr);
    CDIB* page = form->GetImageDocument()->GetActiveDIB();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetWidth(), 200);
    EXPECT_EQ(page->GetPixel(5, 5), RGB(30, 200, 10));
    for (int i = 0; i < 2; ++i) {
        form->OnRecordNext();
        page = form->GetImageDocument()->GetActiveDIB();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->GetPixel(5, 5), RGB(100, 100, 100)) << i;
    }
    EXPECT_FALSE(ControlText(*form, IDC_DATETIME).IsEmpty());
    EXPECT_TRUE(BoxTexts().empty()) << BoxTexts().front().GetString();
}

TEST_F(DBFormTrayScanTest, DeletedRecordLeavesTheSeriesWithoutAQuestion)
{
    WriteAoiFile("72_1.AOI");
    for (const char* name : {"one.png", "two.png"}) {
        CTrayScanRecord r;
        r.strBildname = name;
        AddRecord(r);
    }
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    form->OnDeleteRecord();
    EXPECT_EQ(form->m_strPosition, CString("1/1"));
    EXPECT_EQ(ControlText(*form, IDC_IMAGE_NAME), CString("two.png"));
    _RecordsetPtr rs = CAdoRecordset::Create();
    rs->Open("SELECT Bildname FROM Messungen", Connect());
    ASSERT_EQ(rs->GetRecordCount(), 1);
    EXPECT_EQ(GetFieldString(rs, "Bildname"), CString("two.png"));
    form->OnDeleteRecord();
    EXPECT_EQ(form->m_nRecordCount, 0);
    for (UINT id : {IDC_NEWCOUNT, IDC_COUNT, IDC_TS_COUNT_ALL})
        EXPECT_FALSE(form->GetDlgItem(static_cast<int>(id))->IsWindowEnabled()) << id;
    EXPECT_TRUE(BoxTexts().empty()) << BoxTexts().front().GetString();
}

} // namespace

namespace {

TEST_F(DBFormTrayScanTest, ReportRowsNameThePositionOfEachRecordByItsAreaAndBatch)
{
    for (const char* name : {"72_1.AOI", "72_2.AOI", "72_3.AOI", "72_4.AOI"})
        WriteAoiFile(name, 4);
    struct
    {
        int area;
        int batch;
        const char* letter;
    } const cases[] = {{0, 4, "L"}, {1, 2, "R"}, {1, 3, "M"}, {2, 1, "R"}, {1, 1, ""}, {3, 2, ""}};
    for (const auto& c : cases) {
        CTrayScanRecord r;
        r.nFuellstand = c.area;
        r.nGlasNr = c.batch;
        AddRecord(r);
    }
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    std::vector<CString> cells;
    ASSERT_EQ(form->BuildReportRows(cells), static_cast<int>(std::size(cases)));
    ASSERT_EQ(cells.size(), std::size(cases) * 15);
    const size_t position = 5; // "Pos"
    ASSERT_EQ(CDBFormTrayScan::GetReportTitleArray()[position], CString("Pos"));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cells[i * 15 + position], CString(cases[i].letter)) << cases[i].area << "/" << cases[i].batch;
    EXPECT_EQ(form->m_strPosition, CString("1/6"));
}

} // namespace

namespace {

TEST_F(DBFormTrayScanTest, ResultRowsArePaintedOnTheButtonFaceWithEmptyCellsLeftOut)
{
    WriteAoiFile("72_1.AOI");
    AddRecord(CTrayScanRecord());
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    CListCtrl& list = form->GetResultList();
    ASSERT_GE(list.GetItemCount(), 5);
    // Row 0 is an area row (no third column), row 4 the default class.
    for (const auto& [row, cells] : {std::pair{0, 2U}, std::pair{4, 3U}}) {
        CRecordingDC dc;
        DRAWITEMSTRUCT item{};
        item.itemID = static_cast<UINT>(row);
        item.hDC = &dc;
        item.rcItem = CRect(0, 0, 400, 16);
        DrawTrayResultRow(list, item);
        std::vector<int> lefts;
        for (const CDCRecord& r : dc.Records()) {
            if (r.op == "FillRect")
                EXPECT_EQ(r.brush.lbColor, GetSysColor(COLOR_BTNFACE));
            if (r.op != "DrawText")
                continue;
            EXPECT_NE(r.format & DT_END_ELLIPSIS, 0U);
            ASSERT_FALSE(r.points.empty());
            lefts.push_back(r.points[0].x);
        }
        ASSERT_EQ(lefts.size(), cells) << row;
        EXPECT_EQ(lefts[0], 2);
        EXPECT_EQ(lefts[1], list.GetColumnWidth(0) + 6);
    }
}

} // namespace

namespace {

TEST_F(DBFormTrayScanTest, WithoutASeriesTheFormSaysSoAndOffersTheSeriesDialog)
{
    Connect()->Execute("DELETE FROM Messreihen");
    CString dialogTitle;
    OnNextDialog([&dialogTitle](CDialog& d) {
        d.GetWindowText(dialogTitle);
        d.EndDialog(IDCANCEL); // Escape: the dialog has no Cancel button
    });
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(BoxTexts().size(), 1U);
    EXPECT_EQ(BoxTexts()[0], CString(kNoSeriesText));
    EXPECT_EQ(dialogTitle, CString("Measurement rows"));
    EXPECT_EQ(form->m_strSeries, CString("Empty"));
    EXPECT_EQ(ControlText(*form, IDC_POSITION), CString("0/0"));
    for (UINT id : {IDC_NEWCOUNT, IDC_COUNT, IDC_TS_COUNT_ALL})
        EXPECT_FALSE(form->GetDlgItem(static_cast<int>(id))->IsWindowEnabled()) << id;
}

} // namespace

namespace {

TEST_F(DBFormTrayScanTest, ResultDataNeedsATableAndAnExistingDataFolder)
{
    WriteAoiFile("72_1.AOI");
    CTrayScanRecord r;
    r.strDataName = "20260302_091500_4711.xml";
    AddRecord(r);
    CDBFormTrayScan* form = OpenForm();
    ASSERT_NE(form, nullptr);
    // Without a result table there is nothing to load into.
    EXPECT_EQ(form->LoadResultData(), 1);

    CMultiDocTemplate tables(IDR_TRAYSCAN_TEST_TABLE, RUNTIME_CLASS(CObjDataDoc), RUNTIME_CLASS(CMDIChildWnd),
                             RUNTIME_CLASS(CGridView2));
    CDocument* table = tables.OpenDocumentFile(nullptr);
    ASSERT_NE(table, nullptr);
    m_services.m_pGridView = table->Views().front();
    m_services.m_strDataDir = Root() + "gone/";
    EXPECT_EQ(form->LoadResultData(), 0);
    m_services.m_pGridView = nullptr;
    tables.CloseAllDocuments(FALSE);
}

} // namespace
