// The display attributes of a chart: item and group records, their stored
// forms and the older layouts they read.

#include "objectmodel/chartheader.h"
#include "objectmodel/datagroupattrib.h"

#include "seriesbytes.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

void PutString(CSeriesBytes& bytes, std::string_view text)
{
    bytes.Put(static_cast<BYTE>(text.size()));
    for (const char c : text)
        bytes.Put(c);
}

} // namespace

TEST(DataAttributes, DefaultItemStoresItsFieldsAndReloads)
{
    CDataItemAttrib item;
    const std::vector<BYTE> stored = StoreBytes(item);
    CSeriesBytes expected;
    expected.NewClass("CDataItemAttrib", 3);
    PutString(expected, "Undefined");
    expected.Put(std::int32_t{255}).Word(0).Word(0).Word(1).Word(0).Word(0).Word(1).Word(0).Word(0);
    EXPECT_EQ(stored, expected.Bytes());

    CDataItemAttrib loaded("Other", 7, 3, 4, 0, 9);
    loaded.m_wStyle1 = 5;
    loaded.m_wStyle6 = 6;
    LoadFrom(loaded, stored);
    EXPECT_EQ(loaded.m_strName, "Undefined");
    EXPECT_EQ(loaded.m_bShown, 1);
    EXPECT_EQ(loaded.m_Color, 255u);
    EXPECT_EQ(loaded.m_wFlags, 0);
    // Not stored: back at their defaults.
    EXPECT_EQ(loaded.m_wStyle1, 1);
    EXPECT_EQ(loaded.m_wStyle6, 0);
}

TEST(DataAttributes, OlderItemLayoutsLoad)
{
    // Schema 2: no flag word.
    CSeriesBytes two;
    two.NewClass("CDataItemAttrib", 2);
    PutString(two, "Area");
    two.Put(std::int32_t{0x00FF00}).Word(2).Word(3).Word(0).Word(1).Word(2).Word(3).Word(4);
    CDataItemAttrib item;
    LoadFrom(item, two.Bytes());
    EXPECT_EQ(item.m_strName, "Area");
    EXPECT_EQ(item.m_Color, 0x00FF00u);
    EXPECT_EQ(item.m_nGroup, 2);
    EXPECT_EQ(item.m_nChannel, 3);
    EXPECT_EQ(item.m_bShown, 0);
    EXPECT_EQ(item.m_wStyle3, 1);
    EXPECT_EQ(item.m_wStyle5, 2);
    EXPECT_EQ(item.m_wStyle2, 3);
    EXPECT_EQ(item.m_wStyle4, 4);
    EXPECT_EQ(item.m_wFlags, 0);

    // No class record, opened by the marker: shown stays 1.
    CSeriesBytes marked;
    PutString(marked, "070797");
    PutString(marked, "Old");
    marked.Put(std::int32_t{0x0000FF}).Word(1).Word(5).Word(7).Word(8).Word(9).Word(10);
    CDataItemAttrib old;
    LoadFrom(old, marked.Bytes());
    EXPECT_EQ(old.m_strName, "Old");
    EXPECT_EQ(old.m_bShown, 1);
    EXPECT_EQ(old.m_nChannel, 5);
    EXPECT_EQ(old.m_wStyle4, 10);

    // No class record, no marker: the name, colour, group, channel and ten
    // ignored bytes.
    CSeriesBytes plain;
    PutString(plain, "Oldest");
    plain.Put(std::int32_t{0x123456}).Word(4).Word(6);
    for (int i = 0; i < 10; ++i)
        plain.Put(BYTE{0xAA});
    CDataItemAttrib oldest;
    LoadFrom(oldest, plain.Bytes());
    EXPECT_EQ(oldest.m_strName, "Oldest");
    EXPECT_EQ(oldest.m_Color, 0x123456u);
    EXPECT_EQ(oldest.m_nGroup, 4);
    EXPECT_EQ(oldest.m_nChannel, 6);
}

