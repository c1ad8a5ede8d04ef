// Page 1 of the form-parameter sheet: the features as rows of a list, each
// with its lower and upper limit and their switches.

#include "analysis/formthres.h"
#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/formdlgs.h"
#include "analysis/ui/parameterfile.h"
#include "analysis/ui/sliderdlgs.h"

#include "platform/ui/ddx.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>

using namespace kestrun::analysisui;

IMPLEMENT_DYNAMIC(CFormDlg1, CPropertyPage)

namespace {

constexpr const char* kSection = "Formparameter";

enum
{
    ColumnName,
    ColumnMin,
    ColumnMinAction,
    ColumnMax,
    ColumnMaxAction,
};

enum class CRowKind
{
    Value,
    Colour,
    Appendix,
};

struct sFormRow
{
    const char* name;
    DWORD bit;
    CRowKind kind;
    double (*get)(const CFeature&);
    void (*set)(CFeature&, double);
};

const sFormRow kRows[] = {
    {"Area", featureArea, CRowKind::Value, [](const CFeature& f) { return double(f.m_fArea); },
     [](CFeature& f, double v) { f.m_fArea = static_cast<float>(v); }},
    {"Formfactor", featureFormFactor, CRowKind::Value, [](const CFeature& f) { return double(f.m_fFormFactor); },
     [](CFeature& f, double v) { f.m_fFormFactor = static_cast<float>(v); }},
    {"Length", featureLength, CRowKind::Value, [](const CFeature& f) { return double(f.m_fLength); },
     [](CFeature& f, double v) { f.m_fLength = static_cast<float>(v); }},
    {"Width", featureWidth, CRowKind::Value, [](const CFeature& f) { return double(f.m_fWidth); },
     [](CFeature& f, double v) { f.m_fWidth = static_cast<float>(v); }},
    {"Color (Avg.)", featureColors, CRowKind::Colour, nullptr, nullptr},
    {"Homogenity", featureHomogeneity, CRowKind::Value, [](const CFeature& f) { return f.m_dHomogeneity; },
     [](CFeature& f, double v) { f.m_dHomogeneity = v; }},
    {"Convexity", featureConvexity, CRowKind::Value, [](const CFeature& f) { return f.m_dConvexity; },
     [](CFeature& f, double v) { f.m_dConvexity = v; }},
    {"Holes", featureHoleArea, CRowKind::Value, [](const CFeature& f) { return double(f.m_fHoleArea); },
     [](CFeature& f, double v) { f.m_fHoleArea = static_cast<float>(v); }},
    {"Appendix", featureTailOrMovement, CRowKind::Appendix, nullptr, nullptr},
};
constexpr int kRowCount = static_cast<int>(std::size(kRows));
constexpr int kAppendixRow = kRowCount - 1;

CString trimmed(const CString& text)
{
    CString copy = text;
    copy.Trim();
    return copy;
}

std::optional<double> readDecimal(const CString& text)
{
    const CString value = trimmed(text);
    const char* begin = value;
    char* end = nullptr;
    const double number = std::strtod(begin, &end);
    if (end == begin || *end != '\0' || !std::isfinite(number))
        return std::nullopt;
    return number;
}

std::optional<int> readInteger(const CString& text)
{
    const CString value = trimmed(text);
    const char* begin = value;
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(begin, &end, 10);
    if (end == begin || *end != '\0' || errno == ERANGE || number < INT_MIN || number > INT_MAX)
        return std::nullopt;
    return static_cast<int>(number);
}

// "RR-GG-BB" in hexadecimal; a shorter text is black.
std::optional<COLORREF> readColour(const CString& text)
{
    if (text.GetLength() < 8)
        return RGB(0, 0, 0);
    const CString value = trimmed(text);
    if (value.GetLength() != 8 || value[2] != '-' || value[5] != '-')
        return std::nullopt;
    int bytes[3] = {};
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 2; ++k) {
            const char c = value[3 * i + k];
            if (!std::isxdigit(static_cast<unsigned char>(c)))
                return std::nullopt;
            const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(c) - 'A' + 10;
            bytes[i] = bytes[i] * 16 + digit;
        }
    }
    return RGB(bytes[0], bytes[1], bytes[2]);
}

