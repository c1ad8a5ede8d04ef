#include "platform/ui/winapp.h"

#include "platform/core/profile.h"
#include "platform/core/resources.h"
#include "platform/ui/button.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/ddx.h"
#include "platform/ui/dialog.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/document.h"
#include "platform/ui/frameworkstrings.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/mdi.h"
#include "platform/ui/messagepump.h"
#include "platform/ui/printing.h"
#include "platform/ui/qtmessagebox.h"

#include <QApplication>

#include <algorithm>

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

namespace {

CWinApp* g_app = nullptr;
HINSTANCE g_resourceHandle = nullptr;

// "New" with several templates: the user picks the kind of document.
class CNewTypeDlg : public CDialog
{
public:
    explicit CNewTypeDlg(const std::vector<CDocTemplate*>& templates) : m_templates(templates) {}

    CDocTemplate* m_pSelected = nullptr;

protected:
    void OnCreateControls() override
    {
        SetWindowText("New");
        auto list = std::make_unique<CListBox>();
        list->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LBS_NOTIFY, kestrun::DialogUnitsToPixels(CRect(7, 7, 130, 80)),
                     this, kListId);
        m_pList = AddControl(std::move(list));
        auto ok = std::make_unique<CButton>();
        ok->Create("OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, kestrun::DialogUnitsToPixels(CRect(137, 7, 187, 21)),
                   this, IDOK);
        AddControl(std::move(ok));
        auto cancel = std::make_unique<CButton>();
        cancel->Create("Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP, kestrun::DialogUnitsToPixels(CRect(137, 24, 187, 38)), this,
                       IDCANCEL);
        AddControl(std::move(cancel));
    }

    BOOL OnInitDialog() override
    {
        for (CDocTemplate* t : m_templates) {
            CString name;
            if (t->GetDocString(name, CDocTemplate::fileNewName) && !name.IsEmpty())
                m_pList->SetItemDataPtr(m_pList->AddString(name), t);
        }
        m_pList->SetCurSel(0);
        return CDialog::OnInitDialog();
    }

    void OnOK() override
    {
        const int index = m_pList->GetCurSel();
        if (index < 0)
            return;
        m_pSelected = static_cast<CDocTemplate*>(m_pList->GetItemDataPtr(index));
        EndDialog(IDOK);
    }

private:
    static constexpr UINT kListId = 100;
    const std::vector<CDocTemplate*>& m_templates;
    CListBox* m_pList = nullptr;
};

// Makes the run of recent-file items that starts at the first one hold
// one item per name (the first alone for none); true when it changed.
bool fillRecentFileItems(CMenu& menu, const CRecentFileList& list)
{
    for (int i = 0; i < menu.GetMenuItemCount(); ++i) {
        if (CMenu* sub = menu.GetSubMenu(i)) {
            if (fillRecentFileItems(*sub, list))
                return true;
            continue;
        }
        if (menu.GetMenuItemID(i) != ID_FILE_MRU_FILE1)
            continue;
        int present = 1;
        while (i + present < menu.GetMenuItemCount() &&
               menu.GetMenuItemID(i + present) == ID_FILE_MRU_FILE1 + static_cast<UINT>(present))
            ++present;
        const int wanted = std::max(1, std::min(list.GetCount(), static_cast<int>(ID_FILE_MRU_FILE16 - ID_FILE_MRU_FILE1) + 1));
        if (present == wanted)
            return false;
        for (int k = present - 1; k >= wanted; --k)
            menu.RemoveMenu(static_cast<UINT>(i + k), MF_BYPOSITION);
        for (int k = present; k < wanted; ++k) {
            CString name;
            list.GetDisplayName(name, k, nullptr, 0);
            name.Replace("&", "&&");
            menu.InsertMenu(static_cast<UINT>(i + k), MF_BYPOSITION | MF_STRING, ID_FILE_MRU_FILE1 + static_cast<UINT>(k),
                            FormatString("&%d %s", k + 1, name.GetString()));
        }
        return true;
    }
    return false;
}

// The menu text of the first recent-file item before any file was put there.
CString recentFilePlaceholder(CMenu& menu)
{
    CString text;
    menu.GetMenuString(ID_FILE_MRU_FILE1, text, MF_BYCOMMAND);
    return text;
}

} // namespace

