#include "objectmodel/datagroupattrib.h"

#include "platform/core/archive.h"
#include "platform/core/exceptions.h"
#include "platform/core/file.h"

#include <cstdint>

IMPLEMENT_SERIAL(CDataItemAttrib, CObject, VERSIONABLE_SCHEMA | 3)
IMPLEMENT_SERIAL(CDataGroupAttrib, CObject, VERSIONABLE_SCHEMA | 5)

namespace {

// Schemas come from a word; anything else means no class record was read.
constexpr UINT kNoSchema = 0xFFFFFFFF;
// The marker of the oldest item records.
constexpr const char* kOldItemMarker = "070797";

WORD ReadWord(CArchive& ar)
{
    std::uint16_t w = 0;
    ar >> w;
    return w;
}

std::int32_t ReadInt(CArchive& ar)
{
    std::int32_t v = 0;
    ar >> v;
    return v;
}

double ReadFloat(CArchive& ar)
{
    float v = 0.0F;
    ar >> v;
    return v;
}

// The class record at the archive's position: its schema, or kNoSchema
// when the bytes there are none (the archive is put back then).
UINT ReadSchemaOrRewind(CArchive& ar, const CRuntimeClass* cls)
{
    CFile* file = ar.GetFile();
    ar.Flush();
    const ULONGLONG start = file->GetPosition();
    UINT schema = kNoSchema;
    DWORD objectTag = 0;
    if (ar.ReadClass(cls, &schema, &objectTag) == nullptr) {
        ar.Flush();
        file->Seek(static_cast<LONGLONG>(start), CFile::begin);
        return kNoSchema;
    }
    return schema;
}

// Old kinds: 1024 was the time axis.
int TimeKind(int kind)
{
    return kind == 1024 ? 2 : kind;
}

int NormalKind(int kind)
{
    if (kind == 0 || kind == 1 || kind == 2 || kind == 4)
        return kind;
    return kind == 512 ? 1 : 2;
}

std::unique_ptr<CDataItemAttrib> CopyOf(const CDataItemAttrib& item)
{
    return std::make_unique<CDataItemAttrib>(item);
}

} // namespace

// ---- item ----------------------------------------------------------------------------

CDataItemAttrib::CDataItemAttrib(const CString& name, COLORREF color, WORD group, WORD channel, int shown, WORD flags)
    : m_strName(name), m_nGroup(group), m_nChannel(channel), m_bShown(shown), m_Color(color), m_wFlags(flags)
{
}

void CDataItemAttrib::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CDataItemAttrib));
        ar << m_strName << static_cast<std::int32_t>(m_Color) << std::uint16_t{m_nGroup} << std::uint16_t{m_nChannel}
           << static_cast<std::uint16_t>(m_bShown) << std::uint16_t{m_wStyle3} << std::uint16_t{m_wStyle5}
           << std::uint16_t{m_wStyle2} << std::uint16_t{m_wStyle4} << std::uint16_t{m_wFlags};
        return;
    }
    // Read into a fresh item (what a layout does not hold keeps its
    // default): a damaged record leaves this one as it was.
    CDataItemAttrib read;
    const auto styles = [&ar, &read]() {
        read.m_wStyle3 = ReadWord(ar);
        read.m_wStyle5 = ReadWord(ar);
        read.m_wStyle2 = ReadWord(ar);
        read.m_wStyle4 = ReadWord(ar);
    };
    const UINT schema = ReadSchemaOrRewind(ar, RUNTIME_CLASS(CDataItemAttrib));
    if (schema >= 2 && schema <= 999) {
        ar >> read.m_strName;
        read.m_Color = static_cast<COLORREF>(ReadInt(ar));
        read.m_nGroup = ReadWord(ar);
        read.m_nChannel = ReadWord(ar);
        read.m_bShown = ReadWord(ar);
        styles();
        if (schema == 3)
            read.m_wFlags = ReadWord(ar);
    } else {
        CString first;
        ar >> first;
        const bool marked = first == kOldItemMarker;
        read.m_strName = marked ? CString() : first;
        if (marked)
            ar >> read.m_strName;
        read.m_Color = static_cast<COLORREF>(ReadInt(ar));
        read.m_nGroup = ReadWord(ar);
        read.m_nChannel = ReadWord(ar);
        if (marked) {
            styles();
        } else {
            for (int i = 0; i < 10; ++i) {
                std::uint8_t ignored = 0;
                ar >> ignored;
            }
        }
    }
    *this = read;
}

