#pragma once
// The handle of a host window, for posting to it from headless code. The
// window layer of the library defines it.

#include "platform/core/types.h"

class CWnd;

namespace kestrun::tablon {

// Null for a null window.
HWND WindowHandleOf(CWnd* pWnd);

} // namespace kestrun::tablon
