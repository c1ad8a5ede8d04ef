#pragma once
// The main window the forms' tests put in place of the program's: an MDI
// frame with a status bar of one pane.
#include "platform/ui/controlbar.h"
#include "platform/ui/mdi.h"

namespace kestrun::testing {

class CFormTestFrame : public CMDIFrameWnd
{
public:
    CStatusBar m_wndStatusBar;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override
    {
        if (CMDIFrameWnd::OnCreate(lpCreateStruct) == -1)
            return -1;
        const UINT indicators[] = {ID_SEPARATOR};
        return m_wndStatusBar.Create(this) && m_wndStatusBar.SetIndicators(indicators, 1) ? 0 : -1;
    }
};

} // namespace kestrun::testing
