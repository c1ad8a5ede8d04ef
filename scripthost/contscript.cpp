#include "scripthost/contscript.h"

#include "scripthost/scriptengine.h"

#include "platform/core/archive.h"

#include <atomic>
#include <mutex>

IMPLEMENT_SERIAL(CContScript, CObject, 0)

namespace {

std::mutex& ProviderMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<IScriptEditorProvider>& Provider()
{
    static std::shared_ptr<IScriptEditorProvider> provider;
    return provider;
}

} // namespace

namespace kestrun {

std::shared_ptr<IScriptEditorProvider> SetScriptEditorProvider(std::shared_ptr<IScriptEditorProvider> provider)
{
    const std::lock_guard lock(ProviderMutex());
    std::shared_ptr<IScriptEditorProvider> previous = std::move(Provider());
    Provider() = std::move(provider);
    return previous;
}

std::shared_ptr<IScriptEditorProvider> GetScriptEditorProvider()
{
    const std::lock_guard lock(ProviderMutex());
    return Provider();
}

} // namespace kestrun

DWORD CContScript::NextCookie()
{
    static std::atomic<DWORD> next{0};
    DWORD cookie = ++next;
    while (cookie == 0)
        cookie = ++next;
    return cookie;
}

CContScript::CContScript() = default;

CContScript::CContScript(const CContScript& other)
    : CObject(),
      m_strName(other.m_strName),
      m_strItemName(other.m_strItemName),
      m_strEventName(other.m_strEventName),
      m_strParams(other.m_strParams),
      m_type(other.m_type),
      m_bSelected(other.m_bSelected),
      m_strCode(other.m_strCode)
{
}

CContScript::CContScript(const CString& item, const CString& event, const CString& params)
{
    SetEventName(event);
    SetItemName(item);
    m_strParams = params;
}

CContScript::~CContScript() = default;

CContScript& CContScript::operator=(const CContScript& other)
{
    if (this != &other) {
        m_strName = other.m_strName;
        m_strItemName = other.m_strItemName;
        m_strEventName = other.m_strEventName;
        m_strParams = other.m_strParams;
        m_type = other.m_type;
        m_strCode = other.m_strCode;
        m_bSelected = other.m_bSelected;
        m_pEditor.reset();
    }
    return *this;
}

void CContScript::AppendCode(const char* text)
{
    m_strCode += "\r\n";
    m_strCode += text ? text : "";
}

void CContScript::AddCodeAtTop(const char* text)
{
    m_strCode = CString(text ? text : "") + "\r\n" + m_strCode;
}

void CContScript::SetEventName(const CString& event)
{
    m_strEventName = event;
    m_type = event.IsEmpty() ? SCRIPTTYPE_GLOBAL : SCRIPTTYPE_HANDLER;
}

void CContScript::SetItemName(const CString& item)
{
    m_strName = CScriptEngine::MakeEventHandlerName(item, m_strEventName);
    m_strItemName = item;
}

BOOL CContScript::Edit(HWND parent)
{
    const std::shared_ptr<IScriptEditorProvider> provider = kestrun::GetScriptEditorProvider();
    return Edit(parent, provider && parent ? provider->GetWindowText(parent) : CString());
}

BOOL CContScript::Edit(HWND parent, const CString& prefix)
{
    if (m_pEditor) {
        m_pEditor->Restore();
    } else {
        const std::shared_ptr<IScriptEditorProvider> provider = kestrun::GetScriptEditorProvider();
        if (!provider)
            return FALSE;
        m_pEditor = provider->Create(parent, static_cast<long>(m_dwCookie));
        if (!m_pEditor)
            return FALSE;
        CString title = m_strName;
        if (m_type == SCRIPTTYPE_HANDLER) {
            title = prefix;
            if (!prefix.IsEmpty())
                title += ".";
            title += m_strItemName + "." + m_strEventName + m_strParams;
        }
        m_pEditor->SetTitle(title);
        m_pEditor->SetText(m_strCode);
    }
    m_pEditor->BringToTop();
    return TRUE;
}

void CContScript::StopEdit()
{
    if (!m_pEditor)
        return;
    m_strCode = m_pEditor->GetText();
    m_pEditor.reset();
}

BOOL CContScript::MarkLine(int line, int column, int length)
{
    if (m_pEditor)
        m_pEditor->Restore();
    if (line <= 0 || !m_pEditor)
        return FALSE;
    return m_pEditor->MarkLine(line - 1, column, length);
}

void CContScript::AddTo(CScriptEngine* engine) const
{
    if (engine == nullptr)
        return;
    if (m_type == SCRIPTTYPE_HANDLER)
        engine->AddEventHandler(m_strItemName, m_strEventName + m_strParams, m_strCode, m_dwCookie);
    else if (m_type == SCRIPTTYPE_GLOBAL)
        engine->AddGlobalCode(m_strCode, m_dwCookie, 1);
}

void CContScript::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_strName << m_strItemName << m_strEventName << m_strParams;
        ar << static_cast<std::int32_t>(m_type) << static_cast<std::int32_t>(m_bSelected);
        ar << m_strCode;
        return;
    }
    // Read whole before anything changes: a damaged archive leaves the
    // container as it was.
    CString name, item, event, params, code;
    std::int32_t type = 0;
    std::int32_t selected = 0;
    ar >> name >> item >> event >> params >> type >> selected >> code;
    if (type < SCRIPTTYPE_NONE || type > SCRIPTTYPE_HANDLER)
        AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
    m_strName = name;
    m_strItemName = item;
    m_strEventName = event;
    m_strParams = params;
    m_type = static_cast<tagSCRIPTTYPE>(type);
    m_bSelected = selected;
    m_strCode = code;
}
