#include "analysis/ui/infolearnclass.h"

#include "analysis/classes.h"
#include "analysis/featurecodes.h"
#include "analysis/objdatabase.h"
#include "analysis/ui/infodlgresources.h"

#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/staticedit.h"
#include "platform/ui/winapp.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>

using namespace kestrun::analysisui;

namespace {

struct FeatureName
{
    const char* name;
    int code;
};

constexpr std::array<FeatureName, 8> kFeatures{{
    {"Area", 1},
    {"Form", 2},
    {"Length", 4},
    {"Width", 8},
    {"Roundness", 16},
    {"Color Red", 32},
    {"Color Green", 64},
    {"Color Blue", 128},
}};

constexpr const char* kColumns[] = {"Index", "Name", "Min", "Max", "Avg", "Dev"};
constexpr int kDefaultWidths[] = {40, 100, 50, 50, 50, 50};
constexpr const char* kSection = "InfoLearnClass";

CString twoDecimals(double value)
{
    CString text;
    text.Format("%.2lf", value);
    return text;
}

// A whole text that reads as a finite number.
bool readNumber(const CString& text, double& value)
{
    CString trimmed = text;
    trimmed.Trim();
    if (trimmed.IsEmpty())
        return false;
    const char* begin = trimmed.GetString();
    char* end = nullptr;
    errno = 0;
    value = std::strtod(begin, &end);
    return errno == 0 && end != begin && *end == '\0' && std::isfinite(value);
}

int profileInt(const char* key, int def)
{
    CWinApp* app = AfxGetApp();
    return app != nullptr ? static_cast<int>(app->GetProfileInt(kSection, key, def)) : def;
}

} // namespace

BEGIN_MESSAGE_MAP(CInfoLearnClass, CInfoToolDlg)
    ON_BN_CLICKED(IDC_CLASS_ADD, OnAdd)
    ON_BN_CLICKED(IDC_CLASS_MODIFY, OnModify)
    ON_BN_CLICKED(IDC_CLASS_DELETE, OnDelete)
    ON_BN_CLICKED(IDC_CLASS_RESET, OnReset)
    ON_BN_CLICKED(IDC_CLASS_COLOR, OnColor)
    ON_BN_CLICKED(IDC_CLASS_LEARN, OnLearn)
    ON_BN_CLICKED(IDC_CLASS_INCLUDE, OnInclude)
    ON_BN_CLICKED(IDC_CLASS_EXCLUDE, OnExclude)
    ON_BN_CLICKED(IDC_CLASS_HELP, OnHelp)
    ON_CBN_EDITCHANGE(IDC_CLASS_NAME, OnNameChanged)
    ON_CBN_SELCHANGE(IDC_CLASS_NAME, OnSelectClass)
    ON_NOTIFY(NM_DBLCLK, IDC_CLASS_FEATURES, OnFeatureDoubleClick)
    ON_EN_KILLFOCUS(kEditorId, OnEditorDone)
END_MESSAGE_MAP()

CInfoLearnClass::CInfoLearnClass(CWnd* pOwner, CClasses& classes)
    : CInfoToolDlg(IDD_INFO_LEARN_CLASS, pOwner), m_Classes(classes)
{
    BuildMessageMap();
}

CInfoLearnClass::~CInfoLearnClass()
{
    DestroyHandleNow();
}

int CInfoLearnClass::FeatureCode(const CString& name)
{
    for (const FeatureName& feature : kFeatures)
        if (name == feature.name)
            return feature.code;
    return -1;
}

