#pragma once
// CSelect: asks for the kind of a new measurement with two picture
// buttons: 2 for an A/D measurement, 1 for an image measurement, 0 after
// Cancel. A button whose picture cannot be made shows its text instead.

#include "platform/ui/buttonst.h"
#include "platform/ui/dialog.h"

class CSelect : public CDialog
{
public:
    explicit CSelect(CWnd* pParentWnd = nullptr);

    int m_nChoice = 0;
    // The buttons' pictures.
    CString m_strPictureAD = "MEASURE_AD";
    CString m_strPictureBV = "MEASURE_BV";

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnMeasureAD();
    void OnMeasureBV();

    DECLARE_MESSAGE_MAP()

private:
    void MakeButton(CButtonST& button, UINT nID, const CString& strPicture, const char* lpszText, CPoint at);

    CButtonST m_btnAD;
    CButtonST m_btnBV;
};
