#pragma once
// CPersistentFrame: keeps the placement of a frame window - or of the frame
// around a view - in a section of the profile file from one run to the
// next: the normal rectangle ("Rect", "%04d %04d %04d %04d"), minimised
// ("icon"), maximised ("max") and the visibility of the frame's tool bar
// ("tool") and status bar ("status").
//
// A top-level window's rectangle is its client geometry on the screen, the
// only one that comes back unchanged before the window system has put its
// frame around it (only the default rectangle of a first start places the
// outer corner, so that the title bar stays on the screen); a child frame's
// is its rectangle in the main window's client area. No coordinate stored
// is negative.

#include "platform/core/object.h"
#include "platform/core/geometry.h"

class CWnd;
class CFrameWnd;

class CPersistentFrame : public CObject
{
    DECLARE_DYNAMIC(CPersistentFrame)

public:
    CPersistentFrame();
    ~CPersistentFrame() override = default;
    CPersistentFrame(const CPersistentFrame&) = delete;
    CPersistentFrame& operator=(const CPersistentFrame&) = delete;

    // The window (a frame, or a view whose parent frame is meant) and its
    // profile section. The window is not owned.
    void Attach(CWnd* pWnd, LPCTSTR lpszSection);
    // Restores and shows the window, once per object: FALSE after the first
    // call. Without a stored rectangle the default one is taken, maximised
    // when bMaximiseByDefault; so is a child's rectangle that leaves the
    // main window's client area.
    BOOL LoadWindowPlacement(BOOL bMaximiseByDefault);
    void SaveWindowPlacement();

    // The rectangle of a first start (10, 10, 500, 400 unless set).
    void SetDefaultRect(const CRect& rect) { m_rectDefault = rect; }
    const CRect& GetDefaultRect() const { return m_rectDefault; }

private:
    // The window placed: the parent of a view, else the window.
    CWnd* PlacedWindow() const;
    CFrameWnd* PlacedFrame() const;
    // The stored rectangle, or the default one (bDefault).
    CRect ReadRect(bool& bDefault) const;

    CWnd* m_pWnd = nullptr;
    CString m_strSection;
    CString m_strRectKey;
    CString m_strIconKey;
    CString m_strMaxKey;
    CString m_strToolKey;
    CString m_strStatusKey;
    BOOL m_bFirstTime = TRUE;
    CRect m_rectDefault;
};
