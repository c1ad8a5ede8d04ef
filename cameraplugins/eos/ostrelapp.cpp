#include "cameraplugins/eos/ostrelapp.h"

#include "objectmodel/toolfunctions.h"

#include <filesystem>
#include <system_error>

CString COstrelApp::SettingsFolder() const
{
    const CString folder = AddTrailingBackslash(GetDataRootPath());
    std::error_code ignored;
    std::filesystem::create_directories(folder.GetString(), ignored);
    return folder;
}

COstrelApp& OstrelApp()
{
    static COstrelApp app;
    return app;
}

CString CameraErrorText(EdsError error)
{
    if ((error & 0x2000) != 0)
        return FormatString("Error during picture transfer (Code: %X)", error);
    switch (error) {
    case EDS_ERR_DEVICE_NOT_FOUND:
        return "Camera not found!";
    case EDS_ERR_AF_FAILED:
        return "Autofocus failed (distance too short?)!";
    case EDS_ERR_NOT_SUPPORTED:
        return {};
    default:
        return FormatString("Error code from camera: %X", error);
    }
}

void ReportCameraError(EdsError error)
{
    const CString text = CameraErrorText(error);
    if (!text.IsEmpty())
        OstrelApp().ReportFromAnyThread(text);
}
