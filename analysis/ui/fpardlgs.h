#pragma once
// The limit dialogs of the form filters: one lower and one upper limit of
// a feature, each switched on or off by its check box. CFParFloat for
// real values, CFParLong for counts, CFParaRGB for colours.

#include "platform/ui/dialog.h"

class CFParFloat : public CDialog
{
public:
    explicit CFParFloat(CWnd* pParentWnd = nullptr);

    CString m_strLabel1; // lower limit's check box
    CString m_strLabel2; // upper limit's check box
    int m_bShowCheck1 = 1;
    int m_bShowCheck2 = 1;
    int m_bShowValue1 = 1;
    int m_bShowValue2 = 1;
    float m_fDefaultUpper = 10000.0f;
    float m_fDefaultLower = 1.0f;
    int m_bDefaultLower = 0;
    int m_bDefaultUpper = 0;
    int m_bUpper = 0;
    int m_bLower = 0;
    float m_fUpper = 0.0f;
    float m_fLower = 0.0f;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnDefault();

    DECLARE_MESSAGE_MAP()
};

class CFParLong : public CDialog
{
public:
    explicit CFParLong(CWnd* pParentWnd = nullptr);

    CString m_strLabel1;
    CString m_strLabel2;
    int m_nDefaultUpper = 1000;
    int m_nDefaultLower = 0;
    int m_bUpper = 0;
    int m_bLower = 0;
    int m_nUpper = 0;
    int m_nLower = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnDefault();

    DECLARE_MESSAGE_MAP()
};

class CFParaRGB : public CDialog
{
public:
    explicit CFParaRGB(CWnd* pParentWnd = nullptr);

    CString m_strLabel1;
    CString m_strLabel2;
    COLORREF m_DefaultUpper = RGB(255, 255, 255);
    COLORREF m_DefaultLower = RGB(0, 0, 0);
    int m_bUpper = 0;
    int m_bLower = 0;
    float m_fUpperBlue = 0.0f;
    float m_fUpperGreen = 0.0f;
    float m_fUpperRed = 0.0f;
    float m_fLowerBlue = 0.0f;
    float m_fLowerGreen = 0.0f;
    float m_fLowerRed = 0.0f;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnDefault();

    DECLARE_MESSAGE_MAP()
};
