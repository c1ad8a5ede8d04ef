// Exported fields and grid cells.

#include "series/tabletext.h"

#include <gtest/gtest.h>

namespace {

struct FieldCase
{
    const char* text;
    char separator;
    const char* expected;
};

class QuoteTableFieldTest : public ::testing::TestWithParam<FieldCase>
{
};

TEST_P(QuoteTableFieldTest, QuotesOnlyFieldsThatWouldBreakTheLine)
{
    const FieldCase& c = GetParam();
    EXPECT_EQ(kestrun::QuoteTableField(c.text, c.separator), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Fields, QuoteTableFieldTest,
                         ::testing::Values(FieldCase{"12.50", ',', "12.50"}, FieldCase{"", ',', ""},
                                           FieldCase{"3,14", ',', "\"3,14\""},
                                           FieldCase{"3,14", '\r', "3,14"},
                                           FieldCase{"a\rb", '\r', "\"a\rb\""},
                                           FieldCase{"say \"hi\"", ',', "\"say \"\"hi\"\"\""},
                                           FieldCase{"two\nlines", ',', "\"two\nlines\""},
                                           FieldCase{"tab\there", ',', "tab\there"}));

TEST(CutCellTextTest, KeepsAtMostThirtyOneBytesAndNeverHalfACharacter)
{
    EXPECT_EQ(kestrun::CutCellText("short"), "short");
    const CString exact(std::string(31, 'x'));
    EXPECT_EQ(kestrun::CutCellText(exact), exact);
    EXPECT_EQ(kestrun::CutCellText(CString(std::string(40, 'y'))), CString(std::string(31, 'y')));
    // "°" is two bytes: at bytes 30 and 31 it would be cut in half, so it goes whole.
    const CString degree = CString(std::string(30, 'a')) + "\u00B0b";
    EXPECT_EQ(kestrun::CutCellText(degree), CString(std::string(30, 'a')));
}

} // namespace
