#include "app/mainfrm.h"

#include "app/kestrunapp.h"
#include "app/registeredmessages.h"
#include "app/resource.h"
#include "app/templatefactory.h"

#include "database/ui/dbdlgresources.h"
#include "imaging/dibdoc.h"
#include "outside/grabwell/fgboard.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/document.h"

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
    ON_COMMAND_RANGE(ID_INPUT_CHANNEL_0, ID_INPUT_CHANNEL_3, OnInputChannel)
    ON_COMMAND(ID_DATABASE_TOOLBAR, OnDatabaseToolBar)
    ON_UPDATE_COMMAND_UI(ID_DATABASE_TOOLBAR, OnUpdateDatabaseToolBar)
    ON_COMMAND(ID_EXTENDED_VIEW, OnExtendedView)
    ON_UPDATE_COMMAND_UI(ID_EXTENDED_VIEW, OnUpdateExtendedView)
    ON_CBN_SELCHANGE(IDC_VIDEO_SOURCE, OnSelChangeVideoSource)
    ON_CBN_SELCHANGE(IDC_TOOLBAR_COMBO2, OnSelChangeCombo2)
    ON_COMMAND(ID_MACRO_EDIT, OnMacroEdit)
    ON_COMMAND(ID_MACRO_RUN, OnMacroRun)
    ON_UPDATE_COMMAND_UI(ID_MACRO_RUN, OnUpdateMacroRun)
    ON_COMMAND(ID_TWAIN_SELECT_SOURCE, OnTwainSelectSource)
    ON_COMMAND(ID_TWAIN_ACQUIRE, OnTwainAcquire)
    ON_COMMAND(ID_AUTO_IMAGE_INPUT, OnAutoImageInput)
    ON_COMMAND(ID_IMPORT, OnImport)
    ON_UPDATE_COMMAND_UI(ID_IMPORT, OnUpdateImport)
    // The help is not part of this program yet.
    ON_UPDATE_COMMAND_UI_RANGE(ID_HELP_INDEX, ID_DEFAULT_HELP, OnUpdateNotAvailable)

    RouteCommands(ID_RECORD_FIRST, ID_RECORD_PREV, &CMainFrame::FormViewTarget);
    RouteCommands(ID_DB_COMMAND_FIRST, ID_DB_COMMAND_LAST, &CMainFrame::FormViewTarget);
    RouteCommands(ID_IMAGE_INTEGRATION, ID_IMAGE_INTEGRATION, &CMainFrame::ImageDocumentViewTarget);
    // Curvature, Convex/Concav and Conglomerate Cutting are the application's.
    RouteCommands(ID_ANALYSIS_FIRST, ID_CURVATURE - 1, &CMainFrame::ImageViewTarget);
    RouteCommands(ID_CONGLOMERATE_CUTTING + 1, ID_ANALYSIS_LAST, &CMainFrame::ImageViewTarget);
    RouteCommands(ID_IMAGE_COMMAND_FIRST, ID_IMAGE_COMMAND_LAST, &CMainFrame::ImageViewTarget);
    RouteCommands(ID_VIEW_COMMAND_FIRST, ID_VIEW_COMMAND_LAST, &CMainFrame::ImageViewTarget);
    RouteCommands(ID_EXPORT_FIRST, ID_EXPORT_LAST, &CMainFrame::ExportTarget);

    ON_MESSAGE(WM_UWSCANNER_GONE, OnUwScannerGone)
    ON_MESSAGE(WM_QUERYENDSESSION, OnQueryEndSession)
    const kestrun::CAppMessages& messages = kestrun::AppMessages();
    ON_REGISTERED_MESSAGE(messages.grabwellToApp, OnGrabwellToApp)
    ON_REGISTERED_MESSAGE(messages.deleteDocument, OnDeleteDocument)
    ON_REGISTERED_MESSAGE(messages.runMacro, OnRunMacro)
    ON_REGISTERED_MESSAGE(messages.imageCreated, OnImageCreated)
    ON_REGISTERED_MESSAGE(messages.stateToKiste, OnStateToKiste)
    ON_REGISTERED_MESSAGE(messages.scriptError, OnScriptError)
    ON_REGISTERED_MESSAGE(messages.editClose, OnEditClose)
    ON_REGISTERED_MESSAGE(messages.camBoxButtonPressed, OnCamBoxButtonPressed)
    ON_REGISTERED_MESSAGE(RegisterWindowMessage(kSourceEventMessage), OnTwainSourceEvent)
END_MESSAGE_MAP()

// ---- routing -------------------------------------------------------------------------------

