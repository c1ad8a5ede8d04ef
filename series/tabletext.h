#pragma once
// Texts of table cells and exported fields.

#include "platform/core/cstring.h"

namespace kestrun {

// A field of an exported table: in double quotes, with its quotes
// doubled, when it holds the separator, a quote or a line break (so that
// "3,14" stays one column of a CSV file); otherwise as it is.
CString QuoteTableField(const CString& text, char separator);

// The text as a grid cell holds it: at most 31 bytes, never ending inside
// a UTF-8 character.
CString CutCellText(const CString& text);

} // namespace kestrun
