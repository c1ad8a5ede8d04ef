#include "scripthost/jscriptlanguage.h"

#include "scripthost/vbscript/vbsparser.h"

#include "platform/automation/dispatchable.h"
#include "platform/automation/dispatchmap.h"
#include "platform/automation/objectregistry.h"

#include <duktape.h>

#include <cmath>
#include <limits>

namespace {

constexpr const char* kHostKey = "\xFF" "host";
constexpr const char* kDispidKey = "\xFF" "dispid";
constexpr const char* kLanguageKey = "\xFF" "language";

CJScriptLanguage* Language(duk_context* ctx)
{
    duk_push_global_stash(ctx);
    duk_get_prop_string(ctx, -1, kLanguageKey);
    auto* language = static_cast<CJScriptLanguage*>(duk_get_pointer(ctx, -1));
    duk_pop_2(ctx);
    return language;
}

// The line of the script code that called into the host.
long CallerLine(duk_context* ctx)
{
    long line = 0;
    for (int level = -2; level >= -8 && line == 0; --level) {
        duk_inspect_callstack_entry(ctx, level);
        if (duk_is_object(ctx, -1)) {
            duk_get_prop_string(ctx, -1, "lineNumber");
            line = duk_is_number(ctx, -1) ? static_cast<long>(duk_get_number(ctx, -1)) : 0;
            duk_pop(ctx);
        } else {
            duk_pop(ctx);
            break;
        }
        duk_pop(ctx);
    }
    return line;
}

void PushVariant(duk_context* ctx, const COleVariant& value);
void PushHost(duk_context* ctx, std::shared_ptr<kestrun::CDispatchable> object);

COleVariant ToVariant(duk_context* ctx, duk_idx_t index)
{
    switch (duk_get_type(ctx, index)) {
    case DUK_TYPE_NULL:
        return COleVariant::Null();
    case DUK_TYPE_BOOLEAN:
        return COleVariant(static_cast<short>(duk_get_boolean(ctx, index) ? VARIANT_TRUE : VARIANT_FALSE), VT_BOOL);
    case DUK_TYPE_NUMBER: {
        const double number = duk_get_number(ctx, index);
        if (number == std::trunc(number) && number >= std::numeric_limits<LONG>::min() &&
            number <= std::numeric_limits<LONG>::max())
            return COleVariant(static_cast<LONG>(number));
        return COleVariant(number);
    }
    case DUK_TYPE_STRING:
        return COleVariant(CString(duk_get_string(ctx, index)));
    case DUK_TYPE_OBJECT: {
        if (duk_is_array(ctx, index)) {
            const duk_size_t length = duk_get_length(ctx, index);
            if (length > CVariantArray::kMaxElements)
                AfxThrowMemoryException();
            CVariantArray array({{0, static_cast<LONG>(length)}});
            for (duk_size_t i = 0; i < length; ++i) {
                duk_get_prop_index(ctx, index, static_cast<duk_uarridx_t>(i));
                array.Elements()[i] = ToVariant(ctx, -1);
                duk_pop(ctx);
            }
            return COleVariant::Array(std::move(array));
        }
        duk_get_prop_string(ctx, index, kHostKey);
        auto* host = static_cast<kestrun::CDispatchable*>(duk_get_pointer(ctx, -1));
        duk_pop(ctx);
        if (host != nullptr) {
            // The language keeps the object alive; share it without owning.
            return COleVariant::Dispatch(std::shared_ptr<kestrun::CDispatchable>(
                std::shared_ptr<kestrun::CDispatchable>(), host));
        }
        return COleVariant(CString(duk_safe_to_string(ctx, index)));
    }
    default:
        return COleVariant();
    }
}

void PushVariant(duk_context* ctx, const COleVariant& value)
{
    const COleVariant& v = value.Deref();
    switch (v.vt) {
    case VT_EMPTY:
        duk_push_undefined(ctx);
        break;
    case VT_NULL:
        duk_push_null(ctx);
        break;
    case VT_BOOL:
        duk_push_boolean(ctx, v.boolVal != VARIANT_FALSE);
        break;
    case VT_BSTR:
        duk_push_lstring(ctx, v.bstrVal.GetString(), static_cast<duk_size_t>(v.bstrVal.GetLength()));
        break;
    case VT_DISPATCH:
        if (v.pdispVal)
            PushHost(ctx, v.pdispVal);
        else
            duk_push_null(ctx);
        break;
    case VT_ARRAY | VT_VARIANT: {
        const duk_idx_t array = duk_push_array(ctx);
        const auto& elements = v.GetArray().Elements();
        for (size_t i = 0; i < elements.size(); ++i) {
            PushVariant(ctx, elements[i]);
            duk_put_prop_index(ctx, array, static_cast<duk_uarridx_t>(i));
        }
        break;
    }
    default: {
        COleVariant number(v);
        number.ChangeType(VT_R8);
        duk_push_number(ctx, number.dblVal);
        break;
    }
    }
}

kestrun::CDispatchable* HostOf(duk_context* ctx, duk_idx_t index)
{
    duk_get_prop_string(ctx, index, kHostKey);
    auto* host = static_cast<kestrun::CDispatchable*>(duk_get_pointer(ctx, -1));
    duk_pop(ctx);
    return host;
}

// Calls the member; on failure leaves an error object on the stack and
// returns false. No C++ object lives across a Duktape throw.
bool Invoke(duk_context* ctx, kestrun::CDispatchable& host, DISPID dispid, WORD kinds, duk_idx_t first,
            duk_idx_t count, bool pushResult)
{
    CString error;
    HRESULT hr = 0;
    {
        std::vector<COleVariant> args;
        COleVariant result;
        try {
            for (duk_idx_t i = 0; i < count; ++i)
                args.push_back(ToVariant(ctx, first + i));
            hr = host.TryInvoke(dispid, kinds, args, result, error);
        } catch (const std::exception& e) {
            hr = E_FAIL;
            error = e.what();
        }
        if (hr == 0) {
            if (pushResult)
                PushVariant(ctx, result);
            return true;
        }
    }
    Language(ctx)->BlameLine(CallerLine(ctx));
    duk_push_error_object(ctx, DUK_ERR_ERROR, "%s", error.GetString());
    return false;
}

duk_ret_t MethodCall(duk_context* ctx)
{
    const duk_idx_t count = duk_get_top(ctx);
    duk_push_current_function(ctx);
    kestrun::CDispatchable* host = HostOf(ctx, -1);
    duk_get_prop_string(ctx, -1, kDispidKey);
    const auto dispid = static_cast<DISPID>(duk_get_int(ctx, -1));
    duk_pop_2(ctx);
    if (host == nullptr)
        return DUK_RET_TYPE_ERROR;
    if (!Invoke(ctx, *host, dispid, DISPATCH_METHOD, 0, count, true))
        return duk_throw(ctx);
    return 1;
}

bool UnknownMember(duk_context* ctx, kestrun::CDispatchable& host, const char* name)
{
    {
        const CString text = FormatString("Object doesn't support this property or method: '%s.%s'",
                                          host.GetDispatchMap().GetTypeName().GetString(), name);
        Language(ctx)->BlameLine(CallerLine(ctx));
        duk_push_error_object(ctx, DUK_ERR_TYPE_ERROR, "%s", text.GetString());
    }
    return false;
}

// get(target, key, receiver)
duk_ret_t GetTrap(duk_context* ctx)
{
    kestrun::CDispatchable* host = HostOf(ctx, 0);
    if (host == nullptr || !duk_is_string(ctx, 1) || duk_get_string(ctx, 1)[0] == '\xFF') {
        duk_dup(ctx, 1);
        duk_get_prop(ctx, 0);
        return 1;
    }
    const char* name = duk_get_string(ctx, 1);
    const DISPID dispid = host->GetIDOfName(name);
    if (dispid == DISPID_UNKNOWN) {
        // What every object has (toString, valueOf) still answers.
        if (duk_has_prop_string(ctx, 0, name)) {
            duk_get_prop_string(ctx, 0, name);
            return 1;
        }
        UnknownMember(ctx, *host, name);
        return duk_throw(ctx);
    }
    if (host->GetDispatchMap().Find(dispid)->IsMethod()) {
        duk_push_c_function(ctx, MethodCall, DUK_VARARGS);
        duk_push_pointer(ctx, host);
        duk_put_prop_string(ctx, -2, kHostKey);
        duk_push_int(ctx, dispid);
        duk_put_prop_string(ctx, -2, kDispidKey);
        return 1;
    }
    if (!Invoke(ctx, *host, dispid, DISPATCH_PROPERTYGET, 0, 0, true))
        return duk_throw(ctx);
    return 1;
}

// set(target, key, value, receiver)
duk_ret_t SetTrap(duk_context* ctx)
{
    kestrun::CDispatchable* host = HostOf(ctx, 0);
    if (host == nullptr || !duk_is_string(ctx, 1))
        return DUK_RET_TYPE_ERROR;
    const char* name = duk_get_string(ctx, 1);
    const DISPID dispid = host->GetIDOfName(name);
    if (dispid == DISPID_UNKNOWN) {
        UnknownMember(ctx, *host, name);
        return duk_throw(ctx);
    }
    if (!Invoke(ctx, *host, dispid, DISPATCH_PROPERTYPUT, 2, 1, false))
        return duk_throw(ctx);
    duk_push_true(ctx);
    return 1;
}

void PushHost(duk_context* ctx, std::shared_ptr<kestrun::CDispatchable> object)
{
    kestrun::CDispatchable* raw = object.get();
    Language(ctx)->KeepAlive(std::move(object));
    duk_push_object(ctx);
    duk_push_pointer(ctx, raw);
    duk_put_prop_string(ctx, -2, kHostKey);
    duk_push_object(ctx);
    duk_push_c_function(ctx, GetTrap, 3);
    duk_put_prop_string(ctx, -2, "get");
    duk_push_c_function(ctx, SetTrap, 4);
    duk_put_prop_string(ctx, -2, "set");
    duk_push_proxy(ctx, 0);
}

// new ActiveXObject(progId)
duk_ret_t ActiveXObject(duk_context* ctx)
{
    bool made = false;
    {
        const CString progId(duk_safe_to_string(ctx, 0));
        std::shared_ptr<kestrun::CDispatchable> object;
        CString error;
        try {
            object = kestrun::CreateDispatchObject(progId);
        } catch (const std::exception& e) {
            error = e.what();
        }
        if (object) {
            PushHost(ctx, std::move(object));
            made = true;
        } else {
            Language(ctx)->BlameLine(CallerLine(ctx));
            duk_push_error_object(ctx, DUK_ERR_ERROR, "Automation server can't create object: '%s'",
                                  progId.GetString());
        }
    }
    return made ? 1 : duk_throw(ctx);
}

} // namespace

