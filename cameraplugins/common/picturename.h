#pragma once
// Names of downloaded pictures: time-stamped, so that no picture is
// written over by the next one.

#include "platform/core/cstring.h"

#include <ctime>
#include <functional>

// Local time with its milliseconds, for picture file names.
struct CLocalTime
{
    std::tm tm{};
    unsigned nMilliseconds = 0;
};
using CLocalClock = std::function<CLocalTime()>;
CLocalTime LocalNow();

namespace kestrun::camplugin {

// folder + "%Y%m%d_%H-%M-%S-" + milliseconds without padding + ".jpg".
CString TimeStampedPictureName(const CString& strFolder, const CLocalTime& time);

} // namespace kestrun::camplugin