TEST(DataAttributes, GroupStoresAndReloadsWithItsItems)
{
    CDataGroupAttrib group("Time", 2, "AreaAOI", 1, 0.0f, 10000.0f);
    group.AddItemAttrib(CDataItemAttrib("AOI1", 255, 0, 0, 1, 0));
    group.AddItemAttrib(CDataItemAttrib("AOI2", 0xFF00, 1, 0, 1, 0));
    group.AddSecondItemAttrib(CDataItemAttrib());
    const std::vector<BYTE> stored = StoreBytes(group);
    CDataGroupAttrib loaded;
    LoadFrom(loaded, stored);
    EXPECT_EQ(loaded.m_strXName, "Time");
    EXPECT_EQ(loaded.m_strYName, "AreaAOI");
    EXPECT_EQ(loaded.m_nYKind, 1);
    EXPECT_EQ(loaded.m_dYMax, 10000.0);
    EXPECT_EQ(loaded.m_strSecondLabel, "Binary");
    ASSERT_EQ(loaded.GetItemCount(), 2);
    EXPECT_EQ(loaded.GetItem(1).m_strName, "AOI2");
    EXPECT_EQ(loaded.GetItem(1).m_nGroup, 1);
    // Second items are not stored.
    EXPECT_TRUE(loaded.GetSecondItems().empty());
}

TEST(DataAttributes, VersionTwoGroupMapsOldKinds)
{
    CSeriesBytes bytes;
    bytes.NewClass("CDataGroupAttrib", 2);
    PutString(bytes, "Zeit");
    bytes.Put(std::int32_t{1024});
    PutString(bytes, "Area");
    bytes.Put(std::int32_t{512}).Put(1.5f).Put(9.5f).Word(1);
    PutString(bytes, "070797");
    PutString(bytes, "Curve");
    bytes.Put(std::int32_t{255}).Word(0).Word(0).Word(0).Word(0).Word(0).Word(0);
    CDataGroupAttrib group;
    LoadFrom(group, bytes.Bytes());
    EXPECT_EQ(group.m_nXKind, 2);
    EXPECT_EQ(group.m_nYKind, 0);
    EXPECT_DOUBLE_EQ(group.m_dYMin, 1.5);
    EXPECT_DOUBLE_EQ(group.m_dYMax, 9.5);
    ASSERT_EQ(group.GetItemCount(), 1);
    EXPECT_EQ(group.GetItem(0).m_strName, "Curve");
}

TEST(DataAttributes, ShownItemsAndKindMapping)
{
    CDataGroupAttrib group;
    for (int i = 0; i < 4; ++i)
        group.AddItemAttrib(CDataItemAttrib());
    CWordArray indices;
    indices.Add(0);
    indices.Add(2);
    group.SetShown(&indices);
    const int expected[] = {1, 0, 1, 0};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(group.GetItem(i).m_bShown, expected[i]) << i;
    group.SetShown(nullptr);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(group.GetItem(i).m_bShown, 0);
    indices.Add(4);
    EXPECT_THROW(group.SetShown(&indices), CInvalidArgException);

    struct sKind
    {
        int kind;
        int normal;
    };
    const sKind kinds[] = {{0, 0}, {1, 1}, {2, 2}, {3, 2}, {4, 4}, {5, 2}, {511, 2}, {512, 1}, {513, 2}, {-1, 2}};
    for (const sKind& k : kinds) {
        CDataGroupAttrib source("x", k.kind, "y", k.kind, 0.0f, 1.0f);
        CDataGroupAttrib normal;
        normal.AssignNormalized(source);
        EXPECT_EQ(normal.m_nXKind, k.normal) << k.kind;
        EXPECT_EQ(normal.m_nYKind, k.normal) << k.kind;
    }
}

TEST(DataAttributes, DamagedGroupLeavesTheGroupAsItWas)
{
    CDataGroupAttrib source("Time", 2, "Length", 1, 0.0f, 180.0f);
    source.AddItemAttrib(CDataItemAttrib("AOI1", 255, 0, 0, 1, 0));
    std::vector<BYTE> bytes = StoreBytes(source);
    bytes.resize(bytes.size() - 3);
    CDataGroupAttrib group("Time", 2, "Width", 1, 0.0f, 100.0f);
    EXPECT_THROW(LoadFrom(group, bytes), CArchiveException);
    EXPECT_EQ(group.m_strYName, "Width");
    EXPECT_EQ(group.GetItemCount(), 0);
}

