#pragma once
// CCameraControlDlg: "Canon EOS Digital Camera Control" (template 102), the
// EOS camera's modal control dialog. Combo boxes follow the camera's
// properties and descriptors, the picture box shows live view with its AF
// and zoom frames, buttons drive focus, focus area and zoom; the transfer
// progress, the firmware and "Autofocus on Snapshot" are shown. Every
// control's action goes to the controller; the model's notices reach the
// dialog and its controls on the command thread and are posted on.

#include "cameraplugins/eos/actions.h"
#include "cameraplugins/eos/cameracontroller.h"
#include "cameraplugins/eos/cameramodel.h"
#include "cameraplugins/eos/ui/actionbuttons.h"
#include "cameraplugins/eos/ui/evfpicturebox.h"
#include "cameraplugins/eos/ui/propertycombobox.h"

#include "platform/ui/dialog.h"

#include <array>
#include <memory>
#include <vector>

class CFGOstrel;

class CCameraControlDlg : public CDialog, public ActionSource, public Observer
{
public:
    CCameraControlDlg(CameraModel& model, CameraController& controller, CWnd* pParentWnd = nullptr);
    ~CCameraControlDlg() override;

    // From the plug-in's export: ends live view while the dialog is open,
    // puts the dialog in the grabber's place as the model's observer, runs
    // it, and keeps its "Autofocus on Snapshot".
    static INT_PTR Open(CFGOstrel& grabber, CWnd* pParentWnd);

    void update(Observable* from, CameraEvent* event) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int m_bAFOnSnapshot = 0;

    CPropertyComboBox* Combo(UINT nID);
    CEVFPictureBox& PictureBox() { return m_pictureBox; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;

private:
    struct CButtonSlot
    {
        UINT nID;
        std::unique_ptr<CActionButton> button;
    };
    std::array<CPropertyComboBox*, 8> Combos();
    // The controls that observe the model.
    std::vector<Observer*> ControlObservers();
    void Connect();
    void Disconnect();

    CameraModel& m_model;
    CameraController& m_controller;
    CAEMode m_aeMode;
    CTv m_tv;
    CAv m_av;
    CIso m_iso;
    CMeteringMode m_meteringMode;
    CExposureComp m_exposureComp;
    CImageQuality m_imageQuality;
    CEvfAFMode m_evfAFMode;
    std::vector<CButtonSlot> m_buttons;
    CEvfZoomButton m_zoomButton;
    CEVFPictureBox m_pictureBox;
    bool m_bConnected = false;
};
