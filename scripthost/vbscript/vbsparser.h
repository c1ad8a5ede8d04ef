#pragma once
// Parses a VBScript unit. A syntax error is a CVbsFault with its line and
// column; nesting is bounded (kMaxNesting blocks or parentheses, and
// expression trees kMaxExprDepth high), so that no text can exhaust the
// stack of the parser or of the interpreter.

#include "scripthost/vbscript/vbsast.h"

#include <string_view>

namespace kestrun::vbs {

inline constexpr int kMaxNesting = 100;
inline constexpr int kMaxExprDepth = 500;

std::unique_ptr<CUnit> ParseUnit(std::string_view source, int startingLine);
// One expression and nothing after it (the text of Eval).
ExprPtr ParseExpression(std::string_view source);

// The unit's source line that holds line; empty when it has none.
std::string SourceLine(const CUnit& unit, int line);
std::string SourceLine(std::string_view source, int startingLine, int line);

} // namespace kestrun::vbs
