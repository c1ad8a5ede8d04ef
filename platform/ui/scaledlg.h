#pragma once
// CScaleDlg: a resizable dialog that scales the place and size of every
// child in proportion to its client area, and on request their fonts (80
// per cent of the child's height). A derived dialog may name one control
// that fills the whole client area instead while the others are hidden.

#include "platform/core/gdi.h"
#include "platform/ui/dialog.h"

#include <map>
#include <memory>

class CScaleDlg : public CDialog
{
    DECLARE_DYNAMIC(CScaleDlg)

public:
    explicit CScaleDlg(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CScaleDlg() override;

    // Switching font scaling on records the layout first.
    void EnableScaling(BOOL bEnable);
    BOOL IsScalingFonts() const { return m_bScaleFonts; }

    BOOL OnInitDialog() override;
    void OnSize(UINT nType, int cx, int cy) override;

    double GetScaleX() const { return m_dScaleX; }
    double GetScaleY() const { return m_dScaleY; }

protected:
    // Records every direct child's rectangle and font at the current size.
    void RecordLayout();

    UINT m_nFillControl = 0;

private:
    struct CChildLayout
    {
        CRect rect;
        std::unique_ptr<CFont> font;
    };
    void ScaleFont(CWnd& child, CChildLayout& layout);

    double m_dScaleY = 1.0;
    double m_dScaleX = 1.0;
    LOGFONT m_logFont{};
    std::map<HWND, CChildLayout> m_layout;
    BOOL m_bInitialised = FALSE;
    int m_cyRecorded = 0;
    int m_cxRecorded = 0;
    BOOL m_bScaleFonts = FALSE;
};
