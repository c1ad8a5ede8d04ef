#pragma once
// Resource and command ids of the program: frames, templates, menus, tool
// bars, dialogs, strings and the commands of the application and the main
// window. The standard ids of the window layer (ID_FILE_OPEN, ...) come
// from platform/ui/windefs.h.

#include "platform/ui/windefs.h"

// ---- resources -----------------------------------------------------------------------
// The main window's title, menu and frame.
inline constexpr UINT IDR_MAINFRAME = 20;
inline constexpr UINT IDR_DBTOOLBAR = 22;
inline constexpr UINT IDR_MAINTOOLBAR = 23;
// Document strings of the templates.
inline constexpr UINT IDR_DATABASE = 26;
inline constexpr UINT IDR_DIBDOCEX = 27;
inline constexpr UINT IDR_TRAYFORM = 31;
inline constexpr UINT IDR_TRAYSCAN = 32;
inline constexpr UINT IDR_KESTRUNTYPE = 40;
inline constexpr UINT IDR_DATATYPE = 42;
inline constexpr UINT IDR_CHARTTYPE = 43;
inline constexpr UINT IDR_TEXTTYPE = 45;

inline constexpr UINT IDD_SAVE_PROFILE = 469;
inline constexpr UINT IDC_PROFILE_NAME = 2959;

inline constexpr UINT IDD_CHANGE_USER = 217;
inline constexpr UINT IDD_CHANGE_PASSWORD = 219;
inline constexpr UINT IDC_USER_LEVEL = 2228;
inline constexpr UINT IDC_PASSWORD = 2229; // the new password in the password dialog
inline constexpr UINT IDC_LEVEL_NAME = 2075;
inline constexpr UINT IDC_CONFIRM_PASSWORD = 2076;
inline constexpr UINT IDC_OLD_PASSWORD = 2077;

inline constexpr UINT IDD_ABOUTBOX = 200;
inline constexpr UINT IDC_ABOUT_NAME = 1000;
inline constexpr UINT IDC_ABOUT_VERSION = 1001;

inline constexpr UINT IDD_SYSTEM_SETTINGS = 208;
inline constexpr UINT IDC_IMAGE_FOLDER = 2143;
inline constexpr UINT IDC_DATA_FOLDER = 2145;
inline constexpr UINT IDC_BROWSE_IMAGES = 2234;
inline constexpr UINT IDC_BROWSE_DATA = 2235;
inline constexpr UINT IDC_PROFILE_COMBO = 2341;
inline constexpr UINT IDC_PROFILE_SAVE = 2342;
inline constexpr UINT IDC_PROFILE_DELETE = 2344;
inline constexpr UINT IDC_LOAD_PARAMETERS = 2675;

inline constexpr UINT IDD_SELECT_METHOD = 201;
inline constexpr UINT IDC_MEASURE_AD = 2048;
inline constexpr UINT IDC_MEASURE_BV = 2049;

inline constexpr UINT IDD_HARDWARE_SELECT = 216;
inline constexpr UINT IDC_HARDWARE_TYPE = 2224; // the first of three radio buttons

// The lid-scanner dialog: a MEASURE/INSITU pair per scanner, then the video
// buttons.
inline constexpr UINT IDC_SCANNER1_MEASURE = 2236;
inline constexpr UINT IDC_SCANNER1_INSITU = 2237;
inline constexpr UINT IDC_SCANNER2_MEASURE = 2238;
inline constexpr UINT IDC_SCANNER2_INSITU = 2239;
inline constexpr UINT IDC_SCANNER3_MEASURE = 2240;
inline constexpr UINT IDC_SCANNER3_INSITU = 2241;
inline constexpr UINT IDC_UWS_VIDEO1 = 2242;
inline constexpr UINT IDC_UWS_VIDEO3 = 2244;
inline constexpr UINT IDD_VIDEO_OPTIONS = 240;
inline constexpr UINT IDC_VIDEO_FRAME_RATE = 2960;
inline constexpr UINT IDC_VIDEO_WIDTH = 2961;
inline constexpr UINT IDC_VIDEO_HEIGHT = 2962;
inline constexpr UINT IDC_VIDEO_CHESSBOARD = 2963;
inline constexpr UINT IDC_VIDEO_PLAYBACK_FOLDER = 2964;
inline constexpr UINT IDC_VIDEO_FILE = 2965;

// ---- strings -------------------------------------------------------------------------
inline constexpr UINT IDS_COMBO_FONT = 33;
inline constexpr UINT IDS_OLE_INIT_FAILED = 100;
inline constexpr UINT IDS_FAILED_TO_OPEN = 60001;
inline constexpr UINT IDS_MSG_DATA_CHANGED = 57361;
inline constexpr UINT IDS_MSG_DELETE_DOCUMENT = 57362;
inline constexpr UINT IDS_MSG_GRID_SELECTED = 57364;
inline constexpr UINT IDS_MSG_GRID_DATA_CHANGED = 57365;
inline constexpr UINT IDS_MSG_GRID_CLICKED = 57366;
inline constexpr UINT IDS_MSG_HIT_OBJECT = 57367;
inline constexpr UINT IDS_MSG_DELETE_INTERFACE = 57368;
inline constexpr UINT IDS_MSG_PARAMETER_CHANGED = 57370;
inline constexpr UINT IDS_MSG_RUN_MACRO = 57371;
inline constexpr UINT IDS_MSG_UPDATE = 57374;
inline constexpr UINT IDS_MSG_FILTER_CHANGED = 57383;

