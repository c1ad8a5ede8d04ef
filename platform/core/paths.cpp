#include "platform/core/paths.h"

namespace kestrun {

CString NativePath(const char* path)
{
    CString native(path);
    native.Replace('\\', '/');
    return native;
}

} // namespace kestrun
