#pragma once
// The document of the growth-test database: the one connection and the
// recordsets over the master tables that the database forms work on.
#include "platform/database/ado.h"
#include "platform/ui/document.h"

// The data source the document opens.
inline constexpr const char* kGrowthDsn = "HALVORN";

class CDBDocADO : public CDocument
{
    DECLARE_DYNCREATE(CDBDocADO)

public:
    CDBDocADO();
    ~CDBDocADO() override;

    // Finds or makes the database, registers its data source when missing,
    // opens it, brings its tables up to date and opens the recordsets.
    BOOL OnNewDocument() override;
    // Keeps the current series for the next run, then closes.
    void OnCloseDocument() override;

    _ConnectionPtr GetConnection() const { return m_pConnection; }
    _RecordsetPtr GetSeriesRecordset() const { return m_pMessreihen; }
    _RecordsetPtr GetGlassTypeRecordset() const { return m_pGlastypen; }
    _RecordsetPtr GetDilutionSeriesRecordset() const { return m_pVReihen; }
    _RecordsetPtr GetDilutionStepRecordset() const { return m_pVStufen; }
    _RecordsetPtr GetSampleRecordset() const { return m_pProben; }

    // ID of the current series; -1 without series, 0 after an error.
    long GetFieldValue();
    // V_ReiheID of the current series; 0 after an error.
    long OpenDilutionSteps();
    CString GetDilutionStepText(long vReiheId, long glasNr);
    void OpenSamples();

protected:
    _ConnectionPtr m_pConnection;
    _RecordsetPtr m_pMessreihen;
    _RecordsetPtr m_pGlastypen;
    _RecordsetPtr m_pVReihen;
    _RecordsetPtr m_pVStufen;
    _RecordsetPtr m_pProben;

private:
    // Registers the data source for an existing file or a new database.
    BOOL RegisterSource();
    void OpenDatabase();
    _RecordsetPtr OpenClient(const CString& sql, long cursorType) const;
};
