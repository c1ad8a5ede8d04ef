#include "platform/database/odbcvariant.h"

namespace kestrun::odbc {

CValue ToValue(const COleVariant& variant)
{
    const COleVariant& v = variant.Deref();
    CValue value;
    switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL: break;
    case VT_I2: value.kind = EKind::Short; value.integer = v.iVal; break;
    case VT_BOOL: value.kind = EKind::Bool; value.integer = v.boolVal != 0 ? 1 : 0; break;
    case VT_I4: value.kind = EKind::Long; value.integer = v.lVal; break;
    case VT_UI1: value.kind = EKind::Byte; value.integer = v.bVal; break;
    case VT_R4: value.kind = EKind::Float; value.real = v.fltVal; break;
    case VT_R8: value.kind = EKind::Double; value.real = v.dblVal; break;
    case VT_DATE: value.kind = EKind::Date; value.real = v.date; break;
    default: value.kind = EKind::Text; value.text = v.ToString().GetString(); break;
    }
    return value;
}

COleVariant ToVariant(const CValue& v)
{
    switch (v.kind) {
    case EKind::Null: return COleVariant::Null();
    case EKind::Short: return COleVariant(static_cast<short>(v.integer));
    case EKind::Bool: return COleVariant(static_cast<short>(v.integer), VT_BOOL);
    case EKind::Long: return COleVariant(static_cast<LONG>(v.integer));
    case EKind::Byte: return COleVariant(static_cast<BYTE>(v.integer));
    case EKind::Float: return COleVariant(static_cast<float>(v.real));
    case EKind::Double: return COleVariant(v.real);
    case EKind::Date: return COleVariant::Date(v.real);
    case EKind::Text: return COleVariant(CString(v.text.c_str(), static_cast<int>(v.text.size())));
    }
    return COleVariant::Null();
}

VARTYPE ToType(EKind kind)
{
    return ToVariant(CValue{kind, 0, 0.0, {}}).vt;
}

EKind ToKind(VARTYPE type)
{
    switch (type) {
    case VT_I2: return EKind::Short;
    case VT_BOOL: return EKind::Bool;
    case VT_I4: return EKind::Long;
    case VT_UI1: return EKind::Byte;
    case VT_R4: return EKind::Float;
    case VT_R8: return EKind::Double;
    case VT_DATE: return EKind::Date;
    default: return EKind::Text;
    }
}

std::vector<CValue> ToValues(const std::vector<COleVariant>& values)
{
    std::vector<CValue> result;
    result.reserve(values.size());
    for (const COleVariant& v : values) {
        result.push_back(ToValue(v));
    }
    return result;
}

} // namespace kestrun::odbc
