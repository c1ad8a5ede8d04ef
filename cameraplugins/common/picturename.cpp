#include "cameraplugins/common/picturename.h"

#include <chrono>

CLocalTime LocalNow()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    CLocalTime time;
    localtime_r(&seconds, &time.tm);
    time.nMilliseconds = static_cast<unsigned>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    return time;
}

namespace kestrun::camplugin {

CString TimeStampedPictureName(const CString& strFolder, const CLocalTime& time)
{
    char stamp[64] = {};
    std::strftime(stamp, sizeof stamp, "%Y%m%d_%H-%M-%S-", &time.tm);
    CString name;
    name.Format("%s%s%u%s", strFolder.GetString(), stamp, time.nMilliseconds, ".jpg");
    return name;
}

} // namespace kestrun::camplugin
