#include "database/ui/masterdataresources.h"

#include "platform/core/messagebox.h"
#include "platform/ui/dialogtemplate.h"

#include <mutex>

namespace kestrun::dbui {

void RegisterMasterDataDialogs()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterDialogTemplate(IDD_DBNEWENTRY, {"New Chamber",
                                                {0, 0, 186, 46},
                                                {
                                                    LText("Bezeichnung:", IDC_STATIC, 7, 9, 45, 8),
                                                    EditText(IDC_NEW_ENTRY_TEXT, 55, 7, 124, 12),
                                                    DefPushButton("OK", IDOK, 129, 25, 50, 14),
                                                }});
        RegisterDialogTemplate(IDD_DBPROBEN, {"Proben",
                                              {0, 0, 400, 160},
                                              {
                                                  ListControl(IDC_SAMPLE_LIST, 7, 7, 330, 146,
                                                              LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                                                  LVS_OWNERDRAWFIXED),
                                                  DefPushButton("OK", IDOK, 343, 7, 50, 14),
                                                  PushButton("Hinzufügen", IDC_SAMPLE_ADD, 343, 31, 50, 14),
                                                  PushButton("Einfügen", IDC_SAMPLE_INSERT, 343, 48, 50, 14),
                                                  PushButton("Bearbeiten", IDC_SAMPLE_EDIT, 343, 65, 50, 14),
                                                  PushButton("Löschen", IDC_SAMPLE_DELETE, 343, 82, 50, 14),
                                              }});
        std::vector<CDialogItem> sample;
        struct CSampleField
        {
            const char* label;
            UINT id;
        };
        const CSampleField fields[] = {
            {"Probennahmestelle:", IDC_SAMPLE_SITE}, {"ProbenNr:", IDC_SAMPLE_NUMBER},
            {"Proben-Datum:", IDC_SAMPLE_DATE},      {"PH-Wert", IDC_SAMPLE_PH},
            {"Leitfähigkeit:", IDC_SAMPLE_CONDUCTIVITY}, {"Färbung:", IDC_SAMPLE_COLOUR},
        };
        int y = 7;
        for (const CSampleField& field : fields) {
            sample.push_back(LText(field.label, IDC_STATIC, 7, y + 2, 65, 8));
            sample.push_back(EditText(field.id, 75, y, 120, 12));
            y += 17;
        }
        sample.push_back(LText("Kommentar:", IDC_STATIC, 7, y + 2, 65, 8));
        sample.push_back(EditText(IDC_SAMPLE_COMMENT, 75, y, 120, 40,
                                  ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL));
        sample.push_back(DefPushButton("OK", IDOK, 145, y + 46, 50, 14));
        RegisterDialogTemplate(IDD_NEUEPROBE, {"Neue Probe", CRect(0, 0, 202, y + 67), std::move(sample)});
        RegisterDialogTemplate(IDD_DBMESSREIHEN1,
                               {"Measurement rows",
                                {0, 0, 230, 62},
                                {
                                    LText("Measurement row:", IDC_STATIC, 7, 9, 65, 8),
                                    ComboBox(IDC_SERIES_COMBO, 75, 7, 90, 100, CBS_DROPDOWN | CBS_AUTOHSCROLL),
                                    LText("Number measurement rows:", IDC_STATIC, 7, 27, 90, 8),
                                    LText("1/1", IDC_SERIES_POSITION1, 100, 27, 60, 8),
                                    PushButton("Add", IDC_SERIES_ADD, 173, 7, 50, 14),
                                    PushButton("Modify", IDC_SERIES_MODIFY, 173, 24, 50, 14),
                                    PushButton("Delete", IDC_SERIES_DELETE, 173, 41, 50, 14),
                                    DefPushButton("OK", IDOK, 115, 41, 50, 14),
                                }});
        RegisterDialogTemplate(IDD_NEUEMESSREIHE,
                               {"Neue Messreihe",
                                {0, 0, 200, 80},
                                {
                                    LText("Bezeichnung:", IDC_STATIC, 7, 9, 60, 8),
                                    EditText(IDC_NEW_SERIES_NAME, 70, 7, 123, 12),
                                    LText("Verdünnungsreihe:", IDC_STATIC, 7, 27, 60, 8),
                                    ComboBox(IDC_DILUTION_COMBO, 70, 25, 123, 100),
                                    LText("Glastyp:", IDC_STATIC, 7, 45, 60, 8),
                                    ComboBox(IDC_GLASSTYPE_COMBO, 70, 43, 123, 100),
                                    DefPushButton("OK", IDOK, 88, 61, 50, 14),
                                    PushButton("Cancel", IDCANCEL, 143, 61, 50, 14),
                                }});
        RegisterDialogTemplate(IDD_DBMESSREIHEN,
                               {"Messreihen",
                                {0, 0, 250, 112},
                                {
                                    GroupBox("Vovod-Test Messreihen:", IDC_SERIES_GROUP, 7, 7, 180, 98),
                                    LText("Bezeichnung:", IDC_STATIC, 14, 21, 60, 8),
                                    ComboBox(IDC_SERIES_COMBO, 77, 19, 103, 100),
                                    LText("Verdünnungsreihe:", IDC_STATIC, 14, 38, 60, 8),
                                    EditText(IDC_DILUTION_TEXT, 77, 36, 103, 12, ES_AUTOHSCROLL | ES_READONLY),
                                    LText("Glastyp:", IDC_STATIC, 14, 55, 60, 8),
                                    EditText(IDC_GLASSTYPE_TEXT, 77, 53, 103, 12, ES_AUTOHSCROLL | ES_READONLY),
                                    LText("Probe:", IDC_STATIC, 14, 72, 60, 8),
                                    ComboBox(IDC_SAMPLE_COMBO, 77, 70, 103, 100, CBS_DROPDOWNLIST | CBS_SORT),
                                    LText("Anzahl Messreihen:", IDC_STATIC, 14, 90, 60, 8),
                                    LText("1/1", IDC_SERIES_POSITION, 77, 90, 60, 8),
                                    DefPushButton("OK", IDOK, 193, 7, 50, 14),
                                    PushButton("Neue Messreihe", IDC_NEW_SERIES, 193, 24, 50, 14),
                                    PushButton("Löschen", IDC_SERIES_DELETE, 193, 41, 50, 14),
                                }});
        RegisterDialogTemplate(
            IDD_DBVERD,
            {"Verdünnungsreihen und Verdünnungsstufen",
             {0, 0, 360, 250},
             {
                 LText("Verdünnungsreihen:", IDC_STATIC, 7, 7, 100, 8),
                 ListControl(IDC_DILUTION_LIST, 7, 18, 290, 80,
                             LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED),
                 PushButton("Hinzufügen", IDC_DILUTION_ADD, 303, 18, 50, 14),
                 PushButton("Löschen", IDC_DILUTION_DELETE, 303, 35, 50, 14),
                 LText("", IDC_STATIC, 7, 105, 346, 1, SS_BLACKRECT),
                 LText("Verdünnungsstufen:", IDC_STATIC, 7, 112, 100, 8),
                 ListControl(IDC_STEP_LIST, 7, 123, 290, 100, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS),
                 PushButton("Hinzufügen", IDC_STEP_ADD, 303, 123, 50, 14),
                 PushButton("Löschen", IDC_STEP_DELETE, 303, 140, 50, 14),
                 DefPushButton("OK", IDOK, 303, 229, 50, 14),
             }});
        RegisterDialogTemplate(IDD_NEUEVERDSTUFE,
                               {"Neue Verdünnungsstufe",
                                {0, 0, 200, 110},
                                {
                                    LText("Glas Nr.:", IDC_STATIC, 7, 9, 60, 8),
                                    EditText(IDC_STEP_GLASSNR, 70, 7, 50, 12),
                                    LText("Reihenfolge:", IDC_STATIC, 7, 27, 60, 8),
                                    EditText(IDC_STEP_ORDER, 70, 25, 50, 12),
                                    LText("Beschreibung:", IDC_STATIC, 7, 45, 60, 8),
                                    EditText(IDC_STEP_TEXT, 70, 43, 123, 40,
                                             ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL),
                                    DefPushButton("OK", IDOK, 88, 89, 50, 14),
                                    PushButton("Cancel", IDCANCEL, 143, 89, 50, 14),
                                }});
    });
}

} // namespace kestrun::dbui
