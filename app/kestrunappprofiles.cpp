#include "app/kestrunapp.h"

#include "outside/grabwell/fgboard.h"
#include "platform/core/exceptions.h"
#include "platform/core/folders.h"
#include "platform/core/messagebox.h"
#include "platform/core/paths.h"
#include "platform/core/profile.h"

#include <initializer_list>

namespace {

void Report(const char* format, const CString& name)
{
    CString text;
    text.Format(format, name.GetString());
    AfxMessageBox(text);
}

// Said in every mode: the start-up select is quiet, and a damaged file
// would otherwise leave the defaults in use without a word.
void ReportUnreadable(const char* part, const CString& name, const CString& problem)
{
    AfxMessageBox(FormatString("%s %s cannot be read: %s", part, name.GetString(), problem.GetString()));
}

void ReportUnsafeName(const char* format, const CString& profile, const CString& name)
{
    AfxMessageBox(FormatString(format, kestrun::PrintableName(profile).GetString(),
                               kestrun::PrintableName(name).GetString()));
}

// Names read from a file: refused, and said in every mode, when one would
// reach outside the data root.
bool CheckFileNames(const CString& strName, const CProfileSettings& profile)
{
    const CString* unsafe = profile.FindUnsafeName();
    // The classes and the areas are read from their files: no name is no file.
    for (const CString* file : {&profile.m_strClassesProfile, &profile.m_strROIProfile}) {
        if (unsafe == nullptr && !kestrun::IsPlainFileName(*file))
            unsafe = file;
    }
    if (unsafe == nullptr)
        return true;
    ReportUnsafeName("Profile \"%s\" is not selected: \"%s\" is not a plain file name.", strName, *unsafe);
    return false;
}

} // namespace

struct CKestrunApp::CSelectState
{
    CProfileSettings names;
    CString currentName;
    CBVSettings analysis;
    CString analysisName;
    CClasses classes;
};

void CKestrunApp::LoadProfiles()
{
    m_profiles.SetLocation(m_strDataRoot);
    m_BV.InitProfileFile(m_strDataRoot);
    GetFG()->SetParameterString(kestrun::fgparam::kFolder, m_strDataRoot);
    const DWORD attributes = GetFileAttributes(m_profiles.m_strFileName);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        try {
            m_profiles.SerializeFile(true);
        } catch (const CException& e) {
            // Not loaded: exit must not write over the file.
            e.ReportError();
            m_profiles.m_strFileName.Empty();
        }
    }
    m_BV.LoadSettingsProfiles();
    // A profile file that was there and could not be read is not replaced
    // at exit by the defaults.
    if (m_BV.m_Profiles.ReadFailed())
        m_bSettingsOwned = false;
}

BOOL CKestrunApp::CheckProfileParts(const CProfileSettings& profile, BOOL bQuiet)
{
    if (m_BV.m_Profiles.GetProfile(profile.m_strBVProfile) == nullptr) {
        if (!bQuiet)
            Report("BV profile %s not found", profile.m_strBVProfile);
        return FALSE;
    }
    try {
        CClasses classes;
        if (!classes.LoadFile(m_strDataRoot + profile.m_strClassesProfile)) {
            if (!bQuiet)
                Report("Classes profile %s not found", profile.m_strClassesProfile);
            return FALSE;
        }
    } catch (const CException& e) {
        ReportUnreadable("Classes profile", profile.m_strClassesProfile, e.GetErrorMessage());
        return FALSE;
    }
    const CString areasPath = m_strDataRoot + profile.m_strROIProfile;
    try {
        CAOIDoc areas;
        if (areas.LoadAOIFile(areasPath))
            return TRUE;
    } catch (const CException& e) {
        ReportUnreadable("Areas of interest", profile.m_strROIProfile, e.GetErrorMessage());
        return FALSE;
    }
    // A missing file fails the select without a word; one that is there
    // and holds nothing is damaged.
    if (GetFileAttributes(areasPath) != INVALID_FILE_ATTRIBUTES)
        ReportUnreadable("Areas of interest", profile.m_strROIProfile, areasPath + " is empty.");
    return FALSE;
}

std::vector<CString> CKestrunApp::GetProfileNames() const
{
    const CStringArray names = m_profiles.GetNamesByIndex();
    std::vector<CString> list;
    for (int i = 0; i < names.GetSize(); ++i)
        list.push_back(names[i]);
    return list;
}

