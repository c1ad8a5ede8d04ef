#pragma once
// The plug-in's resources: the camera control dialog's template 102 and its
// control ids, kept under the plug-in's own resource module, since 102 is
// also a template of the box library and of the folder-watch dialog.

#include "cameraplugins/common/pluginresources.h"

#include "platform/core/types.h"

namespace kestrun::ostrel {

inline constexpr UINT IDD_CAMERA_CONTROL = 102;

inline constexpr UINT IDC_TAKE_PICTURE = 1000;
inline constexpr UINT IDC_PRESS_HALFWAY = 1001;
inline constexpr UINT IDC_UNUSED_EDIT = 1005;
inline constexpr UINT IDC_PROGRESS = 1006;
inline constexpr UINT IDC_TV = 1008;
inline constexpr UINT IDC_AV = 1009;
inline constexpr UINT IDC_ISO = 1010;
inline constexpr UINT IDC_METERING_MODE = 1011;
inline constexpr UINT IDC_EXPOSURE_COMP = 1012;
inline constexpr UINT IDC_START_EVF = 1013;
inline constexpr UINT IDC_END_EVF = 1014;
inline constexpr UINT IDC_FOCUS_NEAR3 = 1015;
inline constexpr UINT IDC_FOCUS_NEAR2 = 1016;
inline constexpr UINT IDC_FOCUS_NEAR1 = 1017;
inline constexpr UINT IDC_FOCUS_FAR1 = 1018;
inline constexpr UINT IDC_FOCUS_FAR2 = 1019;
inline constexpr UINT IDC_FOCUS_FAR3 = 1020;
inline constexpr UINT IDC_IMAGE_QUALITY = 1021;
inline constexpr UINT IDC_PICTURE_BOX = 1022;
inline constexpr UINT IDC_FOCUS_UP = 1023;
inline constexpr UINT IDC_FOCUS_LEFT = 1024;
inline constexpr UINT IDC_FOCUS_RIGHT = 1025;
inline constexpr UINT IDC_FOCUS_DOWN = 1026;
inline constexpr UINT IDC_ZOOM_FIT = 1027;
inline constexpr UINT IDC_ZOOM_ZOOM = 1028;
inline constexpr UINT IDC_EVF_AF_MODE = 1029;
inline constexpr UINT IDC_PRESS_COMPLETELY = 1030;
inline constexpr UINT IDC_PRESS_OFF = 1031;
inline constexpr UINT IDC_EVF_AF_ON = 1032;
inline constexpr UINT IDC_EVF_AF_OFF = 1033;
inline constexpr UINT IDC_AE_MODE = 10002;
inline constexpr UINT IDC_FIRMWARE = 10020;
inline constexpr UINT IDC_AF_ON_SNAPSHOT = 10021;

// The plug-in's module handle.
HINSTANCE OstrelModule();
// Registers the templates under OstrelModule(); once.
void RegisterOstrelResources();

// Makes the plug-in's module the resource handle for its lifetime.
class COstrelResourceScope : public kestrun::camplugin::CPlugInResourceScope
{
public:
    COstrelResourceScope();
};

} // namespace kestrun::ostrel
