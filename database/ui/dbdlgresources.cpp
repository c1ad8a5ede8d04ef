#include "database/ui/dbdlgresources.h"

#include "platform/core/messagebox.h"
#include "platform/ui/dialogtemplate.h"

#include <mutex>

namespace kestrun::dbui {

void RegisterDatabaseDialogs()
{
    static std::once_flag once;
    std::call_once(once, [] {
        std::vector<CDialogItem> correction{
            GroupBox("Füllstand", IDC_STATIC, 7, 7, 60, 125),
            GroupBox("Faktor", IDC_STATIC, 72, 7, 60, 125),
        };
        for (int i = 0; i < 7; ++i) {
            const CString label = FormatString("%d ml", 60 + 10 * i);
            correction.push_back(LText(label, IDC_STATIC, 14, 21 + 15 * i, 45, 8));
            correction.push_back(EditText(IDC_FACTOR60 + static_cast<UINT>(i), 79, 19 + 15 * i, 45, 12));
        }
        correction.push_back(DefPushButton("OK", IDOK, 140, 7, 50, 14));
        correction.push_back(PushButton("Abbrechen", IDCANCEL, 140, 24, 50, 14));
        RegisterDialogTemplate(IDD_CORRECTION,
                               {"Flächen-Korrekturfaktoren", CRect(0, 0, 197, 139), std::move(correction)});
        RegisterDialogTemplate(IDD_DBSEARCHOPT, {"Search Options", CRect(0, 0, 186, 40),
                                                 {
                                                     LText("BarCode:", IDC_STATIC, 7, 9, 35, 8),
                                                     EditText(IDC_BARCODE, 45, 7, 80, 12),
                                                     DefPushButton("OK", IDOK, 129, 7, 50, 14),
                                                 }});
    });
}

} // namespace kestrun::dbui
