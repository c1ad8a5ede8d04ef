#include "analysis/ui/infodlgresources.h"

#include "platform/core/messagebox.h"
#include "platform/ui/dialogtemplate.h"

namespace kestrun::analysisui {

void RegisterInfoDialogs()
{
    RegisterDialogTemplate(IDD_INFO_LEARN_CLASS,
                           {"Classes", CRect(0, 0, 330, 250),
                            {
                                LText("Class:", IDC_STATIC, 7, 9, 25, 8),
                                ComboBox(IDC_CLASS_NAME, 35, 7, 110, 100, CBS_DROPDOWN | CBS_AUTOHSCROLL),
                                LText("Index:", IDC_STATIC, 150, 9, 22, 8),
                                LText("", IDC_CLASS_INDEX, 175, 9, 20, 8),
                                PushButton("Add", IDC_CLASS_ADD, 7, 25, 45, 14),
                                PushButton("Modify", IDC_CLASS_MODIFY, 56, 25, 45, 14),
                                PushButton("Delete", IDC_CLASS_DELETE, 105, 25, 45, 14),
                                PushButton("Reset", IDC_CLASS_RESET, 154, 25, 45, 14),
                                PushButton("Color", IDC_CLASS_COLOR, 203, 25, 45, 14, BS_OWNERDRAW),
                                PushButton("Learn", IDC_CLASS_LEARN, 252, 25, 45, 14),
                                LText("Available features:", IDC_STATIC, 7, 45, 90, 8),
                                ListBox(IDC_CLASS_AVAILABLE, 7, 55, 120, 60),
                                PushButton("---->", IDC_CLASS_INCLUDE, 133, 65, 40, 14),
                                PushButton("<----", IDC_CLASS_EXCLUDE, 133, 85, 40, 14),
                                LText("Included features:", IDC_STATIC, 180, 45, 90, 8),
                                ListBox(IDC_CLASS_INCLUDED, 180, 55, 120, 60),
                                ListControl(IDC_CLASS_FEATURES, 7, 122, 316, 90, LVS_REPORT | LVS_SHOWSELALWAYS),
                                LText("", IDC_CLASS_PROMPT, 7, 218, 200, 8),
                                DefPushButton("OK", IDOK, 219, 229, 50, 14),
                                PushButton("Help", IDC_CLASS_HELP, 273, 229, 50, 14),
                            }});
    RegisterDialogTemplate(IDD_INFO_LEARN_THRES, {"Add Object", CRect(0, 0, 180, 45),
                                                  {
                                                      LText("Select objects with left mouse click", IDC_STATIC, 7, 9,
                                                            166, 8),
                                                      DefPushButton("OK", IDOK, 65, 24, 50, 14),
                                                  }});
    RegisterDialogTemplate(IDD_INFO_MANUAL_COUNT, {"Manual Object Count", CRect(0, 0, 160, 45),
                                                   {
                                                       LText("Count:", IDC_STATIC, 7, 9, 30, 8),
                                                       LText("0", IDC_COUNT_VALUE, 40, 9, 50, 8),
                                                       PushButton("Remove", IDC_COUNT_REMOVE, 7, 24, 50, 14),
                                                       DefPushButton("OK", IDOK, 103, 24, 50, 14),
                                                   }});
    RegisterDialogTemplate(IDD_INFO, {"Information", CRect(0, 0, 180, 30),
                                      {
                                          LText("", IDC_INFO_TEXT, 7, 11, 166, 8),
                                      }});
}

} // namespace kestrun::analysisui
