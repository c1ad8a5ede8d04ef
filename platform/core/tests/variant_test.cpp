#include "platform/core/variant.h"

#include <gtest/gtest.h>

TEST(COleVariantTest, ConstructorsSetTheKindAndTheValue)
{
    EXPECT_EQ(COleVariant().vt, VT_EMPTY);

    const COleVariant i2(static_cast<short>(-7));
    EXPECT_EQ(i2.vt, VT_I2);
    EXPECT_EQ(i2.iVal, -7);
    const COleVariant i4(70000);
    EXPECT_EQ(i4.vt, VT_I4);
    EXPECT_EQ(i4.lVal, 70000);
    const COleVariant fromLong(-5L);
    EXPECT_EQ(fromLong.vt, VT_I4);
    EXPECT_EQ(fromLong.lVal, -5);
    const COleVariant ui1(static_cast<BYTE>(200));
    EXPECT_EQ(ui1.vt, VT_UI1);
    EXPECT_EQ(ui1.bVal, 200);
    const COleVariant r4(2.5F);
    EXPECT_EQ(r4.vt, VT_R4);
    EXPECT_EQ(r4.fltVal, 2.5F);
    const COleVariant r8(0.125);
    EXPECT_EQ(r8.vt, VT_R8);
    EXPECT_EQ(r8.dblVal, 0.125);
    const COleVariant text("12.5");
    EXPECT_EQ(text.vt, VT_BSTR);
    EXPECT_EQ(text.bstrVal, "12.5");
    EXPECT_EQ(COleVariant(CString("x")).bstrVal, "x");
    EXPECT_EQ(COleVariant(static_cast<const char*>(nullptr)).bstrVal, "");
    const COleVariant date = COleVariant::Date(36526.5);
    EXPECT_EQ(date.vt, VT_DATE);
    EXPECT_EQ(date.date, 36526.5);
    EXPECT_EQ(COleVariant::Null().vt, VT_NULL);

    // Booleans are asked for by kind; any non-zero value is true.
    const COleVariant yes(static_cast<short>(5), VT_BOOL);
    EXPECT_EQ(yes.vt, VT_BOOL);
    EXPECT_EQ(yes.boolVal, VARIANT_TRUE);
    EXPECT_EQ(COleVariant(TRUE, VT_BOOL).boolVal, VARIANT_TRUE);
    EXPECT_EQ(COleVariant(FALSE, VT_BOOL).boolVal, VARIANT_FALSE);
    EXPECT_EQ(COleVariant(TRUE).vt, VT_I4);

    EXPECT_THROW(COleVariant(static_cast<short>(1), VT_R8), CInvalidArgException);
    EXPECT_THROW(COleVariant(1L << 40), CInvalidArgException);
}

namespace {

struct ChangeCase
{
    const char* name;
    COleVariant from;
    VARTYPE to;
    COleVariant expected;
};

} // namespace

