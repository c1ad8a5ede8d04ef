#include "database/growthschema.h"
#include "platform/database/dialect.h"

#include <array>
#include <string>

namespace {

bool HasAnyTable(const _ConnectionPtr& conn)
{
    _RecordsetPtr tables = conn->OpenSchema(adSchemaTables);
    for (bool more = !tables->GetEOF(); more; tables->MoveNext(), more = !tables->GetEOF()) {
        // The SQLite catalogue lists its own bookkeeping tables too.
        if (tables->GetCollect("TABLE_NAME").ToString().Left(7).CompareNoCase("sqlite_") != 0) {
            return true;
        }
    }
    return false;
}

// Column names of a table, read from an empty result.
_RecordsetPtr ColumnsOf(const _ConnectionPtr& conn, const char* table)
{
    _RecordsetPtr rs = CAdoRecordset::Create();
    rs->Open(FormatString("SELECT * FROM %s WHERE 1 = 0", table), conn, adOpenForwardOnly, adLockReadOnly, adCmdText);
    return rs;
}

int CreateSchema(const _ConnectionPtr& conn)
{
    const EDbDialect dialect = conn->GetDialect();
    const CString key = AutoKeyColumn(dialect);
    const std::array<CString, 7> tables = {
        FormatString("CREATE TABLE Messungen (%s, MessreihenID INTEGER, GlasNr INTEGER, Messtag INTEGER, "
                     "DatumZeit TIMESTAMP %s, Bildname VARCHAR(255), Anzahl INTEGER, Anzahl_Manuell INTEGER, "
                     "Flaeche_Total REAL, Flaeche_Fronds REAL, Flaeche_MittelWert REAL, Flaeche_Standardabw REAL, "
                     "Flaeche_Median REAL, Prozent_Normal REAL, Prozent_Hell REAL, Prozent_Gelblich REAL, "
                     "Prozent_Ausgebleicht REAL, Fuellstand INTEGER, Korrekturfaktor REAL, "
                     "Messparameter VARCHAR(255), Comment VARCHAR(255), DataName VARCHAR(50))",
                     key.GetString(), LocalNowDefault(dialect).GetString()),
        FormatString("CREATE TABLE Messreihen (%s, Bezeichnung VARCHAR(255), V_ReiheID INTEGER, GlasTypID INTEGER, "
                     "Probennahmestelle VARCHAR(255), Probe VARCHAR(255), Beschreibung VARCHAR(255))",
                     key.GetString()),
        FormatString("CREATE TABLE Proben (%s, MessreihenID INTEGER, Reihenfolge INTEGER, "
                     "Probennahmestelle VARCHAR(255), ProbenNr VARCHAR(50), ProbennahmeDatum TIMESTAMP, pHWert REAL, "
                     "Leitfaehigkeit REAL, Faerbung VARCHAR(255), Kommentar VARCHAR(255))",
                     key.GetString()),
        FormatString("CREATE TABLE Verduennungsreihen (%s, Bezeichnung VARCHAR(255))", key.GetString()),
        FormatString("CREATE TABLE Verduennungsstufen (%s, V_ReiheID INTEGER, GlasNr INTEGER, Reihenfolge INTEGER, "
                     "Beschreibung VARCHAR(255))",
                     key.GetString()),
        FormatString("CREATE TABLE Glastypen (%s, GlasTypID INTEGER, Bezeichnung VARCHAR(255))", key.GetString()),
        FormatString("CREATE TABLE Korrekturfaktoren (%s, Fuellstand INTEGER, Faktor REAL)", key.GetString()),
    };
    int statements = 0;
    for (const CString& sql : tables) {
        conn->Execute(sql);
        ++statements;
    }
    for (LONG level = 60; level <= 120; level += 10) {
        conn->Execute("INSERT INTO Korrekturfaktoren (Fuellstand, Faktor) VALUES (?, ?)",
                      {COleVariant(level), COleVariant(1.0)});
        ++statements;
    }
    return statements;
}

struct CAddedColumn
{
    const char* table;
    const char* column;
    const char* type;
    // What existing rows get; null leaves them null.
    const char* fill;
};

// In the order older databases gained them. The types suit SQLite and
// PostgreSQL alike; a count is a 4-byte integer.
constexpr CAddedColumn kAddedColumns[] = {
    {"Messungen", "Anzahl_Manuell", "INTEGER NULL", "Anzahl"},
    {"Messungen", "Comment", "VARCHAR(255)", "''"},
    {"Messungen", "Flaeche_Median", "REAL", nullptr},
    {"Messungen", "DataName", "VARCHAR(50)", "''"},
    {"Messreihen", "Probe", "VARCHAR(255)", nullptr},
};

int UpgradeSchema(const _ConnectionPtr& conn)
{
    int statements = 0;
    for (const char* obsolete : {"ReportTexte", "ReportTexteAll"}) {
        if (HasTable(conn, obsolete)) {
            conn->Execute(FormatString("DROP TABLE %s", obsolete));
            ++statements;
        }
    }
    for (const CAddedColumn& added : kAddedColumns) {
        if (ColumnsOf(conn, added.table)->ColumnIndex(added.column) >= 0) {
            continue;
        }
        conn->Execute(FormatString("ALTER TABLE %s ADD COLUMN %s %s", added.table, added.column, added.type));
        ++statements;
        if (added.fill != nullptr) {
            conn->Execute(FormatString("UPDATE %s SET %s = %s", added.table, added.column, added.fill));
            ++statements;
        }
    }
    return statements;
}

} // namespace

bool HasTable(const _ConnectionPtr& conn, const CString& name)
{
    _RecordsetPtr tables = conn->OpenSchema(adSchemaTables);
    std::string quoted;
    for (const char c : std::string(name.GetString())) {
        quoted += c == '\'' ? "''" : std::string(1, c);
    }
    tables->Find(FormatString("TABLE_NAME = '%s'", quoted.c_str()));
    return !tables->GetEOF();
}

int PrepareGrowthSchema(const _ConnectionPtr& conn)
{
    return HasAnyTable(conn) ? UpgradeSchema(conn) : CreateSchema(conn);
}
