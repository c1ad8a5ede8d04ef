#pragma once
// Files as the class library has them: CFile (unbuffered, over a file
// descriptor), CMemFile (in memory) and CStdioFile (buffered text lines).
// Failures raise CFileException; Open reports them through its argument.

#include "platform/core/exceptions.h"

#include <cstdio>
#include <vector>

class CFile
{
public:
    enum OpenFlags : UINT
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition : UINT
    {
        begin = 0,
        current = 1,
        end = 2,
    };

    CFile() = default;
    // Opens the file or raises CFileException.
    CFile(const char* path, UINT openFlags);
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Returns FALSE and fills error (when given) on failure.
    virtual BOOL Open(const char* path, UINT openFlags, CFileException* error = nullptr);
    virtual void Close();
    // Closes without raising.
    virtual void Abort();
    virtual bool IsOpen() const { return m_fd >= 0; }

    virtual UINT Read(void* buffer, UINT count);
    virtual void Write(const void* buffer, UINT count);
    virtual ULONGLONG Seek(LONGLONG offset, UINT from);
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG length);
    virtual void Flush();

    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }

    CString GetFilePath() const { return m_strFileName; }
    CString GetFileName() const;
    CString GetFileTitle() const;

    static void Remove(const char* path);
    static void Rename(const char* oldPath, const char* newPath);

protected:
    [[noreturn]] void ThrowErrno(int error) const;

    CString m_strFileName;

private:
    int m_fd = -1;
};

// A file in memory; the archive tests and the clipboard use it.
class CMemFile : public CFile
{
public:
    explicit CMemFile(UINT growBytes = 1024);
    // Starts with a copy of the given bytes, positioned at the start.
    CMemFile(const BYTE* data, UINT size, UINT growBytes = 0);

    BOOL Open(const char* path, UINT openFlags, CFileException* error = nullptr) override;
    void Close() override;
    void Abort() override {}
    bool IsOpen() const override { return true; }

    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    ULONGLONG Seek(LONGLONG offset, UINT from) override;
    ULONGLONG GetPosition() const override { return m_position; }
    ULONGLONG GetLength() const override { return m_data.size(); }
    void SetLength(ULONGLONG length) override;
    void Flush() override {}

    const std::vector<BYTE>& Data() const { return m_data; }

private:
    std::vector<BYTE> m_data;
    size_t m_position = 0;
};

// Buffered file with text lines. Lines end in "\n"; a "\r" before it is
// dropped on reading, so files written on the original platform read alike.
class CStdioFile : public CFile
{
public:
    CStdioFile() = default;
    CStdioFile(const char* path, UINT openFlags);
    ~CStdioFile() override;

    BOOL Open(const char* path, UINT openFlags, CFileException* error = nullptr) override;
    void Close() override;
    void Abort() override;
    bool IsOpen() const override { return m_stream != nullptr; }

    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    ULONGLONG Seek(LONGLONG offset, UINT from) override;
    ULONGLONG GetPosition() const override;
    ULONGLONG GetLength() const override;
    void SetLength(ULONGLONG length) override;
    void Flush() override;

    // Reads one line without its line end; FALSE at the end of the file.
    BOOL ReadString(CString& line);
    void WriteString(const char* text);

private:
    std::FILE* m_stream = nullptr;
};
