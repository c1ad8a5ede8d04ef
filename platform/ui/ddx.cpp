#include "platform/ui/ddx.h"

#include "platform/core/resources.h"
#include "platform/ui/frameworkstrings.h"
#include "platform/ui/button.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/rangectrls.h"
#include "platform/ui/staticedit.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <type_traits>
#include <vector>

namespace {

void failWith(CDataExchange* pDX, UINT prompt)
{
    AfxMessageBox(prompt, MB_ICONEXCLAMATION);
    pDX->Fail();
}

void failWithRange(CDataExchange* pDX, UINT prompt, const CString& low, const CString& high)
{
    CString text;
    AfxFormatString2(text, prompt, low, high);
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    pDX->Fail();
}

CString controlText(CDataExchange* pDX, int nIDC)
{
    CString text;
    pDX->PrepareEditCtrl(nIDC)->GetWindowText(text);
    return text;
}

// Whole numbers with blanks around them; false for anything else.
bool parseWhole(const CString& text, long long& value)
{
    CString t(text);
    t.Trim();
    if (t.IsEmpty())
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(t, &end, 10);
    return errno == 0 && end != nullptr && *end == '\0';
}

bool parseReal(const CString& text, double& value)
{
    CString t(text);
    t.Trim();
    if (t.IsEmpty())
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(t, &end);
    return errno == 0 && end != nullptr && *end == '\0' && std::isfinite(value);
}

template <class T>
void exchangeSigned(CDataExchange* pDX, int nIDC, T& value, long long low, long long high)
{
    if (pDX->m_bSaveAndValidate) {
        long long parsed = 0;
        if (!parseWhole(controlText(pDX, nIDC), parsed) || parsed < low || parsed > high)
            failWith(pDX, AFX_IDP_PARSE_INT);
        pDX->Remember(value);
        value = static_cast<T>(parsed);
    } else {
        pDX->PrepareEditCtrl(nIDC)->SetWindowText(FormatString("%lld", static_cast<long long>(value)));
    }
}

template <class T>
void exchangeUnsigned(CDataExchange* pDX, int nIDC, T& value, unsigned long long high)
{
    if (pDX->m_bSaveAndValidate) {
        long long parsed = 0;
        const CString text = controlText(pDX, nIDC);
        if (!parseWhole(text, parsed))
            failWith(pDX, AFX_IDP_PARSE_UINT);
        if (parsed < 0 || static_cast<unsigned long long>(parsed) > high)
            failWith(pDX, AFX_IDP_PARSE_UINT);
        pDX->Remember(value);
        value = static_cast<T>(parsed);
    } else {
        pDX->PrepareEditCtrl(nIDC)->SetWindowText(FormatString("%llu", static_cast<unsigned long long>(value)));
    }
}

template <class T>
void exchangeReal(CDataExchange* pDX, int nIDC, T& value, int digits)
{
    if (pDX->m_bSaveAndValidate) {
        double parsed = 0;
        if (!parseReal(controlText(pDX, nIDC), parsed))
            failWith(pDX, AFX_IDP_PARSE_REAL);
        pDX->Remember(value);
        value = static_cast<T>(parsed);
    } else {
        pDX->PrepareEditCtrl(nIDC)->SetWindowText(FormatString("%.*g", digits, static_cast<double>(value)));
    }
}

template <class Control>
Control* controlOf(CDataExchange* pDX, int nIDC)
{
    CWnd* wnd = pDX->PrepareCtrl(nIDC);
    auto* control = DYNAMIC_DOWNCAST(Control, wnd);
    if (control == nullptr)
        AfxThrowInvalidArgException();
    return control;
}

} // namespace

void AfxThrowUserException()
{
    throw CUserException();
}

// ---- CDataExchange ---------------------------------------------------------------

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
    kestrun::EnsureFrameworkStrings();
}

CWnd* CDataExchange::PrepareCtrl(int nIDC)
{
    CWnd* control = m_pDlgWnd ? m_pDlgWnd->GetDlgItem(nIDC) : nullptr;
    if (control == nullptr)
        AfxThrowInvalidArgException();
    m_idLastControl = nIDC;
    m_bEditLastControl = FALSE;
    return control;
}

CWnd* CDataExchange::PrepareEditCtrl(int nIDC)
{
    CWnd* control = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return control;
}

