// The measurement document: kinds and their settings, limit events, the
// device-event library and the lid scanner's outputs.

#include "series/tests/measurementtesting.h"

#include "imaging/uwscanner.h"
#include "platform/core/library.h"
#include "platform/core/profile.h"

namespace kestrun::testing {
namespace {

class MeasurementDocTest : public CMeasurementTest
{
};

TEST_F(MeasurementDocTest, KindsNameTheirSectionsAndSettingsGoBackOnClose)
{
    struct sCase
    {
        int kind;
        const char* section;
    };
    const sCase cases[] = {{1, "BV-Document"}, {2, "AD-Document"}, {3, "Undefined"}, {4, "CNT-Document"}};
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.section);
        auto doc = MakeDoc(c.kind);
        EXPECT_EQ(doc->GetDocTypeName(), c.section);
        EXPECT_EQ(doc->m_bUwScannerInfo, 1);
        EXPECT_EQ(doc->m_bWriteAVI, 0);
        EXPECT_EQ(doc->IsNewMeasurement(), TRUE);
    }
    // A kind-1 document writes all ten keys, changed or not, and reads them.
    WriteProfileInt("BV-Document", "LPT Extern Delay2", 250);
    {
        auto doc = MakeDoc(CLineDataDoc::kindImage);
        EXPECT_EQ(doc->m_nDelay2, 250);
        doc->m_bWriteFile = 1;
    }
    const char* keys[] = {"Timing Synchron", "Write AVI",  "Write File",    "ImageFilter",       "ImageFilterType",
                          "LPT Extern",      "UwScanner", "UwScannerInfo", "LPT Extern Delay1", "LPT Extern Delay2"};
    for (const char* key : keys)
        EXPECT_NE(GetProfileInt("BV-Document", key, -7), static_cast<UINT>(-7)) << key;
    EXPECT_EQ(GetProfileInt("BV-Document", "Write File", 0), 1u);
    EXPECT_EQ(GetProfileInt("BV-Document", "UwScannerInfo", 0), 1u);
}

TEST_F(MeasurementDocTest, LimitEventsOncePerCrossing)
{
    struct sCase
    {
        const char* name;
        double lower, upper;
        std::vector<double> values;
        std::vector<CString> events;
    };
    const sCase cases[] = {
        {"equal limits never fire", 5.0, 5.0, {0.0, 10.0, 5.0, -3.0}, {}},
        {"above once, back at the limit", 0.0, 10.0, {11.0, 12.0, 15.0, 10.0, 9.0}, {"HighOn", "HighOff"}},
        {"at the lower limit is not below", 2.0, 10.0, {2.0, 1.9, 1.0, 2.0}, {"LowOn", "LowOff"}},
        {"both limits independent", 2.0, 10.0, {11.0, 1.0, 5.0}, {"HighOn", "HighOff", "LowOn", "LowOff"}},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto doc = MakeDoc();
        doc->m_dLowerLimit = c.lower;
        doc->m_dUpperLimit = c.upper;
        for (const double v : c.values)
            doc->CheckLimits(v);
        EXPECT_EQ(doc->m_events, c.events);
    }
}

TEST_F(MeasurementDocTest, EveryEventReachesTheDeviceEventLibrary)
{
    HMODULE library = LoadLibrary(KESTRUN_FAKE_DREVANT);
    ASSERT_NE(library, nullptr);
    const auto events = reinterpret_cast<const char* (*)()>(GetProcAddress(library, "DrevantEvents"));
    const auto reset = reinterpret_cast<void (*)()>(GetProcAddress(library, "DrevantReset"));
    ASSERT_TRUE(events && reset);
    reset();

    auto doc = MakeDoc();
    // Not loaded: events go nowhere, silently.
    doc->ProcessEvent("On1");
    EXPECT_FALSE(doc->HasDeviceEventHandler());
    doc->SetDeviceEventLibrary("drevant_not_installed");
    doc->LoadDeviceEventHandler();
    EXPECT_FALSE(doc->HasDeviceEventHandler());
    EXPECT_TRUE(m_boxes->Texts().empty());

    auto loaded = MakeDoc();
    loaded->SetDeviceEventLibrary(KESTRUN_FAKE_DREVANT);
    loaded->LoadDeviceEventHandler();
    ASSERT_TRUE(loaded->HasDeviceEventHandler());
    for (const char* name : {"On1", "Off", "Save", "HighOn", "LowOff", "Scanner", "AnyMark"})
        loaded->ProcessEvent(name);
    EXPECT_STREQ(events(), "On1\nOff\nSave\nHighOn\nLowOff\nScanner\nAnyMark\n");
    loaded.reset();
    FreeLibrary(library);
}

