// The table view over cell tracks: one row per track with the "Mean" row
// of the speeds, and one row per frame in single-track mode.

#include "series/objdatadoc.h"
#include "series/ui/gridtemplate.h"
#include "series/ui/gridview2.h"
#include "series/tests/seriestesting.h"

#include "analysis/track.h"
#include "platform/ui/doctemplate.h"

#include <string>
#include <vector>

namespace {

using kestrun::testing::CSeriesTest;
using TrackRows = std::vector<std::vector<std::string>>;

constexpr UINT kTrackTableResource = 7301;

class TrackViewTest : public CSeriesTest
{
protected:
    void SetUp() override
    {
        CSeriesTest::SetUp();
        CMyListCtrl::ResetSortState();
        CBaseObj::SystemCalibration = CCalibration();
        m_template = kestrun::MakeTableTemplate(kTrackTableResource, RUNTIME_CLASS(CObjDataDoc),
                                                kestrun::ETableFrame::GridFrame);
    }

    void TearDown() override
    {
        m_template->CloseAllDocuments(FALSE);
        m_template.reset();
        CSeriesTest::TearDown();
    }

    CObjDataDoc& OpenTrackTable()
    {
        auto* doc = DYNAMIC_DOWNCAST(CObjDataDoc, m_template->OpenDocumentFile(nullptr));
        EXPECT_NE(doc, nullptr);
        return *doc;
    }

    static CGridView2& TrackViewOf(CDocument& doc)
    {
        POSITION position = doc.GetFirstViewPosition();
        return *DYNAMIC_DOWNCAST(CGridView2, doc.GetNextView(position));
    }

    static TrackRows TrackCells(CGridView2& view)
    {
        CMyListCtrl& list = view.GetList();
        TrackRows rows;
        for (int r = 0; r < list.GetRowCount(); ++r) {
            std::vector<std::string> row;
            for (int c = 0; c < list.GetColumnCount(); ++c)
                row.emplace_back(list.GetCellText(r, c).GetString());
            rows.push_back(row);
        }
        return rows;
    }

    static std::vector<std::string> TrackHeadings(CGridView2& view)
    {
        const CGridDoc2& doc = *view.GetGridDoc();
        std::vector<std::string> headings;
        for (const int column : view.GetShownColumns())
            headings.emplace_back(doc.m_Titles[column].GetString());
        return headings;
    }

    static CTrack* NewTrack(double vcl, double vsl, double vap, int who)
    {
        auto* track = new CTrack;
        track->SetSize(3);
        const WORD xs[3] = {10, 13, 13};
        const WORD ys[3] = {20, 24, 24};
        for (int k = 0; k < 3; ++k) {
            C3DTrackElement2009 e;
            e.m_dwTime = static_cast<DWORD>(1000 + 40 * k);
            e.m_wX = xs[k];
            e.m_wY = ys[k];
            e.m_dwArea = 50;
            e.m_wPerimeter = 30;
            track->AddPoint(e, static_cast<WORD>(k), 1);
        }
        track->m_dVCL = vcl;
        track->m_dVSL = vsl;
        track->m_dVAP = vap;
        track->m_nWHOClass = who;
        track->m_dDistance = 7.0;
        track->m_dRadius = 2.5;
        return track;
    }

    std::unique_ptr<CMultiDocTemplate> m_template;
};

TEST_F(TrackViewTest, OneRowPerTrackThenTheMeanSpeeds)
{
    CObjDataDoc& doc = OpenTrackTable();
    doc.AddObject(NewTrack(10.0, 5.0, 8.0, 5));
    doc.AddObject(NewTrack(20.0, 4.0, 6.0, 3));
    doc.UpdateAllViews(nullptr);

    CGridView2& view = TrackViewOf(doc);
    EXPECT_EQ(TrackHeadings(view),
              (std::vector<std::string>{"Index", "Frames", "Distance [Units]", "Speed (VCL)", "Speed (VSL)",
                                        "Speed (VAP)", "Linearity", "Radius", "WHO Class", "Hyperact./Trans.",
                                        "BCF (1/s)", "Wobble", "ALH   ", "Short Stop", "Long Stop"}));
    const TrackRows rows = TrackCells(view);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "2", "7.00", "10.00", "5.00", "8.00", "50.0%", "2.50", "a", "",
                                                  "0.00", "0.80", "0.00", "0", "0"}));
    EXPECT_EQ(rows[1][0], "2");
    EXPECT_EQ(rows[1][6], "20.0%");
    EXPECT_EQ(rows[1][8], "c");
    EXPECT_EQ(rows[2][0], "Mean");
    EXPECT_EQ(rows[2][3], "15.00");
    EXPECT_EQ(rows[2][4], "4.50");
    EXPECT_EQ(rows[2][5], "7.00");
    EXPECT_EQ(view.GetSummaryMode(), CGridView2::kMeanRow);
}

TEST_F(TrackViewTest, SingleTrackModeShowsOneRowPerFrame)
{
    CObjDataDoc& doc = OpenTrackTable();
    doc.m_bSingleTrack = 1;
    doc.AddObject(NewTrack(10.0, 5.0, 8.0, 5));
    doc.AddObject(NewTrack(20.0, 4.0, 6.0, 3));
    doc.SetCurrentIndex(1);
    doc.UpdateAllViews(nullptr);

    CGridView2& view = TrackViewOf(doc);
    EXPECT_EQ(TrackHeadings(view),
              (std::vector<std::string>{"Index", "Frame", "Time[ms]", "PosX", "PosY", "PosZ", "Area[Units]", "Form",
                                        "Distance [Pixel]", "Distance [Units]", "Angle", "MainAxis", "GreenEven",
                                        "GreenOdd"}));
    const TrackRows rows = TrackCells(view);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "0", "1000", "10", "20", "0", "50", "1.43", "0.00", "0.00", "0",
                                                  "0", "0", "0"}));
    EXPECT_EQ(rows[1][1], "1");
    EXPECT_EQ(rows[1][2], "1040");
    EXPECT_EQ(rows[1][8], "5.00");
    EXPECT_EQ(rows[2][8], "0.00");
}

} // namespace
