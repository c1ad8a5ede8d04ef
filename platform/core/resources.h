#pragma once
// The string table: texts looked up by numeric id (CString::LoadString,
// AfxMessageBox(id)). Each subsystem registers its own texts at start-up.

#include "platform/core/types.h"

#include <initializer_list>
#include <utility>

// Registers or replaces the text of an id.
void AfxRegisterString(UINT id, const char* text);
void AfxRegisterStrings(std::initializer_list<std::pair<UINT, const char*>> entries);
// The text of an id, or null when none is registered. The pointer stays
// valid until the id is registered again.
const char* AfxLoadString(UINT id);

#include "platform/core/cstring.h"

namespace kestrun {

// A command's string "prompt\ntip": the prompt for the status bar, the tip
// for the tool tip. A string without a line break is both.
struct CCommandText
{
    CString prompt;
    CString tip;
};
CCommandText CommandText(UINT id);

} // namespace kestrun
