#include "analysis/ui/filtersettingsdlg.h"

#include "analysis/filterparams.h"
#include "analysis/ui/analysisdlgresources.h"

#include "platform/ui/ddx.h"
#include "platform/ui/listboxes.h"

#include <algorithm>

using namespace kestrun::analysisui;

namespace {

// Entry i is OpenCV's morphology operation i + 2.
constexpr const char* kMorphologies[] = {"Opening", "Closing", "Gradient", "Tophat", "Blackhat"};
constexpr int kFirstOperation = 2;
constexpr int kLastOperation = kFirstOperation + static_cast<int>(std::size(kMorphologies)) - 1;

} // namespace

CFilterSettingsDlg::CFilterSettingsDlg(CWnd* pParentWnd)
    : CDialog((RegisterAnalysisDialogs(), IDD_FILTER_SETTINGS), pParentWnd)
{
}

BOOL CFilterSettingsDlg::Edit(sFilterParameters& params, CWnd* pParentWnd)
{
    CFilterSettingsDlg dialog(pParentWnd);
    dialog.m_nIterations = params.Iterations;
    dialog.m_nKernelWidth = params.KernelWidth;
    dialog.m_dCanny1 = params.ThresholdCanny1;
    dialog.m_dCanny2 = params.ThresholdCanny2;
    dialog.m_nMorphologyType = params.MorphologyType;
    if (dialog.DoModal() != IDOK)
        return FALSE;
    params.Iterations = dialog.m_nIterations;
    params.KernelWidth = dialog.m_nKernelWidth;
    params.ThresholdCanny1 = dialog.m_dCanny1;
    params.ThresholdCanny2 = dialog.m_dCanny2;
    params.MorphologyType = dialog.m_nMorphologyType;
    return TRUE;
}

BOOL CFilterSettingsDlg::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_MORPHOLOGY));
    for (const char* name : kMorphologies)
        combo->AddString(name);
    m_nMorphologyType = std::clamp(m_nMorphologyType, kFirstOperation, kLastOperation);
    combo->SetCurSel(m_nMorphologyType - kFirstOperation);
    return result;
}

void CFilterSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_ITERATIONS, m_nIterations);
    DDV_MinMaxInt(pDX, m_nIterations, 1, 20);
    DDX_Text(pDX, IDC_KERNEL_WIDTH, m_nKernelWidth);
    DDV_MinMaxInt(pDX, m_nKernelWidth, 3, 25);
    // The filters take odd kernels only.
    if (pDX->m_bSaveAndValidate && m_nKernelWidth % 2 == 0) {
        CString message;
        AfxFormatString2(message, AFX_IDP_PARSE_INT_RANGE, "3", "25");
        AfxMessageBox(message + "\nThe kernel width must be odd.", MB_ICONEXCLAMATION);
        pDX->Fail();
    }
    DDX_Text(pDX, IDC_CANNY1, m_dCanny1);
    DDX_Text(pDX, IDC_CANNY2, m_dCanny2);
}

void CFilterSettingsDlg::OnOK()
{
    const auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_MORPHOLOGY));
    const int previous = m_nMorphologyType;
    m_nMorphologyType = combo->GetCurSel() + kFirstOperation;
    if (!UpdateData(TRUE)) {
        m_nMorphologyType = previous;
        return;
    }
    EndDialog(IDOK);
}