CJScriptLanguage::CJScriptLanguage()
{
    CreateHeap();
}

CJScriptLanguage::~CJScriptLanguage()
{
    DestroyHeap();
}

void CJScriptLanguage::CreateHeap()
{
    m_ctx = duk_create_heap_default();
    if (m_ctx == nullptr)
        AfxThrowMemoryException();
    duk_push_global_stash(m_ctx);
    duk_push_pointer(m_ctx, this);
    duk_put_prop_string(m_ctx, -2, kLanguageKey);
    duk_pop(m_ctx);
    duk_push_c_function(m_ctx, ActiveXObject, 1);
    duk_put_global_string(m_ctx, "ActiveXObject");
}

void CJScriptLanguage::DestroyHeap()
{
    if (m_ctx != nullptr)
        duk_destroy_heap(m_ctx);
    m_ctx = nullptr;
    m_objects.clear();
}

void CJScriptLanguage::KeepAlive(std::shared_ptr<kestrun::CDispatchable> object)
{
    m_objects.push_back(std::move(object));
}

void CJScriptLanguage::Reset()
{
    DestroyHeap();
    CreateHeap();
}

void CJScriptLanguage::Bind(const CString& name, std::shared_ptr<kestrun::CDispatchable> object)
{
    PushHost(m_ctx, std::move(object));
    duk_put_global_lstring(m_ctx, name.GetString(), static_cast<duk_size_t>(name.GetLength()));
}

