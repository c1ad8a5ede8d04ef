#include "imaging/dibdoc.h"

#include "imaging/resulttable.h"

#include "analysis/bv.h"
#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/ui/appservices.h"
#include "platform/ui/frame.h"
#include "platform/ui/view.h"
#include "platform/ui/winapp.h"

#include <algorithm>
#include <utility>

IMPLEMENT_DYNCREATE(CDIBDoc, CDocument)

BEGIN_MESSAGE_MAP(CDIBDoc, CDocument)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDIBDoc::CDIBDoc()
{
    BuildMessageMap();
}

CDIBDoc::~CDIBDoc()
{
    // Views and tools let go of the document first.
    try {
        if (CWnd* main = AfxGetMainWnd())
            main->SendMessage(RegisterWindowMessage("DELETE_DOCUMENT"), 0, reinterpret_cast<LPARAM>(this));
        ClearContents();
    } catch (const CException& e) {
        e.ReportError();
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONEXCLAMATION);
    }
}

void CDIBDoc::ClearContents()
{
    // A form's image document takes its result table along.
    CDocument* result = std::exchange(m_pResultDoc, nullptr);
    if (result && m_pEmbeddedView)
        result->OnCloseDocument();
    while (!m_pages.empty()) {
        std::unique_ptr<CDIB> page = std::move(m_pages.back());
        m_pages.pop_back();
        FreePage(std::move(page));
    }
    PopUndo(undoClear);
    m_pPreview.reset();
    m_bAppend = FALSE;
    m_nDrawMode = 0;
}

// ---- the application's parts -------------------------------------------------------------

CBV* CDIBDoc::GetEngine()
{
    CAppServices* services = kestrun::AppServices();
    return services ? services->GetEngine() : nullptr;
}

CSRC* CDIBDoc::GetTemplates()
{
    CAppServices* services = kestrun::AppServices();
    return services ? services->GetTemplates() : nullptr;
}

CAOIDoc* CDIBDoc::GetDataDoc()
{
    CBV* engine = GetEngine();
    return engine ? &engine->m_AOIDoc : nullptr;
}

void CDIBDoc::PropagateImageSize(CSize size)
{
    if (CAOIDoc* areas = GetDataDoc())
        areas->SetImageSize(size.cx, size.cy, true);
}

// ---- pages -------------------------------------------------------------------------------

void CDIBDoc::ClampActiveIndex()
{
    m_nActivePage = std::clamp(m_nActivePage, 0, std::max(GetPageCount() - 1, 0));
}

CDIB* CDIBDoc::GetPage(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetPageCount())
        AfxThrowInvalidArgException();
    return m_pages[static_cast<size_t>(nIndex)].get();
}

CDIB* CDIBDoc::GetActiveDIB()
{
    ClampActiveIndex();
    return m_pages.empty() ? nullptr : m_pages[static_cast<size_t>(m_nActivePage)].get();
}

int CDIBDoc::GetActiveIndex()
{
    ClampActiveIndex();
    return m_nActivePage;
}

CDIB* CDIBDoc::AddPage(std::unique_ptr<CDIB> page)
{
    if (!page)
        AfxThrowInvalidArgException();
    m_pages.push_back(std::move(page));
    return m_pages.back().get();
}

int CDIBDoc::DeletePage(int nIndex)
{
    if (GetPageCount() <= 1) {
        AfxMessageBox("You cannot delete the last image");
        return 0;
    }
    if (nIndex < 0 || nIndex >= GetPageCount())
        AfxThrowInvalidArgException();
    const auto it = m_pages.begin() + nIndex;
    std::unique_ptr<CDIB> page = std::move(*it);
    m_pages.erase(it);
    FreePage(std::move(page));
    return 1;
}

CSize CDIBDoc::GetPageSize()
{
    const CDIB* page = GetActiveDIB();
    if (page == nullptr)
        AfxThrowInvalidArgException();
    return CSize(page->GetWidth(), page->GetHeight());
}

