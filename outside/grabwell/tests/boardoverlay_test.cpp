#include "outside/grabwell/tests/boardtesting.h"

#include "platform/core/recording_dc.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace p = kestrun::fgparam;
using kestrun::testing::ScratchFolder;

// What painting the overlay into a view draws.
std::vector<CDCRecord> paintedOverlay(FGBoard& board)
{
    CRecordingDC target;
    board.PaintOverlay(target);
    return target.Records();
}

std::vector<CString> opsOf(const std::vector<CDCRecord>& records)
{
    std::vector<CString> ops;
    for (const CDCRecord& record : records)
        ops.push_back(record.op);
    return ops;
}

void drawMark(FGBoard& board)
{
    CDC* dc = board.GetDC();
    ASSERT_NE(dc, nullptr);
    CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
    dc->SelectObject(&pen);
    dc->Rectangle(10, 20, 30, 40);
    board.ReleaseDC(dc);
}

class OverlayTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto folder = ScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_board = std::make_unique<FGBoard>(&m_clock, folder.c_str());
        ASSERT_EQ(m_board->GrabFrame(0), 1.0);
    }

    kestrun::ManualClock m_clock;
    std::unique_ptr<FGBoard> m_board;
};

TEST_F(OverlayTest, DrawingIsPaintedOverTheViewWithItsPen)
{
    drawMark(*m_board);
    const std::vector<CDCRecord> painted = paintedOverlay(*m_board);
    ASSERT_EQ(opsOf(painted), std::vector<CString>{"Rectangle"});
    const CDCRecord& rect = painted[0];
    EXPECT_EQ(rect.pen.lopnColor, RGB(255, 0, 0));
    EXPECT_EQ(rect.points, (std::vector<CPoint>{CPoint(10, 20), CPoint(30, 40)}));

    // Each use of the context starts from the default state.
    CDC* dc = m_board->GetDC();
    EXPECT_EQ(dc->GetCurrentLogPen().lopnColor, RGB(0, 0, 0));
    m_board->ReleaseDC(dc);

    m_board->ClearOverlay();
    EXPECT_TRUE(paintedOverlay(*m_board).empty());
}

TEST_F(OverlayTest, NewFramesClearTheOverlayUnlessSwitchedOff)
{
    EXPECT_EQ(m_board->GetParameter(p::kClearOverlay), 1);
    drawMark(*m_board);
    ASSERT_EQ(m_board->GrabFrame(0), 1.0);
    EXPECT_TRUE(paintedOverlay(*m_board).empty());

    // A measurement keeps what it draws across its frames.
    ASSERT_TRUE(m_board->SetParameter(p::kClearOverlay, 0));
    drawMark(*m_board);
    ASSERT_EQ(m_board->GrabFrame(0), 1.0);
    EXPECT_EQ(paintedOverlay(*m_board).size(), 1u);
}

TEST_F(OverlayTest, ForeignContextIsNotReleased)
{
    CRecordingDC other;
    m_board->ReleaseDC(&other); // ignored
    drawMark(*m_board);
    EXPECT_EQ(paintedOverlay(*m_board).size(), 1u);
}

} // namespace
