#include "app/kestrunapp.h"

#include "app/appresources.h"
#include "app/mainfrm.h"
#include "app/programicon.h"
#include "app/registeredmessages.h"
#include "app/resource.h"
#include "app/templatefactory.h"

#include "database/reportdefaults.h"
#include "database/workbook/excelobjects.h"
#include "imaging/dibdoc.h"
#include "imaging/dibmultidoctemplate.h"
#include "imaging/uwscanner.h"
#include "imaging/ui/aviqualitydlg.h"
#include "objectmodel/toolfunctions.h"
#include "outside/grabwell/fgboard.h"
#include "series/ui/windowrunhost.h"
#include "platform/core/folders.h"
#include "platform/core/messagebox.h"
#include "platform/core/profile.h"
#include "platform/ui/ddx.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/document.h"
#include "platform/ui/mdi.h"

#include <clocale>

IMPLEMENT_DYNAMIC(CKestrunApp, CWinApp)

namespace {

constexpr const char* kModeFile = "mode.ini";
constexpr const char* kProfileFile = "kestrun32.ini";
constexpr const char* kMainFrameSection = "MainFrame";
constexpr UINT kRecentFiles = 8;
// The main window's style: an overlapped window that adds the document to
// its title.
constexpr DWORD kMainFrameStyle = 0x00CF8000;

// The first view of a document that satisfies pred; null when none does.
template <class Pred>
CView* FindView(const CDocument* pDoc, Pred pred)
{
    if (pDoc == nullptr)
        return nullptr;
    for (CView* view : pDoc->Views()) {
        if (pred(view))
            return view;
    }
    return nullptr;
}

CDocument* FirstDocument(const CDocTemplate* pTemplate)
{
    return (pTemplate && !pTemplate->Documents().empty()) ? pTemplate->Documents().front() : nullptr;
}

// An image view shows an image document.
bool IsImageView(const CView* pView)
{
    return pView != nullptr && DYNAMIC_DOWNCAST(CDIBDoc, pView->GetDocument()) != nullptr;
}

} // namespace

CKestrunApp* KestrunApp()
{
    return DYNAMIC_DOWNCAST(CKestrunApp, AfxGetApp());
}

CKestrunApp::CKestrunApp()
    : CWinApp("Kestrun"), m_pUwScanner(&CUwScanner::Get()), m_strProgramFolder(kestrun::ModuleFolder())
{
    kestrun::RegisterAppResources();
    // The box's messages are known before any window asks for them.
    (void)kestrun::AppMessages();
    m_pPreviousServices = kestrun::SetAppServices(this);
    BuildMessageMap();
}

CKestrunApp::~CKestrunApp()
{
    if (kestrun::AppServices() == this)
        kestrun::SetAppServices(m_pPreviousServices);
    if (m_pRunHost != nullptr && &kestrun::GetRunHost() == m_pRunHost.get())
        kestrun::SetRunHost(nullptr);
}

CMainFrame* CKestrunApp::GetMainFrame() const
{
    return DYNAMIC_DOWNCAST(CMainFrame, m_pMainWnd);
}

// ---- start-up ----------------------------------------------------------------------------

BOOL CKestrunApp::InitInstance()
{
    // Numbers in files use '.', whatever the user's locale (Qt set it).
    std::setlocale(LC_NUMERIC, "C");
    kestrun::SetProgramIcon();
    // OLE, the control container and the common controls have nothing to
    // set up on this platform.
    MakeDataRoot();
    // Report scripts fill workbooks through CreateObject("Excel.Application").
    kestrun::RegisterWorkbookObjects();
    ReadMode();
    SetProfileName(m_strDataRoot + kProfileFile);
    LoadStdProfileSettings(kRecentFiles);
    CreateTemplates();
    m_pRunHost = std::make_unique<CWindowRunHost>();
    kestrun::SetRunHost(m_pRunHost.get());
    kestrun::InstallAviQualityChooser();

    LoadProfiles();
    // A profile that cannot be selected keeps its files: exit saves nothing.
    if (!m_profiles.m_strCurrentName.IsEmpty() && !SelectProfile(m_profiles.m_strCurrentName, TRUE))
        m_bSettingsOwned = false;

    if (!CreateMainWindow())
        return FALSE;
    SendProfileChanged();

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessCommandLine(cmdInfo))
        return FALSE;
    if (cmdInfo.m_bRunEmbedded || cmdInfo.m_bRunAutomated)
        return TRUE;

    CMainFrame* main = GetMainFrame();
    main->m_persist.Attach(main, kMainFrameSection);
    main->m_persist.LoadWindowPlacement(TRUE);
    m_tablon.Load(m_strTablonLibrary);
    SetTrayvoInterface(&main->m_camBox);
    ReadFolderSettings();
    if (m_nMode == 1) {
        SetTrayvoMessage("Halvorn starting...");
        OnNewMeasurement();
    }
    return TRUE;
}

