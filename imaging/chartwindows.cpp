#include "imaging/chartwindows.h"

#include <atomic>

namespace {

std::atomic<CChartWindows*> g_chartWindows{nullptr};

} // namespace

namespace kestrun {

CChartWindows* ChartWindows()
{
    return g_chartWindows.load();
}

CChartWindows* SetChartWindows(CChartWindows* windows)
{
    return g_chartWindows.exchange(windows);
}

} // namespace kestrun
