#include "cameraplugins/eos/cameracontroller.h"

#include "cameraplugins/eos/edsdklibrary.h"
#include "cameraplugins/eos/evfcommands.h"

#include <algorithm>
#include <functional>
#include <map>
#include <string_view>

namespace {

// How far one focus-area step moves the zoom position.
constexpr EdsInt32 kFocusAreaStep = 128;

EdsUInt32 ValueOf(void* arg)
{
    return arg != nullptr ? *static_cast<const EdsUInt32*>(arg) : 0;
}

} // namespace

CameraController::CameraController(CameraModel* model, std::unique_ptr<Processor> processor)
    : m_model(model), m_processor(std::move(processor))
{
}

CameraController::~CameraController()
{
    m_processor->stop();
    m_processor->join();
}

void CameraController::run()
{
    m_processor->start();
    m_processor->enqueue(std::make_unique<OpenSessionCommand>(m_model));
    m_processor->enqueue(std::make_unique<GetPropertyCommand>(m_model, kEdsPropID_ProductName));
}

void CameraController::stopProcessor()
{
    m_processor->stop();
}

void CameraController::close()
{
    m_processor->setCloseCommand(std::make_unique<CloseSessionCommand>(m_model));
    m_processor->stop();
    m_processor->join();
}

void CameraController::actionPerformed(const ActionEvent& event)
{
    const std::string& action = event.getActionCommand();
    if (action == "closing") {
        close();
        return;
    }
    if (std::unique_ptr<Command> command = commandFor(action, event.getArg()))
        m_processor->enqueue(std::move(command));
}

EdsPoint CameraController::movedZoomPosition(const std::string& action) const
{
    EdsPoint point = m_model->getEvfZoomPosition();
    if (action == "focus_Up")
        point.y = std::max(point.y - kFocusAreaStep, 0);
    else if (action == "focus_Down")
        point.y += kFocusAreaStep;
    else if (action == "focus_Left")
        point.x = std::max(point.x - kFocusAreaStep, 0);
    else if (action == "focus_Right")
        point.x += kFocusAreaStep;
    return point;
}

