#include "platform/core/cstring.h"
#include "platform/core/encoding.h"
#include "platform/core/exceptions.h"
#include "platform/core/resources.h"

#include <gtest/gtest.h>

TEST(CStringTest, ExtractionClampsOutOfRangeArguments)
{
    const CString s("Kestrun");
    struct Case
    {
        CString got;
        const char* want;
    };
    const Case cases[] = {
        {s.Left(3), "Kes"},     {s.Left(-1), ""},    {s.Left(99), "Kestrun"}, {s.Mid(4), "run"},
        {s.Mid(-2), "Kestrun"}, {s.Mid(99), ""},     {s.Mid(2, 3), "str"},    {s.Mid(5, 99), "un"},
        {s.Right(3), "run"},    {s.Right(0), ""},    {s.Right(99), "Kestrun"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.want);
}

TEST(CStringTest, FindAndReplace)
{
    CString s("a=b=c");
    EXPECT_EQ(s.Find('='), 1);
    EXPECT_EQ(s.Find('=', 2), 3);
    EXPECT_EQ(s.Find("b="), 2);
    EXPECT_EQ(s.Find('x'), -1);
    EXPECT_EQ(s.Find('=', 99), -1);
    EXPECT_EQ(s.ReverseFind('='), 3);
    EXPECT_EQ(s.FindOneOf("cb"), 2);

    EXPECT_EQ(s.Replace("=", "=="), 2);
    EXPECT_EQ(s, "a==b==c");
    EXPECT_EQ(s.Replace("", "x"), 0);
    EXPECT_EQ(s.Replace('=', ':'), 4);
    EXPECT_EQ(s, "a::b::c");
    EXPECT_EQ(s.Remove(':'), 4);
    EXPECT_EQ(s, "abc");
}

TEST(CStringTest, TrimAndCase)
{
    CString s(" \t Area [µm²]\r\n");
    s.Trim();
    EXPECT_EQ(s, "Area [µm²]");
    s.MakeUpper();
    EXPECT_EQ(s, "AREA [µM²]") << "only ASCII letters change, UTF-8 stays intact";
    s.MakeLower();
    EXPECT_EQ(s, "area [µm²]");

    CString t("xxabcxx");
    t.TrimLeft('x');
    EXPECT_EQ(t, "abcxx");
    t.TrimRight("x");
    EXPECT_EQ(t, "abc");
    CString all("    ");
    all.Trim();
    EXPECT_TRUE(all.IsEmpty());
}

TEST(CStringTest, CompareAndOrder)
{
    EXPECT_EQ(CString("abc").Compare("abd"), -1);
    EXPECT_EQ(CString("abc").CompareNoCase("ABC"), 0);
    EXPECT_EQ(CString("b").CompareNoCase("A"), 1);
    EXPECT_TRUE(CString("a") < CString("b"));
    EXPECT_TRUE(CString("a") != "b");
    EXPECT_TRUE("a" == CString("a"));
}

TEST(CStringTest, FormatAndInsertDelete)
{
    CString s;
    s.Format("%d-%s-%.2lf", 7, "x", 0.125);
    EXPECT_EQ(s, "7-x-0.12");
    s.AppendFormat("|%05d", 42);
    EXPECT_EQ(s, "7-x-0.12|00042");
    const std::string big(5000, 'z');
    s.Format("%s", big.c_str());
    EXPECT_EQ(s.GetLength(), 5000);

    CString t("ace");
    EXPECT_EQ(t.Insert(1, 'b'), 4);
    EXPECT_EQ(t.Insert(99, "f"), 5);
    EXPECT_EQ(t, "abcef");
    EXPECT_EQ(t.Delete(3, 1), 4);
    EXPECT_EQ(t, "abcf");
    EXPECT_EQ(t.Delete(2, 99), 2);
    EXPECT_EQ(t, "ab");
}

TEST(CStringTest, TokenizeWalksTokensAndEndsWithMinusOne)
{
    const CString s(";;alpha; beta;;gamma");
    int pos = 0;
    std::vector<CString> tokens;
    for (CString t = s.Tokenize(";", pos); pos != -1; t = s.Tokenize(";", pos))
        tokens.push_back(t);
    EXPECT_EQ(tokens, (std::vector<CString>{"alpha", " beta", "gamma"}));
    EXPECT_EQ(s.SpanIncluding(";"), ";;");
    EXPECT_EQ(s.SpanExcluding("b"), ";;alpha; ");
}

TEST(CStringTest, BufferAccess)
{
    CString s;
    char* p = s.GetBuffer(16);
    std::snprintf(p, 16, "%s", "filled");
    s.ReleaseBuffer();
    EXPECT_EQ(s, "filled");
    s.GetBuffer(0)[0] = 'F';
    s.ReleaseBuffer(3);
    EXPECT_EQ(s, "Fil");
}

TEST(CStringTest, IndexErrorsRaiseInvalidArgument)
{
    CString s("ab");
    EXPECT_THROW(s.GetAt(2), CInvalidArgException);
    EXPECT_THROW(s.SetAt(-1, 'x'), CInvalidArgException);
    EXPECT_THROW(s.Truncate(3), CInvalidArgException);
    int pos = -1;
    EXPECT_THROW(s.Tokenize(",", pos), CInvalidArgException);
}

TEST(CStringTest, LoadStringUsesTheStringTable)
{
    AfxRegisterString(61001, "Hello");
    CString s;
    EXPECT_TRUE(s.LoadString(61001));
    EXPECT_EQ(s, "Hello");
    EXPECT_FALSE(s.LoadString(61002));
}

TEST(EncodingTest, Cp1252RoundTripAndReplacement)
{
    struct Case
    {
        const char* utf8;
        const char* cp1252;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"µm²", "\xB5m\xB2"},
        {"€ – „“", "\x80 \x96 \x84\x93"},
        {"Gültige", "G\xFCltige"},
        {"日本", "??"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kestrun::Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
        const bool fits = std::string(c.cp1252).find('?') == std::string::npos;
        EXPECT_EQ(kestrun::FitsCp1252(c.utf8), fits) << c.utf8;
        if (fits) {
            EXPECT_EQ(kestrun::Cp1252ToUtf8(c.cp1252), c.utf8);
        }
    }
    EXPECT_TRUE(kestrun::FitsCp1252("what?"));
    EXPECT_FALSE(kestrun::FitsCp1252("\xB5")) << "not UTF-8";
    // Bytes that are no UTF-8 pass through as they are.
    EXPECT_EQ(kestrun::Utf8ToCp1252("\xB5"), "\xB5");
    // The five bytes Windows-1252 leaves undefined come back as they were.
    for (const char* undefined : {"\x81", "\x8D", "\x8F", "\x90", "\x9D"})
        EXPECT_EQ(kestrun::Utf8ToCp1252(kestrun::Cp1252ToUtf8(undefined)), undefined);
    EXPECT_EQ(kestrun::Cp1252ToUtf8("\x81"), "\xC2\x81");
    EXPECT_EQ(kestrun::Utf16ToUtf8(u"µ€\U0001F600"), "µ€\U0001F600");
}
