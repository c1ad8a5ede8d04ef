#include "cameraplugins/powershot/fgpavick.h"

#include "cameraplugins/fgplugin.h"
#include "cameraplugins/powershot/pavickapp.h"

#include "outside/prsdk/prsdk.h"

#include "platform/core/encoding.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include "platform/core/messages.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <thread>
#include <vector>

using namespace kestrun::camplugin;

namespace {

constexpr std::uint32_t kFirstListSize = 11064;
constexpr std::uint32_t kBufferTooSmall = 99;
// No bus holds more cameras than fit in this; a larger ask is a fault.
constexpr std::uint32_t kMaxListSize = 4 + 1024 * kPavickDeviceEntrySize;
constexpr std::uint32_t kWorkBufferSize = 20480;
constexpr std::uint32_t kDeviceNameOffset = 1024;
constexpr std::size_t kMaxInfoBytes = 39;
constexpr std::uint16_t kEventReleased = 0xC008;

struct CImageSizeEntry
{
    std::uint8_t nCode;
    int nWidth;
    int nHeight;
};

constexpr CImageSizeEntry kImageSizes[] = {
    {0, 3264, 2448}, {1, 2592, 1944}, {3, 2048, 1536}, {7, 1600, 1200}, {2, 640, 480},
};

std::uint32_t ReadU32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The zero-terminated UTF-16 name inside the entry, never read past it.
std::u16string DeviceName(const std::array<std::uint8_t, kPavickDeviceEntrySize>& entry)
{
    std::u16string name;
    for (std::size_t i = kDeviceNameOffset; i + 1 < entry.size(); i += 2) {
        const auto unit = static_cast<char16_t>(entry[i] | (entry[i + 1] << 8));
        if (unit == 0)
            break;
        name.push_back(unit);
    }
    return name;
}

// Cut to at most nBytes without splitting a character.
CString CutUtf8(const std::string& text, std::size_t nBytes)
{
    if (text.size() <= nBytes)
        return CString(text.c_str());
    std::size_t end = nBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return CString(text.substr(0, end).c_str());
}

} // namespace

CFGPavick::CFGPavick()
    : m_nMsgShutDown(::RegisterWindowMessage(kMsgShutDown)),
      m_nMsgVideoFormatChanged(::RegisterWindowMessage(kMsgVideoFormatChanged)),
      m_nMsgGrabber(::RegisterWindowMessage(kMsgGrabber))
{
}

std::optional<CSize> CFGPavick::ImageSizeOf(std::uint8_t nCode)
{
    for (const CImageSizeEntry& entry : kImageSizes) {
        if (entry.nCode == nCode)
            return CSize(entry.nWidth, entry.nHeight);
    }
    return std::nullopt;
}

void CFGPavick::ReportErrorCode(std::uint32_t nCode)
{
    if (nCode != 0)
        PavickApp().ReportMessage(FormatString("ErrorCode = 0x%08X", nCode));
}

void CFGPavick::ReportCdErrorCode(std::uint32_t nCode)
{
    if ((nCode & 0xFFFF) != 0)
        PavickApp().ReportMessage(FormatString("ErrorCode = 0x%08X", nCode));
}

int CFGPavick::Init(HWND hHostWnd)
{
    // A second Init would otherwise lose the connected camera's handle.
    ReleaseCamera();
    m_hHostWnd = hHostWnd;
    PavickApp().SetHostWindow(hHostWnd);
    if (const std::uint32_t e = PR_StartSDK()) {
        ReportErrorCode(e);
        return 0;
    }
    std::uint8_t version[40] = {40, 0, 7, 0, 3, 0};
    if (const std::uint32_t e = CDStartSDK(version, 0); (e & 0xFFFF) != 0) {
        ReportCdErrorCode(e);
        return 0;
    }
    if (!EnumDevices()) {
        PavickApp().ReportMessage("Canon Powershot device not found.");
        return 0;
    }
    if (!ConnectFirstDevice())
        return 0;
    m_bConnected = true;
    // The settings record's class is registered when the library loads. A
    // file that is there but cannot be read is not written over at Exit; no
    // file yet is the first start, which keeps the defaults quietly.
    if (std::filesystem::exists(m_profiles.m_strFilePath.GetString()))
        m_bKeepProfileFile = !m_profiles.SerializeFile(true);
    else
        m_bKeepProfileFile = false;
    ApplySettings();
    return 1;
}

