#pragma once
// CEdsdkSimulator: EOS cameras without hardware, behind the calls of
// edsdk.h. Tests reach it through kestrun::edsdk::EdsdkSimulator().
//
// The first camera of the list is the one that answers: its properties
// (32-bit values, strings, the focus information, or raw bytes of any type
// and size), descriptors, session, commands and capacity. Events reach the
// registered handlers on a thread of the simulator: property events when a
// property is set, 0x208 with a new directory item after a picture, and
// whatever a test raises. Downloads report progress to the stream's
// call-back. Live view answers 0xA102 until the output device has the
// computer bit and a frame is ready; frames are JPEG pictures of a scene.
// Any call can be made to fail by name and call count.

#include "outside/edsdk/edsdk.h"

#include <opencv2/core.hpp>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kestrun::edsdk {

struct CSimCamera
{
    std::string description = "Canon EOS 450D";
    // 0 makes the plug-in use its legacy model.
    std::uint32_t nSubType = 1;
};

// A call that answers an error: after nSkip good calls, nTimes times
// (negative: every time). Calls are named as in edsdk.h ("EdsOpenSession").
struct CCallFault
{
    std::string call;
    EdsError nCode = 0;
    int nSkip = 0;
    int nTimes = -1;
};

// A property as the camera holds it.
struct CSimProperty
{
    EdsDataType nType = kEdsDataType_UInt32;
    std::vector<std::uint8_t> data;
};

struct CSimCommand
{
    std::uint32_t nCommand = 0;
    std::int32_t nParam = 0;
    // Live view went to the computer when the command came.
    bool bLiveView = false;
    bool operator==(const CSimCommand&) const = default;
};

struct CSimPropertyWrite
{
    EdsPropertyID nId = 0;
    std::uint32_t nSize = 0;
    std::uint32_t nValue = 0;  // the first 32 bits
    std::uint32_t nValue2 = 0; // the next 32 bits of a point
    bool operator==(const CSimPropertyWrite&) const = default;
};

class CEdsdkSimulator
{
public:
    CEdsdkSimulator();
    ~CEdsdkSimulator();
    CEdsdkSimulator(const CEdsdkSimulator&) = delete;
    CEdsdkSimulator& operator=(const CEdsdkSimulator&) = delete;

    // One camera ("Canon EOS 450D", sub-type 1) with default properties and
    // descriptors, SDK not started, no faults, logs empty, frames ready.
    void Reset();

    // ---- control ----
    void SetCameras(const std::vector<CSimCamera>& cameras);
    void AddFault(const CCallFault& fault);
    void SetProperty32(EdsPropertyID nId, std::uint32_t nValue);
    void SetPropertyString(EdsPropertyID nId, const std::string& text);
    void SetPropertyRaw(EdsPropertyID nId, const CSimProperty& property);
    void SetFocusInfo(const EdsFocusInfo& info);
    // More than 128 values makes a descriptor that claims them all.
    void SetDescriptor(EdsPropertyID nId, const std::vector<std::int32_t>& values);
    // The bytes of the next pictures; empty: a JPEG of the scene.
    void SetPictureBytes(std::vector<std::uint8_t> bytes);
    // With manual frames, live view delivers only frames made ready.
    void SetManualFrames(bool bManual);
    void MakeFramesReady(int n);
    // The next n frames carry bytes that are no JPEG.
    void CorruptNextFrames(int n);
    void RaisePropertyEvent(EdsPropertyEvent nEvent, EdsPropertyID nId);
    void RaiseStateEvent(EdsStateEvent nEvent);
    // Returns when every queued event has been handed over.
    void WaitForEvents();

    // ---- observation ----
    bool IsStarted() const;
    bool IsSessionOpen() const;
    bool IsUILocked() const;
    std::uint32_t GetProperty32(EdsPropertyID nId) const;
    std::vector<std::string> CallLog() const;
    std::vector<CSimCommand> Commands() const;
    std::vector<CSimCommand> StatusCommands() const;
    std::vector<CSimPropertyWrite> PropertyWrites() const;
    std::vector<EdsCapacity> Capacities() const;
    // References handed out and not released.
    int OpenReferences() const;
    int FramesDelivered() const;
    int PicturesTaken() const;
    // The scene as a picture and as a live frame, before JPEG encoding.
    cv::Mat ScenePicture(int nPicture) const;
    cv::Mat SceneFrame(int nFrame) const;
    void ClearLogs();

