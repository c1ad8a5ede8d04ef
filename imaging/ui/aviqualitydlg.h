#pragma once
// CAviQualityDlg: asks for the JPEG quality (1-100) of the frames of an
// AVI file before it is written - a slider and the number beside it.
// kestrun::InstallAviQualityChooser makes it the chooser of CAVI.

#include "platform/ui/dialog.h"

class CAviQualityDlg : public CDialog
{
public:
    enum
    {
        IDD = 480
    };
    static constexpr UINT IDC_QUALITY_SLIDER = 1101;
    static constexpr UINT IDC_QUALITY_EDIT = 1102;

    explicit CAviQualityDlg(CWnd* pParentWnd = nullptr);
    ~CAviQualityDlg() override;

    int m_nQuality = 95;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // The slider writes its position into the number.
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) override;
};

namespace kestrun {
// CAVI asks through the dialog (over the main window) from now on.
void InstallAviQualityChooser();
void RemoveAviQualityChooser();
} // namespace kestrun
