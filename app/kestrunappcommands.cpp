#include "app/kestrunapp.h"

#include "app/aboutdlg.h"
#include "app/changepassworddlg.h"
#include "app/changeuserdlg.h"
#include "app/registeredmessages.h"
#include "app/hardwaredlg.h"
#include "app/resource.h"
#include "app/selectdlg.h"
#include "app/systempathdlg.h"
#include "app/uwscannerdlg.h"
#include "app/videooptionsdlg.h"

#include "database/ui/bvformview.h"
#include "imaging/dibdoc.h"
#include "imaging/dibdocex.h"
#include "imaging/dibmultidoctemplate.h"
#include "imaging/ui/dibview.h"
#include "imaging/uwscanner.h"
#include "outside/grabwell/fgboard.h"
#include "objectmodel/toolfunctions.h"
#include "series/kestrundoc.h"
#include "platform/core/folders.h"
#include "platform/core/library.h"
#include "platform/core/messagebox.h"
#include "platform/core/paths.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/document.h"
#include "platform/ui/frame.h"

#include <ctime>
#include <filesystem>

BEGIN_MESSAGE_MAP(CKestrunApp, CWinApp)
    ON_COMMAND(ID_NEW_MEASUREMENT, OnNewMeasurement)
    ON_UPDATE_COMMAND_UI(ID_NEW_MEASUREMENT, OnUpdateNewMeasurement)
    ON_COMMAND(ID_OPEN_DATABASE, OnOpenDatabase)
    ON_UPDATE_COMMAND_UI(ID_OPEN_DATABASE, OnUpdateOpenDatabase)
    ON_COMMAND(ID_PASTE_NEW_IMAGE, OnPasteNewImage)
    ON_UPDATE_COMMAND_UI(ID_PASTE_NEW_IMAGE, OnUpdatePasteNewImage)
    ON_COMMAND(ID_INIT_VIDEO, OnInitVideo)
    ON_UPDATE_COMMAND_UI(ID_INIT_VIDEO, OnUpdateInitVideo)
    ON_COMMAND(ID_SNAPSHOT, OnSnapshot)
    ON_UPDATE_COMMAND_UI(ID_SNAPSHOT, OnUpdateSnapshot)
    ON_COMMAND(ID_VIDEO_OPTIONS, OnVideoOptions)
    ON_UPDATE_COMMAND_UI(ID_VIDEO_OPTIONS, OnUpdateVideoOptions)
    ON_COMMAND(ID_CONTINUOUS_GRABBING, OnContinuousGrabbing)
    ON_UPDATE_COMMAND_UI(ID_CONTINUOUS_GRABBING, OnUpdateContinuousGrabbing)
    ON_COMMAND(ID_SENSOR_SETUP, OnSensorSetup)
    ON_UPDATE_COMMAND_UI(ID_SENSOR_SETUP, OnUpdateSensorSetup)
    ON_COMMAND(ID_DEVICE_CTRL, OnDeviceCtrl)
    ON_UPDATE_COMMAND_UI(ID_DEVICE_CTRL, OnUpdateDeviceCtrl)
    ON_COMMAND(ID_SCAN_CHAMBER, OnScanChamber)
    ON_UPDATE_COMMAND_UI(ID_SCAN_CHAMBER, OnUpdateScanChamber)
    ON_COMMAND(ID_CURVATURE, OnCurvature)
    ON_COMMAND(ID_CONVEX_CONCAVE, OnConvexConcave)
    ON_COMMAND(ID_CONGLOMERATE_CUTTING, OnConglomerateCutting)
    ON_COMMAND(ID_USER_LEVEL, OnUserLevel)
    ON_COMMAND(ID_CHANGE_PASSWORD, OnChangePassword)
    ON_COMMAND(ID_SYSTEM_OPTIONS, OnSystemOptions)
    ON_COMMAND(ID_HARDWARE_SELECT, OnHardwareSelect)
    ON_COMMAND(ID_UW_SCANNER, OnUwScanner)
    ON_UPDATE_COMMAND_UI(ID_UW_SCANNER, OnUpdateUwScanner)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_RECORD_SEQUENCE, OnRecordSequence)
    ON_UPDATE_COMMAND_UI(ID_RECORD_SEQUENCE, OnUpdateRecordSequence)
END_MESSAGE_MAP()

void CKestrunApp::OnUpdateNotAvailable(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}

// ---- the engine's analysis parameters ------------------------------------------------------

void CKestrunApp::OnCurvature()
{
    m_BV.GetSettings().m_ObjectFilter.EditCurvature();
}

