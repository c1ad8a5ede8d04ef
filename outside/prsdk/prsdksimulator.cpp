#include "outside/prsdk/prsdksimulator.h"

#include "outside/prsdk/prsdk.h"
#include "outside/prsdk/prsdkscene.h"

#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <cstring>

namespace kestrun::prsdk {

namespace {

constexpr unsigned kFrameIntervalMs = 33;
constexpr std::uint32_t kDeviceInfoSize = 256;
constexpr std::uint32_t kCdRecordSize = 40;
const cv::Size kFrameSize(320, 240);

void PutU16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t GetU32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Writes the name, cut to leave room for the terminator.
void PutName(std::uint8_t* p, const std::u16string& name, std::size_t maxUnits)
{
    const std::size_t n = std::min(name.size(), maxUnits - 1);
    for (std::size_t i = 0; i < n; ++i)
        PutU16(p + 2 * i, static_cast<std::uint16_t>(name[i]));
    PutU16(p + 2 * n, 0);
}

std::uint32_t TypeSize(const CSimProperty& property)
{
    return property.nType == kTypeUInt16 ? 2 : 1;
}

void PutValue(std::vector<std::uint8_t>& out, const CSimProperty& property, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    if (TypeSize(property) == 2)
        out.push_back(static_cast<std::uint8_t>(v >> 8));
}

std::vector<std::uint8_t> Descriptor(std::uint16_t nCode, const CSimProperty& property)
{
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(nCode & 0xFF), static_cast<std::uint8_t>(nCode >> 8),
                                  static_cast<std::uint8_t>(property.nType), 0,
                                  static_cast<std::uint8_t>(property.bSettable ? 1 : 0)};
    PutValue(out, property, property.nDefault);
    PutValue(out, property, property.nValue);
    out.push_back(property.nForm);
    if (property.nForm == kFormRange) {
        PutValue(out, property, property.nMin);
        PutValue(out, property, property.nMax);
        PutValue(out, property, property.nStep);
    } else if (property.nForm == kFormEnum) {
        const auto n = static_cast<std::uint16_t>(property.values.size());
        out.push_back(static_cast<std::uint8_t>(n & 0xFF));
        out.push_back(static_cast<std::uint8_t>(n >> 8));
        for (std::uint16_t v : property.values)
            PutValue(out, property, v);
    }
    return out;
}

bool Accepts(const CSimProperty& property, std::uint16_t v)
{
    if (!property.bSettable)
        return false;
    if (property.nForm == kFormRange)
        return v >= property.nMin && v <= property.nMax && property.nStep != 0 &&
               (v - property.nMin) % property.nStep == 0;
    if (property.nForm == kFormEnum)
        return std::find(property.values.begin(), property.values.end(), v) != property.values.end();
    return true;
}

// Hands bytes to a caller's buffer: too small, it learns the size needed.
std::uint32_t CopyOut(const std::vector<std::uint8_t>& bytes, std::uint32_t* pBufferSize, void* pOut)
{
    if (!pBufferSize)
        return kErrInvalidParameter;
    const auto size = static_cast<std::uint32_t>(bytes.size());
    if (*pBufferSize < size) {
        *pBufferSize = size;
        return kErrBufferTooSmall;
    }
    if (!pOut)
        return kErrInvalidParameter;
    std::memcpy(pOut, bytes.data(), size);
    *pBufferSize = size;
    return 0;
}

CSimProperty Plain(std::uint16_t nType, std::uint16_t v, bool bSettable = true)
{
    CSimProperty p;
    p.nType = nType;
    p.bSettable = bSettable;
    p.nDefault = p.nValue = v;
    return p;
}

CSimProperty Enumerated(std::uint16_t nType, std::uint16_t v, std::vector<std::uint16_t> values)
{
    CSimProperty p = Plain(nType, v);
    p.nForm = kFormEnum;
    p.values = std::move(values);
    return p;
}

} // namespace

CPrsdkSimulator::CPrsdkSimulator()
{
    Reset();
}

CPrsdkSimulator::~CPrsdkSimulator()
{
    std::unique_lock lock(m_mutex);
    m_bViewStop = true;
    m_changed.notify_all();
    JoinViewFinder(lock);
    StopEventThread(lock);
}