BOOL CKestrunApp::SelectProfile(const CString& strName, BOOL bQuiet)
{
    if (m_nSettingsChanged != 0) {
        const bool save = bQuiet || AfxMessageBox("Save settings ?", MB_YESNO) == IDYES;
        if (save && !m_profiles.m_strCurrentName.IsEmpty())
            SaveProfile(m_profiles.m_strCurrentName);
    }
    const CProfileSettings* stored = m_profiles.Lookup(strName);
    if (stored == nullptr) {
        if (!bQuiet)
            Report("Profile %s not found", strName);
        return FALSE;
    }
    // Nothing changes before every part is known to load.
    const CProfileSettings wanted(*stored);
    if (!CheckFileNames(strName, wanted))
        return FALSE;
    if (!CheckProfileParts(wanted, bQuiet))
        return FALSE;

    const CSelectState previous{m_profiles, m_profiles.m_strCurrentName, m_BV.GetSettings(),
                                m_BV.m_Profiles.GetCurrentProfileName(), m_BV.m_Classes};
    m_profiles.Find(strName);
    m_nSettingsChanged = 0;
    if (!wanted.m_strFGProfile.IsEmpty())
        SelectGrabberProfile(wanted.m_strFGProfile);
    if (m_tablon.CanSetProfile() && !wanted.m_strTrayvoProfile.IsEmpty()) {
        if (SelectBoxProfile(wanted.m_strTrayvoProfile) == 0)
            Report("Trayvo profile %s not found", wanted.m_strTrayvoProfile);
    }
    SelectAnalysisProfile(wanted.m_strBVProfile);
    // The files were read a moment ago; one that changed since fails here.
    if (!LoadClasses(m_strDataRoot + wanted.m_strClassesProfile) ||
        !LoadAOIs(m_strDataRoot + wanted.m_strROIProfile)) {
        RestoreSelectState(previous);
        return FALSE;
    }
    m_bSettingsOwned = true;
    SendProfileChanged();
    return TRUE;
}

void CKestrunApp::RestoreSelectState(const CSelectState& state)
{
    const CProfileSettings failed(m_profiles);
    m_profiles.CopyNames(state.names);
    m_profiles.m_strCurrentName = state.currentName;
    if (!state.analysisName.IsEmpty())
        SelectAnalysisProfile(state.analysisName);
    m_BV.GetSettings().AssignAll(state.analysis);
    m_BV.m_Classes = state.classes;
    if (!state.names.m_strFGProfile.IsEmpty() && state.names.m_strFGProfile != failed.m_strFGProfile)
        SelectGrabberProfile(state.names.m_strFGProfile);
    if (m_tablon.CanSetProfile() && !state.names.m_strTrayvoProfile.IsEmpty() &&
        state.names.m_strTrayvoProfile != failed.m_strTrayvoProfile)
        SelectBoxProfile(state.names.m_strTrayvoProfile);
}

BOOL CKestrunApp::SaveProfile(const CString& strName)
{
    const CString classesName = strName + ".classes";
    CString areasName = strName + ".AOI";
    const CString& currentAreas = m_profiles.m_strROIProfile;
    // The tray modes keep the areas of the tray and batch.
    if ((m_nMode == 1 || m_nMode == 2) && !currentAreas.IsEmpty() && currentAreas != areasName)
        areasName = currentAreas;
    // The name becomes file names in the data root: nothing is written
    // for one that would reach elsewhere.
    for (const CString* name : std::initializer_list<const CString*>{&strName, &areasName}) {
        if (!kestrun::IsPlainFileName(*name)) {
            ReportUnsafeName("Profile \"%s\" is not saved: \"%s\" is not a plain file name.", strName, *name);
            return FALSE;
        }
    }
    try {
        SaveGrabberProfile(strName);
        StoreAnalysisProfile(strName);
        m_nSettingsChanged = 0;
        SaveClasses(m_strDataRoot + classesName);
        SaveAOIs(m_strDataRoot + areasName);

        const CString boxName = m_tablon.CanGetProfile() ? GetBoxProfile() : CString();

        m_profiles.m_strBVProfile = strName;
        m_profiles.m_strClassesProfile = classesName;
        m_profiles.m_strROIProfile = areasName;
        m_profiles.m_strTrayvoProfile = boxName;
        m_profiles.Store(strName);
        m_profiles.SerializeFile(false);
        m_bSettingsOwned = true;
        return TRUE;
    } catch (const CException& e) {
        e.ReportError();
        return FALSE;
    }
}

