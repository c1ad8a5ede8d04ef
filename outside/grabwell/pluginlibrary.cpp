#include "outside/grabwell/pluginlibrary.h"

#include "platform/core/library.h"

namespace kestrun {

namespace {

template <class Function>
Function Export(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(::GetProcAddress(module, name));
}

} // namespace

CPlugInLibrary::~CPlugInLibrary() { Unload(); }

bool CPlugInLibrary::Load(const CString& file)
{
    using namespace camplugin;
    Unload();
    m_module = ::LoadLibrary(file);
    if (m_module == nullptr) {
        m_lastError = "The camera plug-in " + file + " cannot be loaded: " + LastLibraryError();
        return false;
    }
    Init = Export<PFN_Init>(m_module, kExportInit);
    Exit = Export<PFN_Exit>(m_module, kExportExit);
    ContFrGr = Export<PFN_ContFrGr>(m_module, kExportContFrGr);
    GetParameter = Export<PFN_GetParameter>(m_module, kExportGetParameter);
    SetParameter = Export<PFN_SetParameter>(m_module, kExportSetParameter);
    SetFrameSink = Export<PFN_SetFrameSink>(m_module, kExportSetFrameSink);
    Snapshot = Export<PFN_Snapshot>(m_module, kExportSnapshot);
    OpenDialog = Export<PFN_OpenDialog>(m_module, kExportOpenDialog);
    SetParameterString = Export<PFN_SetParameterString>(m_module, kExportSetParameterString);

    const struct
    {
        bool present;
        const char* name;
    } needed[] = {
        {Init != nullptr, kExportInit},
        {Exit != nullptr, kExportExit},
        {ContFrGr != nullptr, kExportContFrGr},
        {GetParameter != nullptr, kExportGetParameter},
        {SetParameter != nullptr, kExportSetParameter},
        {SetFrameSink != nullptr, kExportSetFrameSink},
    };
    for (const auto& item : needed) {
        if (!item.present) {
            const CString reason = "The camera plug-in " + file + " has no export " + item.name + ".";
            Unload();
            m_lastError = reason;
            return false;
        }
    }
    m_lastError.Empty();
    return true;
}

void CPlugInLibrary::Unload()
{
    Init = nullptr;
    Exit = nullptr;
    ContFrGr = nullptr;
    GetParameter = nullptr;
    SetParameter = nullptr;
    SetFrameSink = nullptr;
    Snapshot = nullptr;
    OpenDialog = nullptr;
    SetParameterString = nullptr;
    if (m_module != nullptr)
        ::FreeLibrary(m_module);
    m_module = nullptr;
}

} // namespace kestrun
