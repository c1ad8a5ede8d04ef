// The series report's titles, number texts, the hand-over into a script's
// array and the count matrix.
#include "database/reportvalues.h"

#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/core/variant.h"

#include <gtest/gtest.h>

namespace {

using kestrun::testing::ScopedMessageBoxes;

TEST(ReportValuesTest, TitlesAndDecimalCommas)
{
    const std::vector<CString> plain = BuildReportTitleList(0);
    const std::vector<CString> full = BuildReportTitleList(1);
    ASSERT_EQ(plain.size(), 13U);
    ASSERT_EQ(full.size(), 15U);
    EXPECT_EQ(plain.front(), CString("Index"));
    EXPECT_EQ(plain.back(), CString("BildName"));
    EXPECT_EQ(full[12], CString("Gelblich [%]"));
    EXPECT_EQ(full[13], CString("Ausgebleicht [%]"));

    EXPECT_EQ(FormatDecimalComma("%.2lf", 12.5), CString("12,50"));
    EXPECT_EQ(FormatDecimalComma("%.1lf", 12.5), CString("12,5"));
    EXPECT_EQ(FormatDecimalComma("%.2lf", 3.14159), CString("3,14"));
    EXPECT_EQ(FormatDecimalComma("%.0lf", 7.0), CString("7"));
}

COleVariant ArrayOfCounts(std::vector<CVariantArray::CBound> bounds)
{
    return COleVariant::Array(CVariantArray(std::move(bounds)));
}

TEST(ReportValuesTest, StringsGoIntoTheScriptsArray)
{
    const std::vector<CString> strings = {"a", "b", "c"};
    struct Case
    {
        const char* name;
        std::vector<CVariantArray::CBound> bounds; // empty: no array at all
        bool byReference;
        short result;
        const char* message;
    };
    const Case cases[] = {
        {"one element grown", {{0, 1}}, true, 7, nullptr},
        {"lower bound kept", {{1, 5}}, true, 7, nullptr},
        {"passed directly", {{0, 3}}, false, 7, nullptr},
        {"two dimensions", {{0, 3}, {0, 2}}, true, 0, "Array has wrong dimensions"},
        {"no array", {}, true, 0, "Data type not array"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedMessageBoxes boxes;
        COleVariant variable = c.bounds.empty() ? COleVariant("text") : ArrayOfCounts(c.bounds);
        COleVariant argument = c.byReference ? COleVariant::ByRef(variable) : variable;
        EXPECT_EQ(FillScriptArray(argument, strings, 7), c.result);
        if (c.message != nullptr) {
            ASSERT_EQ(boxes->Texts().size(), 1U);
            EXPECT_EQ(boxes->Texts()[0], CString(c.message));
            continue;
        }
        EXPECT_TRUE(boxes->Texts().empty());
        const CVariantArray& filled = argument.Deref().GetArray();
        ASSERT_EQ(filled.GetCount(), 3U);
        EXPECT_EQ(filled.GetLBound(1), c.bounds[0].m_lLower);
        EXPECT_EQ(filled.Elements()[2].ToString(), CString("c"));
        if (c.byReference) {
            EXPECT_EQ(variable.GetArray().GetCount(), 3U);
        }
    }
    // Nothing to hand over: 0 without a message.
    ScopedMessageBoxes boxes;
    COleVariant array = ArrayOfCounts({{0, 1}});
    EXPECT_EQ(FillScriptArray(array, {}, 7), 0);
    EXPECT_TRUE(boxes->Texts().empty());
}

TEST(ReportValuesTest, TheCountMatrixPutsEachCountUnderItsDay)
{
    // Vessels 1 and 2 on days 1, 3 and 7; vessel 3 misses day 3; a second
    // record of vessel 2 on day 7 replaces the first.
    const std::vector<sMatrixRecord> records = {
        {1, 1, 10}, {1, 3, 12}, {1, 7, 15}, {2, 1, 20}, {2, 3, 22}, {2, 7, 25},
        {2, 7, 26}, {3, 1, 30}, {3, 7, 35},
    };
    const sCountMatrix matrix = BuildCountMatrixCells(records);
    EXPECT_EQ(matrix.days, (std::vector<int>{1, 3, 7}));
    EXPECT_EQ(matrix.vessels, (std::vector<int>{1, 2, 3}));
    const std::vector<std::vector<int>> expected = {{10, 12, 15}, {20, 22, 26}, {30, 0, 35}};
    EXPECT_EQ(matrix.counts, expected);
    EXPECT_TRUE(BuildCountMatrixCells({}).counts.empty());
}

} // namespace
