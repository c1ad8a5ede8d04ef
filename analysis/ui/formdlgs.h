#pragma once
// The pages of the form-parameter sheet. Each edits the sheet's copy of
// the form thresholds: page 1 ("Object") the features and their limits in
// a list, the border exclusion and the parameter files; page 2
// ("Nucleus") the nucleus filters; page 3 ("Parameter && Model") the
// contour analyses and the object model.

#include "platform/ui/neulistctrl.h"
#include "platform/ui/propsheet.h"

class CFormThres;

class CFormDlg1 : public CPropertyPage
{
    DECLARE_DYNAMIC(CFormDlg1)

public:
    CFormDlg1();
    ~CFormDlg1() override;

    // The list's rows into the form thresholds: limits, switches and the
    // feature bits. False, and nothing changed, after a message naming
    // the first row whose text does not read.
    bool TakeListOver();

    CFormThres* m_pFormThres = nullptr;
    int m_bHitBoundary = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnDefault();
    void OnLoad();
    void OnSave();

    DECLARE_MESSAGE_MAP()

private:
    void FillList();
    void OnActionClicked(int nRow, int nColumn);

    CNeuListCtrl m_List;
    int m_bHitBoundaryShown = 0; // as the page showed it last
};

class CFormDlg2 : public CPropertyPage
{
    DECLARE_DYNAMIC(CFormDlg2)

public:
    CFormDlg2();
    ~CFormDlg2() override;

    CFormThres* m_pFormThres = nullptr;
    int m_bChecks[6] = {};

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnCheck(UINT nID);
    void OnFilter(UINT nID);

    DECLARE_MESSAGE_MAP()

private:
    void RefreshButtons();
};

class CFormDlg3 : public CPropertyPage
{
    DECLARE_DYNAMIC(CFormDlg3)

public:
    CFormDlg3();
    ~CFormDlg3() override;

    CFormThres* m_pFormThres = nullptr;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnParameter(UINT nID);
    void OnClusterClicked();
    void OnModel(UINT nID);

    DECLARE_MESSAGE_MAP()

private:
    void EnableCluster();
};
