// The database form's layout and menu, and the layouts of its dialogs.
#include "database/ui/dbdlgresources.h"

#include "platform/core/messagebox.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/menu.h"

#include <mutex>

namespace kestrun::dbui {

namespace {

void RegisterFormTemplate()
{
    constexpr DWORD kShown = ES_AUTOHSCROLL | ES_READONLY;
    std::vector<CDialogItem> items{
        GroupBox("Messung", IDC_FRAME_LIMIT, 5, 3, 196, 262),
        LText("Messreihe:", IDC_STATIC, 10, 14, 50, 8),
        LText("Empty", IDC_SERIES_NAME, 62, 14, 134, 8),
        LText("Datensatz:", IDC_STATIC, 10, 26, 50, 8),
        LText("0/0", IDC_POSITION, 62, 26, 60, 8),
        LText("Profil:", IDC_STATIC, 10, 38, 50, 8),
        LText("", IDC_PROFILE, 62, 38, 134, 8),
    };
    struct CField
    {
        const char* label;
        UINT id;
        DWORD style;
    };
    const CField fields[] = {
        {"Glas Nr.:", IDC_VESSEL, kShown},        {"Datum/Zeit:", IDC_DATETIME, kShown},
        {"Messtag:", IDC_TESTDAY, kShown},        {"Füllstand [ml]:", IDC_FILLLEVEL, kShown},
        {"Bild:", IDC_IMAGE_NAME, kShown},        {"Anzahl:", IDC_COUNT_VALUE, kShown},
        {"Anzahl manuell:", IDC_MANUAL_COUNT, kShown}, {"Korrekturfaktor:", IDC_CORRECTION_FACTOR, kShown},
    };
    int y = 52;
    for (const CField& field : fields) {
        items.push_back(LText(field.label, IDC_STATIC, 10, y + 2, 58, 8));
        items.push_back(EditText(field.id, 70, y, 126, 12, field.style));
        y += 15;
    }
    items.push_back(CheckBox("Bild speichern", IDC_SAVE_IMAGE, 10, y + 2, 90, 10));
    y += 16;
    items.push_back(PushButton("Fläche", IDC_AREA, 10, y, 44, 16));
    items.push_back(PushButton("Zählen", IDC_COUNT, 57, y, 44, 16));
    items.push_back(PushButton("Neu + Zählen", IDC_NEWCOUNT, 104, y, 44, 16));
    items.push_back(PushButton("Fläche + Zählen", IDC_AREA_AND_COUNT, 151, y, 45, 16));
    y += 19;
    items.push_back(PushButton("Korrektur...", IDC_CORRECTION, 10, y, 60, 14));
    items.push_back(PushButton("Bild laden", IDC_LOGO, 73, y, 60, 14));
    y += 17;
    items.push_back(ListControl(IDC_RESULTS, 10, y, 186, 262 - y));
    items.push_back(LText("", IDC_PICTURE, 210, 7, 240, 180, SS_BLACKFRAME));
    RegisterDialogTemplate(IDD_DBFORM, {"", CRect(0, 0, 460, 270), std::move(items)});

    RegisterDialogTemplate(IDD_NEUEMESSUNG, {"Neue Messung",
                                             {0, 0, 164, 106},
                                             {
                                                 LText("Glas Nr.:", IDC_STATIC, 7, 9, 50, 8),
                                                 ComboBox(IDC_VESSEL_COMBO, 60, 7, 50, 80, CBS_DROPDOWN),
                                                 LText("Messtag:", IDC_STATIC, 7, 29, 50, 8),
                                                 EditText(IDC_TESTDAY, 60, 27, 40, 12, ES_AUTOHSCROLL),
                                                 Spin(IDC_TESTDAY_SPIN, 100, 27, 10, 12,
                                                      UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY |
                                                          UDS_ARROWKEYS),
                                                 LText("Füllstand:", IDC_STATIC, 7, 49, 50, 8),
                                                 ComboBox(IDC_FILLLEVEL_COMBO, 60, 47, 50, 80, CBS_DROPDOWN),
                                                 LText("ml", IDC_STATIC, 113, 49, 20, 8),
                                                 DefPushButton("OK", IDOK, 30, 85, 50, 14),
                                                 PushButton("Cancel", IDCANCEL, 86, 85, 50, 14),
                                             }});
    RegisterDialogTemplate(IDD_REPORTPATH, {"Report",
                                            {0, 0, 250, 50},
                                            {
                                                LText("Report:", IDC_STATIC, 7, 9, 30, 8),
                                                EditText(IDC_REPORT_PATH, 40, 7, 180, 12),
                                                PushButton("...", IDC_REPORT_BROWSE, 224, 7, 19, 12),
                                                DefPushButton("OK", IDOK, 193, 29, 50, 14),
                                            }});
    RegisterDialogTemplate(IDD_NEUEMESSDESCR, {"Measurement",
                                               {0, 0, 220, 110},
                                               {
                                                   LText("Description:", IDC_STATIC, 7, 7, 60, 8),
                                                   LText("(max 255 Characters)", IDC_STATIC, 70, 7, 100, 8),
                                                   EditText(IDC_DESCRIPTION, 7, 18, 206, 62,
                                                            ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN),
                                                   DefPushButton("OK", IDOK, 109, 89, 50, 14),
                                                   PushButton("Cancel", IDCANCEL, 163, 89, 50, 14),
                                               }});
}

void RegisterFormMenu()
{
    RegisterMenuResource(
        IDR_DBFORM_MENU,
        {
            Popup("&File", {MenuItem("&Close", ID_FILE_CLOSE), MenuSeparator(), MenuItem("E&xit", ID_APP_EXIT)}),
            Popup("&Measurement", {MenuItem("&First Record", ID_RECORD_FIRST), MenuItem("&Last Record", ID_RECORD_LAST),
                                   MenuItem("&Next Record", ID_RECORD_NEXT),
                                   MenuItem("&Previous Record", ID_RECORD_PREV)}),
            Popup("&Database", {MenuItem("&New Record", ID_DB_NEW_RECORD),
                                MenuItem("&Delete Record", ID_DB_DELETE_RECORD), MenuSeparator(),
                                MenuItem("&Print Report...", ID_DB_PRINT_REPORT),
                                MenuItem("&Select Report Template...", ID_DB_REPORT_TEMPLATE), MenuSeparator(),
                                MenuItem("Load &Image", ID_DB_LOAD_IMAGE), MenuItem("&Save Image", ID_DB_SAVE_IMAGE),
                                MenuSeparator(), MenuItem("&Measurement Rows...", ID_DB_SERIES),
                                MenuItem("&Samples...", ID_DB_SAMPLES), MenuItem("D&ilution Series...", ID_DB_DILUTION),
                                MenuItem("S&how Table...", ID_DB_SHOW_TABLE)}),
            Popup("V&ideo", {MenuItem("&Initialize", ID_DB_INIT_VIDEO)}),
            Popup("&Window", {MenuItem("&Cascade", ID_WINDOW_CASCADE), MenuItem("&Tile", ID_WINDOW_TILE_HORZ)}),
            Popup("&Help", {MenuItem("&Index", ID_HELP_INDEX), MenuSeparator(),
                            MenuItem("&About Application...", ID_APP_ABOUT)}),
        });
}

} // namespace

void RegisterDatabaseForm()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterFormTemplate();
        RegisterFormMenu();
    });
}

// The template's frame loads the menu before the form exists.
const bool kFormRegistered = (RegisterDatabaseForm(), true);

} // namespace kestrun::dbui