std::optional<CScriptLanguage::CFailure> CJScriptLanguage::Evaluate(const CString& code, ULONG startingLine)
{
    m_nBlamedLine = 0;
    duk_push_string(m_ctx, "script");
    duk_int_t rc = duk_pcompile_lstring_filename(m_ctx, 0, code.GetString(), static_cast<duk_size_t>(code.GetLength()));
    if (rc == 0)
        rc = duk_pcall(m_ctx, 0);
    if (rc == 0) {
        duk_pop(m_ctx);
        return std::nullopt;
    }
    CFailure failure;
    long line = m_nBlamedLine;
    if (line == 0 && duk_is_object(m_ctx, -1)) {
        duk_get_prop_string(m_ctx, -1, "lineNumber");
        line = duk_is_number(m_ctx, -1) ? static_cast<long>(duk_get_number(m_ctx, -1)) : 0;
        duk_pop(m_ctx);
    }
    failure.m_strDescription = duk_safe_to_string(m_ctx, -1);
    duk_pop(m_ctx);
    const long first = static_cast<long>(std::min<ULONG>(startingLine, std::numeric_limits<int>::max() / 2));
    failure.m_nLine = static_cast<ULONG>(std::max(line, 1L) - 1 + first);
    failure.m_nColumn = 0;
    failure.m_strSourceText =
        kestrun::vbs::SourceLine(code.view(), static_cast<int>(first), static_cast<int>(failure.m_nLine)).c_str();
    return failure;
}

std::optional<CScriptLanguage::CFailure> CJScriptLanguage::Run(const CString& code, ULONG startingLine)
{
    return Evaluate(code, startingLine);
}

std::optional<CScriptLanguage::CFailure> CJScriptLanguage::DefineHandler(const CString& name, const CString& code,
                                                                         ULONG startingLine)
{
    // The handler becomes a global function of that name.
    return Evaluate("function " + name + "() {\n" + code + "\n}", startingLine == 0 ? 0 : startingLine - 1);
}