std::unique_ptr<Command> CameraController::commandFor(const std::string& action, void* arg)
{
    using Factory = std::function<std::unique_ptr<Command>(CameraController&, void*)>;
    const auto setValue = [](EdsPropertyID id) {
        return Factory([id](CameraController& c, void* a) -> std::unique_ptr<Command> {
            return std::make_unique<SetPropertyCommand<EdsUInt32>>(c.m_model, id, ValueOf(a));
        });
    };
    const auto setFixed = [](EdsPropertyID id, EdsUInt32 value) {
        return Factory([id, value](CameraController& c, void*) -> std::unique_ptr<Command> {
            return std::make_unique<SetPropertyCommand<EdsUInt32>>(c.m_model, id, value);
        });
    };
    const auto shutter = [](EdsInt32 state) {
        return Factory([state](CameraController& c, void*) -> std::unique_ptr<Command> {
            return std::make_unique<PressShutterButtonCommand>(c.m_model, state);
        });
    };
    const auto lens = [](EdsInt32 step) {
        return Factory([step](CameraController& c, void*) -> std::unique_ptr<Command> {
            return std::make_unique<DriveLensCommand>(c.m_model, step);
        });
    };
    const auto evfAf = [](EdsInt32 on) {
        return Factory([on](CameraController& c, void*) -> std::unique_ptr<Command> {
            return std::make_unique<DoEvfAFCommand>(c.m_model, on);
        });
    };
    const Factory focusArea = [&action](CameraController& c, void*) -> std::unique_ptr<Command> {
        return std::make_unique<SetPropertyCommand<EdsPoint>>(c.m_model, kEdsPropID_Evf_ZoomPosition,
                                                              c.movedZoomPosition(action));
    };
    static const std::map<std::string_view, Factory> table = {
        {"opensession",
         [](CameraController& c, void*) -> std::unique_ptr<Command> {
             return std::make_unique<OpenSessionCommand>(c.m_model);
         }},
        {"set_AEMode", setValue(kEdsPropID_AEMode)},
        {"set_Av", setValue(kEdsPropID_Av)},
        {"set_Tv", setValue(kEdsPropID_Tv)},
        {"set_ISOSpeed", setValue(kEdsPropID_ISOSpeed)},
        {"set_MeteringMode", setValue(kEdsPropID_MeteringMode)},
        {"set_ExposureCompensation", setValue(kEdsPropID_ExposureCompensation)},
        {"set_ImageQuality", setValue(kEdsPropID_ImageQuality)},
        {"set_EvfAFMode", setValue(kEdsPropID_Evf_AFMode)},
        {"pressingHalfway", shutter(1)},
        {"pressingCompletely", shutter(3)},
        {"pressingOff", shutter(0)},
        {"TakePicture",
         [](CameraController& c, void*) -> std::unique_ptr<Command> {
             return std::make_unique<TakePictureCommand>(c.m_model);
         }},
        {"set_Capacity",
         [](CameraController& c, void* a) -> std::unique_ptr<Command> {
             if (a == nullptr)
                 return nullptr;
             return std::make_unique<SetCapacityCommand>(c.m_model, *static_cast<const EdsCapacity*>(a));
         }},
        {"get_Property",
         [](CameraController& c, void* a) -> std::unique_ptr<Command> {
             return std::make_unique<GetPropertyCommand>(c.m_model, ValueOf(a));
         }},
        {"get_PropertyDesc",
         [](CameraController& c, void* a) -> std::unique_ptr<Command> {
             return std::make_unique<GetPropertyDescCommand>(c.m_model, ValueOf(a));
         }},
        {"download",
         [](CameraController& c, void* a) -> std::unique_ptr<Command> {
             return std::make_unique<DownloadCommand>(c.m_model, static_cast<EdsDirectoryItemRef>(a),
                                                      c.m_localClock);
         }},
        {"shutDown",
         [](CameraController& c, void*) -> std::unique_ptr<Command> {
             return std::make_unique<NotifyCommand>(c.m_model, "shutDown");
         }},
        {"startEVF",
         [](CameraController& c, void*) -> std::unique_ptr<Command> {
             return std::make_unique<StartEvfCommand>(c.m_model);
         }},
        {"endEVF",
         [](CameraController& c, void*) -> std::unique_ptr<Command> {
             return std::make_unique<EndEvfCommand>(c.m_model, c.m_processor->clock());
         }},
        {"downloadEVF",
         [](CameraController& c, void*) -> std::unique_ptr<Command> {
             return std::make_unique<DownloadEvfCommand>(c.m_model);
         }},
        {"focus_Near3", lens(3)},
        {"focus_Near2", lens(2)},
        {"focus_Near1", lens(1)},
        {"focus_Far1", lens(0x8001)},
        {"focus_Far2", lens(0x8002)},
        {"focus_Far3", lens(0x8003)},
        {"zoom_Fit", setFixed(kEdsPropID_Evf_Zoom, 1)},
        {"zoom_Zoom", setFixed(kEdsPropID_Evf_Zoom, 5)},
        {"evfAFOn", evfAf(1)},
        {"evfAFOff", evfAf(0)},
    };
    if (action == "focus_Up" || action == "focus_Down" || action == "focus_Left" || action == "focus_Right")
        return focusArea(*this, arg);
    const auto it = table.find(action);
    return it != table.end() ? it->second(*this, arg) : nullptr;
}

EdsError CameraController::handlePropertyEvent(EdsPropertyEvent event, EdsPropertyID property, EdsUInt32,
                                               void* context)
{
    auto* controller = static_cast<CameraController*>(context);
    if (event == kEdsPropertyEvent_PropertyChanged)
        controller->actionPerformed(ActionEvent("get_Property", &property));
    else if (event == kEdsPropertyEvent_PropertyDescChanged)
        controller->actionPerformed(ActionEvent("get_PropertyDesc", &property));
    return EDS_ERR_OK;
}

EdsError CameraController::handleObjectEvent(EdsObjectEvent event, EdsBaseRef object, void* context)
{
    auto* controller = static_cast<CameraController*>(context);
    if (event == kEdsObjectEvent_DirItemRequestTransfer)
        controller->actionPerformed(ActionEvent("download", object));
    else if (object != nullptr)
        Edsdk().Release(object);
    return EDS_ERR_OK;
}

EdsError CameraController::handleStateEvent(EdsStateEvent event, EdsUInt32, void* context)
{
    auto* controller = static_cast<CameraController*>(context);
    if (event == kEdsStateEvent_Shutdown)
        controller->actionPerformed(ActionEvent("shutDown", nullptr));
    return EDS_ERR_OK;
}
