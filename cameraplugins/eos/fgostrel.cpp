#include "cameraplugins/eos/fgostrel.h"

#include "cameraplugins/eos/edsdklibrary.h"
#include "cameraplugins/eos/evfcommands.h"
#include "cameraplugins/eos/ostrelapp.h"
#include "cameraplugins/fgplugin.h"

#include "objectmodel/toolfunctions.h"
#include "outside/pixmere/dib.h"

#include "platform/core/messages.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

using namespace kestrun::camplugin;

CFGOstrel::CFGOstrel()
    : m_nMsgShutDown(::RegisterWindowMessage(kMsgShutDown)),
      m_nMsgVideoFormatChanged(::RegisterWindowMessage(kMsgVideoFormatChanged)),
      m_nMsgGrabber(::RegisterWindowMessage(kMsgGrabber))
{
}

// The SDK and the command thread end at Exit: at process exit the SDK's
// library may be gone already.
CFGOstrel::~CFGOstrel() = default;

kestrun::IClock& CFGOstrel::Clock() const
{
    return m_pClock != nullptr ? *m_pClock : kestrun::DefaultClock();
}

int CFGOstrel::Init(HWND hHostWnd)
{
    // A second Init would otherwise lose the running camera.
    Exit();
    m_hHostWnd = hHostWnd;
    m_nBadFrames = 0;
    OstrelApp().SetHostWindow(hHostWnd);
    if (!Edsdk().IsBound()) {
        if (const unsigned missing = Edsdk().Bind(&EdsProcByOrdinal)) {
            OstrelApp().ReportMessage(FormatString("The camera SDK lacks its function %u.", missing));
            return 0;
        }
    }
    if (const EdsError error = Edsdk().InitializeSDK()) {
        ReportCameraError(error);
        return 0;
    }
    m_bSdkInitialised = true;
    EdsUInt32 subType = 0;
    if (const EdsError error = FindFirstCamera(subType)) {
        ReportCameraError(error);
        return 0;
    }
    if (subType != 0)
        m_model = std::make_unique<CameraModel>(m_camera);
    else
        m_model = std::make_unique<CameraModelLegacy>(m_camera);
    m_model->setPictureFolder(m_strImageDir.IsEmpty() ? OstrelApp().SettingsFolder().GetString()
                                                      : m_strImageDir.GetString());
    if (const EdsError error = StartController()) {
        ReportCameraError(error);
        return 0;
    }
    return 1;
}

EdsError CFGOstrel::FindFirstCamera(EdsUInt32& subType)
{
    EdsCameraListRef list = nullptr;
    EdsError error = Edsdk().GetCameraList(&list);
    EdsUInt32 count = 0;
    if (error == EDS_ERR_OK)
        error = Edsdk().GetChildCount(list, &count);
    if (error == EDS_ERR_OK && count == 0)
        error = EDS_ERR_DEVICE_NOT_FOUND;
    EdsCameraRef camera = nullptr;
    if (error == EDS_ERR_OK)
        error = Edsdk().GetChildAtIndex(list, 0, &camera);
    EdsDeviceInfo info{};
    if (error == EDS_ERR_OK)
        error = Edsdk().GetDeviceInfo(camera, &info);
    if (error == EDS_ERR_OK) {
        info.szDeviceDescription[sizeof info.szDeviceDescription - 1] = '\0';
        m_strInfo = info.szDeviceDescription;
        subType = info.deviceSubType;
        m_camera = camera;
    } else if (camera != nullptr) {
        Edsdk().Release(camera);
    }
    if (list != nullptr)
        Edsdk().Release(list);
    return error;
}

EdsError CFGOstrel::StartController()
{
    m_controller = std::make_unique<CameraController>(m_model.get(), std::make_unique<Processor>(Clock()));
    m_controller->setLocalClock(m_localClock);
    const EdsCameraRef camera = m_camera;
    EdsError error = Edsdk().SetPropertyEventHandler(camera, kEdsPropertyEvent_All,
                                                     &CameraController::handlePropertyEvent, m_controller.get());
    if (error == EDS_ERR_OK)
        error = Edsdk().SetObjectEventHandler(camera, kEdsObjectEvent_All, &CameraController::handleObjectEvent,
                                              m_controller.get());
    if (error == EDS_ERR_OK)
        error = Edsdk().SetCameraStateEventHandler(camera, kEdsStateEvent_All,
                                                   &CameraController::handleStateEvent, m_controller.get());
    if (error != EDS_ERR_OK)
        return error;
    addActionListener(m_controller.get());
    m_takePicture.addActionListener(m_controller.get());
    m_startEvf.addActionListener(m_controller.get());
    m_endEvf.addActionListener(m_controller.get());
    m_model->addObserver(this);
    m_controller->run();
    return EDS_ERR_OK;
}

void CFGOstrel::Exit()
{
    if (const EdsCameraRef camera = m_camera.exchange(nullptr)) {
        if (m_controller)
            m_controller->actionPerformed(ActionEvent("closing", nullptr));
        Edsdk().Release(camera);
    }
    if (m_bSdkInitialised) {
        // No SDK event reaches the controller after this.
        Edsdk().TerminateSDK();
        m_bSdkInitialised = false;
    }
    if (m_controller) {
        removeActionListener(m_controller.get());
        m_takePicture.removeActionListener(m_controller.get());
        m_startEvf.removeActionListener(m_controller.get());
        m_endEvf.removeActionListener(m_controller.get());
    }
    m_controller.reset();
    m_model.reset();
    m_bLiveViewActive = false;
    m_bSnapshotInProgress = false;
    OstrelApp().DetachHost();
}

// ---- snapshot ----------------------------------------------------------------

