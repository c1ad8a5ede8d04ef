#include "scripthost/scripttext.h"

#include "platform/core/encoding.h"
#include "platform/core/file.h"

#include <cstdint>
#include <vector>

namespace kestrun {

namespace {

bool IsValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        size_t extra = 0;
        std::uint32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= bytes.size())
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        // No overlong forms, no surrogates, nothing past U+10FFFF.
        static constexpr std::uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (code < kMin[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

} // namespace

CString DecodeScriptBytes(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return CString(std::string(bytes));
    return CString(Cp1252ToUtf8(bytes));
}

void SerializeScriptText(CArchive& ar, CString& text)
{
    if (ar.IsStoring()) {
        ar << static_cast<std::uint32_t>(text.GetLength());
        ar.Write(text.GetString(), static_cast<UINT>(text.GetLength()));
        return;
    }
    std::uint32_t length = 0;
    ar >> length;
    if (length > static_cast<std::uint32_t>(kMaxScriptTextSize))
        AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
    std::string bytes(length, '\0');
    ar.EnsureRead(bytes.data(), length);
    text = CString(bytes);
}

EScriptFileRead ReadScriptFile(const CString& path, int maxBytes, CString& text)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::typeBinary))
        return EScriptFileRead::NotOpened;
    std::string bytes;
    try {
        char buffer[4096];
        while (true) {
            const UINT got = file.Read(buffer, sizeof(buffer));
            if (got == 0)
                break;
            if (bytes.size() + got > static_cast<size_t>(maxBytes))
                return EScriptFileRead::TooLarge;
            bytes.append(buffer, got);
        }
    } catch (const CFileException&) {
        // A folder or a device that cannot be read as a file.
        return EScriptFileRead::NotOpened;
    }
    text = DecodeScriptBytes(bytes);
    return EScriptFileRead::Ok;
}

} // namespace kestrun