// ---- group ---------------------------------------------------------------------------

CDataGroupAttrib::CDataGroupAttrib(const CString& xName, int xKind, const CString& yName, int yKind, float yMin,
                                   float yMax)
    : m_strXName(xName), m_nXKind(xKind), m_strYName(yName), m_nYKind(yKind), m_dYMin(yMin), m_dYMax(yMax)
{
}

void CDataGroupAttrib::AddItemAttrib(const CDataItemAttrib& item)
{
    m_Items.push_back(CopyOf(item));
}

void CDataGroupAttrib::AddSecondItemAttrib(const CDataItemAttrib& item)
{
    m_SecondItems.push_back(CopyOf(item));
}

CDataItemAttrib& CDataGroupAttrib::GetItem(int index) const
{
    if (index < 0 || index >= GetItemCount())
        AfxThrowInvalidArgException();
    return *m_Items[static_cast<size_t>(index)];
}

void CDataGroupAttrib::SetShown(const CWordArray* indices)
{
    if (indices != nullptr)
        for (const WORD index : *indices)
            if (index >= m_Items.size())
                AfxThrowInvalidArgException();
    for (const auto& item : m_Items)
        item->m_bShown = 0;
    if (indices != nullptr)
        for (const WORD index : *indices)
            m_Items[index]->m_bShown = 1;
}

void CDataGroupAttrib::ClearItems()
{
    m_strXName.Empty();
    m_strYName.Empty();
    m_strSecondName.Empty();
    m_Items.clear();
}

void CDataGroupAttrib::ClearSecondItems()
{
    m_strSecondLabel.Empty();
    m_SecondItems.clear();
}

void CDataGroupAttrib::CopyNamedFields(const CDataGroupAttrib& other)
{
    m_strXName = other.m_strXName;
    m_strYName = other.m_strYName;
    m_strSecondName = other.m_strSecondName;
    m_strSecondLabel = other.m_strSecondLabel;
    m_nSecondFlag = other.m_nSecondFlag;
    m_nXKind = other.m_nXKind;
    m_nYKind = other.m_nYKind;
    m_dYMin = other.m_dYMin;
    m_dYMax = other.m_dYMax;
}

void CDataGroupAttrib::AssignNormalized(const CDataGroupAttrib& other)
{
    if (&other == this)
        return;
    ClearItems();
    ClearSecondItems();
    CopyNamedFields(other);
    m_nXKind = NormalKind(other.m_nXKind);
    m_nYKind = NormalKind(other.m_nYKind);
    for (const auto& item : other.m_Items)
        AddItemAttrib(*item);
    for (const auto& item : other.m_SecondItems)
        AddSecondItemAttrib(*item);
}

void CDataGroupAttrib::Assign(const CDataGroupAttrib& other)
{
    if (&other == this)
        return;
    ClearItems();
    CopyNamedFields(other);
    m_nSecondKind = other.m_nSecondKind;
    m_dSecondMin = other.m_dSecondMin;
    m_dSecondMax = other.m_dSecondMax;
    for (const auto& item : other.m_Items)
        AddItemAttrib(*item);
}

void CDataGroupAttrib::StoreItems(CArchive& ar) const
{
    ar.WriteCount(m_Items.size());
    for (const auto& item : m_Items)
        ar.WriteObject(item.get());
}

