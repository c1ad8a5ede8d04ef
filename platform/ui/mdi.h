#pragma once
// The multi-document frames: CMDIFrameWnd is the main window with an MDI
// area, CMDIChildWnd a document window inside it. Commands go first to the
// active child (its view, document, template, the child frame itself and
// the application, as the class library routes them), then to the main
// frame. The menu of the active child's template replaces the main
// frame's while it is active.

#include "platform/ui/frame.h"

#include <vector>

class CMDIChildWnd;
class QMdiArea;
class QMdiSubWindow;
class QRect;

// MDITile: side by side, or one above the other.
inline constexpr int MDITILE_VERTICAL = 0x0000;
inline constexpr int MDITILE_HORIZONTAL = 0x0001;

class CMDIFrameWnd : public CFrameWnd
{
    DECLARE_DYNCREATE(CMDIFrameWnd)

public:
    CMDIFrameWnd();
    ~CMDIFrameWnd() override;

    CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const;
    void MDIActivate(CWnd* pWndActivate);
    // Cascade: every child three quarters of the client area, each a title
    // bar's height below and right of the one before, the active one last
    // and on top. Tile: the client area shared out in a grid. Both leave
    // the minimised children in their row at the bottom (MDIIconArrange)
    // and give no child less than its minimum size.
    void MDICascade();
    void MDITile(int nType = MDITILE_VERTICAL);
    void MDIIconArrange();
    void MDINext();
    void MDIMaximize(CWnd* pWnd);
    void MDIRestore(CWnd* pWnd);
    // The MDI children, oldest first.
    std::vector<CMDIChildWnd*> MDIChildren() const;

    CFrameWnd* GetActiveFrame() override;
    CView* GetActiveView() const override;
    CDocument* GetActiveDocument() override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    QMdiArea* MdiArea() const { return m_pMdiArea; }
    // The area the children live in, in the coordinates of their positions.
    void GetMDIClientRect(LPRECT lpRect) const;

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    void PlaceChildWidget(CWnd& child, const CRect& rect) override;

    void OnWindowCascade();
    void OnWindowTileHorz();
    void OnWindowTileVert();
    void OnWindowArrange();
    void OnUpdateMDIWindowCmd(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()

private:
    friend class CMDIChildWnd;
    void ChildActivated(CMDIChildWnd* pChild);
    void ChildGone(CMDIChildWnd* pChild);
    QRect ChildArea() const;
    // The children that take part in an arrangement: shown, not
    // minimised, bottom first in the stacking order.
    std::vector<QMdiSubWindow*> ArrangedWindows() const;
    QMdiSubWindow* ActiveSubWindow() const;
    // Lines the minimised children up along the bottom; the client area
    // above them is what the other children may fill.
    QRect ArrangeIcons();
    // A child's rectangle moved (and shrunk, never below its minimum) into
    // the client area.
    QRect FitInside(const QMdiSubWindow& sub, const QRect& wanted) const;
    void ShowNewChild(QMdiSubWindow& sub);

    QMdiArea* m_pMdiArea = nullptr;
    CMDIChildWnd* m_pActiveChild = nullptr;
};

class CMDIChildWnd : public CFrameWnd
{
    DECLARE_DYNCREATE(CMDIChildWnd)

public:
    CMDIChildWnd();
    ~CMDIChildWnd() override;

    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_CHILD | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    CMDIFrameWnd* GetMDIFrame() const;
    void MDIActivate();
    void MDIDestroy();
    void MDIMaximize();
    void MDIRestore();
    void ActivateFrame(int nCmdShow = -1) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    // The template's menu, shown while this child is active; null when the
    // template has no menu of its own.
    CMenu* SharedMenu() { return GetMenu(); }

    virtual void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd);

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    bool ShowsOwnMenu() const override { return false; }
    void OnDestroy() override;

private:
    // The first activation fits the window into the main window's client area.
    bool m_bShownOnce = false;
};
