#include "outside/edsdk/edsdksimulator.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kestrun::edsdk {

namespace {

const cv::Size kPictureSize(768, 512);
const cv::Size kFrameSize(320, 212);
constexpr std::uint32_t kRefCountGone = 0xFFFFFFFF;

std::vector<std::uint8_t> Bytes32(std::uint32_t v)
{
    std::vector<std::uint8_t> out(4);
    std::memcpy(out.data(), &v, 4);
    return out;
}

std::vector<std::uint8_t> EncodeJpeg(const cv::Mat& image)
{
    std::vector<std::uint8_t> out;
    cv::imencode(".jpg", image, out);
    return out;
}

cv::Mat Scene(cv::Size size, int n)
{
    cv::Mat image(size, CV_8UC3);
    for (int y = 0; y < size.height; ++y) {
        auto* row = image.ptr<cv::Vec3b>(y);
        for (int x = 0; x < size.width; ++x)
            row[x] = cv::Vec3b(static_cast<uchar>(x * 255 / size.width), static_cast<uchar>(y * 255 / size.height),
                               static_cast<uchar>((n * 40) % 256));
    }
    cv::circle(image, {size.width / 2, size.height / 2}, size.height / 4, cv::Scalar(255, 255, 255), cv::FILLED);
    return image;
}

EdsFocusInfo DefaultFocusInfo()
{
    EdsFocusInfo info{};
    info.imageRect = {{0, 0}, {kPictureSize.width, kPictureSize.height}};
    info.pointNumber = 3;
    for (int i = 0; i < 3; ++i) {
        EdsFocusPoint& point = info.focusPoint[i];
        point.valid = 1;
        point.selected = i != 2 ? 1 : 0;
        point.justFocus = i == 0 ? 1 : 0;
        point.rect = {{100 + 200 * i, 200}, {64, 48}};
    }
    return info;
}

} // namespace

CEdsdkSimulator::CEdsdkSimulator()
{
    ResetCamera();
}

CEdsdkSimulator::~CEdsdkSimulator()
{
    std::unique_lock lock(m_mutex);
    StopEventThread(lock);
}

void CEdsdkSimulator::Reset()
{
    std::unique_lock lock(m_mutex);
    StopEventThread(lock);
    ResetCamera();
}

void CEdsdkSimulator::ResetCamera()
{
    m_cameras = {CSimCamera{}};
    m_faults.clear();
    m_callCounts.clear();
    m_callLog.clear();
    m_commands.clear();
    m_statusCommands.clear();
    m_writes.clear();
    m_capacities.clear();
    m_objects.clear();
    m_bStarted = false;
    m_bSession = false;
    m_bUILocked = false;
    m_pictureBytes.clear();
    m_nPictures = 0;
    m_bManualFrames = false;
    m_nFramesReady = 0;
    m_nFramesDelivered = 0;
    m_nCorruptFrames = 0;
    m_propertyHandler = nullptr;
    m_objectHandler = nullptr;
    m_stateHandler = nullptr;
    m_events.clear();

    m_properties.clear();
    const auto text = [](const char* s) {
        return CSimProperty{kEdsDataType_String, std::vector<std::uint8_t>(s, s + std::strlen(s) + 1)};
    };
    m_properties[kEdsPropID_ProductName] = text("Canon EOS 450D");
    m_properties[kEdsPropID_FirmwareVersion] = text("Firmware Version 1.0.9");
    for (const auto& [id, value] : std::initializer_list<std::pair<EdsPropertyID, std::uint32_t>>{
             {kEdsPropID_SaveTo, 1},
             {kEdsPropID_ImageQuality, 0x130F0F},
             {kEdsPropID_AEMode, 0},
             {kEdsPropID_ISOSpeed, 0x48},
             {kEdsPropID_MeteringMode, 3},
             {kEdsPropID_Av, 0x20},
             {kEdsPropID_Tv, 0x60},
             {kEdsPropID_ExposureCompensation, 0},
             {kEdsPropID_Evf_OutputDevice, 1},
             {kEdsPropID_Evf_Mode, 0},
             {kEdsPropID_Evf_DepthOfFieldPreview, 0},
             {kEdsPropID_Evf_Zoom, 1},
             {kEdsPropID_Evf_AFMode, 0},
         })
        m_properties[id] = {kEdsDataType_UInt32, Bytes32(value)};
    m_properties[kEdsPropID_Evf_ZoomPosition] = {kEdsDataType_Point, std::vector<std::uint8_t>(8, 0)};
    const EdsFocusInfo focus = DefaultFocusInfo();
    const auto* p = reinterpret_cast<const std::uint8_t*>(&focus);
    m_properties[kEdsPropID_FocusInfo] = {kEdsDataType_FocusInfo, std::vector<std::uint8_t>(p, p + sizeof focus)};

    m_descriptors.clear();
    m_descriptors[kEdsPropID_AEMode] = {0, 1, 2, 3};
    m_descriptors[kEdsPropID_Tv] = {0x60, 0x68, 0x70};
    m_descriptors[kEdsPropID_Av] = {0x20, 0x28, 0x30};
    m_descriptors[kEdsPropID_ISOSpeed] = {0x48, 0x50, 0x58};
    m_descriptors[kEdsPropID_MeteringMode] = {1, 3, 4, 5};
    m_descriptors[kEdsPropID_ExposureCompensation] = {0x03, 0x00, 0xFD};
    m_descriptors[kEdsPropID_ImageQuality] = {0x130F0F, 0x120F0F};
    m_descriptors[kEdsPropID_Evf_AFMode] = {0, 1, 2};
}

