#pragma once
// CScriptLanguage: a script engine as the host drives it, with the states
// and steps of an ActiveScript engine - a site that supplies the named
// items and hears of errors, named items added visible, global code that
// runs when parsed once the engine is started or connected (and waits
// until then before), scriptlets for event handlers, and Close. Our
// VBScript interpreter and JScript on Duktape implement the language part.

#include "scripthost/contclsid.h"
#include "scripthost/scripterror.h"

#include "platform/core/variant.h"

#include <memory>
#include <optional>
#include <vector>

namespace kestrun {
class CDispatchable;
}

enum tagSCRIPTSTATE
{
    SCRIPTSTATE_UNINITIALIZED = 0,
    SCRIPTSTATE_STARTED = 1,
    SCRIPTSTATE_CONNECTED = 2,
    SCRIPTSTATE_DISCONNECTED = 3,
    SCRIPTSTATE_CLOSED = 4,
    SCRIPTSTATE_INITIALIZED = 5,
};

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
inline constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = static_cast<HRESULT>(0x8002802B);
inline constexpr HRESULT OLESCRIPT_E_SYNTAX = static_cast<HRESULT>(0x80020101);

// Named-item and parse flags.
inline constexpr DWORD SCRIPTITEM_ISVISIBLE = 0x2;
inline constexpr DWORD SCRIPTITEM_ISSOURCE = 0x4;
inline constexpr DWORD SCRIPTTEXT_ISVISIBLE = 0x2;

class IScriptSite
{
public:
    virtual ~IScriptSite() = default;
    // The object of a named item; TYPE_E_ELEMENTNOTFOUND for a name the
    // host does not know.
    virtual HRESULT GetItemInfo(const CString& name, std::shared_ptr<kestrun::CDispatchable>& object) = 0;
    virtual HRESULT OnScriptError(const CScriptError& error) = 0;
    virtual HRESULT OnStateChange(tagSCRIPTSTATE state) = 0;
};

class CScriptLanguage
{
public:
    virtual ~CScriptLanguage() = default;

    HRESULT SetScriptSite(IScriptSite* site);
    IScriptSite* GetScriptSite() const { return m_pSite; }
    HRESULT InitNew();
    HRESULT AddNamedItem(const CString& name, DWORD flags);
    // Runs the code when started or connected, else keeps it for then.
    // Errors go to the site; the result is E_FAIL after one.
    HRESULT ParseScriptText(const CString& code, DWORD sourceContext, ULONG startingLine, DWORD flags);
    HRESULT AddScriptlet(const CString& defaultName, const CString& item, const CString& event, const CString& code,
                         DWORD sourceContext, ULONG startingLine, CString& name);
    HRESULT SetScriptState(tagSCRIPTSTATE state);
    HRESULT GetScriptState(tagSCRIPTSTATE& state) const;
    // Drops items, code and the site; the state becomes closed.
    HRESULT Close();

protected:
    struct CFailure
    {
        ULONG m_nLine = 0;
        LONG m_nColumn = 0;
        CString m_strDescription;
        CString m_strSourceText;
    };

    virtual void Reset() = 0;
    virtual void Bind(const CString& name, std::shared_ptr<kestrun::CDispatchable> object) = 0;
    virtual std::optional<CFailure> Run(const CString& code, ULONG startingLine) = 0;
    virtual std::optional<CFailure> DefineHandler(const CString& name, const CString& code, ULONG startingLine) = 0;

private:
    struct CPending
    {
        CString m_strCode;
        DWORD m_dwContext;
        ULONG m_nLine;
    };

    HRESULT RunNow(const CString& code, DWORD sourceContext, ULONG startingLine);
    HRESULT Report(const CFailure& failure, DWORD sourceContext);
    void Enter(tagSCRIPTSTATE state);

    IScriptSite* m_pSite = nullptr;
    tagSCRIPTSTATE m_state = SCRIPTSTATE_UNINITIALIZED;
    std::vector<CPending> m_pending;
};

// A new engine of the class: VBScript or JScript; null for any other.
std::unique_ptr<CScriptLanguage> CreateScriptLanguage(const CContCLSID& clsid);
