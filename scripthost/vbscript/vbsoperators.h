#pragma once
// VBScript's operators and conversions on variants: the kinds of the
// results follow VBScript (Integer arithmetic widens to Long, then Double;
// Null passes through), errors are CVbsFault with VBScript's numbers.

#include "scripthost/vbscript/vbsfault.h"

#include "platform/core/variant.h"

#include <string>

namespace kestrun::vbs {

COleVariant MakeBool(bool value);

bool IsNumericKind(VARTYPE vt);
// The value as a double; Empty is 0, text must read as a number.
double ToDouble(const COleVariant& value);
// Rounded half to even; Overflow beyond a LONG.
LONG ToLong(const COleVariant& value);
// The truth of a condition; Null is false.
bool ToBool(const COleVariant& value);
CString ToText(const COleVariant& value);
// ChangeType with VBScript's errors (Type mismatch, Overflow).
COleVariant Convert(const COleVariant& value, VARTYPE vt);

COleVariant BinaryOp(const std::string& op, const COleVariant& a, const COleVariant& b);
COleVariant UnaryOp(const std::string& op, const COleVariant& a);
// -1, 0 or 1 as VBScript orders the two values (neither Null).
int Compare(const COleVariant& a, const COleVariant& b, bool textCompare = false);

} // namespace kestrun::vbs
