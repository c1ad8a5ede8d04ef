#pragma once
// CScriptEngine: the host side of a script engine (VBScript by default, or
// JScript). It creates the engine by class identifier, is the engine's
// site, hands it named items and code, and reports script errors to its
// owner window as "MESSAGE_SCRIPT_ERROR" (or, without an owner, to the
// message output). The host deletes it when done.

#include "scripthost/contclsid.h"
#include "scripthost/scripterror.h"
#include "scripthost/scriptlanguage.h"

#include "platform/core/object.h"

#include <map>
#include <memory>

namespace kestrun {
class CDispatchable;
}

// One named item: the class identifier it was added with (kept, not read)
// and the object.
class CScriptItem : public CObject
{
public:
    CScriptItem(const CContCLSID& clsid, std::shared_ptr<kestrun::CDispatchable> object)
        : m_clsid(clsid), m_pUnknown(std::move(object))
    {
    }

    CContCLSID m_clsid;
    std::shared_ptr<kestrun::CDispatchable> m_pUnknown;
};

class CScriptEngine : public CObject, private IScriptSite
{
    DECLARE_DYNCREATE(CScriptEngine)

public:
    CScriptEngine();
    explicit CScriptEngine(HWND owner);
    ~CScriptEngine() override;
    CScriptEngine(const CScriptEngine&) = delete;
    CScriptEngine& operator=(const CScriptEngine&) = delete;

    void SetEngine(const CContCLSID& clsid) { m_clsid = clsid; }
    // "VBScript" or "JScript Language", exactly; CNotSupportedException
    // for any other text (the class stays).
    void SetEngine(const char* language);

    // Failures of Open, Close, AddItem and GetScriptState are reported
    // (ReportOleError) and thrown as COleException.
    void Open();
    void Close();
    BOOL IsOpen() const { return m_pScript != nullptr && !m_bClosed; }
    void Attach(HWND owner);
    HWND GetOwner() const { return m_hOwner; }

    // A name already present is ignored.
    void AddItem(const CString& name, const CContCLSID& clsid, std::shared_ptr<kestrun::CDispatchable> object,
                 int sourcesEvents);
    void RemoveItem(const CString& name);
    void RemoveItems();
    int GetItemCount() const { return static_cast<int>(m_items.size()); }

    // Errors arrive through the error path, not as results.
    void AddGlobalCode(const CString& code, DWORD sourceContext, DWORD startingLine);
    void AddEventHandler(const CString& item, const CString& event, const CString& code, DWORD sourceContext);
    void ConnectEvents();
    void DisconnectEvents();
    tagSCRIPTSTATE GetScriptState() const;
    const CScriptError& GetLastError() const { return m_lastError; }

    static CString MakeEventHandlerName(const char* item, const char* event);
    static BOOL ParseEventHandlerName(const char* name, CString& item, CString& event);

private:
    // IScriptSite
    HRESULT GetItemInfo(const CString& name, std::shared_ptr<kestrun::CDispatchable>& object) override;
    HRESULT OnScriptError(const CScriptError& error) override;
    HRESULT OnStateChange(tagSCRIPTSTATE state) override;

    [[noreturn]] static void Fail(HRESULT hr);

    HWND m_hOwner = nullptr;
    CContCLSID m_clsid = CLSID_VBScript;
    std::unique_ptr<CScriptLanguage> m_pScript;
    std::map<CString, std::unique_ptr<CScriptItem>> m_items;
    CScriptError m_lastError;
    BOOL m_bClosed = TRUE;
};
