#include "platform/core/resources.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace {

struct StringTable
{
    std::mutex mutex;
    std::map<UINT, std::unique_ptr<std::string>> texts;
};

StringTable& table()
{
    static StringTable instance;
    return instance;
}

} // namespace

void AfxRegisterString(UINT id, const char* text)
{
    StringTable& t = table();
    std::lock_guard lock(t.mutex);
    t.texts[id] = std::make_unique<std::string>(text ? text : "");
}

void AfxRegisterStrings(std::initializer_list<std::pair<UINT, const char*>> entries)
{
    for (const auto& [id, text] : entries)
        AfxRegisterString(id, text);
}

const char* AfxLoadString(UINT id)
{
    StringTable& t = table();
    std::lock_guard lock(t.mutex);
    const auto it = t.texts.find(id);
    return it == t.texts.end() ? nullptr : it->second->c_str();
}

namespace kestrun {

CCommandText CommandText(UINT id)
{
    const char* text = AfxLoadString(id);
    if (text == nullptr)
        return {};
    const CString all(text);
    const int nl = all.Find('\n');
    if (nl < 0)
        return {all, all};
    return {all.Left(nl), all.Mid(nl + 1)};
}

} // namespace kestrun
