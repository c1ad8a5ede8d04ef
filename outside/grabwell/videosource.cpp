#include "outside/grabwell/videosource.h"

namespace kestrun {

CVideoSource::~CVideoSource() = default;

bool CVideoSource::Fail(const CString& reason)
{
    m_lastError = reason;
    return false;
}

} // namespace kestrun