// ---- every reading layout of the group, as hand-built bytes ----

namespace {

struct sGroupLayout
{
    const char* what;
    std::vector<BYTE> bytes;
    const char* xName;
    int xKind;
    const char* yName;
    int yKind;
    double yMin;
    double yMax;
    std::vector<std::pair<const char*, COLORREF>> items;
};

// A schema-3 item record: name, colour, group 1, channel 2, shown, styles.
void PutItemRecord(CSeriesBytes& bytes, std::string_view name, COLORREF colour)
{
    bytes.NewClass("CDataItemAttrib", 3);
    PutString(bytes, name);
    bytes.Put(static_cast<std::int32_t>(colour)).Word(1).Word(2).Word(1).Word(0).Word(0).Word(1).Word(0).Word(0);
}

std::vector<sGroupLayout> GroupLayouts()
{
    std::vector<sGroupLayout> layouts;
    {
        CSeriesBytes b; // schema 4: ranges as floats, an empty item list
        b.NewClass("CDataGroupAttrib", 4);
        PutString(b, "Time");
        b.Put(std::int32_t{2});
        PutString(b, "Area");
        b.Put(std::int32_t{1}).Put(0.5f).Put(8.0f);
        PutString(b, "Bin");
        b.Put(std::int32_t{0}).Put(0.0f).Put(1.0f);
        PutString(b, "Binary");
        b.Put(std::int32_t{0}).Word(0);
        layouts.push_back({"schema 4", b.Bytes(), "Time", 2, "Area", 1, 0.5, 8.0, {}});
    }
    {
        CSeriesBytes b; // schema 3, n = 0: the items as a list
        b.NewClass("CDataGroupAttrib", 3);
        PutString(b, "Zeit");
        b.Put(std::int32_t{1024});
        PutString(b, "Mean");
        b.Put(std::int32_t{3}).Word(0xBEEF).Put(1.0f).Put(2.0f).Word(0).Word(0);
        layouts.push_back({"schema 3, n = 0", b.Bytes(), "Zeit", 2, "Mean", 3, 1.0, 2.0, {}});
    }
    {
        CSeriesBytes b; // schema 3, n = 2: one record, then a word, name and colour
        b.NewClass("CDataGroupAttrib", 3);
        PutString(b, "Zeit");
        b.Put(std::int32_t{1024});
        PutString(b, "Mean");
        b.Put(std::int32_t{0}).Word(0).Put(0.0f).Put(255.0f).Word(2);
        PutItemRecord(b, "Red", 0x0000FF);
        b.Word(0);
        PutString(b, "Green");
        b.Put(std::int32_t{0x00FF00});
        layouts.push_back(
            {"schema 3, n = 2", b.Bytes(), "Zeit", 2, "Mean", 0, 0.0, 255.0, {{"Red", 0x0000FF}, {"Green", 0x00FF00}}});
    }
    {
        CSeriesBytes b; // schema 2: n item records
        b.NewClass("CDataGroupAttrib", 2);
        PutString(b, "T");
        b.Put(std::int32_t{1024});
        PutString(b, "A");
        b.Put(std::int32_t{512}).Put(-1.0f).Put(1.0f).Word(2);
        PutItemRecord(b, "One", 1);
        b.Word(0x8002); // the item class again, by its index
        PutString(b, "Two");
        b.Put(std::int32_t{2}).Word(1).Word(2).Word(1).Word(0).Word(0).Word(1).Word(0).Word(0);
        layouts.push_back({"schema 2", b.Bytes(), "T", 2, "A", 0, -1.0, 1.0, {{"One", 1}, {"Two", 2}}});
    }
    {
        CSeriesBytes b; // no class record: "Time", the y name, as schema 3 from the range on
        PutString(b, "Growth");
        b.Put(4.0f).Put(6.0f).Word(1);
        PutItemRecord(b, "Only", 9);
        layouts.push_back({"no class record", b.Bytes(), "Time", 2, "Growth", 0, 4.0, 6.0, {{"Only", 9}}});
    }
    {
        CSeriesBytes b; // an unknown schema: the items alone, defaults elsewhere
        b.NewClass("CDataGroupAttrib", 9);
        b.Word(0);
        layouts.push_back({"schema 9", b.Bytes(), "Undefined", 2, "Undefined", 0, 0.0, 10.0, {}});
    }
    return layouts;
}

} // namespace

