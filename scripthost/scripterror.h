#pragma once
// CScriptError: one script error as the engine reports it - the source
// context given with the failing code, the line, the character position in
// it, the description and the text of the failing line.

#include "platform/core/cstring.h"

class CScriptError
{
public:
    CScriptError() = default;

    void Set(DWORD sourceContext, ULONG line, LONG charPos, const CString& description, const CString& sourceText)
    {
        m_dwSourceContext = sourceContext;
        m_ulLine = line;
        m_lCharPos = charPos;
        m_strDescription = description;
        m_strSourceText = sourceText;
    }

    DWORD GetSourceContext() const { return m_dwSourceContext; }
    ULONG GetSourceLine() const { return m_ulLine; }
    LONG GetCharPos() const { return m_lCharPos; }
    const CString& GetDescription() const { return m_strDescription; }
    const CString& GetSourceText() const { return m_strSourceText; }

private:
    DWORD m_dwSourceContext = 0;
    ULONG m_ulLine = 0;
    LONG m_lCharPos = 0;
    CString m_strDescription;
    CString m_strSourceText;
};