void CMainFrame::RouteCommands(UINT nFirst, UINT nLast, CCmdTarget* (CMainFrame::*target)())
{
    AddCommandHandler(nFirst, nLast, CN_COMMAND, [this, target](UINT nID) -> BOOL {
        CCmdTarget* to = (this->*target)();
        return to != nullptr && to->OnCmdMsg(nID, CN_COMMAND, nullptr, nullptr);
    });
    AddUpdateHandler(nFirst, nLast, [this, target](CCmdUI* pCmdUI) {
        CCmdTarget* to = (this->*target)();
        if (to == nullptr) {
            pCmdUI->Enable(FALSE);
            return;
        }
        pCmdUI->m_bEnableChanged = FALSE;
        if (to->OnCmdMsg(pCmdUI->m_nID, CN_UPDATE_COMMAND_UI, pCmdUI, nullptr) && pCmdUI->m_bEnableChanged)
            return;
        // Without an update handler: enabled when the target takes it.
        AFX_CMDHANDLERINFO info;
        pCmdUI->Enable(to->OnCmdMsg(pCmdUI->m_nID, CN_COMMAND, nullptr, &info));
    });
}

CCmdTarget* CMainFrame::FormViewTarget()
{
    CAppServices* services = kestrun::AppServices();
    return services ? services->GetFormView() : nullptr;
}

CCmdTarget* CMainFrame::TrayScanFormTarget()
{
    CCmdTarget* form = FormViewTarget();
    return kestrun::IsKindOfClass(form, "CDBFormTrayScan") ? form : nullptr;
}

CCmdTarget* CMainFrame::ImageDocumentViewTarget()
{
    CAppServices* services = kestrun::AppServices();
    CDocument* doc = services ? services->GetImageDocument() : nullptr;
    if (doc == nullptr)
        return nullptr;
    POSITION pos = doc->GetFirstViewPosition();
    return pos != nullptr ? doc->GetNextView(pos) : nullptr;
}

CCmdTarget* CMainFrame::ImageViewTarget()
{
    CAppServices* services = kestrun::AppServices();
    return services ? services->GetImageView() : nullptr;
}

CCmdTarget* CMainFrame::ExportTarget()
{
    // An active measurement writes its own text file.
    if (CDocument* active = GetActiveDocument(); kestrun::IsKindOfClass(active, "CLineDataDoc"))
        return active;
    CAppServices* services = kestrun::AppServices();
    if (services == nullptr)
        return nullptr;
    if (auto* image = DYNAMIC_DOWNCAST(CDIBDoc, services->GetImageDocument()); image && image->GetResultDoc())
        return image->GetResultDoc();
    return services->GetGridView();
}

// ---- commands --------------------------------------------------------------------------------

void CMainFrame::OnUpdateNotAvailable(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}

void CMainFrame::OnImport()
{
    if (CCmdTarget* form = TrayScanFormTarget())
        form->OnCmdMsg(kestrun::dbui::ID_DB_IMPORT, CN_COMMAND, nullptr, nullptr);
}

void CMainFrame::OnUpdateImport(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TrayScanFormTarget() != nullptr);
}

void CMainFrame::OnInputChannel(UINT nID)
{
    FGBoard* board = GetFG();
    if (board->IsInit())
        board->SetInpChannel(static_cast<BYTE>(nID - ID_INPUT_CHANNEL_0));
}

void CMainFrame::OnDatabaseToolBar()
{
    ShowControlBar(&m_wndDBToolBar, !m_wndDBToolBar.IsWindowVisible(), FALSE);
    RecalcLayout();
}

void CMainFrame::OnUpdateDatabaseToolBar(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_wndDBToolBar.IsWindowVisible() ? 1 : 0);
}

void CMainFrame::OnExtendedView()
{
    CKestrunApp* app = KestrunApp();
    CMultiDocTemplate* growth = app ? app->GetGrowthTemplate() : nullptr;
    CDocument* doc = GetActiveDocument();
    // The growth-rate view shows measurement documents only.
    if (growth == nullptr || !kestrun::IsKindOfClass(doc, "CLineDataDoc"))
        return;
    for (CView* view : doc->Views()) {
        if (kestrun::IsKindOfClass(view, "CRGRView")) {
            if (CFrameWnd* frame = view->GetParentFrame())
                frame->ActivateFrame();
            return;
        }
    }
    if (CFrameWnd* frame = growth->CreateNewFrame(doc, nullptr))
        growth->InitialUpdateFrame(frame, doc);
}

void CMainFrame::OnUpdateExtendedView(CCmdUI* pCmdUI)
{
    CKestrunApp* app = KestrunApp();
    pCmdUI->Enable(app != nullptr && app->GetGrowthTemplate() != nullptr &&
                   kestrun::IsKindOfClass(GetActiveDocument(), "CLineDataDoc"));
}

void CMainFrame::OnSelChangeVideoSource()
{
    CComboBox& combo = m_wndToolBar.m_wndComboBox1;
    const int selection = combo.GetCurSel();
    if (selection < 0)
        return;
    FGBoard* board = GetFG();
    const int previous = board->GetVideoSource();
    if (board->SetVideoSource(static_cast<int>(combo.GetItemData(selection))))
        return;
    // Refused: the previous source stays, also in the combo box.
    board->SetVideoSource(previous);
    for (int i = 0; i < combo.GetCount(); ++i) {
        if (static_cast<int>(combo.GetItemData(i)) == previous)
            combo.SetCurSel(i);
    }
}

void CMainFrame::OnAutoImageInput()
{
    m_dlgDirCheck.SetClient(this);
    m_dlgDirCheck.Create(this);
}
