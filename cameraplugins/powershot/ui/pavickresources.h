#pragma once
// The plug-in's resources: control ids and dialog templates, kept under the
// plug-in's own resource module, since 10004 is also the box library's
// save-profile layout. Every export switches to this module while it runs.

#include "cameraplugins/common/pluginresources.h"

#include "platform/core/types.h"

namespace kestrun::pavick {

inline constexpr UINT IDD_OPTIONS = 10000;
inline constexpr UINT IDD_SAVE_CAMERA_PROFILE = 10004;
inline constexpr UINT IDD_PROGRESS = 129;

inline constexpr UINT IDC_IMAGE_SIZE = 10000;
inline constexpr UINT IDC_ZOOM = 10001;
inline constexpr UINT IDC_METERING = 10002;
inline constexpr UINT IDC_FOCUS = 10003;
inline constexpr UINT IDC_AF_FIELD = 10004;
inline constexpr UINT IDC_STROBE = 10005;
inline constexpr UINT IDC_MACRO = 10006;
inline constexpr UINT IDC_COMPENSATION = 10007;
inline constexpr UINT IDC_AF_LIGHT = 10008;
inline constexpr UINT IDC_AF = 10009;
inline constexpr UINT IDC_CAMERA_OUTPUT = 10010;
inline constexpr UINT IDC_PHOTO_EFFECT = 10011;
inline constexpr UINT IDC_WHITE_BALANCE = 10012;
inline constexpr UINT IDC_PROFILES = 10013;
inline constexpr UINT IDC_SAVE_PROFILE = 10014;
inline constexpr UINT IDC_DELETE_PROFILE = 10015;
inline constexpr UINT IDC_ISO = 10016;
inline constexpr UINT IDC_ZOOM_LIVE = 10017;
inline constexpr UINT IDC_EXPOSURE_MODE = 10018;
inline constexpr UINT IDC_PROFILE_NAME = 10016;
inline constexpr UINT IDC_TRANSFER_PROGRESS = 1010;

// The plug-in's module handle.
HINSTANCE PavickModule();
// Registers the templates under PavickModule(); once.
void RegisterPavickResources();

// Makes the plug-in's module the resource handle for its lifetime.
class CPavickResourceScope : public kestrun::camplugin::CPlugInResourceScope
{
public:
    CPavickResourceScope();
};

} // namespace kestrun::pavick
