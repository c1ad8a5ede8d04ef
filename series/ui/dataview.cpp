#include "series/ui/dataview.h"

#include "platform/core/dc.h"
#include "platform/core/messages.h"
#include "platform/ui/printing.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_DYNCREATE(CDataView, CView)

namespace {

constexpr double kMillimetresPerInch = 25.4;

int MillimetresToDevice(CDC& dc, int millimetres, int capability)
{
    return static_cast<int>(std::lround(millimetres * dc.GetDeviceCaps(capability) / kMillimetresPerInch));
}

} // namespace

CDataView::CDataView()
{
    // Documents that go tell the windows under this name.
    RegisterWindowMessage("DELETE_DOCUMENT");
}

CDataView::~CDataView() = default;

void CDataView::OnDraw(CDC* /*pDC*/)
{
    // The view's controls paint themselves.
}

void CDataView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    CView::OnPrepareDC(pDC, pInfo);
    if (pDC == nullptr || !pDC->IsPrinting())
        return;
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty())
        client.SetRect(0, 0, 640, 480);
    const int marginX = MillimetresToDevice(*pDC, m_nMarginX, LOGPIXELSX);
    const int marginY = MillimetresToDevice(*pDC, m_nMarginY, LOGPIXELSY);
    const int width = std::max(pDC->GetDeviceCaps(HORZRES) - 2 * marginX, 1);
    const int height = std::max(pDC->GetDeviceCaps(VERTRES) - 2 * marginY, 1);
    pDC->SetMapMode(MM_ANISOTROPIC);
    pDC->SetWindowExt(client.Width(), client.Height());
    pDC->SetViewportExt(width, height);
    pDC->SetViewportOrg(marginX, marginY);
}