// ---- CRecentFileList ---------------------------------------------------------------------------

CRecentFileList::CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize)
    : m_nStart(nStart), m_strSectionName(lpszSection), m_strEntryFormat(lpszEntryFormat), m_nSize(std::max(0, nSize))
{
}

const CString& CRecentFileList::operator[](int nIndex) const
{
    static const CString empty;
    return (nIndex >= 0 && nIndex < static_cast<int>(m_arrNames.size())) ? m_arrNames[static_cast<size_t>(nIndex)] : empty;
}

void CRecentFileList::Add(LPCTSTR lpszPathName)
{
    if (lpszPathName == nullptr || *lpszPathName == '\0' || m_nSize == 0)
        return;
    const auto same = std::find_if(m_arrNames.begin(), m_arrNames.end(),
                                   [&](const CString& name) { return kestrun::SamePath(name, lpszPathName); });
    if (same != m_arrNames.end())
        m_arrNames.erase(same);
    m_arrNames.insert(m_arrNames.begin(), CString(lpszPathName));
    if (static_cast<int>(m_arrNames.size()) > m_nSize)
        m_arrNames.resize(static_cast<size_t>(m_nSize));
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex >= 0 && nIndex < static_cast<int>(m_arrNames.size()))
        m_arrNames.erase(m_arrNames.begin() + nIndex);
}

void CRecentFileList::ReadList()
{
    m_arrNames.clear();
    for (int i = 0; i < m_nSize; ++i) {
        CString key;
        key.Format(m_strEntryFormat.GetString(), i + 1);
        const CString name = ::GetProfileString(m_strSectionName, key, "");
        if (!name.IsEmpty())
            m_arrNames.push_back(name);
    }
}

void CRecentFileList::WriteList()
{
    // The section is written whole: stale entries go.
    ::WriteProfileString(m_strSectionName, nullptr, nullptr);
    for (size_t i = 0; i < m_arrNames.size(); ++i) {
        CString key;
        key.Format(m_strEntryFormat.GetString(), static_cast<int>(i) + 1);
        ::WriteProfileString(m_strSectionName, key, m_arrNames[i]);
    }
}

BOOL CRecentFileList::GetDisplayName(CString& strName, int nIndex, LPCTSTR, int, BOOL) const
{
    strName.Empty();
    if (nIndex < 0 || nIndex >= static_cast<int>(m_arrNames.size()))
        return FALSE;
    const CString& path = m_arrNames[static_cast<size_t>(nIndex)];
    const int slash = std::max(path.ReverseFind('/'), path.ReverseFind('\\'));
    strName = path.Mid(slash + 1);
    return TRUE;
}

// ---- CCommandLineInfo ------------------------------------------------------------------------

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL)
{
    const CString param(pszParam ? pszParam : "");
    if (bFlag) {
        if (param.CompareNoCase("Embedding") == 0) {
            m_bRunEmbedded = TRUE;
            m_bShowSplash = FALSE;
        } else if (param.CompareNoCase("Automation") == 0) {
            m_bRunAutomated = TRUE;
            m_bShowSplash = FALSE;
        } else if (param.CompareNoCase("p") == 0) {
            m_nShellCommand = FilePrint;
        } else if (param.CompareNoCase("Register") == 0 || param.CompareNoCase("Regserver") == 0) {
            m_nShellCommand = AppRegister;
        } else if (param.CompareNoCase("Unregister") == 0 || param.CompareNoCase("Unregserver") == 0) {
            m_nShellCommand = AppUnregister;
        }
        return;
    }
    if (m_strFileName.IsEmpty()) {
        m_strFileName = param;
        if (m_nShellCommand == FileNew)
            m_nShellCommand = FileOpen;
    }
}

// ---- CWinApp ---------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
    ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
    ON_UPDATE_COMMAND_UI_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, OnUpdateRecentFileMenu)
    AddCommandHandler(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, CN_COMMAND, [this](UINT id) { return OnOpenRecentFile(id); });
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCTSTR lpszAppName) : m_strAppName(lpszAppName ? lpszAppName : "")
{
    kestrun::EnsureFrameworkStrings();
    // A new run: file dialogs start in the settings' folders.
    kestrun::ForgetFileDialogFolders();
    m_pszAppName = m_strAppName.GetString();
    g_app = this;
    if (!m_strAppName.IsEmpty())
        kestrun::SetMessageBoxCaption(m_strAppName);
    BuildMessageMap();
}