void CKestrunApp::DeleteProfile(const CString& strName)
{
    m_profiles.Remove(strName);
}

void CKestrunApp::ReadCurrentGrabberProfile()
{
    m_profiles.m_strFGProfile = GetFG()->GetParameterString(kestrun::fgparam::kProfile);
}

// ---- the parts of a profile ------------------------------------------------------------------

void CKestrunApp::SelectGrabberProfile(const CString& strName)
{
    GetFG()->SetParameterString(kestrun::fgparam::kProfile, strName);
}

void CKestrunApp::SaveGrabberProfile(const CString& strName)
{
    GetFG()->SetParameterString(kestrun::fgparam::kSaveProfile, strName);
}

int CKestrunApp::SelectBoxProfile(const CString& strName)
{
    return m_tablon.SelectProfile(strName);
}

CString CKestrunApp::GetBoxProfile()
{
    return m_tablon.GetProfile();
}

void CKestrunApp::SelectAnalysisProfile(const CString& strName)
{
    m_BV.SelectProfile(strName);
}

void CKestrunApp::StoreAnalysisProfile(const CString& strName)
{
    m_BV.StoreProfile(strName);
    m_BV.SaveSettingsProfiles();
}

BOOL CKestrunApp::LoadParameterFile(const CString& strPath)
{
    // Each section is looked up once; the reads below only take what is there.
    const auto holds = [&strPath](const char* section) {
        char keys[8];
        return GetPrivateProfileString(section, nullptr, "", keys, sizeof keys, strPath) != 0;
    };
    const bool readable = GetFileAttributes(strPath) != INVALID_FILE_ATTRIBUTES;
    const bool threshold = readable && holds("Threshold");
    const bool form = readable && holds("Formparameter");
    const bool calibration = readable && holds("Calibration");
    const bool filter = readable && holds("ObjectFilter");
    if (!(threshold || form || calibration || filter)) {
        AfxMessageBox(FormatString("%s holds no analysis parameters; nothing was loaded.", strPath.GetString()),
                      MB_ICONEXCLAMATION);
        return FALSE;
    }
    CBVSettings& settings = m_BV.GetSettings();
    if (threshold) {
        CSegThres loaded = settings.m_SegThres;
        loaded.ReadProfile("Threshold", strPath);
        if (loaded.IsSound())
            settings.m_SegThres = loaded;
        else
            AfxMessageBox(FormatString("%s holds no usable threshold; the threshold is unchanged.",
                                       strPath.GetString()),
                          MB_ICONEXCLAMATION);
    }
    if (form)
        settings.m_FormThres.LoadIni("Formparameter", strPath);
    if (calibration)
        settings.m_Calibration.ReadCalibrationIni("Calibration", strPath);
    if (filter)
        settings.m_ObjectFilter.LoadIni("ObjectFilter", strPath);

    const int dot = strPath.ReverseFind('.');
    const int slash = strPath.ReverseFind('/');
    const CString base = dot > slash ? strPath.Left(dot) : strPath;
    BOOL loaded = TRUE;
    for (const auto& [extension, load] : {std::pair{".classes", &CKestrunApp::LoadClasses},
                                          std::pair{".AOI", &CKestrunApp::LoadAOIs}}) {
        const CString file = base + extension;
        if (GetFileAttributes(file) == INVALID_FILE_ATTRIBUTES)
            continue;
        if (!(this->*load)(file)) {
            AfxMessageBox(FormatString("%s could not be loaded.", file.GetString()), MB_ICONEXCLAMATION);
            loaded = FALSE;
        }
    }
    return loaded;
}

BOOL CKestrunApp::LoadClasses(const CString& strPath)
{
    try {
        return m_BV.m_Classes.LoadFile(strPath) ? TRUE : FALSE;
    } catch (const CException&) {
        return FALSE;
    }
}

BOOL CKestrunApp::LoadAOIs(const CString& strPath)
{
    try {
        return m_BV.m_AOIDoc.LoadAOIFile(strPath) ? TRUE : FALSE;
    } catch (const CException&) {
        return FALSE;
    }
}

void CKestrunApp::SaveClasses(const CString& strPath)
{
    m_BV.m_Classes.SaveFile(strPath);
}

void CKestrunApp::SaveAOIs(const CString& strPath)
{
    m_BV.m_AOIDoc.SaveAOIFile(strPath);
}
