#include "series/tabletext.h"

#include <string>

namespace kestrun {

namespace {

// A grid cell is 32 bytes with its terminating zero.
constexpr int kCellBytes = 31;

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

CString QuoteTableField(const CString& text, char separator)
{
    const std::string_view view = text.view();
    if (view.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos)
        return text;
    std::string quoted = "\"";
    for (char c : view) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return CString(std::move(quoted));
}

CString CutCellText(const CString& text)
{
    if (text.GetLength() <= kCellBytes)
        return text;
    int length = kCellBytes;
    // Back to the first byte of the character that would be cut.
    while (length > 0 && IsContinuationByte(text.GetAt(length)))
        --length;
    return text.Left(length);
}

} // namespace kestrun
