#include "analysis/skeldata.h"

#include "objectmodel/textlabel.h"
#include "analysis/tests/drawruns.h"
#include "platform/core/recording_dc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<CString> Titles(CSkelData& record)
{
    CStringArray titles;
    record.GetColumnTitles(titles, 0);
    return {titles.begin(), titles.end()};
}

class SkelDataTest : public ::testing::Test
{
protected:
    SkelDataTest() : m_saved(CBaseObj::SystemCalibration) {}
    ~SkelDataTest() override { CBaseObj::SystemCalibration = m_saved; }

    CCalibration m_saved;
};

TEST_F(SkelDataTest, ColumnsByFlagWord)
{
    CSkelData record;
    EXPECT_EQ(record.m_ID, 5);
    EXPECT_EQ(Titles(record), (std::vector<CString>{"Index", "Length", "Width", "Tips", "Nodes"}));

    record.m_ptCentroid = CPoint(4, 5);
    record.m_nSkelLength = 40;
    record.m_nSkelWidth = 6;
    record.m_nTotLength = 55;
    record.m_arrTips.Add(POINT{1, 1});
    record.m_arrTips.Add(POINT{2, 2});
    record.m_arrTips.Add(POINT{3, 3});
    record.m_arrNodes.Add(POINT{2, 2});
    record.m_Rect = CRect(0, 0, 8, 3);
    record.m_bHitBoundary = 1;
    record.m_strClassName = "Root";
    record.m_Type = 0x806C0073; // and bits that skeletons do not show
    CBaseObj::SystemCalibration.m_dFactor = 0.5;

    const std::vector<CString> titles{"Index", "PosX",  "PosY",   "Length", "Tot.Length",        "Width",
                                      "Tips",  "Nodes", "Border", "Class"};
    EXPECT_EQ(Titles(record), titles);
    record.m_Type |= 0x100000;
    const struct
    {
        const char* title;
        const char* text;
        VARTYPE vt;
    } columns[] = {
        {"Index", "0", VT_I4},
        {"PosX", "4", VT_I4},
        {"PosY", "5", VT_I4},
        {"Length", "20.00", VT_R8},     // calibrated
        {"Tot.Length", "55.00", VT_R8}, // pixels
        {"Width", "3.00", VT_R8},
        {"Tips", "3", VT_I2},
        {"Nodes", "1", VT_I2},
        {"Rect(width,height)", "8,3", VT_BSTR},
        {"Border", "True", VT_I2},
        {"Class", "Root", VT_BSTR},
    };
    ASSERT_EQ(Titles(record).size(), std::size(columns));
    for (int i = 0; i < static_cast<int>(std::size(columns)); ++i) {
        EXPECT_EQ(Titles(record)[static_cast<size_t>(i)], columns[i].title);
        EXPECT_EQ(record.GetColumnValues(i), columns[i].text) << columns[i].title;
        EXPECT_EQ(record.GetColumnVariant(i).vt, columns[i].vt) << columns[i].title;
    }
    EXPECT_EQ(record.GetColumnVariant(8).bstrVal, "8,3");
    EXPECT_THROW(record.GetColumnValues(11), CInvalidArgException);

    // Only the fixed columns whose bits are off move a column on.
    record.m_Type = 0x80000040;
    EXPECT_EQ(record.GetColumnValues(1), "55.00");
    EXPECT_EQ(record.GetColumnValues(2), "Root");
}

TEST_F(SkelDataTest, LengthsAndCopies)
{
    CSkelData record;
    record.SetSkelLength(12.5);
    EXPECT_EQ(record.m_nSkelLength, 13);
    record.SetSkelLength(12.49);
    EXPECT_EQ(record.m_nSkelLength, 12);
    EXPECT_EQ(record.GetLength(), 12.0);

    CChain8 chain;
    chain.SetStartPoint(3, 4);
    chain.Add(0);
    chain.Add(7);
    record.SetSkeleton(chain, 9, 4);
    EXPECT_EQ(record.m_Chain.GetSize(), 2);
    EXPECT_EQ(record.m_Chain.GetStartPoint(), CPoint(3, 4));
    EXPECT_EQ(record.GetWidth(), 4.0);

    record.m_arrTips.Add(POINT{1, 2});
    record.m_arrNodes.Add(POINT{3, 4});
    record.m_nTotLength = 30;
    record.m_lArea = 50;
    CSkelData copy;
    copy.CopySkeleton(record);
    EXPECT_EQ(copy.m_nSkelLength, 9);
    EXPECT_EQ(copy.m_nSkelWidth, 4);
    EXPECT_EQ(copy.GetTipCount(), 1);
    EXPECT_EQ(copy.GetNodeCount(), 1);
    EXPECT_EQ(copy.m_lArea, 50);
    EXPECT_EQ(copy.m_Chain.GetSize(), 2);
    EXPECT_EQ(copy.m_nTotLength, 0); // not part of the skeleton copy

    copy.AddNucleus(std::make_unique<CObjData>());
    EXPECT_EQ(copy.m_nNuclei, 0);
}

using drawruns::Runs;

TEST_F(SkelDataTest, DrawsInThePartsOrderAndColours)
{
    CSkelData record;
    record.m_ptCentroid = CPoint(20, 20);
    record.m_arrTips.Add(POINT{1, 1});
    record.m_arrNodes.Add(POINT{5, 5});
    record.m_Chain.SetStartPoint(10, 10);
    record.m_Chain.Add(0);
    record.m_MinRect.m_nCenterX = 12;
    record.m_MinRect.m_Corners[2] = POINT{14, 14};
    const COLORREF colors[] = {RGB(0x10, 0, 0), RGB(0x20, 0, 0), RGB(0x30, 0, 0), RGB(0x40, 0, 0), RGB(0x50, 0, 0)};
    CTextLabel label;
    CRecordingDC dc;
    CPen* before = dc.GetCurrentPen();
    record.Draw(&dc, 3, colors, &label, 0x1 | 0x2 | 0x8 | 0x40 | 0x80);
    const std::vector<std::string> expected{
        "line 000030", "text 3", // label cross and number
        "line 000040",           // tips
        "line 000050",           // nodes
        "line 000010",           // skeleton chain in colour 0
        "line 000020",           // smallest rectangle in colour 1
    };
    EXPECT_EQ(Runs(dc), expected);
    EXPECT_EQ(dc.GetCurrentPen(), before);

    // Tips need four colours, nodes five, anything three.
    const std::span<const COLORREF> all(colors);
    EXPECT_THROW(record.Draw(&dc, 3, all.first(3), &label, 0x40), CInvalidArgException);
    EXPECT_THROW(record.Draw(&dc, 3, all.first(4), &label, 0x80), CInvalidArgException);
    EXPECT_THROW(record.Draw(&dc, 3, all.first(2), &label, 0), CInvalidArgException);
    dc.Clear();
    EXPECT_NO_THROW(record.Draw(&dc, 3, all.first(4), &label, 0x40 | 0x2));
    EXPECT_EQ(Runs(dc), (std::vector<std::string>{"line 000040", "line 000010"}));
    record.m_arrNodes.RemoveAll();
    EXPECT_NO_THROW(record.Draw(&dc, 3, all.first(3), &label, 0x80));
}

} // namespace
