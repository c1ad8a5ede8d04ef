#pragma once
// CameraController: turns named actions into commands on the processor's
// queue. The SDK's event handlers fire their actions straight into it.

#include "cameraplugins/common/picturename.h"
#include "cameraplugins/eos/actions.h"
#include "cameraplugins/eos/processor.h"

#include <memory>

class CameraController : public ActionListener
{
public:
    CameraController(CameraModel* model, std::unique_ptr<Processor> processor);
    ~CameraController() override;

    // Starts the command thread and queues the open session and the read
    // of the product name.
    void run();
    // An unknown action does nothing.
    void actionPerformed(const ActionEvent& event) override;
    // The run flag cleared: the thread ends after its current command.
    void stopProcessor();
    Processor& processor() { return *m_processor; }
    // Local time for the names of downloaded pictures.
    void setLocalClock(CLocalClock clock) { m_localClock = std::move(clock); }

    // The SDK's event handlers; context is the controller.
    static EdsError handlePropertyEvent(EdsPropertyEvent event, EdsPropertyID property, EdsUInt32 param,
                                        void* context);
    static EdsError handleObjectEvent(EdsObjectEvent event, EdsBaseRef object, void* context);
    static EdsError handleStateEvent(EdsStateEvent event, EdsUInt32 param, void* context);

private:
    // The command for an action; null for none.
    std::unique_ptr<Command> commandFor(const std::string& action, void* arg);
    EdsPoint movedZoomPosition(const std::string& action) const;
    void close();

    CameraModel* m_model;
    std::unique_ptr<Processor> m_processor;
    CLocalClock m_localClock;
};
