// VBScript as the interpreter runs it: each case is a source, what it
// handed to the recording host object "Out", or the error that stopped it.

#include "scripthost/tests/recordinghost.h"
#include "scripthost/vbscript/vbsinterpreter.h"
#include "scripthost/vbscript/vbsparser.h"

#include "platform/automation/objectregistry.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

namespace {

using kestrun::vbs::CVbsInterpreter;
using kestrun::test::CRecordingHost;

struct CCase
{
    const char* m_name;
    const char* m_source;
    const char* m_output; // the texts handed to Out.Print, joined by '|'
    long m_nError = 0;
    int m_nLine = 0;
    int m_nColumn = 0;
};

const CCase kCases[] = {
    {"Print", "Out.Print \"hi\"", "hi"},
    {"ArithmeticKinds", "Out.Print 7 \\ 2: Out.Print 7 Mod 3: Out.Print 2 ^ 10: Out.Print 1 / 4: Out.Print -2 ^ 2",
     "3|1|1024|0.25|-4"},
    {"IntegerWidensToLong", "x = 32767 + 1: Out.Print TypeName(x) & \" \" & x", "Long 32768"},
    {"Concatenation", "Out.Print \"a\" & 1 & Null & True", "a1True"},
    {"Comparison", "Out.Print (1 < 2) & \" \" & (\"b\" > \"a\") & \" \" & (3 = \"3\")", "True True True"},
    {"Logic", "Out.Print (True And False) Or Not False: Out.Print 6 And 3: Out.Print 5 Xor 1", "True|2|4"},
    {"OptionExplicitUndefined", "Option Explicit\nDim a\na = 1\nb = 2", "", 500, 4, 0},
    {"DimArrayBounds", "Dim a(3)\nOut.Print LBound(a) & \" \" & UBound(a)", "0 3"},
    {"ReDimPreserve",
     "Dim a()\nReDim a(2)\na(2) = \"x\"\nReDim Preserve a(5)\nOut.Print UBound(a) & a(2)\nReDim a(1)\nOut.Print "
     "IsEmpty(a(1))",
     "5x|True"},
    {"SubscriptOutOfRange", "Dim a(1)\na(2) = 1", "", 9, 2, 0},
    {"Const", "Const k = 5\nOut.Print k * 2\nk = 1", "10", 501, 3, 0},
    {"ByRefDefault", "Sub Inc(n)\n n = n + 1\nEnd Sub\nx = 1\nInc x\nCall Inc(x)\nOut.Print x", "3"},
    {"ByVal", "Sub Inc(ByVal n)\n n = n + 1\nEnd Sub\nx = 1\nInc x\nOut.Print x", "1"},
    {"ParenthesesPassByValue", "Sub Inc(n)\n n = n + 1\nEnd Sub\nx = 1\nInc (x)\nOut.Print x", "1"},
    {"Function", "Function Sq(v)\n Sq = v * v\nEnd Function\nOut.Print Sq(9)", "81"},
    {"Recursion", "Function F(n)\n If n <= 1 Then F = 1 Else F = n * F(n - 1)\nEnd Function\nOut.Print F(10)",
     "3628800"},
    {"IfBlock", "x = 5\nIf x > 10 Then\n Out.Print 1\nElseIf x > 3 Then\n Out.Print 2\nElse\n Out.Print 3\nEnd If",
     "2"},
    {"ForStep", "For i = 10 To 1 Step -3: Out.Print i: Next", "10|7|4|1"},
    {"ForExit", "For i = 1 To 10\n If i = 3 Then Exit For\nNext\nOut.Print i", "3"},
    {"ForEach", "For Each v In Array(1, \"b\", 3)\n Out.Print v\nNext", "1|b|3"},
    {"DoWhile", "i = 0\nDo While i < 3\n i = i + 1\nLoop\nOut.Print i", "3"},
    {"DoLoopUntil", "i = 0\nDo\n i = i + 2\nLoop Until i >= 5\nOut.Print i", "6"},
    {"DoExit", "Do\n n = n + 1\n If n = 4 Then Exit Do\nLoop\nOut.Print n", "4"},
    {"WhileWend", "i = 5\nWhile i > 0\n i = i - 2\nWend\nOut.Print i", "-1"},
    {"SelectCase",
     "For Each v In Array(1, 4, 9)\nSelect Case v\nCase 1, 2\n Out.Print \"low\"\nCase 4\n Out.Print \"four\"\nCase "
     "Else\n Out.Print \"other\"\nEnd Select\nNext",
     "low|four|other"},
    {"OnErrorResumeNext",
     "On Error Resume Next\nx = 1 / 0\nOut.Print Err.Number & \" \" & Err.Description\nErr.Clear\nOut.Print "
     "Err.Number\nOn Error GoTo 0\ny = 1 / 0",
     "11 Division by zero|0", 11, 7, 0},
    {"ErrRaise", "On Error Resume Next\nErr.Raise 1000, \"me\", \"custom\"\nOut.Print Err.Number & Err.Description",
     "1000custom"},
    {"ErrorStopsOnce", "Out.Print 1\nx = CInt(\"abc\")\nOut.Print 2", "1", 13, 2, 0},
    {"OverflowCInt", "x = CInt(40000)", "", 6, 1, 0},
    {"EmptyNullNothing",
     "Dim o\nSet o = Nothing\nOut.Print IsEmpty(e) & IsNull(Null) & (o Is Nothing) & IsObject(o) & TypeName(Null)",
     "TrueTrueTrueTrueNull"},
    {"StringFunctions",
     "s = \"  Hello World  \"\nOut.Print Trim(s)\nOut.Print Len(Trim(s)) & Left(Trim(s), 2) & Right(Trim(s), 2) & "
     "Mid(Trim(s), 7, 3)\nOut.Print InStr(s, \"World\") & InStr(1, \"aXa\", \"x\", 1) & InStrRev(\"abcabc\", "
     "\"b\")\nOut.Print UCase(\"ab\") & LCase(\"CD\") & Replace(\"a-b-c\", \"-\", \"+\") & StrReverse(\"xyz\")\nOut.Print "
     "Join(Split(\"a,b,c\", \",\"), \";\") & Space(2) & String(3, \"*\") & Chr(65) & Asc(\"a\") & StrComp(\"a\", \"b\")",
     "Hello World|11HeldWor|925|ABcda+b+czyx|a;b;c  ***A97-1"},
    {"Conversions",
     "Out.Print CInt(2.5) & CInt(3.5) & CLng(\"12\") & CDbl(\"1.5\") & CStr(7) & CBool(1) & Int(-1.5) & Fix(-1.5) & "
     "Abs(-3) & Sgn(-2) & Round(2.456, 2) & Hex(255) & Oct(8)",
     "24121.57True-2-13-12.46FF10"},
    {"IsFunctions",
     "Dim a(1)\nOut.Print IsArray(a) & IsNumeric(\"1.5\") & IsNumeric(\"x\") & IsDate(\"2024-02-29\") & "
     "VarType(\"s\") & TypeName(a)",
     "TrueTrueFalseTrue8Variant()"},
    {"Dates",
     "d = DateSerial(2024, 2, 29)\nOut.Print Year(d) & \"-\" & Month(d) & \"-\" & Day(d) & \" \" & Weekday(d)\nt = "
     "TimeSerial(13, 5, 9)\nOut.Print Hour(t) & \":\" & Minute(t) & \":\" & Second(t)\nOut.Print Year(DateSerial(2023, "
     "14, 1)) & IsDate(Now)",
     "2024-2-29 5|13:5:9|2024True"},
    {"FormatNumber", "Out.Print FormatNumber(1234567.891) & \" \" & FormatNumber(-0.5, 1, 0) & \" \" & "
                     "FormatNumber(12, 0, -1, -1, 0)",
     "1,234,567.89 -.5 12"},
    {"HostPropertyGetAndLet", "Out.Count = 41\nOut.Count = Out.Count + 1\nOut.Print Out.Count", "42"},
    {"HostCallWithParentheses", "Call Out.Print(\"a\")\nOut.Print(\"b\")\nr = Out.Twice(4)\nOut.Print r", "a|b|8"},
    {"HostUnknownMember", "Out.Print 1\nOut.Frobnicate 2", "1", 438, 2, 0},
    {"HostWrongArgument", "Out.Twice \"many\"", "", 13, 1, 0},
    {"HostWrongArgumentCount", "x = Out.Twice(1, 2)", "", 450, 1, 0},
    {"DBFrontRedimensionsTheArray",
     "Dim t()\nReDim t(9)\nn = Out.GetReportTitles(t)\nOut.Print n & \" \" & LBound(t) & \" \" & UBound(t) & \" \" & "
     "t(15)",
     "16 0 15 T15"},
    {"DBFrontKeepsTheLowerBound", "Dim t(9)\nn = Out.GetReportTitles(t)\nOut.Print t(0) & \" \" & UBound(t)",
     "T0 15"},
    {"CreateObjectUnknownClass", "Set xl = CreateObject(\"Excel.Application\")", "", 429, 1, 0},
    {"CreateObjectRegistered", "Set o = CreateObject(\"Kestrun.Recorder\")\no.Print \"made\"", ""},
    {"SetNeedsObject", "Set x = 5", "", 424, 1, 0},
    {"ObjectRequired", "Dim o\no.Print 1", "", 424, 2, 0},
    {"ParseErrorRunsNothing", "Out.Print 1\nIf x Then\nOut.Print 2", "", 1014, 3, 11},
    {"ParseErrorColumn", "Out.Print 1\nx = (1 + 2", "", 1006, 2, 10},
    {"ParseErrorUnterminatedString", "x = 1\n  y = \"abc", "", 1033, 2, 10},
    {"InvalidCharacter", "x = 1 $ 2", "", 1032, 1, 6},
    {"LineContinuation", "x = 1 + _\n  2\nOut.Print x", "3"},
    {"Comments", "' a comment\nRem another\nOut.Print 1 ' trailing", "1"},
    {"HexLiteral", "Out.Print &HFF & \" \" & &HFFFF & \" \" & &O17", "255 -1 15"},
    {"DivisionByZero", "x = 5 \\ 0", "", 11, 1, 0},
    {"DeepCallsStop", "Sub R(n)\n R n + 1\nEnd Sub\nR 1", "", 28, 2, 1},
    {"ExitSubAndFunction", "Function G()\n G = 1\n Exit Function\n G = 2\nEnd Function\nOut.Print G()", "1"},
    {"ProcedureArgumentCount", "Sub S(a)\nEnd Sub\nS 1, 2", "", 450, 3, 0},
    {"ErrInProcedureResumedByCaller",
     "Sub Bad()\n x = 1 / 0\n Out.Print \"not here\"\nEnd Sub\nOn Error Resume Next\nBad\nOut.Print Err.Number", "11"},
    {"MultiDimensional", "Dim m(1, 2)\nm(1, 2) = 7\nOut.Print m(1, 2) & UBound(m, 2)", "72"},
    {"Erase", "Dim a(2)\na(1) = 5\nErase a\nOut.Print IsEmpty(a(1))", "True"},
    {"SubCallWithParenthesesAndTwoArguments", "Sub S(a, b)\nEnd Sub\nS(1, 2)", "", 1044, 3, 0},
    {"Class",
     "Class Counter\n Private m_n\n Public Name\n Dim m_steps(2)\n Private Sub Class_Initialize()\n  m_n = 10\n End Sub\n"
     " Public Sub Add(ByVal k)\n  m_n = m_n + k\n  m_steps(0) = k\n End Sub\n Public Function Twice()\n  Twice = "
     "Value * 2\n End Function\n Public Property Get Value()\n  Value = m_n\n End Property\n Public Property Let "
     "Value(v)\n  If v < 0 Then Exit Property\n  m_n = v\n End Property\n Public Property Get Self()\n  Set Self = Me\n "
     "End Property\nEnd Class\nSet c = New Counter\nc.Add 5\nOut.Print c.Value & \" \" & c.Twice()\nc.Value = -1\n"
     "c.Value = 3\nc.Name = \"n\"\nOut.Print c.Self.Value & c.Name & TypeName(c)\nSet d = New Counter\nOut.Print d.Value",
     "15 30|3nCounter|10"},
    {"ClassPrivateMemberIsHidden", "Class K\n Private m_x\nEnd Class\nSet k = New K\nOut.Print 1\nk.m_x = 2", "1", 438, 6,
     0},
    {"ClassUnknownIsNotDefined", "Set x = New Nowhere", "", 506, 1, 0},
    {"ClassErrorInAMethodKeepsItsNumber",
     "Class K\n Function F()\n  F = 1 / 0\n End Function\nEnd Class\nSet k = New K\nx = k.F()", "", 11, 3, 2},
    {"ClassNeedsEndClass", "Class K\n Dim a\nEnd Sub", "", 1047, 3, 4},
    {"ClassMethodsRecurseUpToTheLimit",
     "Class K\n Sub R(n)\n  R n + 1\n End Sub\nEnd Class\nSet k = New K\nk.R 1", "", 28, 3, 2},
    {"ClassObjectsAreReferences",
     "Class P\n Public V\nEnd Class\nSet a = New P\nSet b = a\nb.V = 7\nOut.Print a.V & (a Is b)\nSet a = New P\nOut.Print "
     "IsEmpty(a.V) & b.V",
     "7True|True7"},
    {"CaseIsIsNotVBScript", "Select Case 1\nCase Is < 2\nEnd Select", "", 1023, 2, 5},
    {"With",
     "With Out\n .Count = 5\n .Print .Count + 1\n With Out\n  .Print \"inner\"\n End With\n .Print \"x\"\nEnd With",
     "6|inner|x"},
    {"WithNeedsAnObject", "With 5\nEnd With", "", 424, 1, 0},
    {"DotOutsideWith", "x = .Count", "", 1002, 1, 4},
    {"WithWithoutEndWith", "With Out\n.Print 1\nEnd If", "", 1029, 3, 4},
    {"WithLeftByExit",
     "For i = 1 To 3\n With Out\n  If i = 2 Then Exit For\n  .Print i\n End With\nNext\nOut.Print \"after\"", "1|after"},
    {"Eval", "x = 4\nOut.Print Eval(\"x * 2 + 1\")\nOut.Print Eval(\"x = 4\")", "9|True"},
    {"EvalTakesOneExpression", "x = Eval(\"1 2\")", "", 1025, 1, 0},
    {"ExecuteRunsWhereItIsCalled",
     "Execute \"y = 3\" & vbCrLf & \"Out.Print y\"\nSub S()\n Execute \"z = 1\"\n Out.Print IsEmpty(z)\nEnd Sub\nS\n"
     "Out.Print IsEmpty(z)",
     "3|False|True"},
    {"ExecuteGlobal", "Sub S()\n ExecuteGlobal \"g = 7\"\nEnd Sub\nS\nOut.Print g", "7"},
    {"ExecuteDefinesProcedures",
     "Execute \"Function Tw(v)\" & vbLf & \"Tw = v * 2\" & vbLf & \"End Function\"\nOut.Print Tw(21)", "42"},
    {"ExecuteErrorIsReportedAtTheCall", "x = 1\nExecute \"y = 1 / 0\"", "", 11, 2, 0},
    {"ExecuteSyntaxErrorIsReportedAtTheCall", "x = 1\nExecute \"y = \"", "", 1023, 2, 0},
    {"ExecuteOfExecuteHitsTheLimit", "s = \"Execute s\"\nExecute s", "", 28, 2, 0},
    {"ExecuteResumedByOnError", "On Error Resume Next\nExecute \"x = 1 / 0\"\nOut.Print Err.Number", "11"},
    {"RndRepeatsForANegativeSeed",
     "a = Rnd(-3): b = Rnd: c = Rnd(0)\nd = Rnd(-3): e = Rnd\nOut.Print (a = d) & (b = e) & (b = c) & (a >= 0 And a < "
     "1) & (b <> a) & TypeName(b)",
     "TrueTrueTrueTrueTrueSingle"},
    {"RandomizeWithASeedRepeats",
     "x = Rnd(-1): Randomize 42: a = Rnd\nx = Rnd(-1): Randomize 42: b = Rnd\nRandomize\nOut.Print (a = b) & (Rnd < 1)",
     "TrueTrue"},
    {"RndStaysInItsRange",
     "For i = 1 To 1000\n r = Rnd\n If r < 0 Or r >= 1 Then Out.Print r\n s = s + r\nNext\nOut.Print (s > 400 And s < "
     "600)",
     "True"},
    {"DateAdd",
     "Function T(d)\n T = Year(d) & \"-\" & Month(d) & \"-\" & Day(d) & \" \" & Hour(d) & \":\" & Minute(d)\nEnd "
     "Function\nOut.Print T(DateAdd(\"m\", 1, DateSerial(2024, 1, 31)))\nOut.Print T(DateAdd(\"yyyy\", -1, "
     "DateSerial(2024, 2, 29)))\nOut.Print T(DateAdd(\"q\", 1, DateSerial(2023, 11, 30)))\nOut.Print T(DateAdd(\"d\", "
     "-1, DateSerial(1900, 1, 1)))\nOut.Print T(DateAdd(\"ww\", 2, DateSerial(2024, 12, 25)))\nOut.Print "
     "T(DateAdd(\"h\", 30, DateSerial(2024, 1, 1)))\nOut.Print T(DateAdd(\"n\", -90, DateSerial(1899, 12, 30)))\n"
     "Out.Print T(DateAdd(\"S\", 61, DateSerial(2024, 1, 1)))\nOut.Print IsNull(DateAdd(\"d\", 1, Null))\nx = "
     "DateAdd(\"yyyy\", 9000, Now)",
     "2024-2-29 0:0|2023-2-28 0:0|2024-2-29 0:0|1899-12-31 0:0|2025-1-8 0:0|2024-1-2 6:0|1899-12-29 22:30|2024-1-1 "
     "0:1|True",
     5, 13, 0},
    {"DateAddUnknownInterval", "x = DateAdd(\"days\", 1, Now)", "", 5, 1, 0},
    {"DateDiff",
     "Out.Print DateDiff(\"d\", DateSerial(2024, 1, 1), DateSerial(2024, 3, 1)) & \" \" & DateDiff(\"d\", "
     "DateSerial(2024, 3, 1), DateSerial(2024, 1, 1))\nOut.Print DateDiff(\"m\", DateSerial(2023, 12, 31), "
     "DateSerial(2024, 1, 1)) & DateDiff(\"yyyy\", DateSerial(2023, 12, 31), DateSerial(2024, 1, 1)) & "
     "DateDiff(\"q\", DateSerial(2024, 3, 31), DateSerial(2024, 4, 1))\na = DateSerial(2024, 1, 1) + TimeSerial(23, "
     "59, 0)\nb = DateSerial(2024, 1, 2)\nOut.Print DateDiff(\"h\", a, b) & DateDiff(\"n\", a, b) & \" \" & "
     "DateDiff(\"s\", a, b)\nOut.Print DateDiff(\"w\", DateSerial(2024, 1, 1), DateSerial(2024, 1, 14)) & "
     "DateDiff(\"ww\", DateSerial(2024, 1, 6), DateSerial(2024, 1, 7)) & DateDiff(\"ww\", DateSerial(2024, 1, 7), "
     "DateSerial(2024, 1, 13)) & DateDiff(\"ww\", DateSerial(2024, 1, 6), DateSerial(2024, 1, 7), 2) & "
     "TypeName(DateDiff(\"d\", a, b))",
     "60 -60|111|11 60|1100Long"},
};

class VBScriptCases : public ::testing::TestWithParam<CCase>
{
};

TEST_P(VBScriptCases, RunsAsVBScriptDoes)
{
    const CCase& c = GetParam();
    auto host = std::make_shared<CRecordingHost>();
    kestrun::RegisterObjectFactory("Kestrun.Recorder", [host] { return host; });
    CVbsInterpreter interpreter;
    interpreter.AddItem("Out", COleVariant::Dispatch(host));
    const auto fault = interpreter.Execute(c.m_source, 1);
    kestrun::UnregisterObjectFactory("Kestrun.Recorder");

    std::string expected = c.m_output;
    if (std::string_view(c.m_name) == "CreateObjectRegistered")
        expected = "made";
    EXPECT_EQ(host->Joined(), expected);
    if (c.m_nError == 0) {
        EXPECT_FALSE(fault.has_value()) << (fault ? fault->m_strDescription.GetString() : "");
        return;
    }
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->m_nNumber, c.m_nError) << fault->m_strDescription.GetString();
    EXPECT_EQ(fault->m_pos.m_nLine, c.m_nLine);
    EXPECT_EQ(fault->m_pos.m_nColumn, c.m_nColumn);
}

