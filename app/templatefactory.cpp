#include "app/templatefactory.h"

namespace kestrun {

bool HasTemplateClasses(const CTemplateClasses& classes)
{
    return CRuntimeClass::FromName(classes.document) != nullptr && CRuntimeClass::FromName(classes.frame) != nullptr &&
           CRuntimeClass::FromName(classes.view) != nullptr;
}

bool IsKindOfClass(const CObject* pObject, const char* lpszClassName)
{
    const CRuntimeClass* cls = CRuntimeClass::FromName(lpszClassName);
    return pObject != nullptr && cls != nullptr && pObject->IsKindOf(cls);
}

} // namespace kestrun
