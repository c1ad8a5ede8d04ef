#include "database/dbfields.h"
#include "database/growthschema.h"
#include "database/ui/dbverd.h"
#include "database/ui/masterdataresources.h"
#include "dialogtesting.h"
#include "platform/core/recording_dc.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/core/tests/scratch_folder.h"
#include "platform/ui/systemlook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using namespace kestrun::testing;
using namespace kestrun::dbui;

constexpr const char* kSteps = "INSERT INTO Verduennungsstufen (V_ReiheID, GlasNr, Reihenfolge, Beschreibung) "
                                "VALUES (1, 1, 1, 'x'), (1, 2, 2, 'y'), (2, 1, 1, 'z')";

// Dilution series 1 "A" (steps 1/1/x, 2/2/y), used by a measurement
// series, and 2 "B" (step 1/1/z), used by none.
class DBVerdTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_conn = CAdoConnection::Create();
        m_conn->Open(CString("DRIVER=SQLite3;Database=") + (m_folder / "g.db").c_str());
        PrepareGrowthSchema(m_conn);
        m_conn->Execute("INSERT INTO Verduennungsreihen (ID, Bezeichnung) VALUES (1, 'A'), (2, 'B')");
        m_conn->Execute(kSteps);
        m_conn->Execute("INSERT INTO Messreihen (Bezeichnung, V_ReiheID) VALUES ('S', 1)");
    }

    _RecordsetPtr Open(const CString& sql) const
    {
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->PutCursorLocation(adUseClient);
        rs->Open(sql, m_conn, adOpenDynamic, adLockOptimistic, adCmdText);
        return rs;
    }

    void Prepare(CDBVerd& dlg) const
    {
        dlg.m_pConnection = m_conn;
        dlg.m_pVerdRecordset = Open("SELECT * FROM Verduennungsreihen");
        dlg.m_pStufenRecordset = Open("SELECT * FROM Verduennungsstufen WHERE V_ReiheID = 0");
        dlg.m_pMessreihenRecordset = Open("SELECT * FROM Messreihen");
    }

    // "series:glass/order/text" in table order.
    std::vector<std::string> Steps() const
    {
        std::vector<std::string> rows;
        _RecordsetPtr rs = Open("SELECT * FROM Verduennungsstufen ORDER BY V_ReiheID, Reihenfolge, GlasNr");
        if (rs->GetRecordCount() > 0)
            for (rs->MoveFirst(); !rs->GetEOF(); rs->MoveNext())
                rows.push_back(FormatString("%d:%d/%d/%s", GetFieldInt(rs, "V_ReiheID"), GetFieldInt(rs, "GlasNr"),
                                            GetFieldInt(rs, "Reihenfolge"),
                                            rs->GetCollect("Beschreibung").ToString().GetString())
                                   .GetString());
        return rows;
    }

    long Count(const char* table) const
    {
        return Open(FormatString("SELECT * FROM %s", table))->GetRecordCount();
    }

    static std::vector<std::string> Column(const CListCtrl& list, int column)
    {
        std::vector<std::string> texts;
        for (int row = 0; row < list.GetItemCount(); ++row)
            texts.emplace_back(list.GetItemText(row, column).GetString());
        return texts;
    }

    static void Select(CListCtrl& list, int row)
    {
        for (int i = 0; i < list.GetItemCount(); ++i)
            list.SetItemState(i, i == row ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }

    static void Click(CDBVerd& d, int row)
    {
        Select(d.GetSeriesList(), row);
        NMHDR header{};
        header.idFrom = IDC_DILUTION_LIST;
        header.code = NM_CLICK;
        d.SendMessage(WM_NOTIFY, IDC_DILUTION_LIST, reinterpret_cast<LPARAM>(&header));
    }

    // A cell edit as the grid and the in-place editor report it: begin,
    // then end with the text, or with none for Escape.
    static void EditCell(CDBVerd& d, int item, int subItem, const char* text)
    {
        CString shown = d.GetStepList().GetItemText(item, subItem);
        std::string buffer(shown.GetString());
        NMLVDISPINFO begin{};
        begin.hdr.idFrom = IDC_STEP_LIST;
        begin.hdr.code = LVN_BEGINLABELEDIT;
        begin.iItem = item;
        begin.iSubItem = subItem;
        begin.pszText = buffer.data();
        EXPECT_EQ(d.SendMessage(WM_NOTIFY, IDC_STEP_LIST, reinterpret_cast<LPARAM>(&begin)), 1);
        ASSERT_NE(d.GetCellEditor(), nullptr);
        EXPECT_EQ(d.GetCellEditor()->GetDlgCtrlID(), static_cast<int>(CDBVerd::kEditId));
        std::string typed = text ? text : "";
        NMLVDISPINFO end = begin;
        end.hdr.code = LVN_ENDLABELEDIT;
        end.pszText = text ? typed.data() : nullptr;
        d.SendMessage(WM_NOTIFY, IDC_STEP_LIST, reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(d.GetCellEditor(), nullptr);
    }

    CScratchFolder m_folder;
    _ConnectionPtr m_conn;
};

TEST_F(DBVerdTest, ShowsTheFirstSeriesAndTheStepsOfTheClickedOne)
{
    CDBVerd dlg;
    Prepare(dlg);
    OnNextDialog([&](CDialog&) {
        EXPECT_EQ(Column(dlg.GetSeriesList(), 1), (std::vector<std::string>{"A", "B"}));
        EXPECT_EQ(dlg.GetFirstSelectedItem(dlg.GetSeriesList()), 0);
        EXPECT_EQ(Column(dlg.GetStepList(), 2), (std::vector<std::string>{"x", "y"}));
        EXPECT_TRUE(dlg.GetDlgItem(IDC_STEP_ADD)->IsWindowEnabled());
        Click(dlg, 1);
        EXPECT_EQ(dlg.m_nVReiheID, 2);
        EXPECT_EQ(Column(dlg.GetStepList(), 2), (std::vector<std::string>{"z"}));
        Press(dlg, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    // The step recordset stays on the series shown last.
    EXPECT_EQ(dlg.m_pStufenRecordset->GetRecordCount(), 1);
}

TEST_F(DBVerdTest, WithoutDilutionSeriesNoStepCanBeAdded)
{
    m_conn->Execute("DELETE FROM Verduennungsreihen");
    CDBVerd dlg;
    Prepare(dlg);
    OnNextDialog([&](CDialog&) {
        EXPECT_EQ(dlg.GetSeriesList().GetItemCount(), 0);
        EXPECT_FALSE(dlg.GetDlgItem(IDC_STEP_ADD)->IsWindowEnabled());
        EXPECT_EQ(dlg.GetStepList().GetItemCount(), 0);
        Press(dlg, IDOK);
    });
    dlg.DoModal();
}

// A used dilution series stays (with a message); an unused one goes with
// its steps. Adding one shows the first series again.
TEST_F(DBVerdTest, SeriesAddedAndOnlyUnusedOnesDeleted)
{
    ScopedMessageBoxes boxes;
    CDBVerd dlg;
    Prepare(dlg);
    OnNextDialog([&](CDialog&) {
        Press(dlg, IDC_DILUTION_DELETE); // "A", used
        EXPECT_EQ(Column(dlg.GetSeriesList(), 1), (std::vector<std::string>{"A", "B"}));
        ASSERT_EQ(boxes->Texts().size(), 1U);
        EXPECT_NE(boxes->Texts()[0].Find("noch von einer Messreihe verwendet"), -1);

        Click(dlg, 1);
        Press(dlg, IDC_DILUTION_DELETE); // "B", unused
        EXPECT_EQ(Column(dlg.GetSeriesList(), 1), (std::vector<std::string>{"A"}));

        OnNextDialog([](CDialog& entry) {
            Type(entry, IDC_NEW_ENTRY_TEXT, "C");
            Press(entry, IDOK);
        });
        Press(dlg, IDC_DILUTION_ADD);
        EXPECT_EQ(Column(dlg.GetSeriesList(), 1), (std::vector<std::string>{"A", "C"}));
        EXPECT_EQ(dlg.GetFirstSelectedItem(dlg.GetSeriesList()), 0);
        EXPECT_EQ(dlg.m_nVReiheID, 1);

        OnNextDialog([](CDialog& entry) { Press(entry, IDOK); });
        Press(dlg, IDC_DILUTION_ADD);
        EXPECT_EQ(boxes->Texts().back(), CString("Bitte geben Sie immer eine Beschreibung ein!"));
        Press(dlg, IDOK);
    });
    dlg.DoModal();
    EXPECT_EQ(Count("Verduennungsreihen"), 2);
    EXPECT_EQ(Steps(), (std::vector<std::string>{"1:1/1/x", "1:2/2/y"}));
    EXPECT_EQ(boxes->Texts().size(), 2U);
}

// New steps propose glass 1, 2, ... per opening, whatever glasses exist;
// a cancelled entry stores nothing; deleting leaves no row selected.
TEST_F(DBVerdTest, StepsAddedAndDeleted)
{
    CDBVerd dlg;
    Prepare(dlg);
    std::vector<CString> proposed;
    OnNextDialog([&](CDialog&) {
        for (const char* text : std::initializer_list<const char*>{"", "zwei", nullptr}) {
            OnNextDialog([&proposed, text](CDialog& entry) {
                proposed.push_back(TextOf(entry, IDC_STEP_GLASSNR));
                if (text == nullptr) {
                    Press(entry, IDCANCEL);
                    return;
                }
                Type(entry, IDC_STEP_ORDER, "5");
                Type(entry, IDC_STEP_TEXT, text);
                Press(entry, IDOK);
            });
            Press(dlg, IDC_STEP_ADD);
        }
        EXPECT_EQ(dlg.GetStepList().GetItemCount(), 4);
        Select(dlg.GetStepList(), 0);
        Press(dlg, IDC_STEP_DELETE);
        EXPECT_EQ(dlg.GetFirstSelectedItem(dlg.GetStepList()), -1);
        Press(dlg, IDOK);
    });
    dlg.DoModal();
    EXPECT_EQ(proposed, (std::vector<CString>{"1", "2", "3"}));
    EXPECT_EQ(Steps(), (std::vector<std::string>{"1:2/2/y", "1:1/5/ ", "1:2/5/zwei", "2:1/1/z"}));
}

TEST_F(DBVerdTest, StepCellsEditedInPlace)
{
    struct CCase
    {
        int subItem;
        const char* text; // null: Escape
        const char* stored;
    };
    const CCase cases[] = {
        {0, "12ab", "1:12/1/x"}, {0, "ab", "1:0/1/x"},  {0, " 7", "1:7/1/x"},  {1, "9", "1:1/9/x"},
        {1, "", "1:1/0/x"},      {2, "neu", "1:1/1/neu"}, {2, "", "1:1/1/x"}, {0, nullptr, "1:1/1/x"},
        {2, nullptr, "1:1/1/x"},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.subItem) + (c.text ? c.text : "<Escape>"));
        m_conn->Execute("DELETE FROM Verduennungsstufen");
        m_conn->Execute(kSteps);
        CDBVerd dlg;
        Prepare(dlg);
        OnNextDialog([&](CDialog&) {
            EditCell(dlg, 0, c.subItem, c.text);
            Press(dlg, IDOK);
        });
        dlg.DoModal();
        // Row 0 is step "x"; the others stay as they were.
        std::vector<std::string> steps = Steps();
        ASSERT_EQ(steps.size(), 3U);
        const auto edited = std::find(steps.begin(), steps.end(), c.stored);
        ASSERT_NE(edited, steps.end()) << steps[0] << " " << steps[1];
        steps.erase(edited);
        EXPECT_EQ(steps, (std::vector<std::string>{"1:2/2/y", "2:1/1/z"}));
    }
}

// The dilution-series rows are painted by the dialog: highlight colours
// for the selected row, the columns' texts in their cells.
TEST_F(DBVerdTest, SeriesRowsAreOwnerDrawn)
{
    CDBVerd dlg;
    Prepare(dlg);
    OnNextDialog([&](CDialog&) {
        for (int row : {0, 1}) {
            CRecordingDC dc;
            DRAWITEMSTRUCT item{};
            item.itemID = static_cast<UINT>(row);
            item.itemState = row == 0 ? ODS_SELECTED : 0;
            item.hDC = &dc;
            item.rcItem = CRect(0, 0, 400, 16);
            dlg.OnDrawItem(IDC_DILUTION_LIST, &item);
            std::vector<CString> texts;
            COLORREF fill = 0;
            for (const CDCRecord& r : dc.Records()) {
                if (r.op == "DrawText")
                    texts.push_back(r.text);
                if (r.op == "FillRect")
                    fill = r.brush.lbColor;
            }
            EXPECT_EQ(fill, GetSysColor(row == 0 ? COLOR_HIGHLIGHT : COLOR_WINDOW));
            EXPECT_EQ(texts, (std::vector<CString>{row == 0 ? "1" : "2", row == 0 ? "A" : "B"}));
            EXPECT_EQ(dc.GetTextColor(), RGB(0, 0, 0)); // restored
        }
        Press(dlg, IDOK);
    });
    dlg.DoModal();
}

} // namespace
