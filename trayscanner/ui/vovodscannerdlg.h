#pragma once
// CVovodScannerDlg: "Trayvo Control", the box's modal control dialog. While
// it is open it is the box's interface: the box posts its notices to it.
// Any change by hand (a light, an intensity, the carriage) leaves no
// profile selected.

#include "platform/ui/dialog.h"
#include "trayscanner/camboxinterface.h"
#include "trayscanner/ui/tracklookbutton.h"

class CTrayvoBox;
class CComboBox;

class CVovodScannerDlg : public CDialog, public CCamBoxInterface, public kestrun::tablon::ITrackLookOwner
{
public:
    static constexpr double kMmAtTop = 339.0;
    static constexpr double kMmPerStep = 0.0046366827846592035;

    explicit CVovodScannerDlg(CTrayvoBox& box, CWnd* pParentWnd = nullptr);

    // Also hands the box its former interface back when the dialog ends.
    INT_PTR DoModal() override;

    // The box's notices.
    void TopLimitReached() override;
    void BottomLimitReached() override;
    void PositionReached(int nPosition) override;
    void PositionUpdate(int nPosition, bool bNoLimitYet = false) override;

    void OnTrackPressed(UINT nID) override;
    void OnTrackReleased(UINT nID) override;

    // The carriage position in mm as the dialog shows it.
    static CString FormatMm(DWORD nPosition);

    CString m_strStatus = "Trayvo ready";
    CString m_strMm;
    DWORD m_nPosition = 0;
    bool m_bIndicatorEnabled = true;
    CString m_strProfile;

protected:
    BOOL OnInitDialog() override;
    void OnCreateControls() override;
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) override;
    LRESULT OnCamBoxPosition(WPARAM wParam, LPARAM lParam);
    void OnWhite();
    void OnGreen();
    void OnBacklight();
    void OnStopCamera();
    void OnProfileChange();
    void OnSaveProfile();
    void OnDeleteProfile();
    void OnDoorOpen();
    void OnDoorClose();
    void OnDoorStop();
    void OnAdvanced();

    DECLARE_MESSAGE_MAP()

private:
    void SwitchLight(UINT nID, int nMask);
    void Deselect();
    void RefreshLights();
    void RefreshPosition();
    void FillProfiles();
    CComboBox* Profiles();

    CTrayvoBox& m_box;
    CCamBoxInterface* m_pPrevious = nullptr;
    UINT m_nPositionMessage;
};
