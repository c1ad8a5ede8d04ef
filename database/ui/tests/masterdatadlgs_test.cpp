#include "database/dbdocado.h"
#include "database/dbfields.h"
#include "database/growthschema.h"
#include "database/masterrecords.h"
#include "database/ui/dbmessreihen.h"
#include "database/ui/dbnewentrydlg.h"
#include "database/ui/dbproben.h"
#include "database/ui/masterdataresources.h"
#include "dialogtesting.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/core/tests/scratch_folder.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/widgetbridge.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace kestrun::testing;
using namespace kestrun::dbui;

// The document over a fixture database, with its recordsets opened as the
// document opens them.
class CFixtureDoc : public CDBDocADO
{
public:
    explicit CFixtureDoc(const _ConnectionPtr& conn)
    {
        m_bAutoDelete = FALSE;
        m_pConnection = conn;
        m_pMessreihen = Open("SELECT * FROM Messreihen");
        m_pGlastypen = Open("SELECT * FROM Glastypen");
        m_pVReihen = Open("SELECT * FROM Verduennungsreihen");
    }

    _RecordsetPtr Open(const CString& sql) const
    {
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->PutCursorLocation(adUseClient);
        rs->Open(sql, m_pConnection, adOpenDynamic, adLockOptimistic, adCmdText);
        return rs;
    }
};

// User moves the dialog's own tests cannot make through Press and Type.
void Notify(CDialog& d, UINT id, UINT code)
{
    CWnd* control = d.GetDlgItem(static_cast<int>(id));
    ASSERT_NE(control, nullptr) << id;
    d.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(code)),
                  reinterpret_cast<LPARAM>(control->m_hWnd));
}

void TypeInCombo(CDialog& d, UINT id, const char* text)
{
    Type(d, id, text);
    Notify(d, id, CBN_EDITCHANGE);
}

void ChooseInCombo(CDialog& d, UINT id, int row)
{
    auto* combo = dynamic_cast<CComboBox*>(d.GetDlgItem(static_cast<int>(id)));
    ASSERT_NE(combo, nullptr);
    combo->SetCurSel(row);
    Notify(d, id, CBN_SELCHANGE);
}

std::vector<CString> ComboEntries(CDialog& d, UINT id)
{
    std::vector<CString> entries;
    auto* combo = dynamic_cast<CComboBox*>(d.GetDlgItem(static_cast<int>(id)));
    for (int i = 0; combo && i < combo->GetCount(); ++i) {
        CString text;
        combo->GetLBText(i, text);
        entries.push_back(text);
    }
    return entries;
}

// Steps on the modal dialog of that caption once it shows: dialogs opened
// one after another from a dialog's handler or start.
void OnDialogTitled(const char* title, std::function<void(CDialog&)> steps, int tries = 500)
{
    QTimer::singleShot(0, [title, steps = std::move(steps), tries]() mutable {
        auto* dialog = kestrun::WindowOf<CDialog>(QApplication::activeModalWidget());
        CString caption;
        if (dialog != nullptr)
            dialog->GetWindowText(caption);
        if (dialog != nullptr && caption == title) {
            steps(*dialog);
            return;
        }
        if (tries == 0) {
            ADD_FAILURE() << "no dialog \"" << title << "\" shows";
            return;
        }
        OnDialogTitled(title, std::move(steps), tries - 1);
    });
}

bool Enabled(CDialog& d, UINT id)
{
    CWnd* control = d.GetDlgItem(static_cast<int>(id));
    return control != nullptr && control->IsWindowEnabled();
}

TEST(DBNewEntryDlg, TheTitleReplacesTheCaptionEvenWhenEmpty)
{
    for (const char* title : {"", "Neue Messkammer"}) {
        CDBNewEntryDlg dlg;
        dlg.m_strTitle = title;
        CString caption = "unset";
        OnNextDialog([&](CDialog& d) {
            d.GetWindowText(caption);
            Type(d, IDC_NEW_ENTRY_TEXT, "Kammer 4");
            Press(d, IDOK);
        });
        ASSERT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(caption, CString(title));
        EXPECT_EQ(dlg.m_strText, CString("Kammer 4"));
    }
}

