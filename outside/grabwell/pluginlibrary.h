#pragma once
// CPlugInLibrary: a camera plug-in opened by file name, with the exports the
// board calls. A library without the exports live video needs is refused;
// the others (snapshot, dialog, typed profile names) may be missing, and callers
// ask before they use them. The library stays loaded for the object's life.

#include "cameraplugins/fgplugin.h"

#include "platform/core/cstring.h"

namespace kestrun {

class CPlugInLibrary
{
public:
    CPlugInLibrary() = default;
    ~CPlugInLibrary();
    CPlugInLibrary(const CPlugInLibrary&) = delete;
    CPlugInLibrary& operator=(const CPlugInLibrary&) = delete;

    // False, with the reason in GetLastError, when the file cannot be
    // loaded or lacks an export the board needs.
    bool Load(const CString& file);
    bool IsLoaded() const { return m_module != nullptr; }
    const CString& GetLastError() const { return m_lastError; }

    // Always there once loaded.
    camplugin::PFN_Init Init = nullptr;
    camplugin::PFN_Exit Exit = nullptr;
    camplugin::PFN_ContFrGr ContFrGr = nullptr;
    camplugin::PFN_GetParameter GetParameter = nullptr;
    camplugin::PFN_SetParameter SetParameter = nullptr;
    camplugin::PFN_SetFrameSink SetFrameSink = nullptr;
    // Null when the plug-in does not offer them.
    camplugin::PFN_Snapshot Snapshot = nullptr;
    camplugin::PFN_OpenDialog OpenDialog = nullptr;
    camplugin::PFN_SetParameterString SetParameterString = nullptr;

private:
    void Unload();

    HMODULE m_module = nullptr;
    CString m_lastError;
};

} // namespace kestrun
