// The image view's measures along scan rays: "Search Edge" and the
// drawing of the document's scan-ray results.

#include "imaging/ui/dibvwex.h"

#include "imaging/dibdocex.h"

#include "analysis/scanrayresult.h"

void CDIBVwEx::OnToolSearchEdge()
{
    auto* doc = dynamic_cast<CDIBDocEx*>(GetDocument());
    if (doc == nullptr)
        return;
    doc->SearchThinPart();
    Invalidate(FALSE);
}

void CDIBVwEx::DrawResults(CDC* pDC)
{
    const auto* doc = dynamic_cast<const CDIBDocEx*>(GetDocument());
    if (doc == nullptr)
        return;
    for (const std::unique_ptr<CObject>& result : doc->GetResults())
        if (auto* drawable = dynamic_cast<CResult*>(result.get()))
            drawable->Draw(pDC);
}
