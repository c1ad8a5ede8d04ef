// The image document as a video document: grabs from the simulated board
// (paced by a manual clock), live video, pages the board writes into, and
// a count on a live picture.

#include "imaging/tests/boardprobe.h"
#include "imaging/tests/dibdocextesting.h"
#include "imaging/tests/imagingtesting.h"

#include "analysis/objdata.h"
#include "analysis/segthres.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/clock.h"
#include "platform/core/messages.h"

#include <opencv2/core.hpp>

namespace {

namespace p = kestrun::fgparam;
using kestrun::testing::CImagingTest;

bool samePixels(const CDIB& a, const CDIB& b)
{
    const cv::Mat left = a.GetMat();
    const cv::Mat right = b.GetMat();
    return left.size() == right.size() && left.type() == right.type() && cv::norm(left, right, cv::NORM_INF) == 0.0;
}

bool blank(const CDIB& page)
{
    return cv::norm(page.GetMat(), cv::NORM_INF) == 0.0;
}

std::unique_ptr<CDIB> colourPage(int width, int height)
{
    auto page = std::make_unique<CDIB>();
    page->InitDIB(width, height, 24);
    page->SetAllGray(RGB(1, 2, 3));
    return page;
}

class VideoDocTest : public CImagingTest
{
protected:
    void SetUp() override
    {
        CImagingTest::SetUp();
        m_board = GetFG();
        ASSERT_NE(m_board, nullptr);
        // The process's one board: back to a single-input camera at 640 x 480.
        m_board->StopLive();
        m_board->DisconnectDisplay();
        ASSERT_TRUE(m_board->SetClock(&m_clock));
        ASSERT_TRUE(m_board->SetVideoSource(0));
        ASSERT_TRUE(m_board->SetParameter(p::kSimulatedType, 1));
        ASSERT_TRUE(m_board->SetParameter(p::kLiveWidth, 640));
        ASSERT_TRUE(m_board->SetParameter(p::kLiveHeight, 480));
        m_board->SetInpChannel(0);
        m_board->SetGrabMode(0);
    }

    void TearDown() override
    {
        m_board->StopLive();
        m_board->DisconnectDisplay();
        CImagingTest::TearDown();
        m_board->SetClock(nullptr);
    }

    // An image document in a window, made a video document.
    CDIBDoc* NewVideoDocument()
    {
        CDIBDoc* doc = NewImageDocument();
        if (doc)
            doc->InitVideoPages();
        return doc;
    }

