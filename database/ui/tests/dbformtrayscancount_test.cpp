// The tray-scan form's records and counts: the area classes' limits, and the
// form on SQLite making, counting, searching and importing records.
#include "database/ui/tests/dbformtrayscanfixture.h"

#include "database/ui/dbdlgresources.h"
#include "database/ui/formmessages.h"
#include "database/ui/trayrecord.h"
#include "dialogtesting.h"
#include "imaging/dibdocex.h"
#include "platform/ui/cmdtarget.h"
#include "series/datadoc.h"
#include "series/runhost.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

using namespace kestrun::dbui;
using namespace kestrun::testing;
using namespace kestrun::tray;

// The limits are percentages of the image's median, each cut toward zero to
// a whole number; the first class that takes an area keeps it.
TEST(TrayScanCount, ClassLimitsAreWholeNumbersOfTheMedian)
{
    // Median 10 (the upper middle of 9, 10, 10, 19).
    const std::vector<CTrayObjectValue> objects = {
        {kKindObject, 9.0, 9.0}, {kKindObject, 10.0, 10.0}, {kKindObject, 10.0, 10.0}, {kKindObject, 19.0, 19.0}};
    const std::vector<CTrayClassLimit> classes = {
        {3, 95.0, 99.9, "Narrow", 3}, // 9.5..9.99 becomes 9..9
        {1, 90.0, 199.9, "Wide", 1},  // 9..19.99 becomes 9..19
        {2, 0.0, 1000.0, "Rest", 2},  // never reached for these areas
    };
    const CTrayRecordValues record = ComputeTrayRecord(objects, classes, 72, "Empty");
    ASSERT_EQ(record.classes.size(), 4U);
    const int expected[] = {3, 1, 1, 1};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(record.classes[i].number, expected[i]) << "object " << i;
    ASSERT_TRUE(record.shares.has_value());
    EXPECT_DOUBLE_EQ((*record.shares)[3], 1.3) << "one of 72 in class 3";
    EXPECT_DOUBLE_EQ((*record.shares)[1], 4.1) << "three of 72 in class 1";
}

TEST(TrayScanCount, OneObjectHasNoDeviation)
{
    const CTrayRecordValues record = ComputeTrayRecord({{kKindObject, 12.3499, 12.3499}}, {}, 72, "Empty");
    EXPECT_DOUBLE_EQ(record.deviation, 0.0);
    EXPECT_DOUBLE_EQ(record.mean, 12.34);
    EXPECT_DOUBLE_EQ(record.median, 12.34);
}

// Escape and the pump of Count All, under the test's control.
class CCountAllHost : public CRunHost
{
public:
    CCountAllHost() { kestrun::SetRunHost(this); }
    ~CCountAllHost() override { kestrun::SetRunHost(nullptr); }

    bool IsEscapeDown() override { return m_bEscape; }
    void PumpMessages() override
    {
        if (m_onPump)
            m_onPump();
        CRunHost::PumpMessages();
    }

    bool m_bEscape = false;
    std::function<void()> m_onPump;
};

bool CommandEnabled(CCmdTarget& target, UINT nID)
{
    CCmdUI ui;
    ui.m_nID = nID;
    ui.DoUpdate(&target, TRUE);
    return ui.m_bEnabled != FALSE;
}

class TrayScanCountTest : public DBFormTrayScanTest
{
protected:
    void SetUp() override
    {
        DBFormTrayScanTest::SetUp();
        m_engine.GetSettings().m_SegThres =
            CSegThres(RGB(145, 145, 145), RGB(250, 250, 250), CSegThres::modeDark);
        TeachClasses();
        WriteAoiFile("72_1.AOI");
    }

