#pragma once
// CGridFrame: the frame of an object table that belongs to the main
// window rather than to its MDI area. It loads itself with the table
// frame's style and the main window as its parent, whatever the template
// asks for: a child window of the main window, so that the messages the
// image views send to every window below the main window reach its view,
// shown as a window of its own above the main window.

#include "platform/ui/frame.h"

class CGridFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(CGridFrame)

public:
    // A child with caption, system menu and sizing border that adds the
    // document's name to its title.
    static constexpr DWORD kFrameStyle = 0x40CC8000;

    CGridFrame();
    ~CGridFrame() override;

    // Without a main window the frame stands alone.
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = kFrameStyle, CWnd* pParentWnd = nullptr,
                   CCreateContext* pContext = nullptr) override;
};