    // ---- the SDK's calls ----
    EdsError InitializeSDK();
    EdsError TerminateSDK();
    EdsUInt32 Release(EdsBaseRef ref);
    EdsError GetChildCount(EdsBaseRef ref, EdsUInt32* count);
    EdsError GetChildAtIndex(EdsBaseRef ref, EdsInt32 index, EdsBaseRef* child);
    EdsError GetPropertySize(EdsBaseRef ref, EdsPropertyID id, EdsDataType* type, EdsUInt32* size);
    EdsError GetPropertyData(EdsBaseRef ref, EdsPropertyID id, EdsUInt32 size, void* data);
    EdsError SetPropertyData(EdsBaseRef ref, EdsPropertyID id, EdsUInt32 size, const void* data);
    EdsError GetPropertyDesc(EdsBaseRef ref, EdsPropertyID id, EdsPropertyDesc* desc);
    EdsError GetCameraList(EdsCameraListRef* list);
    EdsError GetDeviceInfo(EdsCameraRef camera, EdsDeviceInfo* info);
    EdsError OpenSession(EdsCameraRef camera);
    EdsError CloseSession(EdsCameraRef camera);
    EdsError SendCommand(EdsCameraRef camera, EdsCameraCommand command, EdsInt32 param);
    EdsError SendStatusCommand(EdsCameraRef camera, EdsCameraStatusCommand command, EdsInt32 param);
    EdsError SetCapacity(EdsCameraRef camera, const EdsCapacity& capacity);
    EdsError GetDirectoryItemInfo(EdsDirectoryItemRef item, EdsDirectoryItemInfo* info);
    EdsError Download(EdsDirectoryItemRef item, EdsUInt64 size, EdsStreamRef stream);
    EdsError DownloadComplete(EdsDirectoryItemRef item);
    EdsError CreateFileStream(const char* path, EdsStreamRef* stream);
    EdsError CreateMemoryStream(EdsUInt64 size, EdsStreamRef* stream);
    EdsError GetPointer(EdsStreamRef stream, void** pointer);
    EdsError GetLength(EdsStreamRef stream, EdsUInt64* length);
    EdsError SetProgressCallback(EdsBaseRef ref, EdsProgressCallback callback, void* context);
    EdsError CreateEvfImageRef(EdsStreamRef stream, EdsEvfImageRef* image);
    EdsError DownloadEvfImage(EdsCameraRef camera, EdsEvfImageRef image);
    EdsError SetPropertyEventHandler(EdsCameraRef camera, EdsPropertyEventHandler handler, void* context);
    EdsError SetObjectEventHandler(EdsCameraRef camera, EdsObjectEventHandler handler, void* context);
    EdsError SetStateEventHandler(EdsCameraRef camera, EdsStateEventHandler handler, void* context);

private:
    enum class Kind
    {
        cameraList,
        camera,
        directoryItem,
        fileStream,
        memoryStream,
        evfImage,
    };
    struct CObject
    {
        Kind kind = Kind::camera;
        int nCamera = 0;
        std::vector<std::uint8_t> bytes; // memory stream data, picture of an item
        std::string path;                // file stream
        EdsProgressCallback progress = nullptr;
        void* progressContext = nullptr;
        std::uintptr_t stream = 0; // evf image: its memory stream
        std::uint32_t nZoom = 0;
        EdsPoint zoomPosition{};
        std::string fileName;
    };
    struct CEvent
    {
        int nType = 0; // 1 property, 2 object, 3 state
        std::uint32_t nEvent = 0;
        std::uint32_t nParam = 0;
        std::uintptr_t ref = 0;
    };

    void ResetCamera();
    EdsError CheckFault(const char* name);
    CObject* Find(EdsBaseRef ref, Kind kind);
    EdsBaseRef NewRef(CObject object);
    EdsError CheckCamera(EdsBaseRef camera, bool bSession);
    void PutProperty32(EdsPropertyID nId, std::uint32_t nValue);
    std::uint32_t Property32(EdsPropertyID nId) const;
    void Queue(const CEvent& event);
    void EventLoop();
    void StopEventThread(std::unique_lock<std::mutex>& lock);
    std::vector<std::uint8_t> NextPicture();
    std::vector<std::uint8_t> NextFrame();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<CSimCamera> m_cameras;
    std::vector<CCallFault> m_faults;
    std::map<std::string, int> m_callCounts;
    std::vector<std::string> m_callLog;
    std::vector<CSimCommand> m_commands;
    std::vector<CSimCommand> m_statusCommands;
    std::vector<CSimPropertyWrite> m_writes;
    std::vector<EdsCapacity> m_capacities;
    std::map<EdsPropertyID, CSimProperty> m_properties;
    std::map<EdsPropertyID, std::vector<std::int32_t>> m_descriptors;
    std::map<std::uintptr_t, CObject> m_objects;
    std::uintptr_t m_nextRef = 0x1000;
    bool m_bStarted = false;
    bool m_bSession = false;
    bool m_bUILocked = false;
    std::vector<std::uint8_t> m_pictureBytes;
    int m_nPictures = 0;
    bool m_bManualFrames = false;
    int m_nFramesReady = 0;
    int m_nFramesDelivered = 0;
    int m_nCorruptFrames = 0;

    EdsPropertyEventHandler m_propertyHandler = nullptr;
    void* m_propertyContext = nullptr;
    EdsObjectEventHandler m_objectHandler = nullptr;
    void* m_objectContext = nullptr;
    EdsStateEventHandler m_stateHandler = nullptr;
    void* m_stateContext = nullptr;

    std::deque<CEvent> m_events;
    bool m_bDispatching = false;
    bool m_bEventStop = false;
    std::thread m_eventThread;
};

// The one simulator of the process, behind the calls of edsdk.h.
CEdsdkSimulator& EdsdkSimulator();

} // namespace kestrun::edsdk
