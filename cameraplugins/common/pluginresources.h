#pragma once
// A plug-in's exports run with the plug-in's own resource module switched
// in, so its dialog templates are found under it and not under a template
// of the same number elsewhere in the process. Errors never leave an
// export: they are reported through the plug-in's report.

#include "cameraplugins/common/pluginreport.h"

#include "platform/core/types.h"

#include <exception>

namespace kestrun::camplugin {

// Makes module the resource handle for the scope's lifetime.
class CPlugInResourceScope
{
public:
    explicit CPlugInResourceScope(HINSTANCE module);
    ~CPlugInResourceScope();
    CPlugInResourceScope(const CPlugInResourceScope&) = delete;
    CPlugInResourceScope& operator=(const CPlugInResourceScope&) = delete;

private:
    HINSTANCE m_hPrevious;
};

// Runs body with Scope in force; an exception becomes a report and the
// fallback result.
template <class Scope, class Result, class Body>
Result GuardExport(CPlugInReport& report, Result fallback, Body body)
{
    try {
        const Scope resources;
        return body();
    } catch (const std::exception& e) {
        report.ReportMessage(e.what());
    } catch (...) {
        report.ReportMessage("Unexpected error in the camera plug-in");
    }
    return fallback;
}

} // namespace kestrun::camplugin
