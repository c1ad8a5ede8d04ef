#include "database/dbfields.h"
#include "database/growthschema.h"
#include "database/ui/dbproben.h"
#include "database/ui/masterdataresources.h"
#include "dialogtesting.h"
#include "platform/core/profile.h"
#include "platform/core/recording_dc.h"
#include "platform/core/tests/scratch_folder.h"
#include "platform/ui/listctrl.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace kestrun::testing;
using namespace kestrun::dbui;

// Series 5 has the samples "a" (place 1, no pH), "b" (2), "c" (3); series 6
// has "x".
class DBProbenTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        kestrun::SetApplicationProfile((m_folder / "kestrun.ini").c_str());
        m_conn = CAdoConnection::Create();
        m_conn->Open(CString("DRIVER=SQLite3;Database=") + (m_folder / "g.db").c_str());
        PrepareGrowthSchema(m_conn);
        Reset();
    }

    void Reset()
    {
        m_conn->Execute("DELETE FROM Proben");
        m_conn->Execute("INSERT INTO Proben (MessreihenID, Reihenfolge, Probennahmestelle, pHWert) VALUES "
                        "(5, 1, 'a', NULL), (5, 2, 'b', 6.5), (5, 3, 'c', 8), (6, 1, 'x', 7)");
        m_samples = CAdoRecordset::Create();
        m_samples->PutCursorLocation(adUseClient);
        m_samples->Open("SELECT * FROM Proben WHERE Proben.MessreihenID = 5 ORDER BY Reihenfolge", m_conn,
                        adOpenKeyset, adLockOptimistic, adCmdText);
    }

    void TearDown() override { kestrun::SetApplicationProfile(""); }

    void Prepare(CDBProben& dlg) const
    {
        dlg.m_pConnection = m_conn;
        dlg.m_pRecordset = m_samples;
        dlg.m_nMessreihenID = 5;
    }

    // "place:site" of series 5, in place order.
    std::vector<CString> Stored() const
    {
        std::vector<CString> rows;
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->PutCursorLocation(adUseClient);
        rs->Open("SELECT * FROM Proben WHERE MessreihenID = 5 ORDER BY Reihenfolge", m_conn, adOpenKeyset,
                 adLockOptimistic, adCmdText);
        if (rs->GetRecordCount() > 0)
            for (rs->MoveFirst(); !rs->GetEOF(); rs->MoveNext())
                rows.push_back(FormatString("%d:%s", GetFieldInt(rs, "Reihenfolge"),
                                            GetFieldString(rs, "Probennahmestelle").GetString()));
        return rows;
    }

    static CListCtrl& List(CDialog& d) { return *dynamic_cast<CListCtrl*>(d.GetDlgItem(IDC_SAMPLE_LIST)); }

    static void Select(CDialog& d, int row)
    {
        CListCtrl& list = List(d);
        for (int i = 0; i < list.GetItemCount(); ++i)
            list.SetItemState(i, i == row ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }

    static int Selected(CDialog& d) { return List(d).GetNextItem(-1, LVNI_SELECTED); }

    // Answers the entry dialog with a site, or cancels it for nullptr.
    static void AnswerEntry(const char* site)
    {
        OnNextDialog([site](CDialog& entry) {
            if (site == nullptr) {
                // The entry has no Cancel button: Escape.
                entry.EndDialog(IDCANCEL);
                return;
            }
            Type(entry, IDC_SAMPLE_SITE, site);
            Press(entry, IDOK);
        });
    }

    // The first column's width as the dialog starts with it.
    static int List0Width() { return static_cast<int>(GetProfileInt("ProbenDlg", "Width0", 45)); }

    CScratchFolder m_folder;
    _ConnectionPtr m_conn;
    _RecordsetPtr m_samples;
};