CWinApp::~CWinApp()
{
    for (CDocTemplate* t : m_templates)
        delete t;
    m_templates.clear();
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList();
    return 0;
}

int CWinApp::Run()
{
    if (QCoreApplication::instance() == nullptr)
        return ExitInstance();
    if (m_pMainWnd != nullptr)
        QApplication::exec();
    return ExitInstance();
}

BOOL CWinApp::OnIdle(LONG)
{
    auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, m_pMainWnd);
    if (frame == nullptr)
        return FALSE;
    // A main window made since the last look gets its recent files.
    if (CMenu* menu = frame->GetMenu(); menu && menu->GetSafeHmenu() != m_hRecentFileMenu)
        UpdateRecentFileMenus();
    frame->OnIdleUpdateCmdUI();
    if (auto* mdi = DYNAMIC_DOWNCAST(CMDIFrameWnd, frame)) {
        for (CMDIChildWnd* child : mdi->MDIChildren())
            child->OnIdleUpdateCmdUI();
    }
    return FALSE;
}

BOOL CWinApp::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CWinApp::WinHelp(DWORD_PTR, UINT)
{
    // No help system is attached.
}

void CWinApp::SetProfileName(LPCTSTR lpszPath)
{
    m_strProfileName = lpszPath ? lpszPath : "";
    m_pszProfileName = m_strProfileName.IsEmpty() ? nullptr : m_strProfileName.GetString();
    kestrun::SetApplicationProfile(m_strProfileName);
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    if (m_pszProfileName)
        return ::GetPrivateProfileString(lpszSection, lpszEntry, lpszDefault, m_pszProfileName);
    return ::GetProfileString(lpszSection, lpszEntry, lpszDefault);
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    if (m_pszProfileName)
        return ::GetPrivateProfileInt(lpszSection, lpszEntry, nDefault, m_pszProfileName);
    return ::GetProfileInt(lpszSection, lpszEntry, nDefault);
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    if (m_pszProfileName)
        return ::WritePrivateProfileString(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
    return ::WriteProfileString(lpszSection, lpszEntry, lpszValue);
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    return WriteProfileString(lpszSection, lpszEntry, FormatString("%d", nValue));
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    if (nMaxMRU == 0)
        return;
    m_pRecentFileList = std::make_unique<CRecentFileList>(ID_FILE_MRU_FILE1, "Recent File List", "File%d",
                                                          static_cast<int>(std::min<UINT>(nMaxMRU, 16)));
    m_pRecentFileList->ReadList();
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (pTemplate && std::find(m_templates.begin(), m_templates.end(), pTemplate) == m_templates.end())
        m_templates.push_back(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const
{
    return m_templates.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<uintptr_t>(1));
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const
{
    const auto index = reinterpret_cast<uintptr_t>(pos);
    if (index == 0 || index > m_templates.size()) {
        pos = nullptr;
        return nullptr;
    }
    pos = index < m_templates.size() ? reinterpret_cast<POSITION>(index + 1) : nullptr;
    return m_templates[index - 1];
}

int CWinApp::GetOpenDocumentCount() const
{
    int count = 0;
    for (const CDocTemplate* t : m_templates)
        count += static_cast<int>(t->Documents().size());
    return count;
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName)
{
    m_bOpenFailureReported = FALSE;
    if (lpszFileName == nullptr || *lpszFileName == '\0')
        return nullptr;
    CDocTemplate* best = nullptr;
    CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
    CDocument* open = nullptr;
    for (CDocTemplate* t : m_templates) {
        CDocument* match = nullptr;
        const CDocTemplate::Confidence c = t->MatchDocType(lpszFileName, match);
        if (c > bestMatch) {
            bestMatch = c;
            best = t;
            open = match;
        }
        if (c == CDocTemplate::yesAlreadyOpen)
            break;
    }
    if (bestMatch == CDocTemplate::yesAlreadyOpen && open) {
        // Already open: its window comes to the front.
        if (!open->Views().empty()) {
            if (CFrameWnd* frame = open->Views().front()->GetParentFrame())
                frame->ActivateFrame();
        }
        return open;
    }
    if (best == nullptr) {
        CString text;
        AfxFormatString1(text, AFX_IDP_FAILED_TO_OPEN_DOC, lpszFileName);
        AfxMessageBox(text, MB_ICONEXCLAMATION);
        m_bOpenFailureReported = TRUE;
        return nullptr;
    }
    CDocument* doc = best->OpenDocumentFile(lpszFileName);
    if (doc == nullptr)
        m_bOpenFailureReported = best->OpenFailureReported();
    return doc;
}

void CWinApp::AddToRecentFileList(LPCTSTR lpszPathName)
{
    if (m_pRecentFileList) {
        m_pRecentFileList->Add(lpszPathName);
        m_pRecentFileList->WriteList();
        UpdateRecentFileMenus();
    }
}

void CWinApp::UpdateRecentFileMenus()
{
    auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, m_pMainWnd);
    if (!m_pRecentFileList || frame == nullptr || frame->GetSafeHwnd() == nullptr)
        return;
    CMenu* mainMenu = frame->GetMenu();
    m_hRecentFileMenu = mainMenu ? mainMenu->GetSafeHmenu() : nullptr;
    std::vector<CMenu*> menus;
    if (mainMenu)
        menus.push_back(mainMenu);
    auto* mdi = DYNAMIC_DOWNCAST(CMDIFrameWnd, frame);
    CMDIChildWnd* active = mdi ? mdi->MDIGetActive() : nullptr;
    if (mdi) {
        for (CMDIChildWnd* child : mdi->MDIChildren()) {
            if (CMenu* menu = child->SharedMenu(); menu && menu != mainMenu)
                menus.push_back(menu);
        }
    }
    bool shownChanged = false;
    for (CMenu* menu : menus) {
        if (m_pRecentFileList->m_strOriginal.IsEmpty())
            m_pRecentFileList->m_strOriginal = recentFilePlaceholder(*menu);
        const bool changed = fillRecentFileItems(*menu, *m_pRecentFileList);
        const bool shown = (active && active->SharedMenu()) ? menu == active->SharedMenu() : menu == mainMenu;
        shownChanged = shownChanged || (changed && shown);
    }
    // A child's own menu shows again when its child is activated.
    if (shownChanged && !(active && active->SharedMenu()))
        frame->DrawMenuBar();
}

BOOL CWinApp::SaveAllModified()
{
    for (CDocTemplate* t : m_templates) {
        if (!t->SaveAllModified())
            return FALSE;
    }
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    for (CDocTemplate* t : m_templates)
        t->CloseAllDocuments(bEndSession);
}

BOOL CWinApp::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                               CDocTemplate* pTemplate)
{
    CString filter;
    CString defaultExt;
    auto addTemplate = [&](CDocTemplate* t) {
        CString name;
        CString exts;
        if (!t->GetDocString(name, CDocTemplate::filterName) || name.IsEmpty() ||
            !t->GetDocString(exts, CDocTemplate::filterExt) || exts.IsEmpty())
            return;
        CString patterns;
        int start = 0;
        while (start >= 0) {
            CString ext = exts.Tokenize(";", start);
            ext.Trim();
            if (ext.IsEmpty())
                continue;
            if (defaultExt.IsEmpty())
                defaultExt = ext.Mid(1);
            patterns += (patterns.IsEmpty() ? "*" : ";*") + ext;
        }
        filter += name + "|" + patterns + "|";
    };
    if (pTemplate)
        addTemplate(pTemplate);
    else
        for (CDocTemplate* t : m_templates)
            addTemplate(t);
    filter += "All Files (*.*)|*.*||";
    CFileDialog dlg(bOpenFileDialog, defaultExt.IsEmpty() ? nullptr : defaultExt.GetString(), fileName,
                    lFlags | OFN_HIDEREADONLY | (bOpenFileDialog ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT), filter,
                    m_pMainWnd);
    if (const char* title = nIDSTitle ? AfxLoadString(nIDSTitle) : nullptr)
        dlg.m_ofn.lpstrTitle = title;
    if (dlg.DoModal() != IDOK)
        return FALSE;
    fileName = dlg.GetPathName();
    return TRUE;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    for (size_t i = 1; i < m_arguments.size(); ++i) {
        const CString& arg = m_arguments[i];
        // Only '-' starts a switch: '/' starts a path here.
        const bool flag = arg.GetLength() > 1 && arg[0] == '-';
        rCmdInfo.ParseParam(flag ? arg.Mid(arg[1] == '-' ? 2 : 1).GetString() : arg.GetString(), flag,
                            i + 1 == m_arguments.size());
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr))
            OnFileNew();
        return TRUE;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    default:
        return TRUE;
    }
}

