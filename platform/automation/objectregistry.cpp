#include "platform/automation/objectregistry.h"

#include <map>
#include <mutex>

namespace kestrun {

namespace {

struct CRegistry
{
    std::mutex m_mutex;
    std::map<CString, CObjectFactory> m_factories; // by upper-case id
};

CRegistry& Registry()
{
    static CRegistry registry;
    return registry;
}

CString Key(const CString& progId)
{
    CString key(progId);
    key.MakeUpper();
    return key;
}

} // namespace

void RegisterObjectFactory(const CString& progId, CObjectFactory factory)
{
    if (progId.IsEmpty() || !factory)
        AfxThrowInvalidArgException();
    CRegistry& registry = Registry();
    const std::lock_guard lock(registry.m_mutex);
    registry.m_factories[Key(progId)] = std::move(factory);
}

void UnregisterObjectFactory(const CString& progId)
{
    CRegistry& registry = Registry();
    const std::lock_guard lock(registry.m_mutex);
    registry.m_factories.erase(Key(progId));
}

std::shared_ptr<CDispatchable> CreateDispatchObject(const CString& progId)
{
    CObjectFactory factory;
    {
        CRegistry& registry = Registry();
        const std::lock_guard lock(registry.m_mutex);
        const auto it = registry.m_factories.find(Key(progId));
        if (it == registry.m_factories.end())
            return nullptr;
        factory = it->second;
    }
    // Called without the lock: a factory may create further objects.
    return factory();
}

} // namespace kestrun
