#pragma once
// CResizingDialog: a dialog the user can resize. Its controls follow the
// edges by anchors (1 move right, 2 move down, 4 stretch wide, 8 stretch
// tall; stretching wins over moving on the same axis); it never gets
// smaller than it was created, shows a size grip, and remembers its size
// ("CX", "CY" in the section named by its resource id in hexadecimal; the
// window without the frame the window manager draws) when the user changed
// it.

#include "platform/core/arrays.h"
#include "platform/ui/dialog.h"

class CResizingDialog : public CDialog
{
    DECLARE_DYNAMIC(CResizingDialog)

public:
    enum Anchor : DWORD
    {
        kMoveX = 1,
        kMoveY = 2,
        kStretchX = 4,
        kStretchY = 8,
    };

    explicit CResizingDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CResizingDialog() override;

    // Ignored for flags 0.
    void AddAnchor(UINT nIDControl, DWORD dwFlags);

    BOOL OnInitDialog() override;
    void OnSize(UINT nType, int cx, int cy) override;
    void OnDestroy() override;

    // The profile section of the remembered size.
    virtual CString GetSectionName() const;

    BOOL m_bRememberSize = TRUE;
    BOOL m_bSizeGrip = TRUE;

protected:
    CSize m_sizeMinimum;
    int m_cxLast = 0;
    int m_cyLast = 0;
    BOOL m_bResized = FALSE;
    // Flags in the high word, the control id in the low word.
    CDWordArray m_arrAnchors;

private:
    void MoveAnchoredControls(int dx, int dy);
};