class LidScannerDocTest : public CMeasurementTest
{
protected:
    void SetUp() override
    {
        CMeasurementTest::SetUp();
        m_scanner = std::make_unique<CUwScanner>(KESTRUN_UWS_LIBRARY, CString(m_folder.c_str()));
        m_scanner->Load();
        ASSERT_TRUE(m_scanner->IsLoaded());
        for (int lid = 1; lid <= 3; ++lid)
            m_scanner->SetScanner(lid, 0, 0);
    }
    void TearDown() override
    {
        m_scanner.reset();
        CMeasurementTest::TearDown();
    }
    std::unique_ptr<CRecordingDoc> ScannerDoc(int info)
    {
        auto doc = MakeDoc();
        doc->SetScanner(m_scanner.get());
        doc->m_bUwScanner = 1;
        doc->m_bUwScannerInfo = info;
        return doc;
    }
    std::vector<bool> Lids() const
    {
        return {m_scanner->IsLidClosed(0) != FALSE, m_scanner->IsLidClosed(1) != FALSE,
                m_scanner->IsLidClosed(2) != FALSE};
    }

    std::unique_ptr<CUwScanner> m_scanner;
};

TEST_F(LidScannerDocTest, OnAndOffSwitchTheChannelsOfTheItems)
{
    auto doc = ScannerDoc(1);
    ASSERT_TRUE(doc->ApplySetup(Setup(*doc, "AreaChannel", 1)));
    doc->StartMeasurement();
    // The screen items of channels 1 to 3 set the three flags; later
    // channels (4 to 12) switch nothing.
    EXPECT_EQ(doc->m_bChannel[0] + doc->m_bChannel[1] + doc->m_bChannel[2], 3);
    doc->m_bChannel[1] = 0;
    doc->ProcessEvent("On1");
    EXPECT_EQ(Lids(), (std::vector<bool>{true, false, true}));
    EXPECT_EQ(doc->m_TimeMarks.GetAt(doc->m_TimeMarks.GetCount() - 1)->m_strName, "Scanner");
    EXPECT_EQ(doc->m_TimeMarks.GetAt(doc->m_TimeMarks.GetCount() - 1)->m_nInterval, 2000u);

    // The lids are closed: the information window, and the watch ends.
    doc->ProcessEvent("Scanner");
    EXPECT_EQ(m_host.m_infos, std::vector<CString>{"Scanner closed..."});
    EXPECT_EQ(m_host.m_infoTimes, std::vector<UINT>{1500});
    for (INT_PTR i = 0; i < doc->m_TimeMarks.GetCount(); ++i)
        EXPECT_NE(doc->m_TimeMarks.GetAt(i)->m_strName, "Scanner");

    doc->ProcessEvent("Off");
    EXPECT_EQ(Lids(), (std::vector<bool>{false, false, false}));
    doc->StopMeasurement();
}

TEST_F(LidScannerDocTest, OpenLidsKeepTheWatchAndNoScannerSwitchesNothing)
{
    auto doc = ScannerDoc(0);
    doc->m_bChannel[0] = 1;
    doc->ProcessEvent("On1");
    EXPECT_EQ(Lids(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(doc->m_TimeMarks.GetCount(), 0); // no watch without "UwScannerInfo"
    m_scanner->SetScanner(1, 0, 0);
    doc->m_TimeMarks.AddMark("Scanner", 0, 2000);
    doc->ProcessEvent("Scanner");
    EXPECT_TRUE(m_host.m_infos.empty());
    EXPECT_EQ(doc->m_TimeMarks.GetCount(), 1);

    doc->m_bUwScanner = 0;
    doc->ProcessEvent("On1");
    EXPECT_EQ(Lids(), (std::vector<bool>{false, false, false}));
}

} // namespace
} // namespace kestrun::testing
