#pragma once
// Frame windows: a window with a menu bar, tool bars, a status bar and a
// view in its middle. A frame routes commands to its active view (which
// passes them to its document and template), then handles them itself,
// then hands them to the application. Frames delete themselves when their
// window is destroyed, so they are created with new.

#include "platform/ui/menu.h"
#include "platform/ui/view.h"
#include "platform/ui/wnd.h"

#include <memory>

class CControlBar;
class CDocument;
class QMainWindow;

// Control-bar styles
inline constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;
inline constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
inline constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
inline constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
inline constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
inline constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | 0x0200;
inline constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | 0x0100;
inline constexpr DWORD CBRS_TOOLTIPS = 0x0010;
inline constexpr DWORD CBRS_FLYBY = 0x0020;
inline constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0040;
inline constexpr DWORD CBRS_SIZE_FIXED = 0x0080;
inline constexpr DWORD CBRS_GRIPPER = 0x00400000;
inline constexpr DWORD TBSTYLE_FLAT = 0x0800;
inline constexpr DWORD TBSTYLE_TRANSPARENT = 0x8000;

class CFrameWnd : public CWnd
{
    DECLARE_DYNCREATE(CFrameWnd)

public:
    CFrameWnd();
    ~CFrameWnd() override;

    static const CRect rectDefault;

    // Creates the frame with the title of the resource's string, the menu
    // of its menu resource and, from pContext, its view.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr,
                DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);

    // Views
    virtual CView* GetActiveView() const;
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    virtual CFrameWnd* GetActiveFrame() { return this; }
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    virtual void ActivateFrame(int nCmdShow = -1);
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
    CString GetTitle() const { return m_strTitle; }

    // Bars
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    CControlBar* GetControlBar(UINT nID);
    CWnd* GetMessageBar();
    void SetMessageText(LPCTSTR lpszText);
    void SetMessageText(UINT nID);
    CString GetMessageText();
    // The prompt of the button or menu item under the pointer in the
    // message pane; an empty prompt brings back the text that was there.
    // False when the frame has no message pane.
    bool ShowPrompt(const CString& prompt);
    void EnableDocking(DWORD dwDockStyle);
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    // Visibility of the bars under a profile section.
    void LoadBarState(LPCTSTR lpszProfileName);
    void SaveBarState(LPCTSTR lpszProfileName) const;
    // Asks every bar's items for their state (what the idle time does).
    virtual void OnIdleUpdateCmdUI();

    // Menu
    CMenu* GetMenu() { return m_menu.GetSafeHmenu() ? &m_menu : nullptr; }
    BOOL SetMenu(CMenu* pMenu);
    void DrawMenuBar();

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    QWidget* GetClientWidget() const override;
    // The Qt main window of the frame (also for MDI children).
    QMainWindow* MainWindow() const;

    BOOL m_bAutoMenuEnable = TRUE;
    CString m_strTitle;
    UINT m_nIDHelp = 0;

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    void PlaceChildWidget(CWnd& child, const CRect& rect) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    void OnClose() override;
    void OnDestroy() override;
    void PostNcDestroy() override;
    // Shows the menu bar: this frame's menu, or another's (MDI).
    void ShowMenu(CMenu* pMenu);
    // MDI children leave their menu to the main frame.
    virtual bool ShowsOwnMenu() const { return true; }
    // Makes the Qt main window of the frame; MDI children put theirs in a
    // sub-window.
    QMainWindow* CreateMainWindow(QWidget* parent, bool topLevel);

    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    BOOL OnBarCheck(UINT nID);

    CView* m_pViewActive = nullptr;
    CMenu m_menu;

    DECLARE_MESSAGE_MAP()

private:
    QMainWindow* m_pMainWindow = nullptr;
    CString m_strTextUnderPrompt;
    bool m_bPromptShown = false;
};