void CKestrunApp::OnConvexConcave()
{
    m_BV.GetSettings().m_ObjectFilter.EditConvexConcave();
}

void CKestrunApp::OnConglomerateCutting()
{
    m_BV.GetSettings().m_ObjectFilter.EditConglomerateCut();
}

// ---- system dialogs ------------------------------------------------------------------------

void CKestrunApp::OnSystemOptions()
{
    CSystemPath dialog(*this, m_pMainWnd);
    dialog.m_strImageDir = m_strImageDir;
    dialog.m_strDataDir = m_strDataDir;
    if (dialog.DoModal() != IDOK)
        return;
    // A folder that cannot be made keeps the old setting: later saves
    // would fail in it.
    const auto take = [](const CString& folder, CString& setting) {
        if (!folder.IsEmpty() && !kestrun::CreateFolderTree(kestrun::NativePath(folder))) {
            AfxMessageBox(FormatString("The folder %s cannot be created; the folder setting is unchanged.",
                                       folder.GetString()),
                          MB_ICONEXCLAMATION);
            return;
        }
        setting = folder.IsEmpty() ? folder : AddTrailingBackslash(folder);
    };
    take(dialog.m_strImageDir, m_strImageDir);
    take(dialog.m_strDataDir, m_strDataDir);
    WriteProfileString("PathName", "Images", m_strImageDir);
    WriteProfileString("PathName", "Data", m_strDataDir);
}

void CKestrunApp::OnHardwareSelect()
{
    CHardwareDlg dialog(m_pMainWnd);
    dialog.m_nType = m_nADType;
    if (dialog.DoModal() != IDOK)
        return;
    m_nADType = dialog.m_nType;
    WriteProfileInt("Hardware", "AD-Type", m_nADType);
}

void CKestrunApp::OnUwScanner()
{
    if (m_pUwScannerDlg != nullptr)
        return;
    auto dialog = std::make_unique<CUwScannerDlg>(*m_pUwScanner, AfxGetMainWnd());
    if (!dialog->Create())
        return;
    // The window owns the dialog now; it tells the main window when it goes.
    m_pUwScannerDlg = dialog.release();
}

void CKestrunApp::OnUpdateUwScanner(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nADType >= 0);
}

void CKestrunApp::OnAppAbout()
{
    CAboutDlg dialog(m_pMainWnd);
    dialog.DoModal();
}

// ---- user levels ---------------------------------------------------------------------------

void CKestrunApp::OnUserLevel()
{
    CChangeUserDlg dialog(m_pMainWnd);
    if (dialog.DoModal() == IDOK)
        m_nUserLevel = dialog.m_nLevel;
    // Told also after Cancel: the windows read the level again either way.
    if (m_pMainWnd != nullptr)
        m_pMainWnd->SendMessageToDescendants(kestrun::AppMessages().userLevelChanged, 0, 0, TRUE, FALSE);
}

void CKestrunApp::OnChangePassword()
{
    CChangePasswordDlg dialog(m_pMainWnd);
    dialog.m_nLevel = m_nUserLevel;
    dialog.DoModal();
}

void CKestrunApp::OnUpdateNewMeasurement(CCmdUI* pCmdUI)
{
    // Mode 1 opens the tray form when it is not open; the other modes make
    // measurements.
    if (m_nMode == 1)
        pCmdUI->Enable(m_pModeTemplate != nullptr && m_pModeTemplate->Documents().empty());
    else
        pCmdUI->Enable(m_pMainTemplate != nullptr);
}

void CKestrunApp::OnNewMeasurement()
{
    if (m_nMode == 1) {
        if (!m_pModeTemplate || !m_pModeTemplate->Documents().empty())
            return;
        CDocument* doc = m_pModeTemplate->CreateNewDocument();
        if (doc == nullptr)
            return;
        CFrameWnd* frame = m_pModeTemplate->CreateNewFrame(doc, nullptr);
        if (frame == nullptr) {
            delete doc;
            return;
        }
        m_pModeTemplate->InitialUpdateFrame(frame, doc);
        return;
    }
    CSelect select(m_pMainWnd);
    if (select.DoModal() != IDOK || select.m_nChoice == 0)
        return;
    const char* filter = select.m_nChoice == 2 ? "AD Measurement File(*.cht) |*.cht||"
                                               : "Video Measurement File(*.cht) |*.cht||";
    CFileDialog files(FALSE, "cht", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter, m_pMainWnd);
    files.m_ofn.lpstrTitle = "Open New File";
    if (files.DoModal() != IDOK)
        return;
    NewMeasurementDocument(select.m_nChoice, files.GetPathName());
}

