#pragma once
// The member table of a dispatchable object: each member has a name, an id
// (its position in the table, counted from 1), a kind (method, or property
// that is read and perhaps set), the types of its arguments and of its
// result, and the functions that do the call. Script engines and the
// automation server find members by name and call them by id; the table
// converts the arguments to the declared types before the call and the
// result after it, so the members themselves see only what they declared.
//
// A class builds its table once, with CDispatchMapBuilder, and hands it out
// from CDispatchable::GetDispatchMap.

#include "platform/automation/dispatch.h"
#include "platform/automation/dispatchable.h"

#include <functional>
#include <initializer_list>
#include <span>
#include <type_traits>
#include <vector>

namespace kestrun {

struct CDispatchMember
{
    using Reader = std::function<COleVariant(CDispatchable& object, std::span<const COleVariant> args)>;
    using Writer =
        std::function<void(CDispatchable& object, std::span<const COleVariant> args, const COleVariant& value)>;

    bool IsMethod() const { return (m_wKinds & DISPATCH_METHOD) != 0; }
    bool CanRead() const { return (m_wKinds & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0; }
    bool CanWrite() const { return (m_wKinds & DISPATCH_PROPERTYPUT) != 0; }

    CString m_strName;
    DISPID m_dispid = DISPID_UNKNOWN; // set by the table
    // DISPATCH_METHOD for a method; DISPATCH_PROPERTYGET for a property,
    // plus DISPATCH_PROPERTYPUT when it can be set.
    WORD m_wKinds = 0;
    // A method's result or a property's value; VT_EMPTY for none,
    // VT_VARIANT for any.
    VARTYPE m_vtResult = VT_EMPTY;
    // The arguments of the call (of a property: its index arguments; the
    // value to set comes after them).
    std::vector<VARTYPE> m_params;
    // How many of the last arguments a read or call may leave out; they
    // reach the member as VT_EMPTY.
    size_t m_nOptional = 0;
    Reader m_read;  // the method's call or the property's read
    Writer m_write; // the property's write
};

class CDispatchMap
{
public:
    // typeName names the object in error texts; classId is the class
    // identifier under which script hosts add it ("{...}").
    CDispatchMap(const CString& typeName, const CString& classId);

    const CString& GetTypeName() const { return m_strTypeName; }
    const CString& GetClassId() const { return m_strClassId; }

    // Appends a member and returns its id. CInvalidArgException for an
    // empty name, a name the table has already (case ignored), no kind, a
    // kind without its function, or an argument of type VT_EMPTY.
    DISPID Add(CDispatchMember member);

    int GetCount() const { return static_cast<int>(m_members.size()); }
    // CInvalidArgException outside 0..count-1.
    const CDispatchMember& GetMember(int index) const;
    // Null for an id the table does not have.
    const CDispatchMember* Find(DISPID dispid) const;
    // Names match without regard to case, as scripts write them;
    // DISPID_UNKNOWN for a name the table does not have.
    DISPID GetIDOfName(const char* name) const;

    // Calls member dispid of object with the kinds of call the caller
    // accepts. A method answers DISPATCH_METHOD; a property is read for
    // DISPATCH_PROPERTYGET or DISPATCH_METHOD and set for
    // DISPATCH_PROPERTYPUT (its value the last argument). Raises
    // COleDispatchException: DISP_E_MEMBERNOTFOUND for an unknown id or a
    // kind the member does not answer, DISP_E_BADPARAMCOUNT, and
    // DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW for an argument that does not
    // convert (nothing is called then); a CException from the member becomes DISP_E_EXCEPTION
    // with its text.
    COleVariant Invoke(CDispatchable& object, DISPID dispid, WORD kinds, std::span<const COleVariant> args) const;

private:
    CString MemberName(const CDispatchMember& member) const;
    // The arguments converted to the declared types.
    std::vector<COleVariant> ConvertArguments(const CDispatchMember& member, std::span<const COleVariant> args) const;
    COleVariant ConvertResult(const CDispatchMember& member, COleVariant result) const;

    CString m_strTypeName;
    CString m_strClassId;
    std::vector<CDispatchMember> m_members;
};

// Builds the table of class T (a CDispatchable): each function receives
// the object as T& and the arguments already converted to the declared
// types.
template <class T>
class CDispatchMapBuilder
{
public:
    CDispatchMapBuilder(const CString& typeName, const CString& classId) : m_map(typeName, classId) {}

    // fn(T&, std::span<const COleVariant>) returns the result (anything a
    // COleVariant is made from), or nothing when result is VT_EMPTY.
    template <class Fn>
    CDispatchMapBuilder& Method(const char* name, VARTYPE result, std::initializer_list<VARTYPE> params, Fn fn)
    {
        return Add(name, DISPATCH_METHOD, result, params, MakeReader(std::move(fn)), {});
    }

    // get(T&, args) returns the value; put(T&, args, const COleVariant&)
    // receives the value converted to type.
    template <class Get, class Put>
    CDispatchMapBuilder& Property(const char* name, VARTYPE type, Get get, Put put)
    {
        CDispatchMember::Writer writer = [put = std::move(put)](CDispatchable& object,
                                                                std::span<const COleVariant> args,
                                                                const COleVariant& value) {
            put(Self(object), args, value);
        };
        return Add(name, DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, type, {}, MakeReader(std::move(get)),
                   std::move(writer));
    }

    template <class Get>
    CDispatchMapBuilder& ReadOnlyProperty(const char* name, VARTYPE type, Get get)
    {
        return Add(name, DISPATCH_PROPERTYGET, type, {}, MakeReader(std::move(get)), {});
    }

    CDispatchMap Build() { return std::move(m_map); }

private:
    CDispatchMapBuilder& Add(const char* name, WORD kinds, VARTYPE type, std::initializer_list<VARTYPE> params,
                             CDispatchMember::Reader reader, CDispatchMember::Writer writer)
    {
        CDispatchMember member;
        member.m_strName = name;
        member.m_wKinds = kinds;
        member.m_vtResult = type;
        member.m_params = params;
        member.m_read = std::move(reader);
        member.m_write = std::move(writer);
        m_map.Add(std::move(member));
        return *this;
    }

    static T& Self(CDispatchable& object)
    {
        T* self = dynamic_cast<T*>(&object);
        if (self == nullptr)
            AfxThrowInvalidArgException();
        return *self;
    }

    template <class Fn>
    static CDispatchMember::Reader MakeReader(Fn fn)
    {
        return [fn = std::move(fn)](CDispatchable& object, std::span<const COleVariant> args) -> COleVariant {
            if constexpr (std::is_void_v<std::invoke_result_t<Fn&, T&, std::span<const COleVariant>>>) {
                fn(Self(object), args);
                return {};
            } else {
                return COleVariant(fn(Self(object), args));
            }
        };
    }

    CDispatchMap m_map;
};

} // namespace kestrun
