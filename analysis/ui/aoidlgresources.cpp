#include "analysis/ui/aoidlgresources.h"

#include "platform/core/messagebox.h"
#include "platform/ui/dialogtemplate.h"

#include <mutex>

namespace kestrun::analysisui {

namespace {

void registerAOIDialog()
{
    RegisterDialogTemplate(
        IDD_AOI, {"Region of Interest (ROI) Control",
                  CRect(0, 0, 250, 150),
                  {
                      GroupBox("Change Position", IDC_STATIC, 7, 5, 70, 62),
                      PushButton("Up", IDC_AOI_UP, 30, 15, 24, 14),
                      PushButton("L", IDC_AOI_LEFT, 12, 31, 20, 14),
                      PushButton("R", IDC_AOI_RIGHT, 52, 31, 20, 14),
                      PushButton("D", IDC_AOI_DOWN, 30, 47, 24, 14),
                      LText("Position: (x:)", IDC_STATIC, 85, 9, 50, 8),
                      EditText(IDC_AOI_X, 137, 7, 35, 12),
                      LText("(y:)", IDC_STATIC, 176, 9, 15, 8),
                      EditText(IDC_AOI_Y, 193, 7, 35, 12),
                      LText("Size width:", IDC_STATIC, 85, 25, 50, 8),
                      EditText(IDC_AOI_WIDTH, 137, 23, 35, 12),
                      LText("height:", IDC_STATIC, 176, 25, 25, 8),
                      EditText(IDC_AOI_HEIGHT, 203, 23, 35, 12),
                      LText("Angle:", IDC_STATIC, 85, 41, 50, 8),
                      EditText(IDC_AOI_ANGLE, 137, 39, 35, 12),
                      LText("Width:", IDC_STATIC, 176, 41, 25, 8),
                      EditText(IDC_AOI_RING_WIDTH, 203, 39, 35, 12),
                      LText("Raster:  (x:)", IDC_STATIC, 85, 57, 50, 8),
                      EditText(IDC_AOI_RASTER_X, 137, 55, 35, 12),
                      LText("(y:)", IDC_STATIC, 176, 57, 15, 8),
                      EditText(IDC_AOI_RASTER_Y, 193, 55, 35, 12),
                      LText("Border:", IDC_STATIC, 85, 73, 50, 8),
                      EditText(IDC_AOI_BORDER, 137, 71, 35, 12),
                      LText("Color:", IDC_STATIC, 7, 78, 25, 8),
                      PushButton("", IDC_AOI_SWATCH, 35, 75, 20, 14, BS_OWNERDRAW),
                      PushButton("Color", IDC_AOI_COLOR, 7, 95, 50, 14),
                      RadioButton("Select Active", IDC_AOI_SELECT_ACTIVE, 85, 92, 70, 10, WS_GROUP),
                      RadioButton("Select All", IDC_AOI_SELECT_ALL, 160, 92, 70, 10),
                      PushButton("Modify", IDC_AOI_MODIFY, 7, 129, 50, 14),
                      PushButton("Add", IDC_AOI_ADD, 62, 129, 50, 14),
                      DefPushButton("OK", IDOK, 193, 129, 50, 14),
                  }});
}

void registerAOIListDialog()
{
    RegisterDialogTemplate(IDD_AOI_LIST, {"ROI List",
                                          CRect(0, 0, 420, 200),
                                          {
                                              ListControl(IDC_AOI_LIST, 7, 7, 406, 165,
                                                          LVS_REPORT | LVS_SHOWSELALWAYS),
                                              DefPushButton("OK", IDOK, 7, 179, 50, 14),
                                              PushButton("Delete", IDC_AOI_LIST_DELETE, 62, 179, 50, 14),
                                              PushButton("Export", IDC_AOI_LIST_EXPORT, 117, 179, 50, 14),
                                          }});
}

} // namespace

void RegisterAOIDialogs()
{
    static std::once_flag once;
    std::call_once(once, [] {
        registerAOIDialog();
        registerAOIListDialog();
    });
}

} // namespace kestrun::analysisui
