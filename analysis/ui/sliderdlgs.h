#pragma once
// The slider dialogs of the analysis parameters: conglomerate cutting,
// sensitivity, curvature and the convex/concave analysis. Each slider has
// an integer member, a range and a tick frequency set on opening, and a
// text beside it that shows the value; moving the slider updates both.

#include "platform/ui/dialog.h"

#include <vector>

class CSliderDialog : public CDialog
{
public:
    CSliderDialog(UINT nIDTemplate, CWnd* pParentWnd);

protected:
    struct CSlider
    {
        UINT id;
        UINT valueId;
        int* value;
        int min;
        int max;
        int tick;
    };
    // The dialog's sliders; set by the derived constructor.
    std::vector<CSlider> m_sliders;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) override;

private:
    void ShowValue(const CSlider& slider);
};

class CConCutDlg : public CSliderDialog
{
public:
    explicit CConCutDlg(CWnd* pParentWnd = nullptr);

    int m_nSensitivity = 4;
    int m_nCutType = 0; // 0 off, 1 convex defect analysis, 2 watershed

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

class CSensitivityDlg : public CSliderDialog
{
public:
    explicit CSensitivityDlg(CWnd* pParentWnd = nullptr);

    int m_nMax = 10;
    int m_nValue = 0;
    CString m_strText;

protected:
    BOOL OnInitDialog() override;
};

class CCurvDlg : public CSliderDialog
{
public:
    explicit CCurvDlg(CWnd* pParentWnd = nullptr);

    int m_nFit = 3;
    int m_nMethod = 0; // 0 isthmus, 1 corner
    float m_fThresLow = 0.0f;
    float m_fThresHigh = 0.0f;
    int m_nSegmentFilterFit = 5;
    float m_fSegmentFilterThres = 0.0f;
    int m_nLineFitWidth = 10;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

class CConvexDlg : public CSliderDialog
{
public:
    explicit CConvexDlg(CWnd* pParentWnd = nullptr);

    int m_nFit = 3;
    int m_nConvex = 4;
    int m_nConcave = 4;
    int m_nDistance = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