void CKestrunApp::MakeDataRoot()
{
    m_strDataRoot = GetDataRootPath();
    if (!m_strDataRoot.IsEmpty()) {
        if (GetFileAttributes(m_strDataRoot) == INVALID_FILE_ATTRIBUTES)
            kestrun::CreateFolderTree(m_strDataRoot);
        m_strDataRoot = AddTrailingBackslash(m_strDataRoot);
        // Print Report works on a fresh installation.
        kestrun::InstallReportDefaults(m_strDataRoot);
    }
}

void CKestrunApp::ReadMode()
{
    const CString modeFile = AddTrailingBackslash(m_strProgramFolder) + kModeFile;
    m_nMode = static_cast<int>(GetPrivateProfileInt("System", "Mode", m_nMode, modeFile));
}

void CKestrunApp::CreateTemplates()
{
    using kestrun::MakeTemplate;
    m_pMainTemplate = MakeTemplate(IDR_KESTRUNTYPE, {"CKestrunDoc", "CMDIChildWnd", "CAreaView"}).release();
    m_pImageTemplate =
        MakeTemplate<CDIBMultiDocTemplate>(IDR_DIBDOCEX, {"CDIBDocEx", "CMDIChildWnd", "CDIBVwEx"}).release();
    m_pModeTemplate.reset(CreateModeTemplate());
    AddDocTemplate(m_pImageTemplate);
    AddDocTemplate(m_pMainTemplate);

    m_SRC.SetTemplate(CSRC::kGridTemplate,
                      MakeTemplate(IDR_DATATYPE, {"CGridDoc2", "CMDIChildWnd", "CGridView2"}).release());
    auto objects = MakeTemplate(IDR_DATATYPE, {"CObjDataDoc", "CMDIChildWnd", "CGridView2"});
    if (objects) {
        // Registered: the application deletes it, not the holder.
        m_SRC.SetTemplate(CSRC::kObjTemplate, objects.get(), FALSE);
        AddDocTemplate(objects.release());
    }
    m_SRC.SetTemplate(CSRC::kObjGridTemplate,
                      MakeTemplate(IDR_DATATYPE, {"CObjDataDoc", "CGridFrame", "CGridView2"}).release());
    m_SRC.SetTemplate(CSRC::kLineDataTemplate,
                      MakeTemplate(IDR_KESTRUNTYPE, {"CLineDataDoc", "CMDIChildWnd", "CLineDataView"}).release());
    m_SRC.SetTemplate(CSRC::kChartTemplate,
                      MakeTemplate(IDR_CHARTTYPE, {"CChartDoc", "CMDIChildWnd", "CChartView"}).release());
    m_SRC.SetTemplate(CSRC::kTextTemplate,
                      MakeTemplate(IDR_TEXTTYPE, {"CTextDoc", "CMDIChildWnd", "CTextView"}).release());
    m_pGrowthTemplate = MakeTemplate(IDR_KESTRUNTYPE, {"CLineDataDoc", "CMDIChildWnd", "CRGRView"});
}

