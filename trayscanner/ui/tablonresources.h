#pragma once
// The library's resources: control ids and the dialog templates, kept under
// the library's own resource module so that ids the program also uses
// (102, 10004) find the library's layouts while the program has switched
// to the library.

#include "platform/core/types.h"

namespace kestrun::tablon {

inline constexpr UINT IDD_TRAYVO_CONTROL = 102;
inline constexpr UINT IDD_ADVANCED_SETTINGS = 4004;
inline constexpr UINT IDD_SAVE_PROFILE = 10004;

inline constexpr UINT IDC_WHITE = 1001;
inline constexpr UINT IDC_POSITION = 1003;
inline constexpr UINT IDC_GREEN = 1005;
inline constexpr UINT IDC_BACKLIGHT = 1007;
inline constexpr UINT IDC_ARROW_UP = 1013;
inline constexpr UINT IDC_ARROW_DOWN = 1014;
inline constexpr UINT IDC_STATUS = 1015;
inline constexpr UINT IDC_END_POSITION = 1020;
inline constexpr UINT IDC_WHITE_SLIDER = 1049;
inline constexpr UINT IDC_BACKLIGHT_SLIDER = 1050;
inline constexpr UINT IDC_GREEN_SLIDER = 1051;
inline constexpr UINT IDC_STOP_CAMERA = 2073;
inline constexpr UINT IDC_POSITION_MM = 4016;
inline constexpr UINT IDC_ADVANCED = 4021;
inline constexpr UINT IDC_DOOR_OPEN = 4022;
inline constexpr UINT IDC_DOOR_CLOSE = 4023;
inline constexpr UINT IDC_DOOR_STOP = 4027;
inline constexpr UINT IDC_PROFILES = 10013;
inline constexpr UINT IDC_SAVE_PROFILE = 10014;
inline constexpr UINT IDC_DELETE_PROFILE = 10015;
inline constexpr UINT IDC_PROFILE_NAME = 10016;

inline constexpr UINT IDC_HOMING = 4012;
inline constexpr UINT IDC_LOW_SET = 4013;
inline constexpr UINT IDC_LOW_RESET = 4014;
inline constexpr UINT IDC_CAMERA_RESET = 4017;
inline constexpr UINT IDC_LEAVE_DOOR_OPEN = 4028;
inline constexpr UINT IDC_UNLOCK = 4029;

// The library's module handle: what the program makes the resource handle
// around the control dialog.
HINSTANCE TablonModule();
// Registers the templates under TablonModule(); once.
void RegisterTablonResources();

} // namespace kestrun::tablon
