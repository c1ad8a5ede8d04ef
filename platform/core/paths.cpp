#include "platform/core/paths.h"

#include "platform/core/exceptions.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace {

// A file that names something outside its folder.
class CUnsafeNameException : public CArchiveException
{
public:
    CUnsafeNameException(const CString& fileName, const char* name)
        : CArchiveException(badIndex, fileName), m_strName(name)
    {
    }
    CString GetErrorMessage() const override
    {
        return FormatString("%s cannot be used: \"%s\" is not a plain file name.", m_strFileName.GetString(),
                            kestrun::PrintableName(m_strName).GetString());
    }

private:
    CString m_strName;
};

} // namespace

namespace kestrun {

CString NativePath(const char* path)
{
    CString native(path);
    native.Replace('\\', '/');
    return native;
}

bool IsPlainFileName(const char* name)
{
    if (name == nullptr || *name == '\0')
        return false;
    const std::string_view text(name);
    if (text == "." || text == "..")
        return false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F)
            return false;
    }
    return true;
}

CString PrintableName(const char* name)
{
    std::string text(name ? name : "");
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    return CString(text);
}

void CheckPlainFileName(const CString& fileName, const char* name, bool allowEmpty)
{
    if (allowEmpty && (name == nullptr || *name == '\0'))
        return;
    if (!IsPlainFileName(name))
        throw CUnsafeNameException(fileName, name ? name : "");
}

bool IsRegularFile(const CString& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(NativePath(path).GetString(), error);
}

} // namespace kestrun
