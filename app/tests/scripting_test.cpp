// Scripts in the program: the user's script edited, closed and run; a
// faulty script opens the editor at its line; documents handed to scripts
// as "Bild" and "Tabelle"; one engine at a time.

#include "app/tests/apptesting.h"

#include "app/registeredmessages.h"
#include "app/resource.h"

#include "analysis/bv.h"
#include "imaging/dibdocex.h"
#include "imaging/imagecommands.h"
#include "imaging/resulttable.h"
#include "platform/core/messages.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/view.h"
#include "scripthost/scriptengine.h"
#include "scripthost/ui/editdlg.h"
#include "series/griddoc2.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTextBlock>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <fstream>

namespace kestrun::testing {

namespace {

class ScriptingTest : public CStartedAppTest<CKestrunApp>
{
protected:
    static CEditDlg* OpenEditor()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* editor = dynamic_cast<CEditDlg*>(widget); editor != nullptr && editor->isVisible())
                return editor;
        }
        return nullptr;
    }

    void RunFor(CCmdTarget* target)
    {
        Frame().SendMessage(AppMessages().runMacro, 0, reinterpret_cast<LPARAM>(target));
        PumpMessages();
    }

    // Three dark discs on a light page, opened as the program opens images.
    CDIBDocEx* OpenDiscs()
    {
        cv::Mat page(300, 400, CV_8UC3, cv::Scalar(240, 240, 240));
        for (const cv::Point& centre : {cv::Point(80, 80), cv::Point(250, 90), cv::Point(150, 220)})
            cv::circle(page, centre, 25, cv::Scalar(60, 60, 60), cv::FILLED);
        const std::filesystem::path file = m_folder / "discs.png";
        if (!cv::imwrite(file.string(), page))
            return nullptr;
        m_app.GetEngine()->GetSettings().m_SegThres =
            CSegThres(RGB(145, 145, 145), RGB(250, 250, 250), CSegThres::modeDark);
        return DYNAMIC_DOWNCAST(CDIBDocEx, m_app.OpenDocumentFile(file.c_str()));
    }

    void WriteExportScript(const std::string& code) const
    {
        const std::filesystem::path folder = std::filesystem::path(DataRoot().GetString()) / "script";
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "export.txt", std::ios::binary) << code;
    }
};

TEST_F(ScriptingTest, EditCloseAndRunTheUsersScript)
{
    EXPECT_TRUE(QueryCommand(Frame(), ID_MACRO_EDIT).enabled);
    EXPECT_FALSE(QueryCommand(Frame(), ID_MACRO_RUN).enabled);
    Frame().SendMessage(WM_COMMAND, ID_MACRO_EDIT);
    CEditDlg* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->windowTitle().toStdString(), "kestrun");
    editor->SetText("x = 6 * 7\r\nMsgBox \"Antwort \" & x");
    QCloseEvent close;
    QCoreApplication::sendEvent(editor, &close);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(OpenEditor(), nullptr);
    EXPECT_EQ(Frame().m_script.GetCode(), "x = 6 * 7\r\nMsgBox \"Antwort \" & x");

    EXPECT_TRUE(QueryCommand(Frame(), ID_MACRO_RUN).enabled);
    Frame().SendMessage(WM_COMMAND, ID_MACRO_RUN);
    PumpMessages();
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Antwort 42"});
}

TEST_F(ScriptingTest, AFaultyScriptOpensTheEditorAtItsLine)
{
    Frame().m_script.SetCode("x = 1\r\ny = x +* 2\r\nMsgBox \"not run\"");
    Frame().SendMessage(WM_COMMAND, ID_MACRO_RUN);
    PumpMessages();
    ASSERT_EQ(m_boxes->Texts().size(), 1U);
    EXPECT_EQ(m_boxes->Texts()[0], "Scriptfehler:\n Expected expression \n in:\n y = x +* 2\n Zeile:2, Spalte:7\n");
    CEditDlg* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    const QTextCursor cursor = editor->GetEditCtrl().textCursor();
    const int lineStart = editor->GetEditCtrl().document()->findBlockByNumber(1).position();
    EXPECT_EQ(cursor.selectionStart(), lineStart + 7);
    EXPECT_EQ(cursor.selectionEnd(), lineStart + 10);
    // The engine stays open after an error.
    ASSERT_NE(Frame().m_pScriptEngine, nullptr);
    EXPECT_TRUE(Frame().m_pScriptEngine->IsOpen());
}

