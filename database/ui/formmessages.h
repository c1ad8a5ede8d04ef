#pragma once
// The registered messages the database forms take and send.
#include "platform/core/messages.h"

namespace kestrun::dbui {

struct CFormMessages
{
    UINT dataChanged = RegisterWindowMessage("DataChanged");
    UINT update = RegisterWindowMessage("Update");
    UINT profileChanged = RegisterWindowMessage("MSG_PROFILE_CHANGED");
    UINT deleteDocument = RegisterWindowMessage("DELETE_DOCUMENT");
    UINT stateToBox = RegisterWindowMessage("MSG_STATE_TO_KISTE");
};

inline const CFormMessages& FormMessages()
{
    static const CFormMessages messages;
    return messages;
}

} // namespace kestrun::dbui
