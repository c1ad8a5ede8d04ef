#include "platform/core/object.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

struct ClassRegistry
{
    std::mutex mutex;
    std::vector<const CRuntimeClass*> classes;
};

// Lives in this shared library, so every module of the process sees one.
ClassRegistry& registry()
{
    static ClassRegistry instance;
    return instance;
}

} // namespace

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), CRuntimeClass::noSchema, nullptr, nullptr};

static const CClassRegistration kestrun_registration_CObject(&CObject::classCObject);

CClassRegistration::CClassRegistration(const CRuntimeClass* cls) : m_class(cls)
{
    ClassRegistry& r = registry();
    std::lock_guard lock(r.mutex);
    r.classes.push_back(cls);
}

CClassRegistration::~CClassRegistration()
{
    ClassRegistry& r = registry();
    std::lock_guard lock(r.mutex);
    std::erase(r.classes, m_class);
}

CObject* CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* cls = this; cls != nullptr; cls = cls->m_pBaseClass) {
        if (cls == base)
            return true;
    }
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* className)
{
    if (className == nullptr)
        return nullptr;
    ClassRegistry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = std::find_if(r.classes.begin(), r.classes.end(),
                                 [className](const CRuntimeClass* cls) { return std::strcmp(cls->m_lpszClassName, className) == 0; });
    return it == r.classes.end() ? nullptr : *it;
}

CObject* CRuntimeClass::CreateObject(const char* className)
{
    const CRuntimeClass* cls = FromName(className);
    return cls ? cls->CreateObject() : nullptr;
}

std::vector<const CRuntimeClass*> CRuntimeClass::RegisteredClasses()
{
    ClassRegistry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.classes;
}

const CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

void CObject::Serialize(CArchive&)
{
}

bool CObject::IsKindOf(const CRuntimeClass* cls) const
{
    return GetRuntimeClass()->IsDerivedFrom(cls);
}

bool CObject::IsSerializable() const
{
    return GetRuntimeClass()->IsStorable();
}
