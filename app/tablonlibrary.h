#pragma once
// CTablonLibrary: the scanning-box library as the application holds it. It
// is loaded once by name (its absence is silent: every call then does
// nothing) and kept until the program ends; each call looks its export up
// anew, so a library without one export still serves the others.

#include "trayscanner/camboxinterface.h"

#include "platform/core/cstring.h"

class CTablonLibrary
{
public:
    CTablonLibrary() = default;
    ~CTablonLibrary();
    CTablonLibrary(const CTablonLibrary&) = delete;
    CTablonLibrary& operator=(const CTablonLibrary&) = delete;

    // TRUE when the library was loaded; a missing one says nothing.
    BOOL Load(const CString& strName);
    void Free();
    BOOL IsLoaded() const { return m_hModule != nullptr; }
    HMODULE GetHandle() const { return m_hModule; }

    // Hands the call-back interface over (null closes the device). A
    // library without the export is reported as a wrong version.
    void SetInterface(CCamBoxInterface* pInterface);
    BOOL IsInterfaceSet() const { return m_bInterfaceSet; }

    // Silent when the library or the export is missing.
    void SetState(int nState);
    void SetMessage(const char* lpszMessage);

    BOOL CanSetProfile() const;
    BOOL CanGetProfile() const;
    // 1 when the box knows the profile, 0 when not, -1 when the library
    // cannot be asked.
    int SelectProfile(const CString& strName);
    // The box's current profile; empty when it cannot be asked.
    CString GetProfile() const;

    // The box's modal control dialog; nothing without the export.
    void RunSetupDialog();

private:
    void* Export(const char* lpszName) const;

    HMODULE m_hModule = nullptr;
    CString m_strName;
    BOOL m_bInterfaceSet = FALSE;
};
