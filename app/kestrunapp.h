#pragma once
// CKestrunApp: the application object. It starts the program in a fixed
// order - data root, run mode, profile file, document templates, profiles,
// main window, command line, scanning-box library, folders - and shuts it
// down in a fixed order, saving the current profile and writing the
// settings it read back. It owns the analysis engine, the templates, the
// profile list and the scanning-box library, carries the application's
// commands, and is the CAppServices of the lower layers.
//
// Templates are made from their classes' registered names: a template
// whose document, frame or view class is not part of the program is not
// made, and the commands that need it stay disabled. Run modes whose forms
// are missing start in Mode 0 after saying so.

#include "app/profilelist.h"
#include "app/tablonlibrary.h"

#include "analysis/bv.h"
#include "imaging/src.h"
#include "platform/ui/appservices.h"
#include "platform/ui/winapp.h"

#include <memory>

class CCamBoxInterface;
class CRunHost;
class CDIBDoc;
class CDIBMultiDocTemplate;
class CMainFrame;
class CMultiDocTemplate;
class CUwScanner;

class CKestrunApp : public CWinApp, public CAppServices
{
    DECLARE_DYNAMIC(CKestrunApp)

public:
    CKestrunApp();
    ~CKestrunApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    // Opens the file as a document; "Cannot open %1" and null on failure.
    // (Files of the run mode's kind go to the open form once the forms are
    // part of the program.)
    CDocument* OpenDocumentFile(LPCTSTR lpszFileName) override;
    // Help is not part of this program.
    void WinHelp(DWORD_PTR dwData, UINT nCmd = 0x0001) override;

    // ---- profiles ----------------------------------------------------------------------
    // "kestrun.xml" and the engine's "bv.xml" of the data root; a file that
    // cannot be read is reported and leaves the profiles unloaded.
    void LoadProfiles();
    // Makes a stored profile current and loads its five parts. Everything
    // that can fail is checked first, so a failed select leaves the
    // previous profile current. bQuiet asks nothing and reports only the
    // scanning box's refusal.
    BOOL SelectProfile(const CString& strName, BOOL bQuiet) override;
    // Stores the current parts under the name and writes "kestrun.xml";
    // FALSE, reported, when a file cannot be written.
    BOOL SaveProfile(const CString& strName) override;
    void DeleteProfile(const CString& strName);
    // The frame grabber's current profile becomes the current profile's.
    void ReadCurrentGrabberProfile();
    CProfileList& GetProfiles() { return m_profiles; }
    // Reads the engine's threshold, form parameters, calibration and object
    // filter from the sections of a parameter file that holds them, then
    // the classes and areas of the files beside it (same name, ".classes"
    // and ".AOI"). A file without any of the sections changes nothing.
    BOOL LoadParameterFile(const CString& strPath);

    // ---- the scanning box -------------------------------------------------------------
    void SetTrayvoInterface(CCamBoxInterface* pInterface);
    void SetTrayvoState(int nState) override;
    void SetTrayvoMessage(const char* lpszMessage) override;
    CTablonLibrary& GetTablon() { return m_tablon; }

    // ---- CAppServices -------------------------------------------------------------------
    CBV* GetEngine() override { return &m_BV; }
    CSRC* GetTemplates() override { return &m_SRC; }
    CCalibration* GetCalibration() override;
    CMultiDocTemplate* GetImageTemplate() override;
    CMultiDocTemplate* GetMainTemplate() override { return m_pMainTemplate; }
    CMultiDocTemplate* GetModeTemplate() override { return m_pModeTemplate.get(); }
    CString GetDataRoot() const override { return m_strDataRoot; }
    CString GetImageDir() const override;
    CString GetDataDir() const override;
    int GetMode() const override { return m_nMode; }
    int GetUserLevel() const override { return m_nUserLevel; }
    int GetADType() const override { return m_nADType; }
    BOOL GetAutoThreshold() const override { return m_bAutoThreshold; }
    void SetAutoThreshold(BOOL bAuto) override { m_bAutoThreshold = bAuto; }
    CString GetCurrentProfileName() const override;
    void SetSettingsChanged() override { m_nSettingsChanged = 1; }
    CView* GetFormView() override;
    CDocument* GetImageDocument() override;
    CView* GetImageView() override;
    CView* GetGridView() override;
    CString GetAOIFileName() const override { return m_profiles.m_strROIProfile; }
    void SetAOIFileName(const CString& strName) override { m_profiles.m_strROIProfile = strName; }
    CString GetGrabberProfileName() const override { return m_profiles.m_strFGProfile; }
    void SetGrabberProfileName(const CString& strName) override { m_profiles.m_strFGProfile = strName; }
    CString GetProgramFolder() const override { return m_strProgramFolder; }
    std::vector<CString> GetProfileNames() const override;

    CMultiDocTemplate* GetGrowthTemplate() const { return m_pGrowthTemplate.get(); }
    CMainFrame* GetMainFrame() const;

