// The image view's measures along scan rays: "Search Edge" and the
// drawing of the document's scan-ray results.

#include "imaging/ui/dibvwex.h"

#include "imaging/dibdocex.h"
#include "imaging/ui/scandlg.h"

#include "analysis/scanrayresult.h"
#include "platform/core/messagebox.h"

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

void CDIBVwEx::OnToolScanContinuous()
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr)
        return;
    if (m_pScanDlg && m_pScanDlg->GetSafeHwnd()) {
        m_pScanDlg->ShowWindow(SW_SHOW);
        return;
    }
    auto dialog = std::make_unique<CScanDlg>();
    if (!dialog->Create(this)) {
        AfxMessageBox("Cannot create window");
        return;
    }
    dialog->SetDocument(doc);
    m_pScanDlg = std::move(dialog);
}
