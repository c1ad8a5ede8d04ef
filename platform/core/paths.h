#pragma once
// Paths as the program writes them ("script\export.txt") made native.

#include "platform/core/cstring.h"

namespace kestrun {

// The path with every '\' turned into '/'; null gives an empty path.
CString NativePath(const char* path);

} // namespace kestrun
