#include "analysis/cooccurencematrix.h"

#include "platform/core/exceptions.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(CooccurenceMatrixTest, LevelCountsAndShifts)
{
    const struct
    {
        int levels;
        int shift;
    } cases[] = {{8, 5}, {16, 4}, {32, 3}, {64, 2}, {128, 1}, {256, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(CCooccurenceMatrix(c.levels).GetShift(), c.shift) << c.levels;
    for (const int bad : {0, 4, 12, 31, 512, -32})
        EXPECT_THROW(CCooccurenceMatrix{bad}, CInvalidArgException) << bad;
}

TEST(CooccurenceMatrixTest, PairsFallIntoLevelsSymmetrically)
{
    CCooccurenceMatrix m(32);
    m.AddPair(0, 7);     // both level 0: twice on the diagonal
    m.AddPair(248, 255); // level 31
    m.AddPair(8, 255);   // levels 1 and 31, both ways round
    EXPECT_EQ(m.GetCell(0, 0), 2.0);
    EXPECT_EQ(m.GetCell(31, 31), 2.0);
    EXPECT_EQ(m.GetCell(1, 31), 1.0);
    EXPECT_EQ(m.GetCell(31, 1), 1.0);
    EXPECT_EQ(m.GetPairCount(), 6);
    EXPECT_THROW(m.GetCell(32, 0), CInvalidArgException);
}

TEST(CooccurenceMatrixTest, UniformAreaMeasures)
{
    CCooccurenceMatrix m(32);
    for (int i = 0; i < 5; ++i)
        m.AddPair(100, 100);
    EXPECT_DOUBLE_EQ(m.Energy(), 1.0);
    EXPECT_DOUBLE_EQ(m.Contrast(), 0.0);
    EXPECT_DOUBLE_EQ(m.Entropy(), 0.0);
    EXPECT_DOUBLE_EQ(m.Homogeneity(), 1.0);
}

TEST(CooccurenceMatrixTest, HomogeneityReadsTheCellsAsTheyStand)
{
    // Neighbouring levels 0..7 in a row: seven pairs of difference 1.
    CCooccurenceMatrix m(32);
    for (int i = 0; i < 7; ++i)
        m.AddPair(static_cast<BYTE>(8 * i), static_cast<BYTE>(8 * (i + 1)));
    EXPECT_DOUBLE_EQ(m.Homogeneity(), 14 * 0.5); // raw counts
    EXPECT_DOUBLE_EQ(m.Energy(), 1.0 / 14.0);    // normalises
    EXPECT_DOUBLE_EQ(m.Homogeneity(), 0.5);
    // A second normalisation changes nothing.
    m.Normalize();
    EXPECT_DOUBLE_EQ(m.Contrast(), 1.0);
    EXPECT_NEAR(m.Entropy(), -std::log(14.0), 1e-12);
}

} // namespace
