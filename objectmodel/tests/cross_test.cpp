#include "objectmodel/cross.h"

#include "platform/core/recording_dc.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// (op, args) of the drawing calls, with the raster operation they used.
struct Call
{
    CString op;
    std::vector<int> args;
    int rop;
};

std::vector<Call> Calls(const CRecordingDC& dc)
{
    std::vector<Call> calls;
    for (const CDCRecord& r : dc.Records())
        calls.push_back({r.op, r.args, r.rop2});
    return calls;
}

std::vector<std::vector<int>> Arms(int x, int y, int up, int down)
{
    return {{x, y - up}, {x, y - 1}, {x, y + 1}, {x, y + down}, {x - up, y}, {x + up, y}};
}

std::vector<std::vector<int>> ArgsOf(const std::vector<Call>& calls, size_t from, size_t count)
{
    std::vector<std::vector<int>> args;
    for (size_t i = from; i < from + count && i < calls.size(); ++i)
        args.push_back(calls[i].args);
    return args;
}

} // namespace

TEST(CrossTest, DrawsThreeArmsWithItsOwnPenAndRasterOperation)
{
    CRecordingDC dc;
    CCross cross(RGB(255, 0, 0), 1, R2_XORPEN);
    cross.Draw(&dc, 50, 40);
    const std::vector<Call> calls = Calls(dc);
    // Six strokes, then the current position moves to the centre.
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(ArgsOf(calls, 0, 6), Arms(50, 40, 7, 7));
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(calls[i].rop, R2_XORPEN) << i;
    EXPECT_EQ(dc.Records()[1].pen.lopnColor, RGB(255, 0, 0));
    EXPECT_EQ(dc.GetROP2(), R2_COPYPEN);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(50, 40));
    EXPECT_TRUE(cross.IsShown());
    EXPECT_EQ(cross.GetPosition(), CPoint(50, 40));
}

TEST(CrossTest, ErasingRedrawsThePreviousCrossOnce)
{
    CRecordingDC dc;
    CCross cross(RGB(0, 0, 255), 1, R2_NOT);
    cross.m_dUpperFactor = 2.0;
    cross.Draw(&dc, 10, 10);
    EXPECT_EQ(ArgsOf(Calls(dc), 0, 6), Arms(10, 10, 14, 7));
    dc.Clear();

    // Moving with erase: the old cross (plain arms) goes, the new one comes.
    cross.Draw(&dc, 30, 20, TRUE);
    std::vector<Call> calls = Calls(dc);
    ASSERT_EQ(calls.size(), 13u);
    EXPECT_EQ(ArgsOf(calls, 0, 6), Arms(10, 10, 7, 7));
    EXPECT_EQ(calls[0].rop, R2_NOT);
    EXPECT_EQ(ArgsOf(calls, 6, 6), Arms(30, 20, 14, 7));

    dc.Clear();
    cross.Erase(&dc);
    EXPECT_FALSE(cross.IsShown());
    EXPECT_EQ(Calls(dc).size(), 6u);
    dc.Clear();
    cross.Erase(&dc);
    EXPECT_TRUE(dc.Records().empty());

    EXPECT_EQ(cross.SetColor(RGB(1, 2, 3)), RGB(0, 0, 255));
    EXPECT_EQ(cross.GetColor(), RGB(1, 2, 3));
}
