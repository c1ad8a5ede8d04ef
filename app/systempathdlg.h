#pragma once
// CSystemPath: the image and data folders, and the profile list: choosing
// a profile selects it, Save stores the current set-up under a name,
// Delete removes one, and a parameter file can be loaded into the engine.

#include "platform/ui/dialog.h"

class CKestrunApp;

class CSystemPath : public CDialog
{
public:
    CSystemPath(CKestrunApp& app, CWnd* pParentWnd = nullptr);

    CString m_strImageDir;
    CString m_strDataDir;
    // The name last chosen or saved here.
    CString m_strProfileName;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnBrowseImages();
    void OnBrowseData();
    void OnSelChangeProfile();
    void OnSaveProfile();
    void OnDeleteProfile();
    void OnLoadParameters();

    DECLARE_MESSAGE_MAP()

private:
    void Browse(UINT nEditID);
    void FillProfiles();

    CKestrunApp& m_app;
};
