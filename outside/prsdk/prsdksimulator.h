#pragma once
// CPrsdkSimulator: PowerShot cameras without hardware, behind the calls of
// prsdk.h. Tests reach it through kestrun::prsdk::PrsdkSimulator().
//
// A camera keeps its properties with their storage and descriptors (zoom
// 0xD02A in range form with its upper reference 0xD03D, seven enumerated
// properties, the plain ones). Events reach the event call-back on a thread
// of the simulator; viewfinder frames, JPEG pictures of a seeded scene, come
// on a thread of their own; released data goes to the caller's progress
// call-back on the caller's thread. Any call can be made to fail by name.
//
// Viewfinder frames are paced by the injected clock, or, with manual frames,
// come only when a test asks for them, so that tests never wait on time.

#include "platform/core/clock.h"

#include <opencv2/core.hpp>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kestrun::prsdk {

// Error codes of the simulated SDK.
inline constexpr std::uint32_t kErrInvalidParameter = 0x00000061;
inline constexpr std::uint32_t kErrInvalidHandle = 0x00000062;
inline constexpr std::uint32_t kErrBufferTooSmall = 0x00000063; // 99
inline constexpr std::uint32_t kErrSequence = 0x00000064;
inline constexpr std::uint32_t kErrNotSupported = 0x00000066;
inline constexpr std::uint32_t kErrNotStarted = 0x00000067;

inline constexpr std::uint16_t kEventViewFinderStopped = 0xC006;
inline constexpr std::uint16_t kEventReleased = 0xC008;
inline constexpr std::uint16_t kEventReleasedSecond = 0xC009;
inline constexpr std::uint16_t kEventShutDown = 0xD001;

inline constexpr std::uint8_t kTypeUInt8 = 2;
inline constexpr std::uint8_t kTypeUInt16 = 4;
inline constexpr std::uint8_t kFormNone = 0;
inline constexpr std::uint8_t kFormRange = 1;
inline constexpr std::uint8_t kFormEnum = 2;

// One property of a camera: storage and descriptor.
struct CSimProperty
{
    std::uint16_t nType = kTypeUInt8;
    bool bSettable = true;
    std::uint8_t nForm = kFormNone;
    std::uint16_t nDefault = 0;
    std::uint16_t nValue = 0;
    std::uint16_t nMin = 0;
    std::uint16_t nMax = 0;
    std::uint16_t nStep = 0;
    std::vector<std::uint16_t> values;
};

// One property write as the camera took it.
struct CPropertyWrite
{
    std::uint16_t nCode = 0;
    std::uint32_t nSize = 0;
    std::uint16_t nValue = 0;
    // A value the property does not take is refused.
    bool bTaken = true;
    bool operator==(const CPropertyWrite&) const = default;
};

// A call that answers an error: after nSkip good calls, nTimes times
// (negative: every time).
struct CCallFault
{
    std::string call;
    std::uint32_t nCode = 0;
    int nSkip = 0;
    int nTimes = -1;
};

class CPrsdkSimulator
{
public:
    CPrsdkSimulator();
    ~CPrsdkSimulator();
    CPrsdkSimulator(const CPrsdkSimulator&) = delete;
    CPrsdkSimulator& operator=(const CPrsdkSimulator&) = delete;

    // Back to one camera just plugged in: SDK not started, default
    // properties, no faults, logs empty, the machine's clock, free-running
    // frames, scene seed 1.
    void Reset();

    // ---- control ----
    void SetClock(IClock* pClock);
    // Cameras on the bus by name (UTF-16); the list may be empty.
    void SetCameras(const std::vector<std::u16string>& names);
    void AddFault(const CCallFault& fault);
    void SetProperty(std::uint16_t nCode, const CSimProperty& property);
    void SetSceneSeed(unsigned nSeed);
    // Picture size of a release; empty: from the image-size property.
    void SetPictureSize(cv::Size size);
    // With manual frames, the viewfinder sends only what DeliverFrames asks.
    void SetManualFrames(bool bManual);
    // The next n frames carry bytes that are no JPEG.
    void CorruptNextFrames(int n);
    // Waits until n more frames went out and returns how many did: fewer
    // when the viewfinder stopped, more when frames run free.
    int DeliverFrames(int n);
    // Queues an event for the event call-back of the first camera object.
    void RaiseEvent(std::uint16_t nCode, std::uint32_t nParameter = 0);
    // Returns when every queued event has been handed over.
    void WaitForEvents();

    // ---- observation ----
    bool IsStarted() const;
    bool IsConnected() const;
    bool HasReleaseControl() const;
    bool IsViewFinderRunning() const;
    bool IsFocusLocked() const;
    int CameraObjects() const;
    // Every call by name, in order.
    std::vector<std::string> CallLog() const;
    std::vector<CPropertyWrite> PropertyWrites() const;
    std::uint16_t GetPropertyValue(std::uint16_t nCode) const;
    // The record CDStartSDK was given.
    std::vector<std::uint8_t> CdStartRecord() const;
    void ClearLogs();
    // What the camera shows: the viewfinder frame of that number and the
    // picture of a release, both before JPEG encoding.
    cv::Mat SceneFrame(int nFrame) const;
    cv::Mat ScenePicture(int nRelease, cv::Size size) const;
    cv::Size PictureSize() const;

