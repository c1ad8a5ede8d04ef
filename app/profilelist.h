#pragma once
// CProfileList: the application's profiles. Its base is the current
// profile; beside it the stored profiles by name, kept in "kestrun.xml"
// in the data root:
//
//   KESTRUN_Profiles
//     CurrentProfileName   the current profile's name
//     CProfileSettings     the current profile
//     ProfileNames         "key"/"value" pairs: name -> index, in the name
//                          map's order (10 buckets)
//     SettingsArray        one "CProfileSettings" per stored profile
//
// Every name maps to an index of the stored profiles, dense from 0.

#include "app/profilesettings.h"

#include "objectmodel/namedprofiles.h"

class CProfileList : public CProfileSettings
{
public:
    using CNameMap = CNamedProfiles<CProfileSettings>::CNameMap;

    CProfileList();
    CProfileList(const CProfileList&) = delete;
    CProfileList& operator=(const CProfileList&) = delete;
    ~CProfileList() override;

    // Copies the stored profile into the current one and makes its name
    // current; false, and nothing changes, for an unknown name.
    bool Find(const CString& strName);
    // The stored profile of a name; null when there is none.
    const CProfileSettings* Lookup(const CString& strName) const;
    // Stores the current profile under the name (over a stored one of that
    // name, else appended) and makes the name current.
    void Store(const CString& strName);
    // Removes a stored profile; the indices above it move down. Removing
    // the current name leaves no current name. The file is not written.
    void Remove(const CString& strName);
    // Empties the stored profiles and the names.
    void Clear();

    // The file "kestrun.xml" in the data root, with its root element.
    void SetLocation(const CString& dataRoot);

    // Reads (bLoad) or writes the whole file. False when no file or root is
    // set. A file that cannot be read or written raises the archive's or
    // file's exception; a failed read changes nothing, a failed write
    // leaves the old file.
    bool SerializeFile(bool bLoad);

    int GetCount() const { return m_stored.GetCount(); }
    const CProfileSettings& GetAt(int nIndex) const { return m_stored.GetAt(nIndex); }
    const CNameMap& GetNames() const { return m_stored.GetNames(); }
    // The stored names in index order.
    CStringArray GetNamesByIndex() const { return m_stored.GetNamesByIndex(); }

    CString m_strRootName;
    CString m_strFileName;
    CString m_strCurrentName;

private:
    void Read();
    void Write();

    CNamedProfiles<CProfileSettings> m_stored{10};
};
