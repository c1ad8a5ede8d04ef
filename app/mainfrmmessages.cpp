#include "app/mainfrm.h"

#include "app/kestrunapp.h"
#include "app/registeredmessages.h"
#include "app/resource.h"
#include "app/templatefactory.h"

#include "imaging/uwscanner.h"
#include "outside/grabwell/fgboard.h"
#include "series/runhost.h"
#include "platform/core/folders.h"
#include "platform/core/profile.h"
#include "platform/ui/document.h"

#include <algorithm>
#include <ctime>

namespace {

// Checks the new images of the folder watch again while some wait.
constexpr UINT_PTR kNewImageTimer = 45146;

// Hands a command to a form view of the given class; nothing for others.
void RouteToForm(CView* pForm, const char* lpszFormClass, UINT nID)
{
    if (kestrun::IsKindOfClass(pForm, lpszFormClass))
        pForm->OnCmdMsg(nID, CN_COMMAND, nullptr, nullptr);
}

CString AcquiredImageTitle()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[128] = {};
    std::strftime(text, sizeof(text), "Aquired Image %c", &local);
    return CString(text);
}

} // namespace

void CMainFrame::FollowInputWithScanner(int nInput)
{
    // Inputs 0-2 are the lid scanner's videos 1-3; others switch nothing.
    CUwScanner& scanner = m_pUwScanner != nullptr ? *m_pUwScanner : CUwScanner::Get();
    if (!scanner.IsLoaded() || nInput < 0 || nInput > 2)
        return;
    scanner.SelectVideo(nInput + 1);
    // The scanner's switch settles before the next frame is taken.
    kestrun::GetRunHost().Clock().SleepMs(static_cast<DWORD>(std::max(scanner.GetDelay(), 0)));
}

LRESULT CMainFrame::OnGrabwellToApp(WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case kestrun::fgevent::kInputChanged:
        SendMessageToDescendants(kestrun::AppMessages().grabwellToApp, wParam, lParam, TRUE, FALSE);
        FollowInputWithScanner(static_cast<int>(lParam));
        break;
    case kestrun::fgevent::kStatusText:
        // The status bar keeps a copy: the text lives only as long as the
        // message.
        if (const auto* text = reinterpret_cast<const char*>(lParam))
            m_wndStatusBar.GetStatusBarCtrl().SetText(text, 0, SBT_OWNERDRAW);
        break;
    default:
        break;
    }
    return 0;
}

LRESULT CMainFrame::OnDeleteDocument(WPARAM wParam, LPARAM lParam)
{
    // The engine may hold the document that goes.
    CloseScriptEngine();
    SendMessageToDescendants(kestrun::AppMessages().deleteDocument, wParam, lParam, TRUE, FALSE);
    return 0;
}

LRESULT CMainFrame::OnImageCreated(WPARAM, LPARAM)
{
    TakeNewImages();
    return 0;
}

void CMainFrame::TakeNewImages()
{
    for (const CString& path : m_newImages.TakeSettled())
        OpenNewImage(path);
    if (m_newImages.HasPending()) {
        if (m_nNewImageTimer == 0)
            m_nNewImageTimer = SetTimer(kNewImageTimer, CNewImageQueue::kCheckIntervalMs, nullptr);
    } else if (m_nNewImageTimer != 0) {
        KillTimer(m_nNewImageTimer);
        m_nNewImageTimer = 0;
    }
}

void CMainFrame::OpenNewImage(const CString& strPath)
{
    CKestrunApp* app = KestrunApp();
    if (app == nullptr)
        return;
    // A file that does not open was reported by the document and stays.
    CDocument* doc = app->OpenDocumentFile(strPath);
    if (doc == nullptr)
        return;
    if (GetProfileInt("PathName", "AutoImageDelete", 1) != 0) {
        doc->SetTitle(AcquiredImageTitle());
        DeleteFile(strPath);
    } else {
        doc->SetTitle(strPath);
    }
    SetForegroundWindow();
    RouteToForm(app->GetFormView(), "CDBForm", ID_DB_NEW_RECORD_AND_COUNT);
}

LRESULT CMainFrame::OnStateToKiste(WPARAM wParam, LPARAM)
{
    if (CKestrunApp* app = KestrunApp())
        app->SetTrayvoState(static_cast<int>(wParam));
    return 0;
}

LRESULT CMainFrame::OnCamBoxButtonPressed(WPARAM, LPARAM)
{
    CKestrunApp* app = KestrunApp();
    CView* form = app ? app->GetFormView() : nullptr;
    if (form == nullptr)
        return 0;
    // The tray-scan database form is no growth-test form: it gets nothing.
    RouteToForm(form, "CDBForm", ID_DB_NEW_RECORD_AND_COUNT);
    RouteToForm(form, "CFormTray", ID_TRAY_RUN);
    return 0;
}

LRESULT CMainFrame::OnUwScannerGone(WPARAM, LPARAM lParam)
{
    if (lParam == IDD_UWSCANNER) {
        if (CKestrunApp* app = KestrunApp())
            app->m_pUwScannerDlg = nullptr;
    }
    return 0;
}

LRESULT CMainFrame::OnQueryEndSession(WPARAM, LPARAM)
{
    CKestrunApp* app = KestrunApp();
    if (app != nullptr && !app->SaveAllModified())
        return FALSE;
    if (app != nullptr)
        app->SetTrayvoMessage("Shutdown system ...");
    return TRUE;
}
