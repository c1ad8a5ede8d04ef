#pragma once
// The small dialogs of the database forms: the data of a new growth-test
// measurement, the description of a new measurement and the report
// template's path. The caller sets the members before DoModal and reads
// them after OK.
#include "platform/database/ado.h"
#include "platform/ui/dialog.h"

class CComboBox;

class CNeueMessungDlg : public CDialog
{
public:
    explicit CNeueMessungDlg(CWnd* pParentWnd = nullptr);

    _ConnectionPtr m_pConnection;
    long m_nDilutionSeriesID = 0;
    int m_nVesselIndex = 0;
    int m_nFillLevelIndex = 2;
    int m_nTestDay = 0;
    CString m_strFillLevel;
    CString m_strVessel;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnSelChangeVessel();
    void OnSelChangeFillLevel();
    DECLARE_MESSAGE_MAP()

private:
    CComboBox* Combo(UINT nID);
    // The vessels of the dilution series, in record order.
    void FillVessels(CComboBox& vessels);
};

class CNeueMessDescrDlg : public CDialog
{
public:
    explicit CNeueMessDescrDlg(CWnd* pParentWnd = nullptr);

    CString m_strDescription;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
};

class CReportPath : public CDialog
{
public:
    explicit CReportPath(CWnd* pParentWnd = nullptr);

    CString m_strPath;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnBrowse();
    DECLARE_MESSAGE_MAP()
};
