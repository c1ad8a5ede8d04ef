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
