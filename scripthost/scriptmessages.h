#pragma once
// The window messages with which the script library tells its host about
// script errors and a closed editor, registered by name when the library
// loads. The last four are exported for hosts only; nothing sends them.

#include "platform/core/types.h"

extern const UINT wm_ScriptError;             // "MESSAGE_SCRIPT_ERROR"
extern const UINT wm_EditClose;               // "MESSAGE_EDIT_CLOSE"
extern const UINT wm_CallPage;                // "MESSAGE_CALL_PAGE"
extern const UINT wm_GoToPage;                // "MESSAGE_GO_TO_PAGE"
extern const UINT wm_StartPage;               // "MESSAGE_START_PAGE"
extern const UINT wm_DestroyControlContainer; // "MESSAGE_DESTROY_CONTROL_CONTAINER"
