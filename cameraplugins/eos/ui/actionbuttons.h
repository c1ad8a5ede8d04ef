#pragma once
// Buttons of the camera control dialog: each click fires the button's
// action. The "5x Zoom" button is enabled only while the live-view AF mode
// is not 2 (face detection); the model's notice comes on the command
// thread, so the button posts it to itself.

#include "cameraplugins/eos/actions.h"
#include "cameraplugins/eos/cameramodel.h"

#include "platform/ui/button.h"

class CActionButton : public CButton, public ActionSource
{
public:
    explicit CActionButton(std::string action) : ActionSource(std::move(action)) {}
    void OnClicked() { fireEvent(); }
};

class CEvfZoomButton : public CActionButton, public Observer
{
public:
    CEvfZoomButton() : CActionButton("zoom_Zoom") {}
    void setModel(CameraModel* model) { m_model = model; }
    void update(Observable* from, CameraEvent* event) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CameraModel* m_model = nullptr;
};
