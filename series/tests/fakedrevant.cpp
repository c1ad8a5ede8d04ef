// A device-event library for the tests: it keeps every event name it is
// given, one per line.

#include <string>

namespace {

std::string g_events;

} // namespace

extern "C" {

int ProcessEvent(const char* name)
{
    g_events += name != nullptr ? name : "<null>";
    g_events += '\n';
    return 1;
}

const char* DrevantEvents()
{
    return g_events.c_str();
}

void DrevantReset()
{
    g_events.clear();
}

} // extern "C"
