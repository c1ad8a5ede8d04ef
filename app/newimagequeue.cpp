#include "app/newimagequeue.h"

#include <algorithm>
#include <sys/stat.h>

void CNewImageQueue::Push(const CString& strPath)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (std::none_of(m_entries.begin(), m_entries.end(), [&](const CEntry& entry) { return entry.path == strPath; }))
        m_entries.push_back({strPath});
}

std::vector<CString> CNewImageQueue::TakeSettled()
{
    std::vector<CString> settled;
    const ULONGLONG now = m_pClock->NowMs();
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (auto entry = m_entries.begin(); entry != m_entries.end();) {
        struct stat info {};
        if (::stat(entry->path, &info) != 0) {
            entry = m_entries.erase(entry);
            continue;
        }
        const long long writeNs = static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
        const bool same = entry->size == info.st_size && entry->writeNs == writeNs;
        if (entry->checked && now - entry->checkedAtMs < kCheckIntervalMs) {
            ++entry;
        } else if (entry->checked && same) {
            settled.push_back(entry->path);
            entry = m_entries.erase(entry);
        } else {
            *entry = {entry->path, true, now, static_cast<long long>(info.st_size), writeNs};
            ++entry;
        }
    }
    return settled;
}

bool CNewImageQueue::HasPending() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return !m_entries.empty();
}
