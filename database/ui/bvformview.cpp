#include "database/ui/bvformview.h"

#include "imaging/dibdocex.h"
#include "imaging/ui/dibvwex.h"

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