void CPrsdkSimulator::Reset()
{
    std::unique_lock lock(m_mutex);
    m_bViewStop = true;
    m_bViewRunning = false;
    m_changed.notify_all();
    JoinViewFinder(lock);
    StopEventThread(lock);
    m_pClock = &DefaultClock();
    m_cameras = {u"PowerShot Simulated"};
    m_faults.clear();
    m_callCounts.clear();
    m_callLog.clear();
    m_writes.clear();
    ResetProperties();
    m_objects.clear();
    m_nextHandle = 1;
    m_connected = 0;
    m_bStarted = false;
    m_bReleaseControl = false;
    m_bFocusLocked = false;
    m_cdRecord.clear();
    m_nSeed = 1;
    m_pictureSize = {};
    m_nReleases = 0;
    m_nLastObject = 0;
    m_events.clear();
    m_bManualFrames = false;
    m_nFramesAsked = 0;
    m_nFramesSent = 0;
    m_nCorruptFrames = 0;
}

void CPrsdkSimulator::ResetProperties()
{
    CSimProperty zoom = Plain(kTypeUInt16, 0);
    zoom.nForm = kFormRange;
    zoom.nMin = 0;
    zoom.nMax = 128;
    zoom.nStep = 16;
    m_properties = {
        {0xD008, Plain(kTypeUInt8, 3)},
        {0xD006, Plain(kTypeUInt8, 0)},
        {0xD011, Plain(kTypeUInt8, 1)},
        {0xD02A, zoom},
        {0xD03D, Plain(kTypeUInt16, 144, false)},
        {0xD036, Plain(kTypeUInt8, 3)},
        {0xD040, Plain(kTypeUInt16, 0)},
        {0xD041, Plain(kTypeUInt16, 0)},
        {0xD00C, Enumerated(kTypeUInt8, 1, {1, 2, 3, 4})},
        {0xD01C, Enumerated(kTypeUInt16, 0, {0x00, 0x48, 0x50, 0x58, 0x60})},
        {0xD01F, Enumerated(kTypeUInt8, 0x18, {0x08, 0x10, 0x13, 0x15, 0x18, 0x1B, 0x1D, 0x20, 0x28})},
        {0xD010, Enumerated(kTypeUInt8, 3, {0, 1, 3})},
        {0xD013, Enumerated(kTypeUInt8, 0, {0, 1, 2, 3, 4, 6})},
        {0xD012, Enumerated(kTypeUInt16, 0x3001, {0x1000, 0x1001, 0x3001})},
        {0xD00A, Enumerated(kTypeUInt8, 0, {0, 1, 2, 3, 5})},
    };
}

// ---- control ----

void CPrsdkSimulator::SetClock(IClock* pClock)
{
    std::lock_guard lock(m_mutex);
    m_pClock = pClock ? pClock : &DefaultClock();
}

void CPrsdkSimulator::SetCameras(const std::vector<std::u16string>& names)
{
    std::lock_guard lock(m_mutex);
    m_cameras = names;
}

void CPrsdkSimulator::AddFault(const CCallFault& fault)
{
    std::lock_guard lock(m_mutex);
    m_faults.push_back(fault);
}

void CPrsdkSimulator::SetProperty(std::uint16_t nCode, const CSimProperty& property)
{
    std::lock_guard lock(m_mutex);
    m_properties[nCode] = property;
}

void CPrsdkSimulator::SetSceneSeed(unsigned nSeed)
{
    std::lock_guard lock(m_mutex);
    m_nSeed = nSeed;
}

void CPrsdkSimulator::SetPictureSize(cv::Size size)
{
    std::lock_guard lock(m_mutex);
    m_pictureSize = size;
}

void CPrsdkSimulator::SetManualFrames(bool bManual)
{
    std::lock_guard lock(m_mutex);
    m_bManualFrames = bManual;
    m_changed.notify_all();
}

void CPrsdkSimulator::CorruptNextFrames(int n)
{
    std::lock_guard lock(m_mutex);
    m_nCorruptFrames = std::max(0, n);
}

int CPrsdkSimulator::DeliverFrames(int n)
{
    std::unique_lock lock(m_mutex);
    if (!m_bViewRunning || n <= 0)
        return 0;
    const int start = m_nFramesSent;
    m_nFramesAsked += n;
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_nFramesSent - start >= n || !m_bViewLoopActive; });
    m_nFramesAsked = 0;
    return m_nFramesSent - start;
}

