#pragma once
// Tool bars and status bars. Each item carries a command id and asks the
// frame's command route for its state when the program is idle.

#include "platform/ui/frame.h"

#include <memory>
#include <vector>

class QAction;
class QToolBar;

// Button styles
inline constexpr UINT TBBS_BUTTON = 0x0000;
inline constexpr UINT TBBS_SEPARATOR = 0x0001;
inline constexpr UINT TBBS_CHECKBOX = 0x0002;
inline constexpr UINT TBBS_GROUP = 0x0004;
inline constexpr UINT TBBS_CHECKGROUP = TBBS_GROUP | TBBS_CHECKBOX;
inline constexpr UINT TBBS_CHECKED = 0x0100;
inline constexpr UINT TBBS_PRESSED = 0x0200;
inline constexpr UINT TBBS_DISABLED = 0x0400;
inline constexpr UINT TBBS_INDETERMINATE = 0x0800;
inline constexpr UINT TBBS_HIDDEN = 0x1000;

// Pane styles
inline constexpr UINT SBPS_NORMAL = 0x0000;
inline constexpr UINT SBPS_NOBORDERS = 0x0100;
inline constexpr UINT SBPS_POPOUT = 0x0200;
inline constexpr UINT SBPS_OWNERDRAW = 0x1000;
inline constexpr UINT SBPS_DISABLED = 0x04000000;
inline constexpr UINT SBPS_STRETCH = 0x08000000;
inline constexpr UINT SBT_OWNERDRAW = 0x1000;
inline constexpr UINT SBT_NOBORDERS = 0x0100;
inline constexpr UINT SBT_POPOUT = 0x0200;

class CControlBar : public CWnd
{
    DECLARE_DYNAMIC(CControlBar)

public:
    DWORD GetBarStyle() const { return m_dwBarStyle; }
    void SetBarStyle(DWORD dwStyle) { m_dwBarStyle = dwStyle; }
    void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle; }
    BOOL IsVisible() const { return IsWindowVisible(); }
    int GetCount() const;

    // Asks the items for their state through pTarget's command route.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;

    // What the bar's child controls report (WM_COMMAND, WM_NOTIFY) and the
    // bar does not handle itself goes on to its owner, the frame.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    CControlBar() = default;
    DWORD m_dwBarStyle = 0;
    DWORD m_dwDockStyle = 0;
    virtual int ItemCount() const = 0;
};

namespace kestrun {

// Tool-bar resources: the command ids of the buttons, ID_SEPARATOR for a
// gap, by resource id.
void RegisterToolBarResource(UINT id, std::vector<UINT> commands);
bool HasToolBarResource(UINT id);

} // namespace kestrun

class CToolBar : public CControlBar
{
    DECLARE_DYNAMIC(CToolBar)

public:
    CToolBar();
    ~CToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(),
                  UINT nID = AFX_IDW_TOOLBAR);
    BOOL LoadToolBar(UINT nIDResource);
    // nIDCount buttons with the ids (ID_SEPARATOR: a gap); a null array
    // gives empty buttons to be set with SetButtonInfo.
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
    // A TBBS_SEPARATOR with iImage > 0 keeps that many pixels for a control
    // that a child window with the same id later fills.
    void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    UINT GetItemID(int nIndex) const;
    int CommandToIndex(UINT nIDFind) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    void SetHeight(int cyHeight);

    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    void PlaceChildWidget(CWnd& child, const CRect& rect) override;
    void SetWidgetText(const CString& text) override;
    CString GetWidgetText() const override;
    int ItemCount() const override { return static_cast<int>(m_buttons.size()); }

private:
    struct CButtonEntry
    {
        UINT id = 0;
        UINT style = 0;
        int image = 0;
        QAction* action = nullptr;
    };
    void Rebuild();
    void Pressed(UINT id);

    std::vector<CButtonEntry> m_buttons;
};

class CStatusBarCtrl;

namespace kestrun {
class CStatusPanes;
}

// The status bar of a frame: panes by indicator id, the first usually the
// message pane (ID_SEPARATOR) that stretches.
class CStatusBar : public CControlBar
{
    DECLARE_DYNAMIC(CStatusBar)

public:
    CStatusBar();
    ~CStatusBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                  UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id; an indicator pane shows the id's string-table text.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
    CString GetPaneText(int nIndex) const;
    void GetPaneText(int nIndex, CString& rString) const { rString = GetPaneText(nIndex); }
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);
    UINT GetItemID(int nIndex) const;
    int CommandToIndex(UINT nIDFind) const;
    // The pane's rectangle in the bar's client coordinates: a child window
    // created over it (a progress bar) covers the pane.
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    CStatusBarCtrl& GetStatusBarCtrl() const;

    // Paints an owner-drawn pane (SBPS_OWNERDRAW, or text set with
    // SBT_OWNERDRAW): itemID is the pane, itemData its text, rcItem the
    // pane inside its border, hDC a context with the bar's font.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    void PlaceChildWidget(CWnd& child, const CRect& rect) override;
    void SetWidgetText(const CString& text) override;
    CString GetWidgetText() const override;
    int ItemCount() const override;

private:
    std::unique_ptr<CStatusBarCtrl> m_ctrl;
};

// The status-bar control: parts with texts; an SBT_OWNERDRAW part is
// painted by DrawItem. A CStatusBar hands out its own through
// GetStatusBarCtrl (whose owner-drawn parts the bar's DrawItem paints);
// created on its own it is a window of its own.
class CStatusBarCtrl : public CWnd
{
    DECLARE_DYNAMIC(CStatusBarCtrl)

public:
    CStatusBarCtrl();
    ~CStatusBarCtrl() override;

    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    // nParts parts whose right edges are the widths (-1: to the end).
    BOOL SetParts(int nParts, const int* pWidths);
    int GetParts(int nParts, int* pParts) const;
    BOOL SetText(LPCTSTR lpszText, int nPane, int nType);
    CString GetText(int nPane, int* pType = nullptr) const;
    int GetTextLength(int nPane, int* pType = nullptr) const;
    BOOL GetRect(int nPane, LPRECT lpRect) const;
    void SetMinHeight(int nMin);

    // Paints an owner-drawn part; itemID is the part, itemData its text.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

    kestrun::CStatusPanes* Panes() const { return m_pPanes; }

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    void PlaceChildWidget(CWnd& child, const CRect& rect) override;

private:
    friend class CStatusBar;
    friend class kestrun::CStatusPanes;
    kestrun::CStatusPanes* m_pPanes = nullptr;
    // The bar this control belongs to: its owner-drawn panes are the bar's.
    CStatusBar* m_pBar = nullptr;
};
