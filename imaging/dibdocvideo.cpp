// CDIBDoc as a video document: pages the frame-grabber board fills, grabs
// and live video.

#include "imaging/dibdoc.h"
#include "imaging/framebufferlock.h"

#include "outside/grabwell/fgboard.h"

#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "platform/ui/winapp.h"

namespace {

constexpr int kVideoWidth = 640;
constexpr int kVideoHeight = 480;
constexpr int kVideoBits = 24;
// A board with two input channels, the only kind that grabs double.
constexpr int kTwoChannelBoard = 2;

constexpr const char* kSection = "CDIBDoc";
constexpr const char* kDoubleGrabbingKey = "DoubleGrabbing";

int profileInt(const char* section, const char* key, int def)
{
    if (CWinApp* app = AfxGetApp())
        return static_cast<int>(app->GetProfileInt(section, key, def));
    return static_cast<int>(GetProfileInt(section, key, def));
}

void writeProfileInt(const char* section, const char* key, int value)
{
    if (CWinApp* app = AfxGetApp())
        app->WriteProfileInt(section, key, value);
    else
        WriteProfileInt(section, key, value);
}

} // namespace

FGBoard* CDIBDoc::VideoBoard() const
{
    return m_bVideo ? GetFG() : nullptr;
}

void CDIBDoc::FreePage(std::unique_ptr<CDIB> page)
{
    // The board would go on writing into freed memory.
    if (FGBoard* board = VideoBoard(); board && page && board->GetDIB() == page.get())
        board->DisconnectDisplay();
    page.reset();
}

void CDIBDoc::CopyPage(CDIB& target, const CDIB& source)
{
    if (&target == &source)
        return;
    const CFrameBufferLock lock(VideoBoard(), &target, &source);
    target = source;
}

CSize CDIBDoc::GetImageSize()
{
    if (FGBoard* board = VideoBoard(); board && !m_bStillsMode)
        return CSize(board->GetParameter(kestrun::fgparam::kLiveWidth), board->GetParameter(kestrun::fgparam::kLiveHeight));
    return GetPageSize();
}

BOOL CDIBDoc::InitVideoPages()
{
    m_bDoubleGrabbing = profileInt(kSection, kDoubleGrabbingKey, m_bDoubleGrabbing);
    m_bVideo = TRUE;
    if (m_pages.empty()) {
        auto page = std::make_unique<CDIB>();
        page->InitDIB(kVideoWidth, kVideoHeight, kVideoBits);
        m_pages.push_back(std::move(page));
    } else {
        CDIB& first = *m_pages.front();
        const CFrameBufferLock lock(VideoBoard(), &first);
        first.InitDIB(kVideoWidth, kVideoHeight, kVideoBits);
    }
    return TRUE;
}

void CDIBDoc::OnCloseDocument()
{
    if (m_bVideo)
        writeProfileInt(kSection, kDoubleGrabbingKey, m_bDoubleGrabbing);
    CDocument::OnCloseDocument();
}

void CDIBDoc::SyncVideoSize()
{
    FGBoard* board = VideoBoard();
    if (board == nullptr || m_pages.empty())
        return;
    if (m_bStillsMode) {
        m_bStillsMode = FALSE;
        if (GetImageSize() != GetPageSize())
            UpdateImageViews();
    }
    board->StartLive();
}

BOOL CDIBDoc::GrabIfNotLive()
{
    if (FGBoard* board = VideoBoard(); board && board->IsLive())
        return TRUE;
    return Grab(TRUE);
}

void CDIBDoc::ToggleContinuousGrabbing()
{
    FGBoard* board = VideoBoard();
    if (board == nullptr)
        return;
    if (board->IsLive())
        Grab(TRUE);
    else
        SyncVideoSize();
}

BOOL CDIBDoc::FreezeLiveVideo()
{
    FGBoard* board = VideoBoard();
    if (board == nullptr || !board->IsLive())
        return FALSE;
    // No frame is grabbed: a new one would not be the picture shown.
    board->StopLive();
    m_bStillsMode = TRUE;
    if (!m_pages.empty()) {
        const CSize size = GetPageSize();
        if (size != m_lastImageSize && size.cx > 0 && size.cy > 0) {
            PropagateImageSize(size);
            m_lastImageSize = size;
        }
    }
    return TRUE;
}

BOOL CDIBDoc::Grab(BOOL bUpdate)
{
    FGBoard* board = VideoBoard();
    if (board == nullptr || m_pages.empty())
        return FALSE;

    BOOL redraw = m_nActivePage > 0 ? TRUE : FALSE;
    // A video document keeps only its first page between grabs.
    while (GetPageCount() > 1)
        DeletePage(GetPageCount() - 1);
    PopUndo(undoClear);
    if (!m_bStillsMode) {
        if (GetImageSize() != GetPageSize())
            redraw = TRUE;
        m_bStillsMode = TRUE;
    }
    if (m_bAppend && GetPageCount() < 4)
        AddPage(std::make_unique<CDIB>());
    else
        ClampActiveIndex();

    // Nothing to grab into: the caller hears of it. The document stays
    // open, because its callers still hold it.
    const CDIB* page = GetActiveDIB();
    if (page == nullptr || page->GetWidth() == 0 || page->GetHeight() == 0)
        return FALSE;
    if (!Acquire(*board, redraw))
        return FALSE;

    const CSize size = GetPageSize();
    if (size.cx == 0 || size.cy == 0)
        return FALSE;
    if (size != m_lastImageSize) {
        PropagateImageSize(size);
        UpdateImageViews();
        m_lastImageSize = size;
    }
    if (GetPageCount() > 1)
        redraw = TRUE;
    if (!board->IsContinuous() && bUpdate) {
        RedrawImage(redraw);
        // Shown at once, before the caller goes on.
        kestrun::PumpMessages();
    }
    m_bFreshImage = FALSE;
    return TRUE;
}

BOOL CDIBDoc::Acquire(FGBoard& board, BOOL& bRedraw)
{
    bool delivered = true;
    auto grabStill = [&board, &delivered] { delivered = board.GrabFrame(0) != 0.0 && delivered; };
    if (board.GetBoardType() == kTwoChannelBoard && m_bDoubleGrabbing) {
        const int frames = board.GetFrameCount();
        const BYTE channel = board.GetInpChannel();
        if (channel == 0 || channel == 1) {
            // Channel 0 into the left half, channel 1 into the right half.
            board.SetGrabMode(1);
            if (channel != 0)
                board.SetInpChannel(0);
            grabStill();
            board.SetInpChannel(1);
            grabStill();
            board.SetInpChannel(0);
        } else {
            board.SetGrabMode(0);
            grabStill();
        }
        if (board.GetFrameCount() != frames)
            bRedraw = TRUE;
    } else {
        board.SetGrabMode(0);
        grabStill();
    }
    if (!delivered)
        return FALSE;

    // Without a view connected to the active page the frame is in the
    // board's own page.
    CDIB* page = GetActiveDIB();
    if (const CDIB* frame = board.GetDIB(); frame && frame != page)
        CopyPage(*page, *frame);
    return TRUE;
}
