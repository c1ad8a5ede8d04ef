#pragma once
// CAppServices: the application object as the lower layers reach it. The
// analysis, imaging and series code asks it for the engine, the templates
// of the result documents, the folders, the run flags and the calibration,
// without knowing the application class. The application implements it
// and installs itself; tests install a fixture
// (platform/ui/testing/fake_app_services.h).

#include "platform/core/cstring.h"

#include <vector>

class CBV;
class CSRC;
class CCalibration;
class CDocument;
class CMultiDocTemplate;
class CView;

class CAppServices
{
public:
    virtual ~CAppServices() = default;

    // The analysis engine, held by the application.
    virtual CBV* GetEngine() = 0;
    // The holder of the result-document templates.
    virtual CSRC* GetTemplates() = 0;
    // The calibration of the current profile.
    virtual CCalibration* GetCalibration() = 0;
    // The registered templates of image documents and of the main
    // measurement document, and the run mode's template (null in Mode 0).
    virtual CMultiDocTemplate* GetImageTemplate() = 0;
    virtual CMultiDocTemplate* GetMainTemplate() = 0;
    virtual CMultiDocTemplate* GetModeTemplate() = 0;

    // Folders, each ending in a separator when not empty.
    virtual CString GetDataRoot() const = 0;
    virtual CString GetImageDir() const = 0;
    virtual CString GetDataDir() const = 0;

    // Run flags.
    virtual int GetMode() const = 0;
    virtual int GetUserLevel() const = 0;
    virtual int GetADType() const = 0;
    virtual BOOL GetAutoThreshold() const = 0;
    virtual void SetAutoThreshold(BOOL bAuto) = 0;

    // The current analysis profile.
    virtual CString GetCurrentProfileName() const = 0;
    // Marks the current profile as changed and not yet saved.
    virtual void SetSettingsChanged() = 0;

    // Windows and documents of the application.
    virtual CView* GetFormView() = 0;
    virtual CDocument* GetImageDocument() = 0;
    virtual CView* GetImageView() = 0;
    virtual CView* GetGridView() = 0;

    // The scanning box, when its library is loaded; silent otherwise.
    virtual void SetTrayvoState(int nState) = 0;
    virtual void SetTrayvoMessage(const char* lpszMessage) = 0;

    // Profiles, for the tray forms: a stored profile made current (FALSE
    // when it cannot be), the current settings stored under a name, and the
    // area-of-interest file of the current profile, a name in the data root.
    // Without an application none of them does anything.
    virtual BOOL SelectProfile(const CString& /*strName*/, BOOL /*bQuiet*/) { return FALSE; }
    virtual BOOL SaveProfile(const CString& /*strName*/) { return FALSE; }
    virtual CString GetAOIFileName() const { return CString(); }
    virtual void SetAOIFileName(const CString& /*strName*/) {}
    // The frame grabber's profile of the current profile: an image view
    // that closes hands over the grabber's current one, and a form that
    // starts video hands it back to the grabber.
    virtual CString GetGrabberProfileName() const { return CString(); }
    virtual void SetGrabberProfileName(const CString& /*strName*/) {}
    // Where the program's own settings files lie ("mode.ini",
    // "trayscan.ini"); empty: the program's folder.
    virtual CString GetProgramFolder() const { return CString(); }
    // The names of the stored profiles.
    virtual std::vector<CString> GetProfileNames() const { return {}; }
};

namespace kestrun {

// The installed services, or null before the application (or a test)
// installs them.
CAppServices* AppServices();
// Installs services for the process and returns the previous ones; null
// uninstalls.
CAppServices* SetAppServices(CAppServices* services);

} // namespace kestrun
