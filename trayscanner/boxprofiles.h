#pragma once
// CBoxProfiles: the box's current settings (its own CBoxSettings part) and
// its named profiles, kept in "trayvo.xml":
//   <Trayvo_Profiles> CurrentProfileName, CBoxSettings, ProfileNames (pairs
//   of key and value: name and index), SettingsArray (one CBoxSettings per
//   index) </Trayvo_Profiles>
// A file that cannot be read whole changes nothing; saving writes a
// temporary file and renames it over the old one.

#include "objectmodel/profilestore.h"
#include "trayscanner/boxsettings.h"

class CBoxProfiles : public CProfileStore<CBoxSettings>
{
public:
    CBoxProfiles();
    ~CBoxProfiles() override = default;

protected:
    // Once, naming the file.
    void ReportFailure(bool bLoad, const CString& strError) override;
};
