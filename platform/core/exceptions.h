#pragma once
// The exception family of the class library. Thrown by value, caught by
// reference (catch (const CArchiveException& e)). Code that must not let an
// exception pass (C exports, window handlers) catches CException and reports
// it with ReportError.

#include "platform/core/cstring.h"

#include <exception>

class CException : public std::exception
{
public:
    ~CException() override = default;
    const char* what() const noexcept override;
    // The user-facing text of the error.
    virtual CString GetErrorMessage() const = 0;
    // Shows the error through the message-box service.
    int ReportError(UINT type = 0x10 /* MB_ICONERROR */) const;

private:
    mutable CString m_what;
};

class CMemoryException : public CException
{
public:
    CString GetErrorMessage() const override;
};

class CNotSupportedException : public CException
{
public:
    CString GetErrorMessage() const override;
};

class CInvalidArgException : public CException
{
public:
    CString GetErrorMessage() const override;
};

class CArchiveException : public CException
{
public:
    enum
    {
        none,
        genericException,
        readOnly,
        endOfFile,
        writeOnly,
        badIndex,
        badClass,
        badSchema,
        bufferFull,
    };

    explicit CArchiveException(int cause = none, const CString& fileName = {}) : m_cause(cause), m_strFileName(fileName) {}
    CString GetErrorMessage() const override;

    int m_cause;
    CString m_strFileName;
};

class CFileException : public CException
{
public:
    enum
    {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    explicit CFileException(int cause = none, LONG osError = -1, const CString& fileName = {})
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
    {
    }
    CString GetErrorMessage() const override;

    // The cause that matches an errno value.
    static int ErrnoToCause(int error);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowInvalidArgException();
[[noreturn]] void AfxThrowArchiveException(int cause, const CString& fileName = {});
[[noreturn]] void AfxThrowFileException(int cause, LONG osError = -1, const CString& fileName = {});
