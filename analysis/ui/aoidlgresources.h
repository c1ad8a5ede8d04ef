#pragma once
// Template and control ids of the area-of-interest dialogs, and the call
// that registers their layouts.

#include "platform/ui/windefs.h"

namespace kestrun::analysisui {

enum : UINT
{
    IDD_AOI = 441,
    IDD_AOI_LIST = 443,
};

enum : UINT
{
    // area dialog
    IDC_AOI_RIGHT = 2536,
    IDC_AOI_LEFT = 2537,
    IDC_AOI_DOWN = 2538,
    IDC_AOI_ADD = 2541,
    IDC_AOI_UP = 2544,
    IDC_AOI_X = 2755,
    IDC_AOI_Y = 2756,
    IDC_AOI_WIDTH = 2757,
    IDC_AOI_HEIGHT = 2758,
    IDC_AOI_MODIFY = 2759,
    IDC_AOI_ANGLE = 2760,
    IDC_AOI_COLOR = 2761,
    IDC_AOI_RING_WIDTH = 2784,
    IDC_AOI_RASTER_X = 2785,
    IDC_AOI_RASTER_Y = 2786,
    IDC_AOI_BORDER = 2787,
    IDC_AOI_SWATCH = 2820,
    IDC_AOI_SELECT_ACTIVE = 2830,
    IDC_AOI_SELECT_ALL = 2831,
    // area list
    IDC_AOI_LIST_DELETE = 2542,
    IDC_AOI_LIST = 2986,
    IDC_AOI_LIST_EXPORT = 2993,
};

void RegisterAOIDialogs();

} // namespace kestrun::analysisui
