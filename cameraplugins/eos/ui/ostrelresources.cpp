#include "cameraplugins/eos/ui/ostrelresources.h"

#include "platform/core/library.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/core/messagebox.h"

namespace kestrun::ostrel {

HINSTANCE OstrelModule()
{
    static const HINSTANCE module = ModuleOfAddress(reinterpret_cast<const void*>(&OstrelModule));
    return module;
}

namespace {

CDialogItem PropertyCombo(UINT id, int y)
{
    return ComboBox(id, 70, y, 110, 120, CBS_DROPDOWN | WS_VSCROLL);
}

CDialogTemplate CameraControlTemplate()
{
    return {"Canon EOS Digital Camera Control",
            {0, 0, 454, 289},
            {
                LText("AEMode:", IDC_STATIC, 7, 9, 60, 8),
                PropertyCombo(IDC_AE_MODE, 7),
                LText("Tv:", IDC_STATIC, 7, 27, 60, 8),
                PropertyCombo(IDC_TV, 25),
                LText("Av:", IDC_STATIC, 7, 45, 60, 8),
                PropertyCombo(IDC_AV, 43),
                LText("ISO:", IDC_STATIC, 7, 63, 60, 8),
                PropertyCombo(IDC_ISO, 61),
                LText("MeteringMode:", IDC_STATIC, 7, 81, 60, 8),
                PropertyCombo(IDC_METERING_MODE, 79),
                LText("ExposureComp:", IDC_STATIC, 7, 99, 60, 8),
                PropertyCombo(IDC_EXPOSURE_COMP, 97),
                LText("ImageQuality:", IDC_STATIC, 7, 117, 60, 8),
                PropertyCombo(IDC_IMAGE_QUALITY, 115),
                PropertyCombo(IDC_EVF_AF_MODE, 133),
                PushButton("Take Picture", IDC_TAKE_PICTURE, 7, 151, 55, 14),
                PushButton("Press halfway", IDC_PRESS_HALFWAY, 66, 151, 55, 14),
                PushButton("Press completely", IDC_PRESS_COMPLETELY, 125, 151, 55, 14),
                PushButton("Press Off", IDC_PRESS_OFF, 7, 151, 55, 14),
                PushButton("EVF AF On", IDC_EVF_AF_ON, 66, 151, 55, 14),
                PushButton("EVF AF Off", IDC_EVF_AF_OFF, 125, 151, 55, 14),
                PushButton("Start Viewfinder", IDC_START_EVF, 7, 170, 85, 14),
                PushButton("Stop Viewfinder", IDC_END_EVF, 95, 170, 85, 14),
                LText("Firmware:", IDC_STATIC, 7, 195, 40, 8),
                EditText(IDC_FIRMWARE, 50, 193, 130, 12, ES_AUTOHSCROLL | ES_READONLY),
                CheckBox("Autofocus on Snapshot", IDC_AF_ON_SNAPSHOT, 7, 214, 173, 10),
                Progress(IDC_PROGRESS, 7, 232, 173, 10),
                EditText(IDC_UNUSED_EDIT, 7, 250, 173, 12),
                LText("", IDC_PICTURE_BOX, 190, 7, 257, 171, SS_BLACKFRAME | SS_NOTIFY),
                LText("Focus:", IDC_STATIC, 190, 187, 30, 8),
                LText("near", IDC_STATIC, 222, 187, 18, 8),
                PushButton("<<<", IDC_FOCUS_NEAR3, 242, 185, 24, 12),
                PushButton("<<", IDC_FOCUS_NEAR2, 268, 185, 24, 12),
                PushButton("<", IDC_FOCUS_NEAR1, 294, 185, 24, 12),
                PushButton(">", IDC_FOCUS_FAR1, 320, 185, 24, 12),
                PushButton(">>", IDC_FOCUS_FAR2, 346, 185, 24, 12),
                PushButton(">>>", IDC_FOCUS_FAR3, 372, 185, 24, 12),
                LText("far", IDC_STATIC, 398, 187, 18, 8),
                LText("Focus Area Position:", IDC_STATIC, 190, 205, 80, 8),
                PushButton("Up", IDC_FOCUS_UP, 190, 216, 40, 12),
                PushButton("Down", IDC_FOCUS_DOWN, 232, 216, 40, 12),
                PushButton("Left", IDC_FOCUS_LEFT, 274, 216, 40, 12),
                PushButton("Right", IDC_FOCUS_RIGHT, 316, 216, 40, 12),
                LText("Zoom:", IDC_STATIC, 190, 238, 30, 8),
                PushButton("Fit", IDC_ZOOM_FIT, 222, 236, 40, 12),
                PushButton("5x Zoom", IDC_ZOOM_ZOOM, 264, 236, 40, 12),
                DefPushButton("Close", IDOK, 397, 268, 50, 14),
            }};
}

} // namespace

void RegisterOstrelResources()
{
    static const bool registered = [] {
        RegisterDialogTemplate(OstrelModule(), IDD_CAMERA_CONTROL, CameraControlTemplate());
        return true;
    }();
    (void)registered;
}

COstrelResourceScope::COstrelResourceScope() : CPlugInResourceScope((RegisterOstrelResources(), OstrelModule()))
{
}

} // namespace kestrun::ostrel
