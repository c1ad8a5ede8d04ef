#pragma once
// Template and control ids of the analysis parameter dialogs, and the one
// call that registers their layouts.

#include "platform/ui/windefs.h"

namespace kestrun::analysisui {

// Dialog templates
enum : UINT
{
    IDD_CONCUT = 403,
    IDD_SENSITIVITY = 404,
    IDD_CURVATURE = 405,
    IDD_CONVEX = 406,
    IDD_FILTER_SELECT = 407,
    IDD_CHANNEL_CHOOSER = 408,
    IDD_CALIBRATION = 409,
    IDD_WATERSHED = 410,
    IDD_FPARA_RGB = 411,
    IDD_SMOOTH = 412,
    IDD_FPAR = 414,
    IDD_FORM_OBJECT = 431,
    IDD_FORM_NUCLEUS = 432,
    IDD_FORM_MODEL = 433,
    IDD_THRESHOLDS = 422,
    IDD_THRES_EXPERT = 475,
    IDD_FILTER_SETTINGS = 463,
};

// Controls
enum : UINT
{
    // slider dialogs
    IDC_SLIDER1 = 2801,
    IDC_SLIDER2 = 2802,
    IDC_SLIDER3 = 2803,
    IDC_SLIDER1_VALUE = 2804,
    IDC_SLIDER2_VALUE = 2805,
    IDC_SLIDER3_VALUE = 2806,
    IDC_RADIO1 = 2807, // first button of the dialog's radio group
    IDC_RADIO2 = 2808,
    IDC_RADIO3 = 2809,
    IDC_THRES_LOW = 2810,
    IDC_THRES_HIGH = 2811,
    IDC_SEGMENT_WIDTH = 2812,
    IDC_SEGMENT_THRES = 2813,
    IDC_LINEFIT_WIDTH = 2814,
    IDC_DISTANCE = 2815,
    IDC_SENSITIVITY_TEXT = 2816,
    // filter selection
    IDC_SELECTED_FILTERS = 2820,
    IDC_AVAILABLE_FILTERS = 2821,
    IDC_ADD_FILTER = 2822,
    IDC_REMOVE_FILTER = 2823,
    // channel chooser
    IDC_CHANNEL_RED = 2830,
    IDC_CHANNEL_GREEN = 2831,
    IDC_CHANNEL_BLUE = 2832,
    IDC_WEIGHT_HALF = 2833,
    IDC_WEIGHT_THIRD = 2834,
    // calibration
    IDC_REF_PIXELS = 2840,
    IDC_REF_UNITS = 2841,
    IDC_UNIT_UM = 2842,
    IDC_UNIT_MM = 2843,
    IDC_UNIT_CM = 2844,
    IDC_X_SIZE = 2845,
    IDC_Y_SIZE = 2846,
    IDC_Z_SIZE = 2847,
    IDC_X_LABEL = 2848,
    IDC_Y_LABEL = 2849,
    IDC_Z_LABEL = 2850,
    IDC_REF_VOLUME = 2851,
    IDC_UNIT_TEXT = 2852,
    IDC_CONCENTRATION = 2853,
    IDC_CAL_LOAD = 2854,
    IDC_CAL_SAVE = 2855,
    // watershed
    IDC_WATERSHED_FRAME = 2860,
    IDC_WATERSHED_STEP = 2861,
    IDC_WATERSHED_PEAK = 2862,
    // smoothing
    IDC_SMOOTH_BITMAP = 2526,
    IDC_SMOOTH = 2512,
    IDC_SMOOTH_GRADE0 = 2516, // ... 2520
    IDC_SMOOTH_TURNS0 = 2521, // ... 2525
    // filter limit dialogs
    IDC_LOWER_SWITCH = 2530,
    IDC_UPPER_SWITCH = 2531,
    IDC_LOWER_LIMIT = 2532,
    IDC_UPPER_LIMIT = 2533,
    IDC_UPPER_GREEN = 2534,
    IDC_UPPER_BLUE = 2535,
    IDC_LOWER_RED = 2551,
    IDC_LOWER_GREEN = 2552,
    IDC_LOWER_BLUE = 2553,
    IDC_UPPER_RED = 2554,
    IDC_DEFAULT = 2610,
    // filter settings
    IDC_KERNEL_WIDTH = 2909,
    IDC_ITERATIONS = 2910,
    IDC_CANNY1 = 2912,
    IDC_CANNY2 = 2914,
    IDC_MORPHOLOGY = 3001,
    // form pages
    IDC_FORM_LIST = 2600,
    IDC_HIT_BOUNDARY = 2624,
    IDC_FORM_LOAD = 2675,
    IDC_FORM_SAVE = 2676,
    IDC_NUCLEI = 2650,       // check boxes 2650 ... 2655
    IDC_NUCLEI_FILTER = 2656, // their buttons 2656 ... 2661
    IDC_ISTHMUS = 2669,
    IDC_CONVEX = 2666,
    IDC_CONCAVE = 2667,
    IDC_SPLIT = 2668,
    IDC_MERGE = 2670,
    IDC_CLUSTER = 2978,
    IDC_MAX_DISTANCE = 2979,
    IDC_MODEL_CONTOUR = 2710,
    IDC_MODEL_ELLIPSE = 2711,
    IDC_MODEL_EDGE = 2712,
    IDC_MODEL_SKELETON = 2713,
    IDC_MODEL_SEGMENT = 2714,
    // thresholds: lower red, green, blue, then upper; each slider's value
    // shows in the label one below it
    IDC_THRES_LOWER_RED = 2612,
    IDC_THRES_LOWER_GREEN = 2614,
    IDC_THRES_LOWER_BLUE = 2616,
    IDC_THRES_UPPER_RED = 2617,
    IDC_THRES_UPPER_GREEN = 2619,
    IDC_THRES_UPPER_BLUE = 2621,
    IDC_THRES_DARK = 2724, // mode 0
    IDC_THRES_BRIGHT = 2725,
    IDC_THRES_MIDDLE = 2727,
    IDC_THRES_DARK_BRIGHT = 2728,
    IDC_THRES_PREVIEW = 2623,
    IDC_THRES_PSEUDO_LIVE = 2858,
    IDC_THRES_LEARN_OBJECT = 2625,
    IDC_THRES_LEARN_BACK = 2903,
    IDC_THRES_TIGHTEN = 2900,
    IDC_THRES_LOOSEN = 2901,
    IDC_THRES_AUTOMATIC = 2982,
    IDC_THRES_OFFSET = 2999,
    IDC_THRES_STATUS = 2723,
    IDC_THRES_EXPERT = 3000,
    // threshold expert settings
    IDC_THRES_MARK_VALUE = 2720,
    IDC_THRES_MARK = 2927,
    IDC_THRES_LOAD = 2673,
    IDC_THRES_SAVE = 2674,
    IDC_THRES_AUTO_ON = 2402,
};

// Registers the layouts of every dialog above once.
void RegisterAnalysisDialogs();

} // namespace kestrun::analysisui