    // Class 1 takes areas of 50 to 150 % of the image's median, class 2 of
    // 300 to 500 %; a class without an area feature takes none.
    void TeachClasses()
    {
        CClasses& classes = m_engine.m_Classes;
        for (const char* name : {"Texture", "Small", "Large"})
            ASSERT_TRUE(classes.AddClass(name));
        classes[0].AddFeature("Grey", 2, 0.0, 1000.0);
        classes[1].m_nClass = 1;
        classes[1].AddFeature("Area", 1, 50.0, 150.0);
        classes[2].m_nClass = 2;
        classes[2].AddFeature("Area", 1, 300.0, 500.0);
    }

    // Three small discs and one large one inside the tray's first area.
    void WriteTrayImage(const char* name) const
    {
        cv::Mat tray(1200, 1600, CV_8UC3, cv::Scalar::all(235));
        for (cv::Point centre : {cv::Point(200, 300), cv::Point(300, 400), cv::Point(200, 500)})
            cv::circle(tray, centre, 15, cv::Scalar::all(40), cv::FILLED);
        cv::circle(tray, cv::Point(250, 700), 30, cv::Scalar::all(40), cv::FILLED);
        ASSERT_TRUE(cv::imwrite((m_folder.Path() / "images" / name).string(), tray));
    }

    // A record of the tray image "tray.png"; its ID.
    long AddTrayRecord()
    {
        if (!std::filesystem::exists(m_folder.Path() / "images" / "tray.png"))
            WriteTrayImage("tray.png");
        CTrayScanRecord record;
        record.strBildname = "tray.png";
        return AddRecord(record);
    }

    // The record as stored, by its ID.
    _RecordsetPtr Stored(long id) const
    {
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->Open(FormatString("SELECT * FROM Messungen WHERE ID = %ld", id), Connect());
        return rs;
    }

    long Position() const { return m_form->GetMeasurements()->GetAbsolutePosition(); }
};

TEST_F(TrayScanCountTest, CountWritesTheTrayAndItsClassesAfterTheChangeQuestion)
{
    const long id = AddTrayRecord();
    ASSERT_NE(OpenForm(), nullptr);
    ASSERT_NE(m_form->GetImageDocument(), nullptr);

    // Another profile chosen since: asked, and No keeps the record's own,
    // but the count still goes on.
    m_services.m_strProfileName = "60_40";
    m_boxes->QueueAnswer(IDNO);
    Press(*m_form, IDC_COUNT);
    ASSERT_EQ(BoxTexts().size(), 1U);
    EXPECT_EQ(BoxTexts()[0], CString("You have changed Profile from 30_20 to 60_40 - or Tray from 72 to 72 - or Batch "
                                     "from 1 to 1 \n save to Database ?"));
    _RecordsetPtr rs = Stored(id);
    EXPECT_EQ(GetFieldString(rs, "Messparameter"), CString("30_20"));
    EXPECT_EQ(GetFieldInt(rs, "Anzahl"), 4);
    EXPECT_EQ(GetFieldInt(rs, "Anzahl_Manuell"), 72);
    // Median: a small disc. Three small in class 1, the large in class 2.
    EXPECT_NEAR(GetFieldDouble(rs, "Prozent_Hell"), 4.1, 1e-5);
    EXPECT_NEAR(GetFieldDouble(rs, "Prozent_Gelblich"), 1.3, 1e-5);
    EXPECT_NEAR(GetFieldDouble(rs, "Prozent_Normal"), 94.4, 1e-5);
    EXPECT_NEAR(GetFieldDouble(rs, "Prozent_Ausgebleicht"), 0.0, 1e-5);
    EXPECT_GT(GetFieldDouble(rs, "Flaeche_Fronds"), GetFieldDouble(rs, "Flaeche_Median") * 4);
    EXPECT_EQ(m_form->m_nCountTotal, 72);
    auto* table = dynamic_cast<CDataDoc*>(m_form->GetImageDocument()->GetResultDoc());
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->CountUnselected(), 4);
    std::vector<int> classes;
    for (int i = 0; i < 4; ++i)
        classes.push_back(table->GetUnselectedAt(i)->m_dClass);
    std::sort(classes.begin(), classes.end());
    EXPECT_EQ(classes, (std::vector<int>{1, 1, 1, 2}));

    m_services.m_strProfileName = "60_40";
    m_boxes->QueueAnswer(IDYES);
    Press(*m_form, IDC_COUNT);
    EXPECT_EQ(BoxTexts().size(), 2U);
    EXPECT_EQ(GetFieldString(Stored(id), "Messparameter"), CString("60_40"));
}