// ---- control ----------------------------------------------------------------

void CEdsdkSimulator::SetCameras(const std::vector<CSimCamera>& cameras)
{
    std::lock_guard lock(m_mutex);
    m_cameras = cameras;
}

void CEdsdkSimulator::AddFault(const CCallFault& fault)
{
    std::lock_guard lock(m_mutex);
    m_faults.push_back(fault);
}

void CEdsdkSimulator::SetProperty32(EdsPropertyID nId, std::uint32_t nValue)
{
    std::lock_guard lock(m_mutex);
    PutProperty32(nId, nValue);
}

void CEdsdkSimulator::SetPropertyString(EdsPropertyID nId, const std::string& text)
{
    std::lock_guard lock(m_mutex);
    m_properties[nId] = {kEdsDataType_String, std::vector<std::uint8_t>(text.c_str(), text.c_str() + text.size() + 1)};
}

void CEdsdkSimulator::SetPropertyRaw(EdsPropertyID nId, const CSimProperty& property)
{
    std::lock_guard lock(m_mutex);
    m_properties[nId] = property;
}

void CEdsdkSimulator::SetFocusInfo(const EdsFocusInfo& info)
{
    const auto* p = reinterpret_cast<const std::uint8_t*>(&info);
    SetPropertyRaw(kEdsPropID_FocusInfo, {kEdsDataType_FocusInfo, std::vector<std::uint8_t>(p, p + sizeof info)});
}

void CEdsdkSimulator::SetDescriptor(EdsPropertyID nId, const std::vector<std::int32_t>& values)
{
    std::lock_guard lock(m_mutex);
    m_descriptors[nId] = values;
}

void CEdsdkSimulator::SetPictureBytes(std::vector<std::uint8_t> bytes)
{
    std::lock_guard lock(m_mutex);
    m_pictureBytes = std::move(bytes);
}

void CEdsdkSimulator::SetManualFrames(bool bManual)
{
    std::lock_guard lock(m_mutex);
    m_bManualFrames = bManual;
    m_nFramesReady = 0;
}

void CEdsdkSimulator::MakeFramesReady(int n)
{
    std::lock_guard lock(m_mutex);
    m_nFramesReady += n;
}

void CEdsdkSimulator::CorruptNextFrames(int n)
{
    std::lock_guard lock(m_mutex);
    m_nCorruptFrames = n;
}

void CEdsdkSimulator::RaisePropertyEvent(EdsPropertyEvent nEvent, EdsPropertyID nId)
{
    std::lock_guard lock(m_mutex);
    Queue({1, nEvent, nId, 0});
}

void CEdsdkSimulator::RaiseStateEvent(EdsStateEvent nEvent)
{
    std::lock_guard lock(m_mutex);
    Queue({3, nEvent, 0, 0});
}

void CEdsdkSimulator::WaitForEvents()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return (m_events.empty() && !m_bDispatching) || !m_eventThread.joinable(); });
}

// ---- observation --------------------------------------------------------------

bool CEdsdkSimulator::IsStarted() const
{
    std::lock_guard lock(m_mutex);
    return m_bStarted;
}

bool CEdsdkSimulator::IsSessionOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_bSession;
}

