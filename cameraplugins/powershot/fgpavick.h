#pragma once
// CFGPavick: the PowerShot plug-in's grabber object, one per library. It
// starts and finishes the camera SDKs, finds and connects the first camera
// with release control, and answers the board's numbered parameters.
// Runs on the board's thread; it never touches a window except by message.

#include "cameraplugins/powershot/camerasettings.h"

#include "platform/core/cstring.h"
#include "platform/core/geometry.h"
#include "platform/core/types.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

inline constexpr std::size_t kPavickDeviceEntrySize = 1108;

namespace kestrun::camplugin {
class CPluginFrameSink;
}

class CFGPavick
{
public:
    CFGPavick();
    CFGPavick(const CFGPavick&) = delete;
    CFGPavick& operator=(const CFGPavick&) = delete;

    // 1 when the first camera is connected with release control.
    int Init(HWND hHostWnd);
    void Exit();
    // 1 when a camera was found; keeps its entry and its name.
    int EnumDevices();
    // Leaves no camera connected; safe when none is.
    void ReleaseCamera();
    // "ErrorCode = 0x%08X" for any code but 0.
    void ReportErrorCode(std::uint32_t nCode);
    // The older SDK's codes: only the low 16 bits tell an error.
    void ReportCdErrorCode(std::uint32_t nCode);

    // Live frames: on starts the viewfinder unless it runs; off stops it.
    void SetViewFinder(int bOn);
    bool IsViewFinderRunning() const { return m_bViewFinder; }
    void SetFrameSink(kestrun::camplugin::CPluginFrameSink* pSink) { m_pFrameSink = pSink; }
    // Frames that did not decode and were dropped.
    int BadFrames() const { return m_nBadFrames; }
    // The SDK's frame call-back, on the SDK's thread: decodes the frame,
    // doubles it for the enlarged live image, and hands it to the sink.
    static std::uint32_t OnViewFinderFrame(std::uintptr_t hCamera, std::uintptr_t context, std::uint32_t nSize,
                                           const void* pData);

    // The SDK's event call-back, on the SDK's thread: it only stops the
    // viewfinder, keeps object ids and posts.
    static std::uint32_t OnCameraEvent(std::uintptr_t hCamera, std::uintptr_t context, void* pEventData);

    double GetParameter(int nId) const;
    void SetParameter(int nId, double dValue);
    const char* GetInfo() const { return m_strInfo; }
    void SetImageDir(const char* lpszFolder);
    const CString& GetImageDir() const { return m_strImageDir; }

    bool IsConnected() const { return m_bConnected; }
    std::uint32_t ReleasedObject() const { return m_nReleasedObject; }
    std::uint32_t EventFlags() const { return m_nEventFlags; }
    std::uintptr_t CameraHandle() const { return m_hCamera; }
    CCameraSettings& Settings() { return m_settings; }

    // Width and height of an image-size code; none for a code outside the
    // table.
    static std::optional<CSize> ImageSizeOf(std::uint8_t nCode);

private:
    bool FetchDeviceList(std::vector<std::uint8_t>& list);
    bool ConnectFirstDevice();
    void HandleEvent(std::uint16_t nCode, std::uint32_t nParameter);
    void HandleFrame(const std::uint8_t* pData, std::uint32_t nSize);

    HWND m_hHostWnd = nullptr;
    UINT m_nMsgShutDown = 0;
    UINT m_nMsgVideoFormatChanged = 0;
    UINT m_nMsgGrabber = 0;
    CString m_strImageDir;
    CString m_strInfo;
    std::uintptr_t m_hCamera = 0;
    bool m_bDeviceFound = false;
    std::array<std::uint8_t, kPavickDeviceEntrySize> m_deviceEntry{};
    bool m_bConnected = false;
    std::atomic<bool> m_bViewFinder = false;
    std::atomic<std::uint32_t> m_nReleasedObject = 0;
    std::atomic<std::uint32_t> m_nSecondObject = 0;
    std::atomic<std::uint32_t> m_nEventFlags = 0;
    std::atomic<kestrun::camplugin::CPluginFrameSink*> m_pFrameSink = nullptr;
    std::atomic<int> m_nBadFrames = 0;
    CCameraSettings m_settings;
};

CFGPavick& FGPavick();