TEST_F(TrayScanCountTest, CountRefusesWithoutARecordOrWithEdgeObjects)
{
    ASSERT_NE(OpenForm(), nullptr);
    m_form->OnCount();
    const long id = AddTrayRecord();
    m_form->GetMeasurements()->Requery();
    m_form->OnLoadImage();
    m_engine.GetSettings().m_FormThres.m_Model = 1;
    m_form->OnCount();
    EXPECT_EQ(BoxTexts(), (std::vector<CString>{
                              "No dataset available!\nPlease create a new dataset first!",
                              "You have not activated the appropriate options for this measurement!\nPlease activate "
                              "parameter \"Contour\" or \"Ellipse Fit\" in menu Options \\ Form Parameters \\ "
                              "Parameter and Model.",
                          }));
    EXPECT_EQ(GetFieldInt(Stored(id), "Anzahl"), 0);
}

TEST_F(TrayScanCountTest, MoreClassifiedObjectsThanVesselsLeaveNormalAtZeroAndSaySo)
{
    const long id = AddTrayRecord();
    ASSERT_NE(OpenForm(), nullptr);
    m_form->m_strTray = "2";
    m_boxes->QueueAnswer(IDNO);
    Press(*m_form, IDC_COUNT);
    const _RecordsetPtr rs = Stored(id);
    EXPECT_EQ(GetFieldInt(rs, "Anzahl_Manuell"), 2);
    EXPECT_NEAR(GetFieldDouble(rs, "Prozent_Normal"), 0.0, 1e-6);
    EXPECT_NEAR(GetFieldDouble(rs, "Prozent_Hell"), 150.0, 1e-5);
    EXPECT_EQ(m_main->GetMessageText(), CString("4 classified objects in 2 vessels: Normal set to 0."));
}

TEST_F(TrayScanCountTest, CountAllSkipsRecordsWithoutTheirImageAndHoldsTheRecordCommands)
{
    CTrayScanRecord gone;
    gone.strBildname = "gone.png";
    gone.nAnzahl = 9;
    gone.fShare[0] = 50.0;
    CTrayScanRecord outside;
    outside.strBildname = "../tray.png";
    outside.nAnzahl = 5;
    const long ids[] = {AddTrayRecord(), AddRecord(gone), AddRecord(outside)};
    ASSERT_NE(OpenForm(), nullptr);

    CCountAllHost host;
    int pumps = 0;
    host.m_onPump = [&] {
        ++pumps;
        for (UINT id : {ID_DB_NEW_RECORD, ID_DB_DELETE_RECORD, ID_DB_SEARCH_RECORD, ID_DB_IMPORT, ID_RECORD_FIRST})
            EXPECT_FALSE(CommandEnabled(*m_form, id)) << id;
        EXPECT_FALSE(m_form->GetDlgItem(static_cast<int>(IDC_TS_COUNT_ALL))->IsWindowEnabled());
        // A move started meanwhile would take the loop off its record.
        const long position = Position();
        m_form->OnCmdMsg(ID_RECORD_FIRST, CN_COMMAND, nullptr, nullptr);
        EXPECT_EQ(Position(), position);
    };
    Press(*m_form, IDC_TS_COUNT_ALL);

    EXPECT_GE(pumps, 3);
    EXPECT_EQ(GetFieldInt(Stored(ids[0]), "Anzahl"), 4);
    EXPECT_EQ(GetFieldInt(Stored(ids[1]), "Anzahl"), 9) << "not counted on the grey stand-in";
    EXPECT_NEAR(GetFieldDouble(Stored(ids[1]), "Prozent_Normal"), 50.0, 1e-6);
    EXPECT_EQ(GetFieldInt(Stored(ids[2]), "Anzahl"), 5);
    ASSERT_EQ(BoxTexts().size(), 1U);
    EXPECT_EQ(BoxTexts()[0],
              CString("2 records were not counted: their image is missing.\n\n2: gone.png\n3: ../tray.png"));
    EXPECT_EQ(Position(), 3);
    EXPECT_TRUE(CommandEnabled(*m_form, ID_DB_NEW_RECORD));
    EXPECT_TRUE(m_form->GetDlgItem(static_cast<int>(IDC_TS_COUNT_ALL))->IsWindowEnabled());
}

