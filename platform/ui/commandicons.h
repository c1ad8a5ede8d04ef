#pragma once
// Icons of commands for tool bars: an icon of the free icon theme for the
// commands that have a standard one, else a small picture drawn in code
// with a short label. Never the original program's bitmaps.

#include "platform/core/types.h"

class QIcon;

namespace kestrun {

// name: an icon name of the freedesktop naming scheme ("document-open");
// label: up to three characters drawn when the theme has no such icon.
void RegisterCommandIcon(UINT id, const char* themeName, const char* label);
QIcon CommandIcon(UINT id);

} // namespace kestrun
