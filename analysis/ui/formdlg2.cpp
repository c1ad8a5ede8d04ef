// Page 2 of the form-parameter sheet: the nucleus filters, each switched
// on by its check box, with a button that edits its limits.

#include "analysis/formthres.h"
#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/formdlgs.h"
#include "analysis/ui/fpardlgs.h"

#include "platform/ui/ddx.h"

using namespace kestrun::analysisui;

IMPLEMENT_DYNAMIC(CFormDlg2, CPropertyPage)

namespace {

enum class CLimitDialog
{
    Long,
    Float,
    Colour,
};

struct sNucleusFilter
{
    DWORD bit;
    CLimitDialog dialog;
    const char* lowerLabel;
    const char* upperLabel;
    double (*get)(const CFeature&);
    void (*set)(CFeature&, double);
};

const sNucleusFilter kFilters[] = {
    {featureNuclei, CLimitDialog::Long, "Min Anz. Nuclei", "Max Anz. Nuclei",
     [](const CFeature& f) { return double(f.m_wNuclei); },
     [](CFeature& f, double v) { f.m_wNuclei = static_cast<WORD>(v); }},
    {featureNucleusRatio, CLimitDialog::Float, "Min Cell/Nucl", "Max Cell/Nucl",
     [](const CFeature& f) { return double(f.m_fNucleusRatio); },
     [](CFeature& f, double v) { f.m_fNucleusRatio = static_cast<float>(v); }},
    {featureArea, CLimitDialog::Float, "Min Area(Units)", "Max Area(Units)",
     [](const CFeature& f) { return double(f.m_fArea); },
     [](CFeature& f, double v) { f.m_fArea = static_cast<float>(v); }},
    {featureFormFactor, CLimitDialog::Float, "Min Formfactor", "Max Formfactor",
     [](const CFeature& f) { return double(f.m_fFormFactor); },
     [](CFeature& f, double v) { f.m_fFormFactor = static_cast<float>(v); }},
    {featureColors, CLimitDialog::Colour, "Min Color (Mean)", "Max Color (Mean)", nullptr, nullptr},
    {featureHomogeneity, CLimitDialog::Float, "Min Homogenity", "Max Homogenity",
     [](const CFeature& f) { return f.m_dHomogeneity; }, [](CFeature& f, double v) { f.m_dHomogeneity = v; }},
};
constexpr int kFilterCount = static_cast<int>(std::size(kFilters));

int switchOf(const CFeature& limit, DWORD bit)
{
    return (limit.m_dwFeatureFlags & bit) != 0 ? BST_CHECKED : BST_UNCHECKED;
}

// The labels and switches of a limits dialog from the filter.
template <class Dialog>
void showSwitches(Dialog& dialog, const sNucleusFilter& filter, const CFeature& lower, const CFeature& upper)
{
    dialog.m_strLabel1 = filter.lowerLabel;
    dialog.m_strLabel2 = filter.upperLabel;
    dialog.m_bLower = switchOf(lower, filter.bit);
    dialog.m_bUpper = switchOf(upper, filter.bit);
}

template <class Dialog>
void takeSwitches(const Dialog& dialog, const sNucleusFilter& filter, CFeature& lower, CFeature& upper)
{
    lower.SetFeatureFlag(filter.bit, dialog.m_bLower == BST_CHECKED ? 1 : 0);
    upper.SetFeatureFlag(filter.bit, dialog.m_bUpper == BST_CHECKED ? 1 : 0);
}

// A limits dialog of numbers (CFParLong or CFParFloat, by their value type).
template <class Dialog, class Value>
bool editNumbers(const sNucleusFilter& filter, CFeature& lower, CFeature& upper, CWnd* parent,
                 Value Dialog::*lowerValue, Value Dialog::*upperValue)
{
    Dialog dialog(parent);
    showSwitches(dialog, filter, lower, upper);
    dialog.*lowerValue = static_cast<Value>(filter.get(lower));
    dialog.*upperValue = static_cast<Value>(filter.get(upper));
    if (dialog.DoModal() != IDOK)
        return false;
    takeSwitches(dialog, filter, lower, upper);
    filter.set(lower, dialog.*lowerValue);
    filter.set(upper, dialog.*upperValue);
    return true;
}

bool editColours(const sNucleusFilter& filter, CFeature& lower, CFeature& upper, CWnd* parent)
{
    CFParaRGB dialog(parent);
    showSwitches(dialog, filter, lower, upper);
    dialog.m_fLowerRed = GetRValue(lower.m_MeanColor);
    dialog.m_fLowerGreen = GetGValue(lower.m_MeanColor);
    dialog.m_fLowerBlue = GetBValue(lower.m_MeanColor);
    dialog.m_fUpperRed = GetRValue(upper.m_MeanColor);
    dialog.m_fUpperGreen = GetGValue(upper.m_MeanColor);
    dialog.m_fUpperBlue = GetBValue(upper.m_MeanColor);
    if (dialog.DoModal() != IDOK)
        return false;
    takeSwitches(dialog, filter, lower, upper);
    auto byte = [](float v) { return static_cast<BYTE>(v); };
    lower.m_MeanColor = RGB(byte(dialog.m_fLowerRed), byte(dialog.m_fLowerGreen), byte(dialog.m_fLowerBlue));
    upper.m_MeanColor = RGB(byte(dialog.m_fUpperRed), byte(dialog.m_fUpperGreen), byte(dialog.m_fUpperBlue));
    return true;
}

// The limits dialog of the filter on the two limits; true after OK.
bool editLimits(const sNucleusFilter& filter, CFeature& lower, CFeature& upper, CWnd* parent)
{
    switch (filter.dialog) {
    case CLimitDialog::Long:
        return editNumbers(filter, lower, upper, parent, &CFParLong::m_nLower, &CFParLong::m_nUpper);
    case CLimitDialog::Float:
        return editNumbers(filter, lower, upper, parent, &CFParFloat::m_fLower, &CFParFloat::m_fUpper);
    case CLimitDialog::Colour:
        return editColours(filter, lower, upper, parent);
    }
    return false;
}

} // namespace

