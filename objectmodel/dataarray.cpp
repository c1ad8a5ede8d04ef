#include "objectmodel/dataarray.h"

#include "platform/core/atomicfile.h"
#include "platform/core/file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <new>
#include <sstream>
#include <stdexcept>
#include <vector>

IMPLEMENT_SERIAL(CDataArray, CData, VERSIONABLE_SCHEMA | 6)

namespace kestrun {

LONG SeriesTruncate(double v)
{
    if (std::isnan(v))
        return 0;
    if (v <= static_cast<double>(std::numeric_limits<LONG>::min()))
        return std::numeric_limits<LONG>::min();
    if (v >= static_cast<double>(std::numeric_limits<LONG>::max()))
        return std::numeric_limits<LONG>::max();
    return static_cast<LONG>(v);
}

} // namespace kestrun

namespace {

using kestrun::SeriesTruncate;

// Schemas from the class record are words; anything larger means the bytes
// at the start were no class record at all.
constexpr UINT kNoClassRecord = 3907500;
constexpr UINT kUnsetSchema = 0xFFFFFFFF;
// Value type of the old type codes that no array holds.
constexpr int kTypeWithoutValues = 4;

template <class T>
double ClampedRead(const CArray<T, T>& values, int i)
{
    const int n = static_cast<int>(values.GetSize());
    if (n == 0)
        AfxThrowInvalidArgException();
    return static_cast<double>(values[std::clamp(i, 0, n - 1)]);
}

template <class T>
void CheckedStore(CArray<T, T>& values, int i, T v)
{
    if (i < 0 || i >= values.GetSize())
        AfxThrowInvalidArgException();
    values[i] = v;
}

template <class T>
void Zero(CArray<T, T>& values)
{
    std::fill(values.begin(), values.end(), T{});
}

// Sorts the first count values ascending by the key of each value.
template <class T, class Key>
void SortPrefix(CArray<T, T>& values, int count, Key key)
{
    T* first = values.GetData();
    std::sort(first, first + count, [&](T a, T b) { return key(a) < key(b); });
}

SHORT ToShort(LONG v)
{
    // Only the low 16 bits are kept, as the short series always did.
    return static_cast<SHORT>(static_cast<WORD>(static_cast<DWORD>(v)));
}

} // namespace

CDataArray::CDataArray(int valueType) : m_nValueType(valueType)
{
    m_ID = 1;
}

// --- virtual operations ---------------------------------------------------------

