#pragma once
// COptionsDialog: the PowerShot settings dialog (template 10000). Every
// change goes to the camera at once and leaves the settings without a
// profile name; profiles are chosen, saved and deleted here.

#include "cameraplugins/powershot/modesetting.h"

#include "platform/ui/dialog.h"

class CComboBox;
class CFGPavick;

class COptionsDialog : public CDialog
{
public:
    explicit COptionsDialog(CFGPavick& grabber, CWnd* pParentWnd = nullptr);

    // Seeds the dialog from the current settings, runs it, and on OK takes
    // the enlarged live image over and sends the settings.
    static INT_PTR Open(CFGPavick& grabber, CWnd* pParentWnd);

    // The default name of the next save.
    CString m_strKeptName;
    BOOL m_bMacro = FALSE;
    BOOL m_bAFLight = FALSE;
    BOOL m_bAF = FALSE;
    BOOL m_bZoomLive = FALSE;
    int m_nPhotoEffect = 0;
    int m_nCameraOutput = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnVScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) override;

    void OnZoomLive();
    void OnImageSize();
    void OnCameraOutput();
    void OnPhotoEffect();
    void OnAFField();
    void OnAF();
    void OnAFLight();
    void OnMacro();
    void OnMetering();
    void OnStrobe();
    void OnCompensation();
    void OnWhiteBalance();
    void OnISO();
    void OnExposureMode();
    void OnProfileChange();
    void OnSaveProfile();
    void OnDeleteProfile();

    DECLARE_MESSAGE_MAP()

private:
    CComboBox* Combo(UINT nID);
    // The item data of the selection; false when nothing is selected.
    bool SelectedCode(UINT nID, std::uint32_t& nCode);
    void FillList(UINT nID, const CModeSettingList& list, std::uint32_t nCode);
    void FillPropertyLists();
    void FillProfileList();
    void SelectCode(UINT nID, std::uint32_t nCode);
    // Every control from the current settings.
    void ShowSettings();
    void EnableCompensation();
    void SettingsChanged();

    CFGPavick& m_grabber;
    int m_nLastFilledIndex = -1;
};
