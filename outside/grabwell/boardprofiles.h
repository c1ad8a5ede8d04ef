#pragma once
// The board's named profiles: its settings stored under a name in an ini
// file of the board's folder, one section per profile.

#include "outside/grabwell/videosource.h"

#include "platform/core/cstring.h"

namespace kestrun {

class CBoardProfiles
{
public:
    // The ini file below the folder.
    explicit CBoardProfiles(const CString& folder);

    const CString& GetFile() const { return m_file; }

    // A name that can head an ini section: not empty, no brackets, no
    // control characters, no blanks at either end.
    static bool IsValidName(const CString& name);

    bool Exists(const CString& name) const;
    // False, and settings unchanged, when there is no such profile.
    bool Load(const CString& name, CBoardSettings& settings) const;
    // False when the name is not valid or the file cannot be written.
    bool Save(const CString& name, const CBoardSettings& settings) const;

private:
    CString m_file;
};

} // namespace kestrun