    // ---- the SDK's calls ----
    std::uint32_t StartSdk();
    std::uint32_t FinishSdk();
    std::uint32_t GetDeviceList(std::uint32_t* pBufferSize, void* pList);
    std::uint32_t CreateCameraObject(const void* pEntry, std::uintptr_t* phCamera);
    std::uint32_t DestroyCameraObject(std::uintptr_t hCamera);
    std::uint32_t SetEventCallBack(std::uintptr_t hCamera, std::uintptr_t context, void* pCallBack);
    std::uint32_t ClearEventCallBack(std::uintptr_t hCamera);
    std::uint32_t Connect(std::uintptr_t hCamera, bool bConnect);
    std::uint32_t GetDeviceInfo(std::uintptr_t hCamera, std::uint32_t* pBufferSize, void* pInfo);
    std::uint32_t ReleaseControl(std::uintptr_t hCamera, bool bTake);
    std::uint32_t Release(std::uintptr_t hCamera);
    std::uint32_t GetReleasedData(std::uintptr_t hCamera, std::uint32_t objectHandle, std::uint16_t eventCode,
                                  std::uint32_t transSize, std::uintptr_t context, void* pCallBack);
    std::uint32_t StartViewFinder(std::uintptr_t hCamera, std::uintptr_t context, void* pCallBack);
    std::uint32_t TermViewFinder(std::uintptr_t hCamera);
    std::uint32_t FocusLock(std::uintptr_t hCamera, bool bLock);
    std::uint32_t GetPropDesc(std::uintptr_t hCamera, std::uint16_t nCode, std::uint32_t* pBufferSize, void* pDesc);
    std::uint32_t GetPropValue(std::uintptr_t hCamera, std::uint16_t nCode, std::uint32_t* pBufferSize, void* pValue);
    std::uint32_t SetPropValue(std::uintptr_t hCamera, std::uint16_t nCode, std::uint32_t nSize, const void* pValue);
    std::uint32_t CdStart(const void* pVersion);
    std::uint32_t CdFinish();

private:
    struct CCameraObject
    {
        std::uint32_t nDevice = 0;
        std::uintptr_t eventContext = 0;
        void* pEventCallBack = nullptr;
    };
    struct CEvent
    {
        std::uintptr_t hCamera = 0;
        std::uint16_t nCode = 0;
        std::uint32_t nParameter = 0;
    };

    void ResetProperties();
    std::uint32_t CheckFault(const char* name);
    CCameraObject* FindObject(std::uintptr_t hCamera);
    std::uint32_t CheckConnected(std::uintptr_t hCamera);
    void QueueEvent(const CEvent& event);
    void EventLoop();
    void StopEventThread(std::unique_lock<std::mutex>& lock);
    void ViewFinderLoop(std::uintptr_t hCamera, std::uintptr_t context, void* pCallBack);
    bool WaitForFrameTurn();
    std::vector<std::uint8_t> EncodeFrame(int nFrame);
    void JoinViewFinder(std::unique_lock<std::mutex>& lock);

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    IClock* m_pClock = nullptr;
    std::vector<std::u16string> m_cameras;
    std::vector<CCallFault> m_faults;
    std::map<std::string, int> m_callCounts;
    std::vector<std::string> m_callLog;
    std::vector<CPropertyWrite> m_writes;
    std::map<std::uint16_t, CSimProperty> m_properties;
    std::map<std::uintptr_t, CCameraObject> m_objects;
    std::uintptr_t m_nextHandle = 1;
    std::uintptr_t m_connected = 0;
    bool m_bStarted = false;
    bool m_bReleaseControl = false;
    bool m_bFocusLocked = false;
    std::vector<std::uint8_t> m_cdRecord;
    unsigned m_nSeed = 1;
    cv::Size m_pictureSize;
    int m_nReleases = 0;
    std::uint32_t m_nLastObject = 0;

    std::deque<CEvent> m_events;
    bool m_bDispatching = false;
    bool m_bEventStop = false;
    std::thread m_eventThread;

    std::thread m_viewThread;
    bool m_bViewRunning = false;
    // The viewfinder thread is inside its loop (a frame being handed over
    // counts as sent only once its call-back returned).
    bool m_bViewLoopActive = false;
    bool m_bViewStop = false;
    bool m_bManualFrames = false;
    int m_nFramesAsked = 0;
    int m_nFramesSent = 0;
    int m_nCorruptFrames = 0;
};

// The one simulator of the process, behind the calls of prsdk.h.
CPrsdkSimulator& PrsdkSimulator();

} // namespace kestrun::prsdk