void CPrsdkSimulator::RaiseEvent(std::uint16_t nCode, std::uint32_t nParameter)
{
    std::lock_guard lock(m_mutex);
    if (m_objects.empty())
        return;
    QueueEvent({m_objects.begin()->first, nCode, nParameter});
}

void CPrsdkSimulator::WaitForEvents()
{
    std::unique_lock lock(m_mutex);
    if (m_eventThread.get_id() == std::this_thread::get_id())
        return;
    m_changed.wait(lock, [&] { return !m_eventThread.joinable() || (m_events.empty() && !m_bDispatching); });
}

// ---- observation ----

bool CPrsdkSimulator::IsStarted() const
{
    std::lock_guard lock(m_mutex);
    return m_bStarted;
}

bool CPrsdkSimulator::IsConnected() const
{
    std::lock_guard lock(m_mutex);
    return m_connected != 0;
}

bool CPrsdkSimulator::HasReleaseControl() const
{
    std::lock_guard lock(m_mutex);
    return m_bReleaseControl;
}

bool CPrsdkSimulator::IsViewFinderRunning() const
{
    std::lock_guard lock(m_mutex);
    return m_bViewRunning;
}

bool CPrsdkSimulator::IsFocusLocked() const
{
    std::lock_guard lock(m_mutex);
    return m_bFocusLocked;
}

int CPrsdkSimulator::CameraObjects() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_objects.size());
}

std::vector<std::string> CPrsdkSimulator::CallLog() const
{
    std::lock_guard lock(m_mutex);
    return m_callLog;
}

std::vector<CPropertyWrite> CPrsdkSimulator::PropertyWrites() const
{
    std::lock_guard lock(m_mutex);
    return m_writes;
}

std::uint16_t CPrsdkSimulator::GetPropertyValue(std::uint16_t nCode) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_properties.find(nCode);
    return it == m_properties.end() ? 0 : it->second.nValue;
}

std::vector<std::uint8_t> CPrsdkSimulator::CdStartRecord() const
{
    std::lock_guard lock(m_mutex);
    return m_cdRecord;
}

void CPrsdkSimulator::ClearLogs()
{
    std::lock_guard lock(m_mutex);
    m_callLog.clear();
    m_writes.clear();
}

cv::Mat CPrsdkSimulator::SceneFrame(int nFrame) const
{
    std::lock_guard lock(m_mutex);
    return DrawScene(m_nSeed, kFrameSize, nFrame);
}

cv::Mat CPrsdkSimulator::ScenePicture(int nRelease, cv::Size size) const
{
    std::lock_guard lock(m_mutex);
    return DrawScene(m_nSeed + static_cast<unsigned>(nRelease), size, 0);
}

cv::Size CPrsdkSimulator::PictureSize() const
{
    std::lock_guard lock(m_mutex);
    if (!m_pictureSize.empty())
        return m_pictureSize;
    switch (m_properties.at(0xD008).nValue) {
    case 0: return {3264, 2448};
    case 1: return {2592, 1944};
    case 3: return {2048, 1536};
    case 7: return {1600, 1200};
    default: return {640, 480};
    }
}

// ---- the SDK's calls ----

std::uint32_t CPrsdkSimulator::CheckFault(const char* name)
{
    m_callLog.emplace_back(name);
    const int index = m_callCounts[name]++;
    for (const CCallFault& fault : m_faults) {
        if (fault.call == name && index >= fault.nSkip && (fault.nTimes < 0 || index < fault.nSkip + fault.nTimes))
            return fault.nCode;
    }
    return 0;
}

CPrsdkSimulator::CCameraObject* CPrsdkSimulator::FindObject(std::uintptr_t hCamera)
{
    const auto it = m_objects.find(hCamera);
    return it == m_objects.end() ? nullptr : &it->second;
}

std::uint32_t CPrsdkSimulator::CheckConnected(std::uintptr_t hCamera)
{
    if (!m_bStarted)
        return kErrNotStarted;
    if (!FindObject(hCamera))
        return kErrInvalidHandle;
    return m_connected == hCamera ? 0 : kErrSequence;
}

std::uint32_t CPrsdkSimulator::StartSdk()
{
    std::lock_guard lock(m_mutex);
    if (const auto e = CheckFault("PR_StartSDK"))
        return e;
    if (!m_bStarted) {
        m_bStarted = true;
        m_bEventStop = false;
        m_eventThread = std::thread([this] { EventLoop(); });
    }
    return 0;
}

