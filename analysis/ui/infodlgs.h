#pragma once
// The small modeless windows around the analysis that an image view opens
// with itself as owner: the prompt while objects are added by clicks
// (CInfoLearnThres, 429), the manual counter (CInfoManualCount, 430), and
// the message window that closes itself after its time (CInfoDlg, 464).
// The first two tell their owner when they close by posting WM_USER+5
// (wParam 1 for OK, 2 otherwise; lParam their template), as the class
// dialog does.

#include "platform/ui/dialog.h"

#include <vector>

class CDC;

// The base of the tool windows that report their closing to the owner.
class CInfoToolDlg : public CDialog
{
public:
    static constexpr UINT kCloseReport = WM_USER + 5;

    CInfoToolDlg(UINT nIDTemplate, CWnd* pOwner);
    ~CInfoToolDlg() override;

    // Creates the modeless window over the owner.
    BOOL Create();
    using CDialog::Create;
    // No close report any more: for an owner that deletes the window itself.
    void ForgetOwnerWindow() { m_hOwner = nullptr; }

protected:
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;
    // Destroys the window; the report carries nResult.
    void Close(int nResult);

    CWnd* m_pOwner;
    HWND m_hOwner = nullptr;
    int m_nResult = 2;
};

class CInfoLearnThres : public CInfoToolDlg
{
public:
    explicit CInfoLearnThres(CWnd* pOwner);
};

class CInfoManualCount : public CInfoToolDlg
{
public:
    explicit CInfoManualCount(CWnd* pOwner);

    // A click: one more point counted.
    void AddPoint(int x, int y);
    // Every point as a cross of size 13 in the colour, its number (from 1)
    // written 5 pixels to the right in the context's font and text colour.
    void DrawPoints(CDC* pDC, COLORREF color) const;

    const std::vector<CPoint>& GetPoints() const { return m_arrPoints; }
    int GetCount() const { return m_nCount; }

    // The registered message sent to every window below the main window on
    // OK, wParam the count.
    static UINT DataChangedMessage();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnRemove();
    DECLARE_MESSAGE_MAP()

private:
    void ShowCount();

    std::vector<CPoint> m_arrPoints;
    int m_nCount = 0;
};

class CInfoDlg : public CDialog
{
public:
    static constexpr UINT_PTR kTimerId = 2;

    // The text shows for nTime milliseconds once the window is created.
    CInfoDlg(const CString& text, UINT nTime, CWnd* pOwner);
    ~CInfoDlg() override;

    BOOL Create();
    using CDialog::Create;

    const CString& GetText() const { return m_strText; }
    UINT_PTR GetTimer() const { return m_nTimer; }

protected:
    BOOL OnInitDialog() override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnDestroy() override;

private:
    CString m_strText;
    UINT m_nTime;
    UINT_PTR m_nTimer = 0;
    CWnd* m_pOwner;
};
