#pragma once
// CameraModel: the camera's state as the commands last read it, and the
// observable that tells observers what changed. Written on the command
// thread, read on the host thread: every field is behind the model's lock.
// CameraModelLegacy is the model of older cameras (device sub-type 0),
// whose commands lock the camera's user interface around their work.

#include "cameraplugins/eos/actions.h"

#include "outside/edsdk/edsdk.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

// Folder and path lengths the model keeps, as the camera's file names need.
inline constexpr std::size_t kOstrelMaxPath = 260;

class CameraModel : public Observable
{
public:
    explicit CameraModel(EdsCameraRef camera) : m_camera(camera) {}

    EdsCameraRef getCameraObject() const { return m_camera; }
    virtual bool isLegacy() const { return false; }

    // The descriptors the model keeps.
    static bool keepsDescriptor(EdsPropertyID id);

    void setPropertyUInt32(EdsPropertyID id, EdsUInt32 value);
    // 0 for a property never read.
    EdsUInt32 getPropertyUInt32(EdsPropertyID id) const;
    void setModelName(const std::string& name);
    std::string getModelName() const;
    void setFirmwareVersion(const std::string& text);
    std::string getFirmwareVersion() const;
    void setPropertyDesc(EdsPropertyID id, const EdsPropertyDesc& desc);
    // Empty (no elements) for a descriptor never read.
    EdsPropertyDesc getPropertyDesc(EdsPropertyID id) const;
    void setFocusInfo(const EdsFocusInfo& info);
    EdsFocusInfo getFocusInfo() const;
    void setEvfZoomPosition(const EdsPoint& point);
    EdsPoint getEvfZoomPosition() const;

    // Cut to kOstrelMaxPath characters.
    void setPictureFolder(const std::string& folder);
    std::string getPictureFolder() const;
    void setLastDownloadPath(const std::string& path);
    std::string getLastDownloadPath() const;

private:
    EdsCameraRef m_camera;
    mutable std::mutex m_mutex;
    std::map<EdsPropertyID, EdsUInt32> m_values;
    std::map<EdsPropertyID, EdsPropertyDesc> m_descs;
    std::string m_modelName;
    std::string m_firmware;
    EdsFocusInfo m_focusInfo{};
    EdsPoint m_zoomPosition{};
    std::string m_pictureFolder;
    std::string m_lastDownloadPath;
};

class CameraModelLegacy : public CameraModel
{
public:
    using CameraModel::CameraModel;
    bool isLegacy() const override { return true; }
};
