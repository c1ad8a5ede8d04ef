#pragma once
// The zip package of an Office Open XML workbook, held in memory: its parts
// by name, in their stored order. Parts are untrusted input: the package is
// read with limits on its size, its number of parts and each part's size,
// and part names are only keys, never paths on the disk.

#include "platform/core/cstring.h"
#include "platform/core/exceptions.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrun {

// A workbook that cannot be read, written or edited; the text names the
// file and says what is wrong.
class CWorkbookException : public CException
{
public:
    explicit CWorkbookException(const CString& text) : m_strText(text) {}
    CString GetErrorMessage() const override { return m_strText; }

private:
    CString m_strText;
};

class CXlsxPackage
{
public:
    static constexpr std::size_t kMaxFileSize = 128u << 20;
    static constexpr std::size_t kMaxParts = 4096;
    static constexpr std::size_t kMaxPartSize = 64u << 20;
    static constexpr std::size_t kMaxTotalSize = 256u << 20;

    // Throws CWorkbookException naming source when the bytes are no zip
    // package or exceed the limits; the package is then left empty.
    void Load(const void* data, std::size_t size, const CString& source);
    void LoadFile(const CString& path);
    // The package as zip bytes.
    std::string Save() const;
    // Written through a temporary file and a rename.
    void SaveFile(const CString& path) const;

    // Null when there is no such part.
    const std::string* Find(std::string_view name) const;
    // Replaces the part, or appends it.
    void Set(std::string_view name, std::string data);
    void Remove(std::string_view name);
    std::size_t GetCount() const { return m_parts.size(); }

private:
    struct CPart
    {
        std::string m_name;
        std::string m_data;
    };
    std::vector<CPart> m_parts;
};

} // namespace kestrun
