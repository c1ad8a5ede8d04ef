#pragma once
// CPersistentDlg: keeps the screen position of a dialog (or a view) in a
// section of the profile file ("Position", "%04d %04d": its top-left
// corner).

#include "platform/core/object.h"

class CWnd;

class CPersistentDlg : public CObject
{
    DECLARE_DYNAMIC(CPersistentDlg)

public:
    CPersistentDlg() = default;
    ~CPersistentDlg() override = default;
    CPersistentDlg(const CPersistentDlg&) = delete;
    CPersistentDlg& operator=(const CPersistentDlg&) = delete;

    // The window (not owned) and its profile section.
    void Attach(CWnd* pWnd, LPCTSTR lpszSection);
    // Moves the window to the stored corner, once per object (FALSE after
    // the first call). A corner below 1 or one that would put the window
    // partly off the screen is ignored.
    BOOL RestorePlacement();
    void SavePlacement();

private:
    CWnd* m_pWnd = nullptr;
    CString m_strSection;
    CString m_strPositionKey = "Position";
    BOOL m_bFirstTime = TRUE;
};