void CDataArray::SetSize(int n, int growBy)
{
    m_nGrowBy = growBy;
    try {
        switch (m_nValueType) {
        case typeShort: m_aShort.SetSize(n, growBy); break;
        case typeLong: m_aLong.SetSize(n, growBy); break;
        case typeFloat: m_aFloat.SetSize(n, growBy); break;
        case typeDouble: m_aDouble.SetSize(n, growBy); break;
        default: break;
        }
    } catch (const CMemoryException&) {
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
}

int CDataArray::GetSize() const
{
    switch (m_nValueType) {
    case typeShort: return static_cast<int>(m_aShort.GetSize());
    case typeLong: return static_cast<int>(ReadLongs().GetSize());
    case typeFloat: return static_cast<int>(m_aFloat.GetSize());
    case typeDouble: return static_cast<int>(m_aDouble.GetSize());
    default: return 0;
    }
}

std::span<const float> CDataArray::GetFloatValues() const
{
    const int used = std::min(GetUsedCount(), static_cast<int>(m_aFloat.GetSize()));
    if (m_nValueType != typeFloat || used <= 0)
        return {};
    return {m_aFloat.GetData(), static_cast<size_t>(used)};
}

double CDataArray::GetAt(int i) const
{
    switch (m_nValueType) {
    case typeShort: return ClampedRead(m_aShort, i);
    case typeLong: return ClampedRead(ReadLongs(), i);
    case typeFloat: return ClampedRead(m_aFloat, i);
    case typeDouble: return ClampedRead(m_aDouble, i);
    default: return 0.0;
    }
}

CString CDataArray::GetXKindName(int kind) const
{
    switch (kind) {
    case 0: return "Index";
    case 1: return "PosX";
    case 2: return "PosY";
    default: return "Undef";
    }
}

double CDataArray::GetXByKind(int i, int kind) const
{
    switch (kind) {
    case 0: return static_cast<double>(i);
    case 1: return GetXAt(i);
    case 2: return GetAt(i);
    default: return -1.0;
    }
}

void CDataArray::Assign(const CDataArray& other)
{
    if (&other == this)
        return;
    m_nValueType = other.m_nValueType;
    m_bRing = other.m_bRing;
    m_dX0 = other.m_dX0;
    m_dDX = other.m_dDX;
    m_dDefaultDX = other.m_dDefaultDX;
    m_nGrowBy = other.m_nGrowBy;
    m_nWritePos = other.m_nWritePos;
    // This series now holds its own copy of what the other one shows.
    m_pBorrowedLong = nullptr;
    m_aShort.RemoveAll();
    m_aLong.RemoveAll();
    m_aFloat.RemoveAll();
    m_aDouble.RemoveAll();
    switch (m_nValueType) {
    case typeShort: m_aShort.Copy(other.m_aShort); break;
    case typeLong: m_aLong.Copy(other.ReadLongs()); break;
    case typeFloat: m_aFloat.Copy(other.m_aFloat); break;
    case typeDouble: m_aDouble.Copy(other.m_aDouble); break;
    default: break;
    }
}

BOOL CDataArray::IsCompatible(const CDataArray& other) const
{
    return m_ID == other.m_ID && m_nValueType == other.m_nValueType && other.GetDX() == m_dDX;
}

void CDataArray::Reset()
{
    m_dDX = m_dDefaultDX;
    m_nWritePos = -1;
    switch (m_nValueType) {
    case typeShort: m_aShort.RemoveAll(); break;
    case typeLong: (m_pBorrowedLong ? *m_pBorrowedLong : m_aLong).RemoveAll(); break;
    case typeFloat: m_aFloat.RemoveAll(); break;
    case typeDouble: m_aDouble.RemoveAll(); break;
    default: break;
    }
}

double CDataArray::GetAtExtended(int i) const
{
    const std::int64_t n = GetSize();
    std::int64_t k = i;
    if (m_bRing) {
        // An empty ring has no index to wrap to.
        if (n == 0)
            AfxThrowInvalidArgException();
        k %= n;
        if (k < 0)
            k += n;
    } else {
        if (k < 0)
            k = -k;
        if (k >= n)
            k = 2 * n - k - 2;
    }
    return GetAt(static_cast<int>(std::clamp<std::int64_t>(k, INT32_MIN, INT32_MAX)));
}

double CDataArray::SnapX(double x) const
{
    const int i = std::min(SeriesTruncate((x - m_dX0) / m_dDX + 0.5), GetSize() - 1);
    return GetXAt(i);
}

void CDataArray::GetXKinds(CStringArray& names, CWordArray& codes) const
{
    names.RemoveAll();
    codes.RemoveAll();
    for (int kind = 0; kind < GetXKindCount(); ++kind) {
        names.Add(GetXKindName(kind));
        codes.Add(static_cast<WORD>(kind));
    }
}

void CDataArray::WriteText(const char* path, const char* separator) const
{
    const char* sep = separator ? separator : "";
    std::ostringstream text;
    text.imbue(std::locale::classic());
    for (int i = 0; i < GetUsedCount(); ++i) {
        const double x = GetXAt(i);
        const double v = GetAt(i);
        switch (m_nValueType) {
        case typeShort:
            // Written as unsigned words: -1 comes out as 65535, as stored
            // exports always had it.
            text << static_cast<WORD>(SeriesTruncate(x)) << sep << static_cast<WORD>(SeriesTruncate(v)) << '\n';
            break;
        case typeLong: text << SeriesTruncate(x) << sep << SeriesTruncate(v) << '\n'; break;
        case typeFloat:
        case typeDouble: text << x << sep << v << '\n'; break;
        default: break;
        }
    }
    const std::string bytes = text.str();
    kestrun::CAtomicFileWriter file(path);
    file.Write(bytes.data(), bytes.size());
    file.Commit();
}

// --- writing -------------------------------------------------------------------

BOOL CDataArray::AddInt(int v)
{
    const int i = m_nWritePos + 1;
    switch (m_nValueType) {
    case typeShort: m_aShort.SetAtGrow(i, ToShort(v)); break;
    case typeLong: m_aLong.SetAtGrow(i, v); break;
    case typeFloat: m_aFloat.SetAtGrow(i, static_cast<float>(v)); break;
    case typeDouble: m_aDouble.SetAtGrow(i, static_cast<double>(v)); break;
    default: return FALSE;
    }
    m_nWritePos = i;
    return TRUE;
}

BOOL CDataArray::AddDouble(double v)
{
    const int i = m_nWritePos + 1;
    switch (m_nValueType) {
    case typeShort: m_aShort.SetAtGrow(i, ToShort(SeriesTruncate(v))); break;
    case typeLong: m_aLong.SetAtGrow(i, SeriesTruncate(v)); break;
    case typeFloat: m_aFloat.SetAtGrow(i, static_cast<float>(v)); break;
    case typeDouble: m_aDouble.SetAtGrow(i, v); break;
    default: return FALSE;
    }
    m_nWritePos = i;
    return TRUE;
}

void CDataArray::SetAtWrapped(int i, double v)
{
    if (m_bRing) {
        const int n = GetSize();
        if (n == 0)
            AfxThrowInvalidArgException();
        i %= n;
        if (i < 0)
            i += n;
    }
    StoreAt(i, v);
    m_nWritePos = std::max(m_nWritePos, i);
}

void CDataArray::StoreAt(int i, double v)
{
    switch (m_nValueType) {
    case typeShort: CheckedStore(m_aShort, i, ToShort(SeriesTruncate(v))); break;
    case typeLong: CheckedStore(m_aLong, i, SeriesTruncate(v)); break;
    case typeFloat: CheckedStore(m_aFloat, i, static_cast<float>(v)); break;
    case typeDouble: CheckedStore(m_aDouble, i, v); break;
    default: AfxThrowInvalidArgException();
    }
}

void CDataArray::ClearAll()
{
    switch (m_nValueType) {
    case typeShort: Zero(m_aShort); break;
    case typeLong: Zero(m_pBorrowedLong ? *m_pBorrowedLong : m_aLong); break;
    case typeFloat: Zero(m_aFloat); break;
    case typeDouble: Zero(m_aDouble); break;
    default: break;
    }
}

// --- whole-series operations -------------------------------------------------

void CDataArray::SortAscending()
{
    if (GetUsedCount() == 0)
        return;
    const auto sortUsed = [this](auto& values, auto key) {
        if (values.IsEmpty())
            AfxThrowInvalidArgException();
        SortPrefix(values, std::min(GetUsedCount(), static_cast<int>(values.GetSize())), key);
    };
    switch (m_nValueType) {
    case typeShort: sortUsed(m_aShort, [](SHORT v) { return static_cast<WORD>(v); }); break;
    case typeLong: sortUsed(m_aLong, [](LONG v) { return static_cast<DWORD>(v); }); break;
    case typeFloat: sortUsed(m_aFloat, [](float v) { return v; }); break;
    case typeDouble: sortUsed(m_aDouble, [](double v) { return v; }); break;
    default: break;
    }
}

void CDataArray::Smooth(int n, int /*mode*/)
{
    if (n < 1)
        return;
    const int length = GetSize();
    const int half = n / 2;
    std::vector<double> means(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) {
        double sum = 0.0;
        for (int j = 0; j < n; ++j)
            sum += GetAtExtended(i - half + j);
        means[static_cast<size_t>(i)] = sum / n;
    }
    for (int i = 0; i < length; ++i)
        SetAtWrapped(i, means[static_cast<size_t>(i)]);
}

void CDataArray::FillEnds(int n)
{
    const int length = GetSize();
    if (n >= length || n / 2 <= 0)
        return;
    const double v = GetAtExtended(n / 2);
    for (int j = 0; j < n / 2; ++j) {
        SetAtWrapped(j, v);
        SetAtWrapped(length - 1 - j, v);
    }
}

void CDataArray::Negate()
{
    const int length = GetSize();
    for (int i = 0; i < length; ++i)
        SetAtWrapped(i, -GetAtExtended(i));
}

void CDataArray::GetMinMax(double& min, double& max, double& iMin, double& iMax) const
{
    const int used = GetUsedCount();
    if (used <= 0)
        return;
    min = max = GetAt(0);
    iMin = iMax = 0.0;
    for (int i = 1; i < used; ++i) {
        const double v = GetAt(i);
        if (v < min) {
            min = v;
            iMin = i;
        }
        if (v > max) {
            max = v;
            iMax = i;
        }
    }
}

int CDataArray::FindDeepestMinimum(double& depth) const
{
    depth = 0.0;
    const int length = GetSize();
    int deepest = 0;
    if (length < 5)
        return deepest;
    for (int i = 2; i <= length - 3; ++i) {
        const double v = GetAt(i);
        const double around[] = {GetAt(i - 2), GetAt(i - 1), GetAt(i + 1), GetAt(i + 2)};
        if (!std::all_of(std::begin(around), std::end(around), [v](double w) { return v < w; }))
            continue;
        const double rim = std::max(0.0, *std::max_element(std::begin(around), std::end(around)));
        const double d = std::fabs(v - rim);
        if (d > depth) {
            depth = d;
            deepest = i;
        }
    }
    return deepest;
}

void CDataArray::FindValleyExtent(int i, int& left, int& right) const
{
    const int length = GetSize();
    left = right = i;

    double running = GetAt(i);
    for (int k = i + 1; k <= length - 1; ++k) {
        const double m = k < length - 2 ? (GetAt(k) + GetAt(k + 1) + GetAt(k + 2)) / 3.0 : GetAt(k);
        if (!(m < running))
            break;
        running = m;
        right = k;
    }

    running = GetAt(i);
    for (int k = i - 1; k >= 1; --k) {
        const double m = k >= 2 ? (GetAt(k) + GetAt(k - 1) + GetAt(k - 2)) / 3.0 : GetAt(k);
        if (!(m < running))
            break;
        running = m;
        left = k;
    }
}

// --- archive -------------------------------------------------------------------

namespace {

// What a stored record holds, read completely before the series changes.
struct StoredSeries
{
    int valueType = 0;
    bool hasRing = false;
    int ring = 0;
    double x0 = 0.0;
    double dx = 1.0;
    CArray<SHORT, SHORT> shorts;
    CArray<LONG, LONG> longs;
    CArray<float, float> floats;
    CArray<double, double> doubles;
};

WORD ReadWord(CArchive& ar)
{
    WORD w;
    ar >> w;
    return w;
}

double ReadDouble(CArchive& ar)
{
    double d;
    ar >> d;
    return d;
}

double ReadFloat(CArchive& ar)
{
    float f;
    ar >> f;
    return f;
}

int OldTypeCode(WORD code)
{
    switch (code) {
    case 0: return CDataArray::typeShort;
    case 1: return CDataArray::typeFloat;
    default: return kTypeWithoutValues;
    }
}

// The fields between the class record and the values, by schema.
void ReadHeader(CArchive& ar, UINT schema, StoredSeries& s)
{
    switch (schema) {
    case 6:
        s.valueType = ReadWord(ar);
        s.ring = ReadWord(ar);
        s.hasRing = true;
        s.x0 = ReadDouble(ar);
        s.dx = ReadDouble(ar);
        break;
    case 5:
        s.valueType = ReadWord(ar);
        ReadWord(ar); // write position: the values decide it
        s.ring = ReadWord(ar);
        s.hasRing = true;
        s.x0 = ReadDouble(ar);
        s.dx = ReadDouble(ar);
        ReadDouble(ar);
        ReadDouble(ar);
        break;
    case 4:
        s.valueType = OldTypeCode(ReadWord(ar));
        ReadWord(ar);
        s.x0 = ReadDouble(ar);
        s.dx = ReadDouble(ar);
        ReadDouble(ar);
        ReadDouble(ar);
        break;
    case 3:
        s.valueType = OldTypeCode(ReadWord(ar));
        ReadWord(ar);
        s.x0 = ReadFloat(ar);
        s.dx = ReadFloat(ar);
        ReadFloat(ar);
        ReadFloat(ar);
        break;
    case 2:
        s.valueType = OldTypeCode(ReadWord(ar));
        ReadWord(ar);
        s.x0 = ReadFloat(ar);
        ReadFloat(ar);
        s.dx = ReadFloat(ar);
        ReadFloat(ar);
        ReadFloat(ar);
        break;
    default: {
        const WORD type = ReadWord(ar);
        s.valueType = type == 4 ? static_cast<int>(CDataArray::typeFloat) : type;
        ReadWord(ar);
        s.x0 = ReadFloat(ar);
        ReadFloat(ar);
        s.dx = ReadFloat(ar);
        break;
    }
    }
}

} // namespace

void CDataArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteClass(GetRuntimeClass());
        ar << static_cast<WORD>(m_nValueType);
        SetSize(m_nWritePos + 1, -1);
        ar << static_cast<WORD>(m_bRing) << m_dX0 << m_dDX;
        switch (m_nValueType) {
        case typeShort: m_aShort.Serialize(ar); break;
        case typeLong: m_aLong.Serialize(ar); break;
        case typeFloat: m_aFloat.Serialize(ar); break;
        case typeDouble: m_aDouble.Serialize(ar); break;
        default: break;
        }
        return;
    }

    CFile* file = ar.GetFile();
    ar.Flush();
    const ULONGLONG start = file->GetPosition();
    UINT schema = kUnsetSchema;
    DWORD objectTag = 0;
    ar.ReadClass(GetRuntimeClass(), &schema, &objectTag);
    if (schema > kNoClassRecord) {
        // The oldest files begin with four bytes of their own instead of a
        // class record; the schema 4 layout follows them.
        ar.Flush();
        file->Seek(static_cast<LONGLONG>(start + 4), CFile::begin);
        schema = 4;
    }

    StoredSeries s;
    ReadHeader(ar, schema, s);
    switch (s.valueType) {
    case typeShort: s.shorts.Serialize(ar); break;
    case typeLong: s.longs.Serialize(ar); break;
    case typeFloat: s.floats.Serialize(ar); break;
    case typeDouble: s.doubles.Serialize(ar); break;
    default: break;
    }

    m_nValueType = s.valueType;
    if (s.hasRing)
        m_bRing = s.ring;
    m_dX0 = s.x0;
    m_dDX = s.dx;
    m_pBorrowedLong = nullptr;
    m_aShort = std::move(s.shorts);
    m_aLong = std::move(s.longs);
    m_aFloat = std::move(s.floats);
    m_aDouble = std::move(s.doubles);
    m_nWritePos = GetSize() - 1;
}
