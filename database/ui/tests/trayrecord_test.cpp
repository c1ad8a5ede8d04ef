#include "database/dbfields.h"
#include "database/growthschema.h"
#include "database/ui/trayrecord.h"
#include "platform/database/testing/test_database.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace kestrun::tray;

std::vector<CTrayObjectValue> Objects(int kind, std::initializer_list<double> values)
{
    std::vector<CTrayObjectValue> objects;
    for (double value : values)
        objects.push_back(CTrayObjectValue{kind, value, value});
    return objects;
}

// Class 1 takes every area from 0 to 200 % of the median.
const std::vector<CTrayClassLimit> kClassOneTakesAll = {{1, 0.0, 200.0, "Hell", 0x00FFFF}};

TEST(TrayRecord, VesselsFromTrayBatchAndRaster)
{
    struct Case
    {
        const char* tray;
        int batch;
        std::optional<int> cells;
        int vessels;
    };
    const Case cases[] = {
        {"72", 1, std::nullopt, 72},    {"128", 1, 24, 128},  {"128", 2, 24, 24},
        {"128", 2, std::nullopt, 128},  {"Tray", 1, std::nullopt, 72}, {"264a", 1, std::nullopt, 264},
        {"480", 3, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TrayVessels(c.tray, c.batch, c.cells), c.vessels) << c.tray << " batch " << c.batch;
}

TEST(TrayRecord, RecordValues)
{
    struct Case
    {
        const char* what;
        std::vector<CTrayObjectValue> objects;
        int vessels;
        std::optional<std::vector<double>> shares; // normal, light, yellowish, bleached
        double mean;
        double median;
        bool warns;
    };
    std::vector<CTrayObjectValue> mixed = Objects(kKindObject, {10.0, 10.0});
    mixed.push_back(CTrayObjectValue{kKindEllipse, 1.0, 1.0});
    mixed.push_back(CTrayObjectValue{kKindAreaOnly, 0.0, 5.0});
    const Case cases[] = {
        {"7 of class 1 in tray 72", Objects(kKindObject, {1, 1, 1, 1, 1, 1, 1}), 72,
         std::vector<double>{90.2, 9.7, 0, 0}, 1.0, 1.0, false},
        {"raster of 24 cells", Objects(kKindObject, {2, 2, 2}), 24, std::vector<double>{87.5, 12.5, 0, 0}, 2.0, 2.0,
         false},
        {"1 to 4: upper median of the values only", Objects(kKindObject, {4, 1, 3, 2}), 72,
         std::vector<double>{94.4, 5.5, 0, 0}, 2.5, 3.0, false},
        {"mean 12.3456 stored as 12.34", Objects(kKindEllipse, {12.3456}), 72, std::vector<double>{100.0, 0, 0, 0},
         12.34, 12.34, false},
        {"ellipses take no classes", Objects(kKindEllipse, {100.0, 0.0}), 72, std::vector<double>{100.0, 0, 0, 0},
         50.0, 100.0, false},
        {"no objects", {}, 72, std::vector<double>{100.0, 0, 0, 0}, 0.0, 0.0, false},
        {"more classified than vessels", Objects(kKindObject, {1, 1, 1}), 2, std::vector<double>{0, 150.0, 0, 0},
         1.0, 1.0, true},
        {"no vessels", Objects(kKindObject, {1}), 0, std::nullopt, 1.0, 1.0, true},
        {"each kind its own", mixed, 72, std::vector<double>{97.2, 2.7, 0, 0}, 7.0, 10.0, false},
    };
    for (const Case& c : cases) {
        const CTrayRecordValues record = ComputeTrayRecord(c.objects, kClassOneTakesAll, c.vessels, "Empty");
        EXPECT_EQ(record.shares.has_value(), c.shares.has_value()) << c.what;
        if (record.shares && c.shares) {
            for (size_t i = 0; i < 4; ++i)
                EXPECT_DOUBLE_EQ((*record.shares)[i], (*c.shares)[i]) << c.what << " share " << i;
        }
        EXPECT_DOUBLE_EQ(record.mean, c.mean) << c.what;
        EXPECT_DOUBLE_EQ(record.median, c.median) << c.what;
        EXPECT_EQ(!record.warnings.empty(), c.warns) << c.what;
        EXPECT_EQ(record.count, static_cast<int>(c.objects.size())) << c.what;
    }
}

TEST(TrayRecord, ClassesOnlyForObjectsAndAreaOnlyWritesTotal)
{
    std::vector<CTrayObjectValue> objects = Objects(kKindObject, {10.0, 100.0});
    objects.push_back(CTrayObjectValue{kKindEllipse, 10.0, 10.0});
    // 50-150 % of the median 10: 10 is class 2, 100 falls to the default.
    const CTrayRecordValues record =
        ComputeTrayRecord(objects, {{2, 50.0, 150.0, "Gelb", 7}}, 72, "Empty");
    ASSERT_EQ(record.classes.size(), 3U);
    EXPECT_EQ(record.classes[0].number, 2);
    EXPECT_EQ(record.classes[0].name, CString("Gelb"));
    EXPECT_EQ(record.classes[1].number, 0);
    EXPECT_EQ(record.classes[1].name, CString("Empty"));
    EXPECT_FALSE(record.classes[2].assigned);
    EXPECT_DOUBLE_EQ(record.deviation, 51.96);

    const CTrayRecordValues areaOnly = ComputeTrayRecord(Objects(kKindAreaOnly, {1.5, 2.5}), {}, 72, "Empty");
    ASSERT_TRUE(areaOnly.total.has_value());
    EXPECT_DOUBLE_EQ(*areaOnly.total, 4.0);
    EXPECT_FALSE(areaOnly.writesCount);
}

// Written into a Messungen record: what is stored, and what is left alone.
TEST(TrayRecord, WritesRecordOnSqlite)
{
    CTestDatabase db(ETestBackend::SQLite);
    KESTRUN_REQUIRE_DATABASE(db);
    const _ConnectionPtr conn = db.Connect();
    PrepareGrowthSchema(conn);
    conn->Execute("INSERT INTO Messungen (MessreihenID, Anzahl, Prozent_Normal, Flaeche_Total) VALUES (1, 5, 33, 9)");
    const auto open = [&] {
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->PutCursorLocation(adUseClient);
        rs->Open("SELECT * FROM Messungen", conn, adOpenKeyset, adLockOptimistic);
        return rs;
    };
    WriteTrayRecord(open(), ComputeTrayRecord(Objects(kKindEllipse, {12.3456}), {}, 0, "Empty"), 2);
    _RecordsetPtr rs = open();
    EXPECT_EQ(GetFieldInt(rs, "Anzahl"), 1);
    EXPECT_EQ(GetFieldInt(rs, "Fuellstand"), 2);
    EXPECT_NEAR(GetFieldDouble(rs, "Flaeche_MittelWert"), 12.34, 1e-5);
    EXPECT_NEAR(GetFieldDouble(rs, "Prozent_Normal"), 33.0, 1e-6) << "no vessels: the shares stay";

    WriteTrayRecord(rs, ComputeTrayRecord(Objects(kKindAreaOnly, {2.0}), {}, 72, "Empty"), 3);
    rs = open();
    EXPECT_DOUBLE_EQ(GetFieldDouble(rs, "Flaeche_Total"), 2.0);
    EXPECT_EQ(GetFieldInt(rs, "Anzahl"), 1) << "kind 4 writes only the total";
    EXPECT_EQ(GetFieldInt(rs, "Fuellstand"), 2);

    WriteManualCount(rs, 17);
    rs = open();
    EXPECT_EQ(GetFieldInt(rs, "Anzahl_Manuell"), 17);
    EXPECT_EQ(GetFieldInt(rs, "Anzahl"), 1);

    // A tray type of more vessels than a short holds.
    WriteTrayRecord(rs, ComputeTrayRecord(Objects(kKindEllipse, {1.0}), {}, 40000, "Empty"), 1);
    rs = open();
    EXPECT_EQ(GetFieldInt(rs, "Anzahl_Manuell"), 32767);
}

TEST(TrayRecord, ImportedRecordOnSqlite)
{
    CTestDatabase db(ETestBackend::SQLite);
    KESTRUN_REQUIRE_DATABASE(db);
    const _ConnectionPtr conn = db.Connect();
    PrepareGrowthSchema(conn);
    _RecordsetPtr rs = CAdoRecordset::Create();
    rs->PutCursorLocation(adUseClient);
    rs->Open("SELECT * FROM Messungen ORDER BY ID", conn, adOpenKeyset, adLockOptimistic);

    AddImportedRecord(rs, {7, "128", 3, 2, "Lot 5", "20100315_142530_4711.xml", "", "30_20"});
    AddImportedRecord(rs, {7, "Tray", 1, 0, "", "20101315_142530_4712.xml", "b.jpg", ""});
    ASSERT_EQ(rs->GetRecordCount(), 2);
    EXPECT_EQ(rs->GetAbsolutePosition(), 2) << "stands on the new record";
    EXPECT_EQ(GetFieldInt(rs, "Messtag"), 72) << "a tray text without a number";
    EXPECT_EQ(rs->GetCollect("DatumZeit").Deref().date, 0.0) << "month 13: no date";
    EXPECT_EQ(GetFieldString(rs, "Bildname"), CString("b.jpg"));

    rs->MoveFirst();
    COleVariant date = rs->GetCollect("DatumZeit");
    date.ChangeType(VT_DATE);
    EXPECT_NEAR(date.date, 40252.0 + (14 * 3600 + 25 * 60 + 30) / 86400.0, 1e-6);
    EXPECT_EQ(GetFieldInt(rs, "Messtag"), 128);
    EXPECT_EQ(GetFieldInt(rs, "GlasNr"), 3);
    EXPECT_EQ(GetFieldInt(rs, "Fuellstand"), 2);
    EXPECT_EQ(GetFieldInt(rs, "MessreihenID"), 7);
    EXPECT_EQ(GetFieldString(rs, "Messparameter"), CString("30_20"));
    EXPECT_EQ(GetFieldString(rs, "Comment"), CString("Lot 5"));
    EXPECT_TRUE(GetFieldString(rs, "Bildname").IsEmpty());
}

} // namespace
