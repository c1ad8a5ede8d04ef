#include "cameraplugins/eos/cameramodel.h"

bool CameraModel::keepsDescriptor(EdsPropertyID id)
{
    switch (id) {
    case kEdsPropID_AEMode:
    case kEdsPropID_Tv:
    case kEdsPropID_Av:
    case kEdsPropID_ISOSpeed:
    case kEdsPropID_MeteringMode:
    case kEdsPropID_ExposureCompensation:
    case kEdsPropID_ImageQuality:
    case kEdsPropID_Evf_AFMode:
        return true;
    default:
        return false;
    }
}

void CameraModel::setPropertyUInt32(EdsPropertyID id, EdsUInt32 value)
{
    std::lock_guard lock(m_mutex);
    m_values[id] = value;
}

EdsUInt32 CameraModel::getPropertyUInt32(EdsPropertyID id) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_values.find(id);
    return it != m_values.end() ? it->second : 0;
}

void CameraModel::setModelName(const std::string& name)
{
    std::lock_guard lock(m_mutex);
    m_modelName = name;
}

std::string CameraModel::getModelName() const
{
    std::lock_guard lock(m_mutex);
    return m_modelName;
}

void CameraModel::setFirmwareVersion(const std::string& text)
{
    std::lock_guard lock(m_mutex);
    m_firmware = text;
}

std::string CameraModel::getFirmwareVersion() const
{
    std::lock_guard lock(m_mutex);
    return m_firmware;
}

void CameraModel::setPropertyDesc(EdsPropertyID id, const EdsPropertyDesc& desc)
{
    std::lock_guard lock(m_mutex);
    m_descs[id] = desc;
}

EdsPropertyDesc CameraModel::getPropertyDesc(EdsPropertyID id) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_descs.find(id);
    return it != m_descs.end() ? it->second : EdsPropertyDesc{};
}

void CameraModel::setFocusInfo(const EdsFocusInfo& info)
{
    std::lock_guard lock(m_mutex);
    m_focusInfo = info;
}

EdsFocusInfo CameraModel::getFocusInfo() const
{
    std::lock_guard lock(m_mutex);
    return m_focusInfo;
}

void CameraModel::setEvfZoomPosition(const EdsPoint& point)
{
    std::lock_guard lock(m_mutex);
    m_zoomPosition = point;
}

EdsPoint CameraModel::getEvfZoomPosition() const
{
    std::lock_guard lock(m_mutex);
    return m_zoomPosition;
}

void CameraModel::setPictureFolder(const std::string& folder)
{
    std::lock_guard lock(m_mutex);
    m_pictureFolder = folder.substr(0, kOstrelMaxPath);
}

std::string CameraModel::getPictureFolder() const
{
    std::lock_guard lock(m_mutex);
    return m_pictureFolder;
}

void CameraModel::setLastDownloadPath(const std::string& path)
{
    std::lock_guard lock(m_mutex);
    m_lastDownloadPath = path.substr(0, kOstrelMaxPath);
}

std::string CameraModel::getLastDownloadPath() const
{
    std::lock_guard lock(m_mutex);
    return m_lastDownloadPath;
}
