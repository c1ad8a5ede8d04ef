#pragma once
// The text forms of script code: the editor's archive form (a 32-bit
// length, then the bytes) and script files read whole. Files are UTF-8
// when they are valid UTF-8, else Windows-1252; in memory text is UTF-8.

#include "platform/core/archive.h"
#include "platform/core/cstring.h"

namespace kestrun {

// The largest text the editor holds, in bytes.
inline constexpr int kMaxScriptTextSize = 32767;

// Stores or loads the text; loading rejects a length above
// kMaxScriptTextSize (archive exception badIndex) and a cut text
// (endOfFile), leaving text unchanged.
void SerializeScriptText(CArchive& ar, CString& text);

enum class EScriptFileRead
{
    Ok,
    NotOpened,
    TooLarge,
};

// Reads the whole file at path (as given) into text; on failure text stays.
EScriptFileRead ReadScriptFile(const CString& path, int maxBytes, CString& text);
// The bytes of a file as text: UTF-8 kept when valid, else Windows-1252.
CString DecodeScriptBytes(std::string_view bytes);

} // namespace kestrun