void CWinApp::OnFileNew()
{
    if (m_templates.empty())
        return;
    CDocTemplate* chosen = m_templates.front();
    int offered = 0;
    for (CDocTemplate* t : m_templates) {
        CString name;
        if (t->GetDocString(name, CDocTemplate::fileNewName) && !name.IsEmpty())
            ++offered;
    }
    if (offered > 1) {
        CNewTypeDlg dlg(m_templates);
        if (dlg.DoModal() != IDOK || dlg.m_pSelected == nullptr)
            return;
        chosen = dlg.m_pSelected;
    }
    chosen->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen()
{
    CString path;
    if (!DoPromptFileName(path, 0, 0, TRUE, nullptr))
        return;
    OpenDocumentFile(path);
}

void CWinApp::OnFilePrintSetup()
{
    kestrun::ShowPrintSetup(m_pMainWnd ? m_pMainWnd->GetWidget() : nullptr);
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

BOOL CWinApp::OnOpenRecentFile(UINT nID)
{
    if (!m_pRecentFileList)
        return FALSE;
    const int index = static_cast<int>(nID - ID_FILE_MRU_FILE1);
    const CString path = (*m_pRecentFileList)[index];
    if (path.IsEmpty())
        return FALSE;
    if (OpenDocumentFile(path) == nullptr) {
        m_pRecentFileList->Remove(index);
        m_pRecentFileList->WriteList();
        UpdateRecentFileMenus();
    }
    return TRUE;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI)
{
    const int index = static_cast<int>(pCmdUI->m_nID - ID_FILE_MRU_FILE1);
    CString name;
    if (!m_pRecentFileList || !m_pRecentFileList->GetDisplayName(name, index, nullptr, 0)) {
        if (index == 0 && m_pRecentFileList && !m_pRecentFileList->m_strOriginal.IsEmpty())
            pCmdUI->SetText(m_pRecentFileList->m_strOriginal);
        pCmdUI->Enable(FALSE);
        return;
    }
    name.Replace("&", "&&");
    pCmdUI->SetText(FormatString("&%d %s", index + 1, name.GetString()));
    pCmdUI->Enable(TRUE);
}

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT)
{
    return AfxMessageBox(lpszPrompt, nType);
}

CWinApp* AfxGetApp()
{
    return g_app;
}

CWnd* AfxGetMainWnd()
{
    return g_app ? g_app->m_pMainWnd : nullptr;
}

LPCTSTR AfxGetAppName()
{
    return g_app ? g_app->m_pszAppName : "";
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_app ? g_app->m_hInstance : nullptr;
}

HINSTANCE AfxGetResourceHandle()
{
    return g_resourceHandle ? g_resourceHandle : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    g_resourceHandle = hInstResource;
}

namespace kestrun {

int RunApplication(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;
    for (int i = 0; i < argc; ++i)
        app->m_arguments.emplace_back(argv[i]);
    CQtMessagePump pump;
    const auto previous = SetMessageBoxPresenter(std::make_shared<CQtMessageBoxPresenter>());
    int code = 0;
    if (!app->InitInstance()) {
        if (app->m_pMainWnd)
            app->m_pMainWnd->DestroyWindow();
        code = app->ExitInstance();
    } else {
        code = app->Run();
    }
    if (app->m_pMainWnd)
        app->m_pMainWnd->DestroyWindow();
    SetMessageBoxPresenter(previous);
    return code;
}

} // namespace kestrun
