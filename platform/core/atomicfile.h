#pragma once
// New content for a file, written beside it and put in place by one rename:
// readers see the old file or the new one, never a part, and a failed write
// leaves the old file as it was.

#include "platform/core/cstring.h"

#include <cstddef>
#include <ctime>

namespace kestrun {

class CAtomicFileWriter
{
public:
    // Opens a temporary file in the target's folder, with the target's
    // permissions when it exists. Throws CFileException (cause badPath when
    // the folder is missing). First removes the temporary files that
    // earlier writes of the same target left when their program was killed
    // (".name.pid-n.tmp" of a process that is gone).
    explicit CAtomicFileWriter(const CString& target);
    // Removes the temporary file unless Commit succeeded.
    ~CAtomicFileWriter();
    CAtomicFileWriter(const CAtomicFileWriter&) = delete;
    CAtomicFileWriter& operator=(const CAtomicFileWriter&) = delete;

    // Appends bytes; throws CFileException.
    void Write(const void* data, std::size_t size);
    // Permission bits and modification time for the new file (a copy keeps
    // those of its source).
    void SetPermissions(unsigned mode);
    void SetModificationTime(std::time_t seconds, long nanoseconds);

    // Flushes the content to the disk and renames it over the target. When
    // replaceExisting is false and the target exists, throws CFileException
    // with EEXIST and leaves the target alone. Throws CFileException on any
    // other failure.
    void Commit(bool replaceExisting = true);

    const CString& Target() const { return m_target; }

private:
    [[noreturn]] void Fail(int error) const;

    CString m_target;
    CString m_temporary;
    int m_fd = -1;
    bool m_committed = false;
};

} // namespace kestrun
