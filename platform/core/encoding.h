#pragma once
// Conversions between the UTF-8 text of the program and the Windows-1252
// bytes of stored binary files.

#include <string>
#include <string_view>

namespace kestrun {

// A character that Windows-1252 cannot hold becomes '?'; bytes that are not
// valid UTF-8 are taken as Windows-1252 bytes, so nothing is dropped.
std::string Utf8ToCp1252(std::string_view utf8);
// Every byte has a meaning; the five unassigned ones map to U+FFFD.
std::string Cp1252ToUtf8(std::string_view cp1252);
// UTF-16 (little-endian code units) to UTF-8; lone surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

bool IsAscii(std::string_view text);

} // namespace kestrun
