#pragma once
// CBVProfileList: the engine's profile store. Its base is the current
// analysis profile; beside it the named profiles, kept together with the
// current one in "bv.xml" (root element "BV_Profiles"):
//
//   BV_Profiles
//     CurrentProfileName   name under which the current profile was last
//                          selected or stored
//     CBVSettings          the current profile
//     ProfileNames         "key"/"value" pairs: name -> index, in the
//                          name map's iteration order
//     SettingsArray        one "CBVSettings" per stored profile, by index
//
// Profiles are never removed or renamed; a name once stored keeps its
// index. The names become the names of the profile's files, so a file with
// a name that is not a plain file name is refused. A name whose index lies outside the stored profiles (a file
// edited by hand) counts as not stored.

#include "analysis/bvsettings.h"
#include "objectmodel/namedprofiles.h"

class CBVProfileList : public CBVSettings
{
public:
    using CNameMap = CNamedProfiles<CBVSettings>::CNameMap;

    CBVProfileList() = default;
    CBVProfileList(const CBVProfileList&) = delete;
    CBVProfileList& operator=(const CBVProfileList&) = delete;
    ~CBVProfileList() override = default;

    // The profile file "bv.xml" in directory, under the root "BV_Profiles".
    void InitProfileFile(const CString& directory);
    // Reads the profile file when there is one; false without a message
    // when it is missing.
    bool LoadProfileFile();
    // Reads (load) or writes the whole file; true when it was done. False
    // without a message when no file is set. A file that cannot be read or
    // written is reported (failed to open / failed to save, naming the
    // file) and gives false; a failed read changes nothing, a failed write
    // leaves the old file.
    bool SerializeFile(bool load);
    // The last read of the file failed: a damaged file, or one with a
    // profile name that is not a plain file name.
    bool ReadFailed() const { return m_bReadFailed; }

    // Makes the stored profile of name current (the profile copy); false,
    // and nothing changes, when name is not stored.
    bool Select(const CString& name);
    // Stores the current profile under name: over the stored one of that
    // name, else appended at the end.
    void Store(const CString& name);

    const CString& GetCurrentProfileName() const { return m_strCurrentProfileName; }
    const CString& GetFilePath() const { return m_strFilePath; }
    const CString& GetRootName() const { return m_strRootName; }
    int GetProfileCount() const { return m_stored.GetCount(); }
    // The stored profile of name; null when it is not stored.
    const CBVSettings* GetProfile(const CString& name) const;
    const CNameMap& GetProfileNames() const { return m_stored.GetNames(); }

private:
    void Read();
    void Write();

    CString m_strRootName;
    CString m_strFilePath;
    CString m_strCurrentProfileName;
    // The map's default bucket count keeps the names' stored order.
    CNamedProfiles<CBVSettings> m_stored{17};
    bool m_bReadFailed = false;
};
