#pragma once
// The registered window messages of the program. Each number is looked up
// once by its name (a name kept in the string table is loaded from there
// first) and kept for the life of the process; every module that registers
// the same name gets the same number.

#include "platform/core/types.h"

#include <vector>

namespace kestrun {

struct CAppMessages
{
    UINT profileChanged;    // "MSG_PROFILE_CHANGED"
    UINT userLevelChanged;  // "MSG_USERLEVEL_CHANGED"
    UINT grabwellToApp;     // "MSG_GRABWELL_TO_APP"
    UINT grabber;           // "MSG_GRABBER"
    UINT cameraShutDown;    // "MSG_CAMERAEVENT_SHUT_DOWN"
    UINT videoFormatChanged; // "MSG_VIDEOFORMAT_CHANGED"
    UINT camBoxButtonPressed; // "MSG_CAMBOXBUTTON_PRESSED"
    UINT camBoxPosition;    // "MSC_CAMBOX_POSITION"
    UINT stateToKiste;      // "MSG_STATE_TO_KISTE"
    UINT imageCreated;      // "IMAGE_CREATED"
    UINT runMacro;          // "Message RunMacro " (string 57371)
    UINT deleteDocument;    // "DELETE_DOCUMENT" (57362)
    UINT dataChanged;       // "DataChanged" (57361)
    UINT gridSelected;      // "GridSelected" (57364)
    UINT gridDataChanged;   // "GridDataChanged" (57365)
    UINT gridClicked;       // "GridClicked" (57366)
    UINT hitObject;         // "HIT_OBJECT" (57367)
    UINT deleteInterface;   // "DELETE_INTERFACE" (57368)
    UINT parameterChanged;  // "PARAMETER_CHANGED" (57370)
    UINT update;            // "Update" (57374)
    UINT filterChanged;     // "FILTER_CHANGED" (57383)
    UINT toDibView;         // "MSG_TO_DIBVIEW"
    UINT scriptError;       // "MESSAGE_SCRIPT_ERROR"
    UINT editClose;         // "MESSAGE_EDIT_CLOSE"
    UINT callPage;          // "MESSAGE_CALL_PAGE"
    UINT goToPage;          // "MESSAGE_GO_TO_PAGE"
    UINT startPage;         // "MESSAGE_START_PAGE"
    UINT destroyControlContainer; // "MESSAGE_DESTROY_CONTROL_CONTAINER"
};

// The numbers, registered on the first call.
const CAppMessages& AppMessages();

// A name of the table and the string-table id it is kept under (0: a
// literal of the code).
struct CAppMessageName
{
    const char* name;
    UINT stringId;
};
const std::vector<CAppMessageName>& AppMessageNames();

} // namespace kestrun
