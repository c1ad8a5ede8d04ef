#include "analysis/ui/smoothdlg.h"

#include "analysis/ui/analysisdlgresources.h"

#include "platform/ui/ddx.h"

#include <algorithm>

using namespace kestrun::analysisui;

CSmoothDLG::CSmoothDLG(CWnd* pParentWnd) : CDialog((RegisterAnalysisDialogs(), IDD_SMOOTH), pParentWnd)
{
}

BOOL CSmoothDLG::OnInitDialog()
{
    m_bSmoothField = m_bSmooth != 0 ? BST_CHECKED : BST_UNCHECKED;
    std::copy(std::begin(m_nGrade), std::end(m_nGrade), m_nGradeField);
    std::copy(std::begin(m_nMaxTurns), std::end(m_nMaxTurns), m_nMaxTurnsField);
    return CDialog::OnInitDialog();
}

void CSmoothDLG::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_SMOOTH, m_bSmoothField);
    for (int i = 0; i < passes; ++i) {
        DDX_Text(pDX, static_cast<int>(IDC_SMOOTH_GRADE0) + i, m_nGradeField[i]);
        DDV_MinMaxInt(pDX, m_nGradeField[i], 0, 5);
        DDX_Text(pDX, static_cast<int>(IDC_SMOOTH_TURNS0) + i, m_nMaxTurnsField[i]);
        DDV_MinMaxInt(pDX, m_nMaxTurnsField[i], 0, 999);
    }
}

void CSmoothDLG::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    // A smoothing mode stays as it was while the box stays ticked.
    if (m_bSmoothField != BST_CHECKED)
        m_bSmooth = 0;
    else if (m_bSmooth == 0)
        m_bSmooth = 1;
    std::copy(std::begin(m_nGradeField), std::end(m_nGradeField), m_nGrade);
    std::copy(std::begin(m_nMaxTurnsField), std::end(m_nMaxTurnsField), m_nMaxTurns);
    EndDialog(IDOK);
}
