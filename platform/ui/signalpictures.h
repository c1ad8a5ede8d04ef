#pragma once
// The pictures that buttons load by name: "SIGNAL_IO" (a green lamp: the
// check passed), "SIGNAL_NIO" (a red lamp with a cross: it failed), "GO"
// (a green sign) and "STOP" (a red octagon). Drawn here, so that they look
// the same wherever they are used.

#include <QImage>

namespace kestrun {

// A null image for a name that is no picture.
QImage NamedPicture(const char* name);

} // namespace kestrun