bool CEdsdkSimulator::IsUILocked() const
{
    std::lock_guard lock(m_mutex);
    return m_bUILocked;
}

std::uint32_t CEdsdkSimulator::GetProperty32(EdsPropertyID nId) const
{
    std::lock_guard lock(m_mutex);
    return Property32(nId);
}

std::vector<std::string> CEdsdkSimulator::CallLog() const
{
    std::lock_guard lock(m_mutex);
    return m_callLog;
}

std::vector<CSimCommand> CEdsdkSimulator::Commands() const
{
    std::lock_guard lock(m_mutex);
    return m_commands;
}

std::vector<CSimCommand> CEdsdkSimulator::StatusCommands() const
{
    std::lock_guard lock(m_mutex);
    return m_statusCommands;
}

std::vector<CSimPropertyWrite> CEdsdkSimulator::PropertyWrites() const
{
    std::lock_guard lock(m_mutex);
    return m_writes;
}

std::vector<EdsCapacity> CEdsdkSimulator::Capacities() const
{
    std::lock_guard lock(m_mutex);
    return m_capacities;
}

int CEdsdkSimulator::OpenReferences() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_objects.size());
}

int CEdsdkSimulator::FramesDelivered() const
{
    std::lock_guard lock(m_mutex);
    return m_nFramesDelivered;
}

int CEdsdkSimulator::PicturesTaken() const
{
    std::lock_guard lock(m_mutex);
    return m_nPictures;
}

cv::Mat CEdsdkSimulator::ScenePicture(int nPicture) const
{
    return Scene(kPictureSize, nPicture);
}

cv::Mat CEdsdkSimulator::SceneFrame(int nFrame) const
{
    return Scene(kFrameSize, nFrame);
}

void CEdsdkSimulator::ClearLogs()
{
    std::lock_guard lock(m_mutex);
    m_callLog.clear();
    m_commands.clear();
    m_statusCommands.clear();
    m_writes.clear();
    m_capacities.clear();
}

// ---- helpers ------------------------------------------------------------------

EdsError CEdsdkSimulator::CheckFault(const char* name)
{
    m_callLog.emplace_back(name);
    const int index = m_callCounts[name]++;
    for (const CCallFault& fault : m_faults) {
        if (fault.call == name && index >= fault.nSkip && (fault.nTimes < 0 || index < fault.nSkip + fault.nTimes))
            return fault.nCode;
    }
    return EDS_ERR_OK;
}

CEdsdkSimulator::CObject* CEdsdkSimulator::Find(EdsBaseRef ref, Kind kind)
{
    const auto it = m_objects.find(reinterpret_cast<std::uintptr_t>(ref));
    if (it == m_objects.end() || it->second.kind != kind)
        return nullptr;
    return &it->second;
}

EdsBaseRef CEdsdkSimulator::NewRef(CObject object)
{
    const std::uintptr_t id = m_nextRef++;
    m_objects.emplace(id, std::move(object));
    return reinterpret_cast<EdsBaseRef>(id);
}

EdsError CEdsdkSimulator::CheckCamera(EdsBaseRef camera, bool bSession)
{
    if (!m_bStarted)
        return EDS_ERR_NOT_INITIALIZED;
    if (Find(camera, Kind::camera) == nullptr)
        return EDS_ERR_INVALID_HANDLE;
    if (bSession && !m_bSession)
        return EDS_ERR_SESSION_NOT_OPEN;
    return EDS_ERR_OK;
}

void CEdsdkSimulator::PutProperty32(EdsPropertyID nId, std::uint32_t nValue)
{
    m_properties[nId] = {kEdsDataType_UInt32, Bytes32(nValue)};
}

std::uint32_t CEdsdkSimulator::Property32(EdsPropertyID nId) const
{
    const auto it = m_properties.find(nId);
    std::uint32_t v = 0;
    if (it != m_properties.end())
        std::memcpy(&v, it->second.data.data(), std::min<std::size_t>(4, it->second.data.size()));
    return v;
}

std::vector<std::uint8_t> CEdsdkSimulator::NextPicture()
{
    ++m_nPictures;
    if (!m_pictureBytes.empty())
        return m_pictureBytes;
    return EncodeJpeg(Scene(kPictureSize, m_nPictures));
}

