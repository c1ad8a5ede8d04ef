// CDIBVwEx: the threshold dialog - opened on a copy of the profile's colour
// threshold, fed with the colours picked over the image, and taken over
// after OK.

#include "imaging/ui/dibvwex.h"

#include "imaging/dibdoc.h"
#include "imaging/framebufferlock.h"

#include "analysis/aoidoc.h"
#include "analysis/bv.h"
#include "analysis/ui/thresdlg.h"
#include "analysis/ui/thresowner.h"
#include "outside/pixmere/dib.h"

#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/ui/appservices.h"
#include "platform/ui/windowdc.h"
#include "platform/ui/winapp.h"

namespace {

// What the threshold dialog reaches of the view and its document.
class CViewThresOwner : public CThresOwner
{
public:
    explicit CViewThresOwner(CDIBVwEx& view) : m_view(view) {}

    CWnd* GetOwnerWnd() override { return &m_view; }
    // Colour picking lasts while the dialog learns; the drawing mode it
    // replaced (a bound table's, say) comes back after it.
    void SetTrackerStyle(int nStyle) override
    {
        CDIBDoc* doc = m_view.GetDocument();
        if (doc == nullptr)
            return;
        const bool picking = doc->m_nDrawMode == CDIBView::kDrawPickColour;
        if (nStyle == 1 && !picking) {
            m_nModeBefore = doc->m_nDrawMode;
            doc->m_nDrawMode = CDIBView::kDrawPickColour;
        } else if (nStyle != 1 && picking) {
            doc->m_nDrawMode = m_nModeBefore;
        }
    }
    CDIB* GetActivePage() override
    {
        CDIBDoc* doc = m_view.GetDocument();
        return doc != nullptr ? doc->GetActiveDIB() : nullptr;
    }
    CDIB* EnsurePreviewPage() override
    {
        CDIBDoc* doc = m_view.GetDocument();
        return doc != nullptr ? doc->EnsurePreviewImage() : nullptr;
    }
    void DeletePreviewPage() override
    {
        if (CDIBDoc* doc = m_view.GetDocument())
            doc->DeleteOwnedObject();
    }
    CAOI* GetActiveAOI() override
    {
        CDIBDoc* doc = m_view.GetDocument();
        CAOIDoc* areas = doc != nullptr ? doc->GetDataDoc() : nullptr;
        return areas != nullptr ? areas->GetActiveAOI(true) : nullptr;
    }
    void RedrawView() override
    {
        if (m_view.GetSafeHwnd() != nullptr)
            m_view.Invalidate(FALSE);
    }
    bool IsVideo() override
    {
        CDIBDoc* doc = m_view.GetDocument();
        return doc != nullptr && doc->IsVideo();
    }
    bool GrabFrame() override
    {
        CDIBDoc* doc = m_view.GetDocument();
        return doc != nullptr && doc->Grab(TRUE);
    }
    void TakeLiveFrame(CDIB& frame) override
    {
        CDIBDoc* doc = m_view.GetDocument();
        CDIB* page = doc != nullptr ? doc->GetActiveDIB() : nullptr;
        if (page == nullptr)
            return;
        // The board may be writing into this page.
        const CFrameBufferLock lock(doc->IsVideo() ? GetFG() : nullptr, page);
        *page = frame;
    }

private:
    CDIBVwEx& m_view;
    int m_nModeBefore = CDIBView::kDrawNone;
};

} // namespace

void CDIBVwEx::OnToolThresholds()
{
    CDIBDoc* doc = GetDocument();
    CBV* engine = doc != nullptr ? doc->GetEngine() : nullptr;
    if (engine == nullptr)
        return;
    if (m_pThresDlg) {
        m_pThresDlg->BringWindowToTop();
        return;
    }
    if (IsVideoWithoutDisplay())
        doc->Grab(TRUE);
    if (!m_pThresOwner)
        m_pThresOwner = std::make_unique<CViewThresOwner>(*this);
    auto dialog = std::make_unique<CThresDlg>(m_pThresOwner.get());
    dialog->m_SegThres = engine->GetSettings().m_SegThres;
    if (CAppServices* services = kestrun::AppServices())
        dialog->m_bExpert = services->GetAutoThreshold();
    if (!dialog->Create(this)) {
        AfxMessageBox("Cannot create window");
        return;
    }
    m_pThresDlg = std::move(dialog);
}

bool CDIBVwEx::ColourAt(CPoint ptImage, COLORREF& colour)
{
    CDIBDoc* doc = GetDocument();
    const CDIB* page = doc != nullptr ? doc->GetActiveDIB() : nullptr;
    if (page == nullptr || ptImage.x < 0 || ptImage.y < 0 || ptImage.x >= page->GetWidth() ||
        ptImage.y >= page->GetHeight())
        return false;
    colour = page->GetPixel(ptImage.x, ptImage.y);
    return true;
}

void CDIBVwEx::LearnThresholdAt(CPoint ptImage)
{
    COLORREF colour = 0;
    if (!m_pThresDlg || !ColourAt(ptImage, colour))
        return;
    m_pThresDlg->LearnFromColor(colour);
    // The picked pixel shows red on the screen until the next repaint.
    if (GetClientWidget() != nullptr) {
        CClientDC dc(this);
        OnPrepareDC(&dc);
        dc.SetPixel(ptImage.x, ptImage.y, RGB(255, 0, 0));
    }
}

LRESULT CDIBVwEx::OnThresLiveFrame(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    if (m_pThresDlg)
        m_pThresDlg->TakeLiveFrame();
    return 0;
}

void CDIBVwEx::ThresholdsClosed(WPARAM wParam)
{
    if (!m_pThresDlg)
        return;
    CDIBDoc* doc = GetDocument();
    CBV* engine = doc != nullptr ? doc->GetEngine() : nullptr;
    if (wParam == 1 && engine != nullptr) {
        CSegThres& profile = engine->GetSettings().m_SegThres;
        if (m_pThresDlg->m_SegThres != profile) {
            if (CAppServices* services = kestrun::AppServices())
                services->SetSettingsChanged();
        }
        profile = m_pThresDlg->m_SegThres;
        if (CAppServices* services = kestrun::AppServices())
            services->SetAutoThreshold(m_pThresDlg->m_bExpert);
        if (CWnd* main = AfxGetMainWnd())
            main->SendMessageToDescendants(RegisterWindowMessage("PARAMETER_CHANGED"), 0, 0);
    }
    m_pThresDlg.reset();
}
