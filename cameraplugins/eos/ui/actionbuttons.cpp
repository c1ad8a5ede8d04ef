#include "cameraplugins/eos/ui/actionbuttons.h"

#include "cameraplugins/eos/ui/controlmessages.h"

#include "platform/core/messages.h"

void CEvfZoomButton::update(Observable*, CameraEvent* event)
{
    if (event->name == "PropertyChanged" && *static_cast<const EdsPropertyID*>(event->arg) == kEdsPropID_Evf_AFMode)
        ::PostMessage(m_hWnd, kMsgPropertyChanged, 0, 0);
}

LRESULT CEvfZoomButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kMsgPropertyChanged) {
        if (m_model != nullptr)
            EnableWindow(m_model->getPropertyUInt32(kEdsPropID_Evf_AFMode) != 2);
        return 0;
    }
    return CActionButton::WindowProc(message, wParam, lParam);
}
