#include "platform/core/archive.h"

#include "platform/core/encoding.h"
#include "platform/core/file.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr WORD kNullTag = 0;
// The schema of classes that are never stored; no stored class carries it.
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr WORD kBigObjectTag = 0x7FFF;
constexpr DWORD kBigClassTag = 0x80000000;
constexpr DWORD kMaxMapCount = 0x3FFFFFFE;
// Class names longer than this are refused when reading a class record.
constexpr WORD kMaxClassNameLength = 64;
// Stored objects nest a few levels at most; far deeper nesting is damage.
constexpr int kMaxLoadDepth = 200;

template <class T>
void put(CArchive& ar, T value)
{
    ar.Write(&value, sizeof value);
}

template <class T>
void get(CArchive& ar, T& value)
{
    ar.EnsureRead(&value, sizeof value);
}

} // namespace

CArchive::CArchive(CFile* file, UINT mode, int, void*) : m_nMode(mode), m_pFile(file)
{
    if (file == nullptr)
        AfxThrowInvalidArgException();
    m_strFileName = file->GetFilePath();
}

CArchive::~CArchive()
{
    if (m_pFile != nullptr && !(m_nMode & bNoFlushOnDelete)) {
        try {
            Close();
        } catch (...) {
            // A destructor must not throw; callers that care call Close().
        }
    }
    m_pFile = nullptr;
}

void CArchive::Close()
{
    if (m_pFile == nullptr)
        return;
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_pFile = nullptr;
}

void CArchive::Flush()
{
    // Reads and writes go straight to the file, so it always stands at the
    // archive's logical position; nothing is held back here.
}

ULONGLONG CArchive::BytesLeft() const
{
    if (m_pFile == nullptr)
        return 0;
    const ULONGLONG length = m_pFile->GetLength();
    const ULONGLONG position = m_pFile->GetPosition();
    return length > position ? length - position : 0;
}

void CArchive::CheckMode(bool wantLoading) const
{
    if (m_pFile == nullptr)
        AfxThrowArchiveException(CArchiveException::genericException, m_strFileName);
    if (wantLoading && !IsLoading())
        AfxThrowArchiveException(CArchiveException::writeOnly, m_strFileName);
    if (!wantLoading && IsLoading())
        AfxThrowArchiveException(CArchiveException::readOnly, m_strFileName);
}

UINT CArchive::Read(void* buffer, UINT count)
{
    CheckMode(true);
    return count == 0 ? 0 : m_pFile->Read(buffer, count);
}

void CArchive::EnsureRead(void* buffer, UINT count)
{
    if (Read(buffer, count) != count)
        AfxThrowArchiveException(CArchiveException::endOfFile, m_strFileName);
}

void CArchive::Write(const void* buffer, UINT count)
{
    CheckMode(false);
    if (count > 0)
        m_pFile->Write(buffer, count);
}

void CArchive::WriteString(const char* text)
{
    if (text)
        Write(text, static_cast<UINT>(std::strlen(text)));
}

BOOL CArchive::ReadString(CString& text)
{
    std::string line;
    char c;
    bool any = false;
    while (Read(&c, 1) == 1) {
        any = true;
        if (c == '\n')
            break;
        line += c;
    }
    if (!any)
        return FALSE;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    text = CString(std::move(line));
    return TRUE;
}

void CArchive::WriteCount(DWORD_PTR count)
{
    if (count < 0xFFFF) {
        put(*this, static_cast<WORD>(count));
    } else {
        if (count > 0xFFFFFFFFu)
            AfxThrowArchiveException(CArchiveException::genericException, m_strFileName);
        put(*this, static_cast<WORD>(0xFFFF));
        put(*this, static_cast<DWORD>(count));
    }
}

DWORD_PTR CArchive::ReadCount()
{
    WORD small;
    get(*this, small);
    if (small != 0xFFFF)
        return small;
    DWORD large;
    get(*this, large);
    return large;
}

// Strings --------------------------------------------------------------------

CArchive& CArchive::operator<<(const CString& s)
{
    const std::string bytes = kestrun::Utf8ToCp1252(s.view());
    const size_t length = bytes.size();
    if (length < 0xFF) {
        put(*this, static_cast<BYTE>(length));
    } else if (length < 0xFFFE) {
        put(*this, static_cast<BYTE>(0xFF));
        put(*this, static_cast<WORD>(length));
    } else {
        if (length >= 0xFFFFFFFFu)
            AfxThrowArchiveException(CArchiveException::genericException, m_strFileName);
        put(*this, static_cast<BYTE>(0xFF));
        put(*this, static_cast<WORD>(0xFFFF));
        put(*this, static_cast<DWORD>(length));
    }
    Write(bytes.data(), static_cast<UINT>(length));
    return *this;
}

