#pragma once
// CCalibrationDlg: turns a reference length in pixels and its length in
// units into the pixel scale, and shows the image and chamber size and
// the chamber volume while the user types.

#include "objectmodel/calibration.h"
#include "platform/ui/dialog.h"

class CCalibrationDlg : public CDialog
{
public:
    explicit CCalibrationDlg(CWnd* pParentWnd = nullptr);

    CCalibration m_Calibration;
    int m_nWidth = 0;  // image, pixels
    int m_nHeight = 0;
    int m_nPixels = 0; // reference length, pixels
    double m_dUnits = 0.0; // reference length, units

    // The calibration for a reference length in units over the reference
    // pixels: factor and image size follow. A length or pixel count that
    // is not above 0 changes nothing. False then.
    bool ApplyReference(double units);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnChangeUnits();
    void OnChangePixels();
    void OnChangeDepth();
    void OnUnit(UINT nID);
    void OnLoad();
    void OnSave();

    DECLARE_MESSAGE_MAP()

private:
    void ShowSizes();
    void ShowReference();
    void RefreshTexts();
    // Sets a control's text without taking it for the user's typing.
    void ShowText(UINT id, const CString& text);

    bool m_bShowing = false;
};
