#pragma once
// Dialog templates of the database forms, registered on first use.
#include "platform/core/types.h"

namespace kestrun::dbui {

inline constexpr UINT IDD_CORRECTION = 206;
inline constexpr UINT IDD_DBSEARCHOPT = 237;
// The seven factor edits, 60 ml to 120 ml.
inline constexpr UINT IDC_FACTOR60 = 2124;
inline constexpr UINT IDC_BARCODE = 2336;

// The database form and its dialogs.
inline constexpr UINT IDD_DBFORM = 204;
inline constexpr UINT IDR_DBFORM_MENU = 26;
inline constexpr UINT IDD_NEUEMESSUNG = 209;
inline constexpr UINT IDD_REPORTPATH = 218;
inline constexpr UINT IDD_NEUEMESSDESCR = 228;

inline constexpr UINT IDC_AREA = 2102;
inline constexpr UINT IDC_COUNT = 2103;
inline constexpr UINT IDC_NEWCOUNT = 2104;
inline constexpr UINT IDC_COUNT_VALUE = 2105;
inline constexpr UINT IDC_MANUAL_COUNT = 2108;
inline constexpr UINT IDC_IMAGE_NAME = 2114;
inline constexpr UINT IDC_POSITION = 2117;
inline constexpr UINT IDC_CORRECTION = 2123;
inline constexpr UINT IDC_CORRECTION_FACTOR = 2129;
inline constexpr UINT IDC_FRAME_LIMIT = 2144;
inline constexpr UINT IDC_AREA_AND_COUNT = 2146;
inline constexpr UINT IDC_FILLLEVEL_COMBO = 2164;
inline constexpr UINT IDC_SERIES_NAME = 2182;
inline constexpr UINT IDC_DATETIME = 2184;
inline constexpr UINT IDC_TESTDAY = 2185;
inline constexpr UINT IDC_TESTDAY_SPIN = 2186;
inline constexpr UINT IDC_FILLLEVEL = 2187;
inline constexpr UINT IDC_VESSEL = 2188;
inline constexpr UINT IDC_SAVE_IMAGE = 2207;
inline constexpr UINT IDC_VESSEL_COMBO = 2226;
inline constexpr UINT IDC_LOGO = 2230;
inline constexpr UINT IDC_PROFILE = 2231;
inline constexpr UINT IDC_REPORT_PATH = 2232;
inline constexpr UINT IDC_REPORT_BROWSE = 2233;
inline constexpr UINT IDC_PICTURE = 2248;
inline constexpr UINT IDC_DESCRIPTION = 2267;
inline constexpr UINT IDC_RESULTS = 2269;

// The form's commands.
inline constexpr UINT ID_DB_NEW_RECORD = 45130;
inline constexpr UINT ID_DB_DELETE_RECORD = 45131;
inline constexpr UINT ID_DB_PRINT_REPORT = 45132;
inline constexpr UINT ID_DB_REPORT_TEMPLATE = 45133;
inline constexpr UINT ID_DB_LOAD_IMAGE = 45134;
inline constexpr UINT ID_DB_SAVE_IMAGE = 45135;
inline constexpr UINT ID_DB_SERIES = 45136;
inline constexpr UINT ID_DB_SAMPLES = 45137;
inline constexpr UINT ID_DB_DILUTION = 45138;
inline constexpr UINT ID_DB_SHOW_TABLE = 45139;
inline constexpr UINT ID_DB_INIT_VIDEO = 40000;

// The tray-scan form.
inline constexpr UINT IDD_DBFORMTRAYSCAN = 227;
inline constexpr UINT IDR_TRAYSCAN_MENU = 32;
inline constexpr UINT IDC_TS_BARCODE = 2115;
inline constexpr UINT IDC_TS_BATCH_SPIN = 2187;
inline constexpr UINT IDC_TS_LOGO = 2252;
inline constexpr UINT IDC_TS_BATCH = 2325;
inline constexpr UINT IDC_TS_SAVE_AOI = 2326;
inline constexpr UINT IDC_TS_COUNT_ALL = 2334;
inline constexpr UINT IDC_TS_USE_CURRENT_PROFILE = 2335;
inline constexpr UINT IDC_TS_PROFILE = 2341;
inline constexpr UINT IDC_TS_TRAY = 2343;
inline constexpr UINT ID_DB_IMPORT = 45140;
inline constexpr UINT ID_DB_SEARCH_RECORD = 45141;

// Said by the database forms when the database holds no series.
inline constexpr const char* kNoSeriesText =
    "No measurement row available - Please create one first (Menu Database - Measurement Rows).";

void RegisterDatabaseDialogs();
// The form's template and menu.
void RegisterDatabaseForm();
// The tray-scan form's template.
void RegisterTrayScanForm();

} // namespace kestrun::dbui
