// The tray-scan form's layout.
#include "database/ui/dbdlgresources.h"

#include "platform/ui/dialogtemplate.h"
#include "platform/ui/menu.h"

#include <mutex>

namespace kestrun::dbui {

namespace {

constexpr int kGroupRight = 205;
constexpr int kFormWidth = 655;
constexpr int kFormHeight = 338;

void RegisterTemplate()
{
    constexpr DWORD kShown = ES_AUTOHSCROLL | ES_READONLY;
    std::vector<CDialogItem> items{GroupBox("Measurements:", IDC_FRAME_LIMIT, 5, 3, kGroupRight - 5, 330)};
    struct CField
    {
        const char* label;
        UINT id;
    };
    int y = 16;
    const auto row = [&](const char* label, const CDialogItem& control) {
        items.push_back(LText(label, IDC_STATIC, 10, y + 2, 72, 8));
        items.push_back(control);
        y += 16;
    };
    for (const CField& field : {CField{"Row:", IDC_SERIES_NAME}, CField{"Sample Nr.:", IDC_VESSEL},
                                CField{"Date/Time:", IDC_DATETIME}, CField{"Image:", IDC_IMAGE_NAME},
                                CField{"Barcode:", IDC_TS_BARCODE}})
        row(field.label, EditText(field.id, 84, y, 116, 12, kShown));
    row("Profile:", ComboBox(IDC_TS_PROFILE, 84, y, 116, 120, CBS_DROPDOWN | CBS_SORT));
    row("Tray:", ComboBox(IDC_TS_TRAY, 84, y, 60, 100, CBS_DROPDOWN));
    items.push_back(LText("Batch:", IDC_STATIC, 10, y + 2, 72, 8));
    items.push_back(EditText(IDC_TS_BATCH, 84, y, 30, 12, ES_AUTOHSCROLL | ES_NUMBER));
    items.push_back(Spin(IDC_TS_BATCH_SPIN, 114, y, 10, 12));
    items.push_back(PushButton("Save", IDC_TS_SAVE_AOI, 150, y - 1, 50, 14));
    y += 16;
    row("Number:", EditText(IDC_COUNT_VALUE, 84, y, 116, 12, kShown));
    row("Number (Total):", EditText(IDC_MANUAL_COUNT, 84, y, 116, 12, kShown));
    items.push_back(ListControl(IDC_RESULTS, 10, y, 190, 110,
                                LVS_REPORT | LVS_SINGLESEL | LVS_NOCOLUMNHEADER | LVS_OWNERDRAWFIXED | WS_DISABLED));
    y += 114;
    items.push_back(CheckBox("Use current profile for all measurements", IDC_TS_USE_CURRENT_PROFILE, 10, y, 190, 10));
    y += 14;
    items.push_back(PushButton("New Count", IDC_NEWCOUNT, 10, y, 60, 16));
    items.push_back(PushButton("Count", IDC_COUNT, 75, y, 60, 16));
    items.push_back(PushButton("Count All", IDC_TS_COUNT_ALL, 140, y, 60, 16));
    y += 22;
    row("Number Measurements:", EditText(IDC_POSITION, 84, y, 116, 12, kShown));
    items.push_back(LText("", IDC_PICTURE, kGroupRight + 5, 7, kFormWidth - kGroupRight - 10, kFormHeight - 12,
                          SS_SUNKEN));
    RegisterDialogTemplate(IDD_DBFORMTRAYSCAN, {"", CRect(0, 0, kFormWidth, kFormHeight), std::move(items)});
}

void RegisterMenu()
{
    RegisterMenuResource(
        IDR_TRAYSCAN_MENU,
        {
            Popup("&File", {MenuItem("&Close", ID_FILE_CLOSE), MenuItem("&Save", ID_FILE_SAVE), MenuSeparator(),
                            MenuItem("E&xit", ID_APP_EXIT)}),
            Popup("&Measurement", {MenuItem("&First Record", ID_RECORD_FIRST), MenuItem("&Last Record", ID_RECORD_LAST),
                                   MenuItem("&Next Record", ID_RECORD_NEXT),
                                   MenuItem("&Previous Record", ID_RECORD_PREV)}),
            Popup("&Database", {MenuItem("&New Record", ID_DB_NEW_RECORD),
                                MenuItem("&Delete Record", ID_DB_DELETE_RECORD),
                                MenuItem("Search &Record", ID_DB_SEARCH_RECORD), MenuSeparator(),
                                MenuItem("&Print Report", ID_DB_PRINT_REPORT),
                                MenuItem("&Select Report Template", ID_DB_REPORT_TEMPLATE), MenuSeparator(),
                                MenuItem("Load &Image", ID_DB_LOAD_IMAGE), MenuItem("&Save Image", ID_DB_SAVE_IMAGE),
                                MenuSeparator(), MenuItem("&Measurement Rows", ID_DB_SERIES),
                                MenuItem("S&how Table", ID_DB_SHOW_TABLE), MenuItem("Im&port", ID_DB_IMPORT)}),
            Popup("V&ideo", {MenuItem("&Init Video", ID_DB_INIT_VIDEO)}),
            Popup("&Window", {MenuItem("&Cascade", ID_WINDOW_CASCADE), MenuItem("&Tile", ID_WINDOW_TILE_HORZ)}),
            Popup("&Help", {MenuItem("&Index", ID_HELP_INDEX), MenuSeparator(),
                            MenuItem("&About Application...", ID_APP_ABOUT)}),
        });
}

} // namespace

void RegisterTrayScanForm()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterTemplate();
        RegisterMenu();
    });
}

// The template's frame loads the menu before the form exists.
const bool kTrayScanFormRegistered = (RegisterTrayScanForm(), true);

} // namespace kestrun::dbui
