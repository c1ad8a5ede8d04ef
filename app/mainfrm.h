#pragma once
// CMainFrame: the program's main window. It carries the standard tool bar
// with the video-source combo box, the database tool bar and the coloured
// status bar, keeps its placement in the profile, hands the scanning-box
// library the window its notices go to, and receives most registered
// messages. Many menu commands it routes to the document or view they
// concern (the image document and view, the run mode's form, the result
// table), so that the menus work whichever window is active. The
// engine's runs show their progress over the status bar's message pane.

#include "trayscanner/camboxinterface.h"
#include "app/splash.h"
#include "app/statusbarprogress.h"
#include "scripthost/contscript.h"
#include "platform/ui/persistentframe.h"

#include "platform/ui/coloredstatusbarctrl.h"
#include "platform/ui/comboboxtoolbar.h"
#include "platform/ui/mdi.h"

class CScriptEngine;
class CUwScanner;

class CMainFrame : public CMDIFrameWnd
{
    DECLARE_DYNAMIC(CMainFrame)

public:
    CMainFrame();
    ~CMainFrame() override;

    // The folder watcher's notice: a created file (kind 2) is kept and
    // announced to this window with "IMAGE_CREATED". Answers 0: the watch
    // goes on.
    int OnDirChange(const CString& strFullPath, int nKind);

    CPersistentFrame m_persist;
    CCamBoxInterface m_camBox;
    // A one-shot timer that runs "Init Video" when it fires; 0: none.
    UINT_PTR m_nTimerID = 0;
    CColoredStatusBarCtrl m_wndStatusBar;
    CStatusBarProgress m_progress{m_wndStatusBar};
    CComboBoxToolBar m_wndToolBar;
    CToolBar m_wndDBToolBar;
    CString m_strNewImage;

    // Scripts: the user's script "kestrun", the code a document's run
    // loads from its code file (a container of its own, so that the
    // user's script stays), and at most one engine.
    CContScript m_script;
    CContScript m_docScript;
    std::unique_ptr<CScriptEngine> m_pScriptEngine;
    BOOL m_bScriptLoaded = FALSE;

    BOOL OpenScriptEngine();
    BOOL CloseScriptEngine();

    // The lid scanner that follows the video input (the program's one
    // unless told).
    CUwScanner* m_pUwScanner = nullptr;

    // Shows itself while the window is created and ends by itself.
    std::unique_ptr<CSplashThreadDemo> m_pSplash;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnClose() override;
    void OnDestroy() override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnSize(UINT nType, int cx, int cy) override;

    // Commands.
    void OnInputChannel(UINT nID);
    void OnDatabaseToolBar();
    void OnUpdateDatabaseToolBar(CCmdUI* pCmdUI);
    void OnExtendedView();
    void OnUpdateExtendedView(CCmdUI* pCmdUI);
    void OnSelChangeVideoSource();
    void OnSelChangeCombo2() {}
    void OnMacroEdit();
    void OnMacroRun();
    void OnUpdateMacroRun(CCmdUI* pCmdUI);
    // Commands whose windows are not part of this program yet.
    void OnUpdateNotAvailable(CCmdUI* pCmdUI);

    // Registered and user messages.
    LRESULT OnGrabwellToApp(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteDocument(WPARAM wParam, LPARAM lParam);
    LRESULT OnRunMacro(WPARAM wParam, LPARAM lParam);
    LRESULT OnImageCreated(WPARAM wParam, LPARAM lParam);
    LRESULT OnStateToKiste(WPARAM wParam, LPARAM lParam);
    LRESULT OnScriptError(WPARAM wParam, LPARAM lParam);
    LRESULT OnEditClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnCamBoxButtonPressed(WPARAM wParam, LPARAM lParam);
    LRESULT OnUwScannerGone(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
    // The lid scanner switches to the video of a new input (0-2), then
    // waits its delay on the run clock.
    void FollowInputWithScanner(int nInput);

    DECLARE_MESSAGE_MAP()

private:
    void StartSplash();
    BOOL CreateToolBar();
    BOOL CreateVideoSourceCombo();
    void FillVideoSourceCombo();
    BOOL CreateDatabaseToolBar();
    BOOL CreateStatusBar();

    // Routes a command or its update to the target the command concerns; a
    // command nobody takes goes on along the route.
    void RouteCommands(UINT nFirst, UINT nLast, CCmdTarget* (CMainFrame::*target)());
    CCmdTarget* FormViewTarget();
    CCmdTarget* ImageDocumentTarget();
    CCmdTarget* ImageViewTarget();
    CCmdTarget* ExportTarget();
    // The container whose cookie a notice carries; null for none.
    CContScript* ScriptOfCookie(LPARAM cookie);
};
