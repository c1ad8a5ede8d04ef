#pragma once
// CDirCheckDlg: "Automatic Image Input", the modeless dialog that chooses
// the watched folder, starts and stops the folder watch and chooses
// whether image files are deleted once they were taken in. Its client (the
// main window) receives the watch's notices; the status line shows each
// created file. The folder and the delete flag are the profile keys
// "AutoImages" and "AutoImageDelete" of section "PathName".

#include "imaging/notifydircheck.h"

#include "platform/ui/dialog.h"

class CDirCheckDlg : public CDialog
{
    DECLARE_DYNAMIC(CDirCheckDlg)

public:
    enum
    {
        IDD = 102,
        IDC_DIRECTORY = 2000,
        IDC_BROWSE = 2001,
        IDC_DIRECTORY_LABEL = 2004,
        IDC_STATUS = 2005,
        IDC_STOP = 2073,
        IDC_DELETE = 2262,
        IDC_START = 2567,
    };
    static constexpr int kMaxPath = 1024;

    CDirCheckDlg();
    // Destroys the window (see OnDestroy) and stops the watch.
    ~CDirCheckDlg() override;

    // The modeless window; shows it again when it exists.
    BOOL Create(CWnd* pParentWnd);
    void SetClient(CDirChangeClient* pClient) { m_pClient = pClient; }
    CNotifyDirCheck& GetWatcher() { return m_DirCheck; }

    void OnStart();
    void OnStop();
    void OnBrowse();

    CString m_strDirectory;
    int m_bDelete = 1;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // Hides the window; a running watch goes on.
    void OnCancel() override;
    void OnOK() override {}
    // Writes the profile keys and stops the watch: the window may go with
    // its parent before this object does.
    void OnDestroy() override;
    void OnDirectoryChanged();
    void OnDeleteClicked();

    DECLARE_MESSAGE_MAP()

private:
    // The watch's notice, on its worker thread.
    static int OnDirNotice(CFileInformation fileInformation, int nKind, DWORD_PTR dwDialog);
    void ShowState(bool bRunning);
    void WriteSettings() const;

    CNotifyDirCheck m_DirCheck;
    CDirChangeClient* m_pClient = nullptr;
};
