#pragma once
// CPageAreaBackup: a copy of a rectangle of an image page, pasted back by
// Restore and, at the latest, when the backup goes out of scope - so that
// marks painted into the page (tracing marks every object it finds) never
// outlive the operation that painted them, also when it ends by an
// exception.

#include "outside/pixmere/dib.h"
#include "platform/core/geometry.h"

namespace kestrun {

class CPageAreaBackup
{
public:
    // The part of rect (right and bottom exclusive) inside the page.
    CPageAreaBackup(CDIB& page, const CRect& rect);
    CPageAreaBackup(const CPageAreaBackup&) = delete;
    CPageAreaBackup& operator=(const CPageAreaBackup&) = delete;
    ~CPageAreaBackup();

    // Pastes the copy back; until the next Touch, the page counts as
    // restored.
    void Restore();
    // The page is being changed again: the backup restores it when it goes.
    void Touch() { m_bPending = true; }

private:
    CDIB& m_page;
    CDIB m_copy;
    CPoint m_origin;
    bool m_bEmpty = true;
    bool m_bPending = true;
};

} // namespace kestrun
