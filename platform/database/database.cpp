#include "platform/database/database.h"

BOOL CDatabase::OpenEx(const CString& connect, DWORD /*options*/)
{
    Close();
    CString text = connect;
    if (text.GetLength() >= 5 && text.Left(5).CompareNoCase("ODBC;") == 0) {
        text = text.Mid(5);
    }
    _ConnectionPtr connection = CAdoConnection::Create();
    try {
        connection->Open(text);
    } catch (const _com_error& e) {
        throw CDBException(e.Description());
    }
    m_connection = std::move(connection);
    return TRUE;
}

void CDatabase::Close()
{
    m_connection.reset();
}
