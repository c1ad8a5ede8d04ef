// CDIBVwEx: the perspective dialog - opened on the engine's perspective
// transform and fed with the corners clicked in the image.

#include "imaging/ui/dibvwex.h"

#include "imaging/ui/perspectivetransformdlg.h"
#include "imaging/dibdoc.h"

#include "analysis/bv.h"
#include "outside/pixmere/dib.h"
#include "platform/core/messagebox.h"

#include <algorithm>

void CDIBVwEx::OnToolPerspective()
{
    CDIBDoc* doc = GetDocument();
    CBV* engine = doc != nullptr ? doc->GetEngine() : nullptr;
    if (engine == nullptr)
        return;
    if (m_pPerspectiveDlg) {
        m_pPerspectiveDlg->BringWindowToTop();
        return;
    }
    auto dialog = std::make_unique<CPerspectiveTransformDlg>();
    if (!dialog->Create(this)) {
        AfxMessageBox("Cannot create window");
        return;
    }
    dialog->SetTransform(&engine->GetSettings().m_Perspective);
    m_pPerspectiveDlg = std::move(dialog);
}

bool CDIBVwEx::AddPerspectiveCorner(CPoint ptImage)
{
    if (!m_pPerspectiveDlg || m_pPerspectiveDlg->GetSafeHwnd() == nullptr)
        return false;
    CDIBDoc* doc = GetDocument();
    if (const CDIB* page = doc != nullptr ? doc->GetActiveDIB() : nullptr) {
        ptImage.x = std::clamp(ptImage.x, 0, std::max(page->GetWidth() - 1, 0));
        ptImage.y = std::clamp(ptImage.y, 0, std::max(page->GetHeight() - 1, 0));
    }
    m_pPerspectiveDlg->AddPoint(ptImage.x, ptImage.y);
    return true;
}
