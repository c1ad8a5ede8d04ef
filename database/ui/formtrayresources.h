#pragma once
// The tray form's layout and control ids, registered on first use.
#include "platform/core/types.h"

namespace kestrun::trayform {

inline constexpr UINT IDD_FORMTRAY = 233;
inline constexpr UINT IDC_TRAY_PICTURE = 2248;
inline constexpr UINT IDC_TRAY_MEASURE = 2278;
inline constexpr UINT IDC_TRAY_BARCODE = 2316;
inline constexpr UINT IDC_TRAY_TITLE = 2317;
inline constexpr UINT IDC_TRAY_PROFILE = 2324;
inline constexpr UINT IDC_TRAY_BATCH = 2325;
inline constexpr UINT IDC_TRAY_SAVE_PROFILE = 2326;
inline constexpr UINT IDC_TRAY_TYPE = 2331;
// Commands the form takes from the main window.
inline constexpr UINT ID_TRAY_INIT_VIDEO = 40000;
inline constexpr UINT ID_TRAY_SNAPSHOT = 40002;

void RegisterTrayForm();

} // namespace kestrun::trayform
