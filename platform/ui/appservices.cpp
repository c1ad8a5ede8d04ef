#include "platform/ui/appservices.h"

#include <atomic>

namespace kestrun {

namespace {
std::atomic<CAppServices*> g_services{nullptr};
}

CAppServices* AppServices()
{
    return g_services.load();
}

CAppServices* SetAppServices(CAppServices* services)
{
    return g_services.exchange(services);
}

} // namespace kestrun