TEST_F(TrayScanCountTest, CountAllWithTheCurrentProfileAlignsEveryRecordWithoutAsking)
{
    WriteAoiFile("72_3.AOI");
    const long id = AddTrayRecord();
    {
        _ConnectionPtr conn = Connect();
        conn->Execute(FormatString("UPDATE Messungen SET Messparameter = '60_40', GlasNr = 3 WHERE ID = %ld", id));
    }
    ASSERT_NE(OpenForm(), nullptr);
    m_services.m_strProfileName = "30_20";
    m_form->m_nBatch = 1;
    m_form->m_bUseCurrentProfile = 1;
    CCountAllHost host;
    Press(*m_form, IDC_TS_COUNT_ALL);
    const _RecordsetPtr rs = Stored(id);
    EXPECT_EQ(GetFieldString(rs, "Messparameter"), CString("30_20"));
    EXPECT_EQ(GetFieldInt(rs, "GlasNr"), 1);
    EXPECT_EQ(GetFieldInt(rs, "Anzahl"), 4);
    EXPECT_TRUE(BoxTexts().empty()) << BoxTexts().front().GetString();
}

TEST_F(TrayScanCountTest, EscapeEndsCountAllBeforeTheNextRecord)
{
    const long first = AddTrayRecord();
    AddTrayRecord();
    ASSERT_NE(OpenForm(), nullptr);
    m_form->OnRecordLast();

    CCountAllHost host;
    host.m_bEscape = true;
    Press(*m_form, IDC_TS_COUNT_ALL);
    EXPECT_EQ(GetFieldInt(Stored(first), "Anzahl"), 0);
    EXPECT_EQ(Position(), 1) << "on the first record, not moved to the last";
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(TrayScanCountTest, FormClosedDuringCountAllEndsItQuietly)
{
    const long first = AddTrayRecord();
    const long second = AddTrayRecord();
    ASSERT_NE(OpenForm(), nullptr);

    CCountAllHost host;
    CFrameWnd* frame = m_form->GetParentFrame();
    host.m_onPump = [&] {
        if (std::exchange(frame, nullptr) != nullptr)
            m_form->GetParentFrame()->SendMessage(WM_CLOSE);
    };
    Press(*m_form, IDC_TS_COUNT_ALL);
    EXPECT_EQ(GetFieldInt(Stored(first), "Anzahl"), 4);
    EXPECT_EQ(GetFieldInt(Stored(second), "Anzahl"), 0);
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(TrayScanCountTest, NewCountStopsWhenTheNewRecordIsCancelled)
{
    AddTrayRecord();
    ASSERT_NE(OpenForm(), nullptr);
    m_form->m_bNewMeasurement = 5;
    m_form->m_bSaveImage = 0;

    OnNextDialog([](CDialog& d) {
        Type(d, IDC_DESCRIPTION, "lot 7");
        Press(d, IDOK);
    });
    m_form->OnNewRecord();
    const _RecordsetPtr rs = m_form->GetMeasurements();
    ASSERT_EQ(rs->GetRecordCount(), 2);
    EXPECT_EQ(Position(), 2);
    EXPECT_EQ(GetFieldInt(rs, "GlasNr"), 1);
    EXPECT_EQ(GetFieldInt(rs, "Messtag"), 5);
    EXPECT_EQ(GetFieldString(rs, "Comment"), CString("lot 7"));
    EXPECT_EQ(GetFieldString(rs, "Bildname"), FormatString("%d.jpg", GetFieldInt(rs, "ID")));

    OnNextDialog([](CDialog& d) { Press(d, IDCANCEL); });
    Press(*m_form, IDC_NEWCOUNT);
    EXPECT_EQ(rs->GetRecordCount(), 2);
    EXPECT_EQ(m_form->m_nNewRecordNumber, 1);
    EXPECT_EQ(GetFieldInt(rs, "Anzahl"), 0) << "nothing counted";
    EXPECT_TRUE(BoxTexts().empty()) << "no change question";
}

TEST_F(TrayScanCountTest, DataChangedWritesOnlyAManualCountOrTheFormsOwnTable)
{
    CTrayScanRecord record;
    record.nAnzahl = 3;
    const long id = AddRecord(record);
    ASSERT_NE(OpenForm(), nullptr);

    CObjDataDoc other;
    m_form->SendMessage(FormMessages().dataChanged, 0, reinterpret_cast<LPARAM>(&other));
    _RecordsetPtr rs = Stored(id);
    EXPECT_EQ(GetFieldInt(rs, "Anzahl"), 3);
    EXPECT_EQ(GetFieldInt(rs, "Anzahl_Manuell"), 0);

    m_form->SendMessage(FormMessages().dataChanged, 17, 0);
    rs = Stored(id);
    EXPECT_EQ(GetFieldInt(rs, "Anzahl_Manuell"), 17);
    EXPECT_EQ(GetFieldInt(rs, "Anzahl"), 3);
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(TrayScanCountTest, SearchTakesTheTextAsTyped)
{
    for (const char* name : {"20260302_091500_4711.xml", "it's_4712.xml", "a*b_4713.xml", "50%_4714.xml"}) {
        CTrayScanRecord record;
        record.strDataName = name;
        AddRecord(record);
    }
    ASSERT_NE(OpenForm(), nullptr);
    const std::pair<const char*, long> cases[] = {{"'", 2}, {"*", 3}, {"%", 4}, {"4714", 4}, {"a_b", 1}};
    for (const auto& [text, position] : cases) {
        m_form->OnRecordLast();
        OnNextDialog([text = text](CDialog& d) {
            Type(d, IDC_BARCODE, text);
            Press(d, IDOK);
        });
        m_form->OnSearchRecord();
        EXPECT_EQ(Position(), position) << text;
    }
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(TrayScanCountTest, ImportedRecordTakesItsDateAndProfile)
{
    AddRecord(CTrayScanRecord());
    ASSERT_NE(OpenForm(), nullptr);
    m_form->m_strComment = "lot 9";
    m_form->AddImportedRecord("20100315_142530_4711.xml", "20100315_142530_4711.jpg", "60_40");
    const _RecordsetPtr rs = m_form->GetMeasurements();
    ASSERT_EQ(rs->GetRecordCount(), 2);
    EXPECT_EQ(Position(), 2);
    COleVariant date = rs->GetCollect("DatumZeit");
    date.ChangeType(VT_DATE);
    EXPECT_NEAR(date.date, 40252.0 + (14 * 3600 + 25 * 60 + 30) / 86400.0, 1e-6);
    EXPECT_EQ(GetFieldString(rs, "Comment"), CString("lot 9"));
    EXPECT_EQ(GetFieldString(rs, "Bildname"), CString("20100315_142530_4711.jpg"));
    const auto selected = std::find(m_services.m_selected.begin(), m_services.m_selected.end(), CString("60_40"));
    ASSERT_NE(selected, m_services.m_selected.end());
    EXPECT_TRUE(m_services.m_quiet[static_cast<size_t>(selected - m_services.m_selected.begin())]);
}

} // namespace
