#pragma once
// The report files a fresh data root starts with, so that Print Report
// works on a new installation: the HTML template "data/vovod.html" and the
// workbook report script "script/report.txt". A file that is there already
// is the lab's own and is never replaced.

#include "platform/core/cstring.h"

namespace kestrun {

// Writes each missing file below dataRoot; false when one could not be
// written (the others are still written).
bool InstallReportDefaults(const CString& dataRoot);

const char* DefaultReportTemplate();
const char* DefaultReportScript();

} // namespace kestrun