std::uint32_t CPrsdkSimulator::FinishSdk()
{
    std::unique_lock lock(m_mutex);
    if (const auto e = CheckFault("PR_FinishSDK"))
        return e;
    if (!m_bStarted)
        return kErrNotStarted;
    m_bViewStop = true;
    m_bViewRunning = false;
    m_changed.notify_all();
    JoinViewFinder(lock);
    StopEventThread(lock);
    m_bStarted = false;
    m_objects.clear();
    m_connected = 0;
    m_bReleaseControl = false;
    return 0;
}

std::uint32_t CPrsdkSimulator::GetDeviceList(std::uint32_t* pBufferSize, void* pList)
{
    std::lock_guard lock(m_mutex);
    if (const auto e = CheckFault("PR_GetDeviceList"))
        return e;
    if (!m_bStarted)
        return kErrNotStarted;
    std::vector<std::uint8_t> list(4 + m_cameras.size() * kPrDeviceEntrySize, 0);
    PutU32(list.data(), static_cast<std::uint32_t>(m_cameras.size()));
    for (std::size_t i = 0; i < m_cameras.size(); ++i) {
        std::uint8_t* entry = list.data() + 4 + i * kPrDeviceEntrySize;
        PutU32(entry, static_cast<std::uint32_t>(i));
        PutName(entry + kPrDeviceNameOffset, m_cameras[i], 32);
    }
    return CopyOut(list, pBufferSize, pList);
}

std::uint32_t CPrsdkSimulator::CreateCameraObject(const void* pEntry, std::uintptr_t* phCamera)
{
    std::lock_guard lock(m_mutex);
    if (const auto e = CheckFault("PR_CreateCameraObject"))
        return e;
    if (!m_bStarted)
        return kErrNotStarted;
    if (!pEntry || !phCamera)
        return kErrInvalidParameter;
    const std::uint32_t nDevice = GetU32(static_cast<const std::uint8_t*>(pEntry));
    if (nDevice >= m_cameras.size())
        return kErrInvalidParameter;
    const std::uintptr_t handle = m_nextHandle++;
    m_objects[handle] = CCameraObject{nDevice, 0, nullptr};
    *phCamera = handle;
    return 0;
}

std::uint32_t CPrsdkSimulator::DestroyCameraObject(std::uintptr_t hCamera)
{
    std::lock_guard lock(m_mutex);
    if (const auto e = CheckFault("PR_DestroyCameraObject"))
        return e;
    if (!m_bStarted)
        return kErrNotStarted;
    if (!FindObject(hCamera))
        return kErrInvalidHandle;
    if (m_connected == hCamera)
        return kErrSequence;
    m_objects.erase(hCamera);
    return 0;
}

std::uint32_t CPrsdkSimulator::SetEventCallBack(std::uintptr_t hCamera, std::uintptr_t context, void* pCallBack)
{
    std::lock_guard lock(m_mutex);
    if (const auto e = CheckFault("PR_SetEventCallBack"))
        return e;
    if (!m_bStarted)
        return kErrNotStarted;
    CCameraObject* object = FindObject(hCamera);
    if (!object)
        return kErrInvalidHandle;
    if (!pCallBack)
        return kErrInvalidParameter;
    object->eventContext = context;
    object->pEventCallBack = pCallBack;
    return 0;
}

std::uint32_t CPrsdkSimulator::ClearEventCallBack(std::uintptr_t hCamera)
{
    std::unique_lock lock(m_mutex);
    if (const auto e = CheckFault("PR_ClearEventCallBack"))
        return e;
    if (!m_bStarted)
        return kErrNotStarted;
    CCameraObject* object = FindObject(hCamera);
    if (!object)
        return kErrInvalidHandle;
    object->pEventCallBack = nullptr;
    // No call-back may run once the caller was told it is gone.
    if (m_eventThread.get_id() != std::this_thread::get_id())
        m_changed.wait(lock, [&] { return !m_bDispatching; });
    return 0;
}

std::uint32_t CPrsdkSimulator::Connect(std::uintptr_t hCamera, bool bConnect)
{
    std::unique_lock lock(m_mutex);
    if (const auto e = CheckFault(bConnect ? "PR_ConnectCamera" : "PR_DisconnectCamera"))
        return e;
    if (!m_bStarted)
        return kErrNotStarted;
    if (!FindObject(hCamera))
        return kErrInvalidHandle;
    if (bConnect) {
        if (m_connected != 0)
            return kErrSequence;
        m_connected = hCamera;
        return 0;
    }
    if (m_connected != hCamera)
        return kErrSequence;
    m_bViewStop = true;
    m_bViewRunning = false;
    m_changed.notify_all();
    JoinViewFinder(lock);
    m_connected = 0;
    m_bReleaseControl = false;
    m_bFocusLocked = false;
    return 0;
}

