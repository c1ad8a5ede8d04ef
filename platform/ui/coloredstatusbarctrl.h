#pragma once
// CColoredStatusBarCtrl: the main window's status bar. Its owner-drawn
// panes (SBPS_OWNERDRAW) show their texts in colours: pane 0 black on red,
// pane 1 red, pane 2 green, pane 3 black with the bar's own fourth-pane
// text; each text 2 pixels from the pane's left edge over its own cell.

#include "platform/ui/controlbar.h"

#include <memory>

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

    // Paints an owner-drawn pane: itemID is the pane, itemData its text.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;

private:
    class CPaneWatcher;
    friend class CPaneWatcher;
    bool IsOwnerDrawn(int nPane) const;

    CString m_strPane4Text;
    DWORD m_dwPaneColour = 0;
    std::unique_ptr<CPaneWatcher> m_watcher;
};