bool CFGPavick::ConnectFirstDevice()
{
    std::vector<std::uint8_t> buffer(kWorkBufferSize);
    std::uint32_t e = PR_CreateCameraObject(m_deviceEntry.data(), &m_hCamera);
    if (e == 0)
        e = PR_SetEventCallBack(m_hCamera, reinterpret_cast<prContext>(this), &CFGPavick::OnCameraEvent);
    if (e == 0)
        e = PR_ConnectCamera(m_hCamera);
    if (e == 0) {
        std::uint32_t size = kWorkBufferSize;
        e = PR_GetDeviceInfo(m_hCamera, &size, buffer.data());
    }
    if (e == 0)
        e = PR_InitiateReleaseControl(m_hCamera);
    if (e == 0)
        return true;
    ReleaseCamera();
    ReportErrorCode(e);
    return false;
}

bool CFGPavick::FetchDeviceList(std::vector<std::uint8_t>& list)
{
    std::uint32_t size = kFirstListSize;
    list.assign(size, 0);
    for (;;) {
        const std::uint32_t given = size;
        const std::uint32_t e = PR_GetDeviceList(&size, list.data());
        if (e == 0)
            break;
        // A size that does not grow, or that no bus could need, would loop
        // or exhaust memory.
        if ((e & 0xFFFF) != kBufferTooSmall || size <= given || size > kMaxListSize) {
            ReportErrorCode(e);
            return false;
        }
        list.assign(size, 0);
    }
    list.resize(std::min<std::size_t>(list.size(), size));
    return true;
}

int CFGPavick::EnumDevices()
{
    std::vector<std::uint8_t> list;
    if (!FetchDeviceList(list) || list.size() < 4)
        return 0;
    const std::uint32_t count = ReadU32(list.data());
    if (count == 0)
        return 0;
    if (list.size() < 4 + kPavickDeviceEntrySize) {
        ReportErrorCode(kBufferTooSmall);
        return 0;
    }
    m_bDeviceFound = true;
    std::copy_n(list.begin() + 4, kPavickDeviceEntrySize, m_deviceEntry.begin());
    m_strInfo = CutUtf8(kestrun::Utf16ToUtf8(DeviceName(m_deviceEntry)), kMaxInfoBytes);
    return 1;
}

void CFGPavick::ReleaseCamera()
{
    if (m_hCamera != 0) {
        if (m_bViewFinder.exchange(false))
            PR_RC_TermViewFinder(m_hCamera);
        PR_TerminateReleaseControl(m_hCamera);
        PR_DisconnectCamera(m_hCamera);
        PR_ClearEventCallBack(m_hCamera);
        PR_DestroyCameraObject(m_hCamera);
        m_hCamera = 0;
    }
    m_bConnected = false;
}

void CFGPavick::SetViewFinder(int bOn)
{
    if (bOn) {
        if (m_bViewFinder)
            return;
        if (const std::uint32_t e =
                PR_RC_StartViewFinder(m_hCamera, reinterpret_cast<prContext>(this), &CFGPavick::OnViewFinderFrame)) {
            ReportErrorCode(e);
            return;
        }
        m_bViewFinder = true;
        m_bBadFrameReported = false;
        return;
    }
    if (m_hCamera != 0)
        PR_RC_TermViewFinder(m_hCamera);
    m_bViewFinder = false;
}

std::uint32_t CFGPavick::OnViewFinderFrame(std::uintptr_t /*hCamera*/, std::uintptr_t context, std::uint32_t nSize,
                                           const void* pData)
{
    if (context != 0 && pData != nullptr)
        reinterpret_cast<CFGPavick*>(context)->HandleFrame(static_cast<const std::uint8_t*>(pData), nSize);
    return 0;
}

void CFGPavick::HandleFrame(const std::uint8_t* pData, std::uint32_t nSize)
{
    const cv::Mat bytes(1, static_cast<int>(nSize), CV_8U, const_cast<std::uint8_t*>(pData));
    cv::Mat frame = cv::imdecode(bytes, cv::IMREAD_COLOR);
    if (frame.empty()) {
        ++m_nBadFrames;
        // Once per live run: a camera sending bad frames would flood the user.
        if (!m_bBadFrameReported.exchange(true))
            PavickApp().ReportFromAnyThread("A live frame from the camera could not be decoded and was dropped.");
        return;
    }
    if (Settings().m_bZoomLive)
        cv::resize(frame, frame, {}, 2.0, 2.0, cv::INTER_LINEAR);
    if (kestrun::camplugin::CPluginFrameSink* sink = m_pFrameSink)
        sink->OnLiveFrame(frame);
}

std::uint32_t CFGPavick::OnCameraEvent(std::uintptr_t /*hCamera*/, std::uintptr_t context, void* pEventData)
{
    if (context == 0 || pEventData == nullptr)
        return 0;
    const auto* p = static_cast<const std::uint8_t*>(pEventData);
    std::uint16_t nCode = 0;
    std::uint32_t nParameter = 0;
    std::memcpy(&nCode, p + 6, sizeof nCode);
    std::memcpy(&nParameter, p + 12, sizeof nParameter);
    reinterpret_cast<CFGPavick*>(context)->HandleEvent(nCode, nParameter);
    return 0;
}

