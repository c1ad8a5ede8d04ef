#pragma once
// Command ids of the table documents' menus.

#include "platform/core/types.h"

inline constexpr UINT ID_TABLE_SHOW_HISTOGRAM = 32847;  // "Show &Histogram" (object tables)
inline constexpr UINT ID_TABLE_EXPORT_ASCII = 32862;    // "&ASCII File"
inline constexpr UINT ID_TABLE_EXPORT_CSV = 32863;      // "&CSV File"
inline constexpr UINT ID_TABLE_EXPORT_EXCEL = 32864;    // "&Excel": the table goes to the script engine
inline constexpr UINT ID_TABLE_CONFIGURATION = 33012;   // "&Configuration": columns, drawing options, colours
inline constexpr UINT ID_TABLE_SHOW_WATERSHED = 33048;  // "&Show DIB Watershed " (object tables)
inline constexpr UINT ID_TABLE_SHOW_CHART = 33106;      // "Show C&hart"
