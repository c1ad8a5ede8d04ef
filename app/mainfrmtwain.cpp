// The main window's scanner commands and the hand-over of scanned images.

#include "app/mainfrm.h"

#include "database/ui/bvformview.h"
#include "imaging/dibdoc.h"
#include "outside/pixmere/dib.h"
#include "platform/ui/appservices.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/view.h"

#include <exception>

namespace {

constexpr const char* kNoManager = "Scanning is not available: the source manager library was not found.";

// The image document of the active image view, else the first one.
CDIBDoc* ActiveImageDocument(CAppServices& services)
{
    if (CView* view = services.GetImageView()) {
        if (auto* doc = DYNAMIC_DOWNCAST(CDIBDoc, view->GetDocument()))
            return doc;
    }
    return DYNAMIC_DOWNCAST(CDIBDoc, services.GetImageDocument());
}

} // namespace

void CMainFrame::OnTwainSelectSource()
{
    if (!IsLoaded()) {
        AfxMessageBox(kNoManager, MB_ICONINFORMATION);
        return;
    }
    // A cancelled choice is no error; the source manager reports its own.
    SelectSource();
}

void CMainFrame::OnTwainAcquire()
{
    if (!IsLoaded()) {
        AfxMessageBox(kNoManager, MB_ICONINFORMATION);
        return;
    }
    if (Acquire(-1))
        return;
    if (GetConditionCode() == TWCC_NODS)
        AfxMessageBox("No scanner was found.", MB_ICONINFORMATION);
    else
        AfxMessageBox(FormatString("The scanner could not be started (condition %u).", GetConditionCode()),
                      MB_ICONEXCLAMATION);
}

LRESULT CMainFrame::OnTwainSourceEvent(WPARAM wParam, LPARAM lParam)
{
    MSG msg{GetSafeHwnd(), RegisterWindowMessage(kSourceEventMessage), wParam, lParam, 0, {}};
    ProcessMessage(msg);
    return 0;
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg)
{
    if (IsSourceEnabled() && ProcessMessage(*pMsg))
        return TRUE;
    return CMDIFrameWnd::PreTranslateMessage(pMsg);
}

void CMainFrame::OnImage(TW_HANDLE hBitmap, const TW_IMAGEINFO&)
{
    // Called from the source's event: nothing may be thrown back through it.
    try {
        CAppServices* services = kestrun::AppServices();
        if (services == nullptr)
            return;
        if (auto* form = DYNAMIC_DOWNCAST(CBVFormView, services->GetFormView())) {
            auto page = std::make_unique<CDIB>();
            if (!page->CreateFromHANDLE(hBitmap)) {
                AfxMessageBox(FormatString("The scanned image cannot be read: %s", page->GetLastError().GetString()));
                return;
            }
            if (form->AcquireImage(std::move(page)) == nullptr)
                AfxMessageBox("The scanned image could not be shown in the form.");
            return;
        }
        CDIBDoc* doc = ActiveImageDocument(*services);
        if (doc == nullptr) {
            if (CMultiDocTemplate* images = services->GetImageTemplate())
                doc = DYNAMIC_DOWNCAST(CDIBDoc, images->OpenDocumentFile(nullptr, TRUE));
        }
        if (doc == nullptr) {
            AfxMessageBox("No image window could be opened for the scanned image.");
            return;
        }
        if (!doc->AddTwainImage(hBitmap))
            AfxMessageBox("The scanned image cannot be read.");
    } catch (const CException& e) {
        AfxMessageBox(FormatString("The scanned image was not taken over: %s", e.GetErrorMessage().GetString()));
    } catch (const std::exception& e) {
        AfxMessageBox(FormatString("The scanned image was not taken over: %s", e.what()));
    }
}