std::vector<std::uint8_t> CEdsdkSimulator::NextFrame()
{
    ++m_nFramesDelivered;
    if (m_nCorruptFrames > 0) {
        --m_nCorruptFrames;
        return std::vector<std::uint8_t>(64, 0x5A);
    }
    return EncodeJpeg(Scene(kFrameSize, m_nFramesDelivered));
}

// ---- events -------------------------------------------------------------------

void CEdsdkSimulator::Queue(const CEvent& event)
{
    if (!m_eventThread.joinable())
        return;
    m_events.push_back(event);
    m_changed.notify_all();
}

void CEdsdkSimulator::EventLoop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_bEventStop || !m_events.empty(); });
        if (m_bEventStop)
            break;
        const CEvent event = m_events.front();
        m_events.pop_front();
        m_bDispatching = true;
        const auto propertyHandler = m_propertyHandler;
        const auto objectHandler = m_objectHandler;
        const auto stateHandler = m_stateHandler;
        void* const propertyContext = m_propertyContext;
        void* const objectContext = m_objectContext;
        void* const stateContext = m_stateContext;
        lock.unlock();
        if (event.nType == 1 && propertyHandler != nullptr)
            propertyHandler(event.nEvent, event.nParam, 0, propertyContext);
        else if (event.nType == 2 && objectHandler != nullptr)
            objectHandler(event.nEvent, reinterpret_cast<EdsBaseRef>(event.ref), objectContext);
        else if (event.nType == 3 && stateHandler != nullptr)
            stateHandler(event.nEvent, event.nParam, stateContext);
        lock.lock();
        // An item nobody took is let go, as the SDK does after its event.
        if (event.nType == 2 && objectHandler == nullptr)
            m_objects.erase(event.ref);
        m_bDispatching = false;
        m_changed.notify_all();
    }
    m_events.clear();
    m_bDispatching = false;
    m_changed.notify_all();
}

