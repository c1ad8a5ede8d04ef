// The script engine as the main window drives it: states, items, code
// that waits for the start, and the error path to the owner or to the
// message output; and the host calls through JScript.

#include "scripthost/tests/recordinghost.h"

#include "scripthost/messageoutput.h"
#include "scripthost/scriptengine.h"
#include "scripthost/scriptmessages.h"

#include "platform/automation/objectregistry.h"
#include "platform/core/messages.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

namespace {

using kestrun::test::CRecordingHost;

class CMessageLog : public CMessageTarget
{
public:
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        m_messages.push_back({message, wParam, lParam});
        return 0;
    }
    struct CEntry
    {
        UINT m_message;
        WPARAM m_wParam;
        LPARAM m_lParam;
    };
    std::vector<CEntry> m_messages;
};

class ScriptEngine : public ::testing::Test
{
protected:
    void SetUp() override { m_hwnd = kestrun::CreateWindowHandle(&m_log); }
    void TearDown() override { kestrun::DestroyWindowHandle(m_hwnd); }

    CMessageLog m_log;
    HWND m_hwnd = nullptr;
    std::shared_ptr<CRecordingHost> m_host = std::make_shared<CRecordingHost>();
};

TEST_F(ScriptEngine, StatesFollowTheHostsCalls)
{
    CScriptEngine engine;
    EXPECT_FALSE(engine.IsOpen());
    engine.Open();
    EXPECT_TRUE(engine.IsOpen());
    EXPECT_EQ(engine.GetScriptState(), SCRIPTSTATE_INITIALIZED);
    engine.Attach(m_hwnd);
    engine.ConnectEvents();
    EXPECT_EQ(engine.GetScriptState(), SCRIPTSTATE_CONNECTED);
    engine.DisconnectEvents();
    EXPECT_EQ(engine.GetScriptState(), SCRIPTSTATE_DISCONNECTED);
    engine.AddItem("Out", CContCLSID(), m_host, 0);
    engine.Close();
    EXPECT_FALSE(engine.IsOpen());
    EXPECT_EQ(engine.GetItemCount(), 0);
    engine.Close(); // closing twice does nothing
}

TEST_F(ScriptEngine, SetEngineTakesOnlyTheExactNames)
{
    CScriptEngine engine;
    EXPECT_THROW(engine.SetEngine("vbscript"), CNotSupportedException);
    EXPECT_THROW(engine.SetEngine("jscript language"), CNotSupportedException);
    EXPECT_NO_THROW(engine.SetEngine("JScript Language"));
    EXPECT_NO_THROW(engine.SetEngine("VBScript"));
}

TEST_F(ScriptEngine, UnknownEngineClassIsReportedAndThrown)
{
    kestrun::testing::ScopedMessageBoxes boxes;
    CScriptEngine engine;
    engine.SetEngine(CContCLSID("{00000000-0000-0000-0000-000000000000}"));
    EXPECT_THROW(engine.Open(), COleException);
    EXPECT_EQ(boxes->Texts().size(), 1U);
    EXPECT_FALSE(engine.IsOpen());
}

TEST_F(ScriptEngine, AnItemAddedTwiceKeepsTheFirst)
{
    auto second = std::make_shared<CRecordingHost>();
    CScriptEngine engine;
    engine.Open();
    engine.Attach(m_hwnd);
    engine.ConnectEvents();
    engine.AddItem("Out", CContCLSID(), m_host, 0);
    engine.AddItem("Out", CContCLSID(), second, 0);
    EXPECT_EQ(engine.GetItemCount(), 1);
    engine.AddGlobalCode("Out.Print 1", 0, 1);
    EXPECT_EQ(m_host->Joined(), "1");
    EXPECT_EQ(second->Joined(), "");
}

TEST_F(ScriptEngine, GlobalCodeWaitsForTheStart)
{
    CScriptEngine engine;
    engine.Open();
    engine.AddItem("Out", CContCLSID(), m_host, 0);
    engine.AddGlobalCode("Out.Print \"early\"", 0, 1);
    EXPECT_EQ(m_host->Joined(), "");
    engine.Attach(m_hwnd);
    engine.ConnectEvents();
    EXPECT_EQ(m_host->Joined(), "early");
}

TEST_F(ScriptEngine, AScriptErrorPostsOneNoticeWithTheSourceContext)
{
    CScriptEngine engine;
    engine.Open();
    engine.Attach(m_hwnd);
    engine.ConnectEvents();
    engine.AddGlobalCode("x = 1\nx = 1 / 0\nx = 2 / 0", 77, 1);
    kestrun::PumpMessages();
    ASSERT_EQ(m_log.m_messages.size(), 1U);
    EXPECT_EQ(m_log.m_messages[0].m_message, wm_ScriptError);
    EXPECT_EQ(m_log.m_messages[0].m_wParam, 0U);
    EXPECT_EQ(m_log.m_messages[0].m_lParam, 77);
    const CScriptError& error = engine.GetLastError();
    EXPECT_EQ(error.GetSourceContext(), 77U);
    EXPECT_EQ(error.GetSourceLine(), 2U);
    EXPECT_EQ(error.GetCharPos(), 0);
    EXPECT_EQ(error.GetDescription(), "Division by zero");
    EXPECT_EQ(error.GetSourceText(), "x = 1 / 0");
}