TEST_F(DBProbenTest, AddInsertAndDeleteKeepThePlacesOneToN)
{
    struct Case
    {
        const char* what;
        UINT button;
        int selectedBefore;
        const char* site;
        std::vector<CString> stored;
        int selectedAfter;
    };
    const Case cases[] = {
        {"append", IDC_SAMPLE_ADD, 1, "d", {"1:a", "2:b", "3:c", "4:d"}, 1},
        {"insert before the selected", IDC_SAMPLE_INSERT, 1, "n", {"1:a", "2:n", "3:b", "4:c"}, 1},
        {"insert without selection goes first", IDC_SAMPLE_INSERT, -1, "n", {"1:n", "2:a", "3:b", "4:c"}, 0},
        {"cancelled entry stores nothing", IDC_SAMPLE_INSERT, 1, nullptr, {"1:a", "2:b", "3:c"}, 1},
        {"delete the middle", IDC_SAMPLE_DELETE, 1, nullptr, {"1:a", "2:c"}, 1},
        {"delete the last", IDC_SAMPLE_DELETE, 2, nullptr, {"1:a", "2:b"}, 1},
        {"delete without selection", IDC_SAMPLE_DELETE, -1, nullptr, {"1:a", "2:b", "3:c"}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Reset();
        CDBProben dlg;
        Prepare(dlg);
        int selected = -2;
        OnNextDialog([&](CDialog& d) {
            Select(d, c.selectedBefore);
            if (c.button != IDC_SAMPLE_DELETE)
                AnswerEntry(c.site);
            Press(d, c.button);
            selected = Selected(d);
            EXPECT_EQ(List(d).GetItemCount(), static_cast<int>(c.stored.size()));
            Press(d, IDOK);
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(Stored(), c.stored);
        EXPECT_EQ(selected, c.selectedAfter);
    }
}

TEST_F(DBProbenTest, EditShowsWhatIsStoredAndStoresWhatItShows)
{
    struct Case
    {
        int row;
        const char* shownPh;
        const char* typedPh;
        COleVariant storedPh;
    };
    const Case cases[] = {
        {0, "", nullptr, COleVariant::Null()},
        {1, "6.5", "", COleVariant::Null()},
        {2, "8", "7.25", COleVariant(7.25)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        CDBProben dlg;
        Prepare(dlg);
        CString shown = "unset";
        OnNextDialog([&](CDialog& d) {
            Select(d, c.row);
            OnNextDialog([&](CDialog& entry) {
                shown = TextOf(entry, IDC_SAMPLE_PH);
                if (c.typedPh != nullptr)
                    Type(entry, IDC_SAMPLE_PH, c.typedPh);
                Press(entry, IDOK);
            });
            Press(d, IDC_SAMPLE_EDIT);
            Press(d, IDOK);
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(shown, CString(c.shownPh));
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->PutCursorLocation(adUseClient);
        rs->Open(FormatString("SELECT * FROM Proben WHERE MessreihenID = 5 AND Reihenfolge = %d", c.row + 1), m_conn,
                 adOpenKeyset, adLockOptimistic, adCmdText);
        const COleVariant ph = rs->GetCollect("pHWert");
        EXPECT_EQ(ph.vt == VT_NULL, c.storedPh.vt == VT_NULL);
        if (c.storedPh.vt != VT_NULL) {
            EXPECT_DOUBLE_EQ(GetFieldDouble(rs, "pHWert"), c.storedPh.dblVal);
        }
    }
}

TEST_F(DBProbenTest, ColumnWidthsAndTheRowAreKeptOnOkOnly)
{
    struct Case
    {
        UINT button;
        int width;
        int sel;
    };
    // Cancel leaves the row the list was clamped to, not the one chosen.
    for (const Case c : {Case{IDCANCEL, 110, 2}, Case{IDOK, 150, 1}}) {
        CDBProben dlg;
        Prepare(dlg);
        dlg.m_nSel = 7; // beyond the rows: the last is selected
        int selected = -2;
        OnNextDialog([&](CDialog& d) {
            selected = Selected(d);
            List(d).SetColumnWidth(1, 150);
            Select(d, 1);
            if (c.button == IDOK)
                Press(d, IDOK);
            else
                d.EndDialog(IDCANCEL); // Escape: the dialog has no Cancel button

        });
        dlg.DoModal();
        EXPECT_EQ(selected, 2);
        EXPECT_EQ(static_cast<int>(GetProfileInt("ProbenDlg", "Width1", 110)), c.width);
        EXPECT_EQ(dlg.m_nSel, c.sel);
    }
}

TEST_F(DBProbenTest, AnEmptySeriesShowsNoRows)
{
    m_conn->Execute("DELETE FROM Proben");
    m_samples->Requery();
    CDBProben dlg;
    Prepare(dlg);
    OnNextDialog([&](CDialog& d) {
        EXPECT_EQ(List(d).GetItemCount(), 0);
        EXPECT_EQ(Selected(d), -1);
        Press(d, IDC_SAMPLE_EDIT);
        Press(d, IDC_SAMPLE_DELETE);
        Press(d, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(Stored().empty());
}

// The sample rows are painted by the dialog: each cell's text where its
// column lies, empty cells (sample "a" has no pH) not drawn at all.
TEST_F(DBProbenTest, SampleRowsAreOwnerDrawn)
{
    CDBProben dlg;
    Prepare(dlg);
    std::vector<CString> texts;
    std::vector<int> lefts;
    OnNextDialog([&](CDialog& d) {
        CRecordingDC dc;
        DRAWITEMSTRUCT item{};
        item.itemID = 0;
        item.hDC = &dc;
        item.rcItem = CRect(0, 0, 900, 16);
        dlg.OnDrawItem(IDC_SAMPLE_LIST, &item);
        for (const CDCRecord& r : dc.Records()) {
            if (r.op == "DrawText") {
                texts.push_back(r.text);
                lefts.push_back(r.points.empty() ? -1 : r.points[0].x);
            }
        }
        Press(d, IDOK);
    });
    dlg.DoModal();
    EXPECT_EQ(texts, (std::vector<CString>{"1", "a"}));
    ASSERT_EQ(lefts.size(), 2U);
    EXPECT_EQ(lefts[1], List0Width() + 6);
}

} // namespace