std::uint32_t CPrsdkSimulator::GetDeviceInfo(std::uintptr_t hCamera, std::uint32_t* pBufferSize, void* pInfo)
{
    std::lock_guard lock(m_mutex);
    if (const auto e = CheckFault("PR_GetDeviceInfo"))
        return e;
    if (const auto e = CheckConnected(hCamera))
        return e;
    std::vector<std::uint8_t> info(kDeviceInfoSize, 0);
    PutU16(info.data(), 100);
    PutName(info.data() + 64, m_cameras[FindObject(hCamera)->nDevice], 32);
    return CopyOut(info, pBufferSize, pInfo);
}

std::uint32_t CPrsdkSimulator::ReleaseControl(std::uintptr_t hCamera, bool bTake)
{
    std::unique_lock lock(m_mutex);
    if (const auto e = CheckFault(bTake ? "PR_InitiateReleaseControl" : "PR_TerminateReleaseControl"))
        return e;
    if (const auto e = CheckConnected(hCamera))
        return e;
    if (m_bReleaseControl == bTake)
        return kErrSequence;
    if (!bTake) {
        m_bViewStop = true;
        m_bViewRunning = false;
        m_changed.notify_all();
        JoinViewFinder(lock);
    }
    m_bReleaseControl = bTake;
    return 0;
}

std::uint32_t CPrsdkSimulator::Release(std::uintptr_t hCamera)
{
    std::unique_lock lock(m_mutex);
    if (const auto e = CheckFault("PR_RC_Release"))
        return e;
    if (const auto e = CheckConnected(hCamera))
        return e;
    if (!m_bReleaseControl)
        return kErrSequence;
    ++m_nReleases;
    m_nLastObject = 0x1000u + static_cast<std::uint32_t>(m_nReleases);
    QueueEvent({hCamera, kEventReleased, m_nLastObject});
    QueueEvent({hCamera, kEventReleasedSecond, 0x2000u + static_cast<std::uint32_t>(m_nReleases)});
    if (m_eventThread.get_id() != std::this_thread::get_id())
        m_changed.wait(lock, [&] { return m_events.empty() && !m_bDispatching; });
    return 0;
}

std::uint32_t CPrsdkSimulator::GetReleasedData(std::uintptr_t hCamera, std::uint32_t objectHandle,
                                               std::uint16_t eventCode, std::uint32_t transSize,
                                               std::uintptr_t context, void* pCallBack)
{
    int nRelease = 0;
    {
        std::lock_guard lock(m_mutex);
        if (const auto e = CheckFault("PR_RC_GetReleasedData"))
            return e;
        if (const auto e = CheckConnected(hCamera))
            return e;
        if (objectHandle == 0 || objectHandle != m_nLastObject || eventCode != kEventReleased || transSize == 0 ||
            !pCallBack)
            return kErrInvalidParameter;
        nRelease = m_nReleases;
    }
    std::vector<std::uint8_t> jpeg;
    cv::imencode(".jpg", ScenePicture(nRelease, PictureSize()), jpeg, {cv::IMWRITE_JPEG_QUALITY, 95});
    const auto callBack = reinterpret_cast<prProgressCallBack>(pCallBack);
    const auto total = static_cast<std::uint32_t>(jpeg.size());
    prProgress progress{kPrProgressStart, 0, 0, 0, nullptr};
    if (const auto r = callBack(hCamera, context, &progress))
        return r;
    for (std::uint32_t offset = 0; offset < total; offset += transSize) {
        const std::uint32_t length = std::min(transSize, total - offset);
        progress = {kPrProgressData, static_cast<std::uint32_t>((std::uint64_t{offset} + length) * 100 / total),
                    offset, length, jpeg.data() + offset};
        if (const auto r = callBack(hCamera, context, &progress))
            return r;
    }
    progress = {kPrProgressEnd, 100, total, 0, nullptr};
    return callBack(hCamera, context, &progress);
}

