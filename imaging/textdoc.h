#pragma once
// CTextDoc: a text shown in an edit window and printed, such as the
// settings report of the analysis profile. The text is set by the command
// that opens the document; the document never reads or writes a file, so
// Save and Save As are disabled (they would write an empty file).

#include "platform/ui/document.h"

class CCmdUI;

class CTextDoc : public CDocument
{
    DECLARE_DYNCREATE(CTextDoc)

public:
    CTextDoc();
    ~CTextDoc() override;

    CString GetText() const { return m_strText; }
    void SetText(const CString& text) { m_strText = text; }

    // Stores nothing and reads nothing.
    void Serialize(CArchive& ar) override;

protected:
    void OnUpdateFileSave(CCmdUI* pCmdUI);

    CString m_strText;

    DECLARE_MESSAGE_MAP()
};
