#include "database/ui/formtrayresources.h"

#include "platform/ui/dialogtemplate.h"

namespace kestrun::trayform {

void RegisterTrayForm()
{
    static const bool registered = [] {
        constexpr DWORD kShown = ES_AUTOHSCROLL | ES_READONLY;
        RegisterDialogTemplate(IDD_FORMTRAY,
                               {"",
                                CRect(0, 0, 460, 270),
                                {
                                    LText("", IDC_TRAY_TITLE, 5, 3, 450, 16),
                                    LText("Barcode:", IDC_STATIC, 7, 28, 50, 8),
                                    ComboBox(IDC_TRAY_BARCODE, 7, 39, 120, 140, CBS_SIMPLE | CBS_AUTOHSCROLL),
                                    PushButton("Measure", IDC_TRAY_MEASURE, 7, 184, 120, 22),
                                    LText("Profile:", IDC_STATIC, 7, 214, 30, 8),
                                    EditText(IDC_TRAY_PROFILE, 40, 212, 87, 12, kShown),
                                    LText("Tray:", IDC_STATIC, 7, 230, 30, 8),
                                    EditText(IDC_TRAY_TYPE, 40, 228, 40, 12, kShown),
                                    LText("Batch:", IDC_STATIC, 84, 230, 22, 8),
                                    EditText(IDC_TRAY_BATCH, 107, 228, 20, 12, kShown),
                                    PushButton("Save Profile", IDC_TRAY_SAVE_PROFILE, 7, 246, 120, 14),
                                    LText("", IDC_TRAY_PICTURE, 135, 24, 320, 240, SS_BLACKFRAME),
                                }});
        return true;
    }();
    (void)registered;
}

} // namespace kestrun::trayform
