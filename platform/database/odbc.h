#pragma once
// The ODBC calls, behind plain types: the ODBC headers declare names that
// the class-library types also declare, so only odbc.cpp sees them.
// Private to platform/database.
#include <memory>
#include <string>
#include <vector>

namespace kestrun::odbc {

enum class EKind { Null, Short, Long, Byte, Bool, Float, Double, Date, Text };

struct CValue
{
    EKind kind = EKind::Null;
    long long integer = 0;
    // Reals, and dates as days since 1899-12-30.
    double real = 0.0;
    std::string text;
};

struct CColumnInfo
{
    std::string name;
    EKind kind = EKind::Text;
};

struct CError
{
    enum ECode { Failed, Overflow };
    ECode code = Failed;
    std::string text;
};

class CConnection
{
public:
    CConnection();
    ~CConnection();
    CConnection(const CConnection&) = delete;
    CConnection& operator=(const CConnection&) = delete;
    // Throws CError.
    void Connect(const std::string& text);
    void Disconnect();
    bool IsConnected() const;
    std::string DbmsName() const;
    // Statements between these two form one transaction; otherwise each
    // commits by itself.
    void BeginTransaction();
    void EndTransaction(bool commit);

    struct CHandles;
    CHandles& Handles() { return *m_handles; }

private:
    std::unique_ptr<CHandles> m_handles;
};

// One statement; every call throws CError on failure.
class CStatement
{
public:
    explicit CStatement(CConnection& connection);
    ~CStatement();
    CStatement(const CStatement&) = delete;
    CStatement& operator=(const CStatement&) = delete;
    // Prepares, binds the values in order to its '?' and runs it.
    void Run(const std::string& sql, const std::vector<CValue>& params);
    // The catalogue of tables; the name is column 2 (0-based).
    void Tables();
    std::vector<CColumnInfo> Columns();
    // False after the last row.
    bool NextRow();
    CValue Value(int column, EKind kind);
    long RowCount();

private:
    struct CState;
    std::unique_ptr<CState> m_state;
};

} // namespace kestrun::odbc
