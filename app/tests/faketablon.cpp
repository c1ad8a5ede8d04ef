// A scanning-box library for the tests: it records every call in order and
// knows the box profiles the test gives it. Loaded by name like the real
// one.

#include "trayscanner/camboxinterface.h"

#include <set>
#include <string>

namespace {

std::string g_log;
std::set<std::string> g_profiles;
std::string g_current;

void Log(const std::string& entry)
{
    g_log += entry;
    g_log += ';';
}

} // namespace

extern "C" {

void SetInterface(CCamBoxInterface* pInterface)
{
    Log(std::string("SetInterface:") + (pInterface == nullptr ? "null" : pInterface->m_pWnd ? "window" : "object"));
}

int SetParam(const char* lpszName, double dValue)
{
    Log(std::string("SetParam:") + lpszName + "=" + std::to_string(static_cast<int>(dValue)));
    return 0;
}

double GetParam(const char*)
{
    return 0.0;
}

void SetupDlg()
{
    Log("SetupDlg");
}

int SetParamString(const char* lpszName, const char* lpszValue)
{
    const std::string name(lpszName);
    Log("SetParamString:" + name + "=" + lpszValue);
    if (name != "Profile" || g_profiles.count(lpszValue) == 0)
        return 0;
    g_current = lpszValue;
    return 1;
}

const char* GetParamString(const char* lpszName)
{
    Log(std::string("GetParamString:") + lpszName);
    return g_current.c_str();
}

// ---- for the tests ----

const char* FakeTablonLog()
{
    return g_log.c_str();
}

// Forgets the calls; the box knows the profiles given (';'-separated) and
// starts with the first.
void FakeTablonReset(const char* lpszProfiles)
{
    g_log.clear();
    g_profiles.clear();
    g_current.clear();
    std::string list(lpszProfiles ? lpszProfiles : "");
    size_t start = 0;
    while (start < list.size()) {
        const size_t end = list.find(';', start);
        const std::string name = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!name.empty()) {
            g_profiles.insert(name);
            if (g_current.empty())
                g_current = name;
        }
        start = end == std::string::npos ? list.size() : end + 1;
    }
}

} // extern "C"
