#pragma once
// Dialog data exchange: the DDX_ functions copy between a window's
// controls and its members in both directions, the DDV_ functions check a
// stored value right after its DDX_ call. A value that does not parse or
// lies outside its range is reported in a message box; the control gets
// the focus and the exchange stops with CUserException, which UpdateData
// turns into FALSE. Numbers are written and read with '.' as decimal
// point. A failed exchange puts back the members it had already stored,
// so bad input changes nothing.

#include "platform/core/exceptions.h"
#include "platform/ui/wnd.h"

#include <functional>
#include <initializer_list>
#include <vector>

// The error that ends an exchange after its message has been shown.
class CUserException : public CException
{
public:
    CString GetErrorMessage() const override { return {}; }
};

[[noreturn]] void AfxThrowUserException();

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    // The control with that id, remembered for a following DDV_ call;
    // throws CInvalidArgException when the window has no such control.
    CWnd* PrepareCtrl(int nIDC);
    CWnd* PrepareEditCtrl(int nIDC);
    // Gives the last control the focus, puts back the members stored so
    // far and ends the exchange.
    [[noreturn]] void Fail();
    // Keeps a member's value before a DDX_ function stores into it, for Fail.
    template <class T>
    void Remember(T& member)
    {
        if (m_bSaveAndValidate)
            m_rollback.push_back([&member, old = member] { member = old; });
    }

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    int m_idLastControl = 0;
    BOOL m_bEditLastControl = FALSE;

private:
    std::vector<std::function<void()>> m_rollback;
};

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, short& value);
void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
// Check boxes: BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// The radio group that starts at nIDC: the index of the checked button,
// -1 when none is.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
// Loading selects the first entry that starts with the text (an editable
// combo box shows the text when none does); storing reads the shown text.
void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_LBString(CDataExchange* pDX, int nIDC, CString& value);
void DDX_LBStringExact(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Slider(CDataExchange* pDX, int nIDC, int& value);
// Makes rControl the window of the layout's control nIDC.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal);
void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal);
void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal);
void DDV_MinMaxSlider(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal);

// The string-table text nIDS with %1 (and %2) replaced.
void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1);
void AfxFormatString2(CString& rString, UINT nIDS, LPCTSTR lpsz1, LPCTSTR lpsz2);
// Replaces %1 ... %9 in a format by the given texts.
CString AfxFormatStrings(const char* format, std::initializer_list<const char*> args);