std::uint32_t CPrsdkSimulator::StartViewFinder(std::uintptr_t hCamera, std::uintptr_t context, void* pCallBack)
{
    std::unique_lock lock(m_mutex);
    if (const auto e = CheckFault("PR_RC_StartViewFinder"))
        return e;
    if (const auto e = CheckConnected(hCamera))
        return e;
    if (!m_bReleaseControl || m_bViewRunning)
        return kErrSequence;
    if (!pCallBack)
        return kErrInvalidParameter;
    JoinViewFinder(lock);
    m_bViewRunning = true;
    m_bViewLoopActive = true;
    m_bViewStop = false;
    m_nFramesAsked = 0;
    m_viewThread = std::thread([this, hCamera, context, pCallBack] { ViewFinderLoop(hCamera, context, pCallBack); });
    return 0;
}

std::uint32_t CPrsdkSimulator::TermViewFinder(std::uintptr_t hCamera)
{
    std::unique_lock lock(m_mutex);
    if (const auto e = CheckFault("PR_RC_TermViewFinder"))
        return e;
    if (const auto e = CheckConnected(hCamera))
        return e;
    m_bViewStop = true;
    m_bViewRunning = false;
    m_changed.notify_all();
    JoinViewFinder(lock);
    return 0;
}

std::uint32_t CPrsdkSimulator::FocusLock(std::uintptr_t hCamera, bool bLock)
{
    std::lock_guard lock(m_mutex);
    if (const auto e = CheckFault(bLock ? "PR_RC_FocusLock" : "PR_RC_FocusUnlock"))
        return e;
    if (const auto e = CheckConnected(hCamera))
        return e;
    if (!m_bReleaseControl)
        return kErrSequence;
    m_bFocusLocked = bLock;
    return 0;
}

std::uint32_t CPrsdkSimulator::GetPropDesc(std::uintptr_t hCamera, std::uint16_t nCode, std::uint32_t* pBufferSize,
                                           void* pDesc)
{
    std::lock_guard lock(m_mutex);
    if (const auto e = CheckFault("PR_GetDevicePropDesc"))
        return e;
    if (const auto e = CheckConnected(hCamera))
        return e;
    const auto it = m_properties.find(nCode);
    if (it == m_properties.end())
        return kErrNotSupported;
    return CopyOut(Descriptor(nCode, it->second), pBufferSize, pDesc);
}

std::uint32_t CPrsdkSimulator::GetPropValue(std::uintptr_t hCamera, std::uint16_t nCode, std::uint32_t* pBufferSize,
                                            void* pValue)
{
    std::lock_guard lock(m_mutex);
    if (const auto e = CheckFault("PR_GetDevicePropValue"))
        return e;
    if (const auto e = CheckConnected(hCamera))
        return e;
    const auto it = m_properties.find(nCode);
    if (it == m_properties.end())
        return kErrNotSupported;
    std::vector<std::uint8_t> bytes;
    PutValue(bytes, it->second, it->second.nValue);
    return CopyOut(bytes, pBufferSize, pValue);
}

std::uint32_t CPrsdkSimulator::SetPropValue(std::uintptr_t hCamera, std::uint16_t nCode, std::uint32_t nSize,
                                            const void* pValue)
{
    std::lock_guard lock(m_mutex);
    if (const auto e = CheckFault("PR_SetDevicePropValue"))
        return e;
    if (const auto e = CheckConnected(hCamera))
        return e;
    const auto it = m_properties.find(nCode);
    if (it == m_properties.end())
        return kErrNotSupported;
    if (!pValue || nSize != TypeSize(it->second))
        return kErrInvalidParameter;
    const auto* p = static_cast<const std::uint8_t*>(pValue);
    const auto v = static_cast<std::uint16_t>(nSize == 2 ? p[0] | (p[1] << 8) : p[0]);
    const bool bTaken = Accepts(it->second, v);
    m_writes.push_back({nCode, nSize, v, bTaken});
    if (!bTaken)
        return kErrInvalidParameter;
    it->second.nValue = v;
    return 0;
}

std::uint32_t CPrsdkSimulator::CdStart(const void* pVersion)
{
    std::lock_guard lock(m_mutex);
    if (const auto e = CheckFault("CDStartSDK"))
        return e;
    if (!pVersion)
        return kErrInvalidParameter;
    const auto* p = static_cast<const std::uint8_t*>(pVersion);
    if ((p[0] | (p[1] << 8)) != kCdRecordSize)
        return kErrInvalidParameter;
    m_cdRecord.assign(p, p + kCdRecordSize);
    return 0;
}

