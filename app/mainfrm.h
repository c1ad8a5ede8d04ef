#pragma once
// CMainFrame: the program's main window. It carries the standard tool bar
// with the video-source combo box, the database tool bar and the coloured
// status bar, keeps its placement in the profile, hands the scanning-box
// library the window its notices go to, and receives most registered
// messages. Many menu commands it routes to the document or view they
// concern (the image document and view, the run mode's form, the result
// table), so that the menus work whichever window is active. The
// engine's runs show their progress over the status bar's message pane.
// Scanned images (Select Source, Acquire) go to the run mode's form,
// else to the active image document, else to a new one.

#include "imaging/twain.h"
#include "trayscanner/camboxinterface.h"
#include "app/newimagequeue.h"
#include "app/splash.h"
#include "imaging/ui/dircheckdlg.h"
#include "app/statusbarprogress.h"
#include "scripthost/contscript.h"
#include "platform/ui/persistentframe.h"

#include "platform/ui/coloredstatusbarctrl.h"
#include "platform/ui/comboboxtoolbar.h"
#include "platform/ui/mdi.h"

class CScriptEngine;
class CUwScanner;

class CMainFrame : public CMDIFrameWnd, public CDirChangeClient, public CTwain
{
    DECLARE_DYNAMIC(CMainFrame)

public:
    CMainFrame();
    ~CMainFrame() override;

    // The folder watcher's notice (its thread): a created file (kind 2)
    // joins the new images and "IMAGE_CREATED" is posted to this window.
    // Answers 0: the watch goes on.
    int OnDirChange(CFileInformation fileInformation, int nKind) override;

    // A scanned image: the form's, else the active image document's, else
    // a new image document's page; a scan that cannot be placed is reported.
    void OnImage(TW_HANDLE hBitmap, const TW_IMAGEINFO& info) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    CPersistentFrame m_persist;
    CCamBoxInterface m_camBox;
    // A one-shot timer that runs "Init Video" when it fires; 0: none.
    UINT_PTR m_nTimerID = 0;
    CColoredStatusBarCtrl m_wndStatusBar;
    CStatusBarProgress m_progress{m_wndStatusBar};
    CComboBoxToolBar m_wndToolBar;
    CToolBar m_wndDBToolBar;
    // "Automatic Image Input" and the files it found, opened as they settle.
    CDirCheckDlg m_dlgDirCheck;
    CNewImageQueue m_newImages;

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
    void OnAutoImageInput();
    void OnTwainSelectSource();
    void OnTwainAcquire();
    // Measurement > Import: the tray-scan form's Import, the only import
    // there is.
    void OnImport();
    void OnUpdateImport(CCmdUI* pCmdUI);
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
    // The scanner source's events, posted to this window.
    LRESULT OnTwainSourceEvent(WPARAM wParam, LPARAM lParam);
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
    // Opens the new images that settled; checks the others again later.
    void TakeNewImages();
    void OpenNewImage(const CString& strPath);
    UINT_PTR m_nNewImageTimer = 0;

    // Routes a command or its update to the target the command concerns; a
    // command nobody takes goes on along the route.
    void RouteCommands(UINT nFirst, UINT nLast, CCmdTarget* (CMainFrame::*target)());
    CCmdTarget* FormViewTarget();
    // The form view when it is the tray-scan form, else null.
    CCmdTarget* TrayScanFormTarget();
    // The first view of the image document: the integration window is
    // the view's, also when another window is active.
    CCmdTarget* ImageDocumentViewTarget();
    CCmdTarget* ImageViewTarget();
    CCmdTarget* ExportTarget();
    // The container whose cookie a notice carries; null for none.
    CContScript* ScriptOfCookie(LPARAM cookie);
};