TEST(COleVariantTest, ChangeTypeConvertsBetweenKinds)
{
    const ChangeCase cases[] = {
        {"I4 to R8", COleVariant(7), VT_R8, COleVariant(7.0)},
        {"R8 2.5 rounds to even", COleVariant(2.5), VT_I4, COleVariant(2)},
        {"R8 3.5 rounds to even", COleVariant(3.5), VT_I4, COleVariant(4)},
        {"R8 -2.5 rounds to even", COleVariant(-2.5), VT_I4, COleVariant(-2)},
        {"R8 2.6 rounds to nearest", COleVariant(2.6), VT_I2, COleVariant(static_cast<short>(3))},
        {"R4 to UI1", COleVariant(254.5F), VT_UI1, COleVariant(static_cast<BYTE>(254))},
        {"I2 to I4", COleVariant(static_cast<short>(-3)), VT_I4, COleVariant(-3)},
        {"text to R8", COleVariant("12.5"), VT_R8, COleVariant(12.5)},
        {"text with blanks to I4", COleVariant(" +42 "), VT_I4, COleVariant(42)},
        {"text rounds like numbers", COleVariant("2.5"), VT_I4, COleVariant(2)},
        {"text with exponent", COleVariant("-1.5e3"), VT_R8, COleVariant(-1500.0)},
        {"R8 to text", COleVariant(12.5), VT_BSTR, COleVariant("12.5")},
        {"R8 to text, 15 digits", COleVariant(0.1 + 0.2), VT_BSTR, COleVariant("0.3")},
        {"large R8 to text", COleVariant(1e20), VT_BSTR, COleVariant("1E+20")},
        {"R4 to text, 7 digits", COleVariant(0.1F), VT_BSTR, COleVariant("0.1")},
        {"I2 to text", COleVariant(static_cast<short>(-3)), VT_BSTR, COleVariant("-3")},
        {"BOOL to I4", COleVariant(TRUE, VT_BOOL), VT_I4, COleVariant(-1)},
        {"BOOL to UI1", COleVariant(TRUE, VT_BOOL), VT_UI1, COleVariant(static_cast<BYTE>(255))},
        {"BOOL to text", COleVariant(TRUE, VT_BOOL), VT_BSTR, COleVariant("-1")},
        {"zero to BOOL", COleVariant(0), VT_BOOL, COleVariant(FALSE, VT_BOOL)},
        {"R8 to BOOL", COleVariant(0.5), VT_BOOL, COleVariant(TRUE, VT_BOOL)},
        {"'true' to BOOL", COleVariant(" true"), VT_BOOL, COleVariant(TRUE, VT_BOOL)},
        {"'False' to BOOL", COleVariant("False"), VT_BOOL, COleVariant(FALSE, VT_BOOL)},
        {"'0' to BOOL", COleVariant("0"), VT_BOOL, COleVariant(FALSE, VT_BOOL)},
        {"empty to I4", COleVariant(), VT_I4, COleVariant(0)},
        {"empty to text", COleVariant(), VT_BSTR, COleVariant("")},
        {"anything to empty", COleVariant("x"), VT_EMPTY, COleVariant()},
        {"date to text", COleVariant::Date(36526.5), VT_BSTR, COleVariant("2000-01-01 12:00:00")},
        {"midnight to text", COleVariant::Date(36526.0), VT_BSTR, COleVariant("2000-01-01")},
        {"date before day 0 to text", COleVariant::Date(-1.25), VT_BSTR, COleVariant("1899-12-29 06:00:00")},
        {"time only to text", COleVariant::Date(0.75), VT_BSTR, COleVariant("18:00:00")},
        {"text to date", COleVariant("2000-01-01 12:00"), VT_DATE, COleVariant::Date(36526.5)},
        {"text before day 0 to date", COleVariant("1899-12-29T06:00:00"), VT_DATE, COleVariant::Date(-1.25)},
        {"number text to date", COleVariant("2.5"), VT_DATE, COleVariant::Date(2.5)},
        {"date to R8", COleVariant::Date(2.75), VT_R8, COleVariant(2.75)},
    };
    for (const ChangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        COleVariant v = c.from;
        v.ChangeType(c.to);
        EXPECT_EQ(v.vt, c.expected.vt);
        EXPECT_TRUE(v == c.expected) << v.ToString().str() << " vs " << c.expected.ToString().str();
    }
}

