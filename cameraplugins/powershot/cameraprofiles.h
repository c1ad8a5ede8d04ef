#pragma once
// CCameraProfiles: the PowerShot plug-in's current settings (its own
// CCameraSettings part) and its named profiles, kept in "Pavick.xml" beside
// the host program: root "Canon_PowerShot_Profiles" holding
// CurrentProfileName, the sixteen keys of the current settings directly,
// ProfileNames and SettingsArray.

#include "cameraplugins/powershot/camerasettings.h"

#include "objectmodel/profilestore.h"

class CCameraProfiles : public CProfileStore<CCameraSettings>
{
public:
    CCameraProfiles();
    ~CCameraProfiles() override = default;

    void DeleteProfile(const CString& strName) { RemoveProfile(strName); }
    CString GetNextProfileName(POSITION& pos) const { return GetNextName(pos); }
    // The file's own name, as reports show it.
    CString FileName() const;

protected:
    void SerializeCurrent(CXMLArchive& xml, CCameraSettings& settings) override;
    void ReportFailure(bool bLoad, const CString& strError) override;
};