TEST_F(ScriptEngine, ErrorsWithoutOwnerGoToTheMessageOutput)
{
    std::vector<CString> output;
    const auto previous = kestrun::SetMessageOutputSink([&](const CString& text) { output.push_back(text); });
    {
        CScriptEngine engine;
        engine.Open();
        engine.Attach(m_hwnd);
        engine.ConnectEvents();
        engine.Attach(nullptr);
        EXPECT_EQ(engine.GetOwner(), nullptr);
        engine.AddGlobalCode("y = (1", 0, 1);
    }
    kestrun::SetMessageOutputSink(previous);
    kestrun::PumpMessages();
    EXPECT_TRUE(m_log.m_messages.empty());
    ASSERT_EQ(output.size(), 1U);
    EXPECT_EQ(output[0], "Scriptfehler Expected ')' in Zeile: 1: y = (1");
}

TEST_F(ScriptEngine, EventHandlersBecomeProcedures)
{
    CScriptEngine engine;
    engine.Open();
    engine.Attach(m_hwnd);
    engine.ConnectEvents();
    engine.AddItem("Out", CContCLSID(), m_host, 1);
    engine.AddEventHandler("Out", "Click", "Out.Print \"clicked\"", 0);
    engine.AddGlobalCode("Out_Click", 0, 1);
    EXPECT_EQ(m_host->Joined(), "clicked");
}

TEST(ScriptEngineNames, HandlerNamesJoinAndSplitAtTheFirstUnderscore)
{
    EXPECT_EQ(CScriptEngine::MakeEventHandlerName("Bild", "Click"), "Bild_Click");
    CString item;
    CString event = "unchanged";
    EXPECT_TRUE(CScriptEngine::ParseEventHandlerName("a_b_c", item, event));
    EXPECT_EQ(item, "a");
    EXPECT_EQ(event, "b_c");
    event = "unchanged";
    EXPECT_FALSE(CScriptEngine::ParseEventHandlerName("abc", item, event));
    EXPECT_EQ(item, "abc");
    EXPECT_EQ(event, "unchanged");
}

// ---- JScript ---------------------------------------------------------------------------------

struct CJsCase
{
    const char* m_name;
    const char* m_source;
    const char* m_output;
    ULONG m_nErrorLine = 0; // 0: no error
    const char* m_description = "";
};

const CJsCase kJsCases[] = {
    {"Print", "Out.Print('hi');", "hi"},
    {"PropertyGetAndSet", "Out.Count = 41;\nOut.Count = Out.Count + 1;\nOut.Print(Out.Count);", "42"},
    {"MethodResult", "var r = Out.Twice(4);\nOut.Print(r);", "8"},
    {"UnknownMember", "Out.Print(1);\nOut.Frobnicate(2);", "1", 2, "Recorder.Frobnicate"},
    {"WrongArgument", "Out.Print(0);\n\nOut.Twice('many');", "0", 3, "Argument 1 of Recorder.Twice"},
    {"ActiveXObject", "var o = new ActiveXObject('Kestrun.Recorder');\no.Print('made');", "made"},
    {"UnknownClass", "\nvar xl = new ActiveXObject('Excel.Application');", "", 2, "Excel.Application"},
    {"SyntaxError", "Out.Print(1);\nvar = ;", "", 2, "SyntaxError"},
    {"ThrownError", "Out.Print(1);\nthrow new Error('stop');\nOut.Print(2);", "1", 2, "stop"},
};

class JScriptCases : public ::testing::TestWithParam<CJsCase>
{
};

TEST_P(JScriptCases, HostCallsRunThroughJScript)
{
    const CJsCase& c = GetParam();
    auto host = std::make_shared<CRecordingHost>();
    kestrun::RegisterObjectFactory("Kestrun.Recorder", [host] { return host; });
    std::vector<CString> output;
    const auto previous = kestrun::SetMessageOutputSink([&](const CString& text) { output.push_back(text); });
    CScriptError error;
    {
        CScriptEngine engine;
        engine.SetEngine("JScript Language");
        engine.Open();
        engine.ConnectEvents();
        engine.AddItem("Out", CContCLSID(), host, 0);
        engine.AddGlobalCode(c.m_source, 5, 1);
        error = engine.GetLastError();
    }
    kestrun::SetMessageOutputSink(previous);
    kestrun::UnregisterObjectFactory("Kestrun.Recorder");

    EXPECT_EQ(host->Joined(), c.m_output);
    if (c.m_nErrorLine == 0) {
        EXPECT_TRUE(output.empty()) << (output.empty() ? "" : output[0].GetString());
        return;
    }
    ASSERT_EQ(output.size(), 1U);
    EXPECT_EQ(error.GetSourceContext(), 5U);
    EXPECT_EQ(error.GetSourceLine(), c.m_nErrorLine);
    EXPECT_EQ(error.GetCharPos(), 0);
    EXPECT_NE(error.GetDescription().Find(c.m_description), -1) << error.GetDescription().GetString();
}

INSTANTIATE_TEST_SUITE_P(Table, JScriptCases, ::testing::ValuesIn(kJsCases),
                         [](const auto& info) { return std::string(info.param.m_name); });

} // namespace
