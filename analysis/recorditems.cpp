#include "analysis/recorditems.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/exceptions.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace kestrun {
namespace {

[[noreturn]] void ThrowDamaged(const CXMLArchive& ar)
{
    AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
}

const char* SkipBlanks(const char* p)
{
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r')
        ++p;
    return p;
}

// Loading: the item's text when it is there.
bool ReadItem(CXMLArchive& ar, const char* name, CString& text)
{
    CXMLArchiveNode* node = ar.GetCurrentNode();
    return node != nullptr && node->GetElement() && node->GetChildText(name, text);
}

void WriteItem(CXMLArchive& ar, const char* name, const CString& text)
{
    if (CXMLArchiveNode* node = ar.GetCurrentNode(); node != nullptr && node->GetElement())
        node->AddChildText(name, text);
}

long long ParseWhole(const CXMLArchive& ar, const char*& p, long long low, long long high)
{
    p = SkipBlanks(p);
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(p, &end, 10);
    if (end == p || errno == ERANGE || value < low || value > high)
        ThrowDamaged(ar);
    p = end;
    return value;
}

} // namespace

void SerializeRecordInt(CXMLArchive& ar, const char* name, int& value)
{
    if (ar.IsStoring()) {
        WriteItem(ar, name, FormatString("%d", value));
        return;
    }
    CString text;
    if (!ReadItem(ar, name, text))
        return;
    const char* p = text.GetString();
    const auto parsed = static_cast<int>(ParseWhole(ar, p, INT_MIN, INT_MAX));
    if (*SkipBlanks(p) != '\0')
        ThrowDamaged(ar);
    value = parsed;
}

void SerializeRecordUInt(CXMLArchive& ar, const char* name, DWORD& value)
{
    if (ar.IsStoring()) {
        WriteItem(ar, name, FormatString("%u", static_cast<unsigned>(value)));
        return;
    }
    CString text;
    if (!ReadItem(ar, name, text))
        return;
    const char* p = text.GetString();
    const auto parsed = static_cast<DWORD>(ParseWhole(ar, p, 0, UINT32_MAX));
    if (*SkipBlanks(p) != '\0')
        ThrowDamaged(ar);
    value = parsed;
}

void SerializeRecordDouble(CXMLArchive& ar, const char* name, double& value)
{
    if (ar.IsStoring()) {
        WriteItem(ar, name, FormatString("%.17g", value));
        return;
    }
    CString text;
    if (!ReadItem(ar, name, text))
        return;
    const char* p = SkipBlanks(text.GetString());
    char* end = nullptr;
    const double parsed = std::strtod(p, &end);
    if (end == p || *SkipBlanks(end) != '\0' || !std::isfinite(parsed))
        ThrowDamaged(ar);
    value = parsed;
}

void SerializeRecordPoints(CXMLArchive& ar, const char* name, CArray<POINT, POINT>& points)
{
    if (ar.IsStoring()) {
        CString text;
        for (INT_PTR i = 0; i < points.GetSize(); ++i)
            text += FormatString(i == 0 ? "%d,%d" : " %d,%d", static_cast<int>(points[i].x),
                                 static_cast<int>(points[i].y));
        WriteItem(ar, name, text);
        return;
    }
    CString text;
    if (!ReadItem(ar, name, text))
        return;
    // Parsed in full before the list changes.
    CArray<POINT, POINT> loaded;
    for (const char* p = SkipBlanks(text.GetString()); *p != '\0'; p = SkipBlanks(p)) {
        POINT point{};
        point.x = static_cast<LONG>(ParseWhole(ar, p, INT_MIN, INT_MAX));
        if (*p != ',')
            ThrowDamaged(ar);
        ++p;
        point.y = static_cast<LONG>(ParseWhole(ar, p, INT_MIN, INT_MAX));
        loaded.Add(point);
    }
    points.Swap(loaded);
}

} // namespace kestrun