CArchive& CArchive::operator>>(CString& s)
{
    // The length prefix may carry the wide-string marker 0xFFFE: such
    // strings hold UTF-16 code units instead of single bytes.
    bool wide = false;
    ULONGLONG length = 0;
    for (;;) {
        BYTE b;
        get(*this, b);
        if (b < 0xFF) {
            length = b;
            break;
        }
        WORD w;
        get(*this, w);
        if (w == 0xFFFE && !wide) {
            wide = true;
            continue;
        }
        if (w < 0xFFFF) {
            length = w;
            break;
        }
        DWORD d;
        get(*this, d);
        length = d;
        break;
    }
    const ULONGLONG bytes = wide ? length * 2 : length;
    if (bytes > BytesLeft())
        AfxThrowArchiveException(CArchiveException::endOfFile, m_strFileName);
    if (wide) {
        std::u16string units(static_cast<size_t>(length), u'\0');
        EnsureRead(units.data(), static_cast<UINT>(bytes));
        s = CString(kestrun::Utf16ToUtf8(units));
    } else {
        std::string raw(static_cast<size_t>(length), '\0');
        EnsureRead(raw.data(), static_cast<UINT>(bytes));
        s = CString(kestrun::Cp1252ToUtf8(raw));
    }
    return *this;
}

// Numbers --------------------------------------------------------------------

#define KESTRUN_ARCHIVE_VALUE(T)                 \
    CArchive& CArchive::operator<<(T v)          \
    {                                            \
        put(*this, v);                           \
        return *this;                            \
    }                                            \
    CArchive& CArchive::operator>>(T& v)         \
    {                                            \
        get(*this, v);                           \
        return *this;                            \
    }

KESTRUN_ARCHIVE_VALUE(std::int8_t)
KESTRUN_ARCHIVE_VALUE(std::uint8_t)
KESTRUN_ARCHIVE_VALUE(char)
KESTRUN_ARCHIVE_VALUE(std::int16_t)
KESTRUN_ARCHIVE_VALUE(std::uint16_t)
KESTRUN_ARCHIVE_VALUE(std::int32_t)
KESTRUN_ARCHIVE_VALUE(std::uint32_t)
KESTRUN_ARCHIVE_VALUE(std::int64_t)
KESTRUN_ARCHIVE_VALUE(std::uint64_t)
KESTRUN_ARCHIVE_VALUE(float)
KESTRUN_ARCHIVE_VALUE(double)

#undef KESTRUN_ARCHIVE_VALUE

CArchive& CArchive::operator<<(bool v)
{
    put(*this, static_cast<BYTE>(v ? 1 : 0));
    return *this;
}

CArchive& CArchive::operator>>(bool& v)
{
    BYTE b;
    get(*this, b);
    v = b != 0;
    return *this;
}

// Classes and objects ---------------------------------------------------------

void CRuntimeClass::Store(CArchive& ar) const
{
    const WORD length = static_cast<WORD>(std::strlen(m_lpszClassName));
    ar << static_cast<WORD>(m_wSchema) << length;
    ar.Write(m_lpszClassName, length);
}

const CRuntimeClass* CRuntimeClass::Load(CArchive& ar, UINT* schema)
{
    WORD storedSchema;
    WORD length;
    ar >> storedSchema >> length;
    if (length >= kMaxClassNameLength)
        return nullptr;
    char name[kMaxClassNameLength] = {};
    if (ar.Read(name, length) != length)
        return nullptr;
    if (schema)
        *schema = storedSchema;
    return FromName(name);
}

void CArchive::WriteTag(DWORD index, bool isClass)
{
    if (index < kBigObjectTag) {
        put(*this, static_cast<WORD>(isClass ? (kClassTag | index) : index));
    } else {
        put(*this, kBigObjectTag);
        put(*this, isClass ? (kBigClassTag | index) : index);
    }
}

void CArchive::WriteClass(const CRuntimeClass* cls)
{
    CheckMode(false);
    if (cls == nullptr || !cls->IsStorable())
        AfxThrowNotSupportedException();
    if (const auto it = m_storeMap.find(cls); it != m_storeMap.end()) {
        WriteTag(it->second, true);
        return;
    }
    put(*this, kNewClassTag);
    cls->Store(*this);
    if (m_nMapCount > kMaxMapCount)
        AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
    m_storeMap.emplace(cls, m_nMapCount++);
}

void CArchive::WriteObject(const CObject* object)
{
    CheckMode(false);
    if (object == nullptr) {
        put(*this, kNullTag);
        return;
    }
    if (const auto it = m_storeMap.find(object); it != m_storeMap.end()) {
        WriteTag(it->second, false);
        return;
    }
    WriteClass(object->GetRuntimeClass());
    if (m_nMapCount > kMaxMapCount)
        AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
    m_storeMap.emplace(object, m_nMapCount++);
    // The class library's serialisers are not const; storing does not change the object.
    const_cast<CObject*>(object)->Serialize(*this);
}

void CArchive::MapObject(const CObject* object)
{
    if (IsStoring()) {
        if (object != nullptr && !m_storeMap.contains(object))
            m_storeMap.emplace(object, m_nMapCount++);
    } else {
        if (m_loadArray.empty())
            m_loadArray.push_back(nullptr), m_loadIsClass.push_back(false);
        m_loadArray.push_back(object);
        m_loadIsClass.push_back(false);
        m_mappedObjects.insert(object);
        ++m_nMapCount;
    }
}

const CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* requested, UINT* schema, DWORD* objectTag)
{
    CheckMode(true);
    if (m_loadArray.empty()) {
        // Index 0 stands for the null object.
        m_loadArray.push_back(nullptr);
        m_loadIsClass.push_back(false);
    }

    WORD tag;
    get(*this, tag);
    DWORD fullTag;
    if (tag == kBigObjectTag)
        get(*this, fullTag);
    else
        fullTag = (static_cast<DWORD>(tag & kClassTag) << 16) | (tag & ~kClassTag);

    if (!(fullTag & kBigClassTag)) {
        if (objectTag == nullptr)
            AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
        *objectTag = fullTag;
        return nullptr;
    }

    const CRuntimeClass* cls = nullptr;
    UINT loadedSchema = 0;
    if (tag == kNewClassTag) {
        cls = CRuntimeClass::Load(*this, &loadedSchema);
        // Only serialisable classes come from a file: a file must not
        // construct a document, a window or the engine by naming it.
        if (cls == nullptr || !cls->IsStorable())
            AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
        if (loadedSchema == CRuntimeClass::noSchema)
            AfxThrowArchiveException(CArchiveException::badSchema, m_strFileName);
        if ((cls->m_wSchema & ~VERSIONABLE_SCHEMA) != loadedSchema) {
            if (!(cls->m_wSchema & VERSIONABLE_SCHEMA))
                AfxThrowArchiveException(CArchiveException::badSchema, m_strFileName);
            m_loadedSchemas[cls] = loadedSchema;
        }
        if (m_nMapCount > kMaxMapCount)
            AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
        m_loadArray.push_back(cls);
        m_loadIsClass.push_back(true);
        ++m_nMapCount;
    } else {
        const DWORD index = fullTag & ~kBigClassTag;
        if (index == 0 || index >= m_loadArray.size() || !m_loadIsClass[index])
            AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
        cls = static_cast<const CRuntimeClass*>(m_loadArray[index]);
        const auto it = m_loadedSchemas.find(cls);
        loadedSchema = it != m_loadedSchemas.end() ? it->second : (cls->m_wSchema & ~VERSIONABLE_SCHEMA);
    }

    if (requested != nullptr && !cls->IsDerivedFrom(requested))
        AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);

    if (schema)
        *schema = loadedSchema;
    else
        m_nObjectSchema = loadedSchema;
    return cls;
}

CObject* CArchive::ReadObject(const CRuntimeClass* requested)
{
    UINT schema = 0;
    DWORD objectTag = 0;
    const CRuntimeClass* cls = ReadClass(requested, &schema, &objectTag);

    if (cls == nullptr) {
        if (objectTag >= m_loadArray.size() || m_loadIsClass[objectTag])
            AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
        auto* object = static_cast<CObject*>(const_cast<void*>(m_loadArray[objectTag]));
        if (object != nullptr && requested != nullptr && !object->IsKindOf(requested))
            AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
        return object;
    }

    if (m_nLoadDepth >= kMaxLoadDepth)
        AfxThrowArchiveException(CArchiveException::genericException, m_strFileName);
    std::unique_ptr<CObject> object(cls->CreateObject());
    if (!object)
        AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
    const size_t slot = m_loadArray.size();
    m_loadArray.push_back(object.get());
    m_loadIsClass.push_back(false);
    ++m_nMapCount;

    const UINT savedSchema = m_nObjectSchema;
    m_nObjectSchema = schema;
    ++m_nLoadDepth;
    try {
        object->Serialize(*this);
    } catch (...) {
        // The half-read object goes away; nothing may refer to it any more.
        m_loadArray[slot] = nullptr;
        m_nObjectSchema = savedSchema;
        --m_nLoadDepth;
        throw;
    }
    --m_nLoadDepth;
    m_nObjectSchema = savedSchema;
    return object.release();
}

size_t CArchive::ForgetObject(const CObject* object, size_t mark)
{
    if (object == nullptr)
        return 0;
    for (size_t i = std::max<size_t>(mark, 1); i < m_loadArray.size(); ++i) {
        if (!m_loadIsClass[i] && m_loadArray[i] == object) {
            m_loadArray[i] = nullptr;
            return i;
        }
    }
    return 0;
}

void CArchive::DeleteObjectsSince(size_t mark) noexcept
{
    for (size_t i = mark; i < m_loadArray.size(); ++i) {
        if (!m_loadIsClass[i] && m_loadArray[i] != nullptr) {
            if (!m_mappedObjects.contains(m_loadArray[i]))
                delete static_cast<const CObject*>(m_loadArray[i]);
            m_loadArray[i] = nullptr;
        }
    }
}

void CArchive::SerializeClass(const CRuntimeClass* cls)
{
    if (IsStoring())
        WriteClass(cls);
    else
        ReadClass(cls, &m_nObjectSchema);
}

UINT CArchive::GetObjectSchema()
{
    const UINT schema = m_nObjectSchema;
    m_nObjectSchema = UINT(-1);
    return schema;
}
