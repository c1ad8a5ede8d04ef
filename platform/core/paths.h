#pragma once
// Paths as the program writes them ("script\export.txt") made native, and
// names read from files checked before they become paths.

#include "platform/core/cstring.h"

namespace kestrun {

// The path with every '\' turned into '/'; null gives an empty path.
CString NativePath(const char* path);

// True for a name that, joined to its folder, names an entry of that folder
// and nothing else: not empty, not "." or "..", no '/' or '\' and no control
// characters. Names read from files (profiles, their parts) pass here before
// they become paths.
bool IsPlainFileName(const char* name);
// True when the path names an existing file that is no folder.
bool IsRegularFile(const CString& path);
// The name for a message: control characters show as '?'.
CString PrintableName(const char* name);
// Raises a CArchiveException for fileName, the file the name was read from,
// whose message tells the name, unless the name is plain. An empty name
// passes only when allowEmpty.
void CheckPlainFileName(const CString& fileName, const char* name, bool allowEmpty = false);
// The same for the current name (empty allowed) and every key of a map of
// names, as profile lists store them.
template <class NameMap>
void CheckPlainFileNames(const CString& fileName, const CString& currentName, const NameMap& names)
{
    CheckPlainFileName(fileName, currentName, true);
    for (POSITION pos = names.GetStartPosition(); pos != nullptr;) {
        CString name;
        int index = 0;
        names.GetNextAssoc(pos, name, index);
        CheckPlainFileName(fileName, name);
    }
}

} // namespace kestrun
