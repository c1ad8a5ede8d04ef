#pragma once
// CEVFPictureBox: the live-view picture of the camera control dialog, with
// the zoom frame and the AF frames of the last live frame. The model's
// notices come on the command thread: the box keeps a copy of the frame and
// posts itself a repaint, so it paints on the dialog's thread, and asks
// for the focus information and the next frame.

#include "cameraplugins/eos/actions.h"
#include "cameraplugins/eos/cameramodel.h"

#include "platform/core/geometry.h"
#include "platform/ui/staticedit.h"

#include <atomic>
#include <mutex>
#include <vector>

class CDC;
struct EvfDataSet;

class CEVFPictureBox : public CStatic, public ActionSource, public Observer
{
public:
    CEVFPictureBox() : ActionSource("downloadEVF") {}
    void setModel(CameraModel* model) { m_model = model; }

    void update(Observable* from, CameraEvent* event) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The last frame stretched to the rectangle, then the zoom frame and
    // the AF frames; nothing before the first frame.
    void PaintFrame(CDC& dc, const CRect& client);
    bool HasFrame() const;

protected:
    bool WantsPaint() const override { return true; }
    void OnPaint() override;

private:
    void KeepFrame(const EvfDataSet& data);
    void OnOutputDevice();

    CameraModel* m_model = nullptr;
    mutable std::mutex m_mutex;
    std::vector<std::uint8_t> m_jpeg;
    EdsUInt32 m_zoom = 0;
    EdsPoint m_zoomPosition{};
    EdsSize m_fullSize{};
    EdsFocusInfo m_focusInfo{};
    std::atomic<bool> m_bZoomFrame = true;
    std::atomic<bool> m_bLiveView = false;
    std::atomic<bool> m_bRepaintPosted = false;
};
