#pragma once
// CNewImageQueue: the files the folder watch found, waiting to be opened.
// The watch pushes from its thread; the main window takes them on its own.
// A file is taken once its size and write time held over two checks at
// least kCheckIntervalMs apart, so a file still being written is not
// opened half; a file that vanished meanwhile is dropped.

#include "platform/core/clock.h"
#include "platform/core/cstring.h"

#include <deque>
#include <mutex>
#include <vector>

class CNewImageQueue
{
public:
    static constexpr DWORD kCheckIntervalMs = 250;

    // The clock of the checks; the system's by default.
    void SetClock(kestrun::IClock* pClock) { m_pClock = pClock ? pClock : &kestrun::DefaultClock(); }

    // Any thread. A path already waiting is not queued twice.
    void Push(const CString& strPath);
    // The files that held still since their last check, in the order they
    // came; checks the others again.
    std::vector<CString> TakeSettled();
    bool HasPending() const;

private:
    struct CEntry
    {
        CString path;
        bool checked = false;
        ULONGLONG checkedAtMs = 0;
        long long size = 0;
        long long writeNs = 0;
    };

    mutable std::mutex m_mutex;
    std::deque<CEntry> m_entries;
    kestrun::IClock* m_pClock = &kestrun::DefaultClock();
};
