#pragma once
// Static texts and edit fields. A static with SS_NOTIFY reports clicks
// (STN_CLICKED); an edit field reports EN_CHANGE on every change of its
// text, also one made by SetWindowText, and EN_SETFOCUS / EN_KILLFOCUS.

#include "platform/ui/wnd.h"

class CStatic : public CWnd
{
    DECLARE_DYNAMIC(CStatic)

public:
    CStatic() = default;
    BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = IDC_STATIC);

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    void SetWidgetText(const CString& text) override;
    CString GetWidgetText() const override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
};

class CEdit : public CWnd
{
    DECLARE_DYNAMIC(CEdit)

public:
    CEdit() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // Selection in characters; -1 as end selects to the end, (-1, 0)
    // removes the selection.
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
    void GetSel(int& nStartChar, int& nEndChar) const;
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE);
    void Clear();
    void Copy();
    void Cut();
    void Paste();
    BOOL Undo();
    // 0 lifts the limit.
    void SetLimitText(UINT nMax);
    void LimitText(int nChars = 0) { SetLimitText(static_cast<UINT>(nChars)); }
    UINT GetLimitText() const { return m_nLimit; }
    BOOL SetReadOnly(BOOL bReadOnly = TRUE);
    BOOL GetModify() const { return m_bModified; }
    void SetModify(BOOL bModified = TRUE) { m_bModified = bModified; }
    int GetLineCount() const;
    // The text of one line of a multi-line field.
    CString GetLineText(int nIndex) const;

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    void SetWidgetText(const CString& text) override;
    CString GetWidgetText() const override;
    void OnSetFocus(CWnd* pOldWnd) override;
    void OnKillFocus(CWnd* pNewWnd) override;
    void TakeOverFrom(CWnd& other) override;

private:
    bool IsMultiLine() const { return (GetStyle() & ES_MULTILINE) != 0; }
    void TextChanged();

    UINT m_nLimit = 0;
    BOOL m_bModified = FALSE;
    bool m_bSettingText = false;
};