CMultiDocTemplate* CKestrunApp::CreateModeTemplate()
{
    struct CModeForm
    {
        int mode;
        UINT resource;
        kestrun::CTemplateClasses classes;
        const char* description;
    };
    static const CModeForm forms[] = {
        {1, IDR_TRAYFORM, {"CFormTrayDoc", "CMDIChildWnd", "CFormTray"}, "tray form"},
        {2, IDR_TRAYSCAN, {"CDBDocADO", "CMDIChildWnd", "CDBFormTrayScan"}, "database tray scan"},
        {3, IDR_DATABASE, {"CDBDocADO", "CMDIChildWnd", "CDBForm"}, "database form"},
    };
    for (const CModeForm& form : forms) {
        if (form.mode != m_nMode)
            continue;
        if (auto made = kestrun::MakeTemplate(form.resource, form.classes))
            return made.release();
        CString text;
        text.Format("Mode %d (%s) is not available in this version of Kestrun.\nKestrun starts in Mode 0 "
                    "(image analysis).",
                    form.mode, form.description);
        AfxMessageBox(text, MB_ICONINFORMATION);
        m_nMode = 0;
    }
    return nullptr;
}

BOOL CKestrunApp::CreateMainWindow()
{
    auto* main = new CMainFrame;
    m_pMainWnd = main;
    if (!main->LoadFrame(IDR_MAINFRAME, kMainFrameStyle)) {
        // A frame that failed deleted itself.
        m_pMainWnd = nullptr;
        return FALSE;
    }
    GetFG()->SetOwnerWnd(main->GetSafeHwnd());
    UpdateRecentFileMenus();
    return TRUE;
}

void CKestrunApp::SendProfileChanged()
{
    if (m_pMainWnd != nullptr)
        m_pMainWnd->SendMessageToDescendants(kestrun::AppMessages().profileChanged, 0, 0, TRUE, FALSE);
}

