#pragma once
// Conversions between the UTF-8 text of the program and the Windows-1252
// bytes of stored binary files.

#include <string>
#include <string_view>

namespace kestrun {

// A character that Windows-1252 cannot hold becomes '?'; bytes that are not
// valid UTF-8 are taken as Windows-1252 bytes, so nothing is dropped.
std::string Utf8ToCp1252(std::string_view utf8);
// True when the text is valid UTF-8 and every character has a Windows-1252
// byte, so Utf8ToCp1252 changes nothing.
bool FitsCp1252(std::string_view utf8);
// Every byte has a meaning; the five unassigned ones stand for the control
// characters of the same number.
std::string Cp1252ToUtf8(std::string_view cp1252);
// UTF-16 (little-endian code units) to UTF-8; lone surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

bool IsAscii(std::string_view text);

} // namespace kestrun