TEST_F(ScriptingTest, AnUnknownClassIsAScriptError)
{
    // The workbook object is registered at start; another class is not.
    Frame().m_script.SetCode("Set xl = CreateObject(\"Excel.Application\")\r\n"
                             "Set w = CreateObject(\"Word.Application\")");
    Frame().SendMessage(WM_COMMAND, ID_MACRO_RUN);
    PumpMessages();
    ASSERT_EQ(m_boxes->Texts().size(), 1U);
    EXPECT_NE(m_boxes->Texts()[0].Find("ActiveX component can't create object: 'Word.Application'"), -1);
}

TEST_F(ScriptingTest, AnImageIsHandedToTheUsersScriptAsBild)
{
    CDIBDocEx* doc = OpenDiscs();
    ASSERT_NE(doc, nullptr);

    Frame().m_script.SetCode("If Bild.Measure(\"Count\") Then MsgBox \"counted on page \" & Bild.Bild");
    // The document's own Run hands it over.
    doc->OnCmdMsg(ID_IMAGE_RUN_MACRO, CN_COMMAND, nullptr, nullptr);
    PumpMessages();
    ASSERT_NE(doc->GetResultTable(), nullptr);
    EXPECT_EQ(doc->GetResultTable()->GetCount(), 3);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"counted on page 1"});

    // The document going closes the engine that held it.
    doc->OnCloseDocument();
    PumpMessages();
    EXPECT_EQ(Frame().m_pScriptEngine, nullptr);
}

TEST_F(ScriptingTest, AWrongCallOfBildIsAScriptErrorNamingTheMember)
{
    CDIBDocEx* doc = OpenDiscs();
    ASSERT_NE(doc, nullptr);
    Frame().m_script.SetCode("Bild.Filter \"Smooth\"\r\nBild.Show 17");
    RunFor(doc);
    ASSERT_EQ(m_boxes->Texts().size(), 1U);
    EXPECT_NE(m_boxes->Texts()[0].Find("Bild.Show"), -1) << m_boxes->Texts()[0].GetString();
    EXPECT_NE(m_boxes->Texts()[0].Find("Zeile:2"), -1) << m_boxes->Texts()[0].GetString();
    Frame().CloseScriptEngine();
}

TEST_F(ScriptingTest, ATablesExportRunsTheExportScriptAgainstTabelle)
{
    WriteExportScript("MsgBox Tabelle.Count & \"/\" & Tabelle.Title(0) & \"/\" & Tabelle.Value(1, 1)\r\n");
    Frame().m_script.SetCode("MsgBox \"user\"");
    CGridDoc2 table;
    RunFor(&table);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"0/NULL/NULL"});
    // The user's script keeps what the user wrote.
    EXPECT_EQ(Frame().m_script.GetCode(), "MsgBox \"user\"");
    Frame().CloseScriptEngine();
}

TEST_F(ScriptingTest, LongExportScriptsRunWhole)
{
    std::string code;
    for (int i = 0; i < 300; ++i)
        code += "n = n + 1 ' a line that makes the file longer than two kilobytes\r\n";
    code += "MsgBox n\r\n";
    WriteExportScript(code);
    CGridDoc2 table;
    RunFor(&table);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"300"});
    Frame().CloseScriptEngine();
}

TEST_F(ScriptingTest, AMissingExportScriptIsReportedAndNothingRuns)
{
    Frame().m_script.SetCode("MsgBox \"user\"");
    CGridDoc2 table;
    RunFor(&table);
    ASSERT_EQ(m_boxes->Texts().size(), 1U);
    EXPECT_EQ(m_boxes->Texts()[0], "File " + DataRoot() + "script/export.txt not found");
    Frame().CloseScriptEngine();
}

TEST_F(ScriptingTest, TwoRunsLeaveOneEngine)
{
    Frame().m_script.SetCode("x = 1");
    Frame().SendMessage(WM_COMMAND, ID_MACRO_RUN);
    const CScriptEngine* first = Frame().m_pScriptEngine.get();
    ASSERT_NE(first, nullptr);
    Frame().SendMessage(WM_COMMAND, ID_MACRO_RUN);
    ASSERT_NE(Frame().m_pScriptEngine, nullptr);
    EXPECT_TRUE(Frame().m_pScriptEngine->IsOpen());
    // The main window is no item kind: the menu's run adds no item.
    EXPECT_EQ(Frame().m_pScriptEngine->GetItemCount(), 0);
    EXPECT_TRUE(Frame().m_bScriptLoaded);
    EXPECT_TRUE(Frame().CloseScriptEngine());
    EXPECT_FALSE(Frame().CloseScriptEngine());
    EXPECT_FALSE(Frame().m_bScriptLoaded);
}

} // namespace
} // namespace kestrun::testing
