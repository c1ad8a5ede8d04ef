#include "platform/ui/frameworkstrings.h"

#include "platform/core/resources.h"
#include "platform/ui/windefs.h"

#include <utility>

namespace kestrun {

void EnsureFrameworkStrings()
{
    static const bool registered = [] {
        const std::pair<UINT, const char*> texts[] = {
            {AFX_IDP_PARSE_INT, "Please enter a whole number."},
            {AFX_IDP_PARSE_REAL, "Please enter a number."},
            {AFX_IDP_PARSE_INT_RANGE, "Please enter a whole number from %1 to %2."},
            {AFX_IDP_PARSE_REAL_RANGE, "Please enter a number from %1 to %2."},
            {AFX_IDP_PARSE_STRING_SIZE, "Please enter at most %1 characters."},
            {AFX_IDP_PARSE_UINT, "Please enter a whole number that is not negative."},
            {AFX_IDP_ASK_TO_SAVE, "Save changes to %1?"},
            {AFX_IDP_FAILED_TO_OPEN_DOC, "The document %1 could not be opened."},
            {AFX_IDP_FAILED_TO_SAVE_DOC, "The document %1 could not be saved."},
            {AFX_IDS_UNTITLED, "Untitled"},
            {ID_INDICATOR_EXT, "EXT"},
            {ID_INDICATOR_CAPS, "CAP"},
            {ID_INDICATOR_NUM, "NUM"},
            {ID_INDICATOR_SCRL, "SCRL"},
            {ID_INDICATOR_OVR, "OVR"},
            {ID_INDICATOR_REC, "REC"},
            // Status-bar prompts and tool tips of the standard commands.
            {ID_FILE_NEW, "Create a new document\nNew"},
            {ID_FILE_OPEN, "Open an existing document\nOpen"},
            {ID_FILE_SAVE, "Save the active document\nSave"},
            {ID_FILE_PRINT, "Print the active document\nPrint"},
            {ID_EDIT_CUT, "Cut the selection and put it on the clipboard\nCut"},
            {ID_EDIT_COPY, "Copy the selection and put it on the clipboard\nCopy"},
            {ID_EDIT_PASTE, "Insert the contents of the clipboard\nPaste"},
            {ID_CONTEXT_HELP, "Show help on the next button, menu item or window clicked\nHelp"},
            {ID_RECORD_FIRST, "Go to the first record\nFirst record"},
            {ID_RECORD_PREV, "Go to the previous record\nPrevious record"},
            {ID_RECORD_NEXT, "Go to the next record\nNext record"},
            {ID_RECORD_LAST, "Go to the last record\nLast record"},
        };
        for (const auto& [id, text] : texts) {
            if (AfxLoadString(id) == nullptr)
                AfxRegisterString(id, text);
        }
        return true;
    }();
    (void)registered;
}

} // namespace kestrun
