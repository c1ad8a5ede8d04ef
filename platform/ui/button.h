#pragma once
// Push buttons, check boxes, radio buttons and group boxes, by style. A
// click reports BN_CLICKED to the parent. Radio buttons exclude each other
// within their group: from a button with WS_GROUP up to the next one.
// Owner-drawn buttons (BS_OWNERDRAW) paint through DrawItem.

#include "platform/ui/wnd.h"

class CButton : public CWnd
{
    DECLARE_DYNAMIC(CButton)

public:
    CButton() = default;
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const;
    void SetCheck(int nCheck);
    UINT GetButtonStyle() const { return GetStyle() & 0xFFFF; }
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);
    // Simulates a click: as the user's, with BN_CLICKED.
    void Click();

    // Paints an owner-drawn button.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    bool WantsPaint() const override;
    void OnPaint() override;
    void SetWidgetText(const CString& text) override;
    CString GetWidgetText() const override;

private:
    UINT Kind() const { return GetStyle() & BS_TYPEMASK; }
    bool IsRadio() const { return Kind() == BS_RADIOBUTTON || Kind() == BS_AUTORADIOBUTTON; }
    void Clicked();
    void UncheckGroupSiblings();
    void PaintOwnerDrawn();
};
