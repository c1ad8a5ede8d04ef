#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/infodlgresources.h"

#include "platform/core/messagebox.h"
#include "platform/ui/dialogtemplate.h"

#include <mutex>

namespace kestrun::analysisui {

namespace {

CDialogItem okButton(int x, int y)
{
    return DefPushButton("OK", IDOK, x, y, 50, 14);
}

CDialogItem cancelButton(int x, int y)
{
    return PushButton("Cancel", IDCANCEL, x, y, 50, 14);
}

CDialogItem slider(UINT id, int x, int y, int cx)
{
    return Slider(id, x, y, cx, 15, TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP);
}

void registerSliderDialogs()
{
    RegisterDialogTemplate(IDD_CONCUT, {"Conglomerate Cutting", CRect(0, 0, 220, 110),
                                        {
                                            GroupBox("Sensitivity", IDC_STATIC, 7, 7, 150, 35),
                                            slider(IDC_SLIDER1, 12, 19, 115),
                                            LText("", IDC_SLIDER1_VALUE, 132, 22, 20, 8),
                                            RadioButton("Off", IDC_RADIO1, 12, 50, 140, 10, WS_GROUP),
                                            RadioButton("Convex Defect Analysis", IDC_RADIO2, 12, 63, 140, 10),
                                            RadioButton("Watershed", IDC_RADIO3, 12, 76, 140, 10),
                                            okButton(163, 7),
                                            cancelButton(163, 24),
                                        }});
    RegisterDialogTemplate(IDD_SENSITIVITY, {"Sensitivity", CRect(0, 0, 220, 60),
                                             {
                                                 LText("", IDC_SENSITIVITY_TEXT, 7, 7, 150, 8),
                                                 slider(IDC_SLIDER1, 7, 19, 125),
                                                 LText("", IDC_SLIDER1_VALUE, 137, 22, 20, 8),
                                                 okButton(163, 7),
                                                 cancelButton(163, 24),
                                             }});
    RegisterDialogTemplate(IDD_CURVATURE, {"Curvature", CRect(0, 0, 240, 190),
                                           {
                                               GroupBox("Fit width", IDC_STATIC, 7, 7, 170, 35),
                                               slider(IDC_SLIDER1, 12, 19, 135),
                                               LText("", IDC_SLIDER1_VALUE, 152, 22, 20, 8),
                                               RadioButton("Isthmus", IDC_RADIO1, 12, 48, 60, 10, WS_GROUP),
                                               RadioButton("Corner", IDC_RADIO2, 80, 48, 60, 10),
                                               LText("Threshold low", IDC_STATIC, 12, 64, 60, 8, WS_GROUP),
                                               EditText(IDC_THRES_LOW, 80, 62, 50, 12),
                                               LText("Threshold high", IDC_STATIC, 12, 80, 60, 8),
                                               EditText(IDC_THRES_HIGH, 80, 78, 50, 12),
                                               GroupBox("Contour Segment Filter", IDC_STATIC, 7, 96, 170, 45),
                                               LText("Width", IDC_STATIC, 12, 110, 60, 8),
                                               EditText(IDC_SEGMENT_WIDTH, 80, 108, 50, 12),
                                               LText("Threshold", IDC_STATIC, 12, 125, 60, 8),
                                               EditText(IDC_SEGMENT_THRES, 80, 123, 50, 12),
                                               GroupBox("Line Fit", IDC_STATIC, 7, 146, 170, 30),
                                               LText("Width", IDC_STATIC, 12, 159, 60, 8),
                                               EditText(IDC_LINEFIT_WIDTH, 80, 157, 50, 12),
                                               okButton(183, 7),
                                               cancelButton(183, 24),
                                           }});
    RegisterDialogTemplate(IDD_CONVEX, {"Convex/Concave Analysis", CRect(0, 0, 240, 160),
                                        {
                                            GroupBox("Fit width", IDC_STATIC, 7, 7, 170, 32),
                                            slider(IDC_SLIDER1, 12, 18, 135),
                                            LText("", IDC_SLIDER1_VALUE, 152, 21, 20, 8),
                                            GroupBox("Convex Analysis Sensitivity", IDC_STATIC, 7, 42, 170, 32),
                                            slider(IDC_SLIDER2, 12, 53, 135),
                                            LText("", IDC_SLIDER2_VALUE, 152, 56, 20, 8),
                                            GroupBox("Concave Analysis Sensitivity", IDC_STATIC, 7, 77, 170, 32),
                                            slider(IDC_SLIDER3, 12, 88, 135),
                                            LText("", IDC_SLIDER3_VALUE, 152, 91, 20, 8),
                                            GroupBox("Ellipse Fit", IDC_STATIC, 7, 112, 170, 30),
                                            LText("Distance (Pixel)", IDC_STATIC, 12, 125, 60, 8),
                                            EditText(IDC_DISTANCE, 80, 123, 50, 12),
                                            okButton(183, 7),
                                            cancelButton(183, 24),
                                        }});
}

void registerChoiceDialogs()
{
    RegisterDialogTemplate(IDD_FILTER_SELECT,
                           {"Filter", CRect(0, 0, 260, 140),
                            {
                                LText("Selected Filters", IDC_STATIC, 7, 7, 90, 8),
                                ListBox(IDC_SELECTED_FILTERS, 7, 17, 90, 110, LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP),
                                PushButton("<<", IDC_ADD_FILTER, 102, 40, 35, 14),
                                PushButton(">>", IDC_REMOVE_FILTER, 102, 60, 35, 14),
                                LText("Available Filters", IDC_STATIC, 142, 7, 90, 8),
                                ListBox(IDC_AVAILABLE_FILTERS, 142, 17, 90, 110, LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP),
                                okButton(203, 100),
                                cancelButton(203, 118),
                            }});
    RegisterDialogTemplate(IDD_CHANNEL_CHOOSER,
                           {"Choose color channel", CRect(0, 0, 200, 100),
                            {
                                CheckBox("Red channel", IDC_CHANNEL_RED, 7, 7, 90, 10),
                                CheckBox("Green channel", IDC_CHANNEL_GREEN, 7, 20, 90, 10),
                                CheckBox("Blue Channel", IDC_CHANNEL_BLUE, 7, 33, 90, 10),
                                GroupBox("Weight of choosen color", IDC_STATIC, 7, 48, 120, 40),
                                RadioButton("1/2", IDC_WEIGHT_HALF, 12, 60, 50, 10, WS_GROUP),
                                RadioButton("1/3", IDC_WEIGHT_THIRD, 12, 73, 50, 10),
                                okButton(143, 7),
                                cancelButton(143, 24),
                            }});
    RegisterDialogTemplate(IDD_WATERSHED, {"Dialog", CRect(0, 0, 260, 200),
                                           {
                                               LText("", IDC_WATERSHED_FRAME, 7, 7, 190, 186, SS_BLACKFRAME),
                                               PushButton("Step", IDC_WATERSHED_STEP, 203, 44, 50, 14),
                                               PushButton("Peak", IDC_WATERSHED_PEAK, 203, 62, 50, 14),
                                               okButton(203, 7),
                                               cancelButton(203, 24),
                                           }});
}

void registerCalibrationDialog()
{
    RegisterDialogTemplate(IDD_CALIBRATION,
                           {"Calibration", CRect(0, 0, 260, 200),
                            {
                                LText("Reference length (Pixel)", IDC_STATIC, 7, 9, 90, 8),
                                EditText(IDC_REF_PIXELS, 100, 7, 60, 12),
                                LText("Reference length (Units)", IDC_STATIC, 7, 25, 90, 8),
                                EditText(IDC_REF_UNITS, 100, 23, 60, 12),
                                RadioButton("µm", IDC_UNIT_UM, 7, 42, 40, 10, WS_GROUP),
                                RadioButton("mm", IDC_UNIT_MM, 50, 42, 40, 10),
                                RadioButton("cm", IDC_UNIT_CM, 93, 42, 40, 10),
                                LText("Width [Units]", IDC_X_LABEL, 7, 61, 90, 8, WS_GROUP),
                                EditText(IDC_X_SIZE, 100, 59, 60, 12),
                                LText("Height (Units)", IDC_Y_LABEL, 7, 77, 90, 8),
                                EditText(IDC_Y_SIZE, 100, 75, 60, 12),
                                LText("Chamber Depth (Units)", IDC_Z_LABEL, 7, 93, 90, 8),
                                EditText(IDC_Z_SIZE, 100, 91, 60, 12),
                                LText("Reference Volume", IDC_STATIC, 7, 112, 90, 8),
                                LText("", IDC_REF_VOLUME, 100, 112, 90, 8),
                                LText("", IDC_UNIT_TEXT, 165, 9, 30, 8),
                                LText("", IDC_CONCENTRATION, 7, 128, 240, 8),
                                PushButton("Load", IDC_CAL_LOAD, 7, 150, 50, 14),
                                PushButton("Save", IDC_CAL_SAVE, 62, 150, 50, 14),
                                okButton(203, 7),
                                cancelButton(203, 24),
                            }});
}

void registerSettingsDialogs()
{
    RegisterDialogTemplate(IDD_FILTER_SETTINGS, {"Filter Settings", CRect(0, 0, 200, 110),
                                                 {
                                                     LText("Morphology Type:", IDC_STATIC, 7, 9, 70, 8),
                                                     ComboBox(IDC_MORPHOLOGY, 80, 7, 60, 80),
                                                     LText("Iterations:", IDC_STATIC, 7, 27, 70, 8),
                                                     EditText(IDC_ITERATIONS, 80, 25, 40, 12),
                                                     LText("Kernel Width:", IDC_STATIC, 7, 43, 70, 8),
                                                     EditText(IDC_KERNEL_WIDTH, 80, 41, 40, 12),
                                                     LText("Canny Threshold1:", IDC_STATIC, 7, 59, 70, 8),
                                                     EditText(IDC_CANNY1, 80, 57, 40, 12),
                                                     LText("Canny Threshold2:", IDC_STATIC, 7, 75, 70, 8),
                                                     EditText(IDC_CANNY2, 80, 73, 40, 12),
                                                     okButton(143, 7),
                                                 }});
    std::vector<CDialogItem> smooth{
        LText("", IDC_SMOOTH_BITMAP, 7, 7, 60, 60, SS_SUNKEN),
        CheckBox("Smooth", IDC_SMOOTH, 75, 7, 60, 10),
        LText("Grade", IDC_STATIC, 75, 22, 40, 8),
        LText("Max. Turns", IDC_STATIC, 120, 22, 40, 8),
    };
    for (int i = 0; i < 5; ++i) {
        smooth.push_back(EditText(IDC_SMOOTH_GRADE0 + i, 75, 32 + 15 * i, 40, 12));
        smooth.push_back(EditText(IDC_SMOOTH_TURNS0 + i, 120, 32 + 15 * i, 40, 12));
    }
    smooth.push_back(okButton(173, 7));
    smooth.push_back(cancelButton(173, 24));
    RegisterDialogTemplate(IDD_SMOOTH, {"Smooth Options", CRect(0, 0, 230, 115), std::move(smooth)});
}

void registerLimitDialogs()
{
    RegisterDialogTemplate(IDD_FPAR, {"Filter Dialog", CRect(0, 0, 220, 75),
                                      {
                                          GroupBox("Filter", IDC_STATIC, 7, 7, 150, 55),
                                          CheckBox("", IDC_LOWER_SWITCH, 12, 21, 80, 10),
                                          EditText(IDC_LOWER_LIMIT, 95, 19, 55, 12),
                                          CheckBox("", IDC_UPPER_SWITCH, 12, 40, 80, 10),
                                          EditText(IDC_UPPER_LIMIT, 95, 38, 55, 12),
                                          okButton(163, 7),
                                          PushButton("&Default", IDC_DEFAULT, 163, 24, 50, 14),
                                      }});
    RegisterDialogTemplate(IDD_FPARA_RGB, {"Filter Dialog", CRect(0, 0, 260, 80),
                                           {
                                               GroupBox("Filter", IDC_STATIC, 7, 7, 190, 62),
                                               CText("Red", IDC_STATIC, 95, 17, 30, 8),
                                               CText("Green", IDC_STATIC, 127, 17, 30, 8),
                                               CText("Blue", IDC_STATIC, 159, 17, 30, 8),
                                               CheckBox("", IDC_LOWER_SWITCH, 12, 30, 80, 10),
                                               EditText(IDC_LOWER_RED, 95, 28, 30, 12),
                                               EditText(IDC_LOWER_GREEN, 127, 28, 30, 12),
                                               EditText(IDC_LOWER_BLUE, 159, 28, 30, 12),
                                               CheckBox("", IDC_UPPER_SWITCH, 12, 48, 80, 10),
                                               EditText(IDC_UPPER_RED, 95, 46, 30, 12),
                                               EditText(IDC_UPPER_GREEN, 127, 46, 30, 12),
                                               EditText(IDC_UPPER_BLUE, 159, 46, 30, 12),
                                               okButton(203, 7),
                                               PushButton("&Default", IDC_DEFAULT, 203, 24, 50, 14),
                                           }});
}

void registerFormPages()
{
    RegisterDialogTemplate(IDD_FORM_OBJECT,
                           {"Object", CRect(0, 0, 360, 200),
                            {
                                ListControl(IDC_FORM_LIST, 7, 7, 346, 150, LVS_REPORT | LVS_SINGLESEL | WS_TABSTOP),
                                GroupBox("Exclude", IDC_STATIC, 7, 160, 100, 30),
                                CheckBox("Hit Boundary", IDC_HIT_BOUNDARY, 12, 173, 80, 10),
                                PushButton("&Default", IDC_DEFAULT, 193, 170, 50, 14),
                                PushButton("&Load", IDC_FORM_LOAD, 248, 170, 50, 14),
                                PushButton("&Save", IDC_FORM_SAVE, 303, 170, 50, 14),
                            }});
    const char* nucleus[] = {"Number of Nuclei", "Cell/Nuclei Area Ratio", "Area",
                             "Formfactor",       "Color (Avg.)",           "Homogenity:"};
    std::vector<CDialogItem> nucleusItems;
    for (int i = 0; i < 6; ++i) {
        nucleusItems.push_back(CheckBox(nucleus[i], IDC_NUCLEI + i, 12, 12 + 18 * i, 110, 10));
        nucleusItems.push_back(PushButton("- Filter -", IDC_NUCLEI_FILTER + i, 130, 10 + 18 * i, 50, 14));
    }
    RegisterDialogTemplate(IDD_FORM_NUCLEUS, {"Nucleus", CRect(0, 0, 360, 200), std::move(nucleusItems)});
    RegisterDialogTemplate(IDD_FORM_MODEL,
                           {"Parameter && Model", CRect(0, 0, 360, 200),
                            {
                                GroupBox("Object Parameter", IDC_STATIC, 7, 7, 170, 120),
                                CheckBox("Isthmus Points", IDC_ISTHMUS, 12, 20, 100, 10),
                                CheckBox("Convex Analysis", IDC_CONVEX, 12, 34, 100, 10),
                                CheckBox("Concave Analysis", IDC_CONCAVE, 12, 48, 100, 10),
                                CheckBox("Split Contour", IDC_SPLIT, 12, 62, 100, 10),
                                CheckBox("Merge Contour", IDC_MERGE, 12, 76, 100, 10),
                                CheckBox("Cluster", IDC_CLUSTER, 12, 90, 60, 10),
                                LText("Maximum Distance", IDC_STATIC, 12, 107, 70, 8),
                                EditText(IDC_MAX_DISTANCE, 85, 105, 40, 12),
                                GroupBox("Object Model", IDC_STATIC, 185, 7, 160, 90),
                                RadioButton("Contour", IDC_MODEL_CONTOUR, 190, 20, 100, 10, WS_GROUP),
                                RadioButton("Edge Object", IDC_MODEL_EDGE, 190, 34, 100, 10),
                                RadioButton("Ellipse", IDC_MODEL_ELLIPSE, 190, 48, 100, 10),
                                RadioButton("Skeleton", IDC_MODEL_SKELETON, 190, 62, 100, 10),
                                RadioButton("Contour Segment", IDC_MODEL_SEGMENT, 190, 76, 100, 10),
                            }});
}

void registerThresholdDialog()
{
    const char* rows[] = {"Red", "Green", "Blue"};
    const UINT lower[] = {IDC_THRES_LOWER_RED, IDC_THRES_LOWER_GREEN, IDC_THRES_LOWER_BLUE};
    const UINT upper[] = {IDC_THRES_UPPER_RED, IDC_THRES_UPPER_GREEN, IDC_THRES_UPPER_BLUE};
    std::vector<CDialogItem> items{
        GroupBox("Low Level", IDC_STATIC, 7, 7, 190, 62),
        GroupBox("High Level", IDC_STATIC, 7, 72, 190, 62),
    };
    for (int i = 0; i < 3; ++i) {
        items.push_back(LText(rows[i], IDC_STATIC, 12, 21 + 16 * i, 25, 8));
        items.push_back(slider(lower[i], 40, 18 + 16 * i, 125));
        items.push_back(LText("", lower[i] - 1, 170, 21 + 16 * i, 22, 8));
        items.push_back(LText(rows[i], IDC_STATIC, 12, 86 + 16 * i, 25, 8));
        items.push_back(slider(upper[i], 40, 83 + 16 * i, 125));
        items.push_back(LText("", upper[i] + 1, 170, 86 + 16 * i, 22, 8));
    }
    const std::vector<CDialogItem> rest{
        GroupBox("Object Appearance", IDC_STATIC, 7, 137, 190, 38),
        RadioButton("Dark", IDC_THRES_DARK, 12, 149, 40, 10, WS_GROUP),
        RadioButton("Bright", IDC_THRES_BRIGHT, 55, 149, 40, 10),
        RadioButton("Middle", IDC_THRES_MIDDLE, 100, 149, 40, 10),
        RadioButton("Dark/Bright", IDC_THRES_DARK_BRIGHT, 12, 161, 60, 10),
        PushButton("Default", IDC_DEFAULT, 203, 41, 60, 14),
        PushButton("Preview", IDC_THRES_PREVIEW, 203, 58, 60, 14),
        PushButton("Pseudo Live", IDC_THRES_PSEUDO_LIVE, 203, 75, 60, 14),
        PushButton("Learn Object", IDC_THRES_LEARN_OBJECT, 203, 92, 60, 14),
        PushButton("Learn Back", IDC_THRES_LEARN_BACK, 203, 109, 60, 14),
        PushButton("-><-", IDC_THRES_TIGHTEN, 203, 126, 28, 14),
        PushButton("<- ->", IDC_THRES_LOOSEN, 235, 126, 28, 14),
        PushButton("Automatic", IDC_THRES_AUTOMATIC, 203, 143, 60, 14),
        LText("Offset:", IDC_STATIC, 203, 162, 25, 8),
        EditText(IDC_THRES_OFFSET, 230, 160, 33, 12),
        PushButton("Expert", IDC_THRES_EXPERT, 203, 177, 60, 14),
        LText("Ready", IDC_THRES_STATUS, 7, 181, 190, 8, SS_SUNKEN),
        okButton(203, 7),
        cancelButton(203, 24),
    };
    items.insert(items.end(), rest.begin(), rest.end());
    RegisterDialogTemplate(IDD_THRESHOLDS, {"Thresholds", CRect(0, 0, 270, 196), std::move(items)});
    RegisterDialogTemplate(IDD_THRES_EXPERT, {"Threshold Expert Settings", CRect(0, 0, 200, 80),
                                              {
                                                  LText("Mark Col.:", IDC_STATIC, 7, 9, 40, 8),
                                                  LText("", IDC_THRES_MARK_VALUE, 50, 9, 25, 8),
                                                  PushButton("Mark", IDC_THRES_MARK, 80, 7, 50, 14),
                                                  PushButton("Load", IDC_THRES_LOAD, 7, 30, 50, 14),
                                                  PushButton("Save", IDC_THRES_SAVE, 62, 30, 50, 14),
                                                  CheckBox("Auto Threshold On", IDC_THRES_AUTO_ON, 7, 55, 100, 10),
                                                  okButton(143, 7),
                                                  cancelButton(143, 24),
                                              }});
}

} // namespace

void RegisterAnalysisDialogs()
{
    static std::once_flag once;
    std::call_once(once, [] {
        registerSliderDialogs();
        registerChoiceDialogs();
        registerCalibrationDialog();
        registerSettingsDialogs();
        registerLimitDialogs();
        registerFormPages();
        registerThresholdDialog();
        RegisterInfoDialogs();
    });
}

} // namespace kestrun::analysisui
