#pragma once
// CDialog: modal (DoModal) and modeless (Create) dialogs. The controls come
// from the dialog template registered under the dialog's id and from
// OnCreateControls, for dialogs that build their layout in code; both run
// before OnInitDialog, whose default shows the members in the controls
// (UpdateData(FALSE)). IDOK runs OnOK (UpdateData(TRUE), then EndDialog
// when the data are valid), IDCANCEL, Escape and closing the window run
// OnCancel. Commands the dialog does not handle go on to its owner and
// then to the application.

#include "platform/ui/dialogtemplate.h"
#include "platform/ui/wnd.h"

#include <memory>
#include <vector>

class CMenu;

class CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)

public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // The dialog's answer: IDOK, IDCANCEL or what EndDialog was given; -1
    // when the window could not be created.
    virtual INT_PTR DoModal();
    // A modeless dialog; shown when its template has WS_VISIBLE.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    using CWnd::Create;

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Ends a modal dialog with the answer; hides a modeless one.
    void EndDialog(int nResult);
    BOOL IsModal() const { return m_bModal; }

    void GotoDlgCtrl(CWnd* pWndCtrl);
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void SetDefID(UINT nID);
    DWORD GetDefID() const;
    void MapDialogRect(LPRECT lpRect) const;
    // Shows the menu as a menu bar above the controls (the dialog grows by
    // its height); its commands come to the dialog. Once the window exists.
    BOOL SetMenu(CMenu* pMenu);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnClose() override;

    UINT m_nIDTemplate = 0;
    UINT m_nIDHelp = 0;
    CWnd* m_pParentWnd = nullptr;

private:
    std::unique_ptr<CMenu> m_pMenu;

public:

protected:
    // Adds controls laid out in code; called after the template's.
    virtual void OnCreateControls();
    // Keeps a control that the dialog creates and owns.
    template <class T>
    T* AddControl(std::unique_ptr<T> control)
    {
        T* raw = control.get();
        m_controls.push_back(std::move(control));
        return raw;
    }

    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    // Creates the window and its controls and runs OnInitDialog. child
    // makes it a child window (property pages).
    BOOL CreateDialogWindow(CWnd* pParentWnd, bool modal, bool child);
    // The size of the client area for a dialog without a template size.
    CSize DefaultClientSize() const;

    DECLARE_MESSAGE_MAP()

private:
    std::vector<std::unique_ptr<CWnd>> m_controls;
    bool m_bModal = false;
    bool m_bEnded = false;
    int m_nResult = 0;
    UINT m_nDefID = IDOK;
};
