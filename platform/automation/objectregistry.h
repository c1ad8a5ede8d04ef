#pragma once
// The classes that scripts create by program id ("Excel.Application"):
// VBScript's CreateObject and JScript's new ActiveXObject both ask here.
// A module registers its factory when it loads; ids match without regard
// to case, as the system registry matches them.

#include "platform/automation/dispatchable.h"

#include <functional>
#include <memory>

namespace kestrun {

using CObjectFactory = std::function<std::shared_ptr<CDispatchable>()>;

// Replaces a factory already registered under the id. CInvalidArgException
// for an empty id or factory.
void RegisterObjectFactory(const CString& progId, CObjectFactory factory);
void UnregisterObjectFactory(const CString& progId);
// A new object, or null when no factory has the id (or it made none).
// What the factory throws passes to the caller.
std::shared_ptr<CDispatchable> CreateDispatchObject(const CString& progId);

} // namespace kestrun