BEGIN_MESSAGE_MAP(CFormDlg2, CPropertyPage)
    ON_COMMAND_RANGE(IDC_NUCLEI, IDC_NUCLEI + 5, OnCheck)
    ON_COMMAND_RANGE(IDC_NUCLEI_FILTER, IDC_NUCLEI_FILTER + 5, OnFilter)
END_MESSAGE_MAP()

CFormDlg2::CFormDlg2() : CPropertyPage((RegisterAnalysisDialogs(), IDD_FORM_NUCLEUS))
{
    BuildMessageMap();
}

CFormDlg2::~CFormDlg2()
{
    DestroyHandleNow();
}

BOOL CFormDlg2::OnInitDialog()
{
    const BOOL result = CPropertyPage::OnInitDialog();
    RefreshButtons();
    return result;
}

void CFormDlg2::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    for (int i = 0; i < kFilterCount; ++i) {
        const DWORD bit = kFilters[i].bit;
        if (!pDX->m_bSaveAndValidate)
            m_bChecks[i] = (m_pFormThres->m_Option & bit) != 0 ? BST_CHECKED : BST_UNCHECKED;
        DDX_Check(pDX, static_cast<int>(IDC_NUCLEI) + i, m_bChecks[i]);
        if (pDX->m_bSaveAndValidate)
            m_pFormThres->SetOptionBit(bit, m_bChecks[i] == BST_CHECKED ? 1 : 0);
    }
}

void CFormDlg2::OnCheck(UINT)
{
    UpdateData(TRUE);
    RefreshButtons();
}

void CFormDlg2::OnFilter(UINT nID)
{
    const sNucleusFilter& filter = kFilters[nID - IDC_NUCLEI_FILTER];
    if (editLimits(filter, m_pFormThres->m_ObjectFilter.m_Min, m_pFormThres->m_ObjectFilter.m_Max, this))
        RefreshButtons();
}

void CFormDlg2::RefreshButtons()
{
    const CFeature& lower = m_pFormThres->m_ObjectFilter.m_Min;
    const CFeature& upper = m_pFormThres->m_ObjectFilter.m_Max;
    for (int i = 0; i < kFilterCount; ++i) {
        const DWORD bit = kFilters[i].bit;
        CString text = "- Filter -";
        if (switchOf(lower, bit) == BST_CHECKED)
            text.SetAt(0, '+');
        if (switchOf(upper, bit) == BST_CHECKED)
            text.SetAt(text.GetLength() - 1, '+');
        CWnd* button = GetDlgItem(static_cast<int>(IDC_NUCLEI_FILTER) + i);
        button->SetWindowText(text);
        button->EnableWindow(IsDlgButtonChecked(static_cast<int>(IDC_NUCLEI) + i) == BST_CHECKED);
    }
}
