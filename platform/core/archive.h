#pragma once
// CArchive: the binary archive of the class library, byte for byte, so that
// stored files stay exchangeable. Little-endian values; class records and
// object references share one index counter; strings are stored in the
// Windows-1252 code page and are UTF-8 in memory.
//
// Layout:
//   null object          WORD 0
//   new class            WORD 0xFFFF, WORD schema, WORD name length, name
//   known class          WORD 0x8000 | index  (or 0x7FFF, DWORD 0x80000000 | index)
//   known object         WORD index           (or 0x7FFF, DWORD index)
//   count                WORD n, or WORD 0xFFFF + DWORD n
//   string length        BYTE n (< 255), or 0xFF + WORD n (< 0xFFFE),
//                        or 0xFF 0xFFFF + DWORD n
// Index 0 is the null object; the first class or object written gets 1.

#include "platform/core/object.h"

#include <concepts>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CFile;
class CDocument;

class CArchive
{
public:
    enum Mode
    {
        store = 0,
        load = 1,
        bNoFlushOnDelete = 2,
        bNoByteSwap = 4,
    };

    // The archive reads from or writes to file, which must outlive it.
    // bufferSize is accepted for the callers' sake; the file buffers.
    CArchive(CFile* file, UINT mode, int bufferSize = 4096, void* buffer = nullptr);
    // Closes the archive when that has not happened yet; never throws.
    virtual ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    // Flushes what was stored and detaches the file. Calling it twice is harmless.
    void Close();
    // Detaches the file without flushing.
    void Abort();
    void Flush();

    bool IsLoading() const { return (m_nMode & load) != 0; }
    bool IsStoring() const { return (m_nMode & load) == 0; }
    CFile* GetFile() const { return m_pFile; }
    // Bytes between the read position and the end of the file: readers
    // check counts against it before allocating anything.
    ULONGLONG BytesLeft() const;

    // Raw bytes. Read returns how many bytes it got; EnsureRead raises the
    // end-of-file archive exception on a short read.
    UINT Read(void* buffer, UINT count);
    void EnsureRead(void* buffer, UINT count);
    void Write(const void* buffer, UINT count);

    // One text line, without any length prefix. ReadString strips the line
    // end ("\n" or "\r\n") and returns false at the end of the file.
    void WriteString(const char* text);
    BOOL ReadString(CString& text);

    // Counts of collections.
    void WriteCount(DWORD_PTR count);
    DWORD_PTR ReadCount();

    // Objects and class records.
    void WriteObject(const CObject* object);
    // Reads an object, a back reference or a null; the object must be of
    // the requested class (or derived) when one is given. The caller owns
    // a newly created object.
    CObject* ReadObject(const CRuntimeClass* requested);
    void WriteClass(const CRuntimeClass* cls);
    // Reads a class reference. When an object reference comes instead,
    // it is stored in objectTag and null is returned; without objectTag that
    // is a bad-index error.
    const CRuntimeClass* ReadClass(const CRuntimeClass* requested = nullptr, UINT* schema = nullptr,
                                   DWORD* objectTag = nullptr);
    // WriteClass when storing, ReadClass (and its schema check) when loading.
    void SerializeClass(const CRuntimeClass* cls);
    // Registers an object that is stored elsewhere, so that later
    // references to it become back references.
    void MapObject(const CObject* object);
    // Loading: how many classes and objects the archive knows so far; a mark
    // for the two calls below. Reading a new object makes it grow, a back
    // reference does not.
    size_t GetLoadCount() const { return m_loadArray.size(); }
    // Loading: a reader took over the object, loaded at index mark or later;
    // later references to it read as null. Answers its index, or 0 (the
    // null object's) when it is not found there.
    size_t ForgetObject(const CObject* object, size_t mark);
    // Loading: deletes the objects loaded from index mark on that no reader
    // took over, for a reader that drops what it read (objects nested in
    // object arrays included; those registered with MapObject stay); later
    // references to them read as null.
    void DeleteObjectsSince(size_t mark) noexcept;

    // The schema of the object being loaded (once; then it reads as -1).
    UINT GetObjectSchema();
    void SetObjectSchema(UINT schema) { m_nObjectSchema = schema; }

    CArchive& operator<<(std::int8_t v);
    CArchive& operator<<(std::uint8_t v);
    CArchive& operator<<(char v);
    CArchive& operator<<(bool v);
    CArchive& operator<<(std::int16_t v);
    CArchive& operator<<(std::uint16_t v);
    CArchive& operator<<(std::int32_t v);
    CArchive& operator<<(std::uint32_t v);
    CArchive& operator<<(std::int64_t v);
    CArchive& operator<<(std::uint64_t v);
    CArchive& operator<<(float v);
    CArchive& operator<<(double v);
    CArchive& operator<<(const CString& s);
    CArchive& operator<<(const char* s) { return *this << CString(s); }
    CArchive& operator<<(const CObject* object)
    {
        WriteObject(object);
        return *this;
    }

    CArchive& operator>>(std::int8_t& v);
    CArchive& operator>>(std::uint8_t& v);
    CArchive& operator>>(char& v);
    CArchive& operator>>(bool& v);
    CArchive& operator>>(std::int16_t& v);
    CArchive& operator>>(std::uint16_t& v);
    CArchive& operator>>(std::int32_t& v);
    CArchive& operator>>(std::uint32_t& v);
    CArchive& operator>>(std::int64_t& v);
    CArchive& operator>>(std::uint64_t& v);
    CArchive& operator>>(float& v);
    CArchive& operator>>(double& v);
    CArchive& operator>>(CString& s);
    CArchive& operator>>(CObject*& object)
    {
        object = ReadObject(nullptr);
        return *this;
    }

    CString m_strFileName;
    CDocument* m_pDocument = nullptr;
    BOOL m_bForceFlat = TRUE;

protected:
    UINT m_nMode;
    CFile* m_pFile;

private:
    void CheckMode(bool wantLoading) const;
    void WriteTag(DWORD index, bool isClass);

    UINT m_nObjectSchema = UINT(-1);
    DWORD m_nMapCount = 1;
    // Objects being read inside one another, limited so that a damaged file
    // cannot nest them until the stack runs out.
    int m_nLoadDepth = 0;
    // Storing: what has an index already. Loading: what each index stands for.
    std::unordered_map<const void*, DWORD> m_storeMap;
    std::vector<const void*> m_loadArray;
    std::vector<bool> m_loadIsClass;
    std::unordered_map<const CRuntimeClass*, UINT> m_loadedSchemas;
    // Loading: objects registered with MapObject, which belong elsewhere.
    std::unordered_set<const void*> m_mappedObjects;
};

// Typed object reads: `ar >> pRecord` checks that the object is a T.
template <class T>
    requires std::derived_from<T, CObject> && (!std::same_as<T, CObject>)
CArchive& operator>>(CArchive& ar, T*& object)
{
    object = static_cast<T*>(ar.ReadObject(T::GetThisClass()));
    return ar;
}
