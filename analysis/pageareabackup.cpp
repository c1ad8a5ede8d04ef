#include "analysis/pageareabackup.h"

#include "platform/core/exceptions.h"

namespace kestrun {

CPageAreaBackup::CPageAreaBackup(CDIB& page, const CRect& rect) : m_page(page)
{
    const CRect inside = rect & CRect(0, 0, page.GetWidth(), page.GetHeight());
    if (inside.IsRectEmpty())
        return;
    if (!page.CopyDIB(inside, m_copy))
        AfxThrowMemoryException();
    m_origin = inside.TopLeft();
    m_bEmpty = false;
}

CPageAreaBackup::~CPageAreaBackup()
{
    if (m_bPending)
        Restore();
}

void CPageAreaBackup::Restore()
{
    // The copy lies inside the page and has its depth: pasting cannot fail.
    if (!m_bEmpty)
        m_page.InsertDIB(m_origin.x, m_origin.y, m_copy);
    m_bPending = false;
}

} // namespace kestrun
