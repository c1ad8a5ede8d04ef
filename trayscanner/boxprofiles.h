#pragma once
// CBoxProfiles: the box's current settings (its own CBoxSettings part) and
// its named profiles, kept in "trayvo.xml":
//   <Trayvo_Profiles> CurrentProfileName, CBoxSettings, ProfileNames (pairs
//   of key and value: name and index), SettingsArray (one CBoxSettings per
//   index) </Trayvo_Profiles>
// A file that cannot be read whole changes nothing; saving writes a
// temporary file and renames it over the old one.

#include "objectmodel/namedprofiles.h"
#include "trayscanner/boxsettings.h"

class CBoxProfiles : public CBoxSettings
{
public:
    using CNameMap = CNamedProfiles<CBoxSettings>::CNameMap;

    CBoxProfiles();
    ~CBoxProfiles() override = default;

    // Reads (bLoad) or writes the whole file. False for an empty path or
    // root name, and after a failure, which is reported once naming the file.
    bool SerializeFile(bool bLoad);

    // False for a name that is not stored (nothing changes); else its record
    // becomes the current settings and the name the current one.
    bool SelectProfile(const CString& strName);
    // The current settings under the name: a known name keeps its index.
    void StoreProfile(const CString& strName);
    // Later indices move down by one.
    void RemoveProfile(const CString& strName);
    bool HasProfile(const CString& strName) const;

    // The names in the map's order.
    POSITION GetStartPosition() const { return m_stored.GetNames().GetStartPosition(); }
    CString GetNextName(POSITION& pos) const;
    int GetProfileCount() const { return m_stored.GetCount(); }
    // The stored index of a name; -1 when not stored.
    int IndexOf(const CString& strName) const { return m_stored.IndexOf(strName); }
    const CBoxSettings& GetStored(int nIndex) const { return m_stored.GetAt(nIndex); }

    CBoxSettings& Current() { return *this; }
    const CBoxSettings& Current() const { return *this; }

    CString m_strRootName;
    CString m_strFilePath;
    CString m_strCurrentName;

private:
    void Read();
    void Write();

    // The map's default bucket count keeps the names' stored order.
    CNamedProfiles<CBoxSettings> m_stored{17};
};