void CDataExchange::Fail()
{
    for (auto it = m_rollback.rbegin(); it != m_rollback.rend(); ++it)
        (*it)();
    m_rollback.clear();
    if (m_bSaveAndValidate && m_pDlgWnd) {
        if (CWnd* control = m_pDlgWnd->GetDlgItem(m_idLastControl)) {
            control->SetFocus();
            if (auto* edit = DYNAMIC_DOWNCAST(CEdit, control))
                edit->SetSel(0, -1);
        }
    }
    AfxThrowUserException();
}

// ---- DDX ------------------------------------------------------------------------------

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    CWnd* control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        pDX->Remember(value);
        control->GetWindowText(value);
    } else
        control->SetWindowText(value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    exchangeSigned(pDX, nIDC, value, INT_MIN, INT_MAX);
}

void DDX_Text(CDataExchange* pDX, int nIDC, long& value)
{
    exchangeSigned(pDX, nIDC, value, LONG_MIN, LONG_MAX);
}

void DDX_Text(CDataExchange* pDX, int nIDC, short& value)
{
    exchangeSigned(pDX, nIDC, value, SHRT_MIN, SHRT_MAX);
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    exchangeUnsigned(pDX, nIDC, value, UINT_MAX);
}

void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value)
{
    exchangeUnsigned(pDX, nIDC, value, 255);
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value)
{
    exchangeReal(pDX, nIDC, value, FLT_DIG);
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value)
{
    exchangeReal(pDX, nIDC, value, DBL_DIG);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    CWnd* control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        pDX->Remember(value);
        value = static_cast<int>(control->SendMessage(BM_GETCHECK));
    } else {
        if (value < BST_UNCHECKED || value > BST_INDETERMINATE)
            value = BST_UNCHECKED;
        control->SendMessage(BM_SETCHECK, static_cast<WPARAM>(value));
    }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    CWnd* first = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        pDX->Remember(value);
        value = -1;
    }
    int index = 0;
    for (CWnd* wnd = first; wnd != nullptr; wnd = wnd->GetWindow(GW_HWNDNEXT)) {
        if (wnd != first && (wnd->GetStyle() & WS_GROUP))
            break;
        auto* button = DYNAMIC_DOWNCAST(CButton, wnd);
        const UINT kind = wnd->GetStyle() & BS_TYPEMASK;
        if (button == nullptr || (kind != BS_RADIOBUTTON && kind != BS_AUTORADIOBUTTON))
            break;
        if (pDX->m_bSaveAndValidate) {
            if (button->GetCheck() == BST_CHECKED)
                value = index;
        } else {
            button->SetCheck(index == value ? BST_CHECKED : BST_UNCHECKED);
        }
        ++index;
    }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    auto* combo = controlOf<CComboBox>(pDX, nIDC);
    pDX->Remember(index);
    if (pDX->m_bSaveAndValidate)
        index = combo->GetCurSel();
    else
        combo->SetCurSel(index);
}

namespace {
void exchangeComboString(CDataExchange* pDX, int nIDC, CString& value, bool exact)
{
    auto* combo = controlOf<CComboBox>(pDX, nIDC);
    if (pDX->m_bSaveAndValidate) {
        pDX->Remember(value);
        combo->GetWindowText(value);
        return;
    }
    const int index = exact ? combo->FindStringExact(-1, value) : combo->FindString(-1, value);
    if (index >= 0)
        combo->SetCurSel(index);
    else if ((combo->GetStyle() & 0x3) != CBS_DROPDOWNLIST)
        combo->SetWindowText(value);
    else
        combo->SetCurSel(-1);
}

void exchangeListString(CDataExchange* pDX, int nIDC, CString& value, bool exact)
{
    auto* list = controlOf<CListBox>(pDX, nIDC);
    if (pDX->m_bSaveAndValidate) {
        pDX->Remember(value);
        const int index = list->GetCurSel();
        if (index >= 0)
            list->GetText(index, value);
        else
            value.Empty();
        return;
    }
    const int index = exact ? list->FindStringExact(-1, value) : list->FindString(-1, value);
    list->SetCurSel(index);
}
} // namespace

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    exchangeComboString(pDX, nIDC, value, false);
}

void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    exchangeComboString(pDX, nIDC, value, true);
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    auto* list = controlOf<CListBox>(pDX, nIDC);
    pDX->Remember(index);
    if (pDX->m_bSaveAndValidate)
        index = list->GetCurSel();
    else
        list->SetCurSel(index);
}

