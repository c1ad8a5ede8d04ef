#pragma once
// Document templates made from the registered names of their classes. A
// template is made only when its document, frame and view classes are all
// part of the program, so the program grows its document kinds as their
// classes arrive.

#include "platform/core/object.h"
#include "platform/ui/doctemplate.h"

#include <memory>

namespace kestrun {

struct CTemplateClasses
{
    const char* document;
    const char* frame;
    const char* view;
};

// True when all three classes are registered.
bool HasTemplateClasses(const CTemplateClasses& classes);

template <class T = CMultiDocTemplate>
std::unique_ptr<T> MakeTemplate(UINT nIDResource, const CTemplateClasses& classes)
{
    if (!HasTemplateClasses(classes))
        return nullptr;
    return std::make_unique<T>(nIDResource, CRuntimeClass::FromName(classes.document),
                               CRuntimeClass::FromName(classes.frame), CRuntimeClass::FromName(classes.view));
}

// The object is of the class registered under the name (false when no
// class has that name).
bool IsKindOfClass(const CObject* pObject, const char* lpszClassName);

} // namespace kestrun