CString colourText(COLORREF colour)
{
    return FormatString("%02X-%02X-%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

CString limitText(const sFormRow& row, const CFeature& limit)
{
    if (row.kind == CRowKind::Colour)
        return colourText(limit.m_MeanColor);
    return FormatString("%.*g", 6, row.get(limit));
}

const char* switchText(const CFeature& limit, DWORD bit)
{
    return (limit.m_dwFeatureFlags & bit) != 0 ? "+" : "-";
}

// The limit of a row from its text into the feature; false when it does
// not read.
bool readLimit(const sFormRow& row, const CString& text, CFeature& limit)
{
    // A text as it was shown keeps the value it showed in its full precision.
    if (text == limitText(row, limit))
        return true;
    if (row.kind == CRowKind::Colour) {
        const std::optional<COLORREF> colour = readColour(text);
        if (colour)
            limit.m_MeanColor = *colour;
        return colour.has_value();
    }
    const std::optional<double> value = readDecimal(text);
    if (value)
        row.set(limit, *value);
    return value.has_value();
}

void refuseRow(const sFormRow& row, const CString& text)
{
    AfxMessageBox(FormatString("%s: \"%s\" is not a valid value.", row.name, static_cast<const char*>(text)),
                  MB_ICONEXCLAMATION);
}

} // namespace

BEGIN_MESSAGE_MAP(CFormDlg1, CPropertyPage)
    ON_BN_CLICKED(IDC_DEFAULT, OnDefault)
    ON_BN_CLICKED(IDC_FORM_LOAD, OnLoad)
    ON_BN_CLICKED(IDC_FORM_SAVE, OnSave)
END_MESSAGE_MAP()

CFormDlg1::CFormDlg1() : CPropertyPage((RegisterAnalysisDialogs(), IDD_FORM_OBJECT))
{
    BuildMessageMap();
}

CFormDlg1::~CFormDlg1()
{
    DestroyHandleNow();
}

BOOL CFormDlg1::OnInitDialog()
{
    m_List.SubclassDlgItem(IDC_FORM_LIST, this);
    m_List.DeleteAllItems();
    while (m_List.GetColumnCount() > 0)
        m_List.DeleteColumn(0);
    m_List.InsertColumn(ColumnName, "Parameter", LVCFMT_LEFT, 84);
    m_List.InsertColumn(ColumnMin, "Min", LVCFMT_RIGHT, 59);
    m_List.InsertColumn(ColumnMinAction, "Action", LVCFMT_CENTER, 44);
    m_List.InsertColumn(ColumnMax, "Max", LVCFMT_RIGHT, 59);
    m_List.InsertColumn(ColumnMaxAction, "Action", LVCFMT_CENTER, 44);
    m_List.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    m_List.AddColumnControl(CNeuListCtrl::ControlEdit, ColumnMin);
    m_List.AddColumnControl(CNeuListCtrl::ControlCheckBox, ColumnMinAction);
    m_List.AddColumnControl(CNeuListCtrl::ControlEdit, ColumnMax);
    m_List.AddColumnControl(CNeuListCtrl::ControlCheckBox, ColumnMaxAction);
    // The appendix row has one value, its sensitivity: no upper limit.
    m_List.SetCellRule(kAppendixRow, m_List.FindColumnControl(ColumnMax), CNeuListCtrl::RuleHidden);
    m_List.SetCellRule(kAppendixRow, m_List.FindColumnControl(ColumnMaxAction), CNeuListCtrl::RuleHidden);
    m_List.SetCellMessage(ColumnMinAction, BN_CLICKED,
                          [this](int nRow, int nColumn) { OnActionClicked(nRow, nColumn); });
    FillList();
    return CPropertyPage::OnInitDialog();
}

void CFormDlg1::FillList()
{
    m_List.DeleteAllItems();
    const CFeature& lower = m_pFormThres->m_ObjectFilter.m_Min;
    const CFeature& upper = m_pFormThres->m_ObjectFilter.m_Max;
    for (int i = 0; i < kRowCount; ++i) {
        const sFormRow& row = kRows[i];
        m_List.InsertItem(i, row.name);
        if (row.kind == CRowKind::Appendix) {
            const int sensitivity = m_pFormThres->m_FlagellumDetection;
            m_List.SetItemText(i, ColumnMin, FormatString("%.0lf", static_cast<double>(sensitivity)));
            m_List.SetItemText(i, ColumnMinAction, sensitivity != 0 ? "+" : "-");
        } else {
            m_List.SetItemText(i, ColumnMin, limitText(row, lower));
            m_List.SetItemText(i, ColumnMinAction, switchText(lower, row.bit));
            m_List.SetItemText(i, ColumnMax, limitText(row, upper));
            m_List.SetItemText(i, ColumnMaxAction, switchText(upper, row.bit));
        }
        m_List.SetCheck(i, m_pFormThres->TestFlagBit(row.bit));
    }
}

void CFormDlg1::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    if (!pDX->m_bSaveAndValidate) {
        m_bHitBoundary = m_pFormThres->TestFlagBit(featureBorderContact) ? BST_CHECKED : BST_UNCHECKED;
        m_bHitBoundaryShown = m_bHitBoundary;
    }
    DDX_Check(pDX, IDC_HIT_BOUNDARY, m_bHitBoundary);
    const bool list = m_List.GetSafeHwnd() != nullptr && m_List.GetItemCount() == kRowCount;
    if (pDX->m_bSaveAndValidate) {
        if (list) {
            for (int i = 0; i < kRowCount; ++i)
                m_pFormThres->SetFlagBit(kRows[i].bit, m_List.GetCheck(i) ? 1 : 0);
        }
        const int hit = m_bHitBoundary == BST_CHECKED ? 1 : 0;
        m_pFormThres->SetFlagBit(featureBorderContact, hit);
        // The filter word follows the box when the user switched it: a
        // profile whose two bits disagree is not changed by an OK alone.
        if (m_bHitBoundary != m_bHitBoundaryShown)
            m_pFormThres->m_ObjectFilter.SetFlagBit(featureBorderContact, hit);
    } else if (list) {
        for (int i = 0; i < kRowCount; ++i)
            m_List.SetCheck(i, m_pFormThres->TestFlagBit(kRows[i].bit));
    }
}

