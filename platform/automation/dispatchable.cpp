#include "platform/automation/dispatchable.h"

#include "platform/automation/dispatchmap.h"

#include <exception>

namespace kestrun {

DISPID CDispatchable::GetIDOfName(const char* name) const
{
    return GetDispatchMap().GetIDOfName(name);
}

COleVariant CDispatchable::Invoke(DISPID dispid, WORD kinds, std::span<const COleVariant> args)
{
    return GetDispatchMap().Invoke(*this, dispid, kinds, args);
}

COleVariant CDispatchable::Invoke(const char* name, WORD kinds, std::span<const COleVariant> args)
{
    const CDispatchMap& map = GetDispatchMap();
    const DISPID dispid = map.GetIDOfName(name);
    if (dispid == DISPID_UNKNOWN) {
        throw COleDispatchException(DISP_E_UNKNOWNNAME, FormatString("%s has no member \"%s\".",
                                                                     map.GetTypeName().GetString(),
                                                                     name ? name : ""));
    }
    return map.Invoke(*this, dispid, kinds, args);
}

HRESULT CDispatchable::TryInvoke(DISPID dispid, WORD kinds, std::span<const COleVariant> args, COleVariant& result,
                                 CString& error) noexcept
{
    HRESULT code = DISP_E_EXCEPTION;
    try {
        result = Invoke(dispid, kinds, args);
        error.Empty();
        return 0;
    } catch (const COleDispatchException& e) {
        code = e.m_scError;
        Describe(error, e.m_strDescription);
    } catch (const std::exception& e) {
        // Out of memory and the like: the engine reports it as the call's failure.
        Describe(error, e.what());
    } catch (...) {
        Describe(error, "The call failed.");
    }
    result.Clear();
    return code;
}

void CDispatchable::Describe(CString& error, const char* text) noexcept
{
    try {
        error = text;
    } catch (...) {
        // No memory left for the text: the code alone tells the failure.
    }
}

} // namespace kestrun