void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value)
{
    exchangeListString(pDX, nIDC, value, false);
}

void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    exchangeListString(pDX, nIDC, value, true);
}

void DDX_Slider(CDataExchange* pDX, int nIDC, int& value)
{
    auto* slider = controlOf<CSliderCtrl>(pDX, nIDC);
    pDX->Remember(value);
    if (pDX->m_bSaveAndValidate)
        value = slider->GetPos();
    else
        slider->SetPos(value);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd != nullptr)
        return;
    if (!rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd))
        AfxThrowInvalidArgException();
    pDX->m_idLastControl = nIDC;
}

// ---- DDV ---------------------------------------------------------------------------------

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (pDX->m_bSaveAndValidate) {
        if (value.GetLength() > nChars) {
            CString text;
            AfxFormatString1(text, AFX_IDP_PARSE_STRING_SIZE, FormatString("%d", nChars));
            AfxMessageBox(text, MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        return;
    }
    CWnd* control = pDX->m_pDlgWnd ? pDX->m_pDlgWnd->GetDlgItem(pDX->m_idLastControl) : nullptr;
    if (auto* edit = DYNAMIC_DOWNCAST(CEdit, control))
        edit->SetLimitText(static_cast<UINT>(std::max(nChars, 0)));
    else if (auto* combo = DYNAMIC_DOWNCAST(CComboBox, control))
        combo->LimitText(nChars);
}

namespace {
template <class T>
void minMaxWhole(CDataExchange* pDX, T value, T low, T high)
{
    if (!pDX->m_bSaveAndValidate || (value >= low && value <= high))
        return;
    if constexpr (std::is_signed_v<T>)
        failWithRange(pDX, AFX_IDP_PARSE_INT_RANGE, FormatString("%lld", static_cast<long long>(low)),
                      FormatString("%lld", static_cast<long long>(high)));
    else
        failWithRange(pDX, AFX_IDP_PARSE_INT_RANGE, FormatString("%llu", static_cast<unsigned long long>(low)),
                      FormatString("%llu", static_cast<unsigned long long>(high)));
}

void minMaxReal(CDataExchange* pDX, double value, double low, double high, int digits)
{
    if (!pDX->m_bSaveAndValidate || (value >= low && value <= high))
        return;
    failWithRange(pDX, AFX_IDP_PARSE_REAL_RANGE, FormatString("%.*g", digits, low), FormatString("%.*g", digits, high));
}
} // namespace

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    minMaxWhole(pDX, value, minVal, maxVal);
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    minMaxWhole(pDX, value, minVal, maxVal);
}

void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal)
{
    minMaxWhole(pDX, value, minVal, maxVal);
}

void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal)
{
    minMaxWhole(pDX, value, minVal, maxVal);
}

void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal)
{
    minMaxWhole(pDX, value, minVal, maxVal);
}

void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal)
{
    minMaxWhole(pDX, value, minVal, maxVal);
}

void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal)
{
    minMaxReal(pDX, value, minVal, maxVal, FLT_DIG);
}

void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal)
{
    minMaxReal(pDX, value, minVal, maxVal, DBL_DIG);
}

void DDV_MinMaxSlider(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal)
{
    if (!pDX->m_bSaveAndValidate) {
        CWnd* control = pDX->m_pDlgWnd ? pDX->m_pDlgWnd->GetDlgItem(pDX->m_idLastControl) : nullptr;
        if (auto* slider = DYNAMIC_DOWNCAST(CSliderCtrl, control))
            slider->SetRange(static_cast<int>(minVal), static_cast<int>(maxVal));
        return;
    }
    minMaxWhole(pDX, value, minVal, maxVal);
}

// ---- formatting ----------------------------------------------------------------------------

CString AfxFormatStrings(const char* format, std::initializer_list<const char*> args)
{
    CString out;
    if (format == nullptr)
        return out;
    const std::vector<const char*> list(args);
    for (const char* p = format; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] >= '1' && p[1] <= '9') {
            const size_t n = static_cast<size_t>(p[1] - '1');
            if (n < list.size() && list[n] != nullptr)
                out += list[n];
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1)
{
    rString = AfxFormatStrings(AfxLoadString(nIDS), {lpsz1});
}

void AfxFormatString2(CString& rString, UINT nIDS, LPCTSTR lpsz1, LPCTSTR lpsz2)
{
    rString = AfxFormatStrings(AfxLoadString(nIDS), {lpsz1, lpsz2});
}
