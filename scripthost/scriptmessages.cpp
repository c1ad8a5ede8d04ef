#include "scripthost/scriptmessages.h"

#include "platform/core/messages.h"

const UINT wm_ScriptError = RegisterWindowMessage("MESSAGE_SCRIPT_ERROR");
const UINT wm_EditClose = RegisterWindowMessage("MESSAGE_EDIT_CLOSE");
const UINT wm_CallPage = RegisterWindowMessage("MESSAGE_CALL_PAGE");
const UINT wm_GoToPage = RegisterWindowMessage("MESSAGE_GO_TO_PAGE");
const UINT wm_StartPage = RegisterWindowMessage("MESSAGE_START_PAGE");
const UINT wm_DestroyControlContainer = RegisterWindowMessage("MESSAGE_DESTROY_CONTROL_CONTAINER");
