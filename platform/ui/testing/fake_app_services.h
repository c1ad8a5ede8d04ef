#pragma once
// A CAppServices for tests: every answer is a public member that the test
// sets; the scanning-box calls are recorded. Installs itself for its
// lifetime and puts back what was installed before.

#include "platform/ui/appservices.h"

#include <vector>

namespace kestrun::testing {

class CFakeAppServices : public CAppServices
{
public:
    CFakeAppServices();
    ~CFakeAppServices() override;
    CFakeAppServices(const CFakeAppServices&) = delete;
    CFakeAppServices& operator=(const CFakeAppServices&) = delete;

    CBV* GetEngine() override { return m_pEngine; }
    CSRC* GetTemplates() override { return m_pTemplates; }
    CCalibration* GetCalibration() override { return m_pCalibration; }
    CMultiDocTemplate* GetImageTemplate() override { return m_pImageTemplate; }
    CMultiDocTemplate* GetMainTemplate() override { return m_pMainTemplate; }
    CMultiDocTemplate* GetModeTemplate() override { return m_pModeTemplate; }
    CString GetDataRoot() const override { return m_strDataRoot; }
    CString GetImageDir() const override { return m_strImageDir; }
    CString GetDataDir() const override { return m_strDataDir; }
    int GetMode() const override { return m_nMode; }
    int GetUserLevel() const override { return m_nUserLevel; }
    int GetADType() const override { return m_nADType; }
    BOOL GetAutoThreshold() const override { return m_bAutoThreshold; }
    void SetAutoThreshold(BOOL bAuto) override { m_bAutoThreshold = bAuto; }
    CString GetCurrentProfileName() const override { return m_strProfileName; }
    void SetSettingsChanged() override { m_nSettingsChanged = 1; }
    CView* GetFormView() override { return m_pFormView; }
    CDocument* GetImageDocument() override { return m_pImageDocument; }
    CView* GetImageView() override { return m_pImageView; }
    CView* GetGridView() override { return m_pGridView; }
    void SetTrayvoState(int nState) override { m_trayvoStates.push_back(nState); }
    void SetTrayvoMessage(const char* lpszMessage) override { m_trayvoMessages.emplace_back(lpszMessage ? lpszMessage : ""); }
    CString GetGrabberProfileName() const override { return m_strGrabberProfileName; }
    void SetGrabberProfileName(const CString& strName) override { m_strGrabberProfileName = strName; }

    CBV* m_pEngine = nullptr;
    CSRC* m_pTemplates = nullptr;
    CCalibration* m_pCalibration = nullptr;
    CMultiDocTemplate* m_pImageTemplate = nullptr;
    CMultiDocTemplate* m_pMainTemplate = nullptr;
    CMultiDocTemplate* m_pModeTemplate = nullptr;
    // The folders default to the test's data root.
    CString m_strDataRoot;
    CString m_strImageDir;
    CString m_strDataDir;
    int m_nMode = 0;
    int m_nUserLevel = 1;
    int m_nADType = -1;
    BOOL m_bAutoThreshold = FALSE;
    CString m_strProfileName;
    int m_nSettingsChanged = 0;
    CView* m_pFormView = nullptr;
    CDocument* m_pImageDocument = nullptr;
    CView* m_pImageView = nullptr;
    CView* m_pGridView = nullptr;
    std::vector<int> m_trayvoStates;
    std::vector<CString> m_trayvoMessages;
    CString m_strGrabberProfileName;

private:
    CAppServices* m_pPrevious;
};

} // namespace kestrun::testing