void CKestrunApp::NewMeasurementDocument(int nChoice, const CString& strPath)
{
    CDocTemplate* tableTemplate = m_SRC.GetTemplate(CSRC::kGridTemplate);
    CDocTemplate* docTemplate = nChoice == 2 ? m_SRC.GetTemplate(CSRC::kLineDataTemplate) : m_pMainTemplate;
    CDocument* made = docTemplate != nullptr ? docTemplate->CreateNewDocument() : nullptr;
    auto* doc = dynamic_cast<CLineDataDoc*>(made);
    if (doc == nullptr) {
        if (made != nullptr)
            made->OnCloseDocument();
        AfxMessageBox("A new measurement document could not be made.", MB_ICONEXCLAMATION);
        return;
    }
    // The file is written by the first save; until then the name only.
    doc->SetPathName(strPath, FALSE);
    if (nChoice == 2) {
        doc->LoadSettings(CLineDataDoc::kindAnalogue, nullptr, tableTemplate, nullptr);
        doc->m_nExternParam = m_nADType;
    } else {
        doc->LoadSettings(CLineDataDoc::kindCount, &m_BV, tableTemplate, m_pImageTemplate);
    }
    if (doc->ConfigureMeasurement() != 1) {
        // Views the set-up opened go with the document.
        doc->OnCloseDocument();
        return;
    }
    if (auto* measurement = dynamic_cast<CKestrunDoc*>(doc))
        measurement->ShowMeasurementView(0);
}

// ---- database ------------------------------------------------------------------------------

void CKestrunApp::OnOpenDatabase()
{
    if (!m_pModeTemplate || !m_pModeTemplate->Documents().empty())
        return;
    CDocument* doc = m_pModeTemplate->OpenDocumentFile(nullptr, TRUE);
    if (doc == nullptr) {
        AfxMessageBox("Cannot open connection to Halvorn Database");
        return;
    }
    CString title;
    m_pModeTemplate->GetDocString(title, CDocTemplate::docName);
    doc->SetTitle(title);
}

void CKestrunApp::OnUpdateOpenDatabase(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pModeTemplate != nullptr && m_pModeTemplate->Documents().empty());
}

// ---- images and video -----------------------------------------------------------------------

void CKestrunApp::OnPasteNewImage()
{
    if (m_pImageTemplate == nullptr)
        return;
    CDocument* doc = m_pImageTemplate->OpenDocumentFile(nullptr, TRUE);
    if (doc == nullptr)
        return;
    doc->SetPathName("ImageNew", FALSE);
    // The image view pastes the clipboard's bitmap on its paste command.
    if (!doc->Views().empty())
        doc->Views().front()->SendMessage(WM_COMMAND, ID_EDIT_PASTE);
}

void CKestrunApp::OnUpdatePasteNewImage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pImageTemplate != nullptr && kestrun::ClipboardHasImage());
}

CDIBDoc* CKestrunApp::GetVideoDocument()
{
    // A form's own image, the tray form's camera picture above all.
    if (auto* form = dynamic_cast<CBVFormView*>(GetFormView())) {
        if (CDIBDoc* image = form->GetImageDocument(); image && image->IsVideo())
            return image;
    }
    if (m_pImageTemplate == nullptr)
        return nullptr;
    for (CDocument* doc : m_pImageTemplate->Documents()) {
        if (auto* image = DYNAMIC_DOWNCAST(CDIBDoc, doc); image && image->IsVideo())
            return image;
    }
    return nullptr;
}

void CKestrunApp::OnInitVideo()
{
    if (m_pImageTemplate == nullptr || GetVideoDocument() != nullptr)
        return;
    auto* doc = DYNAMIC_DOWNCAST(CDIBDoc, m_pImageTemplate->CreateNewDocument());
    if (doc == nullptr)
        return;
    CFrameWnd* frame = m_pImageTemplate->CreateNewFrame(doc, nullptr);
    if (frame == nullptr) {
        delete doc;
        return;
    }
    if (!doc->InitVideoPages()) {
        doc->OnCloseDocument();
        return;
    }
    auto* view = doc->Views().empty() ? nullptr : DYNAMIC_DOWNCAST(CDIBView, doc->Views().front());
    if (view == nullptr || !view->ConnectVideo()) {
        doc->OnCloseDocument();
        return;
    }
    m_pImageTemplate->InitialUpdateFrame(frame, doc);
    if (!m_profiles.m_strFGProfile.IsEmpty())
        SelectGrabberProfile(m_profiles.m_strFGProfile);
}

