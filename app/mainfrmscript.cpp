// The main window's script hosting: the user's script, its editor, and the
// runs of scripts against documents ("Message RunMacro ").

#include "app/mainfrm.h"

#include "app/kestrunapp.h"
#include "app/resource.h"
#include "app/templatefactory.h"

#include "database/reportvalues.h"

#include "platform/automation/dispatchable.h"
#include "platform/core/messagebox.h"
#include "scripthost/scriptengine.h"
#include "scripthost/scripttext.h"

namespace {

// The kinds of objects a run hands to the engine, tested in this order.
struct CScriptObjectKind
{
    const char* m_lpszClass;
    const char* m_lpszItem;
    const char* m_lpszClassId;
    const char* m_lpszCodeFile; // relative to the data root; null: the user's script
};

constexpr CScriptObjectKind kScriptObjectKinds[] = {
    {"CDIBDocEx", "Bild", "{DD591203-E395-11D2-998A-0080AD38027C}", nullptr},
    {"CGridDoc2", "Tabelle", "{8BC6CEE3-C874-11d3-A1B4-00C0A8403DF2}", "script/export.txt"},
    {"CDBForm", "DBFront", "{75117FDB-B7A6-4CCE-B029-CCA4DC77DD25}", "script/report.txt"},
    // Its workbook path comes through IReportWorkbook, as the growth form's.
    {"CDBFormTrayScan", "DBFront", "{67C26ED9-1D70-4415-96D4-92738D34A16B}", "script/report.txt"},
};

// The workbook path inside the report script's string literal: quotes are
// doubled, so no name can end the literal and run as code.
CString WorkbookLiteral(const CString& path)
{
    CString text = path;
    text.Replace("\"", "\"\"");
    return text;
}

// Code files are read whole; this only keeps a damaged file from filling
// the memory.
constexpr int kMaxCodeFileSize = 16 << 20;

} // namespace

BOOL CMainFrame::OpenScriptEngine()
{
    if (!m_pScriptEngine)
        m_pScriptEngine = std::make_unique<CScriptEngine>();
    if (!m_pScriptEngine->IsOpen())
        m_pScriptEngine->Open();
    m_pScriptEngine->Attach(GetSafeHwnd());
    m_pScriptEngine->ConnectEvents();
    return TRUE;
}

BOOL CMainFrame::CloseScriptEngine()
{
    if (!m_pScriptEngine)
        return FALSE;
    try {
        m_pScriptEngine->DisconnectEvents();
        m_pScriptEngine->Attach(nullptr);
        if (m_pScriptEngine->IsOpen())
            m_pScriptEngine->Close();
    } catch (const CException&) {
        // Reported by the engine; it goes all the same.
    }
    m_pScriptEngine.reset();
    m_bScriptLoaded = FALSE;
    return TRUE;
}

CContScript* CMainFrame::ScriptOfCookie(LPARAM cookie)
{
    if (cookie == static_cast<LPARAM>(m_script.GetCookie()))
        return &m_script;
    if (cookie == static_cast<LPARAM>(m_docScript.GetCookie()))
        return &m_docScript;
    return nullptr;
}

void CMainFrame::OnMacroEdit()
{
    m_script.SetName("kestrun");
    m_script.SetType(SCRIPTTYPE_GLOBAL);
    m_script.Edit(GetSafeHwnd());
}

void CMainFrame::OnMacroRun()
{
    CWaitCursor wait;
    SendMessage(RegisterWindowMessage("Message RunMacro "), 0,
                reinterpret_cast<LPARAM>(static_cast<CCmdTarget*>(this)));
}

void CMainFrame::OnUpdateMacroRun(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(!m_script.GetCode().IsEmpty());
}

LRESULT CMainFrame::OnRunMacro(WPARAM, LPARAM lParam)
{
    try {
        auto* target = reinterpret_cast<CCmdTarget*>(lParam);
        // The document stays the document's: the engine only borrows it.
        std::shared_ptr<kestrun::CDispatchable> object;
        if (auto* dispatchable = dynamic_cast<kestrun::CDispatchable*>(target))
            object = std::shared_ptr<kestrun::CDispatchable>(std::shared_ptr<kestrun::CDispatchable>(), dispatchable);

        CloseScriptEngine();
        OpenScriptEngine();
        const char* codeFile = nullptr;
        for (const CScriptObjectKind& kind : kScriptObjectKinds) {
            if (target != nullptr && kestrun::IsKindOfClass(target, kind.m_lpszClass)) {
                m_pScriptEngine->AddItem(kind.m_lpszItem, CContCLSID(kind.m_lpszClassId), object, 0);
                codeFile = kind.m_lpszCodeFile;
            }
        }

        if (codeFile == nullptr) {
            m_pScriptEngine->AddGlobalCode(m_script.GetCode(), m_script.GetCookie(), 1);
            m_bScriptLoaded = TRUE;
            return 0;
        }
        CKestrunApp* app = KestrunApp();
        CString path = app ? app->GetDataRoot() : CString();
        if (!path.IsEmpty() && path[path.GetLength() - 1] != '/')
            path += '/';
        path += codeFile;
        CString code;
        if (kestrun::ReadScriptFile(path, kMaxCodeFileSize, code) != kestrun::EScriptFileRead::Ok) {
            // Nothing runs: the user's script was not written for this object.
            AfxMessageBox(FormatString("File %s not found", path.GetString()));
            return 0;
        }
        if (const auto* report = dynamic_cast<const IReportWorkbook*>(target))
            code.Replace("report.xls", WorkbookLiteral(report->GetReportWorkbook()));
        m_docScript.SetName(path);
        m_docScript.SetType(SCRIPTTYPE_GLOBAL);
        m_docScript.SetCode(code);
        m_docScript.AddTo(m_pScriptEngine.get());
        m_bScriptLoaded = TRUE;
    } catch (const CException&) {
        // The engine has reported its failure to the user.
    }
    return 0;
}

LRESULT CMainFrame::OnEditClose(WPARAM, LPARAM lParam)
{
    if (CContScript* script = ScriptOfCookie(lParam))
        script->StopEdit();
    return 0;
}

LRESULT CMainFrame::OnScriptError(WPARAM, LPARAM lParam)
{
    if (!m_pScriptEngine)
        return 0;
    CContScript* script = ScriptOfCookie(lParam);
    if (script == &m_script || script == nullptr) {
        OnMacroEdit();
        script = &m_script;
    } else {
        script->Edit(GetSafeHwnd());
    }
    const CScriptError& error = m_pScriptEngine->GetLastError();
    script->MarkLine(static_cast<int>(error.GetSourceLine()), static_cast<int>(error.GetCharPos()), -1);
    AfxMessageBox(FormatString("Scriptfehler:\n %s \n in:\n %s\n Zeile:%lu, Spalte:%ld\n",
                               error.GetDescription().GetString(), error.GetSourceText().GetString(),
                               static_cast<unsigned long>(error.GetSourceLine()),
                               static_cast<long>(error.GetCharPos())));
    return 0;
}
