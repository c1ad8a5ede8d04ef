#pragma once
// The program's own icon, which every window of the program shows.

#include <QIcon>

namespace kestrun {

// The drawn icon when Qt can read it, else the pictures rendered from it.
QIcon ProgramIcon();
// Gives the application its icon; nothing without a Qt application.
void SetProgramIcon();

} // namespace kestrun