void CDataGroupAttrib::LoadItems(CArchive& ar)
{
    const DWORD_PTR count = ar.ReadCount();
    // Every item takes at least a few bytes: a count beyond the file is damage.
    if (count > ar.BytesLeft())
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    ItemList items;
    for (DWORD_PTR i = 0; i < count; ++i) {
        std::unique_ptr<CObject> object(ar.ReadObject(RUNTIME_CLASS(CDataItemAttrib)));
        auto* item = dynamic_cast<CDataItemAttrib*>(object.get());
        if (object && item == nullptr)
            AfxThrowArchiveException(CArchiveException::badClass, ar.m_strFileName);
        if (item != nullptr) {
            object.release();
            items.emplace_back(item);
        }
    }
    m_Items = std::move(items);
}

void CDataGroupAttrib::LoadOldAxes(CArchive& ar)
{
    ar >> m_strXName;
    m_nXKind = TimeKind(ReadInt(ar));
    ar >> m_strYName;
    m_nYKind = ReadInt(ar);
}

void CDataGroupAttrib::LoadOldRangeAndItems(CArchive& ar, bool countFirstThenArray)
{
    m_dYMin = ReadFloat(ar);
    m_dYMax = ReadFloat(ar);
    const WORD count = ReadWord(ar);
    if (countFirstThenArray && count == 0) {
        LoadItems(ar);
        return;
    }
    ItemList items;
    if (countFirstThenArray) {
        // One whole item record; each further item is that item under a
        // name and colour of its own, each pair after a word.
        auto first = std::make_unique<CDataItemAttrib>();
        first->Serialize(ar);
        items.push_back(std::move(first));
        for (WORD i = 1; i < count; ++i) {
            auto item = std::make_unique<CDataItemAttrib>(*items.front());
            ReadWord(ar);
            ar >> item->m_strName;
            item->m_Color = static_cast<COLORREF>(ReadInt(ar));
            items.push_back(std::move(item));
        }
    } else {
        for (WORD i = 0; i < count; ++i) {
            auto item = std::make_unique<CDataItemAttrib>();
            item->Serialize(ar);
            items.push_back(std::move(item));
        }
    }
    m_Items = std::move(items);
}

void CDataGroupAttrib::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CDataGroupAttrib));
        ar << m_strXName << std::int32_t{m_nXKind} << m_strYName << std::int32_t{m_nYKind} << m_dYMin << m_dYMax
           << m_strSecondName << std::int32_t{m_nSecondKind} << m_dSecondMin << m_dSecondMax << m_strSecondLabel
           << std::int32_t{m_nSecondFlag};
        StoreItems(ar);
        return;
    }
    // Read into a fresh group (what a layout does not hold keeps its
    // default): a damaged record leaves this one as it was.
    CDataGroupAttrib read;
    const UINT schema = ReadSchemaOrRewind(ar, RUNTIME_CLASS(CDataGroupAttrib));
    switch (schema) {
    case 5:
    case 4: {
        // Schema 4 held the ranges as floats.
        const auto range = [&ar, schema](double& low, double& high) {
            if (schema == 5) {
                ar >> low >> high;
            } else {
                low = ReadFloat(ar);
                high = ReadFloat(ar);
            }
        };
        ar >> read.m_strXName;
        read.m_nXKind = ReadInt(ar);
        ar >> read.m_strYName;
        read.m_nYKind = ReadInt(ar);
        range(read.m_dYMin, read.m_dYMax);
        ar >> read.m_strSecondName;
        read.m_nSecondKind = ReadInt(ar);
        range(read.m_dSecondMin, read.m_dSecondMax);
        ar >> read.m_strSecondLabel;
        read.m_nSecondFlag = ReadInt(ar);
        read.LoadItems(ar);
        break;
    }
    case 3:
        read.LoadOldAxes(ar);
        ReadWord(ar);
        read.LoadOldRangeAndItems(ar, true);
        break;
    case 2:
        read.LoadOldAxes(ar);
        if (read.m_nYKind == 512)
            read.m_nYKind = 0;
        read.LoadOldRangeAndItems(ar, false);
        break;
    case kNoSchema:
        read.m_strXName = "Time";
        read.m_nXKind = 2;
        ar >> read.m_strYName;
        read.m_nYKind = 0;
        read.LoadOldRangeAndItems(ar, true);
        break;
    default:
        read.LoadItems(ar);
        break;
    }
    Assign(read);
}
