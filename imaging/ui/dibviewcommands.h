#pragma once
// Command ids of the image views' menus.

#include "platform/core/types.h"

// Objects of the bound result table.
inline constexpr UINT ID_OBJECT_ADD = 33028;         // "&Add Object"
inline constexpr UINT ID_OBJECT_DELETE = 33029;      // "&Delete Object"
inline constexpr UINT ID_OBJECT_SHOW = 33045;        // "&Show Objects"
inline constexpr UINT ID_OBJECT_EXCLUDE = 33072;     // "&Exclude Object"
inline constexpr UINT ID_OBJECT_INCLUDE = 33073;     // "&Include Object"
inline constexpr UINT ID_OBJECT_ADD_CUT = 33074;     // "Add &Cut"
inline constexpr UINT ID_OBJECT_DELETE_CUT = 33075;  // "Delete C&ut"
inline constexpr UINT ID_CANCEL_TOOL = 33114;        // Escape: ends the current tool

// Tools and tool windows of the extended view.
inline constexpr UINT ID_TOOL_THRESHOLDS = 40013;     // "&Thresholds"
inline constexpr UINT ID_TOOL_FORM_PARAMETER = 40014; // "&Form Parameter"
inline constexpr UINT ID_TOOL_CALIBRATION = 40015;    // "&Calibration"
inline constexpr UINT ID_TOOL_CLASS_DEFINITION = 40016; // "C&lass Definition"
inline constexpr UINT ID_TOOL_IMAGE_INTEGRATION = 40010; // "I&mage Integration"
inline constexpr UINT ID_TOOL_CHECK_ILLUMINATION = 40025; // "Check &Illumination"
inline constexpr UINT ID_AOI_FIRST = 45010;           // "&Rectangle" ... "&Save"
inline constexpr UINT ID_AOI_LAST = 45021;
inline constexpr UINT ID_VIEW_AOI_RECTANGLE = 45010;     // "&Rectangle"
inline constexpr UINT ID_VIEW_AOI_PARALLELOGRAM = 45011; // "&Parallelogram"
inline constexpr UINT ID_VIEW_AOI_ELLIPSE = 45012;       // "&Ellipse"
inline constexpr UINT ID_VIEW_AOI_RING = 45013;          // "R&ing"
inline constexpr UINT ID_VIEW_AOI_FREEHAND = 45014;      // "&Free Hand"
inline constexpr UINT ID_VIEW_AOI_EXTRA = 45015;         // "E&xtra ROI"
inline constexpr UINT ID_VIEW_AOI_DELETE = 45016; // "&Delete"
inline constexpr UINT ID_VIEW_AOI_MODIFY = 45017; // "&Modify"
inline constexpr UINT ID_VIEW_AOI_MATCH = 45018;  // "M&atch"
inline constexpr UINT ID_VIEW_AOI_LIST = 45019;   // "L&ist"
inline constexpr UINT ID_VIEW_AOI_LOAD = 45020;   // "L&oad"
inline constexpr UINT ID_VIEW_AOI_SAVE = 45021;   // "&Save"
inline constexpr UINT ID_TOOL_SCAN_CONTINUOUS = 45031; // "Sca&n Continuous"
inline constexpr UINT ID_TOOL_FOCUS = 45036;          // "&Focus"
inline constexpr UINT ID_TOOL_COUNT_MANUALLY = 45037; // "&Count Manually"
inline constexpr UINT ID_TOOL_DRAW_LINE = 45039;      // "Draw &Line"
inline constexpr UINT ID_VIEW_DIRECT = 45067;         // "&Direct View (1:1)"
inline constexpr UINT ID_VIEW_RULERS = 45068;         // "&Rulers"
inline constexpr UINT ID_VIEW_ZOOM = 45069;           // "&Zoom"
inline constexpr UINT ID_TOOL_RASTER = 45145;         // "R&aster"
inline constexpr UINT ID_TOOL_PATTERN_MATCHING = 45147; // "&Pattern Matching"
inline constexpr UINT ID_TOOL_LINE_PROFILE = 45148;   // "&Line Profile"
inline constexpr UINT ID_VIEW_MARK_COLOR = 45149;     // "&Color"
inline constexpr UINT ID_TOOL_PERSPECTIVE = 45150;    // "&Perspective Transformation"
inline constexpr UINT ID_TOOL_SEARCH_EDGE = 45152;    // "Search Edge"
inline constexpr UINT ID_VIEW_FONT = 57696;           // "&Font"

// String-table entries of the views.
inline constexpr UINT IDS_RESET_ZOOM = 57378;       // printed where the rulers cannot be drawn
inline constexpr UINT IDS_CLIPBOARD_FORMAT = 57392; // "Clipboard data with wrong format"
inline constexpr UINT IDS_CALIBRATION_LINE = 57382; // the calibration tool's prompt
