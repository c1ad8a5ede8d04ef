#pragma once
// CFGPavick: the PowerShot plug-in's grabber object, one per library. It
// starts and finishes the camera SDKs, finds and connects the first camera
// with release control, sends the settings and profiles to it, takes
// pictures and answers the board's numbered parameters.
// Runs on the board's thread; it never touches a window except by message.

#include "cameraplugins/powershot/cameraprofiles.h"
#include "cameraplugins/powershot/modesetting.h"
#include "cameraplugins/powershot/picturetransfer.h"

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

class CDIB;

// Runs a picture transfer's worker while the host thread waits; true when
// it ended normally. The plug-in's ui part shows the progress window.
class CTransferRunner
{
public:
    virtual ~CTransferRunner() = default;
    virtual bool Run(CPictureTransfer& transfer) = 0;
};

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

    // A picture into the image, or, without one, a file in the picture
    // folder; live frames stay stopped. 1 when the picture arrived.
    int TakeSnapshot(CDIB* pImage);
    // Null: the worker runs without a window (the host thread just waits).
    void SetTransferRunner(CTransferRunner* pRunner) { m_pTransferRunner = pRunner; }
    // Local time for picture file names; empty: the machine's.
    void SetLocalClock(CLocalClock clock) { m_localClock = std::move(clock); }

    // ---- settings (sent to the camera at once) ----
    // Sends the current settings; 0 without a connected camera or zoom.
    int ApplySettings();
    // False for an unknown name; else the profile is the current settings.
    bool SelectProfile(const CString& strName);
    // Stores the current settings under the name and writes the file.
    void SaveProfileAs(const CString& strName);
    // Writes the file when a camera is connected.
    void SaveProfiles();
    std::uint32_t SetImageSize(std::uint8_t nCode);
    void SetZoom(std::uint16_t nPosition);
    void SetMacro(bool bMacro);
    void SetAFLight(bool bOn);
    void SetAutoFocus(std::int32_t nValue);
    void SetCameraOutput(int nIndex);
    void SetPhotoEffect(std::uint16_t nValue);
    void SetStrobe(std::uint8_t nCode);
    void SetAFField(std::uint16_t nCode);
    void SetExposureMode(std::uint8_t nCode);
    void SetMetering(std::uint8_t nCode);
    void SetWhiteBalance(std::uint8_t nCode);
    void SetExposureCompensation(std::uint8_t nCode);
    void SetISO(std::uint16_t nCode);
    // Reads the zoom's range, its current value and its upper reference.
    int GetZoomRange();
    std::uint16_t ZoomMin() const { return m_nZoomMin; }
    std::uint16_t ZoomMax() const { return m_nZoomMax; }
    std::uint16_t ZoomStep() const { return m_nZoomStep; }
    std::uint16_t ZoomUpper() const { return m_nZoomUpper; }
    // Rebuilds the list of values the camera offers; 1 when rebuilt.
    int LoadModeList(const CModeProperty& property, CModeSettingList& list);
    int LoadExposureModes() { return LoadModeList(kestrun::pavick::kExposureModeProperty, m_exposureModes); }
    int LoadWhiteBalances() { return LoadModeList(kestrun::pavick::kWhiteBalanceProperty, m_whiteBalances); }
    int LoadIsos() { return LoadModeList(kestrun::pavick::kIsoProperty, m_isos); }
    int LoadCompensations() { return LoadModeList(kestrun::pavick::kExposureCompensationProperty, m_compensations); }
    int LoadMeterings() { return LoadModeList(kestrun::pavick::kMeteringProperty, m_meterings); }
    int LoadAFFields() { return LoadModeList(kestrun::pavick::kAFFieldProperty, m_afFields); }
    int LoadStrobes() { return LoadModeList(kestrun::pavick::kStrobeProperty, m_strobes); }

    CModeSettingList m_exposureModes;
    CModeSettingList m_whiteBalances;
    CModeSettingList m_isos;
    CModeSettingList m_compensations;
    CModeSettingList m_meterings;
    CModeSettingList m_afFields;
    CModeSettingList m_strobes;

    double GetParameter(int nId) const;
    void SetParameter(int nId, double dValue);
    // Texts by id (150: the current profile name); never null.
    const char* GetParameterString(int nId);
    void SetParameterString(int nId, const char* lpszValue);
    const char* GetInfo() const { return m_strInfo; }
    void SetImageDir(const char* lpszFolder);
    const CString& GetImageDir() const { return m_strImageDir; }

    bool IsConnected() const { return m_bConnected; }
    std::uint32_t ReleasedObject() const { return m_nReleasedObject; }
    std::uint32_t EventFlags() const { return m_nEventFlags; }
    std::uintptr_t CameraHandle() const { return m_hCamera; }
    CCameraSettings& Settings() { return m_profiles.Current(); }
    const CCameraSettings& Settings() const { return m_profiles.Current(); }
    CCameraProfiles& Profiles() { return m_profiles; }

    // Width and height of an image-size code; none for a code outside the
    // table.
    static std::optional<CSize> ImageSizeOf(std::uint8_t nCode);

private:
    bool FetchDeviceList(std::vector<std::uint8_t>& list);
    bool ConnectFirstDevice();
    void HandleEvent(std::uint16_t nCode, std::uint32_t nParameter);
    void HandleFrame(const std::uint8_t* pData, std::uint32_t nSize);
    std::uint32_t SendProperty(std::uint16_t nProperty, std::uint32_t nValue, std::uint32_t nBytes);
    // Sends and reports an error.
    void SendReported(std::uint16_t nProperty, std::uint32_t nValue, std::uint32_t nBytes);
    // The camera's value, or an error code.
    std::uint32_t ReadProperty(std::uint16_t nProperty, std::uint32_t& nValue);
    // Sends the value unless the camera holds it already.
    void SendIfChanged(std::uint16_t nProperty, std::uint32_t nValue, std::uint32_t nBytes);
    void SendListed(const CModeProperty& property, CModeSettingList& list, std::uint32_t nCode);

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
    std::atomic<bool> m_bBadFrameReported = false;
    CCameraProfiles m_profiles;
    bool m_bKeepProfileFile = false;
    std::uint16_t m_nZoomCurrent = 0;
    std::uint16_t m_nZoomMin = 0;
    std::uint16_t m_nZoomMax = 0;
    std::uint16_t m_nZoomStep = 0;
    std::uint16_t m_nZoomUpper = 0;
    CTransferRunner* m_pTransferRunner = nullptr;
    CLocalClock m_localClock;
};

CFGPavick& FGPavick();
