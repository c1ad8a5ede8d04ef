#pragma once
// CThresExtDlg: the expert settings of a threshold - its mark colour,
// parameter files in section "Threshold", and the application's automatic
// threshold switch. Works on its own copy; the caller takes it after OK.

#include "analysis/segthres.h"
#include "platform/ui/dialog.h"

class CThresExtDlg : public CDialog
{
public:
    explicit CThresExtDlg(CWnd* pParentWnd = nullptr);

    CString m_strFilePath; // first folder of the file dialogs
    CSegThres m_SegThres;
    int m_bFlag = 0; // "Auto Threshold On"

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnMarkColor();
    void OnLoad();
    void OnSave();

    DECLARE_MESSAGE_MAP()

private:
    void ShowMarkColor();
};