TEST(COleVariantTest, FailedConversionsRaiseAndKeepTheValue)
{
    struct Case
    {
        const char* name;
        COleVariant from;
        VARTYPE to;
        HRESULT error;
    };
    const Case cases[] = {
        {"I4 300 to UI1", COleVariant(300), VT_UI1, DISP_E_OVERFLOW},
        {"negative to UI1", COleVariant(-1), VT_UI1, DISP_E_OVERFLOW},
        {"I4 to I2", COleVariant(32768), VT_I2, DISP_E_OVERFLOW},
        {"R8 to I4", COleVariant(2147483647.5), VT_I4, DISP_E_OVERFLOW},
        {"R8 to R4", COleVariant(1e300), VT_R4, DISP_E_OVERFLOW},
        {"huge text to R8", COleVariant("1e400"), VT_R8, DISP_E_OVERFLOW},
        {"R8 to date", COleVariant(3e6), VT_DATE, DISP_E_OVERFLOW},
        {"word to R8", COleVariant("abc"), VT_R8, DISP_E_TYPEMISMATCH},
        {"trailing junk to I4", COleVariant("12abc"), VT_I4, DISP_E_TYPEMISMATCH},
        {"empty text to I4", COleVariant(""), VT_I4, DISP_E_TYPEMISMATCH},
        {"nan text to R8", COleVariant("nan"), VT_R8, DISP_E_TYPEMISMATCH},
        {"comma decimal to R8", COleVariant("12,5"), VT_R8, DISP_E_TYPEMISMATCH},
        {"bad date text", COleVariant("2001-02-29"), VT_DATE, DISP_E_TYPEMISMATCH},
        {"null to I4", COleVariant::Null(), VT_I4, DISP_E_TYPEMISMATCH},
        {"null to text", COleVariant::Null(), VT_BSTR, DISP_E_TYPEMISMATCH},
        {"I4 to null", COleVariant(1), VT_NULL, DISP_E_TYPEMISMATCH},
        {"unknown kind", COleVariant(1), 9, DISP_E_BADVARTYPE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COleVariant v = c.from;
        try {
            v.ChangeType(c.to);
            ADD_FAILURE() << "no exception";
        } catch (const COleException& e) {
            EXPECT_EQ(e.m_sc, c.error);
            EXPECT_FALSE(e.GetErrorMessage().IsEmpty());
        }
        EXPECT_TRUE(v == c.from);
    }
}

TEST(COleVariantTest, EqualityNeedsTheSameKindAndValue)
{
    EXPECT_TRUE(COleVariant(1) == COleVariant(1));
    EXPECT_FALSE(COleVariant(1) == COleVariant(2));
    EXPECT_FALSE(COleVariant(1) == COleVariant(static_cast<short>(1)));
    EXPECT_FALSE(COleVariant(1.0) == COleVariant(1.0F));
    EXPECT_TRUE(COleVariant("a") == COleVariant(CString("a")));
    EXPECT_FALSE(COleVariant("a") == COleVariant("A"));
    EXPECT_TRUE(COleVariant() == COleVariant());
    EXPECT_FALSE(COleVariant() == COleVariant::Null());
    EXPECT_TRUE(COleVariant::Null() == COleVariant::Null());
    EXPECT_TRUE(COleVariant(TRUE, VT_BOOL) == COleVariant(static_cast<short>(-1), VT_BOOL));
}

TEST(COleVariantTest, ClearLeavesAnEmptyVariant)
{
    COleVariant v("text");
    v.Clear();
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_TRUE(v.bstrVal.IsEmpty());
    EXPECT_TRUE(v == COleVariant());

    COleVariant n(3.5);
    n.Clear();
    EXPECT_EQ(n.dblVal, 0.0);
}

TEST(COleVariantTest, ToStringShowsTheValue)
{
    EXPECT_EQ(COleVariant().ToString(), "");
    EXPECT_EQ(COleVariant::Null().ToString(), "");
    EXPECT_EQ(COleVariant(TRUE, VT_BOOL).ToString(), "True");
    EXPECT_EQ(COleVariant(FALSE, VT_BOOL).ToString(), "False");
    EXPECT_EQ(COleVariant(2.5).ToString(), "2.5");
    EXPECT_EQ(COleVariant(static_cast<BYTE>(7)).ToString(), "7");
    EXPECT_EQ(COleVariant("abc").ToString(), "abc");
}
