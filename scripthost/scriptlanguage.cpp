#include "scripthost/scriptlanguage.h"

#include "scripthost/jscriptlanguage.h"
#include "scripthost/vbscriptlanguage.h"

#include "platform/automation/dispatchable.h"

HRESULT CScriptLanguage::SetScriptSite(IScriptSite* site)
{
    if (site == nullptr)
        return E_INVALIDARG;
    if (m_pSite != nullptr)
        return E_UNEXPECTED;
    m_pSite = site;
    return S_OK;
}

HRESULT CScriptLanguage::InitNew()
{
    if (m_pSite == nullptr || (m_state != SCRIPTSTATE_UNINITIALIZED && m_state != SCRIPTSTATE_CLOSED))
        return E_UNEXPECTED;
    Enter(SCRIPTSTATE_INITIALIZED);
    return S_OK;
}

HRESULT CScriptLanguage::AddNamedItem(const CString& name, DWORD flags)
{
    if (m_pSite == nullptr || m_state == SCRIPTSTATE_CLOSED || m_state == SCRIPTSTATE_UNINITIALIZED)
        return E_UNEXPECTED;
    if (name.IsEmpty() || (flags & SCRIPTITEM_ISVISIBLE) == 0)
        return name.IsEmpty() ? E_INVALIDARG : S_OK;
    std::shared_ptr<kestrun::CDispatchable> object;
    const HRESULT hr = m_pSite->GetItemInfo(name, object);
    if (hr != S_OK)
        return hr;
    Bind(name, std::move(object));
    return S_OK;
}

HRESULT CScriptLanguage::ParseScriptText(const CString& code, DWORD sourceContext, ULONG startingLine, DWORD)
{
    if (m_state == SCRIPTSTATE_CLOSED || m_state == SCRIPTSTATE_UNINITIALIZED)
        return E_UNEXPECTED;
    if (m_state == SCRIPTSTATE_INITIALIZED) {
        m_pending.push_back({code, sourceContext, startingLine});
        return S_OK;
    }
    return RunNow(code, sourceContext, startingLine);
}

HRESULT CScriptLanguage::AddScriptlet(const CString& defaultName, const CString&, const CString&,
                                      const CString& code, DWORD sourceContext, ULONG startingLine, CString& name)
{
    if (m_state == SCRIPTSTATE_CLOSED || m_state == SCRIPTSTATE_UNINITIALIZED)
        return E_UNEXPECTED;
    name = defaultName;
    if (const auto failure = DefineHandler(defaultName, code, startingLine))
        return Report(*failure, sourceContext);
    return S_OK;
}

HRESULT CScriptLanguage::SetScriptState(tagSCRIPTSTATE state)
{
    if (m_state == SCRIPTSTATE_CLOSED || m_state == SCRIPTSTATE_UNINITIALIZED)
        return E_UNEXPECTED;
    if (state == SCRIPTSTATE_CLOSED)
        return Close();
    if (state != SCRIPTSTATE_STARTED && state != SCRIPTSTATE_CONNECTED && state != SCRIPTSTATE_DISCONNECTED &&
        state != SCRIPTSTATE_INITIALIZED)
        return E_INVALIDARG;
    Enter(state);
    if (state == SCRIPTSTATE_STARTED || state == SCRIPTSTATE_CONNECTED) {
        // Code parsed before the start runs now, in its order.
        std::vector<CPending> pending;
        pending.swap(m_pending);
        for (const CPending& piece : pending)
            RunNow(piece.m_strCode, piece.m_dwContext, piece.m_nLine);
    }
    return S_OK;
}

HRESULT CScriptLanguage::GetScriptState(tagSCRIPTSTATE& state) const
{
    state = m_state;
    return S_OK;
}

HRESULT CScriptLanguage::Close()
{
    if (m_state == SCRIPTSTATE_CLOSED)
        return S_OK;
    m_pending.clear();
    Reset();
    Enter(SCRIPTSTATE_CLOSED);
    m_pSite = nullptr;
    return S_OK;
}

HRESULT CScriptLanguage::RunNow(const CString& code, DWORD sourceContext, ULONG startingLine)
{
    if (const auto failure = Run(code, startingLine))
        return Report(*failure, sourceContext);
    return S_OK;
}

HRESULT CScriptLanguage::Report(const CFailure& failure, DWORD sourceContext)
{
    if (m_pSite != nullptr) {
        CScriptError error;
        error.Set(sourceContext, failure.m_nLine, failure.m_nColumn, failure.m_strDescription,
                  failure.m_strSourceText);
        m_pSite->OnScriptError(error);
    }
    return E_FAIL;
}

void CScriptLanguage::Enter(tagSCRIPTSTATE state)
{
    m_state = state;
    if (m_pSite != nullptr)
        m_pSite->OnStateChange(state);
}

std::unique_ptr<CScriptLanguage> CreateScriptLanguage(const CContCLSID& clsid)
{
    if (clsid == CLSID_VBScript)
        return std::make_unique<CVBScriptLanguage>();
    if (clsid == CLSID_JScript)
        return std::make_unique<CJScriptLanguage>();
    return nullptr;
}