void CFGPavick::HandleEvent(std::uint16_t nCode, std::uint32_t nParameter)
{
    switch (nCode) {
    case 0xC006:
        // The window is repainted by the board, not from this thread.
        if (m_bViewFinder.exchange(false))
            PR_RC_TermViewFinder(m_hCamera);
        break;
    case 0xC008:
        m_nEventFlags |= 1u;
        m_nReleasedObject = nParameter;
        break;
    case 0xC009:
        m_nEventFlags |= 2u;
        m_nSecondObject = nParameter;
        break;
    case 0xD001:
        if (m_hHostWnd != nullptr)
            ::PostMessage(m_hHostWnd, m_nMsgShutDown, 0, 0);
        break;
    default:
        break;
    }
}

void CFGPavick::Exit()
{
    if (m_hCamera != 0 && !m_bKeepProfileFile)
        m_profiles.SerializeFile(false);
    ReleaseCamera();
    ReportCdErrorCode(CDFinishSDK());
    ReportErrorCode(PR_FinishSDK());
    PavickApp().DetachHost();
}

double CFGPavick::GetParameter(int nId) const
{
    switch (nId) {
    case kParamPictureWidth:
        return ImageSizeOf(Settings().m_nImageSize).value_or(CSize(0, 0)).cx;
    case kParamPictureHeight:
        return ImageSizeOf(Settings().m_nImageSize).value_or(CSize(0, 0)).cy;
    case kParamBitsPerPixel:
        return 24;
    case kParamLiveWidth:
        return Settings().m_bZoomLive ? 640 : 320;
    case kParamLiveHeight:
        return Settings().m_bZoomLive ? 480 : 240;
    default:
        return 0;
    }
}

// Names travel as typed strings; 150 and 151 as doubles would be addresses.
void CFGPavick::SetParameter(int nId, double dValue)
{
    if (nId == kParamReportToWindow)
        PavickApp().SetReportToWindow(ParameterToInt(dValue));
}

const char* CFGPavick::GetParameterString(int nId)
{
    if (nId == kParamProfileName)
        return m_profiles.m_strCurrentName.GetString();
    return "";
}

void CFGPavick::SetParameterString(int nId, const char* lpszValue)
{
    const CString name = lpszValue != nullptr ? lpszValue : "";
    if (nId == kParamProfileName) {
        if (!SelectProfile(name)) {
            PavickApp().ReportMessage(FormatString("Camera profile %s not found", name.GetString()));
            return;
        }
        ApplySettings();
    } else if (nId == kParamSaveProfile) {
        SaveProfileAs(name);
    }
}

int CFGPavick::TakeSnapshot(CDIB* pImage)
{
    SetViewFinder(0);
    // Without an image the picture needs a folder to go to.
    if (pImage == nullptr && m_strImageDir.IsEmpty()) {
        PavickApp().ReportMessage("No picture folder is set: the picture cannot be stored.");
        return 0;
    }
    if (const std::uint32_t e = PR_RC_Release(m_hCamera)) {
        ReportErrorCode(e);
        return 0;
    }
    if (m_hHostWnd != nullptr)
        ::SendMessage(m_hHostWnd, m_nMsgGrabber, kGrabberReleaseStarted, 0);
    CPictureTransfer transfer(m_hCamera, m_nReleasedObject, kEventReleased, pImage,
                              pImage != nullptr ? CString() : m_strImageDir, m_localClock);
    bool bEnded = false;
    if (m_pTransferRunner != nullptr) {
        bEnded = m_pTransferRunner->Run(transfer);
    } else {
        std::thread worker([&transfer] { transfer.RunWorker({}); });
        worker.join();
        bEnded = true;
    }
    m_nReleasedObject = 0;
    m_nEventFlags = 0;
    if (bEnded && transfer.Finish()) {
        if (m_hHostWnd != nullptr)
            ::SendMessage(m_hHostWnd, m_nMsgGrabber, kGrabberPictureReady, 0);
        return 1;
    }
    if (!transfer.Failure().IsEmpty())
        PavickApp().ReportMessage(transfer.Failure());
    else if (transfer.Result() != 0)
        ReportErrorCode(transfer.Result());
    else
        PavickApp().ReportMessage("The picture transfer did not end.");
    return 0;
}

void CFGPavick::SetImageDir(const char* lpszFolder)
{
    m_strImageDir = lpszFolder != nullptr ? lpszFolder : "";
}

CFGPavick& FGPavick()
{
    static CFGPavick grabber;
    return grabber;
}