// ---- undo ----------------------------------------------------------------------------------

void CDIBDoc::PushUndo(BOOL bForce)
{
    const CDIB* page = GetActiveDIB();
    if (page == nullptr || (!bForce && !m_undo.empty()))
        return;
    auto copy = std::make_unique<CDIB>();
    CopyPage(*copy, *page);
    m_undo.push_back(std::move(copy));
}

void CDIBDoc::PopUndo(int nMode)
{
    if (m_undo.empty())
        return;
    switch (nMode) {
    case undoPop:
    case undoRevert:
        if (CDIB* page = GetActiveDIB())
            CopyPage(*page, *m_undo.back());
        if (nMode == undoPop)
            m_undo.pop_back();
        break;
    case undoClear:
        m_undo.clear();
        break;
    default:
        break;
    }
    if (m_undo.size() < m_nUndoOwnerDepth)
        m_pUndoOwner = nullptr;
}

void CDIBDoc::MarkUndoStep(CDocument* pOwner)
{
    m_pUndoOwner = m_undo.empty() ? nullptr : pOwner;
    m_nUndoOwnerDepth = m_undo.size();
}

BOOL CDIBDoc::PopUndoStepOf(CDocument* pOwner)
{
    if (pOwner == nullptr || pOwner != m_pUndoOwner || m_undo.size() != m_nUndoOwnerDepth)
        return FALSE;
    PopUndo(undoPop);
    m_pUndoOwner = nullptr;
    return TRUE;
}

// ---- views -----------------------------------------------------------------------------------

void CDIBDoc::UpdateImageViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    if (m_pEmbeddedView) {
        m_pEmbeddedView->OnUpdate(nullptr, 0, nullptr);
        m_pEmbeddedView->Invalidate(TRUE);
        return;
    }
    UpdateAllViews(pSender, lHint, pHint);
}

void CDIBDoc::RedrawImage(BOOL bAll)
{
    if (bAll) {
        UpdateImageViews();
        return;
    }
    if (!m_viewList.empty())
        m_viewList.front()->Invalidate(FALSE);
    if (m_pEmbeddedView)
        m_pEmbeddedView->Invalidate(FALSE);
}

void CDIBDoc::DetachView(CView* pView)
{
    const auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
    if (it != m_viewList.end())
        m_viewList.erase(it);
}

// ---- threshold preview -----------------------------------------------------------------------

CDIB* CDIBDoc::EnsurePreviewImage()
{
    if (!m_pPreview) {
        const CDIB* page = GetActiveDIB();
        if (page == nullptr)
            return nullptr;
        auto preview = std::make_unique<CDIB>();
        if (!preview->InitDIB(page->GetWidth(), page->GetHeight(), 8))
            return nullptr;
        m_pPreview = std::move(preview);
    }
    return m_pPreview.get();
}

void CDIBDoc::DeleteOwnedObject()
{
    m_pPreview.reset();
}

// ---- the result document -------------------------------------------------------------------------

CResultTable* CDIBDoc::GetResultTable() const
{
    return dynamic_cast<CResultTable*>(m_pResultDoc);
}

void CDIBDoc::SetResultDoc(CDocument* pDoc)
{
    m_pResultDoc = pDoc;
    if (pDoc)
        m_nDrawMode = kDrawModeResult;
}

void CDIBDoc::ReleaseDocument(CDocument* pDoc)
{
    if (pDoc == nullptr)
        return;
    if (m_pResultDoc == pDoc)
        m_pResultDoc = nullptr;
    if (m_pProfileChart == pDoc)
        m_pProfileChart = nullptr;
    if (m_pUndoOwner == pDoc)
        m_pUndoOwner = nullptr;
}

// ---- status bar --------------------------------------------------------------------------------------

void CDIBDoc::SetStatusText(LPCTSTR lpszText)
{
    if (auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd()))
        frame->SetMessageText(lpszText);
}
