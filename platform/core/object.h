#pragma once
// CObject and run-time class records: class names, schema numbers,
// creation by name and kind tests. One registry serves the whole process;
// classes of shared libraries join it when the library is loaded and leave
// it when the library is unloaded.

#include "platform/core/cstring.h"

#include <vector>

class CArchive;
class CObject;

// Schema numbers or'ed with this flag accept older schemas when loading;
// the archive tells the loaded schema through GetObjectSchema.
inline constexpr UINT VERSIONABLE_SCHEMA = 0x80000000;

struct CRuntimeClass
{
    const char* m_lpszClassName;
    int m_nObjectSize;
    static constexpr UINT noSchema = 0xFFFF;
    UINT m_wSchema; // noSchema for classes that are not serialisable
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    // A new object of this class, or null when it has no default creation.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* base) const;
    // Whether objects of this class are stored (serialisable), so that a
    // file may create them.
    bool IsStorable() const { return m_wSchema != noSchema; }

    // Registered classes by exact (case-sensitive) name.
    static const CRuntimeClass* FromName(const char* className);
    static CObject* CreateObject(const char* className);
    // Every registered class, in order of registration.
    static std::vector<const CRuntimeClass*> RegisteredClasses();

    // The class record in the binary archive layout: schema word, name
    // length word, name bytes.
    void Store(CArchive& ar) const;
    // Reads a stored class record; null when the class is unknown here.
    static const CRuntimeClass* Load(CArchive& ar, UINT* schema);
};

// Adds a class to the registry for the life of the object.
class CClassRegistration
{
public:
    explicit CClassRegistration(const CRuntimeClass* cls);
    ~CClassRegistration();
    CClassRegistration(const CClassRegistration&) = delete;
    CClassRegistration& operator=(const CClassRegistration&) = delete;

private:
    const CRuntimeClass* m_class;
};

class CDumpContext
{
public:
    CDumpContext& operator<<(const char*) { return *this; }
    CDumpContext& operator<<(int) { return *this; }
    CDumpContext& operator<<(double) { return *this; }
};

class CObject
{
public:
    virtual ~CObject() = default;

    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual void Serialize(CArchive& ar);
    virtual void AssertValid() const {}
    virtual void Dump(CDumpContext&) const {}

    bool IsKindOf(const CRuntimeClass* cls) const;
    bool IsSerializable() const;

    static const CRuntimeClass classCObject;
    static const CRuntimeClass* GetThisClass() { return &classCObject; }

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                                                       \
public:                                                                                   \
    static const CRuntimeClass class##class_name;                                         \
    static const CRuntimeClass* GetThisClass() { return &class_name::class##class_name; } \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) DECLARE_DYNCREATE(class_name)

#define KESTRUN_IMPLEMENT_CLASS(class_name, base_class_name, schema, create)                                   \
    const CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)),  \
                                                          static_cast<UINT>(schema), create,                 \
                                                          RUNTIME_CLASS(base_class_name)};                    \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }           \
    static const CClassRegistration kestrun_registration_##class_name(RUNTIME_CLASS(class_name));

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    KESTRUN_IMPLEMENT_CLASS(class_name, base_class_name, CRuntimeClass::noSchema, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                       \
    CObject* class_name::CreateObject() { return new class_name; }            \
    KESTRUN_IMPLEMENT_CLASS(class_name, base_class_name, CRuntimeClass::noSchema, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, schema)                  \
    CObject* class_name::CreateObject() { return new class_name; }            \
    KESTRUN_IMPLEMENT_CLASS(class_name, base_class_name, schema, class_name::CreateObject)

// The object as a class_name, or null when it is of another kind.
template <class T>
T* DynamicDowncast(CObject* object)
{
    return (object && object->IsKindOf(T::GetThisClass())) ? static_cast<T*>(object) : nullptr;
}
template <class T>
const T* DynamicDowncast(const CObject* object)
{
    return (object && object->IsKindOf(T::GetThisClass())) ? static_cast<const T*>(object) : nullptr;
}
#define DYNAMIC_DOWNCAST(class_name, object) DynamicDowncast<class_name>(object)
