#pragma once
// Command: one piece of camera work, run on the command thread. execute()
// returns true when the command is finished (done, or failed and
// reported) and false when it is to run again later. Commands report
// through the model: "error" (argument: the EdsError), "DeviceBusy", or
// their own result events.

#include "cameraplugins/eos/cameramodel.h"

#include "outside/edsdk/edsdk.h"

#include <memory>
#include <string>

class Command
{
public:
    explicit Command(CameraModel* model) : m_model(model) {}
    virtual ~Command() = default;
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    virtual bool execute() = 0;
    // execute() that lets no exception out of the command thread.
    bool run();
    CameraModel* getCameraModel() const { return m_model; }

protected:
    EdsCameraRef camera() const { return m_model->getCameraObject(); }
    void notifyError(EdsError error);
    // Busy: "DeviceBusy" and false when retryBusy; any other error:
    // "error"; otherwise true.
    bool finish(EdsError error, bool retryBusy);

    CameraModel* m_model;
};

// Legacy cameras: their user interface is locked for the command's work.
class CUILock
{
public:
    explicit CUILock(const CameraModel& model);
    ~CUILock();
    CUILock(const CUILock&) = delete;
    CUILock& operator=(const CUILock&) = delete;
    EdsError error() const { return m_error; }

private:
    EdsCameraRef m_camera = nullptr;
    EdsError m_error = EDS_ERR_OK;
};

class OpenSessionCommand : public Command
{
public:
    using Command::Command;
    bool execute() override;
};

class CloseSessionCommand : public Command
{
public:
    using Command::Command;
    bool execute() override;
};

// 0xFFFF reads the exposure properties one after the other.
class GetPropertyCommand : public Command
{
public:
    GetPropertyCommand(CameraModel* model, EdsPropertyID id) : Command(model), m_id(id) {}
    bool execute() override;

private:
    EdsError readProperty(EdsPropertyID id);
    EdsPropertyID m_id;
};

class GetPropertyDescCommand : public Command
{
public:
    GetPropertyDescCommand(CameraModel* model, EdsPropertyID id) : Command(model), m_id(id) {}
    bool execute() override;

private:
    EdsError readDesc(EdsPropertyID id);
    EdsPropertyID m_id;
};

// A 32-bit value or a point (0x508).
template <class T>
class SetPropertyCommand : public Command
{
public:
    SetPropertyCommand(CameraModel* model, EdsPropertyID id, const T& value) : Command(model), m_id(id), m_value(value)
    {
    }
    bool execute() override;

private:
    EdsPropertyID m_id;
    T m_value;
};

class TakePictureCommand : public Command
{
public:
    using Command::Command;
    bool execute() override;
};

// A camera command with its parameter, busy or not finished at once:
// the shutter button, the lens drive and the live-view autofocus.
class SendCommandCommand : public Command
{
public:
    SendCommandCommand(CameraModel* model, EdsCameraCommand command, EdsInt32 param)
        : Command(model), m_command(command), m_param(param)
    {
    }
    bool execute() override;

private:
    EdsCameraCommand m_command;
    EdsInt32 m_param;
};

class PressShutterButtonCommand : public SendCommandCommand
{
public:
    PressShutterButtonCommand(CameraModel* model, EdsInt32 state)
        : SendCommandCommand(model, kEdsCameraCommand_PressShutterButton, state)
    {
    }
};

class DriveLensCommand : public SendCommandCommand
{
public:
    DriveLensCommand(CameraModel* model, EdsInt32 step) : SendCommandCommand(model, kEdsCameraCommand_DriveLensEvf, step)
    {
    }
};

class DoEvfAFCommand : public SendCommandCommand
{
public:
    DoEvfAFCommand(CameraModel* model, EdsInt32 on) : SendCommandCommand(model, kEdsCameraCommand_DoEvfAf, on) {}
};

class SetCapacityCommand : public Command
{
public:
    SetCapacityCommand(CameraModel* model, const EdsCapacity& capacity) : Command(model), m_capacity(capacity) {}
    bool execute() override;

private:
    EdsCapacity m_capacity;
};

class NotifyCommand : public Command
{
public:
    NotifyCommand(CameraModel* model, std::string name) : Command(model), m_name(std::move(name)) {}
    bool execute() override;

private:
    std::string m_name;
};
