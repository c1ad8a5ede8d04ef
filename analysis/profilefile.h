#pragma once
// Opening the files of a profile (class and area-of-interest files) for
// reading: only a missing file counts as none.

#include "platform/core/exceptions.h"
#include "platform/core/file.h"
#include "platform/core/folders.h"

#include <cerrno>

namespace kestrun {

// False when the file does not exist. One that is there but cannot be read
// raises CFileException: a folder too, which opens like a file and reads as
// nothing on some file systems.
inline bool OpenProfileFile(CFile& file, const CString& path)
{
    CFileException error;
    if (!file.Open(path, CFile::modeRead | CFile::typeBinary, &error)) {
        if (error.m_cause == CFileException::fileNotFound)
            return false;
        throw error;
    }
    const DWORD attributes = GetFileAttributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        file.Abort();
        AfxThrowFileException(CFileException::accessDenied, EISDIR, path);
    }
    return true;
}

} // namespace kestrun
