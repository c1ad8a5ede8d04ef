#pragma once
// VBScript's built-in functions and constants: conversions, text, dates,
// the Is functions, arrays, FormatNumber, MsgBox (through the message-box
// service) and CreateObject (through the registry of program ids).

#include "platform/core/variant.h"

#include <string>
#include <vector>

namespace kestrun::vbs {

struct CBuiltin
{
    const char* m_name;
    int m_nMin;
    int m_nMax;
    COleVariant (*m_fn)(std::vector<COleVariant>& args);
};

// Null for a name that is no built-in function (key in lower case).
const CBuiltin* FindBuiltin(const std::string& key);
// vbCrLf, vbYesNo, ...: false for a name that is no constant.
bool FindConstant(const std::string& key, COleVariant& value);

} // namespace kestrun::vbs
