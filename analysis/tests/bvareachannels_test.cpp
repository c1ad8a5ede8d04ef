// The engine's measurement channels: one group per quantity, items per
// area in use (or the screen), the first group's range from the profile.

#include "analysis/bv.h"

#include "inifiles_fixture.h"

#include <gtest/gtest.h>

#include <memory>

class AreaChannelsTest : public IniFilesTest
{
protected:
    void AddArea(const CRect& rect, bool excluded)
    {
        std::unique_ptr<CAOI> area = std::make_unique<CAOI2>(rect);
        CAOI* added = area.get();
        ASSERT_EQ(m_engine.m_AOIDoc.AddAOI(area), 1);
        added->m_bExcluded = excluded ? TRUE : FALSE;
    }
    const CDataGroupAttrib& Group(int index) const { return *m_engine.GetAreaChannels().at(static_cast<size_t>(index)); }

    CBV m_engine;
};

TEST_F(AreaChannelsTest, ExcludedAreasHaveNoItems)
{
    AddArea(CRect(0, 0, 10, 10), false);
    AddArea(CRect(20, 0, 30, 10), true);
    AddArea(CRect(40, 0, 50, 10), false);
    m_engine.CreateAreaChannels();
    ASSERT_EQ(m_engine.GetAreaChannels().size(), 9u);
    const char* names[] = {"AreaChannel", "AreaAOI", "MeanColor", "Match", "Distribution",
                           "Length",      "Curvature", "Growth", "Width"};
    for (int g = 0; g < 9; ++g) {
        EXPECT_EQ(Group(g).m_strYName, names[g]);
        EXPECT_EQ(Group(g).m_strXName, "Time");
        EXPECT_EQ(Group(g).m_nXKind, 2);
    }
    ASSERT_EQ(Group(0).GetItemCount(), 24);
    EXPECT_EQ(Group(0).GetItem(0).m_strName, "Chan1/AOI1");
    EXPECT_EQ(Group(0).GetItem(1).m_strName, "Chan1/AOI3");
    EXPECT_EQ(Group(0).GetItem(23).m_strName, "Chan12/AOI3");
    EXPECT_EQ(Group(0).GetItem(23).m_nChannel, 11);
    EXPECT_EQ(Group(0).GetItem(23).m_nGroup, 2);
    for (const int g : {1, 2, 3, 5, 6}) {
        ASSERT_EQ(Group(g).GetItemCount(), 2) << g;
        EXPECT_EQ(Group(g).GetItem(0).m_strName, "AOI1");
        EXPECT_EQ(Group(g).GetItem(1).m_strName, "AOI3");
    }
    EXPECT_EQ(Group(7).GetItem(0).m_strName, "AOI1");
    EXPECT_EQ(Group(8).GetItem(0).m_strName, "Screen");
    EXPECT_EQ(Group(4).GetItem(0).m_strName, "Video1");
    EXPECT_DOUBLE_EQ(Group(0).m_dYMax, 300000.0);

    // Rebuilding replaces the groups; clearing leaves none.
    m_engine.CreateAreaChannels();
    EXPECT_EQ(m_engine.GetAreaChannels().size(), 9u);
    m_engine.ClearAreaChannels();
    EXPECT_TRUE(m_engine.GetAreaChannels().empty());
}

TEST_F(AreaChannelsTest, WithoutAreasEveryGroupHasTheScreen)
{
    m_engine.CreateAreaChannels();
    ASSERT_EQ(Group(0).GetItemCount(), 12);
    for (int c = 0; c < 12; ++c) {
        EXPECT_EQ(Group(0).GetItem(c).m_strName, FormatString("Chan%d/Screen", c + 1));
        EXPECT_EQ(Group(0).GetItem(c).m_nChannel, c);
    }
    ASSERT_EQ(Group(1).GetItemCount(), 1);
    EXPECT_EQ(Group(1).GetItem(0).m_strName, "Screen");
    EXPECT_EQ(Group(7).GetItem(0).m_strName, "Screen");
}

TEST_F(AreaChannelsTest, FirstRangeFromTheProfile)
{
    struct sCase
    {
        int save;
        const char* low;
        const char* high;
        double wantLow;
        double wantHigh;
    };
    const sCase cases[] = {
        {0, "5", "50", 0.0, 300000.0},
        {1, "5", nullptr, 5.0, 300000.0},
        {1, "-2.5", "1000", -2.5, 1000.0},
        {1, "nonsense", "inf", 0.0, 300000.0},
    };
    for (const sCase& c : cases) {
        WriteProfileInt("AreaChannel", "SaveYMinMax", c.save);
        WriteProfileString("AreaChannel", "Ymin", c.low);
        WriteProfileString("AreaChannel", "Ymax", c.high);
        m_engine.CreateAreaChannels();
        EXPECT_DOUBLE_EQ(Group(0).m_dYMin, c.wantLow) << c.low;
        EXPECT_DOUBLE_EQ(Group(0).m_dYMax, c.wantHigh) << (c.high ? c.high : "none");
    }
}
