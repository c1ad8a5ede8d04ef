// Our lid-scanner library: three lids, each driven by one output (on closes
// the lid, off opens it), and a video switch over three inputs. The device
// answers 0 for anything it does not know, as the scanner does on a fault.

#include <array>
#include <cstddef>

namespace {

constexpr int kLids = 3;
constexpr int kClosedPosition = 100;

std::array<bool, kLids> g_closed{};
int g_video = 0;

bool IsLid(int n)
{
    return n >= 1 && n <= kLids;
}

} // namespace

extern "C" {

// Output, state (1 on, 0 off); the third argument is reserved.
int UwScannerSet(int output, int state, int)
{
    if (!IsLid(output) || (state != 0 && state != 1))
        return 0;
    g_closed[static_cast<std::size_t>(output - 1)] = state == 1;
    return 1;
}

int CheckDeckelAuf(int n)
{
    return IsLid(n) && !g_closed[static_cast<std::size_t>(n - 1)] ? 1 : 0;
}

int CheckDeckelZu(int n)
{
    return IsLid(n) && g_closed[static_cast<std::size_t>(n - 1)] ? 1 : 0;
}

// 0 open, 100 closed; -1 for a lid the scanner does not have.
int GetDeckelPos(int n)
{
    if (!IsLid(n))
        return -1;
    return g_closed[static_cast<std::size_t>(n - 1)] ? kClosedPosition : 0;
}

#ifndef UWS_WITHOUT_VIDEO_SELECT
int VideoSelect(int n)
{
    // The switch has one input per lid.
    if (!IsLid(n))
        return 0;
    g_video = n;
    return 1;
}
#endif

// The video the switch shows (0 before any), for tests to read.
int UwsSelectedVideo()
{
    return g_video;
}

} // extern "C"