BOOL CKestrunApp::ProcessCommandLine(const CCommandLineInfo& cmdInfo)
{
    switch (cmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(cmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
        if (OpenDocumentFile(cmdInfo.m_strFileName) == nullptr)
            return FALSE;
        m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
        m_pMainWnd->PostMessage(WM_CLOSE);
        return TRUE;
    case CCommandLineInfo::AppRegister:
    case CCommandLineInfo::AppUnregister:
        // There is no automation server to register: nothing to do, and
        // the program ends as it does after registering.
        return FALSE;
    default:
        // A plain start opens no document.
        return TRUE;
    }
}

CString CKestrunApp::ReadFolder(LPCTSTR lpszKey, LPCTSTR lpszDefaultName)
{
    const CString fallback = m_strDataRoot + lpszDefaultName;
    CString folder = GetProfileString("PathName", lpszKey, fallback);
    if (folder.IsEmpty())
        folder = fallback;
    if (!folder.IsEmpty() && GetFileAttributes(folder) == INVALID_FILE_ATTRIBUTES)
        kestrun::CreateFolderTree(folder);
    return folder;
}

void CKestrunApp::ReadFolderSettings()
{
    m_strImageDir = ReadFolder("Images", "images");
    m_strDataDir = ReadFolder("Data", "data");
    m_nADType = static_cast<int>(GetProfileInt("Hardware", "AD-Type", -1));
    m_bAutoThreshold = static_cast<int>(GetProfileInt("System", "AutoThreshold", m_bAutoThreshold));
    m_bSettingsRead = TRUE;
}

// ---- shut-down ----------------------------------------------------------------------------

int CKestrunApp::ExitInstance()
{
    if (!m_profiles.m_strFileName.IsEmpty() && m_bSettingsOwned)
        SaveProfile(m_profiles.m_strCurrentName.IsEmpty() ? CString("KESTRUN") : m_profiles.m_strCurrentName);
    m_BV.m_Classes.RemoveAll();
    m_BV.m_AOIDoc.ClearAOIs();
    WriteFolderSettings();
    m_pGrowthTemplate.reset();
    m_pModeTemplate.reset();
    kestrun::SetRunHost(nullptr);
    m_pRunHost.reset();
    kestrun::RemoveAviQualityChooser();
    // Normally the main window has closed the device already.
    if (m_tablon.IsInterfaceSet())
        SetTrayvoInterface(nullptr);
    m_tablon.Free();
    m_profiles.Clear();
    m_profiles.m_strFileName.Empty();
    return CWinApp::ExitInstance();
}

void CKestrunApp::WriteFolderSettings()
{
    // Started for automation nothing was read: the stored values stay.
    if (!m_bSettingsRead)
        return;
    WriteProfileString("PathName", "Images", m_strImageDir);
    WriteProfileString("PathName", "Data", m_strDataDir);
    WriteProfileInt("Hardware", "AD-Type", m_nADType);
    WriteProfileInt("System", "AutoThreshold", m_bAutoThreshold);
}

// ---- documents ------------------------------------------------------------------------------

CDocument* CKestrunApp::OpenDocumentFile(LPCTSTR lpszFileName)
{
    CWaitCursor wait;
    // A file of the run mode's kind would go to the open form; the forms
    // are not part of this program, so every file opens as a document.
    bool claimed = false;
    for (POSITION pos = GetFirstDocTemplatePosition(); pos != nullptr && lpszFileName != nullptr;) {
        CDocument* match = nullptr;
        if (GetNextDocTemplate(pos)->MatchDocType(lpszFileName, match) != CDocTemplate::noAttempt)
            claimed = true;
    }
    CDocument* doc = claimed ? CWinApp::OpenDocumentFile(lpszFileName) : nullptr;
    // A document that said why it cannot read the file is not followed by a second box.
    if (doc == nullptr && !(claimed && OpenFailureReported())) {
        CString text;
        AfxFormatString1(text, IDS_FAILED_TO_OPEN, lpszFileName ? lpszFileName : "");
        AfxMessageBox(text);
    }
    return doc;
}

void CKestrunApp::WinHelp(DWORD_PTR, UINT)
{
}

// ---- services ----------------------------------------------------------------------------------

CCalibration* CKestrunApp::GetCalibration()
{
    return &m_BV.GetSettings().m_Calibration;
}

CMultiDocTemplate* CKestrunApp::GetImageTemplate()
{
    return m_pImageTemplate;
}

CString CKestrunApp::GetImageDir() const
{
    return AddTrailingBackslash(m_strImageDir);
}

CString CKestrunApp::GetDataDir() const
{
    return AddTrailingBackslash(m_strDataDir);
}

CString CKestrunApp::GetCurrentProfileName() const
{
    return m_BV.m_Profiles.GetCurrentProfileName();
}

CView* CKestrunApp::GetFormView()
{
    CDocument* doc = FirstDocument(m_pModeTemplate.get());
    return (doc && !doc->Views().empty()) ? doc->Views().front() : nullptr;
}

CDocument* CKestrunApp::GetImageDocument()
{
    // A form's own image document is asked for once the forms exist.
    return FirstDocument(m_pImageTemplate);
}

CView* CKestrunApp::GetImageView()
{
    if (auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, m_pMainWnd)) {
        if (CView* active = frame->GetActiveView(); IsImageView(active))
            return active;
    }
    return FindView(FirstDocument(m_pImageTemplate), IsImageView);
}

CView* CKestrunApp::GetGridView()
{
    const CRuntimeClass* gridView = CRuntimeClass::FromName("CGridView2");
    if (gridView == nullptr)
        return nullptr;
    auto isGridView = [gridView](const CView* view) { return view && view->IsKindOf(gridView); };
    if (auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, m_pMainWnd)) {
        if (CView* active = frame->GetActiveView(); isGridView(active))
            return active;
    }
    return FindView(FirstDocument(m_SRC.GetTemplate(CSRC::kObjGridTemplate)), isGridView);
}

// ---- the scanning box -----------------------------------------------------------------------------

void CKestrunApp::SetTrayvoInterface(CCamBoxInterface* pInterface)
{
    m_tablon.SetInterface(pInterface);
}

void CKestrunApp::SetTrayvoState(int nState)
{
    m_tablon.SetState(nState);
}

void CKestrunApp::SetTrayvoMessage(const char* lpszMessage)
{
    m_tablon.SetMessage(lpszMessage);
}