void CEdsdkSimulator::StopEventThread(std::unique_lock<std::mutex>& lock)
{
    if (!m_eventThread.joinable())
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

// ---- the SDK's calls ----------------------------------------------------------

EdsError CEdsdkSimulator::InitializeSDK()
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsInitializeSDK"))
        return e;
    if (!m_bStarted) {
        m_bStarted = true;
        m_eventThread = std::thread([this] { EventLoop(); });
    }
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::TerminateSDK()
{
    std::unique_lock lock(m_mutex);
    if (const EdsError e = CheckFault("EdsTerminateSDK"))
        return e;
    if (!m_bStarted)
        return EDS_ERR_NOT_INITIALIZED;
    StopEventThread(lock);
    m_bStarted = false;
    m_bSession = false;
    m_propertyHandler = nullptr;
    m_objectHandler = nullptr;
    m_stateHandler = nullptr;
    return EDS_ERR_OK;
}

EdsUInt32 CEdsdkSimulator::Release(EdsBaseRef ref)
{
    std::lock_guard lock(m_mutex);
    m_callLog.emplace_back("EdsRelease");
    return m_objects.erase(reinterpret_cast<std::uintptr_t>(ref)) != 0 ? 0 : kRefCountGone;
}

EdsError CEdsdkSimulator::GetChildCount(EdsBaseRef ref, EdsUInt32* count)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsGetChildCount"))
        return e;
    if (Find(ref, Kind::cameraList) == nullptr || count == nullptr)
        return EDS_ERR_INVALID_HANDLE;
    *count = static_cast<EdsUInt32>(m_cameras.size());
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::GetChildAtIndex(EdsBaseRef ref, EdsInt32 index, EdsBaseRef* child)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsGetChildAtIndex"))
        return e;
    if (Find(ref, Kind::cameraList) == nullptr || child == nullptr)
        return EDS_ERR_INVALID_HANDLE;
    if (index < 0 || index >= static_cast<EdsInt32>(m_cameras.size()))
        return EDS_ERR_INVALID_PARAMETER;
    CObject camera;
    camera.kind = Kind::camera;
    camera.nCamera = index;
    *child = NewRef(std::move(camera));
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::GetPropertySize(EdsBaseRef ref, EdsPropertyID id, EdsDataType* type, EdsUInt32* size)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsGetPropertySize"))
        return e;
    if (const EdsError e = CheckCamera(ref, true))
        return e;
    const auto it = m_properties.find(id);
    if (it == m_properties.end())
        return EDS_ERR_NOT_SUPPORTED;
    *type = it->second.nType;
    *size = static_cast<EdsUInt32>(it->second.data.size());
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::GetPropertyData(EdsBaseRef ref, EdsPropertyID id, EdsUInt32 size, void* data)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsGetPropertyData"))
        return e;
    if (data == nullptr)
        return EDS_ERR_INVALID_PARAMETER;
    std::vector<std::uint8_t> bytes;
    if (const CObject* image = Find(ref, Kind::evfImage)) {
        switch (id) {
        case kEdsPropID_Evf_Zoom:
            bytes = Bytes32(image->nZoom);
            break;
        case kEdsPropID_Evf_ZoomPosition:
            bytes.resize(8);
            std::memcpy(bytes.data(), &image->zoomPosition, 8);
            break;
        case kEdsPropID_Evf_ImagePosition:
            bytes.assign(8, 0);
            break;
        case kEdsPropID_Evf_Histogram:
            bytes.assign(4096, 1);
            break;
        default:
            return EDS_ERR_NOT_SUPPORTED;
        }
    } else {
        if (const EdsError e = CheckCamera(ref, true))
            return e;
        const auto it = m_properties.find(id);
        if (it == m_properties.end())
            return EDS_ERR_NOT_SUPPORTED;
        bytes = it->second.data;
    }
    std::memset(data, 0, size);
    std::memcpy(data, bytes.data(), std::min<std::size_t>(size, bytes.size()));
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::SetPropertyData(EdsBaseRef ref, EdsPropertyID id, EdsUInt32 size, const void* data)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsSetPropertyData"))
        return e;
    if (const EdsError e = CheckCamera(ref, true))
        return e;
    if (data == nullptr || size == 0 || size > 4096)
        return EDS_ERR_INVALID_PARAMETER;
    const auto* p = static_cast<const std::uint8_t*>(data);
    CSimProperty& property = m_properties[id];
    if (property.data.empty())
        property.nType = size == 8 ? kEdsDataType_Point : kEdsDataType_UInt32;
    property.data.assign(p, p + size);
    std::uint32_t first = 0;
    std::uint32_t second = 0;
    std::memcpy(&first, p, std::min<std::size_t>(4, size));
    if (size >= 8)
        std::memcpy(&second, p + 4, 4);
    m_writes.push_back({id, size, first, second});
    Queue({1, kEdsPropertyEvent_PropertyChanged, id, 0});
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::GetPropertyDesc(EdsBaseRef ref, EdsPropertyID id, EdsPropertyDesc* desc)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsGetPropertyDesc"))
        return e;
    if (const EdsError e = CheckCamera(ref, true))
        return e;
    if (desc == nullptr)
        return EDS_ERR_INVALID_PARAMETER;
    *desc = EdsPropertyDesc{};
    const auto it = m_descriptors.find(id);
    if (it == m_descriptors.end())
        return EDS_ERR_OK;
    desc->form = 1;
    desc->access = 1;
    desc->numElements = static_cast<EdsInt32>(it->second.size());
    std::copy_n(it->second.begin(), std::min<std::size_t>(it->second.size(), kEdsMaxDescValues), desc->propDesc);
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::GetCameraList(EdsCameraListRef* list)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsGetCameraList"))
        return e;
    if (!m_bStarted)
        return EDS_ERR_NOT_INITIALIZED;
    if (list == nullptr)
        return EDS_ERR_INVALID_PARAMETER;
    CObject object;
    object.kind = Kind::cameraList;
    *list = NewRef(std::move(object));
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::GetDeviceInfo(EdsCameraRef camera, EdsDeviceInfo* info)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsGetDeviceInfo"))
        return e;
    if (const EdsError e = CheckCamera(camera, false))
        return e;
    const CObject* object = Find(camera, Kind::camera);
    if (info == nullptr || object->nCamera >= static_cast<int>(m_cameras.size()))
        return EDS_ERR_INVALID_PARAMETER;
    *info = EdsDeviceInfo{};
    const CSimCamera& sim = m_cameras[static_cast<std::size_t>(object->nCamera)];
    std::snprintf(info->szPortName, sizeof info->szPortName, "usb:%d", object->nCamera + 1);
    std::snprintf(info->szDeviceDescription, sizeof info->szDeviceDescription, "%s", sim.description.c_str());
    info->deviceSubType = sim.nSubType;
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::OpenSession(EdsCameraRef camera)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsOpenSession"))
        return e;
    if (const EdsError e = CheckCamera(camera, false))
        return e;
    m_bSession = true;
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::CloseSession(EdsCameraRef camera)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsCloseSession"))
        return e;
    if (const EdsError e = CheckCamera(camera, true))
        return e;
    m_bSession = false;
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::SendCommand(EdsCameraRef camera, EdsCameraCommand command, EdsInt32 param)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsSendCommand"))
        return e;
    if (const EdsError e = CheckCamera(camera, true))
        return e;
    m_commands.push_back({command, param, (Property32(kEdsPropID_Evf_OutputDevice) & kEdsEvfOutputDevice_PC) != 0});
    if (command == kEdsCameraCommand_TakePicture) {
        CObject item;
        item.kind = Kind::directoryItem;
        item.bytes = NextPicture();
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%04d.JPG", m_nPictures);
        item.fileName = name;
        const EdsBaseRef ref = NewRef(std::move(item));
        Queue({2, kEdsObjectEvent_DirItemRequestTransfer, 0, reinterpret_cast<std::uintptr_t>(ref)});
    }
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::SendStatusCommand(EdsCameraRef camera, EdsCameraStatusCommand command, EdsInt32 param)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsSendStatusCommand"))
        return e;
    if (const EdsError e = CheckCamera(camera, true))
        return e;
    m_statusCommands.push_back({command, param});
    if (command == kEdsCameraStatusCommand_UILock)
        m_bUILocked = true;
    else if (command == kEdsCameraStatusCommand_UIUnLock)
        m_bUILocked = false;
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::SetCapacity(EdsCameraRef camera, const EdsCapacity& capacity)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsSetCapacity"))
        return e;
    if (const EdsError e = CheckCamera(camera, true))
        return e;
    m_capacities.push_back(capacity);
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::GetDirectoryItemInfo(EdsDirectoryItemRef item, EdsDirectoryItemInfo* info)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsGetDirectoryItemInfo"))
        return e;
    const CObject* object = Find(item, Kind::directoryItem);
    if (object == nullptr || info == nullptr)
        return EDS_ERR_INVALID_HANDLE;
    *info = EdsDirectoryItemInfo{};
    info->size = static_cast<EdsUInt32>(object->bytes.size());
    std::snprintf(info->szFileName, sizeof info->szFileName, "%s", object->fileName.c_str());
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::Download(EdsDirectoryItemRef item, EdsUInt64 size, EdsStreamRef stream)
{
    std::unique_lock lock(m_mutex);
    if (const EdsError e = CheckFault("EdsDownload"))
        return e;
    const CObject* source = Find(item, Kind::directoryItem);
    CObject* target = Find(stream, Kind::fileStream);
    if (target == nullptr)
        target = Find(stream, Kind::memoryStream);
    if (source == nullptr || target == nullptr)
        return EDS_ERR_INVALID_HANDLE;
    const std::vector<std::uint8_t> bytes(source->bytes.begin(),
                                          source->bytes.begin() + static_cast<std::ptrdiff_t>(
                                                                      std::min<EdsUInt64>(size, source->bytes.size())));
    const EdsProgressCallback progress = target->progress;
    void* const context = target->progressContext;
    const std::string path = target->path;
    if (target->kind == Kind::memoryStream)
        target->bytes = bytes;
    lock.unlock();
    if (!path.empty()) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        const bool written = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (file != nullptr && std::fclose(file) != 0)
            return EDS_ERR_FILE_IO;
        if (!written)
            return EDS_ERR_FILE_IO;
    }
    for (int percent = 25; percent <= 100 && progress != nullptr; percent += 25) {
        int cancel = 0;
        progress(static_cast<EdsUInt32>(percent), context, &cancel);
    }
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::DownloadComplete(EdsDirectoryItemRef item)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsDownloadComplete"))
        return e;
    return Find(item, Kind::directoryItem) != nullptr ? EDS_ERR_OK : EDS_ERR_INVALID_HANDLE;
}

