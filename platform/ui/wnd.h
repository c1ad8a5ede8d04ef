#pragma once
// CWnd: a window of the program. It owns a Qt widget and a window handle of
// the platform's message registry, so that registered messages reach it by
// handle from any thread. Qt events arrive as the window messages the code
// above expects (WM_SIZE, WM_TIMER, mouse and key messages, WM_CLOSE, ...)
// and go through WindowProc: an entry of the message table wins, else the
// virtual On... handler runs. No exception leaves a handler; the message
// queue reports it through the message-box service.
//
// Destruction follows the class library: DestroyWindow sends WM_DESTROY to
// the window, then destroys its children, then drops the widget and the
// handle and calls PostNcDestroy, which views and frames use to delete
// themselves.

#include "platform/core/cstring.h"
#include "platform/core/messagebox.h"
#include "platform/ui/cmdtarget.h"

#include <functional>
#include <map>
#include <memory>

class QWidget;
class CDC;
class CFont;
class CFrameWnd;
class CDataExchange;

namespace kestrun {
class CWidgetBridge;
}

// A message as PreTranslateMessage sees it.
struct MSG
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
using LPMSG = MSG*;

// GetWindow relations
inline constexpr UINT GW_HWNDFIRST = 0;
inline constexpr UINT GW_HWNDLAST = 1;
inline constexpr UINT GW_HWNDNEXT = 2;
inline constexpr UINT GW_HWNDPREV = 3;
inline constexpr UINT GW_OWNER = 4;
inline constexpr UINT GW_CHILD = 5;

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

class CWnd : public CCmdTarget, public CMessageTarget
{
    DECLARE_DYNCREATE(CWnd)

public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The window object of a handle; null for handles of other targets.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd) { return FromHandle(hWnd); }

    // ---- creation and destruction ----------------------------------------
    // rect is in the parent's client coordinates (screen for top-level
    // windows); an empty rect leaves the size to the layout.
    // A failed creation calls PostNcDestroy, so views and frames, which
    // delete themselves there, are gone afterwards.
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, void* pContext = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);

    // ---- relations -------------------------------------------------------
    int GetDlgCtrlID() const { return static_cast<int>(m_nID); }
    int SetDlgCtrlID(int nID);
    CWnd* GetParent() const;
    CWnd* SetParent(CWnd* pWndNewParent);
    CWnd* GetOwner() const;
    void SetOwner(CWnd* pOwnerWnd) { m_pOwner = pOwnerWnd; }
    CWnd* GetTopLevelParent() const;
    CWnd* GetParentOwner() const;
    // The nearest frame window above this one.
    CFrameWnd* GetParentFrame() const;
    CFrameWnd* GetTopLevelFrame() const;
    CWnd* GetDlgItem(int nID) const;
    CWnd* GetWindow(UINT nCmd) const;
    CWnd* GetNextWindow(UINT nFlag = GW_HWNDNEXT) const { return GetWindow(nFlag); }
    BOOL IsChild(const CWnd* pWnd) const;
    // The child windows in creation order.
    std::vector<CWnd*> GetChildren() const;

    DWORD GetStyle() const { return m_dwStyle; }
    DWORD GetExStyle() const { return m_dwExStyle; }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);

    // ---- messages ----------------------------------------------------------
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE,
                                  BOOL bOnlyPerm = FALSE);
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) final;
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called for key messages on their way to the focus window, from the
    // window that has the focus up to its top-level parent; TRUE eats it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // WM_COMMAND: routes the command (low word of wParam) with its
    // notification code (high word) through OnCmdMsg.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // WM_NOTIFY from a child control; lParam is the NMHDR.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Enables or disables the controls that carry command ids by asking
    // pTarget's update handlers.
    void UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

    // ---- timers: WM_TIMER arrives through the Qt event loop ----------------
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);

    // ---- state -------------------------------------------------------------
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsIconic() const;
    BOOL IsZoomed() const;

    void SetWindowText(LPCTSTR lpszString);
    void GetWindowText(CString& rString) const;
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    int GetWindowTextLength() const;
    void SetDlgItemText(int nID, LPCTSTR lpszString);
    int GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const;
    void CheckDlgButton(int nIDButton, UINT nCheck);
    UINT IsDlgButtonChecked(int nIDButton) const;
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
    int GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const;

    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    CFont* GetFont() const { return m_pFont; }

    // ---- geometry ------------------------------------------------------------
    // A top-level window's rectangle is its outer one, with the frame the
    // window system draws; MoveWindow, SetWindowPos and the placement take
    // it so, and the client is what the frame leaves.
    void GetWindowRect(LPRECT lpRect) const;
    void GetClientRect(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const;
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl);
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    void BringWindowToTop();
    BOOL SetForegroundWindow();

    // ---- painting ------------------------------------------------------------
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, void* prgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);

    // ---- input ---------------------------------------------------------------
    CWnd* SetCapture();
    static CWnd* GetCapture();
    CWnd* SetFocus();
    static CWnd* GetFocus();
    static CWnd* GetActiveWindow();
    CWnd* SetActiveWindow();

    // ---- scrolling (scroll views answer; other windows keep the values) ------
    virtual int GetScrollPos(int nBar) const;
    virtual int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE);
    virtual void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const;
    virtual void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);

    // A context for drawing on the client area outside OnPaint; give it
    // back with ReleaseDC.
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);

    // ---- dialogs and boxes -----------------------------------------------------
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);
    // TRUE stores the controls into the members (and validates); FALSE
    // shows the members in the controls. FALSE when validation failed.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    // ---- handlers -------------------------------------------------------------
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual void OnDestroy();
    virtual void OnClose();
    virtual void OnSize(UINT nType, int cx, int cy);
    virtual void OnMove(int x, int y);
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual void OnPaint();
    virtual void OnShowWindow(BOOL bShow, UINT nStatus);
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnRButtonDown(UINT nFlags, CPoint point);
    virtual void OnRButtonUp(UINT nFlags, CPoint point);
    virtual BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnSetFocus(CWnd* pOldWnd);
    virtual void OnKillFocus(CWnd* pNewWnd);
    // Sliders and scroll bars report here; pScrollBar is the control.
    virtual void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    virtual void OnVScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    virtual void OnContextMenu(CWnd* pWnd, CPoint pos);
    virtual void PostNcDestroy();

    // ---- Qt side ---------------------------------------------------------------
    // The widget of the whole window (its window rectangle).
    QWidget* GetWidget() const { return m_pWidget; }
    // The widget that holds the children and whose size is the client area.
    virtual QWidget* GetClientWidget() const;

    // Window messages by number or registered id; ON_MESSAGE and
    // ON_REGISTERED_MESSAGE expand to this.
    using MessageHandler = std::function<LRESULT(WPARAM, LPARAM)>;
    void AddMessageHandler(UINT message, MessageHandler handler);
    // Whether such an entry takes the message before the window's handlers.
    bool HasMessageHandler(UINT message) const { return m_messages.count(message) != 0; }
    // Sees every message before the window does, as a drag loop needs
    // (CRectTracker); answering true takes the message. One at a time: the
    // previous filter is returned so that it can be put back.
    using MessageFilter = std::function<bool(UINT, WPARAM, LPARAM)>;
    MessageFilter SetMessageFilter(MessageFilter filter);