TEST(DataAttributes, EveryGroupLayoutLoads)
{
    for (const sGroupLayout& layout : GroupLayouts()) {
        SCOPED_TRACE(layout.what);
        CDataGroupAttrib group("x", 7, "y", 7, 3.0f, 4.0f);
        group.AddItemAttrib(CDataItemAttrib("Before", 1, 0, 0, 1, 0));
        ASSERT_NO_THROW(LoadFrom(group, layout.bytes));
        EXPECT_EQ(group.m_strXName, layout.xName);
        EXPECT_EQ(group.m_nXKind, layout.xKind);
        EXPECT_EQ(group.m_strYName, layout.yName);
        EXPECT_EQ(group.m_nYKind, layout.yKind);
        EXPECT_DOUBLE_EQ(group.m_dYMin, layout.yMin);
        EXPECT_DOUBLE_EQ(group.m_dYMax, layout.yMax);
        ASSERT_EQ(group.GetItemCount(), static_cast<int>(layout.items.size()));
        for (int i = 0; i < group.GetItemCount(); ++i) {
            EXPECT_EQ(group.GetItem(i).m_strName, layout.items[i].first) << i;
            EXPECT_EQ(group.GetItem(i).m_Color, layout.items[i].second) << i;
            EXPECT_EQ(group.GetItem(i).m_nChannel, 2) << i;
        }
    }
}

TEST(DataAttributes, AGroupFailingPartWayStaysAsItWas)
{
    // Every layout cut short: the group keeps its fields and items (the
    // items read before the failure are freed, as the sanitizer checks).
    for (const sGroupLayout& layout : GroupLayouts()) {
        for (size_t cut = 1; cut < layout.bytes.size(); cut += 3) {
            SCOPED_TRACE(layout.what);
            const std::vector<BYTE> part(layout.bytes.begin(), layout.bytes.end() - static_cast<std::ptrdiff_t>(cut));
            CDataGroupAttrib group("x", 7, "y", 7, 3.0f, 4.0f);
            group.AddItemAttrib(CDataItemAttrib("Before", 1, 0, 0, 1, 0));
            EXPECT_THROW(LoadFrom(group, part), CException) << cut;
            EXPECT_EQ(group.m_strYName, "y");
            ASSERT_EQ(group.GetItemCount(), 1);
            EXPECT_EQ(group.GetItem(0).m_strName, "Before");
        }
    }
}

TEST(ChartHeader, StoresTheDateAndReadsItForSchemaOneOnly)
{
    CChartHeader header;
    EXPECT_GT(header.m_dtDate, 46000.0); // created now, after 2025
    header.m_dtDate = 46000.5;
    CSeriesBytes expected;
    expected.NewClass("CChartHeader", 1);
    expected.Put(std::int32_t{0}).Put(46000.5);
    EXPECT_EQ(StoreBytes(header), expected.Bytes());

    CChartHeader loaded;
    LoadFrom(loaded, expected.Bytes());
    EXPECT_EQ(loaded.m_nSchema, 1);
    EXPECT_EQ(loaded.m_dtDate, 46000.5);

    CSeriesBytes other;
    other.NewClass("CChartHeader", 2);
    CChartHeader later;
    later.m_dtDate = 1.0;
    LoadFrom(later, other.Bytes());
    EXPECT_EQ(later.m_nSchema, 2);
    EXPECT_EQ(later.m_dtDate, 1.0);
}