    kestrun::ManualClock m_clock;
    FGBoard* m_board = nullptr;
};

TEST_F(VideoDocTest, VideoPagesStartAsA640x480ColourPageAndDoubleGrabbingIsKept)
{
    m_app.WriteProfileInt("CDIBDoc", "DoubleGrabbing", 1);
    CDIBDoc* doc = NewImageDocument();
    ASSERT_TRUE(doc->OnOpenDocument(WriteImage("small.bmp", 8, 8, RGB(9, 9, 9))));
    EXPECT_TRUE(doc->InitVideoPages());
    EXPECT_TRUE(doc->IsVideo());
    EXPECT_TRUE(doc->m_bDoubleGrabbing);
    ASSERT_EQ(doc->GetPageCount(), 1);
    EXPECT_EQ(doc->GetPageSize(), CSize(640, 480));
    EXPECT_EQ(doc->GetActiveDIB()->GetBitCount(), 24);
    EXPECT_TRUE(blank(*doc->GetActiveDIB()));

    doc->m_bDoubleGrabbing = FALSE;
    doc->OnCloseDocument();
    EXPECT_EQ(m_app.GetProfileInt("CDIBDoc", "DoubleGrabbing", 7), 0u);

    // Without pages the video page is made; a plain document's close
    // leaves the key alone.
    CDIBDoc fresh;
    fresh.InitVideoPages();
    EXPECT_EQ(fresh.GetPageCount(), 1);
    EXPECT_EQ(fresh.GetPageSize(), CSize(640, 480));
    m_app.WriteProfileInt("CDIBDoc", "DoubleGrabbing", 5);
    NewImageDocument()->OnCloseDocument();
    EXPECT_EQ(m_app.GetProfileInt("CDIBDoc", "DoubleGrabbing", 7), 5u);
}

TEST_F(VideoDocTest, AGrabKeepsOnlyTheFirstPageAndFillsItWithTheBoardsFrame)
{
    CDIBDoc* doc = NewVideoDocument();
    doc->AddPage(colourPage(10, 10));
    doc->AddPage(colourPage(10, 10));
    doc->PushUndo(TRUE);
    doc->m_bFreshImage = TRUE;
    const int frames = m_board->GetFrameCount();

    ASSERT_TRUE(doc->Grab(TRUE));
    EXPECT_EQ(doc->GetPageCount(), 1);
    EXPECT_EQ(doc->GetUndoCount(), 0);
    EXPECT_EQ(m_board->GetFrameCount(), frames + 1);
    // No view connected the page: the frame is copied from the board's own page.
    EXPECT_NE(m_board->GetDIB(), doc->GetActiveDIB());
    EXPECT_TRUE(samePixels(*doc->GetActiveDIB(), *m_board->GetDIB()));
    EXPECT_FALSE(blank(*doc->GetActiveDIB()));
    EXPECT_EQ(doc->GetLastImageSize(), CSize(640, 480));
    EXPECT_FALSE(doc->m_bFreshImage);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(VideoDocTest, InAppendModeAGrabLeavesAnEmptyPageLastAndTheActiveIndexAsItWas)
{
    CDIBDoc* doc = NewVideoDocument();
    doc->AddPage(colourPage(10, 10));
    doc->AddPage(colourPage(10, 10));
    doc->m_bAppend = TRUE;

    ASSERT_TRUE(doc->Grab(FALSE));
    ASSERT_EQ(doc->GetPageCount(), 2);
    EXPECT_EQ(doc->GetActiveIndex(), 0);
    EXPECT_FALSE(blank(*doc->GetPage(0)));
    EXPECT_EQ(doc->GetPage(1)->GetWidth(), 0);
}

TEST_F(VideoDocTest, AGrabWithNoImageToGrabIntoFailsAndTheDocumentStaysOpen)
{
    // The active index points past the pages left after the first is
    // kept, so it comes to rest on the new empty page.
    CDIBDoc* doc = NewVideoDocument();
    doc->AddPage(colourPage(10, 10));
    doc->AddPage(colourPage(10, 10));
    doc->SetActiveIndex(2);
    doc->m_bAppend = TRUE;
    const int frames = m_board->GetFrameCount();

    EXPECT_FALSE(doc->Grab(TRUE));
    EXPECT_EQ(m_imageTemplate->Documents(), std::vector<CDocument*>({doc}));
    EXPECT_EQ(doc->GetPageCount(), 2);
    EXPECT_EQ(m_board->GetFrameCount(), frames);

    // A plain image document does not grab at all.
    CDIBDoc plain;
    plain.AddPage(colourPage(10, 10));
    EXPECT_FALSE(plain.Grab(TRUE));
    EXPECT_FALSE(plain.GrabIfNotLive());
    EXPECT_EQ(m_board->GetFrameCount(), frames);
}

TEST_F(VideoDocTest, ThePageFollowsTheBoardsFrameSizeAndTheViewsHearOfIt)
{
    ASSERT_TRUE(m_board->SetParameter(p::kLiveWidth, 320));
    ASSERT_TRUE(m_board->SetParameter(p::kLiveHeight, 240));
    CDIBDoc* doc = NewVideoDocument();
    const int updates = FirstView(doc)->m_nUpdates;

    ASSERT_TRUE(doc->Grab(FALSE));
    EXPECT_EQ(doc->GetPageSize(), CSize(320, 240));
    EXPECT_EQ(doc->GetLastImageSize(), CSize(320, 240));
    EXPECT_EQ(FirstView(doc)->m_nUpdates, updates + 1);
    // The same size again tells nobody.
    ASSERT_TRUE(doc->Grab(FALSE));
    EXPECT_EQ(FirstView(doc)->m_nUpdates, updates + 1);
}

TEST_F(VideoDocTest, AFrameGoesStraightIntoTheConnectedPage)
{
    CDIBDoc* doc = NewVideoDocument();
    CDIB* page = doc->GetActiveDIB();
    ASSERT_EQ(m_board->ConnectDisplay(page, FirstView(doc)->m_hWnd, CRect(0, 0, 640, 480)), 1);
    const int frames = m_board->GetFrameCount();
    ASSERT_TRUE(doc->Grab(TRUE));
    EXPECT_EQ(m_board->GetDIB(), page);
    EXPECT_EQ(m_board->GetFrameCount(), frames + 1);
    EXPECT_FALSE(blank(*page));
}

TEST_F(VideoDocTest, ThePageOfAConnectedDisplayIsDisconnectedBeforeItIsFreed)
{
    CDIBDoc* doc = NewVideoDocument();
    doc->AddPage(colourPage(640, 480));
    CDIB* doomed = doc->AddPage(colourPage(640, 480));
    ASSERT_EQ(m_board->ConnectDisplay(doomed, FirstView(doc)->m_hWnd, CRect(0, 0, 640, 480)), 1);

    ASSERT_TRUE(doc->Grab(TRUE));
    EXPECT_FALSE(m_board->IsDisplayRunning());
    EXPECT_TRUE(samePixels(*doc->GetActiveDIB(), *m_board->GetDIB()));
    // The board writes into its own page now, not into freed memory.
    EXPECT_EQ(m_board->GrabFrame(0), 1.0);

    // Closing the document lets go of a connected page, too.
    ASSERT_EQ(m_board->ConnectDisplay(doc->GetActiveDIB(), FirstView(doc)->m_hWnd, CRect(0, 0, 640, 480)), 1);
    doc->OnCloseDocument();
    EXPECT_FALSE(m_board->IsDisplayRunning());
    EXPECT_EQ(m_board->GrabFrame(0), 1.0);
}

TEST_F(VideoDocTest, ATwoChannelBoardGrabsBothInputsSideBySideWhenAsked)
{
    ASSERT_TRUE(m_board->SetParameter(p::kSimulatedType, 2));
    ASSERT_TRUE(m_board->SetInpChannel(1));
    CDIBDoc* doc = NewVideoDocument();
    doc->m_bDoubleGrabbing = TRUE;

    ASSERT_TRUE(doc->Grab(FALSE));
    EXPECT_EQ(doc->GetPageSize(), CSize(1280, 480));
    EXPECT_EQ(m_board->GetInpChannel(), 0);
    EXPECT_EQ(m_board->GetGrabMode(), 1);
    const cv::Mat both = doc->GetActiveDIB()->GetMat();
    EXPECT_GT(cv::norm(both.colRange(0, 640), both.colRange(640, 1280), cv::NORM_INF), 0.0);

    // Other channels, or no double grabbing: one frame.
    ASSERT_TRUE(m_board->SetInpChannel(2));
    ASSERT_TRUE(doc->Grab(FALSE));
    EXPECT_EQ(doc->GetPageSize(), CSize(640, 480));
    EXPECT_EQ(m_board->GetInpChannel(), 2);
    EXPECT_EQ(m_board->GetGrabMode(), 0);
    ASSERT_TRUE(m_board->SetInpChannel(0));
    doc->m_bDoubleGrabbing = FALSE;
    ASSERT_TRUE(doc->Grab(FALSE));
    EXPECT_EQ(doc->GetPageSize(), CSize(640, 480));
}

TEST_F(VideoDocTest, LiveVideoFollowsTheBoardAndAGrabEndsIt)
{
    ASSERT_TRUE(m_board->SetParameter(p::kLiveWidth, 320));
    ASSERT_TRUE(m_board->SetParameter(p::kLiveHeight, 240));
    CDIBDoc* doc = NewVideoDocument();
    const int updates = FirstView(doc)->m_nUpdates;

    doc->SyncVideoSize();
    EXPECT_FALSE(doc->IsStillsMode());
    EXPECT_TRUE(m_board->IsLive());
    EXPECT_EQ(doc->GetImageSize(), CSize(320, 240));
    EXPECT_EQ(doc->GetPageSize(), CSize(640, 480));
    EXPECT_EQ(FirstView(doc)->m_nUpdates, updates + 1);

    // While the board runs live nothing is grabbed.
    EXPECT_TRUE(doc->GrabIfNotLive());
    EXPECT_TRUE(m_board->IsLive());
    EXPECT_TRUE(blank(*doc->GetActiveDIB()));

    // A grab ends live video and takes the live size.
    ASSERT_TRUE(doc->Grab(TRUE));
    EXPECT_TRUE(doc->IsStillsMode());
    EXPECT_FALSE(m_board->IsLive());
    EXPECT_EQ(doc->GetImageSize(), CSize(320, 240));
    EXPECT_EQ(doc->GetPageSize(), CSize(320, 240));

    const int frames = m_board->GetFrameCount();
    EXPECT_TRUE(doc->GrabIfNotLive());
    EXPECT_EQ(m_board->GetFrameCount(), frames + 1);
}

TEST_F(VideoDocTest, ContinuousGrabbingTogglesAndASnapshotStopsItWithThePageAsGrabbed)
{
    CDIBDoc* doc = NewVideoDocument();
    CDIB* page = doc->GetActiveDIB();
    ASSERT_EQ(m_board->ConnectDisplay(page, FirstView(doc)->m_hWnd, CRect(0, 0, 640, 480)), 1);

    enum class Command { continuous, snapshot };
    struct Step
    {
        Command command;
        bool live;
    };
    const Step steps[] = {
        {Command::continuous, true},  {Command::continuous, false}, {Command::continuous, true},
        {Command::snapshot, false},   {Command::snapshot, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(&step - steps);
        const int before = m_board->GetFrameCount();
        if (step.command == Command::continuous)
            doc->ToggleContinuousGrabbing();
        else
            EXPECT_TRUE(doc->Grab(TRUE));
        EXPECT_EQ(m_board->IsLive(), step.live ? TRUE : FALSE);
        // The check marks of both commands read this word.
        EXPECT_EQ(m_board->GetGrabModeWord(), step.live ? 0 : 1);
        EXPECT_EQ(doc->IsStillsMode(), step.live ? FALSE : TRUE);
        if (step.live)
            continue;
        // Stopped with a still taken; the next tick and the board's
        // messages leave the picture as it is.
        EXPECT_GT(m_board->GetFrameCount(), before);
        const int frames = m_board->GetFrameCount();
        const CDIB shown = *page;
        m_clock.Advance(1000);
        kestrun::PumpMessages();
        EXPECT_EQ(m_board->GetFrameCount(), frames);
        EXPECT_TRUE(samePixels(*page, shown));
        EXPECT_FALSE(blank(*page));
    }
}

// A video document of image commands on the simulated camera, whose
// coloured objects on a light ground the threshold finds.
class LiveCountTest : public kestrun::testing::CDIBDocExTest
{
protected:
    void SetUp() override
    {
        CDIBDocExTest::SetUp();
        m_board = GetFG();
        ASSERT_NE(m_board, nullptr);
        ASSERT_TRUE(kestrun::testing::UseSimulatedBoard(*m_board, m_clock));
        ASSERT_TRUE(m_board->SetParameter(p::kSimulatedType, 1));
        ASSERT_TRUE(m_board->SetParameter(p::kLiveWidth, 640));
        ASSERT_TRUE(m_board->SetParameter(p::kLiveHeight, 480));
        m_board->SetInpChannel(0);
        m_board->SetGrabMode(0);
        m_engine.GetSettings().m_SegThres =
            CSegThres(RGB(180, 180, 180), RGB(255, 255, 255), CSegThres::modeOutside);
    }

    void TearDown() override
    {
        m_board->StopLive();
        m_board->DisconnectDisplay();
        CDIBDocExTest::TearDown();
        m_board->SetClock(nullptr);
    }

    struct Found
    {
        CPoint centroid;
        double area;
        bool operator==(const Found&) const = default;
    };

    static std::vector<Found> Records(CDIBDoc& doc)
    {
        std::vector<Found> found;
        auto* table = dynamic_cast<kestrun::testing::CResultListDoc*>(doc.GetResultDoc());
        for (int i = 0; table && i < table->GetCount(); ++i) {
            const auto& object = dynamic_cast<const CObjData&>(*table->GetAt(i));
            found.push_back({object.m_ptCentroid, object.GetArea()});
        }
        return found;
    }

    kestrun::ManualClock m_clock;
    FGBoard* m_board = nullptr;
};

TEST_F(LiveCountTest, ACountOnLiveVideoCountsThePictureShownAndKeepsIt)
{
    CDIBDocEx* doc = NewDocument(640, 480);
    ASSERT_TRUE(doc->InitVideoPages());
    ASSERT_EQ(m_board->ConnectDisplay(doc->GetActiveDIB(), FirstView(doc)->m_hWnd, CRect(0, 0, 640, 480)), 1);
    ASSERT_TRUE(doc->Grab(FALSE));
    doc->SyncVideoSize();
    ASSERT_TRUE(m_board->IsLive());

    Command(*doc, ID_IMAGE_SEARCH_OBJECTS);

    // The picture stands still under the outlines.
    EXPECT_FALSE(m_board->IsLive());
    EXPECT_TRUE(doc->IsStillsMode());
    const cv::Mat counted = Pixels(*doc);
    m_clock.Advance(1000);
    kestrun::PumpMessages();
    EXPECT_TRUE(Same(Pixels(*doc), counted));

    // The records are the objects of that picture: counted apart, it
    // gives the same ones.
    const std::vector<Found> live = Records(*doc);
    ASSERT_FALSE(live.empty());
    CDIBDocEx* still = NewDocument(640, 480);
    counted.copyTo(still->GetActiveDIB()->GetMat());
    Command(*still, ID_IMAGE_SEARCH_OBJECTS);
    EXPECT_EQ(Records(*still), live);
}

} // namespace
