#pragma once
// The box's save-profile dialog: asks for a name, OK disabled while it is
// empty, and asks before a stored profile is overwritten (No keeps the
// dialog open). In a namespace of its own: the program has a dialog of the
// same name.

#include "platform/ui/dialog.h"

class CBoxProfiles;

namespace kestrun::tablon {

class CSaveProfileDlg : public CDialog
{
public:
    CSaveProfileDlg(const CBoxProfiles& profiles, const CString& strName, CWnd* pParentWnd = nullptr);

    CString m_strName;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnChangeName();

    DECLARE_MESSAGE_MAP()

private:
    void EnableOK();

    const CBoxProfiles& m_profiles;
};

} // namespace kestrun::tablon