int CFGOstrel::TakeSnapshot(CDIB* pImage)
{
    if (!m_model || !m_controller || m_camera.load() == nullptr) {
        OstrelApp().ReportMessage("The camera is not connected.");
        return 0;
    }
    m_bSnapshotInProgress = true;
    if (m_bAFOnSnapshot)
        m_endEvf.fireEvent();
    else if (!m_bLiveViewActive)
        m_startEvf.fireEvent();
    m_downloadComplete.ResetEvent();
    // The last picture's path must not pass for this one's.
    m_model->setLastDownloadPath({});
    CDIB temporary;
    CDIB* image = pImage != nullptr ? pImage : &temporary;
    m_takePicture.fireEvent();
    int result = 0;
    if (!WaitForDownload()) {
        OstrelApp().ReportMessage("The camera's picture did not arrive in time.");
    } else if (const std::string path = m_model->getLastDownloadPath(); !path.empty()) {
        result = image->Load(path.c_str(), 0) ? 1 : 0;
        if (result == 0)
            OstrelApp().ReportMessage(FormatString("The picture %s could not be loaded.", path.c_str()));
        else if (m_hHostWnd != nullptr)
            ::SendMessage(m_hHostWnd, m_nMsgGrabber, kGrabberPictureReady, 0);
    }
    m_bSnapshotInProgress = false;
    if (m_bLiveViewActive)
        m_endEvf.fireEvent();
    return result;
}

bool CFGOstrel::WaitForDownload()
{
    kestrun::IClock& clock = Clock();
    const ULONGLONG start = clock.NowMs();
    for (;;) {
        if (kestrun::WaitPumping(m_downloadComplete, 0) == WAIT_OBJECT_0)
            return true;
        if (clock.NowMs() - start >= kSnapshotWaitMs)
            return false;
        clock.SleepMs(1);
    }
}

void CFGOstrel::StartLiveView()
{
    m_bSnapshotInProgress = false;
    m_startEvf.fireEvent();
}

// ---- the model's events (command thread) --------------------------------------

void CFGOstrel::update(Observable*, CameraEvent* event)
{
    const std::string& name = event->name;
    if (name == "EvfDataChanged") {
        OnEvfData(*static_cast<const EvfDataSet*>(event->arg));
    } else if (name == "PropertyChanged") {
        if (*static_cast<const EdsPropertyID*>(event->arg) == kEdsPropID_Evf_OutputDevice)
            OnOutputDevice();
    } else if (name == "DownloadComplete") {
        m_downloadComplete.SetEvent();
    } else if (name == "shutDown") {
        OnShutDown();
    } else if (name == "error") {
        ReportCameraError(*static_cast<const EdsError*>(event->arg));
    }
}

void CFGOstrel::OnEvfData(const EvfDataSet& data)
{
    void* bytes = nullptr;
    EdsUInt64 length = 0;
    Edsdk().GetPointer(data.stream, &bytes);
    Edsdk().GetLength(data.stream, &length);
    CPluginFrameSink* sink = m_pFrameSink;
    if (bytes != nullptr && length > 0 && length <= 0x200000 && sink != nullptr) {
        const cv::Mat encoded(1, static_cast<int>(length), CV_8U, bytes);
        cv::Mat frame = cv::imdecode(encoded, cv::IMREAD_COLOR);
        if (frame.empty()) {
            // Skipped; the next frame is asked for as always.
            ++m_nBadFrames;
        } else {
            if (m_nStretch != 0)
                cv::resize(frame, frame, cv::Size(kLiveWidth, kLiveHeight), 0, 0, cv::INTER_LINEAR);
            sink->OnLiveFrame(frame);
        }
    }
    fireEvent("downloadEVF", nullptr);
}

void CFGOstrel::OnOutputDevice()
{
    const bool computer =
        (m_model->getPropertyUInt32(kEdsPropID_Evf_OutputDevice) & kEdsEvfOutputDevice_PC) != 0;
    if (m_bLiveViewActive && !computer) {
        m_bLiveViewActive = false;
    } else if (!m_bLiveViewActive && computer) {
        m_bLiveViewActive = true;
        if (!m_bSnapshotInProgress)
            fireEvent("downloadEVF", nullptr);
    }
}

void CFGOstrel::OnShutDown()
{
    if (const EdsCameraRef camera = m_camera.exchange(nullptr)) {
        m_controller->stopProcessor();
        Edsdk().Release(camera);
    }
    if (m_hHostWnd != nullptr)
        ::PostMessage(m_hHostWnd, m_nMsgShutDown, 0, 0);
}

// ---- parameters ---------------------------------------------------------------

double CFGOstrel::GetParameter(int nId) const
{
    switch (nId) {
    case kParamPictureWidth:
    case kParamLiveWidth:
        return kLiveWidth;
    case kParamPictureHeight:
    case kParamLiveHeight:
        return kLiveHeight;
    case kParamBitsPerPixel:
        return 24;
    default:
        // 150 is a text: it travels as a typed string.
        return 0;
    }
}

void CFGOstrel::SetParameter(int nId, double dValue)
{
    if (nId == kParamStretchLive)
        m_nStretch = ParameterToInt(dValue);
    else if (nId == kParamReportToWindow)
        OstrelApp().SetReportToWindow(ParameterToInt(dValue));
}

const char* CFGOstrel::GetParameterString(int) const
{
    return "";
}

void CFGOstrel::SetImageDir(const char* lpszFolder)
{
    m_strImageDir = AddTrailingBackslash(lpszFolder != nullptr ? lpszFolder : "");
    if (m_model)
        m_model->setPictureFolder(m_strImageDir.GetString());
}

CFGOstrel& FGOstrel()
{
    static CFGOstrel grabber;
    return grabber;
}