void CKestrunApp::OnUpdateInitVideo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pImageTemplate != nullptr && !GetFG()->IsInit());
}

void CKestrunApp::OnSnapshot()
{
    // The video document, wherever it stands among the open images.
    if (CDIBDoc* doc = GetVideoDocument())
        doc->Grab(TRUE);
}

void CKestrunApp::OnUpdateSnapshot(CCmdUI* pCmdUI)
{
    FGBoard* board = GetFG();
    pCmdUI->Enable(board->IsInit());
    pCmdUI->SetCheck(board->GetGrabModeWord() != 0 ? 1 : 0);
}

void CKestrunApp::OnVideoOptions()
{
    FGBoard* board = GetFG();
    // A camera plug-in brings its own dialog.
    if (board->IsPlugInSource()) {
        board->OpenDialog(AfxGetMainWnd());
        return;
    }
    CVideoOptionsDlg dialog(*board, AfxGetMainWnd());
    dialog.DoModal();
}

void CKestrunApp::OnUpdateVideoOptions(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetFG() != nullptr);
}

namespace {

// "<folder>YYYYMMDD_HHMMSS.avi"; a recording started within the same
// second gets "_2", "_3", ... so that none is overwritten.
CString SequenceFileName(const CString& folder)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32] = {};
    std::strftime(stamp, sizeof stamp, "%Y%m%d_%H%M%S", &local);
    CString name = kestrun::NativePath(folder) + stamp + ".avi";
    std::error_code error;
    for (int n = 2; std::filesystem::exists(name.str(), error); ++n)
        name = kestrun::NativePath(folder) + FormatString("%s_%d.avi", stamp, n);
    return name;
}

} // namespace

void CKestrunApp::OnRecordSequence()
{
    FGBoard* board = GetFG();
    if (board->IsRecording())
        board->StopRecording();
    else
        board->RecordSequence(SequenceFileName(GetImageDir()));
}

void CKestrunApp::OnUpdateRecordSequence(CCmdUI* pCmdUI)
{
    // A recording can always be stopped; a new one needs frames of the
    // board's own sources.
    FGBoard* board = GetFG();
    const BOOL recording = board->IsRecording();
    pCmdUI->Enable(recording || (board->IsInit() && !board->IsPlugInSource()));
    pCmdUI->SetCheck(recording ? 1 : 0);
}

void CKestrunApp::OnContinuousGrabbing()
{
    if (CDIBDoc* doc = GetVideoDocument())
        doc->ToggleContinuousGrabbing();
}

void CKestrunApp::OnUpdateContinuousGrabbing(CCmdUI* pCmdUI)
{
    FGBoard* board = GetFG();
    pCmdUI->Enable(board->IsInit());
    pCmdUI->SetCheck(board->GetGrabModeWord() == 0 ? 1 : 0);
}

// ---- hardware ----------------------------------------------------------------------------------

void CKestrunApp::RunLibrarySetup(const CString& strLibrary, LPCSTR lpszExport)
{
    HMODULE library = ::LoadLibrary(strLibrary);
    if (library == nullptr) {
        AfxMessageBox("LoadLibrary with " + strLibrary + " failed");
        return;
    }
    // The library's dialogs come from its own resources.
    const HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(static_cast<HINSTANCE>(library));
    if (auto setup = reinterpret_cast<void (*)()>(::GetProcAddress(library, lpszExport)))
        setup();
    ::FreeLibrary(library);
    AfxSetResourceHandle(previous);
}

void CKestrunApp::OnSensorSetup()
{
    const char* library = "adda32.dll";
    if (m_nADType == 1)
        library = "adlink.dll";
    else if (m_nADType == 2)
        library = "adudas.dll";
    RunLibrarySetup(library, "_SensorSetupDlg@0");
}

void CKestrunApp::OnUpdateSensorSetup(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nADType == 2);
}

void CKestrunApp::OnDeviceCtrl()
{
    RunLibrarySetup("Drevant.dll", "_SetupDlg@0");
}

void CKestrunApp::OnUpdateDeviceCtrl(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_nADType >= 0);
}

void CKestrunApp::OnScanChamber()
{
    if (!m_tablon.IsLoaded())
        return;
    const HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(static_cast<HINSTANCE>(m_tablon.GetHandle()));
    m_tablon.RunSetupDialog();
    AfxSetResourceHandle(previous);
}

void CKestrunApp::OnUpdateScanChamber(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_tablon.IsLoaded() && m_tablon.IsInterfaceSet());
}
