#pragma once
// CContScript: one piece of script code with the names that say where it
// belongs - global code, or the handler of one event of one named item -
// stored in archives, added to a script engine, and edited in the modeless
// script editor. Its cookie, an id of its own, tells the editor's closing
// notice and the engine's error notices which container they concern.

#include "scripthost/scripteditor.h"

#include "platform/core/object.h"

#include <cstdint>
#include <memory>

class CScriptEngine;

enum tagSCRIPTTYPE : std::int32_t
{
    SCRIPTTYPE_NONE = 0,
    SCRIPTTYPE_GLOBAL = 1,
    SCRIPTTYPE_HANDLER = 2,
};

class CContScript : public CObject
{
    DECLARE_SERIAL(CContScript)

public:
    CContScript();
    CContScript(const CContScript& other);
    CContScript(const CString& item, const CString& event, const CString& params);
    ~CContScript() override;
    CContScript& operator=(const CContScript& other);

    void SetName(const CString& name) { m_strName = name; }
    void SetParams(const CString& params) { m_strParams = params; }
    void SetCode(const CString& code) { m_strCode = code; }
    void AppendCode(const char* text);
    void AddCodeAtTop(const char* text);
    void SetEventName(const CString& event);
    void SetItemName(const CString& item);

    const CString& GetName() const { return m_strName; }
    const CString& GetItemName() const { return m_strItemName; }
    const CString& GetEventName() const { return m_strEventName; }
    const CString& GetParams() const { return m_strParams; }
    const CString& GetCode() const { return m_strCode; }
    tagSCRIPTTYPE GetType() const { return m_type; }
    void SetType(tagSCRIPTTYPE type) { m_type = type; }
    BOOL IsSelected() const { return m_bSelected; }
    void Select(BOOL selected = TRUE) { m_bSelected = selected; }

    operator const char*() const { return m_strName.GetString(); }
    // Unique among the containers of the process, never 0.
    DWORD GetCookie() const { return m_dwCookie; }

    BOOL IsInEditor() const { return m_pEditor != nullptr; }
    // Opens the editor, or raises the open one; FALSE when no editor can be
    // made. The first form takes the parent's title as prefix.
    BOOL Edit(HWND parent);
    BOOL Edit(HWND parent, const CString& prefix);
    // The editor's text becomes the code and the editor closes.
    void StopEdit();
    // line counts from 1.
    BOOL MarkLine(int line, int column, int length);
    void AddTo(CScriptEngine* engine) const;

    void Serialize(CArchive& ar) override;

private:
    static DWORD NextCookie();

    CString m_strName;
    CString m_strItemName;
    CString m_strEventName;
    CString m_strParams;
    tagSCRIPTTYPE m_type = SCRIPTTYPE_NONE;
    BOOL m_bSelected = TRUE;
    CString m_strCode;
    std::unique_ptr<IScriptEditor> m_pEditor;
    DWORD m_dwCookie = NextCookie();
};
