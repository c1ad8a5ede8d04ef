// The tray-scan form's layout.
#include "database/ui/dbdlgresources.h"

#include "platform/ui/dialogtemplate.h"

#include <mutex>

namespace kestrun::dbui {

void RegisterTrayScanForm()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterDialogTemplate(IDD_DBFORMTRAYSCAN, {"", CRect(0, 0, 655, 338), {}});
    });
}

} // namespace kestrun::dbui
