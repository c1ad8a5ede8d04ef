#pragma once
// CContCLSID: a class identifier set from its brace form
// ("{B54F3741-5B07-11CF-A4B0-00AA004A55E8}") and compared without regard
// to the case of its hex digits.

#include "platform/core/cstring.h"

class CContCLSID
{
public:
    CContCLSID() = default;
    explicit CContCLSID(const char* text) : m_strText(Normalised(text)) {}

    const CString& GetText() const { return m_strText; }
    bool IsEmpty() const { return m_strText.IsEmpty(); }
    friend bool operator==(const CContCLSID& a, const CContCLSID& b) { return a.m_strText == b.m_strText; }

private:
    static CString Normalised(const char* text)
    {
        CString normal(text ? text : "");
        normal.Trim();
        return normal.MakeUpper();
    }

    CString m_strText;
};

inline const CContCLSID CLSID_VBScript("{B54F3741-5B07-11CF-A4B0-00AA004A55E8}");
inline const CContCLSID CLSID_JScript("{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}");
