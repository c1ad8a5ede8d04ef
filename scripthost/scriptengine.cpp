#include "scripthost/scriptengine.h"

#include "scripthost/messageoutput.h"
#include "scripthost/scriptmessages.h"

#include "platform/automation/dispatchable.h"
#include "platform/core/messages.h"
#include "platform/core/variant.h"

#include <cstring>

IMPLEMENT_DYNCREATE(CScriptEngine, CObject)

CScriptEngine::CScriptEngine() = default;

CScriptEngine::CScriptEngine(HWND owner) : m_hOwner(owner) {}

CScriptEngine::~CScriptEngine()
{
    try {
        Close();
    } catch (...) {
        // Reported already; a destructor goes on.
    }
    m_pScript.reset();
}

void CScriptEngine::SetEngine(const char* language)
{
    if (language != nullptr && std::strcmp(language, "VBScript") == 0)
        m_clsid = CLSID_VBScript;
    else if (language != nullptr && std::strcmp(language, "JScript Language") == 0)
        m_clsid = CLSID_JScript;
    else
        AfxThrowNotSupportedException();
}

void CScriptEngine::Fail(HRESULT hr)
{
    kestrun::ReportOleError(hr);
    throw COleException(hr, FormatString("Script engine call failed (0x%08X).", static_cast<unsigned>(hr)));
}

void CScriptEngine::Open()
{
    m_pScript.reset();
    m_pScript = CreateScriptLanguage(m_clsid);
    if (!m_pScript)
        Fail(REGDB_E_CLASSNOTREG);
    HRESULT hr = m_pScript->SetScriptSite(this);
    if (hr == S_OK)
        hr = m_pScript->InitNew();
    if (hr != S_OK)
        Fail(hr);
    m_bClosed = FALSE;
}

void CScriptEngine::Close()
{
    if (!IsOpen())
        return;
    if (GetScriptState() != SCRIPTSTATE_CLOSED) {
        const HRESULT hr = m_pScript->Close();
        if (hr != S_OK)
            Fail(hr);
    }
    RemoveItems();
}

void CScriptEngine::Attach(HWND owner)
{
    m_hOwner = owner;
    if (owner == nullptr)
        return;
    if (m_pScript != nullptr && m_pScript->GetScriptSite() != nullptr)
        return;
    // The engine was closed: start again without the old items.
    RemoveItems();
    Open();
}

void CScriptEngine::AddItem(const CString& name, const CContCLSID& clsid,
                            std::shared_ptr<kestrun::CDispatchable> object, int sourcesEvents)
{
    if (m_items.contains(name))
        return;
    m_items.emplace(name, std::make_unique<CScriptItem>(clsid, std::move(object)));
    const HRESULT hr = m_pScript ? m_pScript->AddNamedItem(name, sourcesEvents != 0
                                                                    ? SCRIPTITEM_ISVISIBLE | SCRIPTITEM_ISSOURCE
                                                                    : SCRIPTITEM_ISVISIBLE)
                                 : E_UNEXPECTED;
    if (hr != S_OK)
        Fail(hr);
}

void CScriptEngine::RemoveItem(const CString& name)
{
    m_items.erase(name);
}

void CScriptEngine::RemoveItems()
{
    m_items.clear();
}

void CScriptEngine::AddGlobalCode(const CString& code, DWORD sourceContext, DWORD startingLine)
{
    if (code.IsEmpty() || !m_pScript)
        return;
    m_pScript->ParseScriptText(code, sourceContext, startingLine, SCRIPTTEXT_ISVISIBLE);
}

void CScriptEngine::AddEventHandler(const CString& item, const CString& event, const CString& code,
                                    DWORD sourceContext)
{
    if (code.IsEmpty() || !m_pScript)
        return;
    CString name;
    m_pScript->AddScriptlet(MakeEventHandlerName(item, event), item, event, code, sourceContext, 1, name);
}

void CScriptEngine::ConnectEvents()
{
    if (m_pScript)
        m_pScript->SetScriptState(SCRIPTSTATE_CONNECTED);
}

void CScriptEngine::DisconnectEvents()
{
    if (m_pScript)
        m_pScript->SetScriptState(SCRIPTSTATE_DISCONNECTED);
}

tagSCRIPTSTATE CScriptEngine::GetScriptState() const
{
    if (!m_pScript)
        Fail(E_UNEXPECTED);
    tagSCRIPTSTATE state = SCRIPTSTATE_UNINITIALIZED;
    const HRESULT hr = m_pScript->GetScriptState(state);
    if (hr != S_OK)
        Fail(hr);
    return state;
}

CString CScriptEngine::MakeEventHandlerName(const char* item, const char* event)
{
    return CString(item ? item : "") + "_" + CString(event ? event : "");
}

BOOL CScriptEngine::ParseEventHandlerName(const char* name, CString& item, CString& event)
{
    item = name ? name : "";
    const int at = item.Find('_');
    if (at < 0)
        return FALSE;
    event = item.Mid(at + 1);
    item = item.Left(at);
    return TRUE;
}

HRESULT CScriptEngine::GetItemInfo(const CString& name, std::shared_ptr<kestrun::CDispatchable>& object)
{
    const auto it = m_items.find(name);
    if (it == m_items.end())
        return TYPE_E_ELEMENTNOTFOUND;
    object = it->second->m_pUnknown;
    return S_OK;
}

HRESULT CScriptEngine::OnScriptError(const CScriptError& error)
{
    m_lastError = error;
    if (m_hOwner != nullptr) {
        PostMessage(m_hOwner, wm_ScriptError, 0, static_cast<LPARAM>(error.GetSourceContext()));
    } else {
        kestrun::MessageOutput(FormatString("Scriptfehler %s in Zeile: %d: %s", error.GetDescription().GetString(),
                                            static_cast<int>(error.GetSourceLine()),
                                            error.GetSourceText().GetString()),
                               __FILE__, __LINE__);
    }
    return S_OK;
}

HRESULT CScriptEngine::OnStateChange(tagSCRIPTSTATE state)
{
    if (state == SCRIPTSTATE_CLOSED)
        m_bClosed = TRUE;
    return S_OK;
}