BOOL CInfoLearnClass::OnInitDialog()
{
    const BOOL result = CInfoToolDlg::OnInitDialog();
    m_ColorButton.SubclassDlgItem(IDC_CLASS_COLOR, this);
    m_List.SubclassDlgItem(IDC_CLASS_FEATURES, this);
    m_List.SetExtendedStyle(m_List.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    for (int i = 0; i < colCount; ++i) {
        CString key;
        key.Format("Width%d", i);
        m_List.InsertColumn(i, kColumns[i], LVCFMT_LEFT, profileInt(key, kDefaultWidths[i]));
    }
    if (m_nCurrent < 0 && m_Classes.GetCount() > 0)
        m_nCurrent = 0;
    RefreshClassList();
    return result;
}

void CInfoLearnClass::OnOK()
{
    if (CWinApp* app = AfxGetApp()) {
        for (int i = 0; i < colCount; ++i) {
            CString key;
            key.Format("Width%d", i);
            app->WriteProfileInt(kSection, key, m_List.GetColumnWidth(i));
        }
    }
    Close(1);
}

CString CInfoLearnClass::ComboText() const
{
    CString text;
    GetDlgItemText(IDC_CLASS_NAME, text);
    text.Trim();
    return text;
}

int CInfoLearnClass::FindNamedClass() const
{
    const CString name = ComboText();
    for (int i = 0; i < m_Classes.GetCount(); ++i)
        if (m_Classes[i].m_strName == name)
            return i;
    return -1;
}

// ---- the class buttons -------------------------------------------------------------------------

void CInfoLearnClass::OnAdd()
{
    const CString name = ComboText();
    if (name.IsEmpty())
        return; // a class needs a name
    if (!m_Classes.AddClass(name)) {
        AfxMessageBox("Klasse existiert bereits");
        return;
    }
    m_nCurrent = m_Classes.GetLastIndex();
    m_Classes.ElementAt(m_nCurrent).AddFeature("Area", 1, 0.0, 0.0);
    m_bModified = false;
    RefreshClassList();
    if (m_pOwner != nullptr && m_pOwner->GetSafeHwnd() != nullptr)
        m_pOwner->SendMessage(WM_COMMAND, ID_CLASS_ADDED, 0);
}

void CInfoLearnClass::OnModify()
{
    if (m_nCurrent < 0 || m_nCurrent >= m_Classes.GetCount())
        return;
    const CString name = ComboText();
    if (name.IsEmpty())
        return;
    const int named = FindNamedClass();
    if (named >= 0 && named != m_nCurrent) {
        AfxMessageBox("Klasse existiert bereits");
        return;
    }
    m_Classes.ElementAt(m_nCurrent).m_strName = name;
    m_bModified = false;
    RefreshClassList();
}

void CInfoLearnClass::OnDelete()
{
    const int named = FindNamedClass();
    if (named < 0) {
        AfxMessageBox("Klasse nicht vorhanden");
        return;
    }
    m_Classes.RemoveAt(named);
    if (m_nCurrent >= named && m_nCurrent > 0)
        --m_nCurrent;
    RefreshClassList();
}

void CInfoLearnClass::OnReset()
{
    const int named = FindNamedClass();
    if (named < 0) {
        AfxMessageBox("Klasse nicht vorhanden");
        return;
    }
    m_Classes.ElementAt(named).ResetFeatures();
    FillFeatureList(true);
}

void CInfoLearnClass::OnColor()
{
    if (m_nCurrent < 0 || m_nCurrent >= m_Classes.GetCount())
        return;
    CColorDialog dialog(m_Classes[m_nCurrent].m_Color, 0, this);
    if (dialog.DoModal() != IDOK)
        return;
    m_Classes.ElementAt(m_nCurrent).m_Color = dialog.GetColor();
    ShowCurrentClass();
}

void CInfoLearnClass::OnLearn()
{
    m_bLearning = true;
    ShowPrompt();
}

void CInfoLearnClass::OnHelp()
{
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(IDD_INFO_LEARN_CLASS);
}

void CInfoLearnClass::OnNameChanged()
{
    m_bModified = true;
    EnableControls();
}

void CInfoLearnClass::OnSelectClass()
{
    auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_CLASS_NAME));
    const int selected = combo != nullptr ? combo->GetCurSel() : -1;
    if (selected < 0)
        return;
    // Entry 0 is "Not Classified", the classes follow.
    m_nCurrent = selected - 1;
    m_bModified = false;
    ShowCurrentClass();
}

// ---- moving features -----------------------------------------------------------------------------

CString CInfoLearnClass::SelectedFeature(UINT nListId) const
{
    CString name;
    auto* list = static_cast<CListBox*>(GetDlgItem(static_cast<int>(nListId)));
    if (list != nullptr && list->GetCurSel() >= 0)
        list->GetText(list->GetCurSel(), name);
    return name;
}

void CInfoLearnClass::OnInclude()
{
    const CString name = SelectedFeature(IDC_CLASS_AVAILABLE);
    if (m_nCurrent < 0 || m_nCurrent >= m_Classes.GetCount() || name.IsEmpty())
        return;
    const int code = FeatureCode(name);
    if (code < 0 || m_Classes[m_nCurrent].FindFeature(code) >= 0)
        return;
    m_Classes.ElementAt(m_nCurrent).AddFeature(name, code, 0.0, 0.0);
    FillFeatureList(true);
}

