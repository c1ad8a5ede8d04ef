#include "platform/ui/formview.h"

IMPLEMENT_DYNAMIC(CFormView, CScrollView)

CFormView::CFormView(UINT nIDTemplate) : m_nIDTemplate(nIDTemplate)
{
}

CFormView::~CFormView()
{
    // The controls go before the objects that own them.
    DestroyHandleNow();
}

int CFormView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CScrollView::OnCreate(lpCreateStruct) == -1)
        return -1;
    CSize size;
    if (const auto layout = kestrun::FindDialogTemplate(m_nIDTemplate)) {
        kestrun::CreateDialogControls(*this, *layout, m_controls);
        size = kestrun::DialogUnitsToPixels(layout->rect).Size();
    }
    OnCreateControls();
    if (size.cx <= 0 || size.cy <= 0) {
        // Without a template size the controls decide.
        CRect bounds;
        for (CWnd* child : GetChildren()) {
            CRect r;
            child->GetWindowRect(&r);
            ScreenToClient(&r);
            bounds |= r;
        }
        size = CSize(bounds.right, bounds.bottom);
    }
    SetScrollSizes(MM_TEXT, size);
    return 0;
}

void CFormView::OnCreateControls()
{
}

void CFormView::OnInitialUpdate()
{
    UpdateData(FALSE);
    CScrollView::OnInitialUpdate();
}

void CFormView::OnDraw(CDC*)
{
}
