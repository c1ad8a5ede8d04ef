#include "database/dbdocado.h"
#include "database/dbfields.h"
#include "database/growthschema.h"
#include "platform/core/profile.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/core/tests/scratch_folder.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/testing/fake_app_services.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

// A data root, a user ODBC ini and a profile of the test's own.
class DBDocADOTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_ini = m_folder / "odbc.ini";
        ::setenv("ODBCINI", m_ini.c_str(), 1);
        m_services.m_strDataRoot = m_folder.Path().c_str();
        kestrun::SetApplicationProfile((m_folder / "kestrun.ini").c_str());
        m_previousHandler = kestrun::SetCommonDialogHandler([this](CCommonDialog& dlg) -> INT_PTR {
            auto* file = dynamic_cast<CFileDialog*>(&dlg);
            m_dialogTitles.emplace_back(file && file->m_ofn.lpstrTitle ? file->m_ofn.lpstrTitle : "");
            if (file == nullptr || m_chosen.empty()) {
                return IDCANCEL;
            }
            file->SetResult({CString(m_chosen.c_str())});
            return IDOK;
        });
        m_doc = std::make_unique<CDBDocADO>();
        m_doc->m_bAutoDelete = FALSE;
    }

    void TearDown() override
    {
        m_doc.reset();
        kestrun::SetCommonDialogHandler(m_previousHandler);
        kestrun::SetApplicationProfile("");
        ::unsetenv("ODBCINI");
    }

    std::string DefaultDb() const { return m_folder / "data/Halvorn.db"; }

    // A database in the old layout with two series.
    void MakeOldDatabase(const std::string& path) const
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        _ConnectionPtr conn = CAdoConnection::Create();
        conn->Open(CString("DRIVER=SQLite3;Database=") + path.c_str());
        conn->Execute("CREATE TABLE Messungen (ID INTEGER PRIMARY KEY, MessreihenID INTEGER, Anzahl INTEGER)");
        conn->Execute("CREATE TABLE Messreihen (ID INTEGER PRIMARY KEY, Bezeichnung TEXT, V_ReiheID INTEGER, "
                      "GlasTypID INTEGER)");
        conn->Execute("INSERT INTO Messreihen (ID, Bezeichnung, V_ReiheID) VALUES (5, 'first', 1), (9, 'second', 2)");
        for (const char* table : {"Glastypen (ID INTEGER PRIMARY KEY)", "Verduennungsreihen (ID INTEGER PRIMARY KEY)",
                                  "Verduennungsstufen (ID INTEGER PRIMARY KEY, V_ReiheID INTEGER, GlasNr INTEGER, "
                                  "Reihenfolge INTEGER, Beschreibung TEXT)",
                                  "Proben (ID INTEGER PRIMARY KEY, MessreihenID INTEGER, Reihenfolge INTEGER)",
                                  "ReportTexte (ID INTEGER)"}) {
            conn->Execute(CString("CREATE TABLE ") + table);
        }
        conn->Execute("INSERT INTO Verduennungsstufen (V_ReiheID, GlasNr, Reihenfolge, Beschreibung) "
                      "VALUES (2, 3, 1, '1:10')");
    }

    CScratchFolder m_folder;
    std::string m_ini;
    kestrun::testing::CFakeAppServices m_services;
    kestrun::testing::ScopedMessageBoxes m_boxes;
    kestrun::CommonDialogHandler m_previousHandler;
    std::vector<CString> m_dialogTitles;
    std::string m_chosen;
    std::unique_ptr<CDBDocADO> m_doc;
};

TEST_F(DBDocADOTest, CancelledSearchMakesANewDatabase)
{
    ASSERT_TRUE(m_doc->OnNewDocument()) << (m_boxes->Texts().empty() ? CString() : m_boxes->Texts()[0]).GetString();
    ASSERT_EQ(m_dialogTitles.size(), 1U);
    EXPECT_EQ(m_dialogTitles[0], CString("Search File"));
    EXPECT_TRUE(std::filesystem::exists(DefaultDb()));
    EXPECT_EQ(GetPrivateProfileString(kGrowthDsn, "Database", "", m_ini.c_str()), CString(DefaultDb().c_str()));
    EXPECT_TRUE(HasTable(m_doc->GetConnection(), "Korrekturfaktoren"));
    EXPECT_EQ(m_doc->GetFieldValue(), -1);
    EXPECT_TRUE(m_boxes->Texts().empty());
    m_doc->OnCloseDocument();
    EXPECT_FALSE(m_doc->GetConnection());
}

TEST_F(DBDocADOTest, ExistingFileIsUpgradedAndTheSeriesPositionRestored)
{
    MakeOldDatabase(DefaultDb());
    struct Case
    {
        int stored;
        long id;
    };
    for (const Case c : {Case{2, 9}, Case{3, 5}, Case{0, 5}}) {
        WriteProfileInt("DataBase", "ActualMessreihe", c.stored);
        auto doc = std::make_unique<CDBDocADO>();
        doc->m_bAutoDelete = FALSE;
        ASSERT_TRUE(doc->OnNewDocument()) << c.stored;
        EXPECT_EQ(doc->GetFieldValue(), c.id) << c.stored;
        EXPECT_FALSE(HasTable(doc->GetConnection(), "ReportTexte"));
        if (c.id == 9) {
            EXPECT_EQ(doc->OpenDilutionSteps(), 2);
            EXPECT_EQ(doc->GetDilutionStepRecordset()->GetRecordCount(), 1);
            EXPECT_EQ(doc->GetDilutionStepText(2, 3), CString("1:10"));
            EXPECT_TRUE(doc->GetDilutionStepText(2, 4).IsEmpty());
        }
        doc->OnCloseDocument();
        EXPECT_EQ(GetProfileInt("DataBase", "ActualMessreihe", -7), c.id == 9 ? 2U : 1U);
    }
    EXPECT_TRUE(m_dialogTitles.empty());
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(DBDocADOTest, ChosenFileThatIsNoDatabaseIsRefusedAndKept)
{
    m_chosen = m_folder / "other.db";
    const std::string garbage(4096, 'x');
    std::ofstream(m_chosen) << garbage;
    EXPECT_FALSE(m_doc->OnNewDocument());
    ASSERT_EQ(m_boxes->Texts().size(), 1U);
    EXPECT_EQ(m_boxes->Texts()[0].Left(6), CString("Error\n"));
    std::ifstream in(m_chosen);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), garbage);
}

TEST_F(DBDocADOTest, UnwritableDataSourceFailsWithItsMessage)
{
    std::filesystem::create_directories(m_ini);
    EXPECT_FALSE(m_doc->OnNewDocument());
    ASSERT_EQ(m_boxes->Texts().size(), 1U);
    EXPECT_EQ(m_boxes->Texts()[0], CString("Cannot register database"));
}

} // namespace
