#include "database/ui/dbdlgresources.h"
#include "database/ui/dbformdlgs.h"
#include "dialogtesting.h"
#include "platform/core/tests/scratch_folder.h"
#include "platform/ui/commondialogs.h"

#include <gtest/gtest.h>

namespace {

using namespace kestrun::testing;
using namespace kestrun::dbui;

// Dilution series 2 has the vessels 3, 1 and 7, in that record order.
class NeueMessungDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_conn = CAdoConnection::Create();
        m_conn->Open(CString("DRIVER=SQLite3;Database=") + (m_folder / "d.db").c_str());
        m_conn->Execute("CREATE TABLE Verduennungsstufen (ID INTEGER PRIMARY KEY, V_ReiheID INTEGER, GlasNr INTEGER)");
        m_conn->Execute("INSERT INTO Verduennungsstufen (V_ReiheID, GlasNr) VALUES (2, 3), (2, 1), (5, 9), (2, 7)");
    }

    CScratchFolder m_folder;
    _ConnectionPtr m_conn;
};

TEST_F(NeueMessungDlgTest, SelectionsFollowTheIndicesAndTheTextsComeBack)
{
    struct Case
    {
        const char* what;
        long series;
        int vesselIndex;
        int fillIndex;
        const char* day;
        const char* vessel;
        const char* fill;
        int testDay;
    };
    const Case cases[] = {
        {"defaults", 2, 0, 2, "0", "3", "100", 0},
        {"index 9 selects 120", 2, 1, 9, "5", "1", "120", 5},
        {"vessel index at the count selects the first", 2, 3, 6, "12", "3", "60", 12},
        {"a day beyond the spin range stays", 2, 2, 0, "40", "7", "120", 40},
        {"no steps leaves the vessel empty", 8, 0, 3, "1", "", "90", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CNeueMessungDlg dlg;
        dlg.m_pConnection = m_conn;
        dlg.m_nDilutionSeriesID = c.series;
        dlg.m_nVesselIndex = c.vesselIndex;
        dlg.m_nFillLevelIndex = c.fillIndex;
        OnNextDialog([&](CDialog& d) {
            Type(d, IDC_TESTDAY, c.day);
            Press(d, IDOK);
        });
        ASSERT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.m_strVessel, CString(c.vessel));
        EXPECT_EQ(dlg.m_strFillLevel, CString(c.fill));
        EXPECT_EQ(dlg.m_nTestDay, c.testDay);
    }
}

TEST(NeueMessDescrDlg, ReturnsTheDescription)
{
    CNeueMessDescrDlg dlg;
    OnNextDialog([](CDialog& d) {
        Type(d, IDC_DESCRIPTION, "Lemna, 1:10");
        Press(d, IDOK);
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_strDescription, CString("Lemna, 1:10"));
}

TEST(ReportPath, BrowseTakesTheChosenFileAndCancelKeepsThePath)
{
    struct Case
    {
        const char* chosen;
        const char* expected;
    };
    for (const Case c : {Case{"/lab/reports/week.html", "/lab/reports/week.html"}, Case{nullptr, "/lab/old.html"}}) {
        const kestrun::CommonDialogHandler previous =
            kestrun::SetCommonDialogHandler([&](CCommonDialog& common) -> INT_PTR {
                auto* file = dynamic_cast<CFileDialog*>(&common);
                if (file == nullptr || c.chosen == nullptr)
                    return IDCANCEL;
                file->SetResult({CString(c.chosen)});
                return IDOK;
            });
        CReportPath dlg;
        dlg.m_strPath = "/lab/old.html";
        OnNextDialog([](CDialog& d) {
            Press(d, IDC_REPORT_BROWSE);
            Press(d, IDOK);
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.m_strPath, CString(c.expected));
        kestrun::SetCommonDialogHandler(previous);
    }
}

} // namespace