void CInfoLearnClass::OnExclude()
{
    const CString name = SelectedFeature(IDC_CLASS_INCLUDED);
    if (m_nCurrent < 0 || m_nCurrent >= m_Classes.GetCount() || name.IsEmpty())
        return;
    const int index = m_Classes[m_nCurrent].FindFeature(FeatureCode(name));
    if (index < 0)
        return;
    m_Classes.ElementAt(m_nCurrent).RemoveFeature(index);
    FillFeatureList(true);
}

// ---- learning ----------------------------------------------------------------------------------

void CInfoLearnClass::OnObjectClicked(const CObjDataBase* pObject)
{
    if (pObject == nullptr) {
        ShowPrompt();
        return;
    }
    m_nObjectSource = objectsOfTable;
    if (!m_bLearning)
        return;
    SetDlgItemText(IDC_CLASS_PROMPT, "");
    LearnObject(*pObject);
}

void CInfoLearnClass::OnImageChanged()
{
    ShowPrompt();
}

void CInfoLearnClass::ShowPrompt()
{
    SetDlgItemText(IDC_CLASS_PROMPT, kPrompt);
}

void CInfoLearnClass::LearnObject(const CObjDataBase& object)
{
    if (m_nCurrent < 0 || m_nCurrent >= m_Classes.GetCount()) {
        AfxMessageBox("No class selected!");
        return;
    }
    CVectorNormal& cls = m_Classes.ElementAt(m_nCurrent);
    POSITION pos = m_List.GetFirstSelectedItemPosition();
    while (pos != nullptr) {
        const int row = m_List.GetNextSelectedItem(pos);
        if (row < 0 || row >= cls.GetFeatureCount())
            continue;
        const int code = cls.GetFeature(row).m_nType;
        if (!IsFeatureOn(object, code)) {
            AfxMessageBox("Mark not available for the selected Object");
            continue;
        }
        cls.AddSample(GetFeatureValue(object, code), row);
    }
    FillFeatureList(false);
}

void CInfoLearnClass::LearnColor(COLORREF color)
{
    if (!m_bLearning)
        return;
    if (m_nCurrent < 0 || m_nCurrent >= m_Classes.GetCount()) {
        AfxMessageBox("No class selected!");
        return;
    }
    CVectorNormal& cls = m_Classes.ElementAt(m_nCurrent);
    const std::array<std::pair<int, int>, 3> channels{{
        {32, GetRValue(color)},
        {64, GetGValue(color)},
        {128, GetBValue(color)},
    }};
    for (int i = 0; i < cls.GetFeatureCount(); ++i)
        for (const auto& [code, value] : channels)
            if (cls.GetFeature(i).m_nType == code)
                cls.AddSample(value, i);
    FillFeatureList(false);
}

// ---- the feature list ------------------------------------------------------------------------------

bool CInfoLearnClass::EditCell(int nRow, int nColumn, const CString& text)
{
    if (m_nCurrent < 0 || m_nCurrent >= m_Classes.GetCount() || (nColumn != colMin && nColumn != colMax))
        return false;
    CVectorNormal& cls = m_Classes.ElementAt(m_nCurrent);
    if (nRow < 0 || nRow >= cls.GetFeatureCount())
        return false;
    double value = 0.0;
    if (!readNumber(text, value))
        return false;
    double minimum = cls.GetFeatureStat(nRow, CVectorNormal::statMin);
    double maximum = cls.GetFeatureStat(nRow, CVectorNormal::statMax);
    (nColumn == colMin ? minimum : maximum) = value;
    if (minimum > maximum)
        return false;
    cls.SetFeatureRange(nRow, minimum, maximum);
    FillFeatureList(false);
    return true;
}

void CInfoLearnClass::OnFeatureDoubleClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const auto* item = reinterpret_cast<const NMITEMACTIVATE*>(pNMHDR);
    if (item->iItem < 0 || (item->iSubItem != colMin && item->iSubItem != colMax))
        return;
    CRect cell;
    if (!m_List.GetSubItemRect(item->iItem, item->iSubItem, 0, cell))
        return;
    m_List.ClientToScreen(&cell);
    ScreenToClient(&cell);
    m_pEditor = std::make_unique<CEdit>();
    if (!m_pEditor->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, cell, this, kEditorId)) {
        m_pEditor.reset();
        return;
    }
    m_nEditRow = item->iItem;
    m_nEditColumn = item->iSubItem;
    m_pEditor->SetWindowText(m_List.GetItemText(item->iItem, item->iSubItem));
    m_pEditor->SetFocus();
}

