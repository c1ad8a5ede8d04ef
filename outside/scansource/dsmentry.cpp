// The entry of our source manager library: every request of the program
// goes to one manager with the dialogs of the window layer. Nothing is
// thrown back across the entry: an error is reported and the request fails.

#include "outside/scansource/sourcemanager.h"
#include "outside/scansource/ui/sourceselectdlg.h"

#include "platform/core/messagebox.h"

#include <exception>

extern "C" TW_UINT16 DSM_Entry(TW_IDENTITY* pOrigin, TW_IDENTITY* pDest, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                               TW_MEMREF pData)
{
    try {
        static CSourceManager manager(std::make_unique<CDialogSourceUi>());
        return manager.Entry(pOrigin, pDest, DG, DAT, MSG, pData);
    } catch (const std::exception& e) {
        AfxMessageBox(FormatString("Scanner error: %s", e.what()), MB_ICONEXCLAMATION);
    } catch (...) {
        AfxMessageBox("Scanner error", MB_ICONEXCLAMATION);
    }
    return TWRC_FAILURE;
}
