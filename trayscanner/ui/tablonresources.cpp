#include "trayscanner/ui/tablonresources.h"

#include "platform/core/library.h"
#include "platform/core/messagebox.h"
#include "platform/ui/dialogtemplate.h"

namespace kestrun::tablon {

HINSTANCE TablonModule()
{
    static const HINSTANCE module = ModuleOfAddress(reinterpret_cast<const void*>(&TablonModule));
    return module;
}

namespace {

CDialogTemplate ControlTemplate()
{
    return {"Trayvo Control",
            {0, 0, 262, 214},
            {
                LText("Position:", IDC_STATIC, 40, 10, 34, 8),
                EditText(IDC_POSITION, 76, 8, 50, 12, ES_READONLY),
                EditText(IDC_POSITION_MM, 130, 8, 40, 12, ES_READONLY),
                LText("mm", IDC_STATIC, 173, 10, 14, 8),
                PushButton("EP", IDC_END_POSITION, 195, 7, 24, 14),
                PushButton("St&op", IDC_STOP_CAMERA, 40, 26, 50, 14),
                EditText(IDC_STATUS, 7, 194, 248, 12, ES_READONLY),
                CheckBox("White", IDC_WHITE, 40, 50, 50, 14, BS_PUSHLIKE),
                Slider(IDC_WHITE_SLIDER, 95, 50, 160, 14),
                CheckBox("Green", IDC_GREEN, 40, 68, 50, 14, BS_PUSHLIKE),
                Slider(IDC_GREEN_SLIDER, 95, 68, 160, 14),
                CheckBox("Backlight", IDC_BACKLIGHT, 40, 86, 50, 14, BS_PUSHLIKE),
                Slider(IDC_BACKLIGHT_SLIDER, 95, 86, 160, 14),
                ComboBox(IDC_PROFILES, 40, 108, 110, 80),
                PushButton("&Save", IDC_SAVE_PROFILE, 155, 107, 48, 14),
                PushButton("&Delete", IDC_DELETE_PROFILE, 207, 107, 48, 14),
                GroupBox("Sliding Door", IDC_STATIC, 40, 128, 215, 30),
                PushButton("Open", IDC_DOOR_OPEN, 48, 139, 60, 14),
                PushButton("Close", IDC_DOOR_CLOSE, 118, 139, 60, 14),
                PushButton("Stop", IDC_DOOR_STOP, 188, 139, 60, 14),
                PushButton("Advanced Settings", IDC_ADVANCED, 40, 168, 90, 14),
                PushButton("&Close", IDCANCEL, 205, 168, 50, 14),
            }};
}

CDialogTemplate AdvancedTemplate()
{
    return {"Advanced Settings",
            {0, 0, 200, 150},
            {
                GroupBox("Camera", IDC_STATIC, 7, 7, 90, 48),
                PushButton("Reset", IDC_CAMERA_RESET, 15, 18, 74, 14),
                PushButton("Homing", IDC_HOMING, 15, 35, 74, 14),
                GroupBox("Low Position", IDC_STATIC, 103, 7, 90, 48),
                PushButton("Se&t", IDC_LOW_SET, 111, 18, 74, 14),
                PushButton("&Reset", IDC_LOW_RESET, 111, 35, 74, 14),
                GroupBox("Sliding Door", IDC_STATIC, 7, 60, 90, 30),
                CheckBox("Leave door opend", IDC_LEAVE_DOOR_OPEN, 15, 72, 78, 10),
                GroupBox("Emergency Settings", IDC_STATIC, 103, 60, 90, 30),
                PushButton("Unlock", IDC_UNLOCK, 111, 71, 74, 14),
                DefPushButton("OK", IDOK, 89, 129, 50, 14),
                PushButton("Cancel", IDCANCEL, 143, 129, 50, 14),
            }};
}

CDialogTemplate SaveProfileTemplate()
{
    return {"Save Profile",
            {0, 0, 186, 60},
            {
                LText("Save profile as:", IDC_STATIC, 7, 9, 70, 8),
                EditText(IDC_PROFILE_NAME, 7, 20, 172, 12),
                DefPushButton("OK", IDOK, 75, 40, 50, 14),
                PushButton("Cancel", IDCANCEL, 129, 40, 50, 14),
            }};
}

} // namespace

void RegisterTablonResources()
{
    static const bool registered = [] {
        const HINSTANCE module = TablonModule();
        RegisterDialogTemplate(module, IDD_TRAYVO_CONTROL, ControlTemplate());
        RegisterDialogTemplate(module, IDD_ADVANCED_SETTINGS, AdvancedTemplate());
        RegisterDialogTemplate(module, IDD_SAVE_PROFILE, SaveProfileTemplate());
        return true;
    }();
    (void)registered;
}

} // namespace kestrun::tablon
