#include "analysis/classes.h"

#include "analysis/profilefile.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/atomicfile.h"
#include "platform/core/file.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

IMPLEMENT_SERIAL(CClasses, CObject, VERSIONABLE_SCHEMA | 4)

namespace {

// The smallest stored class: a class tag of a record that an old schema
// ends at once.
constexpr ULONGLONG kStoredClassBytes = 2;
constexpr const char* kXmlRoot = "CClasses";

// The colour word of a value, truncated to an integer.
COLORREF ColourOf(double value)
{
    const double whole = std::trunc(value);
    if (!(std::fabs(whole) < 9.0e18))
        return 0;
    return static_cast<COLORREF>(static_cast<long long>(whole));
}

} // namespace

void CClasses::Serialize(CArchive& ar)
{
    if (dynamic_cast<CXMLArchive*>(&ar) != nullptr) {
        CBaseClasses<CVectorNormal>::Serialize(ar);
        return;
    }
    if (ar.IsLoading()) {
        ReadBinary(ar);
        return;
    }
    ar.WriteClass(RUNTIME_CLASS(CClasses));
    ar << static_cast<std::uint32_t>(GetSize());
    for (CVectorNormal& element : *this)
        SerializeElement(ar, element);
}

void CClasses::ReadBinary(CArchive& ar)
{
    UINT schema = 0;
    ar.ReadClass(RUNTIME_CLASS(CClasses), &schema);
    CArray<CVectorNormal, CVectorNormal&> read;
    if (schema >= 4) {
        std::uint32_t count = 0;
        ar >> count;
        if (count > ar.BytesLeft() / kStoredClassBytes)
            AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
        for (std::uint32_t i = 0; i < count; ++i) {
            CVectorNormal element;
            SerializeElement(ar, element);
            read.Add(element);
        }
    }
    RemoveAll();
    Append(read);
}

void CClasses::SerializeElement(CArchive& ar, CVectorNormal& element)
{
    element.SerializeBinary(ar);
}

bool CClasses::AddClass(const CString& name)
{
    int largest = 0;
    for (const CVectorNormal& element : *this) {
        if (element.m_strName == name)
            return false;
        largest = std::max(largest, element.m_nClass);
    }
    CVectorNormal added(std::max(GetCount() + 1, largest + 1), name);
    Add(added);
    return true;
}

void CClasses::SaveFile(const CString& path, int format)
{
    if (format == formatXML) {
        CXMLArchive xml(path, CArchive::store);
        xml.GetChildNode(kXmlRoot);
        CBaseClasses<CVectorNormal>::Serialize(xml);
        xml.GetCurrentNode()->EndNode();
        xml.Close();
        return;
    }
    if (format != formatBinary)
        AfxThrowInvalidArgException();
    CMemFile memory;
    CArchive ar(&memory, CArchive::store);
    ar.m_strFileName = path;
    Serialize(ar);
    ar.Close();
    kestrun::CAtomicFileWriter writer(path);
    writer.Write(memory.Data().data(), memory.Data().size());
    writer.Commit();
}

bool CClasses::LoadFile(const CString& path)
{
    CFile file;
    if (!kestrun::OpenProfileFile(file, path)) {
        RemoveAll();
        return true;
    }
    // Every class file holds at least its class record: an empty one was
    // cut short, and saving over it would lose the classes for good.
    if (file.GetLength() == 0)
        AfxThrowArchiveException(CArchiveException::endOfFile, path);
    BYTE first = 0;
    file.Read(&first, 1);
    if (first == '<' || first == 0xEF) {
        file.Close();
        CXMLArchive xml(path, CArchive::load);
        CArrayObjectsXML<CVectorNormal> read;
        if (xml.GetChildNode(kXmlRoot) == nullptr)
            AfxThrowArchiveException(CArchiveException::badIndex, path);
        read.Serialize(xml);
        xml.GetCurrentNode()->EndNode();
        RemoveAll();
        Append(read);
        return true;
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    ar.m_strFileName = path;
    ReadBinary(ar);
    return true;
}

int CClasses::ClassifyValue(double value, int type) const
{
    static constexpr struct
    {
        int type;
        int shift;
    } kChannels[] = {{32, 0}, {64, 8}, {128, 16}};

    double best = DBL_MAX;
    int result = 0;
    for (const CVectorNormal& element : *this) {
        double distance = 0.0;
        if (type == colorFeatureType) {
            const COLORREF colour = ColourOf(value);
            double sum = 0.0;
            int found = 0;
            for (const auto& channel : kChannels) {
                const int index = element.FindFeature(channel.type);
                if (index < 0)
                    continue;
                sum += element.GetFeatureDistance(static_cast<double>((colour >> channel.shift) & 0xFF), index);
                ++found;
            }
            if (found == 0)
                continue;
            distance = sum / found;
        } else {
            const int index = element.FindFeature(type);
            if (index < 0)
                continue;
            distance = element.GetFeatureDistance(value, index);
        }
        if (distance == -1.0)
            continue;
        if (distance <= best) {
            best = distance;
            result = element.m_nClass;
        }
    }
    return best >= 1.0 ? 0 : result;
}
