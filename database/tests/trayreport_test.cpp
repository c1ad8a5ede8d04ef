#include "database/trayreport.h"

#include <gtest/gtest.h>

namespace {

using namespace kestrun::tray;

_RecordsetPtr ThreeRecords()
{
    const std::vector<CAdoColumn> columns = {
        {"DatumZeit", VT_BSTR},       {"Bildname", VT_BSTR},        {"DataName", VT_BSTR},
        {"Messtag", VT_I2},           {"Anzahl_Manuell", VT_I2},    {"Fuellstand", VT_I2},
        {"GlasNr", VT_I2},            {"Anzahl", VT_I2},            {"Flaeche_Fronds", VT_R8},
        {"Flaeche_MittelWert", VT_R4}, {"Flaeche_Standardabw", VT_R4}, {"Flaeche_Median", VT_R4},
        {"Prozent_Hell", VT_R4},      {"Prozent_Gelblich", VT_R4},  {"Prozent_Ausgebleicht", VT_R4},
        {"Prozent_Normal", VT_R4}};
    std::vector<std::vector<COleVariant>> rows;
    for (short i = 0; i < 3; ++i) {
        rows.push_back({COleVariant("15.03.2010 14:25:30"), COleVariant("a.jpg"),
                        COleVariant("20100315_142530_4711.xml"), COleVariant(short(128)), COleVariant(short(72)),
                        COleVariant(short(1)), COleVariant(short(3 - i)), COleVariant(short(7)), COleVariant(12.345),
                        COleVariant(1.5F), COleVariant(0.25F), COleVariant(2.0F), COleVariant(9.7F),
                        COleVariant(0.0F), COleVariant(0.0F), COleVariant(90.2F)});
    }
    return CAdoRecordset::FromRows(columns, std::move(rows));
}

TEST(TrayReport, CellsOfEveryRecordInTitleOrder)
{
    const _RecordsetPtr rs = ThreeRecords();
    rs->MoveLast();
    std::vector<CString> cells = TrayReportTitles();
    ASSERT_EQ(cells.size(), 15U);
    EXPECT_EQ(BuildTrayReportRows(rs, cells), 3);
    ASSERT_EQ(cells.size(), 60U);
    EXPECT_EQ(rs->GetAbsolutePosition(), 3) << "back on the record it stood on";

    const std::vector<CString> first(cells.begin() + 15, cells.begin() + 30);
    const std::vector<CString> expected = {"1",    "15.03.2010 14:25:30", "a.jpg", "4711", "128 (72)",
                                           "M",    "7",                   "12.35", "1.50", "0.25",
                                           "2.00", "9,7",                 "0,0",   "0,0",  "90,2"};
    EXPECT_EQ(first, expected);
    EXPECT_EQ(cells[30], CString("2")) << "Index numbers the rows";
    EXPECT_EQ(cells[35], CString("R"));
    EXPECT_EQ(cells[50], CString("")) << "area 1 with batch 1 has no letter";
}

TEST(TrayReport, TitlesIntoTheScriptsArray)
{
    struct Case
    {
        long lower;
        long count;
        size_t size;
    };
    for (const Case& c : {Case{1, 10, 16}, Case{0, 15, 15}, Case{0, 20, 16}}) {
        COleVariant variable = COleVariant::Array(CVariantArray({{static_cast<LONG>(c.lower), static_cast<LONG>(c.count)}}));
        COleVariant argument = COleVariant::ByRef(variable);
        EXPECT_EQ(FillTrayReportTitles(argument), 15) << c.count;
        const CVariantArray& filled = variable.GetArray();
        ASSERT_EQ(filled.GetCount(), c.size) << c.count;
        EXPECT_EQ(filled.GetLBound(1), c.lower);
        EXPECT_EQ(filled.Elements()[0].ToString(), CString("Index"));
        EXPECT_EQ(filled.Elements()[14].ToString(), CString("L [%]"));
        if (c.size == 16) {
            EXPECT_EQ(filled.Elements()[15].vt, VT_EMPTY) << "the 16th is untouched";
        }
    }
}

} // namespace
