#include "database/ui/bvformview.h"

#include "database/ui/formmessages.h"
#include "imaging/dibdocex.h"
#include "imaging/ui/dibvwex.h"
#include "outside/grabwell/fgboard.h"
#include "platform/ui/appservices.h"
#include "platform/ui/frame.h"
#include "platform/ui/winapp.h"

IMPLEMENT_DYNAMIC(CBVFormView, CFormView)

CBVFormView::CBVFormView(UINT nIDTemplate) : CFormView(nIDTemplate) {}

CBVFormView::~CBVFormView()
{
    DetachImageView();
}

CDIBDocEx* CBVFormView::EnsureImageDocument()
{
    if (m_pImageDoc == nullptr)
        m_pImageDoc = new CDIBDocEx;
    return m_pImageDoc;
}

void CBVFormView::ShowImage()
{
    if (m_pImageView != nullptr)
        m_pImageDoc->UpdateImageViews();
    else
        CreateImageView(FALSE);
}

CDIBDocEx* CBVFormView::AcquireImage(std::unique_ptr<CDIB> page)
{
    CDIBDocEx* doc = EnsureImageDocument();
    if (page) {
        // A page without pixels is an import that failed.
        if (page->GetWidth() <= 0 || page->GetHeight() <= 0) {
            DetachImageView();
            return nullptr;
        }
        doc->AddPage(std::move(page));
        doc->SetActiveIndex(doc->GetPageCount() - 1);
    }
    ShowImage();
    return m_pImageDoc;
}

CDIBDocEx* CBVFormView::OpenImageFile(LPCTSTR lpszPathName)
{
    CDIBDocEx* doc = EnsureImageDocument();
    if (!doc->OnOpenDocument(lpszPathName)) {
        if (!doc->IsVideo())
            DetachImageView();
        return nullptr;
    }
    ShowImage();
    return m_pImageDoc;
}

void CBVFormView::DetachImageView()
{
    if (m_pImageView != nullptr) {
        CDIBVwEx* view = m_pImageView;
        m_pImageView = nullptr;
        if (m_pImageDoc != nullptr) {
            m_pImageDoc->DetachView(view);
            if (m_pImageDoc->GetEmbeddedView() == view)
                m_pImageDoc->SetEmbeddedView(nullptr);
        }
        // The view deletes itself with its window.
        if (view->GetSafeHwnd() != nullptr)
            view->DestroyWindow();
        else
            delete view;
    }
    if (m_pImageDoc != nullptr) {
        CDIBDocEx* doc = m_pImageDoc;
        m_pImageDoc = nullptr;
        doc->OnCloseDocument();
    }
}

BOOL CBVFormView::CreateEmbeddedView(UINT nFrameID, UINT nLimitID, BOOL bVideo)
{
    if (m_pImageDoc == nullptr)
        return FALSE;
    auto* view = new CDIBVwEx;
    view->m_bEmbedded = TRUE;
    m_pImageDoc->SetEmbeddedView(view);
    CWnd* frame = GetDlgItem(static_cast<int>(nFrameID));
    CRect rect(0, 0, 320, 240);
    if (frame != nullptr) {
        frame->GetWindowRect(&rect);
        ScreenToClient(&rect);
        CDIB* page = m_pImageDoc->GetActiveDIB();
        if (page != nullptr && page->GetWidth() > 0 && page->GetHeight() > 0) {
            // The frame keeps its top and right edge and takes the page's ratio.
            const double ratio = static_cast<double>(page->GetWidth()) / page->GetHeight();
            int width = static_cast<int>(rect.Height() * ratio);
            int height = rect.Height();
            if (CWnd* limit = GetDlgItem(static_cast<int>(nLimitID))) {
                CRect limitRect;
                limit->GetWindowRect(&limitRect);
                ScreenToClient(&limitRect);
                if (rect.right - width < limitRect.right) {
                    width = rect.right - limitRect.right;
                    height = static_cast<int>(width / ratio);
                }
            }
            rect.left = rect.right - width;
            rect.bottom = rect.top + height;
            frame->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                                SWP_NOZORDER | SWP_SHOWWINDOW);
        }
    }
    const CRect inner(rect.left + 1, rect.top + 1, rect.right - 4, rect.bottom - 4);
    // The view joins the document while it is created, so that it never
    // draws without one.
    CCreateContext context;
    context.m_pCurrentDoc = m_pImageDoc;
    if (!view->Create(nullptr, "Video", WS_CHILD | WS_VISIBLE, inner, this, 2, &context)) {
        // A failed creation deleted the view.
        m_pImageDoc->SetEmbeddedView(nullptr);
        return FALSE;
    }
    m_pImageView = view;
    if (bVideo && !view->ConnectVideo())
        return FALSE;
    view->SendMessage(WM_INITIALUPDATE);
    return TRUE;
}

void CBVFormView::InitVideo()
{
    if (m_pImageDoc != nullptr && !m_pImageDoc->IsVideo())
        DetachImageView();
    CDIBDocEx* doc = EnsureImageDocument();
    if (!doc->IsVideo() && !doc->InitVideoPages()) {
        DetachImageView();
    } else if (m_pImageView != nullptr) {
        doc->UpdateImageViews();
    } else if (!CreateImageView(TRUE)) {
        DetachImageView();
    }
    // The grabber takes back the profile an image view last handed over.
    if (CAppServices* services = kestrun::AppServices()) {
        const CString grabberProfile = services->GetGrabberProfileName();
        if (!grabberProfile.IsEmpty())
            GetFG()->SetParameterString(kestrun::fgparam::kProfile, grabberProfile);
    }
    SendStateToBox(3);
}

void CBVFormView::SendStateToBox(int state)
{
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessage(kestrun::dbui::FormMessages().stateToBox, static_cast<WPARAM>(state), 0);
}

void CBVFormView::FitFrameToMainWindow()
{
    CWnd* main = AfxGetMainWnd();
    CFrameWnd* frame = GetParentFrame();
    if (main == nullptr || frame == nullptr)
        return;
    CRect client;
    main->GetClientRect(&client);
    frame->SetWindowPos(nullptr, 0, 0, client.Width() - 4, client.Height() - 104, SWP_NOZORDER | SWP_SHOWWINDOW);
}
