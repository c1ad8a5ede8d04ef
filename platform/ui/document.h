#pragma once
// CDocument: the data behind one or more views. Commands reach it after
// its active view and before its template. Opening and saving go through
// Serialize with a binary archive; saving writes a temporary file and
// renames it, so a failed save leaves the old file whole.

#include "platform/core/archive.h"
#include "platform/core/exceptions.h"
#include "platform/ui/cmdtarget.h"

#include <vector>

class CDocTemplate;
class CFrameWnd;
class CView;

class CDocument : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocument)

public:
    CDocument();
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(LPCTSTR lpszTitle);
    const CString& GetPathName() const { return m_strPathName; }
    // Also makes the file's name the title and, with bAddToMRU, puts the
    // path on the recent-file list.
    virtual void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE);
    void ClearPathName() { m_strPathName.Empty(); }
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

    // Views
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    POSITION GetFirstViewPosition() const;
    CView* GetNextView(POSITION& rPosition) const;
    const std::vector<CView*>& Views() const { return m_viewList; }
    // OnUpdate of every view but the sender.
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);
    virtual void OnChangedViewList();

    // Life
    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(LPCTSTR lpszPathName);
    virtual BOOL OnSaveDocument(LPCTSTR lpszPathName);
    // Closes every frame of the document's views, then deletes the
    // document when m_bAutoDelete is set.
    virtual void OnCloseDocument();
    virtual void DeleteContents();
    // Asks to save a modified document: TRUE to go on (saved or not), FALSE
    // when the user cancelled or the save failed.
    virtual BOOL SaveModified();
    virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
    virtual void PreCloseFrame(CFrameWnd* pFrame);
    // Saves under a path asked for when lpszPathName is null.
    virtual BOOL DoSave(LPCTSTR lpszPathName, BOOL bReplace = TRUE);
    virtual BOOL DoFileSave();
    virtual void ReportSaveLoadException(LPCTSTR lpszPathName, const CException* e, BOOL bSaving, UINT nIDPDefault);
    void Serialize(CArchive& ar) override;

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    BOOL m_bAutoDelete = TRUE;
    BOOL m_bEmbedded = FALSE;

protected:
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();

    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    std::vector<CView*> m_viewList;
    BOOL m_bModified = FALSE;

    DECLARE_MESSAGE_MAP()

private:
    friend class CDocTemplate;
    bool m_bClosing = false;
};
