#pragma once
// The tray-scan form without the program (Mode 2, offscreen): a database
// file with one measurement series in a scratch data root, the records a
// test adds, the areas of interest of the trays, and the form opened by its
// template in a frame of its own. The application's stand-in records the
// profiles selected and saved and the area-of-interest file named.
#include "database/ui/dbformtrayscan.h"

#include "analysis/aoi.h"
#include "analysis/bv.h"
#include "database/dbdocado.h"
#include "database/dbfields.h"
#include "database/growthschema.h"
#include "database/ui/tests/formtestframe.h"
#include "imaging/src.h"
#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "platform/core/resources.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/core/tests/scratch_folder.h"
#include "platform/ui/doctemplate.h"
#include "platform/ui/mdi.h"
#include "platform/ui/testing/fake_app_services.h"
#include "platform/ui/winapp.h"
#include "series/objdatadoc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kestrun::testing {

inline constexpr UINT IDR_TRAYSCAN_TEST_MAIN = 7530;
inline constexpr UINT IDR_TRAYSCAN_TEST_FORM = 7531;
inline constexpr UINT IDR_TRAYSCAN_TEST_TABLE = 7532;

// The application as the form reaches it: the stored profiles are
// m_profileNames; selecting one of them makes it current.
class CTrayScanServices : public CFakeAppServices
{
public:
    BOOL SelectProfile(const CString& strName, BOOL bQuiet) override
    {
        m_selected.push_back(strName);
        m_quiet.push_back(bQuiet);
        for (const CString& name : m_profileNames) {
            if (name == strName) {
                m_strProfileName = strName;
                return TRUE;
            }
        }
        return FALSE;
    }
    BOOL SaveProfile(const CString& strName) override
    {
        m_saved.push_back(strName);
        return TRUE;
    }
    CString GetAOIFileName() const override { return m_strAOIFile; }
    void SetAOIFileName(const CString& strName) override { m_strAOIFile = strName; }
    CString GetProgramFolder() const override { return m_strProgramFolder; }
    std::vector<CString> GetProfileNames() const override { return m_profileNames; }

    std::vector<CString> m_profileNames{"30_20", "60_40"};
    std::vector<CString> m_selected;
    std::vector<BOOL> m_quiet;
    std::vector<CString> m_saved;
    CString m_strAOIFile;
    CString m_strProgramFolder;
};

// One Messungen row of the series; the fields a tray-scan record uses.
struct CTrayScanRecord
{
    int nMesstag = 72;
    int nGlasNr = 1;
    int nFuellstand = 0;
    CString strBildname;
    CString strDataName;
    CString strMessparameter = "30_20";
    CString strDatumZeit = "2026-03-02 09:15:00";
    int nAnzahl = 0;
    int nAnzahlManuell = 0;
    double fArea[5] = {0.0, 0.0, 0.0, 0.0, 0.0}; // total, sum, mean, deviation, median
    double fShare[4] = {0.0, 0.0, 0.0, 0.0};     // normal, light, yellowish, bleached
};

class DBFormTrayScanTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* folder : {"data", "images", "program"})
            std::filesystem::create_directories(m_folder.Path() / folder);
        ::setenv("ODBCINI", (m_folder / "odbc.ini").c_str(), 1);
        m_app.SetProfileName((m_folder / "kestrun32.ini").c_str());
        AfxRegisterString(IDR_TRAYSCAN_TEST_MAIN, "Tray Scan Test");
        AfxRegisterString(IDR_TRAYSCAN_TEST_FORM, "\nDataBase\nHalvorn Document\n\n\n\n");
        AfxRegisterString(IDR_TRAYSCAN_TEST_TABLE, "\nData\nData\nData Files (*.xml)\n.xml\n\n");
        m_main = new CFormTestFrame;
        ASSERT_TRUE(m_main->LoadFrame(IDR_TRAYSCAN_TEST_MAIN));
        m_app.m_pMainWnd = m_main;
        m_main->MoveWindow(0, 0, 1400, 1000);
        m_templates.SetTemplate(CSRC::kObjGridTemplate, new CMultiDocTemplate(IDR_TRAYSCAN_TEST_TABLE,
                                                                              RUNTIME_CLASS(CObjDataDoc), nullptr,
                                                                              nullptr));
        m_services.m_nMode = 2;
        m_services.m_pEngine = &m_engine;
        m_services.m_pTemplates = &m_templates;
        m_services.m_strDataRoot = Root();
        m_services.m_strImageDir = Root() + "images/";
        m_services.m_strDataDir = Root() + "data/";
        m_services.m_strProgramFolder = Root() + "program";
        m_services.m_strProfileName = "30_20";
        m_engine.m_AOIDoc.ClearAOIs();
        m_seriesId = PrepareDatabase();
    }

    void TearDown() override
    {
        if (m_app.m_pMainWnd != nullptr)
            m_app.m_pMainWnd->DestroyWindow();
        kestrun::PumpMessages();
        if (m_formTemplate != nullptr)
            m_formTemplate->CloseAllDocuments(FALSE);
        m_templates.GetTemplate(CSRC::kObjGridTemplate)->CloseAllDocuments(FALSE);
        delete m_formTemplate;
        ::unsetenv("ODBCINI");
    }

    CString Root() const { return (m_folder.Path().string() + "/").c_str(); }
    CString DatabasePath() const { return Root() + "data/Halvorn.db"; }

    _ConnectionPtr Connect() const
    {
        _ConnectionPtr conn = CAdoConnection::Create();
        conn->Open("DRIVER=SQLite3;Database=" + DatabasePath());
        return conn;
    }

    // The database file the document finds in the data folder, with one
    // series; its ID.
    long PrepareDatabase() const
    {
        _ConnectionPtr conn = Connect();
        PrepareGrowthSchema(conn);
        conn->Execute("INSERT INTO Messreihen (Bezeichnung, Probe) VALUES ('Trays week 3', 'Pond B')");
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->Open("SELECT ID FROM Messreihen", conn);
        return GetFieldInt(rs, "ID");
    }

    // A record of the series, before or while the form is open; its ID.
    long AddRecord(const CTrayScanRecord& r) const
    {
        _ConnectionPtr conn = Connect();
        conn->Execute("INSERT INTO Messungen (MessreihenID, Messtag, GlasNr, Fuellstand, Bildname, DataName, "
                      "Messparameter, DatumZeit, Anzahl, Anzahl_Manuell, Flaeche_Total, Flaeche_Fronds, "
                      "Flaeche_MittelWert, Flaeche_Standardabw, Flaeche_Median, Prozent_Normal, Prozent_Hell, "
                      "Prozent_Gelblich, Prozent_Ausgebleicht) "
                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                      {COleVariant(static_cast<LONG>(m_seriesId)), COleVariant(static_cast<LONG>(r.nMesstag)),
                       COleVariant(static_cast<LONG>(r.nGlasNr)), COleVariant(static_cast<LONG>(r.nFuellstand)),
                       COleVariant(r.strBildname), COleVariant(r.strDataName), COleVariant(r.strMessparameter),
                       COleVariant(r.strDatumZeit), COleVariant(static_cast<LONG>(r.nAnzahl)),
                       COleVariant(static_cast<LONG>(r.nAnzahlManuell)), COleVariant(r.fArea[0]),
                       COleVariant(r.fArea[1]), COleVariant(r.fArea[2]), COleVariant(r.fArea[3]),
                       COleVariant(r.fArea[4]), COleVariant(r.fShare[0]), COleVariant(r.fShare[1]),
                       COleVariant(r.fShare[2]), COleVariant(r.fShare[3])});
        _RecordsetPtr rs = CAdoRecordset::Create();
        rs->Open("SELECT MAX(ID) AS LastID FROM Messungen", conn);
        return GetFieldInt(rs, "LastID");
    }

    // A ".AOI" file of the data root with nAreas rectangles side by side.
    void WriteAoiFile(const CString& name, int nAreas = 3)
    {
        CAOIDoc& areas = m_engine.m_AOIDoc;
        areas.ClearAOIs();
        areas.SetImageSize(1600, 1200, true);
        for (int i = 0; i < nAreas; ++i) {
            std::unique_ptr<CAOI> area = std::make_unique<CAOI2>(CRect(100 + 400 * i, 200, 400 + 400 * i, 900));
            ASSERT_NE(areas.AddAOI(area), 0);
        }
        areas.SetModifiedFlag();
        ASSERT_TRUE(areas.SaveAOIFile(Root() + name));
        areas.ClearAOIs();
        areas.SetModifiedFlag(FALSE);
    }

    // "trayscan.ini" of the program folder.
    void WriteTraySettings(const std::string& text) const
    {
        std::ofstream(m_folder.Path() / "program" / "trayscan.ini") << text;
    }

    // The form in its frame, as the program opens it; null when it did
    // not open.
    CDBFormTrayScan* OpenForm()
    {
        m_formTemplate = new CMultiDocTemplate(IDR_TRAYSCAN_TEST_FORM, RUNTIME_CLASS(CDBDocADO),
                                               RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CDBFormTrayScan));
        CDocument* doc = m_formTemplate->OpenDocumentFile(nullptr);
        if (doc == nullptr || doc->Views().empty())
            return nullptr;
        m_form = dynamic_cast<CDBFormTrayScan*>(doc->Views().front());
        return m_form;
    }

    static CString ControlText(CWnd& form, UINT id)
    {
        CString text;
        if (CWnd* control = form.GetDlgItem(static_cast<int>(id)))
            control->GetWindowText(text);
        return text;
    }

    std::vector<CString> BoxTexts() const { return m_boxes->Texts(); }

    CWinApp m_app{"DBFormTrayScanTest"};
    CScratchFolder m_folder;
    CFormTestFrame* m_main = nullptr;
    CMultiDocTemplate* m_formTemplate = nullptr;
    CDBFormTrayScan* m_form = nullptr;
    CSRC m_templates;
    CBV m_engine;
    CTrayScanServices m_services;
    ScopedMessageBoxes m_boxes;
    long m_seriesId = 0;
};

} // namespace kestrun::testing
