#pragma once
// The probe connection: opens a data source to see whether it is there.
#include "platform/core/cstring.h"
#include "platform/core/exceptions.h"
#include "platform/database/ado.h"

class CDBException : public CException
{
public:
    explicit CDBException(CString message) : m_message(std::move(message)) {}
    CString GetErrorMessage() const override { return m_message; }

private:
    CString m_message;
};

class CDatabase
{
public:
    enum { openExclusive = 0x1, openReadOnly = 0x2, useCursorLib = 0x4, noOdbcDialog = 0x8 };

    // "ODBC;DSN=NAME;..."; the prefix is optional. CDBException on failure.
    BOOL OpenEx(const CString& connect, DWORD options = 0);
    void Close();
    BOOL IsOpen() const { return m_connection != nullptr; }

private:
    _ConnectionPtr m_connection;
};