INSTANTIATE_TEST_SUITE_P(Table, VBScriptCases, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

TEST(VBScript, UnknownMemberErrorNamesTheMember)
{
    auto host = std::make_shared<CRecordingHost>();
    CVbsInterpreter interpreter;
    interpreter.AddItem("Out", COleVariant::Dispatch(host));
    const auto fault = interpreter.Execute("Out.Frobnicate", 1);
    ASSERT_TRUE(fault.has_value());
    EXPECT_NE(fault->m_strDescription.Find("Recorder.Frobnicate"), -1) << fault->m_strDescription.GetString();
    EXPECT_EQ(fault->m_strSourceText, "Out.Frobnicate");
}

TEST(VBScript, MsgBoxGoesToTheMessageBoxService)
{
    kestrun::testing::ScopedMessageBoxes boxes;
    CVbsInterpreter interpreter;
    EXPECT_FALSE(interpreter.Execute("MsgBox \"Hallo\"", 1).has_value());
    ASSERT_EQ(boxes->Texts().size(), 1U);
    EXPECT_EQ(boxes->Texts()[0], "Hallo");
}

TEST(VBScript, GlobalsAndProceduresOutliveTheirPiece)
{
    auto host = std::make_shared<CRecordingHost>();
    CVbsInterpreter interpreter;
    interpreter.AddItem("Out", COleVariant::Dispatch(host));
    ASSERT_FALSE(interpreter.Execute("g = 5\nSub Show()\n Out.Print g\nEnd Sub", 1).has_value());
    ASSERT_FALSE(interpreter.Execute("Show", 1).has_value());
    EXPECT_EQ(host->Joined(), "5");
}

TEST(VBScript, StartingLineCountsTheFirstLine)
{
    CVbsInterpreter interpreter;
    const auto fault = interpreter.Execute("x = 1\nx = 1 / 0", 10);
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->m_pos.m_nLine, 11);
}