// ---- controls of the main window ------------------------------------------------------
inline constexpr UINT IDC_VIDEO_SOURCE = 34;
inline constexpr UINT IDC_TOOLBAR_COMBO2 = 35;
inline constexpr UINT IDW_DBTOOLBAR = 0xE905;

// ---- application commands -------------------------------------------------------------
inline constexpr UINT ID_NEW_MEASUREMENT = 32831;
inline constexpr UINT ID_OPEN_DATABASE = 45087;
inline constexpr UINT ID_PASTE_NEW_IMAGE = 45088;
inline constexpr UINT ID_INIT_VIDEO = 40000;
inline constexpr UINT ID_VIDEO_OPTIONS = 40001;
inline constexpr UINT ID_SNAPSHOT = 40002;
inline constexpr UINT ID_CONTINUOUS_GRABBING = 40003;
inline constexpr UINT ID_RECORD_SEQUENCE = 40004;
inline constexpr UINT ID_CURVATURE = 40021;
inline constexpr UINT ID_CONVEX_CONCAVE = 40022;
inline constexpr UINT ID_CONGLOMERATE_CUTTING = 40023;
inline constexpr UINT ID_SENSOR_SETUP = 33101;
inline constexpr UINT ID_DEVICE_CTRL = 33102;
inline constexpr UINT ID_HARDWARE_SELECT = 33103;
inline constexpr UINT ID_UW_SCANNER = 33104;
inline constexpr UINT ID_SCAN_CHAMBER = 45143;
inline constexpr UINT ID_SYSTEM_OPTIONS = 45144;
inline constexpr UINT ID_USER_LEVEL = 33062;
inline constexpr UINT ID_CHANGE_PASSWORD = 33060;
inline constexpr UINT ID_IMPORT = 45156;

// ---- main-window commands --------------------------------------------------------------
inline constexpr UINT ID_INPUT_CHANNEL_0 = 45070;
inline constexpr UINT ID_INPUT_CHANNEL_3 = 45073;
inline constexpr UINT ID_EXTENDED_VIEW = 33040;
inline constexpr UINT ID_MACRO_EDIT = 33036;
inline constexpr UINT ID_MACRO_RUN = 33037;
inline constexpr UINT ID_DATABASE_TOOLBAR = 45114;
inline constexpr UINT ID_TWAIN_SELECT_SOURCE = 32824;
inline constexpr UINT ID_TWAIN_ACQUIRE = 32825;
inline constexpr UINT ID_AUTO_IMAGE_INPUT = 45146;
inline constexpr UINT ID_DB_COMMAND_FIRST = 45130;
inline constexpr UINT ID_DB_COMMAND_LAST = 45141;
inline constexpr UINT ID_IMAGE_INTEGRATION = 40010;
inline constexpr UINT ID_ANALYSIS_FIRST = 40013;
inline constexpr UINT ID_ANALYSIS_LAST = 40026;
inline constexpr UINT ID_IMAGE_COMMAND_FIRST = 45010;
inline constexpr UINT ID_IMAGE_COMMAND_LAST = 45066;
inline constexpr UINT ID_VIEW_COMMAND_FIRST = 45067;
inline constexpr UINT ID_VIEW_COMMAND_LAST = 45069;
inline constexpr UINT ID_EXPORT_FIRST = 32862;
inline constexpr UINT ID_EXPORT_LAST = 32864;

// Commands of other windows that the menus and tool bars name.
inline constexpr UINT ID_AOI_RECTANGLE = 45010;
inline constexpr UINT ID_AOI_PARALLELOGRAM = 45011;
inline constexpr UINT ID_AOI_ELLIPSE = 45012;
inline constexpr UINT ID_AOI_FREEHAND = 45014;
inline constexpr UINT ID_AOI_DELETE = 45016;
inline constexpr UINT ID_AOI_MODIFY = 45017;
inline constexpr UINT ID_AOI_MATCH = 45018;
inline constexpr UINT ID_AOI_LIST = 45019;
inline constexpr UINT ID_AOI_LOAD = 45020;
inline constexpr UINT ID_AOI_SAVE = 45021;
inline constexpr UINT ID_SEARCH_OBJECTS = 45032;
inline constexpr UINT ID_PATTERN_MATCHING = 45147;
inline constexpr UINT ID_THRESHOLDS = 40013;
inline constexpr UINT ID_FORM_PARAMETER = 40014;
inline constexpr UINT ID_CALIBRATION = 40015;
inline constexpr UINT ID_DIRECT_VIEW = 45067;
inline constexpr UINT ID_RULERS = 45068;
inline constexpr UINT ID_ZOOM = 45069;
inline constexpr UINT ID_EXPORT_ASCII = 32862;
inline constexpr UINT ID_EXPORT_CSV = 32863;
inline constexpr UINT ID_EXPORT_EXCEL = 32864;
// The database form's "new record and count" and the tray form's run.
inline constexpr UINT ID_DB_NEW_RECORD_AND_COUNT = 2104;
inline constexpr UINT ID_TRAY_RUN = 2278;

// The lid-scanner dialog tells its parent that it is gone.
inline constexpr UINT WM_UWSCANNER_GONE = WM_USER + 5;
inline constexpr LPARAM IDD_UWSCANNER = 125;
