// The statistics dialog: one bar per pair that both counts and labels hold,
// each labelled, taller for a larger count; no counts, no bars and no
// crash. The table's "Class Statistic" counts its shown records by class.

#include "series/ui/statdlg.h"

#include "series/classstatistic.h"
#include "series/tests/seriestesting.h"

#include "platform/core/recording_dc.h"
#include "platform/ui/widgetbridge.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace statdlgtest {

using kestrun::testing::CSeriesTest;

struct CDrawnBars
{
    std::vector<CString> labels;
    std::vector<int> heights; // device pixels, in drawing order
};

CDrawnBars Render(CStatDlg& dialog)
{
    CRecordingDC dc;
    dialog.DrawChart(&dc, CRect(0, 0, 400, 300));
    CDrawnBars drawn;
    const std::map<CString, bool> labelSet = [&] {
        std::map<CString, bool> set;
        for (const auto& bar : dialog.GetChart().GetLabelledCounts())
            set[bar.second] = true;
        return set;
    }();
    for (const CDCRecord& r : dc.Records()) {
        if (r.op == "FillSolidRect" && r.points.size() == 2 && r.brush.lbColor == RGB(0, 0, 128))
            drawn.heights.push_back(r.points[1].y - r.points[0].y);
        if (r.op == "TextOut" && labelSet.count(r.text) != 0)
            drawn.labels.push_back(r.text);
    }
    return drawn;
}

class StatDlgTest : public CSeriesTest
{
protected:
    // The dialog's chart without its window.
    static void Initialise(CStatDlg& dialog) { dialog.FillChart(); }
};

TEST_F(StatDlgTest, OneBarPerPairThatCountsAndLabelsBothHold)
{
    struct Case
    {
        std::vector<int> counts;
        std::vector<const char*> labels;
        std::vector<CString> shown;
    };
    const Case cases[] = {
        {{3, 5, 1}, {"A", "B", "C"}, {"A", "B", "C"}},
        {{3, 5}, {"A", "B", "C"}, {"A", "B"}},
        {{3, 5, 1}, {"A"}, {"A"}},
        {{}, {"A", "B"}, {}},
        {{4}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.counts.size() << " counts, " << c.labels.size() << " labels");
        CStatDlg dialog;
        dialog.m_strTitle = "Class Statistic";
        dialog.m_Counts = c.counts;
        for (const char* label : c.labels)
            dialog.m_Labels.Add(label);
        Initialise(dialog);
        const CDrawnBars drawn = Render(dialog);
        EXPECT_EQ(drawn.labels, c.shown);
        EXPECT_EQ(drawn.heights.size(), c.shown.size());
    }
}

TEST_F(StatDlgTest, ALargerCountDrawsATallerBar)
{
    CStatDlg dialog;
    dialog.m_Counts = {2, 8, 4};
    for (const char* label : {"small", "large", "middle"})
        dialog.m_Labels.Add(label);
    Initialise(dialog);
    const CDrawnBars drawn = Render(dialog);
    ASSERT_EQ(drawn.heights.size(), 3u);
    EXPECT_LT(drawn.heights[0], drawn.heights[2]);
    EXPECT_LT(drawn.heights[2], drawn.heights[1]);
    EXPECT_NEAR(drawn.heights[1], 4 * drawn.heights[0], 2);
}

TEST_F(StatDlgTest, ClassStatisticCountsTheShownRecordsByClass)
{
    CGridDoc2 table;
    struct Record
    {
        WORD cls;
        const char* name;
        bool shown;
    };
    const Record records[] = {
        {2, "Brown", true}, {1, "Blue", true}, {2, "Brown", true}, {2, "Brown", false}, {7, "", true},
    };
    for (const Record& r : records) {
        auto object = MakeObject(0, CPoint(1, 1), CRect(0, 0, 2, 2), 4);
        object->m_dClass = r.cls;
        object->m_strClassName = r.name;
        table.AddObject(object.release());
        if (!r.shown)
            table.SelectObject(table.GetCount() - 1);
    }
    std::vector<int> counts;
    CStringArray labels;
    CountClasses(table, counts, labels);
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 1}));
    ASSERT_EQ(labels.GetSize(), 3);
    EXPECT_EQ(labels[0], "Blue");
    EXPECT_EQ(labels[1], "Brown");
    EXPECT_EQ(labels[2], "7");

    CString title;
    std::vector<CString> shown;
    QTimer::singleShot(0, [&] {
        auto* dialog = kestrun::WindowOf<CStatDlg>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->m_strTitle;
        shown = Render(*dialog).labels;
        dialog->EndDialog(IDOK);
    });
    ShowClassStatistic(table, m_main);
    EXPECT_EQ(title, "Class Statistic");
    EXPECT_EQ(shown, (std::vector<CString>{"Blue", "Brown", "7"}));
}

TEST_F(StatDlgTest, AnEmptyTableShowsAnEmptyDialog)
{
    CGridDoc2 table;
    bool shownEmpty = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = kestrun::WindowOf<CStatDlg>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shownEmpty = Render(*dialog).heights.empty();
        dialog->EndDialog(IDOK);
    });
    ShowClassStatistic(table, m_main);
    EXPECT_TRUE(shownEmpty);
}

} // namespace statdlgtest
