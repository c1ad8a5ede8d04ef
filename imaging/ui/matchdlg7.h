#pragma once
// CMatchDlg7: "Einstellungen", the modal settings of the pattern-matching
// window: the pattern search, where a profile starts, the search direction
// and the lower and upper thresholds. OK takes them over only when every
// number reads as one.

#include "platform/ui/dialog.h"

class CMatchDlg7 : public CDialog
{
    DECLARE_DYNAMIC(CMatchDlg7)

public:
    enum
    {
        IDD = 454,
        IDC_MEASURE_AFTER_GRAB = 2832,
        IDC_PATTERN_SEARCH = 2946,
        IDC_LOWER = 2948,
        IDC_VERTICAL = 2949,
        IDC_HORIZONTAL = 2950,
        IDC_UPPER = 2951,
        IDC_PROFILE_START = 2952,
        IDC_PROFILE_POSITION = 2953,
    };

    explicit CMatchDlg7(CWnd* pParent = nullptr);

    // Shown, always cleared; nothing follows from it.
    int m_bMeasureAfterGrab = 0;
    int m_bPatternSearch = 0;
    int m_nProfileStart = 40;
    int m_nProfilePosition = 10;
    int m_nDirection = 0;
    float m_fLower = 0.0f;
    float m_fUpper = 0.0f;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
