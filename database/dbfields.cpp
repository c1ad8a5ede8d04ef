#include "database/dbfields.h"

namespace {

// The value of the field, or nothing when the recordset has no records.
bool ReadField(const _RecordsetPtr& rs, const CString& name, COleVariant& value)
{
    if (rs->GetRecordCount() <= 0) {
        return false;
    }
    value = rs->GetFields()->GetItem(name)->GetValue();
    return true;
}

} // namespace

int GetFieldInt(const _RecordsetPtr& rs, const CString& name)
{
    COleVariant v;
    if (!ReadField(rs, name, v)) {
        return 0;
    }
    switch (v.vt) {
    case VT_I2: return v.iVal;
    case VT_I4: return static_cast<int>(v.lVal);
    case VT_UI1: return v.bVal;
    default: return 0;
    }
}

double GetFieldDouble(const _RecordsetPtr& rs, const CString& name)
{
    COleVariant v;
    if (!ReadField(rs, name, v)) {
        return 0.0;
    }
    switch (v.vt) {
    case VT_I2: return v.iVal;
    case VT_I4: return v.lVal;
    case VT_UI1: return v.bVal;
    case VT_R4: return v.fltVal;
    case VT_R8: return v.dblVal;
    default: return 0.0;
    }
}

CString GetFieldString(const _RecordsetPtr& rs, const CString& name)
{
    COleVariant v;
    if (!ReadField(rs, name, v)) {
        return {};
    }
    CString text;
    if (v.vt == VT_BSTR) {
        text = v.bstrVal;
    } else if (v.vt == VT_DATE) {
        try {
            text = v.ToString();
        } catch (const COleException&) {
            // An invalid date gives nothing.
        }
    }
    return text == " " ? CString() : text;
}

void SetFieldString(const _RecordsetPtr& rs, const CString& name, const CString& text)
{
    rs->GetFields()->GetItem(name)->PutValue(COleVariant(text));
}
