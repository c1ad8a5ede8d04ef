#include "cameraplugins/eos/ui/ostrelresources.h"

#include "platform/core/library.h"
#include "platform/ui/dialogtemplate.h"

namespace kestrun::ostrel {

HINSTANCE OstrelModule()
{
    static const HINSTANCE module = ModuleOfAddress(reinterpret_cast<const void*>(&OstrelModule));
    return module;
}

void RegisterOstrelResources()
{
}

COstrelResourceScope::COstrelResourceScope() : CPlugInResourceScope((RegisterOstrelResources(), OstrelModule()))
{
}

} // namespace kestrun::ostrel