EdsError CEdsdkSimulator::CreateFileStream(const char* path, EdsStreamRef* stream)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsCreateFileStream"))
        return e;
    if (path == nullptr || *path == '\0' || stream == nullptr)
        return EDS_ERR_INVALID_PARAMETER;
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr)
        return EDS_ERR_FILE_IO;
    std::fclose(file);
    CObject object;
    object.kind = Kind::fileStream;
    object.path = path;
    *stream = NewRef(std::move(object));
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::CreateMemoryStream(EdsUInt64 size, EdsStreamRef* stream)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsCreateMemoryStream"))
        return e;
    if (stream == nullptr)
        return EDS_ERR_INVALID_PARAMETER;
    CObject object;
    object.kind = Kind::memoryStream;
    object.bytes.reserve(static_cast<std::size_t>(std::min<EdsUInt64>(size, 0x200000)));
    *stream = NewRef(std::move(object));
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::GetPointer(EdsStreamRef stream, void** pointer)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsGetPointer"))
        return e;
    CObject* object = Find(stream, Kind::memoryStream);
    if (object == nullptr || pointer == nullptr)
        return EDS_ERR_INVALID_HANDLE;
    *pointer = object->bytes.empty() ? nullptr : object->bytes.data();
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::GetLength(EdsStreamRef stream, EdsUInt64* length)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsGetLength"))
        return e;
    const CObject* object = Find(stream, Kind::memoryStream);
    if (object == nullptr || length == nullptr)
        return EDS_ERR_INVALID_HANDLE;
    *length = object->bytes.size();
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::SetProgressCallback(EdsBaseRef ref, EdsProgressCallback callback, void* context)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsSetProgressCallback"))
        return e;
    CObject* object = Find(ref, Kind::fileStream);
    if (object == nullptr)
        object = Find(ref, Kind::memoryStream);
    if (object == nullptr)
        return EDS_ERR_INVALID_HANDLE;
    object->progress = callback;
    object->progressContext = context;
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::CreateEvfImageRef(EdsStreamRef stream, EdsEvfImageRef* image)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsCreateEvfImageRef"))
        return e;
    if (Find(stream, Kind::memoryStream) == nullptr || image == nullptr)
        return EDS_ERR_INVALID_HANDLE;
    CObject object;
    object.kind = Kind::evfImage;
    object.stream = reinterpret_cast<std::uintptr_t>(stream);
    *image = NewRef(std::move(object));
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::DownloadEvfImage(EdsCameraRef camera, EdsEvfImageRef image)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsDownloadEvfImage"))
        return e;
    if (const EdsError e = CheckCamera(camera, true))
        return e;
    CObject* evf = Find(image, Kind::evfImage);
    if (evf == nullptr)
        return EDS_ERR_INVALID_HANDLE;
    CObject* stream = Find(reinterpret_cast<EdsBaseRef>(evf->stream), Kind::memoryStream);
    if (stream == nullptr)
        return EDS_ERR_INVALID_HANDLE;
    if ((Property32(kEdsPropID_Evf_OutputDevice) & kEdsEvfOutputDevice_PC) == 0)
        return EDS_ERR_OBJECT_NOTREADY;
    if (m_bManualFrames) {
        if (m_nFramesReady <= 0)
            return EDS_ERR_OBJECT_NOTREADY;
        --m_nFramesReady;
    }
    stream->bytes = NextFrame();
    evf->nZoom = Property32(kEdsPropID_Evf_Zoom);
    const auto it = m_properties.find(kEdsPropID_Evf_ZoomPosition);
    if (it != m_properties.end() && it->second.data.size() == 8)
        std::memcpy(&evf->zoomPosition, it->second.data.data(), 8);
    m_changed.notify_all();
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::SetPropertyEventHandler(EdsCameraRef camera, EdsPropertyEventHandler handler, void* context)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsSetPropertyEventHandler"))
        return e;
    if (const EdsError e = CheckCamera(camera, false))
        return e;
    m_propertyHandler = handler;
    m_propertyContext = context;
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::SetObjectEventHandler(EdsCameraRef camera, EdsObjectEventHandler handler, void* context)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsSetObjectEventHandler"))
        return e;
    if (const EdsError e = CheckCamera(camera, false))
        return e;
    m_objectHandler = handler;
    m_objectContext = context;
    return EDS_ERR_OK;
}

EdsError CEdsdkSimulator::SetStateEventHandler(EdsCameraRef camera, EdsStateEventHandler handler, void* context)
{
    std::lock_guard lock(m_mutex);
    if (const EdsError e = CheckFault("EdsSetCameraStateEventHandler"))
        return e;
    if (const EdsError e = CheckCamera(camera, false))
        return e;
    m_stateHandler = handler;
    m_stateContext = context;
    return EDS_ERR_OK;
}

CEdsdkSimulator& EdsdkSimulator()
{
    static CEdsdkSimulator simulator;
    return simulator;
}

} // namespace kestrun::edsdk
