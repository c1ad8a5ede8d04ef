#pragma once
// The source manager's dialogs: the list of scanners to choose from, and
// the questions and errors of a scan through the message-box service.

#include "outside/scansource/sourcemanager.h"

#include "platform/ui/dialog.h"
#include "platform/ui/listboxes.h"

class CSourceSelectDlg : public CDialog
{
    DECLARE_DYNAMIC(CSourceSelectDlg)

public:
    static constexpr UINT IDC_SOURCE_LIST = 1001;

    CSourceSelectDlg(const std::vector<CSaneDeviceInfo>& devices, int nCurrent);

    // The chosen device after OK.
    int GetSelected() const { return m_nSelected; }
    // One line of the list: the device's name, maker and model.
    static CString DeviceText(const CSaneDeviceInfo& device);

protected:
    void OnCreateControls() override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    const std::vector<CSaneDeviceInfo>& m_devices;
    int m_nSelected;
    CListBox* m_pList = nullptr;
};

class CDialogSourceUi : public ISourceUi
{
public:
    int ChooseSource(const std::vector<CSaneDeviceInfo>& devices, int nCurrent) override;
    bool ConfirmScan(const CSaneDeviceInfo& device) override;
    void ShowError(const CString& strText) override;
};
