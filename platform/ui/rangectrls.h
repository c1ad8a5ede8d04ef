#pragma once
// Controls with a position in a range: the slider (track bar), the
// up-down (spin) button and the progress bar. A slider moved by the user
// reports WM_HSCROLL (WM_VSCROLL with TBS_VERT) to its parent with the
// control as the scroll bar; SetPos reports nothing. The up-down button
// first asks its parent with UDN_DELTAPOS (a non-zero answer refuses the
// step), then moves, writes the position into its buddy with
// UDS_SETBUDDYINT and reports WM_VSCROLL (WM_HSCROLL with UDS_HORZ).

#include "platform/ui/wnd.h"

class CSliderCtrl : public CWnd
{
    DECLARE_DYNAMIC(CSliderCtrl)

public:
    CSliderCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE);
    void SetRangeMin(int nMin, BOOL bRedraw = FALSE);
    void SetRangeMax(int nMax, BOOL bRedraw = FALSE);
    void GetRange(int& nMin, int& nMax) const;
    int GetRangeMin() const;
    int GetRangeMax() const;
    int GetPos() const;
    void SetPos(int nPos);
    void SetTicFreq(int nFreq);
    int SetPageSize(int nSize);
    int GetPageSize() const;
    int SetLineSize(int nSize);
    int GetLineSize() const;

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;

private:
    void Report(UINT code);
    bool m_bQuiet = false;
};

class CSpinButtonCtrl : public CWnd
{
    DECLARE_DYNAMIC(CSpinButtonCtrl)

public:
    CSpinButtonCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    void SetRange(short nLower, short nUpper) { SetRange32(nLower, nUpper); }
    void SetRange32(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const;
    void GetRange32(int& nLower, int& nUpper) const { GetRange(nLower, nUpper); }
    // The position; with a buddy, the buddy's number when it holds one.
    int GetPos() const;
    int GetPos32(LPBOOL lpbError = nullptr) const;
    int SetPos(int nPos);
    int SetPos32(int nPos) { return SetPos(nPos); }
    CWnd* SetBuddy(CWnd* pWndBuddy);
    CWnd* GetBuddy() const { return m_pBuddy; }
    int SetBase(int nBase);
    int GetBase() const { return m_nBase; }

    // One step as a click on an arrow gives it: +1 up, -1 down.
    void Step(int nDelta);

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void TakeOverFrom(CWnd& other) override;

private:
    void WriteBuddy();

    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
    int m_nBase = 10;
    CWnd* m_pBuddy = nullptr;
};

class CProgressCtrl : public CWnd
{
    DECLARE_DYNAMIC(CProgressCtrl)

public:
    CProgressCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    void SetRange(short nLower, short nUpper) { SetRange32(nLower, nUpper); }
    void SetRange32(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const;
    // Each answers the position before.
    int SetPos(int nPos);
    int GetPos() const;
    int OffsetPos(int nPos);
    int SetStep(int nStep);
    int StepIt();

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    void TakeOverFrom(CWnd& other) override;

private:
    int m_nStep = 10;
};