// Text from outside must not exhaust the stack: deep nesting is a syntax
// error, long chains an "Expression too complex".
TEST(VBScript, DeepNestingIsRefused)
{
    CVbsInterpreter interpreter;
    const std::string parens = "x = " + std::string(100000, '(') + "1" + std::string(100000, ')');
    auto fault = interpreter.Execute(parens, 1);
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->m_nNumber, 1050);

    std::string chain = "x = 1";
    for (int i = 0; i < 100000; ++i)
        chain += " + 1";
    fault = interpreter.Execute(chain, 1);
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->m_nNumber, 1050);

    std::string ifs;
    for (int i = 0; i < 5000; ++i)
        ifs += "If 1 Then\n";
    fault = interpreter.Execute(ifs, 1);
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->m_nNumber, 1050);

    std::string withs;
    for (int i = 0; i < 5000; ++i)
        withs += "With Out\n";
    fault = interpreter.Execute(withs, 1);
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->m_nNumber, 1050);

    // Text handed to Eval is held to the same bounds.
    fault = interpreter.Execute("x = 1\nx = Eval(String(100000, \"(\") & \"1\" & String(100000, \")\"))", 1);
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->m_nNumber, 1050);
    EXPECT_EQ(fault->m_pos.m_nLine, 2);
}

// Each of many nested calls evaluates a deep expression before it calls
// again: the run stops with "Out of stack space" instead of overflowing.
TEST(VBScript, DeepExpressionsInDeepCallsStop)
{
    std::string body = "F(n - 1)";
    for (int i = 0; i < 480; ++i)
        body += " + 1";
    const std::string source =
        "Function F(n)\n If n > 0 Then F = " + body + " Else F = 0\nEnd Function\nx = F(140)";
    CVbsInterpreter interpreter;
    const auto fault = interpreter.Execute(source, 1);
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->m_nNumber, 28);
    // A shallow run afterwards starts from an empty stack again.
    EXPECT_FALSE(interpreter.Execute("x = F(2)", 1).has_value());
}

TEST(VBScript, HugeArrayIsOutOfMemory)
{
    CVbsInterpreter interpreter;
    const auto fault = interpreter.Execute("Dim a(100000, 100000)", 1);
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->m_nNumber, 7);
}

} // namespace
