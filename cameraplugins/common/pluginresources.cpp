#include "cameraplugins/common/pluginresources.h"

#include "platform/ui/winapp.h"

namespace kestrun::camplugin {

CPlugInResourceScope::CPlugInResourceScope(HINSTANCE module) : m_hPrevious(AfxGetResourceHandle())
{
    AfxSetResourceHandle(module);
}

CPlugInResourceScope::~CPlugInResourceScope()
{
    AfxSetResourceHandle(m_hPrevious);
}

} // namespace kestrun::camplugin
