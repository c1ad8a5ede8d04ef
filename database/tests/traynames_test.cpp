#include "database/traynames.h"

#include <gtest/gtest.h>

namespace {

using namespace kestrun::tray;

TEST(TrayNames, BarcodeFromName)
{
    struct Case
    {
        const char* name;
        const char* barcode;
    };
    const Case cases[] = {
        {"20100315_142530_4711.xml", "4711"},
        {"20100315_142530_4711.side.txt", "4711"},
        {"20100315_142530_4711x", "4711"}, // no dot: up to one before the end
        {"4711.jpg", "4711"},              // short: from the start
        {"20100315_142530_.xml", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetBarCodeFromName(c.name), CString(c.barcode)) << c.name;

    EXPECT_EQ(BarcodeField("20100315_142530_4711.xml"), CString("4711"));
    EXPECT_EQ(BarcodeField("20100315_142530_.xml"), CString()) << "20 characters";
}

TEST(TrayNames, DateFromDataName)
{
    // 15 March 2010 14:25:30: day 40252 after 30 December 1899.
    const DATE expected = 40252.0 + (14 * 3600 + 25 * 60 + 30) / 86400.0;
    EXPECT_DOUBLE_EQ(ImportDateFromName("20100315_142530_4711.xml"), expected);
    EXPECT_DOUBLE_EQ(ImportDateFromName("20100315x142530"), expected) << "the separator is not read";
    const char* const noDate[] = {"20100315", "20101315_142530_1.xml", "20100230_142530_1.xml",
                                  "20100315_246000_1.xml", "2010031a_142530_1.xml", "abc_def_ghij.xml"};
    for (const char* name : noDate)
        EXPECT_DOUBLE_EQ(ImportDateFromName(name), 0.0) << name;
    EXPECT_DOUBLE_EQ(ImportDateFromName("20000229_000000"), 36585.0) << "leap day";
}

TEST(TrayNames, AreasOfInterestOfARecord)
{
    struct Case
    {
        int messtag;
        int glasNr;
        const char* file;
    };
    const Case cases[] = {{0, 3, "72_1.AOI"}, {71, 2, "72_1.AOI"}, {128, 3, "128_3.AOI"}, {128, 7, "128_1.AOI"},
                          {128, 0, "128_1.AOI"}, {480, 4, "480_4.AOI"}};
    for (const Case& c : cases) {
        const CTrayBatch tray = TrayBatchOfRecord(c.messtag, c.glasNr);
        EXPECT_EQ(AoiFileName(tray.strTray, tray.nBatch), CString(c.file)) << c.messtag << "/" << c.glasNr;
    }
}

TEST(TrayNames, PositionLetters)
{
    struct Case
    {
        int fuellstand;
        int glasNr;
        const char* letter;
    };
    const Case cases[] = {{0, 1, "L"}, {0, 4, "L"}, {1, 2, "R"}, {1, 3, "M"}, {2, 1, "R"},
                          {1, 1, ""},  {1, 4, ""},  {3, 2, ""},  {-1, 1, ""}};
    for (const Case& c : cases)
        EXPECT_EQ(PositionLetter(c.fuellstand, c.glasNr), CString(c.letter)) << c.fuellstand << "/" << c.glasNr;
}

TEST(TrayNames, ImportTakesDataFilesBeforeImages)
{
    EXPECT_EQ(ImportCandidates({"a.xml", "a.txt", "a.jpg", "b.jpg"}), std::vector<CString>{"a.xml"});
    EXPECT_EQ(ImportCandidates({"a.txt", "b.jpg", "c.JPG", "d.jpg"}), (std::vector<CString>{"b.jpg", "d.jpg"}))
        << "the extension as written";
    EXPECT_TRUE(ImportCandidates({"x.XML", ".xml", "notes.txt"}).empty());
}

TEST(TrayNames, SearchTakesTheTextLiterally)
{
    std::vector<std::vector<COleVariant>> rows;
    for (const char* name : {"plain 1", "it's", "a*b", "a?c", "50%", "#7", "[x]", "ab", "axc"})
        rows.push_back({COleVariant(name)});
    const _RecordsetPtr rs = CAdoRecordset::FromRows({CAdoColumn{"DataName", VT_BSTR}}, std::move(rows));
    struct Case
    {
        const char* text;
        long position; // 1-based; 1 also when not found
        bool found;
    };
    const Case cases[] = {
        {"'", 2, true},  {"*", 3, true},  {"?", 4, true},      {"%", 5, true},  {"#", 6, true},
        {"[", 7, true},  {"", 1, true},   {"zzz", 1, false},   {"b", 3, true},
    };
    for (const Case& c : cases) {
        rs->MoveLast();
        EXPECT_EQ(FindDataName(rs, c.text), c.found) << c.text;
        EXPECT_EQ(rs->GetAbsolutePosition(), c.position) << c.text;
    }
}

} // namespace
