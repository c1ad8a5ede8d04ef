// CDIBVwEx: the tracker around the active area of interest - its cursors,
// and moving or resizing the area by dragging it.

#include "imaging/ui/dibvwex.h"

#include "imaging/dibdocex.h"
#include "imaging/ui/matchdlg.h"

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"

#include "platform/ui/appservices.h"

#include <QWidget>

namespace {

// Dragging the middle only moves the area; a handle also resizes it. The
// area stays inside the image either way.
constexpr UINT kMoveFlags = CAOI::setPosition | CAOI::keepInImage;
constexpr UINT kResizeFlags = CAOI::setPosition | CAOI::setSize | CAOI::keepInImage;

// Repainted around a tracker: its handles lie outside the rectangle.
constexpr int kTrackerMargin = 10;

} // namespace

CRectTracker CDIBVwEx::MakeTracker() const
{
    return CRectTracker(&m_rectTracker, CRectTracker::dottedLine | CRectTracker::resizeOutside);
}

void CDIBVwEx::SyncTrackerRect()
{
    CAOIDoc* areas = GetAOIDoc();
    CAOI* active = areas != nullptr && areas->GetAOICount() > 0 ? areas->GetActiveAOI(false) : nullptr;
    m_rectTracker = active != nullptr ? ImageToClient(active->GetRect()) : CRect();
}

void CDIBVwEx::UpdateTrackerCursor(CPoint point)
{
    QWidget* client = GetClientWidget();
    if (client == nullptr)
        return;
    SyncTrackerRect();
    if (!MakeTracker().SetCursor(this, point))
        client->unsetCursor();
}

bool CDIBVwEx::TrackActiveArea(CPoint point)
{
    CRectTracker tracker = MakeTracker();
    const int hit = tracker.HitTest(point);
    const HWND self = m_hWnd;
    if (!tracker.Track(this, point, FALSE))
        return IsWindow(self) != FALSE;
    CAOIDoc* areas = GetAOIDoc();
    CAOI* area = areas != nullptr ? areas->GetActiveAOI(false) : nullptr;
    tracker.m_rect.NormalizeRect();
    if (area == nullptr || tracker.m_rect.IsRectEmpty())
        return true;

    const CPoint topLeft = ClientToImage(tracker.m_rect.TopLeft());
    const CPoint bottomRight = ClientToImage(tracker.m_rect.BottomRight());
    CRect moved(topLeft, bottomRight);
    moved.NormalizeRect();
    if (moved.IsRectEmpty())
        return true;
    const CRect image = areas->GetImageRect();
    const int result = area->SetPosition(moved.left, moved.top, moved.Width(), moved.Height(), image.left, image.top,
                                         image.right, image.bottom,
                                         hit == CRectTracker::hitMiddle ? kMoveFlags : kResizeFlags);
    m_nMoveResults[0] = m_nMoveResults[1];
    m_nMoveResults[1] = result;
    if (CAppServices* services = kestrun::AppServices())
        services->SetSettingsChanged();

    const CRect before = m_rectTracker;
    m_rectTracker = ImageToClient(area->GetRect());
    if (m_bDrawRulers && (m_nMoveResults[0] != 0 || m_nMoveResults[1] != 0)) {
        Invalidate(TRUE);
    } else {
        CRect changed;
        changed.UnionRect(before, m_rectTracker);
        changed.InflateRect(kTrackerMargin, kTrackerMargin);
        InvalidateRect(&changed, FALSE);
    }
    if (auto* doc = dynamic_cast<CDIBDocEx*>(GetDocument())) {
        doc->ShowHistogram(0);
        // An open profile follows the parallelogram it was taken along.
        if (dynamic_cast<CAOI3*>(area) != nullptr)
            doc->ShowIntensityProfile(FALSE);
    }
    // The tool windows that measure over the areas follow the move.
    NotifyPatternMatching(CMatchDlg::noticeAreasChanged, 0);
    RefreshSetupWizard();
    return true;
}
