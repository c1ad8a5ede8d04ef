#include "platform/ui/cmdtarget.h"

#include <QApplication>
#include <QCursor>

#include <algorithm>

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

// ---- CCmdUI ---------------------------------------------------------------

void CCmdUI::Enable(BOOL bOn)
{
    m_bEnabled = bOn ? TRUE : FALSE;
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    m_nCheck = nCheck;
}

void CCmdUI::SetRadio(BOOL bOn)
{
    SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(LPCTSTR lpszText)
{
    m_strText = lpszText;
    m_bTextChanged = TRUE;
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    if (pTarget == nullptr)
        return FALSE;
    m_bEnableChanged = FALSE;
    m_bContinueRouting = FALSE;
    const BOOL handled = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info;
        Enable(pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
    }
    return handled;
}

// ---- CCmdTarget ----------------------------------------------------------

namespace {

template <class Entry, class Same>
void addOrReplace(std::vector<Entry>& entries, Entry entry, Same same)
{
    const auto it = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return same(e, entry); });
    if (it != entries.end())
        *it = std::move(entry);
    else
        entries.push_back(std::move(entry));
}

bool inRange(UINT id, UINT first, UINT last)
{
    return id >= first && id <= last;
}

} // namespace

void CCmdTarget::AddCommandHandler(UINT nFirst, UINT nLast, int nCode, CommandHandler handler)
{
    addOrReplace(m_commands, CCommandEntry{nFirst, nLast, nCode, std::move(handler)},
                 [](const CCommandEntry& a, const CCommandEntry& b) {
                     return a.first == b.first && a.last == b.last && a.code == b.code;
                 });
}

void CCmdTarget::AddUpdateHandler(UINT nFirst, UINT nLast, UpdateHandler handler)
{
    addOrReplace(m_updates, CUpdateEntry{nFirst, nLast, std::move(handler)},
                 [](const CUpdateEntry& a, const CUpdateEntry& b) { return a.first == b.first && a.last == b.last; });
}

void CCmdTarget::AddNotifyHandler(UINT nCode, UINT nFirst, UINT nLast, NotifyHandler handler)
{
    addOrReplace(m_notifies, CNotifyEntry{nCode, nFirst, nLast, std::move(handler)},
                 [](const CNotifyEntry& a, const CNotifyEntry& b) {
                     return a.code == b.code && a.first == b.first && a.last == b.last;
                 });
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (nCode == CN_UPDATE_COMMAND_UI) {
        // Single-id entries win over ranges, whatever the order of registration.
        const CUpdateEntry* best = nullptr;
        for (const CUpdateEntry& e : m_updates) {
            if (inRange(nID, e.first, e.last) && (best == nullptr || e.first == e.last))
                best = &e;
        }
        if (best == nullptr)
            return FALSE;
        if (pHandlerInfo) {
            pHandlerInfo->pTarget = this;
            return TRUE;
        }
        auto* ui = static_cast<CCmdUI*>(pExtra);
        if (ui == nullptr)
            return FALSE;
        ui->m_bContinueRouting = FALSE;
        // A copy: the handler may register again and move the table.
        const UpdateHandler handler = best->handler;
        handler(ui);
        return ui->m_bContinueRouting ? FALSE : TRUE;
    }

    const CCommandEntry* best = nullptr;
    for (const CCommandEntry& e : m_commands) {
        if (e.code == nCode && inRange(nID, e.first, e.last) && (best == nullptr || e.first == e.last))
            best = &e;
    }
    if (best == nullptr)
        return FALSE;
    if (pHandlerInfo) {
        pHandlerInfo->pTarget = this;
        return TRUE;
    }
    const CommandHandler handler = best->handler;
    return handler(nID);
}

bool CCmdTarget::DispatchNotify(UINT nCode, UINT nID, NMHDR* pNMHDR, LRESULT* pResult)
{
    for (const CNotifyEntry& e : m_notifies) {
        if (e.code == nCode && inRange(nID, e.first, e.last)) {
            const NotifyHandler handler = e.handler;
            handler(nID, pNMHDR, pResult);
            return true;
        }
    }
    return false;
}

void CCmdTarget::BeginWaitCursor()
{
    if (qApp)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    ++m_nWaitCursors;
}

void CCmdTarget::EndWaitCursor()
{
    if (m_nWaitCursors == 0)
        return;
    --m_nWaitCursors;
    if (qApp)
        QApplication::restoreOverrideCursor();
}

void CCmdTarget::RestoreWaitCursor()
{
    if (qApp && m_nWaitCursors > 0)
        QApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
}

CWaitCursor::CWaitCursor()
{
    if (qApp)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

CWaitCursor::~CWaitCursor()
{
    if (qApp)
        QApplication::restoreOverrideCursor();
}
