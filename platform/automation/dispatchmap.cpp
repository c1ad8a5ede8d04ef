#include "platform/automation/dispatchmap.h"

#include <algorithm>

namespace kestrun {

CDispatchMap::CDispatchMap(const CString& typeName, const CString& classId)
    : m_strTypeName(typeName), m_strClassId(classId)
{
}

DISPID CDispatchMap::Add(CDispatchMember member)
{
    const bool kindsKnown = member.m_wKinds == DISPATCH_METHOD || member.m_wKinds == DISPATCH_PROPERTYGET ||
                            member.m_wKinds == (DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT);
    if (member.m_strName.IsEmpty() || GetIDOfName(member.m_strName) != DISPID_UNKNOWN || !kindsKnown ||
        !member.m_read || (member.CanWrite() && !member.m_write))
        AfxThrowInvalidArgException();
    if (std::ranges::find(member.m_params, VT_EMPTY) != member.m_params.end())
        AfxThrowInvalidArgException();
    member.m_dispid = static_cast<DISPID>(m_members.size()) + 1;
    m_members.push_back(std::move(member));
    return m_members.back().m_dispid;
}

const CDispatchMember& CDispatchMap::GetMember(int index) const
{
    if (index < 0 || index >= GetCount())
        AfxThrowInvalidArgException();
    return m_members[static_cast<size_t>(index)];
}

const CDispatchMember* CDispatchMap::Find(DISPID dispid) const
{
    if (dispid < 1 || dispid > GetCount())
        return nullptr;
    return &m_members[static_cast<size_t>(dispid - 1)];
}

DISPID CDispatchMap::GetIDOfName(const char* name) const
{
    if (name == nullptr)
        return DISPID_UNKNOWN;
    const auto it = std::ranges::find_if(m_members, [name](const CDispatchMember& member) {
        return member.m_strName.CompareNoCase(name) == 0;
    });
    return it == m_members.end() ? DISPID_UNKNOWN : it->m_dispid;
}

CString CDispatchMap::MemberName(const CDispatchMember& member) const
{
    return m_strTypeName + "." + member.m_strName;
}

std::vector<COleVariant> CDispatchMap::ConvertArguments(const CDispatchMember& member,
                                                        std::span<const COleVariant> args) const
{
    std::vector<COleVariant> converted(args.begin(), args.end());
    const size_t given = converted.size();
    if (converted.size() < member.m_params.size())
        converted.resize(member.m_params.size());
    for (size_t i = 0; i < std::min(given, member.m_params.size()); ++i) {
        // A variant argument reaches the member as given, by reference
        // too, so that it may change the caller's variable.
        if (member.m_params[i] == VT_VARIANT)
            continue;
        try {
            converted[i].ChangeType(member.m_params[i]);
        } catch (const COleException& e) {
            throw COleDispatchException(e.m_sc,
                                        FormatString("Argument %d of %s: %s", static_cast<int>(i) + 1,
                                                     MemberName(member).GetString(),
                                                     e.GetErrorMessage().GetString()),
                                        static_cast<int>(i));
        }
    }
    return converted;
}

COleVariant CDispatchMap::ConvertResult(const CDispatchMember& member, COleVariant result) const
{
    if (member.m_vtResult == VT_EMPTY)
        return {};
    if (member.m_vtResult != VT_VARIANT)
        result.ChangeType(member.m_vtResult);
    return result;
}

COleVariant CDispatchMap::Invoke(CDispatchable& object, DISPID dispid, WORD kinds,
                                 std::span<const COleVariant> args) const
{
    const CDispatchMember* member = Find(dispid);
    if (member == nullptr) {
        throw COleDispatchException(DISP_E_MEMBERNOTFOUND, FormatString("%s has no member with the id %d.",
                                                                        m_strTypeName.GetString(),
                                                                        static_cast<int>(dispid)));
    }
    const bool write = (kinds & DISPATCH_PROPERTYPUT) != 0;
    const bool read = !write && ((member->IsMethod() && (kinds & DISPATCH_METHOD) != 0) ||
                                 (!member->IsMethod() && (kinds & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0));
    if (write ? !member->CanWrite() : !read) {
        throw COleDispatchException(DISP_E_MEMBERNOTFOUND,
                                    FormatString(write ? "%s cannot be set." : "%s cannot be called this way.",
                                                 MemberName(*member).GetString()));
    }

    // A property's new value follows its index arguments.
    const size_t expected = member->m_params.size() + (write ? 1 : 0);
    const size_t optional = write ? 0 : std::min(member->m_nOptional, member->m_params.size());
    if (args.size() > expected || args.size() + optional < expected) {
        throw COleDispatchException(DISP_E_BADPARAMCOUNT,
                                    FormatString("%s takes %d argument(s), not %d.", MemberName(*member).GetString(),
                                                 static_cast<int>(expected), static_cast<int>(args.size())));
    }
    std::vector<COleVariant> converted = ConvertArguments(*member, args);
    try {
        if (write) {
            COleVariant value = converted.back().Deref();
            converted.pop_back();
            if (member->m_vtResult != VT_VARIANT) {
                try {
                    value.ChangeType(member->m_vtResult);
                } catch (const COleException& e) {
                    throw COleDispatchException(e.m_sc,
                                                FormatString("The value for %s: %s", MemberName(*member).GetString(),
                                                             e.GetErrorMessage().GetString()),
                                                static_cast<int>(member->m_params.size()));
                }
            }
            member->m_write(object, converted, value);
            return {};
        }
        return ConvertResult(*member, member->m_read(object, converted));
    } catch (const COleDispatchException&) {
        throw;
    } catch (const CException& e) {
        throw COleDispatchException(DISP_E_EXCEPTION,
                                    FormatString("%s: %s", MemberName(*member).GetString(),
                                                 e.GetErrorMessage().GetString()));
    }
}

} // namespace kestrun