// Series 1 "A" (with a measurement and a sample), 2 null, 3 "C"; dilution
// series 4 and 6, glass types 7 and 9.
class DBMessreihen1Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_conn = CAdoConnection::Create();
        m_conn->Open(CString("DRIVER=SQLite3;Database=") + (m_folder / "g.db").c_str());
        PrepareGrowthSchema(m_conn);
        Fill();
    }

    // Puts the fixture's rows back and opens the document over them.
    virtual void Fill()
    {
        for (const char* table : {"Messreihen", "Messungen", "Proben", "Verduennungsreihen", "Glastypen"})
            m_conn->Execute(FormatString("DELETE FROM %s", table));
        m_conn->Execute("INSERT INTO Messreihen (ID, Bezeichnung) VALUES (1, 'A'), (2, NULL), (3, 'C')");
        m_conn->Execute("INSERT INTO Messungen (MessreihenID, GlasNr) VALUES (1, 1), (3, 1)");
        m_conn->Execute("INSERT INTO Proben (MessreihenID, Reihenfolge) VALUES (1, 1)");
        m_conn->Execute("INSERT INTO Verduennungsreihen (ID) VALUES (4), (6)");
        m_conn->Execute("INSERT INTO Glastypen (ID) VALUES (7), (9)");
        m_doc = std::make_unique<CFixtureDoc>(m_conn);
    }

    long Count(const CString& sql) const { return m_doc->Open(sql)->GetRecordCount(); }

    CString CurrentName() const { return GetFieldString(m_doc->GetSeriesRecordset(), "Bezeichnung"); }

    CScratchFolder m_folder;
    _ConnectionPtr m_conn;
    std::unique_ptr<CFixtureDoc> m_doc;
};

