// CDIBVwEx: "&Zoom" - the active area of interest fills the view (see
// OnPrepareDC), in the shrunk view only.

#include "imaging/ui/dibvwex.h"

#include "imaging/dibdoc.h"

void CDIBVwEx::OnViewZoom()
{
    m_bZoom = !m_bZoom;
    if (CDIBDoc* doc = GetDocument())
        doc->UpdateImageViews();
}

void CDIBVwEx::OnUpdateViewZoom(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_bShrinkToFit);
    pCmdUI->SetCheck(m_bZoom ? 1 : 0);
}
