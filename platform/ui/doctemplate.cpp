#include "platform/ui/doctemplate.h"

#include "platform/core/resources.h"
#include "platform/ui/document.h"
#include "platform/ui/frame.h"
#include "platform/ui/frameworkstrings.h"

#include <algorithm>
#include <filesystem>

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

namespace kestrun {

bool SamePath(const char* a, const char* b)
{
    auto normal = [](const char* path) {
        std::string text(path ? path : "");
        std::replace(text.begin(), text.end(), '\\', '/');
        std::string out = std::filesystem::path(text).lexically_normal().generic_string();
        for (char& c : out) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return out;
    };
    const std::string left = normal(a);
    return !left.empty() && left == normal(b);
}

} // namespace kestrun

namespace {

// The field of a '\n'-separated list; false when the list is shorter.
bool extractField(const CString& all, int index, CString& field)
{
    field.Empty();
    int start = 0;
    for (int i = 0; i < index; ++i) {
        const int nl = all.Find('\n', start);
        if (nl < 0)
            return false;
        start = nl + 1;
    }
    if (start > all.GetLength())
        return false;
    const int end = all.Find('\n', start);
    field = end < 0 ? all.Mid(start) : all.Mid(start, end - start);
    return true;
}

} // namespace

CDocTemplate::CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                           const CRuntimeClass* pViewClass)
    : m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass), m_nIDResource(nIDResource)
{
    kestrun::EnsureFrameworkStrings();
    if (const char* strings = AfxLoadString(nIDResource))
        m_strDocStrings = strings;
}

CDocTemplate::~CDocTemplate()
{
    for (CDocument* doc : m_docList)
        doc->m_pDocTemplate = nullptr;
}

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    return extractField(m_strDocStrings, static_cast<int>(index), rString) ? TRUE : FALSE;
}

POSITION CDocTemplate::GetFirstDocPosition() const
{
    return m_docList.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<uintptr_t>(1));
}

CDocument* CDocTemplate::GetNextDoc(POSITION& rPos) const
{
    const auto index = reinterpret_cast<uintptr_t>(rPos);
    if (index == 0 || index > m_docList.size()) {
        rPos = nullptr;
        return nullptr;
    }
    rPos = index < m_docList.size() ? reinterpret_cast<POSITION>(index + 1) : nullptr;
    return m_docList[index - 1];
}

void CDocTemplate::AddDocument(CDocument* pDoc)
{
    if (pDoc == nullptr || std::find(m_docList.begin(), m_docList.end(), pDoc) != m_docList.end())
        return;
    if (pDoc->m_pDocTemplate && pDoc->m_pDocTemplate != this)
        pDoc->m_pDocTemplate->RemoveDocument(pDoc);
    m_docList.push_back(pDoc);
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    const auto it = std::find(m_docList.begin(), m_docList.end(), pDoc);
    if (it == m_docList.end())
        return;
    m_docList.erase(it);
    pDoc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (m_pDocClass == nullptr)
        return nullptr;
    CObject* object = m_pDocClass->CreateObject();
    auto* doc = DYNAMIC_DOWNCAST(CDocument, object);
    if (doc == nullptr) {
        delete object;
        return nullptr;
    }
    AddDocument(doc);
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    if (m_pFrameClass == nullptr)
        return nullptr;
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* object = m_pFrameClass->CreateObject();
    auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, object);
    if (frame == nullptr) {
        delete object;
        return nullptr;
    }
    // A frame that fails after its window exists deletes itself.
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    if (pFrame)
        pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch)
{
    rpDocMatch = nullptr;
    for (CDocument* doc : m_docList) {
        if (kestrun::SamePath(doc->GetPathName(), lpszPathName)) {
            rpDocMatch = doc;
            return yesAlreadyOpen;
        }
    }
    CString extensions;
    if (GetDocString(extensions, filterExt) && !extensions.IsEmpty()) {
        const CString path(lpszPathName ? lpszPathName : "");
        const int slash = std::max(path.ReverseFind('/'), path.ReverseFind('\\'));
        const int dot = path.ReverseFind('.');
        if (dot > slash) {
            CString ext = path.Mid(dot);
            ext.MakeLower();
            int start = 0;
            while (start >= 0) {
                CString one = extensions.Tokenize(";", start);
                one.Trim();
                one.MakeLower();
                if (!one.IsEmpty() && one == ext)
                    return yesAttemptNative;
            }
        }
    }
    return yesAttemptForeign;
}

BOOL CDocTemplate::SaveAllModified()
{
    const std::vector<CDocument*> docs = m_docList;
    for (CDocument* doc : docs) {
        if (!doc->SaveModified())
            return FALSE;
    }
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    const std::vector<CDocument*> docs = m_docList;
    for (CDocument* doc : docs) {
        if (std::find(m_docList.begin(), m_docList.end(), doc) != m_docList.end())
            doc->OnCloseDocument();
    }
}

// ---- CMultiDocTemplate ------------------------------------------------------------------

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                                     const CRuntimeClass* pFrameClass, const CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
}

CMultiDocTemplate::~CMultiDocTemplate() = default;

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    m_bOpenFailureReported = FALSE;
    CDocument* doc = CreateNewDocument();
    if (doc == nullptr)
        return nullptr;
    // While the frame is made, a failure must not take the document along.
    const BOOL autoDelete = doc->m_bAutoDelete;
    doc->m_bAutoDelete = FALSE;
    CFrameWnd* frame = CreateNewFrame(doc, nullptr);
    doc->m_bAutoDelete = autoDelete;
    if (frame == nullptr) {
        delete doc;
        return nullptr;
    }
    if (lpszPathName == nullptr) {
        SetDefaultTitle(doc);
        if (!doc->OnNewDocument()) {
            frame->DestroyWindow();
            return nullptr;
        }
        ++m_nUntitledCount;
    } else {
        CWaitCursor wait;
        if (!doc->OnOpenDocument(lpszPathName)) {
            // Documents report their own failures to open.
            m_bOpenFailureReported = TRUE;
            // Closing the frame takes the document along.
            frame->DestroyWindow();
            return nullptr;
        }
        doc->SetPathName(lpszPathName);
    }
    InitialUpdateFrame(frame, doc, bMakeVisible);
    return doc;
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString name;
    if (GetDocString(name, docName) && !name.IsEmpty()) {
        name.AppendFormat("%d", m_nUntitledCount + 1);
    } else {
        const char* untitled = AfxLoadString(AFX_IDS_UNTITLED);
        name = untitled ? untitled : "Untitled";
    }
    pDocument->SetTitle(name);
}
