#include "analysis/ui/sliderdlgs.h"

#include "analysis/ui/analysisdlgresources.h"

#include "platform/ui/ddx.h"
#include "platform/ui/rangectrls.h"

using namespace kestrun::analysisui;

CSliderDialog::CSliderDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : CDialog((RegisterAnalysisDialogs(), nIDTemplate), pParentWnd)
{
}

BOOL CSliderDialog::OnInitDialog()
{
    // The ranges first: the exchange below puts the values on the sliders.
    for (const CSlider& slider : m_sliders) {
        if (auto* control = DYNAMIC_DOWNCAST(CSliderCtrl, GetDlgItem(static_cast<int>(slider.id)))) {
            control->SetRange(slider.min, slider.max);
            control->SetTicFreq(slider.tick);
        }
        ShowValue(slider);
    }
    return CDialog::OnInitDialog();
}

void CSliderDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    for (const CSlider& slider : m_sliders)
        DDX_Slider(pDX, static_cast<int>(slider.id), *slider.value);
}

void CSliderDialog::OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar)
{
    for (const CSlider& slider : m_sliders) {
        auto* control = DYNAMIC_DOWNCAST(CSliderCtrl, GetDlgItem(static_cast<int>(slider.id)));
        if (control != nullptr && control == pScrollBar) {
            *slider.value = control->GetPos();
            ShowValue(slider);
            return;
        }
    }
    CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
}

void CSliderDialog::ShowValue(const CSlider& slider)
{
    SetDlgItemText(static_cast<int>(slider.valueId), FormatString("%d", *slider.value));
}

// ---- conglomerate cutting ------------------------------------------------------------------

CConCutDlg::CConCutDlg(CWnd* pParentWnd) : CSliderDialog(IDD_CONCUT, pParentWnd)
{
    m_sliders = {{IDC_SLIDER1, IDC_SLIDER1_VALUE, &m_nSensitivity, 0, 10, 1}};
}

void CConCutDlg::DoDataExchange(CDataExchange* pDX)
{
    CSliderDialog::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_RADIO1, m_nCutType);
}

// ---- sensitivity ---------------------------------------------------------------------------

CSensitivityDlg::CSensitivityDlg(CWnd* pParentWnd) : CSliderDialog(IDD_SENSITIVITY, pParentWnd)
{
    m_sliders = {{IDC_SLIDER1, IDC_SLIDER1_VALUE, &m_nValue, 0, 10, 1}};
}

BOOL CSensitivityDlg::OnInitDialog()
{
    m_sliders.front().max = m_nMax;
    SetDlgItemText(IDC_SENSITIVITY_TEXT, m_strText);
    return CSliderDialog::OnInitDialog();
}

// ---- curvature -----------------------------------------------------------------------------

CCurvDlg::CCurvDlg(CWnd* pParentWnd) : CSliderDialog(IDD_CURVATURE, pParentWnd)
{
    m_sliders = {{IDC_SLIDER1, IDC_SLIDER1_VALUE, &m_nFit, 2, 100, 10}};
}

void CCurvDlg::DoDataExchange(CDataExchange* pDX)
{
    CSliderDialog::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_RADIO1, m_nMethod);
    DDX_Text(pDX, IDC_THRES_LOW, m_fThresLow);
    DDX_Text(pDX, IDC_THRES_HIGH, m_fThresHigh);
    DDX_Text(pDX, IDC_SEGMENT_WIDTH, m_nSegmentFilterFit);
    DDV_MinMaxInt(pDX, m_nSegmentFilterFit, 5, 1000);
    DDX_Text(pDX, IDC_SEGMENT_THRES, m_fSegmentFilterThres);
    DDV_MinMaxFloat(pDX, m_fSegmentFilterThres, 0.0f, 1.0f);
    DDX_Text(pDX, IDC_LINEFIT_WIDTH, m_nLineFitWidth);
    DDV_MinMaxInt(pDX, m_nLineFitWidth, 10, 1000);
}

// ---- convex/concave ------------------------------------------------------------------------

CConvexDlg::CConvexDlg(CWnd* pParentWnd) : CSliderDialog(IDD_CONVEX, pParentWnd)
{
    m_sliders = {{IDC_SLIDER1, IDC_SLIDER1_VALUE, &m_nFit, 3, 33, 5},
                 {IDC_SLIDER2, IDC_SLIDER2_VALUE, &m_nConvex, 0, 10, 1},
                 {IDC_SLIDER3, IDC_SLIDER3_VALUE, &m_nConcave, 0, 10, 1}};
}

void CConvexDlg::DoDataExchange(CDataExchange* pDX)
{
    CSliderDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_DISTANCE, m_nDistance);
}
