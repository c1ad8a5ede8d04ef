#include "imaging/ui/dircheckdlg.h"

#include "platform/core/profile.h"
#include "platform/ui/ddx.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/pathdialog.h"

#include <filesystem>
#include <mutex>

IMPLEMENT_DYNAMIC(CDirCheckDlg, CDialog)

namespace {

constexpr const char* kSection = "PathName";
constexpr const char* kFolderKey = "AutoImages";
constexpr const char* kDeleteKey = "AutoImageDelete";

void RegisterDirCheckTemplate()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        RegisterDialogTemplate(CDirCheckDlg::IDD,
                               {"Automatic Image Input",
                                CRect(0, 0, 352, 62),
                                {
                                    DefPushButton("Start", CDirCheckDlg::IDC_START, 295, 7, 50, 14),
                                    PushButton("Stop", CDirCheckDlg::IDC_STOP, 295, 24, 50, 14),
                                    LText("Directory:", CDirCheckDlg::IDC_DIRECTORY_LABEL, 7, 9, 34, 8),
                                    EditText(CDirCheckDlg::IDC_DIRECTORY, 43, 7, 224, 12),
                                    PushButton("...", CDirCheckDlg::IDC_BROWSE, 270, 7, 18, 12),
                                    CheckBox("Delete image files after aquisition", CDirCheckDlg::IDC_DELETE, 43, 24,
                                             160, 10),
                                    LText("", CDirCheckDlg::IDC_STATUS, 7, 43, 338, 12, WS_BORDER),
                                }});
    });
}

CString CurrentFolder()
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return error ? CString() : CString(folder.c_str());
}

} // namespace

BEGIN_MESSAGE_MAP(CDirCheckDlg, CDialog)
    ON_BN_CLICKED(IDC_START, OnStart)
    ON_BN_CLICKED(IDC_STOP, OnStop)
    ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
    ON_BN_CLICKED(IDC_DELETE, OnDeleteClicked)
    ON_EN_CHANGE(IDC_DIRECTORY, OnDirectoryChanged)
END_MESSAGE_MAP()

CDirCheckDlg::CDirCheckDlg() : CDialog(IDD)
{
    BuildMessageMap();
}

CDirCheckDlg::~CDirCheckDlg()
{
    DestroyHandleNow();
    m_DirCheck.Stop();
}

void CDirCheckDlg::OnDestroy()
{
    // Only a window that read the keys writes them back: a program that
    // never opened the dialog keeps the stored folder.
    WriteSettings();
    m_DirCheck.Stop();
    CDialog::OnDestroy();
}

BOOL CDirCheckDlg::Create(CWnd* pParentWnd)
{
    if (GetSafeHwnd() != nullptr) {
        ShowWindow(SW_SHOW);
        return TRUE;
    }
    RegisterDirCheckTemplate();
    return CDialog::Create(IDD, pParentWnd);
}

BOOL CDirCheckDlg::OnInitDialog()
{
    m_strDirectory = GetProfileString(kSection, kFolderKey, m_strDirectory);
    m_bDelete = static_cast<int>(GetProfileInt(kSection, kDeleteKey, m_bDelete));
    if (m_strDirectory.IsEmpty())
        m_strDirectory = CurrentFolder();
    CDialog::OnInitDialog();
    ShowState(m_DirCheck.HasWorker() != FALSE);
    return TRUE;
}

void CDirCheckDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_DIRECTORY, m_strDirectory);
    DDV_MaxChars(pDX, m_strDirectory, kMaxPath);
    DDX_Check(pDX, IDC_DELETE, m_bDelete);
}

void CDirCheckDlg::ShowState(bool bRunning)
{
    const auto enable = [this](int nID, bool bEnable) {
        if (CWnd* control = GetDlgItem(nID))
            control->EnableWindow(bEnable ? TRUE : FALSE);
    };
    enable(IDC_STOP, bRunning);
    enable(IDC_START, !bRunning && !m_strDirectory.IsEmpty());
    enable(IDC_BROWSE, !bRunning);
    enable(IDC_DIRECTORY, !bRunning);
}

void CDirCheckDlg::WriteSettings() const
{
    WriteProfileString(kSection, kFolderKey, m_strDirectory);
    WriteProfileInt(kSection, kDeleteKey, m_bDelete);
}

void CDirCheckDlg::OnDirectoryChanged()
{
    // Only the path: the edit also changes while the data go to the controls.
    GetDlgItemText(IDC_DIRECTORY, m_strDirectory);
    if (CWnd* start = GetDlgItem(IDC_START))
        start->EnableWindow(m_strDirectory.IsEmpty() ? FALSE : TRUE);
}

void CDirCheckDlg::OnDeleteClicked()
{
    // The main window reads the flag when a file comes: it counts at once.
    UpdateData(TRUE);
    WriteSettings();
}

void CDirCheckDlg::OnBrowse()
{
    CPathDialog browser(" Directory Location...", " Directory Location...", CurrentFolder(), this);
    if (browser.DoModal() != IDOK)
        return;
    m_strDirectory = browser.GetPathName();
    UpdateData(FALSE);
    ShowState(false);
}

void CDirCheckDlg::OnStart()
{
    if (!UpdateData(TRUE) || m_strDirectory.IsEmpty())
        return;
    WriteSettings();
    ShowState(true);
    SetDlgItemText(IDC_STATUS, "Start dir check...");
    m_DirCheck.SetFolder(m_strDirectory);
    m_DirCheck.SetActionHandler(&CDirCheckDlg::OnDirNotice);
    m_DirCheck.SetData(reinterpret_cast<DWORD_PTR>(this));
    // A folder that cannot be watched was reported: the dialog stays idle.
    if (!m_DirCheck.Start())
        ShowState(m_DirCheck.HasWorker() != FALSE);
}

void CDirCheckDlg::OnStop()
{
    m_DirCheck.Stop();
    ShowState(false);
    SetDlgItemText(IDC_STATUS, "Stop dir check...");
}

void CDirCheckDlg::OnCancel()
{
    UpdateData(TRUE);
    ShowWindow(SW_HIDE);
}

int CDirCheckDlg::OnDirNotice(CFileInformation fileInformation, int nKind, DWORD_PTR dwDialog)
{
    auto* dialog = reinterpret_cast<CDirCheckDlg*>(dwDialog);
    if (nKind == CFileInformation::kCreated) {
        CString text;
        text.Format("Created %s", fileInformation.GetFullPath().GetString());
        // The watch's posted work goes with the dialog that owns it.
        dialog->m_DirCheck.PostToOwner([dialog, text] {
            if (dialog->GetSafeHwnd() != nullptr)
                dialog->SetDlgItemText(IDC_STATUS, text);
        });
    }
    return dialog->m_pClient ? dialog->m_pClient->OnDirChange(fileInformation, nKind) : 0;
}
