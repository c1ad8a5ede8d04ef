#pragma once
// The message output of the tool library: texts for the developer with the
// source place that wrote them; standard error unless a sink is set.

#include "platform/core/cstring.h"

#include <functional>

namespace kestrun {

using CMessageOutputSink = std::function<void(const CString& text)>;

void MessageOutput(const CString& text, const char* file, int line) noexcept;
// Returns the previous sink; an empty sink restores standard error.
CMessageOutputSink SetMessageOutputSink(CMessageOutputSink sink);

// The OLE error report: shows the failed call's code to the user.
void ReportOleError(HRESULT hr) noexcept;

} // namespace kestrun
