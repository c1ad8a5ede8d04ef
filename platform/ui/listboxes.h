#pragma once
// Combo boxes and list boxes. Indexes count from 0; CB_ERR / LB_ERR (-1)
// answer a failed call. Each entry carries a DWORD_PTR of the caller's.
// A change made by the user reports CBN_SELCHANGE / LBN_SELCHANGE; one
// made through SetCurSel does not, as on the original system.

#include "platform/ui/wnd.h"

class CComboBox : public CWnd
{
    DECLARE_DYNAMIC(CComboBox)

public:
    CComboBox() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    // Appends, or inserts in order with CBS_SORT; answers the index.
    int AddString(LPCTSTR lpszString);
    // -1 appends.
    int InsertString(int nIndex, LPCTSTR lpszString);
    // Answers the entries left.
    int DeleteString(UINT nIndex);
    void ResetContent();
    int GetLBText(int nIndex, CString& rString) const;
    int GetLBTextLen(int nIndex) const;
    // First entry after nStartAfter (-1: from the start) whose text starts
    // with the string, ignoring case; the search wraps.
    int FindString(int nStartAfter, LPCTSTR lpszString) const;
    // The same for the whole text.
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const;
    // Selects what FindString finds; answers its index.
    int SelectString(int nStartAfter, LPCTSTR lpszString);
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
    DWORD_PTR GetItemData(int nIndex) const;
    int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData)); }
    void* GetItemDataPtr(int nIndex) const { return reinterpret_cast<void*>(GetItemData(nIndex)); }
    BOOL LimitText(int nMaxChars);
    // Selects the edit field's characters nStart to nEnd (-1: to the end)
    // and puts the caret behind them; FALSE without an edit field.
    BOOL SetEditSel(int nStart, int nEnd);
    void ShowDropDown(BOOL bShowIt = TRUE);

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    void SetWidgetText(const CString& text) override;
    CString GetWidgetText() const override;

private:
    bool m_bQuiet = false;
};

class CListBox : public CWnd
{
    DECLARE_DYNAMIC(CListBox)

public:
    CListBox() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetCount() const;
    // Single-selection boxes.
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    // Multiple-selection boxes.
    int GetSel(int nIndex) const;
    int SetSel(int nIndex, BOOL bSelect = TRUE);
    int GetSelCount() const;
    int GetSelItems(int nMaxItems, LPINT rgIndex) const;
    int AddString(LPCTSTR lpszItem);
    int InsertString(int nIndex, LPCTSTR lpszItem);
    int DeleteString(UINT nIndex);
    void ResetContent();
    int GetText(int nIndex, CString& rString) const;
    int GetTextLen(int nIndex) const;
    int FindString(int nStartAfter, LPCTSTR lpszItem) const;
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const;
    int SelectString(int nStartAfter, LPCTSTR lpszItem);
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
    DWORD_PTR GetItemData(int nIndex) const;
    int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData)); }
    void* GetItemDataPtr(int nIndex) const { return reinterpret_cast<void*>(GetItemData(nIndex)); }
    int GetTopIndex() const;
    int SetTopIndex(int nIndex);

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;

private:
    bool m_bQuiet = false;
};

namespace kestrun {
// The search of FindString / FindStringExact over a list of texts.
int FindListText(const std::vector<CString>& texts, int nStartAfter, const char* text, bool exact);
} // namespace kestrun