std::uint32_t CPrsdkSimulator::CdFinish()
{
    std::lock_guard lock(m_mutex);
    return CheckFault("CDFinishSDK");
}

// ---- threads ----

void CPrsdkSimulator::QueueEvent(const CEvent& event)
{
    if (!m_eventThread.joinable())
        return;
    m_events.push_back(event);
    m_changed.notify_all();
}

void CPrsdkSimulator::EventLoop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] { return m_bEventStop || !m_events.empty(); });
        if (m_bEventStop)
            break;
        const CEvent event = m_events.front();
        m_events.pop_front();
        const CCameraObject* object = FindObject(event.hCamera);
        if (!object || !object->pEventCallBack) {
            m_changed.notify_all();
            continue;
        }
        const auto callBack = reinterpret_cast<prEventCallBack>(object->pEventCallBack);
        const std::uintptr_t context = object->eventContext;
        std::uint8_t record[kPrEventRecordSize] = {};
        PutU32(record, kPrEventRecordSize);
        PutU16(record + 4, 4);
        PutU16(record + 6, event.nCode);
        PutU32(record + 12, event.nParameter);
        m_bDispatching = true;
        lock.unlock();
        callBack(event.hCamera, context, record);
        lock.lock();
        m_bDispatching = false;
        m_changed.notify_all();
    }
    m_events.clear();
    m_changed.notify_all();
}

void CPrsdkSimulator::StopEventThread(std::unique_lock<std::mutex>& lock)
{
    if (!m_eventThread.joinable() || m_eventThread.get_id() == std::this_thread::get_id())
        return;
    m_bEventStop = true;
    m_changed.notify_all();
    std::thread thread = std::move(m_eventThread);
    lock.unlock();
    thread.join();
    lock.lock();
    m_bEventStop = false;
    m_changed.notify_all();
}

void CPrsdkSimulator::JoinViewFinder(std::unique_lock<std::mutex>& lock)
{
    // A stop asked from inside a frame call-back lets the thread end by
    // itself; it is joined at the next start.
    if (!m_viewThread.joinable() || m_viewThread.get_id() == std::this_thread::get_id())
        return;
    std::thread thread = std::move(m_viewThread);
    lock.unlock();
    thread.join();
    lock.lock();
}

bool CPrsdkSimulator::WaitForFrameTurn()
{
    std::unique_lock lock(m_mutex);
    if (m_bManualFrames) {
        m_changed.wait(lock, [&] { return m_bViewStop || !m_bManualFrames || m_nFramesAsked > 0; });
        if (m_bViewStop)
            return false;
        if (m_bManualFrames) {
            --m_nFramesAsked;
            return true;
        }
    }
    IClock* clock = m_pClock;
    lock.unlock();
    clock->SleepMs(kFrameIntervalMs);
    lock.lock();
    return !m_bViewStop;
}

std::vector<std::uint8_t> CPrsdkSimulator::EncodeFrame(int nFrame)
{
    std::vector<std::uint8_t> jpeg;
    cv::imencode(".jpg", SceneFrame(nFrame), jpeg, {cv::IMWRITE_JPEG_QUALITY, 90});
    std::lock_guard lock(m_mutex);
    if (m_nCorruptFrames > 0) {
        --m_nCorruptFrames;
        std::fill(jpeg.begin(), jpeg.end(), std::uint8_t{0x5A});
    }
    return jpeg;
}

void CPrsdkSimulator::ViewFinderLoop(std::uintptr_t hCamera, std::uintptr_t context, void* pCallBack)
{
    const auto callBack = reinterpret_cast<prViewFinderCallBack>(pCallBack);
    for (int nFrame = 0; WaitForFrameTurn(); ++nFrame) {
        const std::vector<std::uint8_t> jpeg = EncodeFrame(nFrame);
        callBack(hCamera, context, static_cast<std::uint32_t>(jpeg.size()), jpeg.data());
        std::lock_guard lock(m_mutex);
        ++m_nFramesSent;
        m_changed.notify_all();
    }
    std::lock_guard lock(m_mutex);
    m_bViewRunning = false;
    m_bViewLoopActive = false;
    m_changed.notify_all();
}

CPrsdkSimulator& PrsdkSimulator()
{
    static CPrsdkSimulator simulator;
    return simulator;
}

} // namespace kestrun::prsdk
