#include "imaging/notifydircheck.h"

#include "platform/core/errors.h"
#include "platform/core/messagebox.h"

#include <system_error>

IMPLEMENT_DYNAMIC(CNotifyDirCheck, CObject)

namespace {

constexpr DWORD kWatchedChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                  FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                                  FILE_NOTIFY_CHANGE_LAST_WRITE;

} // namespace

CNotifyDirCheck::CNotifyDirCheck() = default;

CNotifyDirCheck::~CNotifyDirCheck() { Stop(); }

int CNotifyDirCheck::Start()
{
    if (m_bRun || m_worker.joinable() || m_strFolder.IsEmpty())
        return 0;
    // The watch is in place when Start returns: nothing written after it
    // goes unseen.
    if (!m_notification.Open(m_strFolder, TRUE, kWatchedChanges)) {
        ReportError("FindFirstChangeNotification");
        return 0;
    }
    CFileInformation::ClearFileList(&m_before);
    CFileInformation::ScanDirectory(m_strFolder, &m_before);
    m_bRun = true;
    try {
        m_worker = std::thread([this] { ThreadProc(); });
    } catch (const std::system_error&) {
        m_bRun = false;
        m_notification.Close();
    }
    return m_bRun ? 1 : 0;
}

void CNotifyDirCheck::Stop()
{
    if (!m_worker.joinable())
        return;
    m_bRun = false;
    m_notification.Wake();
    // A callback that stops its own watch cannot wait for itself.
    if (m_worker.get_id() == std::this_thread::get_id()) {
        m_worker.detach();
        return;
    }
    m_worker.join();
}

int CNotifyDirCheck::OnChange(const CFileInformation& fileInformation, int nKind)
{
    const char* format = nullptr;
    switch (nKind) {
    case CFileInformation::kCreated:
        format = "Created %s";
        break;
    case CFileInformation::kDeleted:
        format = "Deleted %s";
        break;
    case CFileInformation::kChanged:
        format = "Changed %s";
        break;
    default:
        return 1;
    }
    CString text;
    text.Format(format, fileInformation.GetFullPath().GetString());
    PostToOwner([text] { AfxMessageBox(text); });
    return 0;
}

int CNotifyDirCheck::Notify(const CFileInformation& fileInformation, int nKind)
{
    if (m_pfnCallback)
        return m_pfnCallback(fileInformation, nKind, m_dwData);
    return OnChange(fileInformation, nKind);
}

void CNotifyDirCheck::ReportError(const char* lpszCall)
{
    const DWORD error = GetLastError();
    CString text;
    text.Format("%s Error N%d\n%s", lpszCall, static_cast<int>(error), kestrun::SystemErrorText(error).GetString());
    PostToOwner([text] { AfxMessageBox(text, MB_ICONERROR); });
}

int CNotifyDirCheck::ThreadProc()
{
    // The worker runs until Stop: a failure or a client's non-zero answer
    // ends the watch early, and Start refuses until Stop.
    const CString folder = m_strFolder;
    CFileInfoList before = std::move(m_before);
    CFileInfoList after;
    bool ended = false;
    while (m_bRun && !ended) {
        if (m_notification.Wait(kWaitMs) != WAIT_OBJECT_0)
            continue;
        m_pClock->SleepMs(kWaitMs);
        if (!m_bRun)
            break;
        // Notices are taken before the scan: a change after it signals again.
        if (!m_notification.Rearm()) {
            ReportError("FindNextChangeNotification");
            break;
        }
        CFileInformation::ClearFileList(&after);
        CFileInformation::ScanDirectory(folder, &after);
        for (const auto& [record, kind] : CFileInformation::FindAllChanges(before, after)) {
            if (Notify(record, kind) != 0) {
                ended = true;
                break;
            }
        }
        std::swap(before, after);
    }
    CFileInformation::ClearFileList(&before);
    CFileInformation::ClearFileList(&after);
    m_notification.Close();
    return 0;
}
