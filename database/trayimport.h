#pragma once
// Bringing a file of an import folder into the images or data folder:
// never over a file of the same name, never outside the target folder.
#include "platform/core/cstring.h"

namespace kestrun::tray {

enum class EImportCopy { Copied, NameInUse, BadName, Failed };

// Copies folder/name to targetFolder/name. A name with folder parts is
// refused, as is a target that exists already.
EImportCopy CopyImportedFile(const CString& strFolder, const CString& strName, const CString& strTargetFolder);

// The message for a refused or failed copy; empty after a good one.
CString ImportCopyMessage(EImportCopy result, const CString& strSource, const CString& strTarget);

} // namespace kestrun::tray
