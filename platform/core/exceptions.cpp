#include "platform/core/exceptions.h"

#include "platform/core/messagebox.h"

#include <cerrno>
#include <cstring>

const char* CException::what() const noexcept
{
    try {
        m_what = GetErrorMessage();
        return m_what.GetString();
    } catch (...) {
        return "error";
    }
}

int CException::ReportError(UINT type) const
{
    return AfxMessageBox(GetErrorMessage(), type);
}

CString CMemoryException::GetErrorMessage() const { return "Out of memory."; }

CString CNotSupportedException::GetErrorMessage() const { return "Unsupported operation was attempted."; }

CString CInvalidArgException::GetErrorMessage() const { return "Invalid argument."; }

CString CArchiveException::GetErrorMessage() const
{
    static constexpr const char* texts[] = {
        "No error occurred",
        "An unexpected error occurred while reading %s.",
        "An attempt was made to write to %s while it was being read.",
        "An attempt was made to access %s past its end.",
        "An attempt was made to read from %s while it was being written.",
        "%s has a bad format.",
        "%s contained an unexpected object.",
        "%s contains an incorrect schema.",
        "The archive buffer of %s is full.",
    };
    const int cause = (m_cause >= 0 && m_cause < static_cast<int>(std::size(texts))) ? m_cause : genericException;
    const CString name = m_strFileName.IsEmpty() ? CString("the archive") : m_strFileName;
    return FormatString(texts[cause], name.GetString());
}

CString CFileException::GetErrorMessage() const
{
    static constexpr const char* texts[] = {
        "No error occurred",
        "An unexpected error occurred while accessing %s.",
        "%s was not found.",
        "%s contains an invalid path.",
        "%s could not be opened because there are too many open files.",
        "Access to %s was denied.",
        "An invalid file handle was associated with %s.",
        "%s could not be removed because it is the current directory.",
        "%s could not be created because the directory is full.",
        "Seek failed on %s",
        "A hardware I/O error was reported while accessing %s.",
        "A sharing violation occurred while accessing %s.",
        "A locking violation occurred while accessing %s.",
        "Disk full while accessing %s.",
        "An attempt was made to access %s past its end.",
    };
    const int cause = (m_cause >= 0 && m_cause < static_cast<int>(std::size(texts))) ? m_cause : genericException;
    const CString name = m_strFileName.IsEmpty() ? CString("an unnamed file") : m_strFileName;
    CString text = FormatString(texts[cause], name.GetString());
    if (cause == genericException && m_lOsError > 0)
        text.AppendFormat(" (%s)", std::strerror(m_lOsError));
    return text;
}

int CFileException::ErrnoToCause(int error)
{
    switch (error) {
    case 0:
        return none;
    case ENOENT:
        return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return badPath;
    case EMFILE:
    case ENFILE:
        return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return accessDenied;
    case EBADF:
        return invalidFile;
    case EBUSY:
        return sharingViolation;
    case ENOSPC:
    case EDQUOT:
        return diskFull;
    case EIO:
        return hardIO;
    case ESPIPE:
        return badSeek;
    default:
        return genericException;
    }
}

void AfxThrowMemoryException() { throw CMemoryException(); }
void AfxThrowNotSupportedException() { throw CNotSupportedException(); }
void AfxThrowInvalidArgException() { throw CInvalidArgException(); }
void AfxThrowArchiveException(int cause, const CString& fileName) { throw CArchiveException(cause, fileName); }
void AfxThrowFileException(int cause, LONG osError, const CString& fileName) { throw CFileException(cause, osError, fileName); }
