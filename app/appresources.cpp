#include "app/appresources.h"

#include "app/resource.h"

#include "series/kestrundoc.h"
#include "series/ui/rgrview.h"

#include "platform/core/resources.h"
#include "platform/ui/commandicons.h"
#include "platform/ui/controlbar.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/menu.h"

namespace kestrun {

namespace {

void RegisterMenus()
{
    RegisterMenuResource(
        IDR_MAINFRAME,
        {
            Popup("&File", {MenuItem("&Open...\tCtrl+O", ID_FILE_OPEN), MenuItem("&Close", ID_FILE_CLOSE),
                            MenuItem("&Save\tCtrl+S", ID_FILE_SAVE), MenuItem("Save &As...", ID_FILE_SAVE_AS),
                            MenuSeparator(), MenuItem("&Print...\tCtrl+P", ID_FILE_PRINT),
                            MenuItem("P&rint Setup...", ID_FILE_PRINT_SETUP), MenuSeparator(),
                            MenuItem("&Paste As New Image", ID_PASTE_NEW_IMAGE), MenuSeparator(),
                            MenuItem("Recent File", ID_FILE_MRU_FILE1), MenuSeparator(),
                            MenuItem("E&xit", ID_APP_EXIT)}),
            Popup("&Measurement", {MenuItem("&New", ID_NEW_MEASUREMENT),
                                   MenuItem("Open &Database...", ID_OPEN_DATABASE), MenuItem("&Import", ID_IMPORT),
                                   MenuSeparator(), MenuItem("&First Record", ID_RECORD_FIRST),
                                   MenuItem("&Previous Record", ID_RECORD_PREV),
                                   MenuItem("&Next Record", ID_RECORD_NEXT), MenuItem("&Last Record", ID_RECORD_LAST)}),
            Popup("&Video", {MenuItem("&Init Video", ID_INIT_VIDEO), MenuItem("&Options", ID_VIDEO_OPTIONS),
                             MenuSeparator(), MenuItem("&Snapshot", ID_SNAPSHOT),
                             MenuItem("&Continuous Grabbing", ID_CONTINUOUS_GRABBING),
                             MenuItem("&Record Sequence", ID_RECORD_SEQUENCE),
                             MenuItem("I&mage Integration", ID_IMAGE_INTEGRATION), MenuSeparator(),
                             MenuItem("Input &1", ID_INPUT_CHANNEL_0), MenuItem("Input &2", ID_INPUT_CHANNEL_0 + 1),
                             MenuItem("Input &3", ID_INPUT_CHANNEL_0 + 2), MenuItem("Input &4", ID_INPUT_CHANNEL_3),
                             MenuSeparator(), MenuItem("Select Source...", ID_TWAIN_SELECT_SOURCE),
                             MenuItem("Acquire...", ID_TWAIN_ACQUIRE),
                             MenuItem("Automatic Image Input...", ID_AUTO_IMAGE_INPUT)}),
            Popup("&Analysis", {MenuItem("&Thresholds", ID_THRESHOLDS), MenuItem("&Form Parameter", ID_FORM_PARAMETER),
                                MenuItem("&Calibration", ID_CALIBRATION), MenuSeparator(),
                                MenuItem("Search &Objects", ID_SEARCH_OBJECTS),
                                MenuItem("&Pattern Matching", ID_PATTERN_MATCHING), MenuSeparator(),
                                MenuItem("C&urvature", ID_CURVATURE), MenuItem("&Convex/Concav", ID_CONVEX_CONCAVE),
                                MenuItem("C&onglomerate Cutting", ID_CONGLOMERATE_CUTTING)}),
            Popup("&ROI", {MenuItem("&Rectangle", ID_AOI_RECTANGLE), MenuItem("&Parallelogram", ID_AOI_PARALLELOGRAM),
                           MenuItem("&Ellipse", ID_AOI_ELLIPSE), MenuItem("&Free Hand", ID_AOI_FREEHAND),
                           MenuSeparator(), MenuItem("&Delete", ID_AOI_DELETE), MenuItem("&Modify", ID_AOI_MODIFY),
                           MenuItem("M&atch", ID_AOI_MATCH), MenuItem("L&ist", ID_AOI_LIST), MenuSeparator(), MenuItem("L&oad", ID_AOI_LOAD),
                           MenuItem("&Save", ID_AOI_SAVE)}),
            Popup("E&xport", {MenuItem("&ASCII File", ID_EXPORT_ASCII), MenuItem("&CSV File", ID_EXPORT_CSV),
                              MenuItem("&Excel", ID_EXPORT_EXCEL)}),
            Popup("&Hardware", {MenuItem("&Setup", ID_SENSOR_SETUP), MenuItem("&DeviceCtrl.  (LPT)", ID_DEVICE_CTRL),
                                MenuItem("&Hardware Select", ID_HARDWARE_SELECT), MenuItem("UW Scanner", ID_UW_SCANNER),
                                MenuItem("Scan &Chamber", ID_SCAN_CHAMBER)}),
            Popup("Ma&cro", {MenuItem("&Edit", ID_MACRO_EDIT), MenuItem("&Run", ID_MACRO_RUN)}),
            Popup("&System", {MenuItem("&Options", ID_SYSTEM_OPTIONS), MenuSeparator(),
                              MenuItem("&User Level ändern", ID_USER_LEVEL),
                              MenuItem("&Password ändern", ID_CHANGE_PASSWORD)}),
            Popup("V&iew", {MenuItem("&Toolbar", ID_VIEW_TOOLBAR), MenuItem("&Status Bar", ID_VIEW_STATUS_BAR),
                            MenuItem("&Database Toolbar", ID_DATABASE_TOOLBAR), MenuSeparator(),
                            MenuItem("&Direct View (1:1)", ID_DIRECT_VIEW), MenuItem("&Rulers", ID_RULERS),
                            MenuItem("&Zoom", ID_ZOOM), MenuSeparator(), MenuItem("&Extended View", ID_EXTENDED_VIEW)}),
            Popup("&Window", {MenuItem("&Cascade", ID_WINDOW_CASCADE), MenuItem("&Tile", ID_WINDOW_TILE_HORZ),
                              MenuItem("&Arrange Icons", ID_WINDOW_ARRANGE)}),
            Popup("&Help", {MenuItem("&Index", ID_HELP_INDEX), MenuItem("&Using Help", ID_HELP_USING),
                            MenuSeparator(), MenuItem("&About Application...", ID_APP_ABOUT)}),
        });
}

// The menu of the measurement windows (their template's resource).
void RegisterMeasurementMenu()
{
    RegisterMenuResource(
        IDR_KESTRUNTYPE,
        {
            Popup("&File", {MenuItem("&Open...\tCtrl+O", ID_FILE_OPEN), MenuItem("&Close", ID_FILE_CLOSE),
                            MenuItem("&Save\tCtrl+S", ID_FILE_SAVE), MenuItem("Save &As...", ID_FILE_SAVE_AS),
                            MenuSeparator(), MenuItem("&Print...\tCtrl+P", ID_FILE_PRINT),
                            MenuItem("Print Pre&view", ID_FILE_PRINT_PREVIEW),
                            MenuItem("P&rint Setup...", ID_FILE_PRINT_SETUP), MenuSeparator(),
                            MenuItem("Recent File", ID_FILE_MRU_FILE1), MenuSeparator(), MenuItem("E&xit", ID_APP_EXIT)}),
            Popup("&Edit", {MenuItem("&Copy\tCtrl+C", ID_EDIT_COPY)}),
            Popup("&Measurement", {MenuItem("&New", ID_NEW_MEASUREMENT), MenuSeparator(),
                                   MenuItem("&Options", ID_MEASUREMENT_OPTIONS),
                                   MenuItem("&Start", ID_MEASUREMENT_START), MenuItem("St&op", ID_MEASUREMENT_STOP),
                                   MenuSeparator(), MenuItem("&Graph", ID_MEASUREMENT_GRAPH),
                                   MenuItem("&Method", CRGRView::ID_RGR_METHOD), MenuSeparator(),
                                   MenuItem("&ASCII File", ID_MEASUREMENT_ASCII),
                                   MenuItem("&Show Table ", ID_MEASUREMENT_SHOW_TABLE),
                                   MenuItem("&Search Peaks", ID_MEASUREMENT_PEAKS), MenuSeparator(),
                                   MenuItem("Arrange &Windows", ID_MEASUREMENT_ARRANGE)}),
            Popup("V&iew", {MenuItem("&Toolbar", ID_VIEW_TOOLBAR), MenuItem("&Status Bar", ID_VIEW_STATUS_BAR),
                            MenuSeparator(), MenuItem("&Extended View", ID_EXTENDED_VIEW)}),
            Popup("&Window", {MenuItem("&Cascade", ID_WINDOW_CASCADE), MenuItem("&Tile", ID_WINDOW_TILE_HORZ),
                              MenuItem("&Arrange Icons", ID_WINDOW_ARRANGE)}),
            Popup("&Help", {MenuItem("&About Application...", ID_APP_ABOUT)}),
        });
}

void RegisterToolBars()
{
    RegisterToolBarResource(IDR_MAINTOOLBAR,
                            {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_SEPARATOR, ID_NEW_MEASUREMENT, ID_SEPARATOR,
                             ID_INIT_VIDEO, ID_SEPARATOR, ID_SEPARATOR, ID_SNAPSHOT, ID_CONTINUOUS_GRABBING,
                             ID_SEPARATOR, ID_RECORD_SEQUENCE, ID_SEPARATOR, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE,
                             ID_SEPARATOR, ID_AOI_RECTANGLE, ID_AOI_PARALLELOGRAM, ID_AOI_ELLIPSE, ID_AOI_FREEHAND,
                             ID_AOI_DELETE, ID_SEPARATOR, ID_AOI_MODIFY, ID_SEPARATOR, ID_FILE_PRINT, ID_CONTEXT_HELP,
                             ID_CONTEXT_HELP});
    RegisterToolBarResource(IDR_DBTOOLBAR,
                            {ID_RECORD_FIRST, ID_RECORD_PREV, ID_RECORD_NEXT, ID_RECORD_LAST, ID_SEPARATOR, ID_IMPORT});
}

// The pictures of the program's own tool-bar commands; the standard ones
// come with the window layer.
void RegisterCommandIcons()
{
    RegisterCommandIcon(ID_NEW_MEASUREMENT, "measurement-new");
    RegisterCommandIcon(ID_INIT_VIDEO, "video-init", "camera-video");
    RegisterCommandIcon(ID_SNAPSHOT, "snapshot", "camera-photo");
    RegisterCommandIcon(ID_CONTINUOUS_GRABBING, "grab-continuous");
    RegisterCommandIcon(ID_RECORD_SEQUENCE, "record-sequence", "media-record");
    RegisterCommandIcon(ID_AOI_RECTANGLE, "aoi-rectangle");
    RegisterCommandIcon(ID_AOI_PARALLELOGRAM, "aoi-parallelogram");
    RegisterCommandIcon(ID_AOI_ELLIPSE, "aoi-ellipse");
    RegisterCommandIcon(ID_AOI_FREEHAND, "aoi-freehand");
    RegisterCommandIcon(ID_AOI_DELETE, "aoi-delete");
    RegisterCommandIcon(ID_AOI_MODIFY, "aoi-modify");
    RegisterCommandIcon(ID_IMPORT, "import");
}

void RegisterDialogs()
{
    RegisterDialogTemplate(IDD_SAVE_PROFILE, {"Save Profile",
                                              {0, 0, 186, 62},
                                              {
                                                  LText("Save profile as:", IDC_STATIC, 7, 7, 120, 8),
                                                  EditText(IDC_PROFILE_NAME, 7, 18, 172, 14),
                                                  DefPushButton("OK", IDOK, 75, 41, 50, 14),
                                                  PushButton("Cancel", IDCANCEL, 129, 41, 50, 14),
                                              }});
    RegisterDialogTemplate(IDD_ABOUTBOX, {"About Kestrun",
                                          {0, 0, 200, 70},
                                          {
                                              LText("Kestrun", IDC_ABOUT_NAME, 12, 10, 176, 10),
                                              LText("", IDC_ABOUT_VERSION, 12, 24, 176, 8),
                                              LText("Image analysis for the laboratory", IDC_STATIC, 12, 36, 176, 8),
                                              DefPushButton("OK", IDOK, 143, 50, 50, 14),
                                          }});
    RegisterDialogTemplate(IDD_SYSTEM_SETTINGS,
                           {"System Settings",
                            {0, 0, 260, 150},
                            {
                                LText("Images:", IDC_STATIC, 7, 9, 40, 8),
                                EditText(IDC_IMAGE_FOLDER, 50, 7, 180, 14),
                                PushButton("...", IDC_BROWSE_IMAGES, 234, 7, 19, 14),
                                LText("Data:", IDC_STATIC, 7, 29, 40, 8),
                                EditText(IDC_DATA_FOLDER, 50, 27, 180, 14),
                                PushButton("...", IDC_BROWSE_DATA, 234, 27, 19, 14),
                                PushButton("&Load parameters...", IDC_LOAD_PARAMETERS, 7, 49, 90, 14),
                                GroupBox("Profiles", IDC_STATIC, 7, 70, 246, 50),
                                ComboBox(IDC_PROFILE_COMBO, 14, 84, 120, 100),
                                PushButton("&Save", IDC_PROFILE_SAVE, 142, 83, 50, 14),
                                PushButton("&Delete", IDC_PROFILE_DELETE, 196, 83, 50, 14),
                                DefPushButton("OK", IDOK, 203, 129, 50, 14),
                            }});
    // The two choices are picture buttons the dialog makes itself.
    RegisterDialogTemplate(IDD_SELECT_METHOD, {"Select Method",
                                               {0, 0, 150, 90},
                                               {
                                                   CText("AD Measurement", IDC_STATIC, 7, 52, 64, 8),
                                                   CText("Video Measurement", IDC_STATIC, 79, 52, 64, 8),
                                                   PushButton("Cancel", IDCANCEL, 50, 69, 50, 14),
                                               }});
    RegisterDialogTemplate(IDD_HARDWARE_SELECT,
                           {"Hardware Select",
                            {0, 0, 160, 80},
                            {
                                RadioButton("DCI14 Card", IDC_HARDWARE_TYPE, 14, 10, 120, 10, WS_GROUP),
                                RadioButton("Adlink Card", IDC_HARDWARE_TYPE + 1, 14, 24, 120, 10),
                                RadioButton("UDAS USB Device", IDC_HARDWARE_TYPE + 2, 14, 38, 120, 10),
                                DefPushButton("OK", IDOK, 103, 59, 50, 14),
                            }});
    RegisterDialogTemplate(static_cast<UINT>(IDD_UWSCANNER),
                           {"UW Scanner Control",
                            {0, 0, 200, 104},
                            {
                                LText("Scanner1:", IDC_STATIC, 7, 10, 40, 8),
                                RadioButton("MEASURE", IDC_SCANNER1_MEASURE, 52, 9, 60, 10, WS_GROUP),
                                RadioButton("INSITU", IDC_SCANNER1_INSITU, 116, 9, 60, 10),
                                LText("Scanner2:", IDC_STATIC, 7, 28, 40, 8),
                                RadioButton("MEASURE", IDC_SCANNER2_MEASURE, 52, 27, 60, 10, WS_GROUP),
                                RadioButton("INSITU", IDC_SCANNER2_INSITU, 116, 27, 60, 10),
                                LText("Scanner3:", IDC_STATIC, 7, 46, 40, 8),
                                RadioButton("MEASURE", IDC_SCANNER3_MEASURE, 52, 45, 60, 10, WS_GROUP),
                                RadioButton("INSITU", IDC_SCANNER3_INSITU, 116, 45, 60, 10),
                                PushButton("Video1", IDC_UWS_VIDEO1, 7, 64, 50, 14, WS_GROUP),
                                PushButton("Video2", IDC_UWS_VIDEO1 + 1, 61, 64, 50, 14),
                                PushButton("Video3", IDC_UWS_VIDEO3, 115, 64, 50, 14),
                                DefPushButton("OK", IDOK, 143, 83, 50, 14),
                            }});
    RegisterDialogTemplate(IDD_VIDEO_OPTIONS,
                           {"Video Options",
                            {0, 0, 250, 150},
                            {
                                LText("Frame rate (frames per second):", IDC_STATIC, 7, 9, 120, 8),
                                EditText(IDC_VIDEO_FRAME_RATE, 130, 7, 50, 12),
                                LText("Simulated camera, width x height:", IDC_STATIC, 7, 27, 120, 8),
                                EditText(IDC_VIDEO_WIDTH, 130, 25, 40, 12),
                                EditText(IDC_VIDEO_HEIGHT, 176, 25, 40, 12),
                                CheckBox("Chessboard for the camera calibration", IDC_VIDEO_CHESSBOARD, 7, 43, 200, 10),
                                LText("Image folder played back:", IDC_STATIC, 7, 61, 120, 8),
                                EditText(IDC_VIDEO_PLAYBACK_FOLDER, 7, 71, 236, 12),
                                LText("Video file played back:", IDC_STATIC, 7, 89, 120, 8),
                                EditText(IDC_VIDEO_FILE, 7, 99, 236, 12),
                                DefPushButton("OK", IDOK, 139, 129, 50, 14),
                                PushButton("Cancel", IDCANCEL, 193, 129, 50, 14),
                            }});
    RegisterDialogTemplate(IDD_CHANGE_USER, {"User Level",
                                             {0, 0, 186, 70},
                                             {
                                                 LText("User:", IDC_STATIC, 7, 9, 50, 8),
                                                 ComboBox(IDC_USER_LEVEL, 60, 7, 119, 60),
                                                 LText("Password:", IDC_STATIC, 7, 29, 50, 8),
                                                 EditText(IDC_PASSWORD, 60, 27, 119, 14, ES_AUTOHSCROLL | ES_PASSWORD),
                                                 DefPushButton("OK", IDOK, 75, 49, 50, 14),
                                                 PushButton("Cancel", IDCANCEL, 129, 49, 50, 14),
                                             }});
    RegisterDialogTemplate(IDD_CHANGE_PASSWORD,
                           {"Change Password",
                            {0, 0, 200, 106},
                            {
                                LText("User:", IDC_STATIC, 7, 9, 70, 8),
                                EditText(IDC_LEVEL_NAME, 80, 7, 113, 14, ES_AUTOHSCROLL | ES_READONLY),
                                LText("Old Password:", IDC_STATIC, 7, 27, 70, 8),
                                EditText(IDC_OLD_PASSWORD, 80, 25, 113, 14, ES_AUTOHSCROLL | ES_PASSWORD),
                                LText("New Password:", IDC_STATIC, 7, 45, 70, 8),
                                EditText(IDC_PASSWORD, 80, 43, 113, 14, ES_AUTOHSCROLL | ES_PASSWORD),
                                LText("Confirm Password:", IDC_STATIC, 7, 63, 70, 8),
                                EditText(IDC_CONFIRM_PASSWORD, 80, 61, 113, 14, ES_AUTOHSCROLL | ES_PASSWORD),
                                DefPushButton("OK", IDOK, 89, 85, 50, 14),
                                PushButton("Cancel", IDCANCEL, 143, 85, 50, 14),
                            }});
}

} // namespace

void RegisterAppStrings()
{
    static const bool registered = [] {
        AfxRegisterStrings({
            {IDR_MAINFRAME, "Halvorn - Numbrel"},
            {IDR_DATABASE, "\nDataBase\nHalvorn Document\nDataBase Files (*.mdb)\n.mdb\nHalvorn.Document\n"
                           "Halvorn Document"},
            {IDR_DIBDOCEX, "\n\nImage\nImage Files\n.bmp;.jpg;.jp2;.tif;.png;.pga;.pcx;.wmf;.jbg;.pgx\n"
                           "DIBDocEx.Document\nDIBDocEx Document"},
            {IDR_TRAYSCAN, "\nDataBase\nHalvorn Document\n\n\nHalvorn.Document\nHalvorn Document"},
            {IDR_TRAYFORM, "\nTray\nTray Document\n\n\nTray.Document\nTray Document"},
            {IDR_KESTRUNTYPE, "\nHalvorn\nHalvorn Document\nLine Chart Files (*.cht)\n.cht\n\n"},
            {IDR_DATATYPE, "\nData\nData\nData Files (*.xml)\n.xml\n\n"},
            {IDR_CHARTTYPE, "\nHalvorn\nHalvorn Document\nChart Files (*.cht)\n.cht\n\n"},
            {IDR_TEXTTYPE, "\nHalvorn\nText Document\nText Files (*.txt)\n.txt\n\n"},
            {IDS_COMBO_FONT, "MS Sans Serif"},
            {IDS_OLE_INIT_FAILED, "Error during OLE initialisation. Please check whether the correct versions of "
                                  "OLE libraries are installed."},
            {IDS_FAILED_TO_OPEN, "Cannot open %1"},
            {IDS_MSG_DATA_CHANGED, "DataChanged"},
            {IDS_MSG_DELETE_DOCUMENT, "DELETE_DOCUMENT"},
            {IDS_MSG_GRID_SELECTED, "GridSelected"},
            {IDS_MSG_GRID_DATA_CHANGED, "GridDataChanged"},
            {IDS_MSG_GRID_CLICKED, "GridClicked"},
            {IDS_MSG_HIT_OBJECT, "HIT_OBJECT"},
            {IDS_MSG_DELETE_INTERFACE, "DELETE_INTERFACE"},
            {IDS_MSG_PARAMETER_CHANGED, "PARAMETER_CHANGED"},
            {IDS_MSG_RUN_MACRO, "Message RunMacro "},
            {IDS_MSG_UPDATE, "Update"},
            {IDS_MSG_FILTER_CHANGED, "FILTER_CHANGED"},
            // Prompts and tool tips of the tool-bar buttons.
            {ID_NEW_MEASUREMENT, "Create a new measurement file\nNew measurement"},
            {ID_INIT_VIDEO, "Start live video\nInit video"},
            {ID_SNAPSHOT, "Grab one frame\nSnapshot"},
            {ID_CONTINUOUS_GRABBING, "Grab continuously\nContinuous grabbing"},
            {ID_RECORD_SEQUENCE, "Record a video sequence\nRecord sequence"},
            {ID_AOI_RECTANGLE, "Draw a rectangular area of interest\nRectangle"},
            {ID_AOI_PARALLELOGRAM, "Draw a parallelogram area of interest\nParallelogram"},
            {ID_AOI_ELLIPSE, "Draw an elliptic area of interest\nEllipse"},
            {ID_AOI_FREEHAND, "Draw a free-hand area of interest\nFree hand"},
            {ID_AOI_DELETE, "Delete the active area of interest\nDelete"},
            {ID_AOI_MODIFY, "Edit the areas of interest\nModify"},
            {ID_SEARCH_OBJECTS, "Count and measure objects\nSearch objects"},
            {ID_AOI_MATCH, "Match gray values in the active ROI\nMatch"},
            {ID_PATTERN_MATCHING, "Start pattern matching\nPattern matching"},
            {ID_IMPORT, "Import the results of a tray scan into the database\nImport"},
        });
        return true;
    }();
    (void)registered;
}

void RegisterAppResources()
{
    static const bool registered = [] {
        RegisterAppStrings();
        RegisterMenus();
        RegisterMeasurementMenu();
        RegisterToolBars();
        RegisterCommandIcons();
        RegisterDialogs();
        return true;
    }();
    (void)registered;
}

} // namespace kestrun
