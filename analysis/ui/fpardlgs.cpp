#include "analysis/ui/fpardlgs.h"

#include "analysis/ui/analysisdlgresources.h"

#include "platform/ui/ddx.h"

using namespace kestrun::analysisui;

namespace {

void exchangeSwitches(CDataExchange* pDX, int& upper, int& lower)
{
    DDX_Check(pDX, IDC_UPPER_SWITCH, upper);
    DDX_Check(pDX, IDC_LOWER_SWITCH, lower);
}

} // namespace

// ---- real values ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CFParFloat, CDialog)
    ON_BN_CLICKED(IDC_DEFAULT, OnDefault)
END_MESSAGE_MAP()

CFParFloat::CFParFloat(CWnd* pParentWnd) : CDialog((RegisterAnalysisDialogs(), IDD_FPAR), pParentWnd)
{
    BuildMessageMap();
}

BOOL CFParFloat::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    const struct
    {
        UINT id;
        int show;
    } edits[] = {{IDC_LOWER_LIMIT, m_bShowValue1}, {IDC_UPPER_LIMIT, m_bShowValue2}};
    for (const auto& edit : edits) {
        if (edit.show == 0)
            GetDlgItem(static_cast<int>(edit.id))->ShowWindow(SW_HIDE);
    }
    const struct
    {
        UINT id;
        int show;
        const CString& label;
    } checks[] = {{IDC_LOWER_SWITCH, m_bShowCheck1, m_strLabel1}, {IDC_UPPER_SWITCH, m_bShowCheck2, m_strLabel2}};
    for (const auto& check : checks) {
        if (check.show == 0)
            GetDlgItem(static_cast<int>(check.id))->ShowWindow(SW_HIDE);
        else
            SetDlgItemText(static_cast<int>(check.id), check.label);
    }
    return result;
}

void CFParFloat::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    exchangeSwitches(pDX, m_bUpper, m_bLower);
    DDX_Text(pDX, IDC_UPPER_LIMIT, m_fUpper);
    DDX_Text(pDX, IDC_LOWER_LIMIT, m_fLower);
}

void CFParFloat::OnDefault()
{
    m_fUpper = m_fDefaultUpper;
    m_fLower = m_fDefaultLower;
    m_bLower = m_bDefaultLower;
    m_bUpper = m_bDefaultUpper;
    UpdateData(FALSE);
}

// ---- counts --------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CFParLong, CDialog)
    ON_BN_CLICKED(IDC_DEFAULT, OnDefault)
END_MESSAGE_MAP()

CFParLong::CFParLong(CWnd* pParentWnd) : CDialog((RegisterAnalysisDialogs(), IDD_FPAR), pParentWnd)
{
    BuildMessageMap();
}

BOOL CFParLong::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    SetDlgItemText(IDC_LOWER_SWITCH, m_strLabel1);
    SetDlgItemText(IDC_UPPER_SWITCH, m_strLabel2);
    return result;
}

void CFParLong::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    exchangeSwitches(pDX, m_bUpper, m_bLower);
    DDX_Text(pDX, IDC_UPPER_LIMIT, m_nUpper);
    DDV_MinMaxInt(pDX, m_nUpper, 1, 500000);
    DDX_Text(pDX, IDC_LOWER_LIMIT, m_nLower);
    DDV_MinMaxInt(pDX, m_nLower, 0, 500000);
}

void CFParLong::OnDefault()
{
    m_nUpper = m_nDefaultUpper;
    m_nLower = m_nDefaultLower;
    UpdateData(FALSE);
}

// ---- colours -------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CFParaRGB, CDialog)
    ON_BN_CLICKED(IDC_DEFAULT, OnDefault)
END_MESSAGE_MAP()

CFParaRGB::CFParaRGB(CWnd* pParentWnd) : CDialog((RegisterAnalysisDialogs(), IDD_FPARA_RGB), pParentWnd)
{
    BuildMessageMap();
}

void CFParaRGB::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    exchangeSwitches(pDX, m_bUpper, m_bLower);
    const struct
    {
        UINT id;
        float& value;
    } colours[] = {{IDC_UPPER_BLUE, m_fUpperBlue}, {IDC_UPPER_GREEN, m_fUpperGreen}, {IDC_UPPER_RED, m_fUpperRed},
                   {IDC_LOWER_BLUE, m_fLowerBlue}, {IDC_LOWER_GREEN, m_fLowerGreen}, {IDC_LOWER_RED, m_fLowerRed}};
    for (const auto& colour : colours) {
        DDX_Text(pDX, static_cast<int>(colour.id), colour.value);
        DDV_MinMaxFloat(pDX, colour.value, 0.0f, 255.0f);
    }
}

void CFParaRGB::OnDefault()
{
    m_fUpperRed = GetRValue(m_DefaultUpper);
    m_fUpperGreen = GetGValue(m_DefaultUpper);
    m_fUpperBlue = GetBValue(m_DefaultUpper);
    m_fLowerRed = GetRValue(m_DefaultLower);
    m_fLowerGreen = GetGValue(m_DefaultLower);
    m_fLowerBlue = GetBValue(m_DefaultLower);
    UpdateData(FALSE);
}
