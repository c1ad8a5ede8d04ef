#include "cameraplugins/eos/command.h"

#include "cameraplugins/eos/edsdklibrary.h"

#include <array>
#include <exception>
#include <vector>

namespace {

// What 0xFFFF stands for, in this order.
constexpr std::array<EdsPropertyID, 7> kExposureProperties = {
    kEdsPropID_AEMode,       kEdsPropID_Tv, kEdsPropID_Av, kEdsPropID_ISOSpeed, kEdsPropID_MeteringMode,
    kEdsPropID_ExposureCompensation, kEdsPropID_ImageQuality,
};
// No camera has a longer string property.
constexpr EdsUInt32 kMaxStringSize = 256;

} // namespace

bool Command::run()
{
    try {
        return execute();
    } catch (const std::exception&) {
        notifyError(EDS_ERR_INTERNAL_ERROR);
        return true;
    }
}

void Command::notifyError(EdsError error)
{
    m_model->notifyObservers("error", &error);
}

bool Command::finish(EdsError error, bool retryBusy)
{
    if (error == EDS_ERR_OK)
        return true;
    if (error == EDS_ERR_DEVICE_BUSY) {
        m_model->notifyObservers("DeviceBusy");
        return !retryBusy;
    }
    notifyError(error);
    return true;
}

CUILock::CUILock(const CameraModel& model)
{
    if (!model.isLegacy())
        return;
    m_error = Edsdk().SendStatusCommand(model.getCameraObject(), kEdsCameraStatusCommand_UILock, 0);
    if (m_error == EDS_ERR_OK)
        m_camera = model.getCameraObject();
}

CUILock::~CUILock()
{
    if (m_camera != nullptr)
        Edsdk().SendStatusCommand(m_camera, kEdsCameraStatusCommand_UIUnLock, 0);
}

bool OpenSessionCommand::execute()
{
    EdsError error = Edsdk().OpenSession(camera());
    const EdsUInt32 saveTo = kEdsSaveTo_Host;
    if (error == EDS_ERR_OK)
        error = Edsdk().SetPropertyData(camera(), kEdsPropID_SaveTo, 0, sizeof saveTo, &saveTo);
    if (error == EDS_ERR_OK && m_model->isLegacy()) {
        GetPropertyCommand(m_model, kEdsPropID_Unknown).execute();
        GetPropertyDescCommand(m_model, kEdsPropID_Unknown).execute();
    } else if (error == EDS_ERR_OK) {
        error = Edsdk().SendStatusCommand(camera(), kEdsCameraStatusCommand_UILock, 0);
        if (error == EDS_ERR_OK) {
            error = Edsdk().SetCapacity(camera(), EdsCapacity{0x7FFFFFFF, 0x1000, 1});
            Edsdk().SendStatusCommand(camera(), kEdsCameraStatusCommand_UIUnLock, 0);
        }
    }
    if (error != EDS_ERR_OK)
        notifyError(error);
    return true;
}

bool CloseSessionCommand::execute()
{
    if (const EdsError error = Edsdk().CloseSession(camera()))
        notifyError(error);
    return true;
}

bool GetPropertyCommand::execute()
{
    const CUILock lock(*m_model);
    EdsError error = lock.error();
    if (error == EDS_ERR_OK && m_id == kEdsPropID_Unknown) {
        for (const EdsPropertyID id : kExposureProperties) {
            if ((error = readProperty(id)) != EDS_ERR_OK)
                break;
        }
    } else if (error == EDS_ERR_OK) {
        error = readProperty(m_id);
    }
    return finish(error, true);
}

EdsError GetPropertyCommand::readProperty(EdsPropertyID id)
{
    EdsDataType type = 0;
    EdsUInt32 size = 0;
    EdsError error = Edsdk().GetPropertySize(camera(), id, 0, &type, &size);
    if (error != EDS_ERR_OK)
        return error;
    // A size that does not fit the type is refused, never read.
    switch (type) {
    case kEdsDataType_UInt32: {
        if (size != sizeof(EdsUInt32))
            return EDS_ERR_PROPERTIES_MISMATCH;
        EdsUInt32 value = 0;
        if ((error = Edsdk().GetPropertyData(camera(), id, 0, size, &value)) != EDS_ERR_OK)
            return error;
        m_model->setPropertyUInt32(id, value);
        break;
    }
    case kEdsDataType_String: {
        if (size == 0 || size > kMaxStringSize)
            return EDS_ERR_PROPERTIES_MISMATCH;
        std::vector<char> text(size + 1, '\0');
        if ((error = Edsdk().GetPropertyData(camera(), id, 0, size, text.data())) != EDS_ERR_OK)
            return error;
        if (id == kEdsPropID_ProductName)
            m_model->setModelName(text.data());
        else if (id == kEdsPropID_FirmwareVersion)
            m_model->setFirmwareVersion(text.data());
        break;
    }
    case kEdsDataType_FocusInfo: {
        if (size != sizeof(EdsFocusInfo))
            return EDS_ERR_PROPERTIES_MISMATCH;
        EdsFocusInfo info{};
        if ((error = Edsdk().GetPropertyData(camera(), id, 0, size, &info)) != EDS_ERR_OK)
            return error;
        m_model->setFocusInfo(info);
        break;
    }
    default:
        break;
    }
    m_model->notifyObservers("PropertyChanged", &id);
    return EDS_ERR_OK;
}

bool GetPropertyDescCommand::execute()
{
    const CUILock lock(*m_model);
    EdsError error = lock.error();
    if (error == EDS_ERR_OK && m_id == kEdsPropID_Unknown) {
        for (const EdsPropertyID id : kExposureProperties) {
            if ((error = readDesc(id)) != EDS_ERR_OK)
                break;
        }
    } else if (error == EDS_ERR_OK) {
        error = readDesc(m_id);
    }
    return finish(error, true);
}

EdsError GetPropertyDescCommand::readDesc(EdsPropertyID id)
{
    EdsPropertyDesc desc{};
    if (const EdsError error = Edsdk().GetPropertyDesc(camera(), id, &desc))
        return error;
    if (desc.numElements < 0 || desc.numElements > kEdsMaxDescValues)
        return EDS_ERR_PROPERTIES_MISMATCH;
    if (CameraModel::keepsDescriptor(id))
        m_model->setPropertyDesc(id, desc);
    m_model->notifyObservers("PropertyDescChanged", &id);
    return EDS_ERR_OK;
}

template <class T>
bool SetPropertyCommand<T>::execute()
{
    const CUILock lock(*m_model);
    EdsError error = lock.error();
    if (error == EDS_ERR_OK)
        error = Edsdk().SetPropertyData(camera(), m_id, 0, sizeof m_value, &m_value);
    return finish(error, true);
}

template class SetPropertyCommand<EdsUInt32>;
template class SetPropertyCommand<EdsPoint>;

bool TakePictureCommand::execute()
{
    // An old path must never pass for this picture's.
    m_model->setLastDownloadPath({});
    const CUILock lock(*m_model);
    EdsError error = lock.error();
    if (error == EDS_ERR_OK)
        error = Edsdk().SendCommand(camera(), kEdsCameraCommand_TakePicture, 0);
    return finish(error, false);
}

bool SendCommandCommand::execute()
{
    return finish(Edsdk().SendCommand(camera(), m_command, m_param), false);
}

bool SetCapacityCommand::execute()
{
    if (m_model->isLegacy())
        return true;
    return finish(Edsdk().SetCapacity(camera(), m_capacity), false);
}

bool NotifyCommand::execute()
{
    m_model->notifyObservers(m_name);
    return true;
}
