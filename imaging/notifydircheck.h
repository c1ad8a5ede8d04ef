#pragma once
// CNotifyDirCheck watches a folder tree on a worker thread and reports each
// file created (2), deleted (1) or changed (3) in it, to a callback or, with
// none, to OnChange. CDirChangeClient is the interface a window implements
// to receive the notices.
//
// After every change notice the worker waits for the burst to settle, takes
// the notices (watching new folders), scans the tree and compares it with
// the scan before: every change is reported, several files at once too.
// Callbacks run on the worker: they must not wait for the user-interface
// thread (Stop joins the worker there). What the user sees - OnChange's
// box, the error box - is posted to the thread that made the watcher.

#include "imaging/fileinformation.h"

#include "platform/core/changenotification.h"
#include "platform/core/clock.h"
#include "platform/core/postedwork.h"

#include <atomic>
#include <thread>

class CDirChangeClient
{
public:
    virtual ~CDirChangeClient() = default;
    // A non-zero answer ends the watch.
    virtual int OnDirChange(CFileInformation fileInformation, int nKind) = 0;
};

// (record, kind, user word) -> non-zero ends the watch.
using DirCheckCallback = int (*)(CFileInformation, int, DWORD_PTR);

class CNotifyDirCheck : public CObject
{
    DECLARE_DYNAMIC(CNotifyDirCheck)

public:
    // The wait for a notice, and for a burst of changes to settle.
    static constexpr DWORD kWaitMs = 258;

    // On the thread that is to show the watcher's boxes.
    CNotifyDirCheck();
    ~CNotifyDirCheck() override;
    CNotifyDirCheck(const CNotifyDirCheck&) = delete;
    CNotifyDirCheck& operator=(const CNotifyDirCheck&) = delete;

    void SetFolder(const CString& strFolder) { m_strFolder = strFolder; }
    CString GetFolder() const { return m_strFolder; }
    void SetActionHandler(DirCheckCallback pfnCallback) { m_pfnCallback = pfnCallback; }
    void SetData(DWORD_PTR dwData) { m_dwData = dwData; }
    // The clock of the settling wait; the system's by default.
    void SetClock(kestrun::IClock* pClock) { m_pClock = pClock ? pClock : &kestrun::DefaultClock(); }

    // 0 without doing anything while running, while an ended worker waits
    // for Stop, or for an empty folder; 0 and the error box when the folder
    // cannot be watched; else the watch is in place, the worker runs and
    // the answer is 1.
    int Start();
    // Ends the watch and waits for the worker's end.
    void Stop();
    BOOL IsRunning() const { return m_bRun ? TRUE : FALSE; }
    // Whether a worker was started and not yet stopped (it may have ended
    // by itself).
    BOOL HasWorker() const { return m_worker.joinable() ? TRUE : FALSE; }

    // Hands work to the thread that made the watcher (see the class comment).
    void PostToOwner(std::function<void()> work) { m_ownerWork.Post(std::move(work)); }

    // With no callback: a box "Created %s", "Deleted %s" or "Changed %s"
    // with the record's path, answering 0; 1 (ends the watch) for other kinds.
    virtual int OnChange(const CFileInformation& fileInformation, int nKind);

private:
    int ThreadProc();
    int Notify(const CFileInformation& fileInformation, int nKind);
    // "%s Error N%d\n%s" for the failed call and the thread's last error.
    void ReportError(const char* lpszCall);

    DirCheckCallback m_pfnCallback = nullptr;
    std::thread m_worker;
    CString m_strFolder;
    std::atomic<bool> m_bRun{false};
    DWORD_PTR m_dwData = 0;
    kestrun::IClock* m_pClock = &kestrun::DefaultClock();
    CFolderChangeNotification m_notification;
    // The scan Start takes, handed to the worker.
    CFileInfoList m_before;
    kestrun::CPostedWork m_ownerWork;
};
