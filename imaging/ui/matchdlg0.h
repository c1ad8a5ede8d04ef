#pragma once
// CMatchDlg0: the image view's modeless area pattern check ("Pattern
// Matching Control" over grey values, see CAreaPatternCheck): Learn takes
// the pattern from the active area by the chosen method, Match compares
// every area with it, judges each value against the threshold ("low":
// "Failed" at or below it, "high": at or above it) and moves the areas;
// OK hands method and threshold back to the document.

#include "imaging/areapatterncheck.h"
#include "imaging/ui/matchdlg.h"
#include "imaging/ui/matchlistctrl.h"

class CDIBDocEx;

class CMatchDlg0 : public CMatchDlg
{
    DECLARE_DYNAMIC(CMatchDlg0)

public:
    enum
    {
        IDD = 447,
        IDC_MATCH = 2540,
        IDC_LIST = 2563,
        IDC_SHOW = 2798,
        IDC_OFF = 2940,
        IDC_BORDER = 2941,
        IDC_AREA = 2942,
        IDC_THRESHOLD = 2943,
        IDC_LOW = 2968,
        IDC_HIGH = 2969,
        IDC_LEARN = 2971,
    };

    CMatchDlg0();
    ~CMatchDlg0() override;

    // The document whose areas and active page count; set before Create.
    void SetDocument(CDIBDocEx* document) { m_pDocument = document; }
    // Method and threshold come from the document, the direction is "low".
    BOOL Create(CWnd* pOwner);

    void OnLearn();
    void OnMatch();
    const CAreaPatternCheck& GetCheck() const { return m_Check; }
    CMatchListCtrl& GetList() { return m_List; }

    int m_nMethod = -1;
    double m_dThreshold = 0.0;
    int m_nDirection = -1;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // Refused, with the dialog left open, while the threshold is no number.
    void OnOK() override;
    void OnDestroy() override;
    void OnShow();
    void OnThresholdChanged();
    void OnChoice();

    DECLARE_MESSAGE_MAP()

private:
    void FillList();

    CDIBDocEx* m_pDocument = nullptr;
    CAreaPatternCheck m_Check;
    CMatchListCtrl m_List;
};
