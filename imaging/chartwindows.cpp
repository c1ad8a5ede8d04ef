#include "imaging/chartwindows.h"

#include "platform/core/installedslot.h"

namespace kestrun {

namespace {
CInstalledSlot<CChartWindows> g_chartWindows;
}

CChartWindows* ChartWindows()
{
    return g_chartWindows.Get();
}

CChartWindows* SetChartWindows(CChartWindows* windows)
{
    return g_chartWindows.Exchange(windows);
}

} // namespace kestrun