void CInfoLearnClass::OnEditorDone()
{
    // Destroying the editor may tell of its focus once more.
    if (!m_pEditor || m_nEditRow < 0)
        return;
    CString text;
    m_pEditor->GetWindowText(text);
    const int row = m_nEditRow;
    const int column = m_nEditColumn;
    m_nEditRow = m_nEditColumn = -1;
    m_pEditor->DestroyWindow();
    if (!EditCell(row, column, text))
        MessageBeep(MB_ICONASTERISK); // the cell keeps its value
}

void CInfoLearnClass::FillFeatureList(bool bClear)
{
    if (GetSafeHwnd() == nullptr)
        return;
    const bool hasClass = m_nCurrent >= 0 && m_nCurrent < m_Classes.GetCount();
    const int rows = hasClass ? m_Classes[m_nCurrent].GetFeatureCount() : 0;
    if (bClear || m_List.GetItemCount() != rows)
        m_List.DeleteAllItems();
    auto* included = static_cast<CListBox*>(GetDlgItem(IDC_CLASS_INCLUDED));
    auto* available = static_cast<CListBox*>(GetDlgItem(IDC_CLASS_AVAILABLE));
    included->ResetContent();
    available->ResetContent();
    for (int i = 0; i < rows; ++i) {
        const CVectorNormal& cls = m_Classes[m_nCurrent];
        CString number;
        number.Format("%d", i + 1);
        if (i >= m_List.GetItemCount())
            m_List.InsertItem(i, number);
        else
            m_List.SetItemText(i, colIndex, number);
        m_List.SetItemText(i, colName, cls.GetFeatureName(i));
        m_List.SetItemText(i, colMin, twoDecimals(cls.GetFeatureStat(i, CVectorNormal::statMin)));
        m_List.SetItemText(i, colMax, twoDecimals(cls.GetFeatureStat(i, CVectorNormal::statMax)));
        m_List.SetItemText(i, colAvg, twoDecimals(cls.GetFeatureStat(i, CVectorNormal::statMean)));
        m_List.SetItemText(i, colDev, twoDecimals(cls.GetFeatureStat(i, CVectorNormal::statDeviation)));
    }
    for (const FeatureName& feature : kFeatures) {
        const bool has = hasClass && m_Classes[m_nCurrent].FindFeature(feature.code) >= 0;
        (has ? included : available)->AddString(feature.name);
    }
    EnableControls();
}

// ---- the current class -------------------------------------------------------------------------------

void CInfoLearnClass::RefreshClassList()
{
    auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_CLASS_NAME));
    if (combo == nullptr)
        return;
    combo->ResetContent();
    combo->AddString("Not Classified");
    for (int i = 0; i < m_Classes.GetCount(); ++i)
        combo->AddString(m_Classes[i].m_strName);
    ShowCurrentClass();
}

void CInfoLearnClass::ShowCurrentClass()
{
    if (m_nCurrent > m_Classes.GetLastIndex())
        m_nCurrent = m_Classes.GetLastIndex();
    const bool hasClass = m_nCurrent >= 0;
    SetDlgItemText(IDC_CLASS_NAME, hasClass ? m_Classes[m_nCurrent].m_strName : CString());
    if (hasClass) {
        const COLORREF color = m_Classes[m_nCurrent].m_Color;
        const int mean = (GetRValue(color) + GetGValue(color) + GetBValue(color)) / 3;
        m_ColorButton.SetColors(mean < 128 ? RGB(255, 255, 255) : RGB(0, 0, 0), color);
        CString index;
        index.Format("%d", m_Classes[m_nCurrent].m_nClass);
        SetDlgItemText(IDC_CLASS_INDEX, index);
    } else {
        SetDlgItemText(IDC_CLASS_INDEX, "");
    }
    m_bModified = false;
    FillFeatureList(true);
}

void CInfoLearnClass::EnableControls()
{
    const bool hasClass = m_nCurrent >= 0 && m_nCurrent < m_Classes.GetCount();
    const bool renamed = hasClass && ComboText() != m_Classes[m_nCurrent].m_strName;
    GetDlgItem(IDC_CLASS_MODIFY)->EnableWindow(renamed);
    GetDlgItem(IDC_CLASS_INCLUDE)->EnableWindow(hasClass);
    GetDlgItem(IDC_CLASS_EXCLUDE)->EnableWindow(hasClass);
    GetDlgItem(IDC_CLASS_COLOR)->EnableWindow(hasClass);
}
