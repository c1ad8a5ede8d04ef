#pragma once
// CWinApp: the application object. One exists per program (AfxGetApp); it
// keeps the profile (the ini file of the program's settings), the
// document templates, the list of recently used files and the main
// window, takes the application's commands at the end of the command route
// and runs the Qt event loop, which also pumps the platform's message
// queue.

#include "platform/core/arrays.h"
#include "platform/ui/cmdtarget.h"

#include <memory>
#include <vector>

class CDocTemplate;
class CDocument;
class CWnd;

// The recently used files: newest first, at most its size, stored in a
// profile section as File1, File2, ...
class CRecentFileList
{
public:
    CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize);

    int GetSize() const { return m_nSize; }
    // The entries held, at most GetSize().
    int GetCount() const { return static_cast<int>(m_arrNames.size()); }
    const CString& operator[](int nIndex) const;
    // Moves or puts a path at the top.
    void Add(LPCTSTR lpszPathName);
    void Remove(int nIndex);
    void ReadList();
    void WriteList();
    // The menu text of an entry: "&1 name", shortened to the file name.
    BOOL GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir, BOOL bAtLeastName = TRUE) const;

    UINT m_nStart;
    CString m_strSectionName;
    CString m_strEntryFormat;
    // The menu's text for an empty list.
    CString m_strOriginal;

private:
    int m_nSize;
    std::vector<CString> m_arrNames;
};

// What the command line asks for.
class CCommandLineInfo
{
public:
    enum
    {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        AppRegister,
        AppUnregister,
        FileNothing = -1,
    };

    virtual ~CCommandLineInfo() = default;
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    int m_nShellCommand = FileNew;
    CString m_strFileName;
};

class CWinApp : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinApp)

public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The event loop; returns the exit code.
    virtual int Run();
    // Idle time: updates the bars of the main window. lCount counts the
    // calls since the last message; TRUE asks for more idle time.
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL PreTranslateMessage(struct MSG* pMsg);
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = 0x0001);

    // Profile: the ini file named by m_pszProfileName.
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    // Makes lpszPath the profile file of the program.
    void SetProfileName(LPCTSTR lpszPath);
    void SetRegistryKey(LPCTSTR) {}
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void EnableControlContainer() {}
    void Enable3dControls() {}

    // Templates and documents
    void AddDocTemplate(CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
    int GetOpenDocumentCount() const;
    // Opens through the template that suits the file best; an open
    // document of the same path is activated instead. Null on failure.
    virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
    // Whether the last failed OpenDocumentFile has told the user already
    // (the document says why it cannot read a file).
    BOOL OpenFailureReported() const { return m_bOpenFailureReported; }
    virtual void AddToRecentFileList(LPCTSTR lpszPathName);
    // One item per recent file (the placeholder when there is none) in
    // the menus of the main window and its children.
    void UpdateRecentFileMenus();
    BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);
    // The open/save file dialog for the templates' file kinds.
    BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                          CDocTemplate* pTemplate);

    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    // Standard commands
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();
    BOOL OnOpenRecentFile(UINT nID);
    void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);

    int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);

    CWnd* m_pMainWnd = nullptr;
    CString m_strAppName;
    LPCTSTR m_pszAppName = nullptr;
    LPCTSTR m_pszProfileName = nullptr;
    LPCTSTR m_pszHelpFilePath = nullptr;
    LPCTSTR m_pszExeName = nullptr;
    int m_nCmdShow = 1; // SW_SHOWNORMAL
    HINSTANCE m_hInstance = nullptr;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;

    // The program's arguments, as main received them.
    std::vector<CString> m_arguments;

protected:
    DECLARE_MESSAGE_MAP()

private:
    std::vector<CDocTemplate*> m_templates;
    BOOL m_bOpenFailureReported = FALSE;
    // The main menu whose recent files were last put in.
    HMENU m_hRecentFileMenu = nullptr;
    CString m_strProfileName;
    CString m_strHelpFilePath;
    CString m_strExeName;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
LPCTSTR AfxGetAppName();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);

namespace kestrun {

// The program's main: makes the Qt application, installs the message pump
// and the Qt message boxes, runs InitInstance, the event loop and
// ExitInstance of the application object. Answers the exit code.
int RunApplication(int argc, char** argv);

} // namespace kestrun
