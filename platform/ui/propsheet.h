#pragma once
// Property sheets: pages (dialog layouts with data exchange) on tabs, with
// OK, Cancel and Apply, modal or modeless; in wizard mode one page at a
// time with Back, Next and Finish. A page's window is made when the page
// is first shown. Leaving a page asks it (OnKillActive, which validates its
// data); OK asks the active page and then tells every page (OnOK).

#include "platform/ui/dialog.h"

#include <vector>

class CPropertySheet;

inline constexpr DWORD PSWIZB_BACK = 0x1;
inline constexpr DWORD PSWIZB_NEXT = 0x2;
inline constexpr DWORD PSWIZB_FINISH = 0x4;
inline constexpr DWORD PSWIZB_DISABLEDFINISH = 0x8;

inline constexpr int PSBTN_BACK = 0;
inline constexpr int PSBTN_NEXT = 1;
inline constexpr int PSBTN_FINISH = 2;
inline constexpr int PSBTN_OK = 3;
inline constexpr int PSBTN_APPLYNOW = 4;
inline constexpr int PSBTN_CANCEL = 5;

inline constexpr DWORD PSH_NOAPPLYNOW = 0x00000080;
inline constexpr DWORD PSH_WIZARD = 0x00000020;
inline constexpr DWORD PSP_USETITLE = 0x00000008;

inline constexpr int ID_WIZBACK = 0x3023;
inline constexpr int ID_WIZNEXT = 0x3024;
inline constexpr int ID_WIZFINISH = 0x3025;
inline constexpr int ID_APPLY_NOW = 0x3021;

struct PROPSHEETPAGE
{
    DWORD dwFlags = 0;
    LPCTSTR pszTitle = nullptr;
};

struct PROPSHEETHEADER
{
    DWORD dwFlags = 0;
    UINT nStartPage = 0;
};

class CPropertyPage : public CDialog
{
    DECLARE_DYNAMIC(CPropertyPage)

public:
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    ~CPropertyPage() override;

    // TRUE lets the page be shown.
    virtual BOOL OnSetActive();
    // TRUE lets the page be left; the default stores and checks its data.
    virtual BOOL OnKillActive();
    virtual BOOL OnApply();
    virtual void OnReset();
    virtual BOOL OnQueryCancel();
    // 0 goes to the next (previous) page, -1 stays, a template id goes to
    // that page.
    virtual LRESULT OnWizardBack();
    virtual LRESULT OnWizardNext();
    // TRUE lets the wizard end.
    virtual BOOL OnWizardFinish();
    void OnOK() override;
    void OnCancel() override;

    void SetModified(BOOL bChanged = TRUE);
    BOOL IsModified() const { return m_bModified; }
    void CancelToClose();
    CPropertySheet* GetSheet() const { return m_pSheet; }
    CString GetCaption() const;

    PROPSHEETPAGE m_psp;

protected:
    friend class CPropertySheet;
    // Makes the page's window inside the sheet.
    BOOL CreatePage(CPropertySheet* pSheet);

private:
    CPropertySheet* m_pSheet = nullptr;
    UINT m_nIDCaption;
    CString m_strCaption;
    BOOL m_bModified = FALSE;
};

class CPropertySheet : public CWnd
{
    DECLARE_DYNAMIC(CPropertySheet)

public:
    explicit CPropertySheet(LPCTSTR pszCaption = nullptr, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* pPage);
    void RemovePage(CPropertyPage* pPage);
    void RemovePage(int nPage);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const { return m_nActive; }
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }
    void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);

    void SetWizardMode();
    BOOL IsWizard() const { return m_bWizard; }
    void SetWizardButtons(DWORD dwFlags);
    void SetFinishText(LPCTSTR lpszText);

    // IDOK, IDCANCEL, or ID_WIZFINISH for a finished wizard.
    virtual INT_PTR DoModal();
    // A modeless sheet.
    virtual BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = static_cast<DWORD>(-1), DWORD dwExStyle = 0);
    BOOL PressButton(int nButton);
    void EndDialog(int nEndID);
    BOOL IsModal() const { return m_bModal; }

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void OnClose() override;

    PROPSHEETHEADER m_psh;
    CWnd* m_pParentWnd;

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    void PlaceChildWidget(CWnd& child, const CRect& rect) override;
    virtual BOOL OnInitDialog();

private:
    friend class CPropertyPage;
    BOOL CreateSheetWindow(CWnd* pParentWnd, bool modal);
    void ShowPage(int nPage);
    void TabChanged(int index);
    void OnOKButton();
    void OnCancelButton();
    void OnApplyButton();
    void OnBackButton();
    void OnNextButton();
    void OnFinishButton();
    void UpdateButtons();
    void PageModified();

    std::vector<CPropertyPage*> m_pages;
    CString m_strCaption;
    int m_nActive = 0;
    bool m_bWizard = false;
    bool m_bModal = false;
    bool m_bEnded = false;
    bool m_bSwitching = false;
    int m_nResult = IDCANCEL;
    DWORD m_dwWizardButtons = PSWIZB_NEXT;
    CString m_strFinishText;
    struct CWidgets;
    std::unique_ptr<CWidgets> m_widgets;
};
