#pragma once
// CDispatchable: an object that scripts and the automation server call by
// member name - the image document ("Bild"), the table documents
// ("Tabelle"), the database forms ("DBFront"). A class derives from it next
// to its own base and hands out its member table (dispatchmap.h); the
// script engines (our VBScript interpreter, Duktape for JScript) look names
// up and call through the table, never through the class itself.

#include "platform/automation/dispatch.h"

#include <span>

namespace kestrun {

class CDispatchMap;

class CDispatchable
{
public:
    virtual ~CDispatchable() = default;

    // The class's table; the same object for every call.
    virtual const CDispatchMap& GetDispatchMap() const = 0;

    // DISPID_UNKNOWN for a name the object does not have (case ignored).
    DISPID GetIDOfName(const char* name) const;
    // The call through the table (CDispatchMap::Invoke); raises
    // COleDispatchException.
    COleVariant Invoke(DISPID dispid, WORD kinds, std::span<const COleVariant> args = {});
    // By name; DISP_E_UNKNOWNNAME for a name the object does not have.
    COleVariant Invoke(const char* name, WORD kinds, std::span<const COleVariant> args = {});
    // The same for callers that must not let an exception pass (engines
    // with a C interface): 0 and the result, or the error code with its
    // text; the result is then empty.
    HRESULT TryInvoke(DISPID dispid, WORD kinds, std::span<const COleVariant> args, COleVariant& result,
                      CString& error) noexcept;

protected:
    CDispatchable() = default;
    CDispatchable(const CDispatchable&) = default;
    CDispatchable& operator=(const CDispatchable&) = default;

private:
    static void Describe(CString& error, const char* text) noexcept;
};

} // namespace kestrun