    // ---- what start-up sets ---------------------------------------------------------------
    CDIBMultiDocTemplate* m_pImageTemplate = nullptr;
    CMultiDocTemplate* m_pMainTemplate = nullptr;
    CString m_strDataRoot;
    CString m_strImageDir;
    CString m_strDataDir;
    BOOL m_bAutoThreshold = FALSE;
    int m_nADType = -1;
    int m_nMode = 0;
    int m_nUserLevel = 1;
    // Set by area and threshold changes; a select offers to save first.
    int m_nSettingsChanged = 0;
    // False while the settings in memory belong to no profile: the profile
    // named at start-up could not be selected, so exit must not save the
    // defaults over it.
    bool m_bSettingsOwned = true;
    CWnd* m_pUwScannerDlg = nullptr;
    // The lid scanner the lid-scanner dialog drives; set to use another.
    CUwScanner* m_pUwScanner;

    // Where "mode.ini" is read (the program's folder) and the name the
    // scanning-box library is loaded by; set before InitInstance to use
    // others.
    CString m_strProgramFolder;
    CString m_strTablonLibrary = "Tablon.dll";

protected:
    // The steps of a profile select and save that reach the other parts;
    // each does one thing.
    virtual void SelectGrabberProfile(const CString& strName);
    virtual void SaveGrabberProfile(const CString& strName);
    // 1 the box took it, 0 it refused, -1 the box cannot be asked.
    virtual int SelectBoxProfile(const CString& strName);
    virtual CString GetBoxProfile();
    virtual void SelectAnalysisProfile(const CString& strName);
    virtual void StoreAnalysisProfile(const CString& strName);
    // FALSE, and the engine's list unchanged, when the file cannot be read.
    virtual BOOL LoadClasses(const CString& strPath);
    virtual BOOL LoadAOIs(const CString& strPath);
    virtual void SaveClasses(const CString& strPath);
    virtual void SaveAOIs(const CString& strPath);

    // Commands.
    // Mode 1: the tray form. Otherwise the kind of measurement, a file,
    // then the new measurement document with its set-up sheet.
    void OnNewMeasurement();
    void OnUpdateNewMeasurement(CCmdUI* pCmdUI);
    void OnOpenDatabase();
    void OnUpdateOpenDatabase(CCmdUI* pCmdUI);
    void OnPasteNewImage();
    void OnUpdatePasteNewImage(CCmdUI* pCmdUI);
    void OnInitVideo();
    void OnUpdateInitVideo(CCmdUI* pCmdUI);
    void OnSnapshot();
    void OnVideoOptions();
    void OnUpdateVideoOptions(CCmdUI* pCmdUI);
    // Record Sequence: checked while the board records its frames into an
    // AVI in the images folder, named by the date and time it started.
    void OnRecordSequence();
    void OnUpdateRecordSequence(CCmdUI* pCmdUI);
    void OnUpdateSnapshot(CCmdUI* pCmdUI);
    void OnContinuousGrabbing();
    void OnUpdateContinuousGrabbing(CCmdUI* pCmdUI);
    void OnSensorSetup();
    void OnUpdateSensorSetup(CCmdUI* pCmdUI);
    void OnDeviceCtrl();
    void OnUpdateDeviceCtrl(CCmdUI* pCmdUI);
    void OnScanChamber();
    void OnUpdateScanChamber(CCmdUI* pCmdUI);
    void OnCurvature();
    void OnConvexConcave();
    void OnConglomerateCutting();
    void OnUserLevel();
    void OnChangePassword();
    void OnSystemOptions();
    void OnHardwareSelect();
    void OnUwScanner();
    void OnUpdateUwScanner(CCmdUI* pCmdUI);
    void OnAppAbout();
    // Commands whose dialogs or devices are not part of this program.
    void OnUpdateNotAvailable(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()

private:
    // What a select changes, to put back when it fails half-way.
    struct CSelectState;
    // The analysis profile exists and the classes and areas of the profile
    // can be read; reports what is missing unless quiet.
    BOOL CheckProfileParts(const CProfileSettings& profile, BOOL bQuiet);
    void RestoreSelectState(const CSelectState& state);

    // Start-up steps.
    void MakeDataRoot();
    void ReadMode();
    void CreateTemplates();
    CMultiDocTemplate* CreateModeTemplate();
    BOOL CreateMainWindow();
    BOOL ProcessCommandLine(const CCommandLineInfo& cmdInfo);
    void ReadFolderSettings();
    CString ReadFolder(LPCTSTR lpszKey, LPCTSTR lpszDefaultName);
    void SendProfileChanged();
    // Shut-down steps.
    void WriteFolderSettings();

    // The new measurement document of the choice (1 image, 2 A/D) for
    // the file, kept when its set-up is accepted.
    void NewMeasurementDocument(int nChoice, const CString& strPath);

    // Runs a library's set-up dialog export with it as resource module.
    void RunLibrarySetup(const CString& strLibrary, LPCSTR lpszExport);
    CDIBDoc* GetVideoDocument();

    std::unique_ptr<CMultiDocTemplate> m_pGrowthTemplate;
    // The measurement runs' clocks, keys and set-up sheet.
    std::unique_ptr<CRunHost> m_pRunHost;
    std::unique_ptr<CMultiDocTemplate> m_pModeTemplate;
    CSRC m_SRC;
    CProfileList m_profiles;
    CTablonLibrary m_tablon;
    CBV m_BV;
    // The folders, hardware type and threshold flag were read, so exit
    // writes them back.
    BOOL m_bSettingsRead = FALSE;
    CAppServices* m_pPreviousServices = nullptr;
};

// The application object as CKestrunApp; null when there is none.
CKestrunApp* KestrunApp();
