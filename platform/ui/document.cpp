#include "platform/ui/document.h"

#include "platform/core/atomicfile.h"
#include "platform/core/file.h"
#include "platform/core/resources.h"
#include "platform/ui/ddx.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/frame.h"
#include "platform/ui/frameworkstrings.h"
#include "platform/ui/view.h"
#include "platform/ui/winapp.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::CDocument()
{
    kestrun::EnsureFrameworkStrings();
    BuildMessageMap();
}

CDocument::~CDocument()
{
    // Views that still point here forget the document.
    for (CView* view : m_viewList)
        view->m_pDocument = nullptr;
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle ? lpszTitle : "";
    // Frames show the new title.
    for (CView* view : m_viewList) {
        if (CFrameWnd* frame = view->GetParentFrame())
            frame->OnUpdateFrameTitle(TRUE);
    }
}

void CDocument::SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU)
{
    m_strPathName = lpszPathName ? lpszPathName : "";
    const int slash = std::max(m_strPathName.ReverseFind('/'), m_strPathName.ReverseFind('\\'));
    SetTitle(m_strPathName.Mid(slash + 1));
    if (bAddToMRU) {
        if (CWinApp* app = AfxGetApp())
            app->AddToRecentFileList(m_strPathName);
    }
}

// ---- views -----------------------------------------------------------------------------

void CDocument::AddView(CView* pView)
{
    if (pView == nullptr || std::find(m_viewList.begin(), m_viewList.end(), pView) != m_viewList.end())
        return;
    if (pView->m_pDocument && pView->m_pDocument != this)
        pView->m_pDocument->RemoveView(pView);
    m_viewList.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    const auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
    if (it == m_viewList.end())
        return;
    m_viewList.erase(it);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::OnChangedViewList()
{
    // The last view gone: the document goes too.
    if (m_viewList.empty() && m_bAutoDelete && !m_bClosing)
        OnCloseDocument();
}

POSITION CDocument::GetFirstViewPosition() const
{
    return m_viewList.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<uintptr_t>(1));
}

CView* CDocument::GetNextView(POSITION& rPosition) const
{
    const auto index = reinterpret_cast<uintptr_t>(rPosition);
    if (index == 0 || index > m_viewList.size()) {
        rPosition = nullptr;
        return nullptr;
    }
    rPosition = index < m_viewList.size() ? reinterpret_cast<POSITION>(index + 1) : nullptr;
    return m_viewList[index - 1];
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    // A copy: an update may add or remove views.
    const std::vector<CView*> views = m_viewList;
    for (CView* view : views) {
        if (view != pSender && std::find(m_viewList.begin(), m_viewList.end(), view) != m_viewList.end())
            view->OnUpdate(pSender, lHint, pHint);
    }
}

// ---- life ---------------------------------------------------------------------------------

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCTSTR lpszPathName)
{
    CFile file;
    CFileException error;
    if (!file.Open(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, &error)) {
        ReportSaveLoadException(lpszPathName, &error, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }
    DeleteContents();
    SetModifiedFlag(TRUE);
    try {
        CArchive ar(&file, CArchive::load);
        ar.m_pDocument = this;
        ar.m_strFileName = lpszPathName;
        Serialize(ar);
        ar.Close();
    } catch (const CException& e) {
        file.Abort();
        DeleteContents();
        ReportSaveLoadException(lpszPathName, &e, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCTSTR lpszPathName)
{
    try {
        // The whole file first, then one rename: a failed save leaves the old file.
        CMemFile memory;
        {
            CArchive ar(&memory, CArchive::store);
            ar.m_pDocument = this;
            ar.m_strFileName = lpszPathName;
            Serialize(ar);
            ar.Close();
        }
        const ULONGLONG length = memory.GetLength();
        std::vector<BYTE> bytes(static_cast<size_t>(length));
        memory.SeekToBegin();
        if (length > 0)
            memory.Read(bytes.data(), static_cast<UINT>(length));
        kestrun::CAtomicFileWriter writer(lpszPathName);
        writer.Write(bytes.data(), bytes.size());
        writer.Commit();
    } catch (const CException& e) {
        ReportSaveLoadException(lpszPathName, &e, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument()
{
    if (m_bClosing)
        return;
    m_bClosing = true;
    while (!m_viewList.empty()) {
        CView* view = m_viewList.front();
        const size_t before = m_viewList.size();
        if (CFrameWnd* frame = view->GetParentFrame()) {
            PreCloseFrame(frame);
            frame->DestroyWindow();
        } else {
            view->DestroyWindow();
        }
        // A view without a window leaves by hand.
        if (m_viewList.size() == before && m_viewList.front() == view)
            RemoveView(view);
    }
    m_bClosing = false;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

void CDocument::DeleteContents()
{
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    CString name = m_strPathName;
    if (name.IsEmpty()) {
        name = m_strTitle;
        if (name.IsEmpty())
            name = AfxLoadString(AFX_IDS_UNTITLED);
    }
    CString prompt;
    AfxFormatString1(prompt, AFX_IDP_ASK_TO_SAVE, name);
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDCANCEL:
        return FALSE;
    case IDYES:
        return DoFileSave();
    default:
        return TRUE;
    }
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrameArg)
{
    // Other frames still show the document: no need to ask.
    for (CView* view : m_viewList) {
        if (view->GetParentFrame() != pFrameArg)
            return TRUE;
    }
    return SaveModified();
}

void CDocument::PreCloseFrame(CFrameWnd*)
{
}

BOOL CDocument::DoSave(LPCTSTR lpszPathName, BOOL bReplace)
{
    CString path = lpszPathName ? lpszPathName : "";
    if (path.IsEmpty()) {
        path = m_strPathName;
        if (path.IsEmpty())
            path = m_strTitle;
        CWinApp* app = AfxGetApp();
        if (app == nullptr || !app->DoPromptFileName(path, 0, 0, FALSE, m_pDocTemplate))
            return FALSE;
    }
    if (!OnSaveDocument(path))
        return FALSE;
    if (bReplace)
        SetPathName(path);
    return TRUE;
}

BOOL CDocument::DoFileSave()
{
    return DoSave(m_strPathName.IsEmpty() ? nullptr : m_strPathName.GetString());
}

void CDocument::ReportSaveLoadException(LPCTSTR lpszPathName, const CException* e, BOOL, UINT nIDPDefault)
{
    if (dynamic_cast<const CUserException*>(e) != nullptr)
        return; // already reported
    CString text = e ? e->GetErrorMessage() : CString();
    if (text.IsEmpty())
        AfxFormatString1(text, nIDPDefault, lpszPathName ? lpszPathName : "");
    AfxMessageBox(text, MB_ICONEXCLAMATION);
}

void CDocument::Serialize(CArchive&)
{
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return (m_pDocTemplate && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) ? TRUE : FALSE;
}

void CDocument::OnFileClose()
{
    if (!SaveModified())
        return;
    OnCloseDocument();
}

void CDocument::OnFileSave()
{
    DoFileSave();
}

void CDocument::OnFileSaveAs()
{
    DoSave(nullptr);
}
