#pragma once
// CFilterSettingsDlg: the values of the page filters (kernel width,
// iterations, the Canny thresholds and the morphology operation).

#include "platform/ui/dialog.h"

struct sFilterParameters;

class CFilterSettingsDlg : public CDialog
{
public:
    explicit CFilterSettingsDlg(CWnd* pParentWnd = nullptr);

    // The dialog on the record's values; OK stores them. TRUE after OK.
    static BOOL Edit(sFilterParameters& params, CWnd* pParentWnd = nullptr);

    int m_nIterations = 0;
    int m_nKernelWidth = 0;
    double m_dCanny1 = 0.0;
    double m_dCanny2 = 0.0;
    int m_nMorphologyType = 2; // OpenCV's operation, 2 ... 6

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
};