protected:
    template <class T>
    void RegisterMessage(UINT message, LRESULT (T::*fn)(WPARAM, LPARAM))
    {
        T* self = static_cast<T*>(this);
        AddMessageHandler(message, [self, fn](WPARAM w, LPARAM l) { return (self->*fn)(w, l); });
    }

    // The widget this class wraps, created under parent (null for a
    // top-level window). The default is a plain widget.
    virtual QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs);
    // Puts a new child's widget in place; bars and frames override it to
    // give the child its slot in their layout.
    virtual void PlaceChildWidget(CWnd& child, const CRect& rect);
    // Whether Qt paint events of the client widget reach OnPaint (which
    // then paints everything): for windows on a plain widget; controls
    // paint themselves unless a class says otherwise.
    virtual bool WantsPaint() const;
    // The window text as the widget shows it: a title for windows, the
    // content or caption for controls.
    virtual void SetWidgetText(const CString& text);
    virtual CString GetWidgetText() const;
    // Takes over the widget and place of a window created from a dialog
    // layout (SubclassDlgItem); the other window is left without a handle.
    BOOL AdoptWindow(CWnd& other);
    // Takes over what a control keeps beside its widget when it adopts
    // another's window.
    virtual void TakeOverFrom(CWnd& other);

    // For destructors of classes whose members the widget still uses:
    // destroys the window before the members go, without PostNcDestroy.
    void DestroyHandleNow()
    {
        if (m_hWnd != nullptr)
            DestroyHandle(false);
    }

    // Delivers a message to this window now, reporting any error.
    LRESULT Deliver(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

public:
    // Makes this object the window of an existing control of the parent's
    // layout with that id.
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);

    // Sends a control notification (WM_COMMAND with the code in the high
    // word) to the parent; used by the controls.
    void NotifyParent(UINT nCode);
    // Sends a WM_NOTIFY to the parent.
    LRESULT NotifyParent(NMHDR& header);

private:
    friend class kestrun::CWidgetBridge;
    void AttachWidget(QWidget* widget);
    void DestroyHandle(bool callPostNcDestroy);
    void OnWidgetDestroyed();

    QWidget* m_pWidget = nullptr;
    std::unique_ptr<kestrun::CWidgetBridge> m_bridge;
    std::map<UINT, MessageHandler> m_messages;
    MessageFilter m_filter;
    UINT m_nID = 0;
    DWORD m_dwStyle = 0;
    DWORD m_dwExStyle = 0;
    CWnd* m_pOwner = nullptr;
    CFont* m_pFont = nullptr;
    CString m_strText; // the text while there is no widget
    int m_scrollPos[2] = {0, 0};
    int m_scrollMin[2] = {0, 0};
    int m_scrollMax[2] = {0, 0};
    bool m_destroying = false;
};

BOOL ReleaseCapture();
int GetSystemMetrics(int nIndex);
