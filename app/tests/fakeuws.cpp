// A lid-scanner library for the tests: it logs every call in order, and the
// test sets the lid positions it reports. Loaded by name like the real one.

#include <array>
#include <string>

namespace {

std::string g_log;
std::array<int, 4> g_positions{};

void Log(const std::string& entry)
{
    g_log += entry;
    g_log += ';';
}

} // namespace

extern "C" {

int UwScannerSet(int a, int b, int c)
{
    Log("Set:" + std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c));
    return 1;
}

int CheckDeckelAuf(int)
{
    return 0;
}

int CheckDeckelZu(int)
{
    return 0;
}

int GetDeckelPos(int n)
{
    return n >= 1 && n <= 3 ? g_positions[static_cast<std::size_t>(n)] : -1;
}

int VideoSelect(int n)
{
    Log("Video:" + std::to_string(n));
    return 1;
}

// For the test: the calls so far (then forgotten), and a lid's position.
const char* FakeUwsTakeLog()
{
    static std::string taken;
    taken.swap(g_log);
    g_log.clear();
    return taken.c_str();
}

void FakeUwsSetPosition(int n, int position)
{
    if (n >= 1 && n <= 3)
        g_positions[static_cast<std::size_t>(n)] = position;
}

} // extern "C"
