#include "app/registeredmessages.h"

#include "app/appresources.h"
#include "app/resource.h"

#include "platform/core/messages.h"
#include "platform/core/resources.h"

namespace kestrun {

namespace {

UINT RegisterByName(const char* name, UINT stringId)
{
    if (stringId != 0) {
        if (const char* text = AfxLoadString(stringId))
            return RegisterWindowMessage(text);
    }
    return RegisterWindowMessage(name);
}

UINT Register(const char* name)
{
    for (const CAppMessageName& entry : AppMessageNames()) {
        if (CString(entry.name) == name)
            return RegisterByName(entry.name, entry.stringId);
    }
    return RegisterWindowMessage(name);
}

} // namespace

const std::vector<CAppMessageName>& AppMessageNames()
{
    static const std::vector<CAppMessageName> names = {
        {"MSG_PROFILE_CHANGED", 0},
        {"MSG_USERLEVEL_CHANGED", 0},
        {"MSG_GRABWELL_TO_APP", 0},
        {"MSG_GRABBER", 0},
        {"MSG_CAMERAEVENT_SHUT_DOWN", 0},
        {"MSG_VIDEOFORMAT_CHANGED", 0},
        {"MSG_CAMBOXBUTTON_PRESSED", 0},
        {"MSC_CAMBOX_POSITION", 0},
        {"MSG_STATE_TO_KISTE", 0},
        {"IMAGE_CREATED", 0},
        {"Message RunMacro ", IDS_MSG_RUN_MACRO},
        {"DELETE_DOCUMENT", IDS_MSG_DELETE_DOCUMENT},
        {"DataChanged", IDS_MSG_DATA_CHANGED},
        {"GridSelected", IDS_MSG_GRID_SELECTED},
        {"GridDataChanged", IDS_MSG_GRID_DATA_CHANGED},
        {"GridClicked", IDS_MSG_GRID_CLICKED},
        {"HIT_OBJECT", IDS_MSG_HIT_OBJECT},
        {"DELETE_INTERFACE", IDS_MSG_DELETE_INTERFACE},
        {"PARAMETER_CHANGED", IDS_MSG_PARAMETER_CHANGED},
        {"Update", IDS_MSG_UPDATE},
        {"FILTER_CHANGED", IDS_MSG_FILTER_CHANGED},
        {"MSG_TO_DIBVIEW", 0},
        {"MESSAGE_SCRIPT_ERROR", 0},
        {"MESSAGE_EDIT_CLOSE", 0},
        {"MESSAGE_CALL_PAGE", 0},
        {"MESSAGE_GO_TO_PAGE", 0},
        {"MESSAGE_START_PAGE", 0},
        {"MESSAGE_DESTROY_CONTROL_CONTAINER", 0},
    };
    return names;
}

const CAppMessages& AppMessages()
{
    static const CAppMessages messages = [] {
        // The names kept in the string table are loaded from there.
        RegisterAppStrings();
        CAppMessages m{};
        m.profileChanged = Register("MSG_PROFILE_CHANGED");
        m.userLevelChanged = Register("MSG_USERLEVEL_CHANGED");
        m.grabwellToApp = Register("MSG_GRABWELL_TO_APP");
        m.grabber = Register("MSG_GRABBER");
        m.cameraShutDown = Register("MSG_CAMERAEVENT_SHUT_DOWN");
        m.videoFormatChanged = Register("MSG_VIDEOFORMAT_CHANGED");
        m.camBoxButtonPressed = Register("MSG_CAMBOXBUTTON_PRESSED");
        m.camBoxPosition = Register("MSC_CAMBOX_POSITION");
        m.stateToKiste = Register("MSG_STATE_TO_KISTE");
        m.imageCreated = Register("IMAGE_CREATED");
        m.runMacro = Register("Message RunMacro ");
        m.deleteDocument = Register("DELETE_DOCUMENT");
        m.dataChanged = Register("DataChanged");
        m.gridSelected = Register("GridSelected");
        m.gridDataChanged = Register("GridDataChanged");
        m.gridClicked = Register("GridClicked");
        m.hitObject = Register("HIT_OBJECT");
        m.deleteInterface = Register("DELETE_INTERFACE");
        m.parameterChanged = Register("PARAMETER_CHANGED");
        m.update = Register("Update");
        m.filterChanged = Register("FILTER_CHANGED");
        m.toDibView = Register("MSG_TO_DIBVIEW");
        m.scriptError = Register("MESSAGE_SCRIPT_ERROR");
        m.editClose = Register("MESSAGE_EDIT_CLOSE");
        m.callPage = Register("MESSAGE_CALL_PAGE");
        m.goToPage = Register("MESSAGE_GO_TO_PAGE");
        m.startPage = Register("MESSAGE_START_PAGE");
        m.destroyControlContainer = Register("MESSAGE_DESTROY_CONTROL_CONTAINER");
        return m;
    }();
    return messages;
}

} // namespace kestrun
