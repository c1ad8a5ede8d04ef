#include "cameraplugins/powershot/ui/pavickresources.h"

#include "platform/core/library.h"
#include "platform/core/messagebox.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/winapp.h"

namespace kestrun::pavick {

HINSTANCE PavickModule()
{
    static const HINSTANCE module = ModuleOfAddress(reinterpret_cast<const void*>(&PavickModule));
    return module;
}

namespace {

CDialogTemplate OptionsTemplate()
{
    return {"Settings",
            {0, 0, 210, 381},
            {
                CheckBox("Enlarge live image", IDC_ZOOM_LIVE, 7, 7, 120, 10),
                LText("Image resolution", IDC_STATIC, 7, 22, 70, 8),
                ComboBox(IDC_IMAGE_SIZE, 80, 20, 120, 80),
                LText("Camera output", IDC_STATIC, 7, 38, 70, 8),
                ComboBox(IDC_CAMERA_OUTPUT, 80, 36, 120, 60),
                LText("Photo effect", IDC_STATIC, 7, 54, 70, 8),
                ComboBox(IDC_PHOTO_EFFECT, 80, 52, 120, 80),
                Slider(IDC_ZOOM, 7, 70, 24, 90, TBS_VERT | TBS_AUTOTICKS),
                GroupBox("Autofocus", IDC_STATIC, 40, 68, 163, 92),
                LText("AF Field", IDC_STATIC, 46, 80, 50, 8),
                ComboBox(IDC_AF_FIELD, 46, 90, 150, 80),
                PushButton("&Focus", IDC_FOCUS, 46, 108, 50, 14),
                CheckBox("AF", IDC_AF, 46, 128, 40, 10),
                CheckBox("AF Light", IDC_AF_LIGHT, 90, 128, 50, 10),
                CheckBox("Macro", IDC_MACRO, 146, 128, 50, 10),
                GroupBox("Exposure", IDC_STATIC, 7, 166, 196, 124),
                LText("Mode", IDC_STATIC, 13, 180, 60, 8),
                ComboBox(IDC_EXPOSURE_MODE, 80, 178, 117, 60),
                LText("Metering", IDC_STATIC, 13, 196, 60, 8),
                ComboBox(IDC_METERING, 80, 194, 117, 80),
                LText("Strobe", IDC_STATIC, 13, 212, 60, 8),
                ComboBox(IDC_STROBE, 80, 210, 117, 80),
                LText("Compensation", IDC_STATIC, 13, 228, 60, 8),
                ComboBox(IDC_COMPENSATION, 80, 226, 117, 120),
                LText("Whitebalance", IDC_STATIC, 13, 244, 60, 8),
                ComboBox(IDC_WHITE_BALANCE, 80, 242, 117, 80),
                LText("ISO", IDC_STATIC, 13, 260, 60, 8),
                ComboBox(IDC_ISO, 80, 258, 117, 80),
                GroupBox("Profiles", IDC_STATIC, 7, 296, 196, 54),
                ComboBox(IDC_PROFILES, 13, 308, 184, 80),
                PushButton("&Save", IDC_SAVE_PROFILE, 13, 328, 50, 14),
                PushButton("&Delete", IDC_DELETE_PROFILE, 69, 328, 50, 14),
                PushButton("&Close", IDOK, 153, 360, 50, 14),
            }};
}

CDialogTemplate SaveCameraProfileTemplate()
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

CDialogTemplate ProgressTemplate()
{
    return {"USB image transfer",
            {0, 0, 200, 40},
            {
                Progress(IDC_TRANSFER_PROGRESS, 7, 14, 186, 12),
            }};
}

} // namespace

void RegisterPavickResources()
{
    static const bool registered = [] {
        const HINSTANCE module = PavickModule();
        RegisterDialogTemplate(module, IDD_OPTIONS, OptionsTemplate());
        RegisterDialogTemplate(module, IDD_SAVE_CAMERA_PROFILE, SaveCameraProfileTemplate());
        RegisterDialogTemplate(module, IDD_PROGRESS, ProgressTemplate());
        return true;
    }();
    (void)registered;
}

CPavickResourceScope::CPavickResourceScope() : CPlugInResourceScope((RegisterPavickResources(), PavickModule()))
{
}

} // namespace kestrun::pavick
