#pragma once
// Splits VBScript text into tokens: names (with their lower-case key),
// numbers, strings, dates, operators and statement ends (line end or ':').
// Comments and line continuations are dropped here.

#include "scripthost/vbscript/vbsfault.h"

#include "platform/core/variant.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrun::vbs {

enum class ETok
{
    End,
    Newline, // a line end or ':'
    Name,
    Literal,
    Op,
};

struct CToken
{
    ETok m_kind = ETok::End;
    std::string m_text; // a name as written, an operator
    std::string m_key;  // a name in lower case
    COleVariant m_value;
    CPos m_pos;
    bool m_bSpaced = false; // white space before it (".m" in a With block)
};

// CVbsFault (placed) for a character or literal that is not VBScript.
std::vector<CToken> Tokenize(std::string_view source, int startingLine);

} // namespace kestrun::vbs
