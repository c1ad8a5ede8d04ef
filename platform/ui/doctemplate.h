#pragma once
// Document templates: which document, frame and view classes make up one
// kind of document, its strings (from the string table entry of its
// resource id: window title, document name, name for "New", filter name,
// extensions, file type id, file type name, separated by '\n') and the
// list of its open documents. CMultiDocTemplate opens each document in an
// MDI child frame of its own.

#include "platform/ui/cmdtarget.h"

#include <vector>

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocTemplate)

public:
    enum DocStringIndex
    {
        windowTitle,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName,
    };
    enum Confidence
    {
        noAttempt,
        maybeAttemptForeign,
        maybeAttemptNative,
        yesAttemptForeign,
        yesAttemptNative,
        yesAlreadyOpen,
    };

    ~CDocTemplate() override;

    UINT GetResourceID() const { return m_nIDResource; }
    virtual BOOL GetDocString(CString& rString, DocStringIndex index) const;

    // Documents
    virtual POSITION GetFirstDocPosition() const;
    virtual CDocument* GetNextDoc(POSITION& rPos) const;
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);
    const std::vector<CDocument*>& Documents() const { return m_docList; }

    virtual CDocument* CreateNewDocument();
    // A new frame with a view of pDoc; null on failure.
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    // A new document (null path) or the file: document, frame and view;
    // null when the file cannot be opened (nothing stays behind).
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    // The last OpenDocumentFile failed in the document's own open, which
    // has told the user why.
    BOOL OpenFailureReported() const { return m_bOpenFailureReported; }
    virtual void SetDefaultTitle(CDocument* pDocument) = 0;
    // How well the template suits a file: an open document of the same
    // path, a file with one of its extensions, or nothing.
    virtual Confidence MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch);
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);

    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;

protected:
    CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                 const CRuntimeClass* pViewClass);

    UINT m_nIDResource;
    CString m_strDocStrings;
    std::vector<CDocument*> m_docList;
    int m_nUntitledCount = 0;
    BOOL m_bOpenFailureReported = FALSE;
};

class CMultiDocTemplate : public CDocTemplate
{
    DECLARE_DYNAMIC(CMultiDocTemplate)

public:
    CMultiDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                      const CRuntimeClass* pViewClass);
    ~CMultiDocTemplate() override;

    CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
    void SetDefaultTitle(CDocument* pDocument) override;
};

namespace kestrun {
// Path comparison as the framework does it: same file, '\' and '/' alike,
// letters without regard to case.
bool SamePath(const char* a, const char* b);
}