TEST_F(DBMessreihen1Test, ShowsTheCurrentSeriesAndListsAllInOrder)
{
    struct Case
    {
        long row;
        const char* text;
        const char* position;
    };
    for (const Case c : {Case{0, "A", "1/3"}, Case{1, "---", "2/3"}}) {
        ASSERT_TRUE(MoveToRow(m_doc->GetSeriesRecordset(), c.row));
        CDBMessreihen1 dlg;
        dlg.m_pDoc = m_doc.get();
        OnNextDialog([&](CDialog& d) {
            EXPECT_EQ(ComboEntries(d, IDC_SERIES_COMBO), (std::vector<CString>{"A", "Empty", "C"}));
            EXPECT_EQ(TextOf(d, IDC_SERIES_COMBO), CString(c.text));
            EXPECT_EQ(TextOf(d, IDC_SERIES_POSITION1), CString(c.position));
            EXPECT_FALSE(Enabled(d, IDC_SERIES_ADD));
            EXPECT_FALSE(Enabled(d, IDC_SERIES_MODIFY));
            EXPECT_TRUE(Enabled(d, IDC_SERIES_DELETE));
            ChooseInCombo(d, IDC_SERIES_COMBO, 2);
            EXPECT_EQ(TextOf(d, IDC_SERIES_POSITION1), CString("3/3"));
            Press(d, IDOK);
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(CurrentName(), CString("C"));
    }
}

TEST_F(DBMessreihen1Test, AddAndModifyStoreTheTypedNameOnlyAfterTyping)
{
    // The series gets the dilution series and glass type current in the
    // document at that moment.
    ASSERT_TRUE(MoveToRow(m_doc->GetDilutionSeriesRecordset(), 1));
    ASSERT_TRUE(MoveToRow(m_doc->GetGlassTypeRecordset(), 0));
    CDBMessreihen1 dlg;
    dlg.m_pDoc = m_doc.get();
    OnNextDialog([&](CDialog& d) {
        TypeInCombo(d, IDC_SERIES_COMBO, "A");
        EXPECT_TRUE(Enabled(d, IDC_SERIES_ADD));
        Press(d, IDC_SERIES_ADD);
        EXPECT_FALSE(Enabled(d, IDC_SERIES_ADD));
        EXPECT_EQ(TextOf(d, IDC_SERIES_POSITION1), CString("4/4"));
        // Typed, then emptied: nothing is renamed.
        TypeInCombo(d, IDC_SERIES_COMBO, "");
        Press(d, IDC_SERIES_MODIFY);
        TypeInCombo(d, IDC_SERIES_COMBO, "A 2");
        Press(d, IDC_SERIES_MODIFY);
        EXPECT_EQ(ComboEntries(d, IDC_SERIES_COMBO), (std::vector<CString>{"A", "Empty", "C", "A 2"}));
        Press(d, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    const _RecordsetPtr added = m_doc->Open("SELECT * FROM Messreihen WHERE ID > 3");
    ASSERT_EQ(added->GetRecordCount(), 1);
    EXPECT_EQ(GetFieldString(added, "Bezeichnung"), CString("A 2"));
    EXPECT_EQ(GetFieldInt(added, "V_ReiheID"), 6);
    EXPECT_EQ(GetFieldInt(added, "GlasTypID"), 7);
}

TEST_F(DBMessreihen1Test, DeleteAsksAndTakesTheSeriesRecordsAlong)
{
    struct Case
    {
        int answer;
        long series;
        long measurements;
        long samples;
        const char* position;
    };
    for (const Case c : {Case{IDCANCEL, 3, 2, 1, "1/3"}, Case{IDOK, 2, 1, 0, "1/2"}}) {
        ASSERT_TRUE(MoveToRow(m_doc->GetSeriesRecordset(), 0));
        ScopedMessageBoxes boxes;
        boxes->QueueAnswer(c.answer);
        CDBMessreihen1 dlg;
        dlg.m_pDoc = m_doc.get();
        OnNextDialog([&](CDialog& d) {
            Press(d, IDC_SERIES_DELETE);
            EXPECT_EQ(TextOf(d, IDC_SERIES_POSITION1), CString(c.position));
            Press(d, IDOK);
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        ASSERT_EQ(boxes->Texts().size(), 1U);
        EXPECT_EQ(Count("SELECT * FROM Messreihen"), c.series);
        EXPECT_EQ(Count("SELECT * FROM Messungen"), c.measurements);
        EXPECT_EQ(Count("SELECT * FROM Proben"), c.samples);
    }
}

TEST_F(DBMessreihen1Test, WithoutSeriesShowsNoneAndDeleteIsOff)
{
    m_conn->Execute("DELETE FROM Messreihen");
    m_doc->GetSeriesRecordset()->Requery();
    CDBMessreihen1 dlg;
    dlg.m_pDoc = m_doc.get();
    OnNextDialog([&](CDialog& d) {
        EXPECT_EQ(TextOf(d, IDC_SERIES_POSITION1), CString("0/0"));
        EXPECT_TRUE(ComboEntries(d, IDC_SERIES_COMBO).empty());
        EXPECT_FALSE(Enabled(d, IDC_SERIES_DELETE));
        TypeInCombo(d, IDC_SERIES_COMBO, "First");
        Press(d, IDC_SERIES_ADD);
        EXPECT_EQ(TextOf(d, IDC_SERIES_POSITION1), CString("1/1"));
        EXPECT_TRUE(Enabled(d, IDC_SERIES_DELETE));
        Press(d, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(CurrentName(), CString("First"));
}

// Dilution series 4 "1:10" and 6 null; glass types 7 null and 9 "Becher".
class NeueMessreiheDlgTest : public DBMessreihen1Test
{
protected:
    void Fill() override
    {
        DBMessreihen1Test::Fill();
        m_conn->Execute("UPDATE Verduennungsreihen SET Bezeichnung = '1:10' WHERE ID = 4");
        m_conn->Execute("UPDATE Glastypen SET Bezeichnung = 'Becher' WHERE ID = 9");
        m_doc->GetDilutionSeriesRecordset()->Requery();
        m_doc->GetGlassTypeRecordset()->Requery();
    }

    void Prepare(CNeueMessreiheDlg& dlg) const
    {
        dlg.m_pConnection = m_conn;
        dlg.m_pVerdRecordset = m_doc->GetDilutionSeriesRecordset();
        dlg.m_pGlasRecordset = m_doc->GetGlassTypeRecordset();
    }
};

TEST_F(NeueMessreiheDlgTest, ListsNullTextsAsEmptyAndReturnsTheChosenIDs)
{
    struct Case
    {
        int dilutionRow;
        int glassRow;
        long dilution;
        long glass;
    };
    for (const Case c : {Case{1, 0, 6, 7}, Case{0, 1, 4, 9}}) {
        CNeueMessreiheDlg dlg;
        Prepare(dlg);
        OnNextDialog([&](CDialog& d) {
            EXPECT_EQ(ComboEntries(d, IDC_DILUTION_COMBO), (std::vector<CString>{"1:10", "Empty"}));
            EXPECT_EQ(ComboEntries(d, IDC_GLASSTYPE_COMBO), (std::vector<CString>{"Empty", "Becher"}));
            ChooseInCombo(d, IDC_DILUTION_COMBO, c.dilutionRow);
            ChooseInCombo(d, IDC_GLASSTYPE_COMBO, c.glassRow);
            Type(d, IDC_NEW_SERIES_NAME, "Reihe 5");
            Press(d, IDOK);
        });
        ASSERT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.m_strBezeichnung, CString("Reihe 5"));
        EXPECT_EQ(dlg.m_nVReiheID, c.dilution);
        EXPECT_EQ(dlg.m_nGlasTypID, c.glass);
    }
}

TEST_F(NeueMessreiheDlgTest, MakesTheFirstRecordsOrEndsCancelledWithoutThem)
{
    struct Case
    {
        const char* what;
        const char* dilutionText;
        const char* glassText;
        INT_PTR result;
        const char* message;
        long dilutions;
        long glasses;
    };
    const Case cases[] = {
        {"both made", "1:2", "Schale", IDOK, nullptr, 1, 1},
        {"dilution cancelled", nullptr, nullptr, IDCANCEL, "Error - Keine gültige Verdünnungsreihe", 0, 0},
        {"dilution left empty", "", nullptr, IDCANCEL, "Error - Keine gültige Verdünnungsreihe", 0, 0},
        {"glass type cancelled", "1:2", nullptr, IDCANCEL, "Error - Keine gültiges Probengefäß", 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_conn->Execute("DELETE FROM Verduennungsreihen");
        m_conn->Execute("DELETE FROM Glastypen");
        m_doc->GetDilutionSeriesRecordset()->Requery();
        m_doc->GetGlassTypeRecordset()->Requery();
        ScopedMessageBoxes boxes;
        CNeueMessreiheDlg dlg;
        Prepare(dlg);
        std::vector<CString> titles;
        const auto answer = [&titles](const char* text) {
            return [&titles, text](CDialog& d) {
                CString title;
                d.GetWindowText(title);
                titles.push_back(title);
                if (text == nullptr) {
                    d.EndDialog(IDCANCEL); // Escape: the entry has OK only
                    return;
                }
                Type(d, IDC_NEW_ENTRY_TEXT, text);
                Press(d, IDOK);
            };
        };
        const auto outer = [](CDialog& d) {
            Type(d, IDC_NEW_SERIES_NAME, "Reihe");
            Press(d, IDOK);
        };
        OnDialogTitled("Neue Verdünnungsreihe", answer(c.dilutionText));
        if (c.dilutionText != nullptr && *c.dilutionText != 0)
            OnDialogTitled("Neue Messkammer", answer(c.glassText));
        OnDialogTitled("Neue Messreihe", outer);
        EXPECT_EQ(dlg.DoModal(), c.result);
        EXPECT_EQ(titles.front(), CString("Neue Verdünnungsreihe"));
        if (titles.size() > 1) {
            EXPECT_EQ(titles[1], CString("Neue Messkammer"));
        }
        EXPECT_EQ(boxes->Texts(), c.message ? std::vector<CString>{c.message} : std::vector<CString>{});
        EXPECT_EQ(Count("SELECT * FROM Verduennungsreihen"), c.dilutions);
        EXPECT_EQ(Count("SELECT * FROM Glastypen"), c.glasses);
        if (c.result == IDOK) {
            EXPECT_EQ(dlg.m_nVReiheID, GetFieldInt(m_doc->Open("SELECT * FROM Verduennungsreihen"), "ID"));
            EXPECT_EQ(GetFieldString(m_doc->Open("SELECT * FROM Glastypen"), "Bezeichnung"), CString("Schale"));
        }
    }
}

// The full dialog on the same fixture: series 1 "A" uses dilution series 4
// and glass type 9 and was taken from sample "p2" of its samples p1, p2.
class DBMessreihenTest : public NeueMessreiheDlgTest
{
protected:
    void Fill() override
    {
        NeueMessreiheDlgTest::Fill();
        m_conn->Execute("UPDATE Messreihen SET V_ReiheID = 4, GlasTypID = 9, Probe = 'p2' WHERE ID = 1");
        m_conn->Execute("DELETE FROM Proben");
        m_conn->Execute("INSERT INTO Proben (MessreihenID, Reihenfolge, Probennahmestelle) VALUES "
                        "(1, 1, 'p1'), (1, 2, 'p2')");
        m_doc->GetSeriesRecordset()->Requery();
    }
};

TEST_F(DBMessreihenTest, ShowsTheSeriesDetailsAndFollowsTheChoice)
{
    CDBMessreihen dlg;
    dlg.m_pDoc = m_doc.get();
    OnNextDialog([&](CDialog& d) {
        EXPECT_EQ(ComboEntries(d, IDC_SERIES_COMBO), (std::vector<CString>{"A", "Empty", "C"}));
        EXPECT_EQ(TextOf(d, IDC_SERIES_POSITION), CString("1/3"));
        EXPECT_EQ(TextOf(d, IDC_DILUTION_TEXT), CString("1:10"));
        EXPECT_EQ(TextOf(d, IDC_GLASSTYPE_TEXT), CString("Becher"));
        EXPECT_EQ(ComboEntries(d, IDC_SAMPLE_COMBO), (std::vector<CString>{"p1", "p2"}));
        EXPECT_EQ(TextOf(d, IDC_SAMPLE_COMBO), CString("p2"));
        ChooseInCombo(d, IDC_SAMPLE_COMBO, 0);
        // Series 3 has no samples, dilution series or glass type.
        ChooseInCombo(d, IDC_SERIES_COMBO, 2);
        EXPECT_EQ(TextOf(d, IDC_SERIES_POSITION), CString("3/3"));
        EXPECT_EQ(TextOf(d, IDC_DILUTION_TEXT), CString(""));
        EXPECT_EQ(TextOf(d, IDC_GLASSTYPE_TEXT), CString(""));
        EXPECT_TRUE(ComboEntries(d, IDC_SAMPLE_COMBO).empty());
        Press(d, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(CurrentName(), CString("C"));
    EXPECT_EQ(GetFieldString(m_doc->Open("SELECT * FROM Messreihen WHERE ID = 1"), "Probe"), CString("p1"));
}

TEST_F(DBMessreihenTest, ANewSeriesBecomesCurrentAndTakesItsFirstSample)
{
    struct Case
    {
        const char* what;
        const char* name;
        bool samplesConfirmed;
        long series;
        const char* probe;
        std::vector<CString> messages;
    };
    const Case cases[] = {
        {"samples confirmed", "Reihe 9", true, 4, "s1", {}},
        {"samples cancelled", "Reihe 9", false, 4, "", {}},
        {"empty name", "", false, 3, nullptr, {"Bitte geben Sie immer eine Messreihen Bezeichnung ein!"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fill();
        ScopedMessageBoxes boxes;
        CDBMessreihen dlg;
        dlg.m_pDoc = m_doc.get();
        OnNextDialog([&](CDialog& d) {
            OnDialogTitled("Neue Messreihe", [&](CDialog& entry) {
                Type(entry, IDC_NEW_SERIES_NAME, c.name);
                Press(entry, IDOK);
            });
            if (*c.name != 0)
                OnDialogTitled("Proben", [&](CDialog& samples) {
                    if (!c.samplesConfirmed) {
                        samples.EndDialog(IDCANCEL);
                        return;
                    }
                    OnNextDialog([](CDialog& sample) {
                        Type(sample, IDC_SAMPLE_SITE, "s1");
                        Press(sample, IDOK);
                    });
                    Press(samples, IDC_SAMPLE_ADD);
                    Press(samples, IDOK);
                });
            Press(d, IDC_NEW_SERIES);
            Press(d, IDOK);
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(boxes->Texts(), c.messages);
        EXPECT_EQ(Count("SELECT * FROM Messreihen"), c.series);
        if (c.probe != nullptr) {
            EXPECT_EQ(CurrentName(), CString(c.name));
            EXPECT_EQ(GetFieldString(m_doc->GetSeriesRecordset(), "Probe"), CString(c.probe));
            EXPECT_EQ(GetFieldInt(m_doc->GetSeriesRecordset(), "V_ReiheID"), 4);
        }
    }
}

TEST_F(DBMessreihenTest, WithoutSeriesTheChoiceAndDeleteAreOff)
{
    ScopedMessageBoxes boxes;
    boxes->QueueAnswer(IDOK);
    boxes->QueueAnswer(IDOK);
    boxes->QueueAnswer(IDOK);
    CDBMessreihen dlg;
    dlg.m_pDoc = m_doc.get();
    OnNextDialog([&](CDialog& d) {
        for (int i = 0; i < 3; ++i)
            Press(d, IDC_SERIES_DELETE);
        EXPECT_EQ(TextOf(d, IDC_SERIES_POSITION), CString("0/0"));
        EXPECT_FALSE(Enabled(d, IDC_SERIES_COMBO));
        EXPECT_FALSE(Enabled(d, IDC_SERIES_DELETE));
        Press(d, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(Count("SELECT * FROM Messreihen"), 0);
    EXPECT_EQ(Count("SELECT * FROM Messungen"), 0);
    EXPECT_EQ(Count("SELECT * FROM Proben"), 0);
}

} // namespace
