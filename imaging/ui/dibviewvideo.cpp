// CDIBView with a video document: the board's live display in the view,
// the board's events and frames, and the frame rate in the status bar.

#include "imaging/ui/dibview.h"

#include "imaging/dibdoc.h"

#include "analysis/aoidoc.h"
#include "outside/grabwell/fgboard.h"

namespace {

// The board events a view handles itself.
constexpr WPARAM kEventGrabFrame = 6;

} // namespace

BOOL CDIBView::ConnectVideo()
{
    CDIBDoc* doc = GetDocument();
    FGBoard* board = GetFG();
    if (doc == nullptr || !doc->IsVideo() || board == nullptr)
        return FALSE;
    CDIB* page = doc->GetActiveDIB();
    CRect display;
    GetDisplayRect(display);
    board->SetParameter(kestrun::fgparam::kReportToWindow, doc->m_bSilent ? 1 : 0);
    // A camera plug-in sends its notices to the view, which passes them on.
    board->SetHostWindow(this);
    if (board->ConnectDisplay(page, m_hWnd, display, 0) == 0) {
        board->SetHostWindow(nullptr);
        return FALSE;
    }
    if (page)
        if (CAOIDoc* areas = GetAOIDoc())
            areas->SetImageSize(page->GetWidth(), page->GetHeight(), true);
    doc->SetTitle(board->GetName());
    board->Stretch(m_bShrinkToFit);
    board->SetDisplayRect(display);
    return TRUE;
}

void CDIBView::StartVideo()
{
    CDIBDoc* doc = GetDocument();
    FGBoard* board = VideoBoard();
    if (doc == nullptr || board == nullptr)
        return;
    // Sources that start with a still grab, and boards of two channels.
    const int type = board->GetBoardType();
    if (type == 2 || type == 0)
        doc->Grab(TRUE);
    else
        doc->SyncVideoSize();
}

LRESULT CDIBView::OnGrabwellToApp(WPARAM wParam, LPARAM /*lParam*/)
{
    CDIBDoc* doc = GetDocument();
    if (doc == nullptr)
        return 0;
    FGBoard* board = VideoBoard();
    if (board == nullptr) {
        doc->UpdateImageViews();
        return 0;
    }
    doc->SetTitle(board->GetName());
    switch (wParam) {
    case kEventGrabFrame:
        doc->Grab(TRUE);
        break;
    case kestrun::fgevent::kFormatChangedLive:
        // Posted before a snapshot or a count stopped live video: the
        // picture they left stays, and live video stays stopped.
        if (doc->IsStillsMode()) {
            doc->UpdateImageViews();
            break;
        }
        doc->Grab(TRUE);
        doc->SyncVideoSize();
        break;
    case kestrun::fgevent::kUpdateViews:
        doc->UpdateImageViews();
        break;
    default:
        if (CDIB* page = doc->GetActiveDIB())
            if (CAOIDoc* areas = GetAOIDoc())
                areas->SetImageSize(page->GetWidth(), page->GetHeight(), true);
        doc->UpdateImageViews();
        break;
    }
    return 0;
}

LRESULT CDIBView::OnGrabber(WPARAM wParam, LPARAM lParam)
{
    // A form that holds the view hears of the pictures too.
    if (CWnd* parent = GetParent())
        parent->PostMessage(s_msgGrabber, wParam, lParam);
    if (wParam == kestrun::fgevent::kPictureReady)
        Invalidate(TRUE);
    return 0;
}

LRESULT CDIBView::OnToDIBView(WPARAM wParam, LPARAM /*lParam*/)
{
    if (wParam == 0)
        Invalidate(TRUE);
    return 0;
}

void CDIBView::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kFrameRateTimer && m_nTimer != 0)
        ShowFrameRate();
    CScrollView::OnTimer(nIDEvent);
}

void CDIBView::ShowFrameRate()
{
    FGBoard* board = VideoBoard();
    if (board == nullptr || !board->IsFrameRateAvailable() || board->GetParameter(kestrun::fgparam::kNotAcquiring) != 0)
        return;
    CString text;
    text.Format("Frame Rate:%lf", board->GetParameterDouble(kestrun::fgparam::kFrameRate));
    SetStatusText(text);
}

void CDIBView::OnSize(UINT nType, int cx, int cy)
{
    CScrollView::OnSize(nType, cx, cy);
    if (FGBoard* board = VideoBoard()) {
        CRect display;
        GetDisplayRect(display);
        board->SetDisplayRect(display);
    }
}