bool CFormDlg1::TakeListOver()
{
    m_List.RefreshTexts();
    // Into a copy: a row that does not read leaves everything as it was.
    CFormThres result = *m_pFormThres;
    CFeature& lower = result.m_ObjectFilter.m_Min;
    CFeature& upper = result.m_ObjectFilter.m_Max;
    for (int i = 0; i < kRowCount; ++i) {
        const sFormRow& row = kRows[i];
        result.SetFlagBit(row.bit, m_List.GetCheck(i) ? 1 : 0);
        const CString minText = m_List.GetItemText(i, ColumnMin);
        if (row.kind == CRowKind::Appendix) {
            const std::optional<int> sensitivity = readInteger(minText);
            if (!sensitivity) {
                refuseRow(row, minText);
                return false;
            }
            result.m_FlagellumDetection = *sensitivity;
            continue;
        }
        const CString maxText = m_List.GetItemText(i, ColumnMax);
        if (!readLimit(row, minText, lower)) {
            refuseRow(row, minText);
            return false;
        }
        if (!readLimit(row, maxText, upper)) {
            refuseRow(row, maxText);
            return false;
        }
        lower.SetFeatureFlag(row.bit, m_List.GetItemText(i, ColumnMinAction) == "+" ? 1 : 0);
        upper.SetFeatureFlag(row.bit, m_List.GetItemText(i, ColumnMaxAction) == "+" ? 1 : 0);
    }
    *m_pFormThres = result;
    return true;
}

void CFormDlg1::OnActionClicked(int nRow, int)
{
    if (nRow != kAppendixRow)
        return;
    m_List.RefreshTexts();
    CSensitivityDlg dialog(this);
    dialog.m_strText = "Sensitivity Tail Detection";
    dialog.m_nValue = readInteger(m_List.GetItemText(nRow, ColumnMin)).value_or(0);
    if (dialog.DoModal() != IDOK)
        return;
    m_List.SetItemText(nRow, ColumnMin, FormatString("%d", dialog.m_nValue));
    m_List.LayoutControls(TRUE);
}

void CFormDlg1::OnDefault()
{
    m_pFormThres->SetFlagBit(0x1 | 0x2 | featureArea | featureFormFactor, 1);
    UpdateData(FALSE);
}

void CFormDlg1::OnLoad()
{
    const CString path = AskParameterFile(true, "Save Parameter", this);
    if (path.IsEmpty() || !HasParameterSection(path, kSection))
        return;
    CFormThres loaded = *m_pFormThres;
    loaded.LoadIni(kSection, path);
    *m_pFormThres = loaded;
    FillList();
    UpdateData(FALSE);
}

void CFormDlg1::OnSave()
{
    // The file gets what the page shows, as OK takes it.
    if (!UpdateData(TRUE) || !TakeListOver())
        return;
    const CString path = AskParameterFile(false, "Save Parameter", this);
    if (path.IsEmpty())
        return;
    WriteParameterFile(path, [this](const CString& file) { m_pFormThres->SaveIni(kSection, file); });
}
