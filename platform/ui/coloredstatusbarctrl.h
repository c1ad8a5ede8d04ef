#pragma once
// CColoredStatusBarCtrl: the main window's status bar. Its owner-drawn
// panes (SBPS_OWNERDRAW) show their texts in colours: pane 0 black on red,
// pane 1 red, pane 2 green, pane 3 black with the bar's own fourth-pane
// text; each text 2 pixels inside the pane's left border over its own cell.

#include "platform/ui/controlbar.h"

class CColoredStatusBarCtrl : public CStatusBar
{
    DECLARE_DYNAMIC(CColoredStatusBarCtrl)

public:
    CColoredStatusBarCtrl();
    ~CColoredStatusBarCtrl() override;

    void SetPane4Text(LPCTSTR lpszText);
    const CString& GetPane4Text() const { return m_strPane4Text; }
    void SetPaneColour(DWORD dwColour) { m_dwPaneColour = dwColour; }
    DWORD GetPaneColour() const { return m_dwPaneColour; }

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

private:
    CString m_strPane4Text;
    DWORD m_dwPaneColour = 0;
};
