#include "outside/grabwell/fgboard.h"

#include "outside/grabwell/aviwriter.h"
#include "outside/grabwell/boardprofiles.h"
#include "outside/grabwell/capturesource.h"
#include "outside/grabwell/folderplayback.h"
#include "outside/grabwell/pluginsource.h"
#include "outside/grabwell/simulatedcamera.h"

#include "platform/core/exceptions.h"
#include "platform/core/folders.h"
#include "platform/core/messagebox.h"
#include "platform/core/messages.h"
#include "platform/core/paths.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <thread>
#include <utility>

namespace {

enum SourceIndex : int
{
    kSimulatedCamera = 0,
    kImageFolder = 1,
    kVideoCamera = 2,
    kVideoFile = 3,
    kPowerShotPlugIn = 4,
    kEosPlugIn = 5,
};

// Beside the program under these names; looked for when the board starts.
constexpr const char* kPlugInFileNames[FGBoard::kPlugInSlots] = {"libpavick.so", "libostrel.so"};
constexpr const char* kPlugInSourceNames[FGBoard::kPlugInSlots] = {"PowerShot Camera", "EOS Camera"};

bool IsPlugInIndex(int index)
{
    return index >= FGBoard::kFirstPlugInSource && index < FGBoard::kFirstPlugInSource + FGBoard::kPlugInSlots;
}

// Recordings: JPEG quality, and the rate of a source that cannot tell.
constexpr int kRecordingQuality = 90;
constexpr double kDefaultRecordingRate = 25.0;

// A still grab waits this long for a reader to give the buffer back.
constexpr DWORD kStillGrabWaitMs = 5000;
// The live thread looks at its stop flag at least this often while it waits.
constexpr DWORD kLiveWaitSliceMs = 20;
constexpr int kMaxInputChannel = 3;
constexpr int kMaxSimulatedSide = 8192;
constexpr double kMaxFrameRate = 1000.0;
// Frames over which the live frame rate is measured.
constexpr size_t kRateWindow = 25;

// The board whose live thread this is, if any.
thread_local const FGBoard* t_liveBoard = nullptr;

// Each line of the other field replaced by the line of this field above it.
cv::Mat singleField(const cv::Mat& frame, int field)
{
    cv::Mat out(frame.size(), frame.type());
    for (int y = 0; y < frame.rows; ++y) {
        const int source = std::min(frame.rows - 1, (y & ~1) + field);
        frame.row(source).copyTo(out.row(y));
    }
    return out;
}

} // namespace

struct FGBoard::CLiveRun
{
    std::thread thread;
    CEvent ended{FALSE, TRUE};
    std::atomic<bool> stop = false;
    kestrun::IClock* clock = nullptr;
    // A run of pushed frames has no thread: it ends when stopped and no
    // frame of it is being handled (both under the board's m_mutex).
    bool pushed = false;
    int framesInFlight = 0;
    std::deque<ULONGLONG> stamps; // under the board's m_mutex
};

struct FGBoard::CRecording
{
    CString file;
    double framesPerSecond = kDefaultRecordingRate;
    kestrun::CAviWriter writer; // opened with the first frame's size
};

FGBoard::FGBoard(kestrun::IClock* clock, const CString& deviceFolder, const CString& plugInFolder)
    : m_cameraNode(kestrun::CCaptureSource::FindCamera(deviceFolder)),
      m_msgGrabber(RegisterWindowMessage("MSG_GRABBER")),
      m_msgToApp(RegisterWindowMessage("MSG_GRABWELL_TO_APP")),
      m_clock(clock ? clock : &kestrun::DefaultClock()),
      m_folder(kestrun::DataFolder()),
      m_target(&m_ownPage)
{
    // The window registry must outlive the board, which posts until its
    // live thread has stopped.
    IsWindow(nullptr);
    const CString folder = plugInFolder.IsEmpty() ? kestrun::ModuleFolder() : kestrun::NativePath(plugInFolder);
    for (int slot = 0; slot < kPlugInSlots; ++slot) {
        const CString file = folder + "/" + kPlugInFileNames[slot];
        std::error_code error;
        if (std::filesystem::is_regular_file(file.str(), error))
            m_plugInFiles[static_cast<size_t>(slot)] = file;
    }
    std::lock_guard sourceLock(m_sourceMutex);
    m_source = CreateSource(kSimulatedCamera, m_settings);
    RefreshInfo();
}

FGBoard::~FGBoard()
{
    StopLive();
    ReapStoppedRuns();
    {
        // Late in the process: the file is kept without a word.
        std::lock_guard recordLock(m_recordMutex);
        bool written = false;
        FinishRecording(written);
    }
    // A plug-in source ends its camera session before its library goes.
    std::lock_guard sourceLock(m_sourceMutex);
    m_source.reset();
}

// ---- sources ---------------------------------------------------------------

CString FGBoard::GetVideoSourceNameAt(int index) const
{
    switch (index) {
    case kSimulatedCamera:
        return "Simulated Camera";
    case kImageFolder:
        return "Image Folder";
    case kVideoCamera:
        return m_cameraNode.IsEmpty() ? CString() : "Video Camera";
    case kVideoFile:
        return "Video File";
    case kPowerShotPlugIn:
    case kEosPlugIn: {
        const auto slot = static_cast<size_t>(index - kFirstPlugInSource);
        return m_plugInFiles[slot].IsEmpty() ? CString() : CString(kPlugInSourceNames[slot]);
    }
    default:
        return {};
    }
}

kestrun::CPlugInLibrary* FGBoard::PlugInLibrary(int index, CString& error) const
{
    if (!IsPlugInIndex(index))
        return nullptr;
    const auto slot = static_cast<size_t>(index - kFirstPlugInSource);
    std::lock_guard lock(m_plugInMutex);
    auto& library = m_plugIns[slot];
    if (library)
        return library.get();
    if (m_plugInFiles[slot].IsEmpty()) {
        error = FormatString("There is no video source %d.", index);
        return nullptr;
    }
    auto loaded = std::make_unique<kestrun::CPlugInLibrary>();
    // A file that cannot serve is tried again when the source is next chosen.
    if (!loaded->Load(m_plugInFiles[slot])) {
        error = loaded->GetLastError();
        return nullptr;
    }
    library = std::move(loaded);
    return library.get();
}

kestrun::CPlugInLibrary* FGBoard::CurrentPlugIn() const
{
    const int index = GetVideoSource();
    if (!IsPlugInIndex(index))
        return nullptr;
    std::lock_guard lock(m_plugInMutex);
    return m_plugIns[static_cast<size_t>(index - kFirstPlugInSource)].get();
}

kestrun::CPlugInHost FGBoard::PlugInHost() const
{
    kestrun::CPlugInHost host;
    std::lock_guard lock(m_mutex);
    host.window = m_hostWnd;
    host.reportToWindow = m_reportToWindow;
    host.sink = const_cast<CFrameSink*>(&m_frameSink);
    return host;
}

std::unique_ptr<kestrun::CVideoSource> FGBoard::CreateSource(int index, const kestrun::CBoardSettings& settings) const
{
    switch (index) {
    case kSimulatedCamera:
        return std::make_unique<kestrun::CSimulatedCamera>(settings);
    case kImageFolder: {
        CString folder;
        {
            std::lock_guard lock(m_mutex);
            folder = m_folder;
        }
        return std::make_unique<kestrun::CFolderPlayback>(settings, folder);
    }
    case kVideoCamera:
        return std::make_unique<kestrun::CCaptureSource>(kestrun::CCaptureSource::Kind::camera, m_cameraNode);
    case kVideoFile:
        return std::make_unique<kestrun::CCaptureSource>(kestrun::CCaptureSource::Kind::file,
                                                         kestrun::NativePath(settings.videoFile));
    case kPowerShotPlugIn:
    case kEosPlugIn: {
        CString error;
        kestrun::CPlugInLibrary* library = PlugInLibrary(index, error);
        return std::make_unique<kestrun::CPlugInSource>(library, error, [this] { return PlugInHost(); });
    }
    default:
        return nullptr;
    }
}

void FGBoard::RefreshInfo()
{
    CSourceInfo info;
    info.frameSize = m_source->GetFrameSize();
    info.frameRate = m_source->GetFrameRate();
    info.selfPaced = m_source->IsSelfPaced();
    info.playback = m_source->IsPlayback();
    info.paintsWindow = m_source->PaintsWindow();
    info.recordedFrames = m_source->GetRecordedFrames();
    info.boardType = m_source->GetBoardType();
    std::lock_guard lock(m_mutex);
    m_info = info;
}

bool FGBoard::EnsureOpen(CString& error)
{
    std::lock_guard sourceLock(m_sourceMutex);
    if (m_opened)
        return true;
    if (!m_source->Open()) {
        error = m_source->GetLastError();
        return false;
    }
    m_opened = true;
    RefreshInfo();
    return true;
}

void FGBoard::CloseSource()
{
    kestrun::CBoardSettings settings;
    {
        std::lock_guard lock(m_mutex);
        settings = m_settings;
    }
    std::lock_guard sourceLock(m_sourceMutex);
    m_source = CreateSource(settings.videoSource, settings);
    m_opened = false;
    RefreshInfo();
}

void FGBoard::ApplySettings()
{
    kestrun::CBoardSettings settings;
    {
        std::lock_guard lock(m_mutex);
        settings = m_settings;
    }
    std::lock_guard sourceLock(m_sourceMutex);
    m_source->Apply(settings);
    RefreshInfo();
}

bool FGBoard::ReadSourceFrame(cv::Mat& frame, CString& error)
{
    std::lock_guard sourceLock(m_sourceMutex);
    if (!m_source->ReadFrame(frame)) {
        error = m_source->GetLastError();
        return false;
    }
    RefreshInfo();
    return true;
}

BOOL FGBoard::SetVideoSource(int index)
{
    if (GetVideoSourceNameAt(index).IsEmpty()) {
        SetLastReport(FormatString("There is no video source %d.", index));
        return FALSE;
    }
    kestrun::CBoardSettings settings;
    {
        std::lock_guard lock(m_mutex);
        if (index == m_settings.videoSource)
            return TRUE;
        settings = m_settings;
    }
    settings.videoSource = index;

    const bool wasOpen = m_opened;
    const bool wasLive = IsLive();
    if (wasLive)
        StopLive();
    auto candidate = CreateSource(index, settings);
    if (!(wasOpen ? candidate->Open() : candidate->Probe())) {
        SetLastReport(candidate->GetLastError());
        if (wasLive)
            StartLive();
        return FALSE;
    }
    // A board that was not initialised only learns that the source works.
    if (!wasOpen)
        candidate = CreateSource(index, settings);
    HWND display = nullptr;
    {
        std::lock_guard sourceLock(m_sourceMutex);
        m_source = std::move(candidate);
        m_opened = wasOpen;
        {
            std::lock_guard lock(m_mutex);
            m_settings.videoSource = index;
            display = m_displayWnd;
        }
        RefreshInfo();
    }
    // A view follows the new source by grabbing (and going live again).
    if (display && wasOpen)
        Post(display, m_msgToApp, wasLive ? kestrun::fgevent::kFormatChangedLive : kestrun::fgevent::kFormatChanged);
    else if (wasLive)
        StartLive();
    return TRUE;
}

kestrun::CBoardSettings FGBoard::GetSettings() const
{
    std::lock_guard lock(m_mutex);
    return m_settings;
}

int FGBoard::GetVideoSource() const
{
    std::lock_guard lock(m_mutex);
    return m_settings.videoSource;
}

CString FGBoard::GetName() const { return GetVideoSourceNameAt(GetVideoSource()); }

BOOL FGBoard::SetInpChannel(BYTE channel)
{
    if (channel > kMaxInputChannel)
        return FALSE;
    bool changed = false;
    HWND owner = nullptr;
    {
        std::lock_guard sourceLock(m_sourceMutex);
        m_source->SetInputChannel(channel);
        std::lock_guard lock(m_mutex);
        changed = m_settings.inputChannel != channel;
        m_settings.inputChannel = channel;
        owner = m_ownerWnd;
    }
    if (changed && owner)
        Post(owner, m_msgToApp, kestrun::fgevent::kInputChanged, channel);
    return TRUE;
}

BYTE FGBoard::GetInpChannel() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<BYTE>(m_settings.inputChannel);
}

int FGBoard::GetBoardType() const
{
    std::lock_guard lock(m_mutex);
    return m_info.boardType;
}

BOOL FGBoard::IsPlayback() const
{
    std::lock_guard lock(m_mutex);
    return m_info.playback ? TRUE : FALSE;
}

BOOL FGBoard::PaintsWindow() const
{
    std::lock_guard lock(m_mutex);
    return m_info.paintsWindow ? TRUE : FALSE;
}

// ---- display -----------------------------------------------------------------

int FGBoard::ConnectDisplay(CDIB* page, HWND view, const CRect& displayRect, int /*reserved*/)
{
    if (!IsWindow(view))
        return 0;
    CString error;
    if (!EnsureOpen(error)) {
        Report(FormatString("The video source \"%s\" cannot be opened. %s", GetName().GetString(), error.GetString()));
        return 0;
    }
    {
        CSingleLock bufferLock(&m_buffer, TRUE);
        CDIB* target = page ? page : &m_ownPage;
        m_target = target;
        m_width = target->GetWidth();
        m_height = target->GetHeight();
        m_bitCount = target->GetBitCount();
    }
    std::lock_guard lock(m_mutex);
    m_displayWnd = view;
    m_displayRect = displayRect;
    return 1;
}

void FGBoard::DisconnectDisplay()
{
    StopLive();
    {
        CSingleLock bufferLock(&m_buffer, TRUE);
        CDIB* target = m_target;
        if (target != &m_ownPage) {
            m_ownPage = *target;
            m_target = &m_ownPage;
        }
    }
    {
        std::lock_guard lock(m_mutex);
        m_displayWnd = nullptr;
    }
    CloseSource();
    std::lock_guard lock(m_mutex);
    m_hostWnd = nullptr;
}

void FGBoard::SetDisplayRect(const CRect& rect)
{
    std::lock_guard lock(m_mutex);
    m_displayRect = rect;
}

CRect FGBoard::GetDisplayRect() const
{
    std::lock_guard lock(m_mutex);
    return m_displayRect;
}

void FGBoard::Stretch(BOOL shrinkToFit)
{
    std::lock_guard lock(m_mutex);
    m_stretch = shrinkToFit != FALSE;
}

BOOL FGBoard::IsStretched() const
{
    std::lock_guard lock(m_mutex);
    return m_stretch ? TRUE : FALSE;
}

BOOL FGBoard::IsDisplayRunning() const
{
    std::lock_guard lock(m_mutex);
    return m_displayWnd ? TRUE : FALSE;
}

HWND FGBoard::GetDisplayWnd() const
{
    std::lock_guard lock(m_mutex);
    return m_displayWnd;
}

void FGBoard::SetOwnerWnd(HWND owner)
{
    std::lock_guard lock(m_mutex);
    m_ownerWnd = owner;
}

HWND FGBoard::GetOwnerWnd() const
{
    std::lock_guard lock(m_mutex);
    return m_ownerWnd;
}

void FGBoard::SetHostWindow(CWnd* host)
{
    std::lock_guard lock(m_mutex);
    m_hostWnd = host;
}

BOOL FGBoard::IsPlugInSource() const { return CurrentPlugIn() != nullptr ? TRUE : FALSE; }

BOOL FGBoard::OpenDialog(CWnd* parent)
{
    kestrun::CPlugInLibrary* plugIn = CurrentPlugIn();
    if (plugIn == nullptr || plugIn->OpenDialog == nullptr)
        return FALSE;
    // No lock is held: the dialog runs its own message loop.
    plugIn->OpenDialog(parent);
    // The dialog may have changed the live-image size.
    std::lock_guard sourceLock(m_sourceMutex);
    RefreshInfo();
    return TRUE;
}

void FGBoard::EndOfStep()
{
    if (const HWND display = GetDisplayWnd())
        Post(display, m_msgGrabber, kestrun::fgevent::kPictureReady);
}

void FGBoard::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const
{
    // A window that went away misses the notice; nothing else to do.
    PostMessage(window, message, wParam, lParam);
}

// ---- the frame buffer ----------------------------------------------------------

COLORREF FGBoard::GetPixel(int x, int y) const { return m_target.load()->GetPixel(x, y); }

void FGBoard::SetPixel(int x, int y, COLORREF colour) { m_target.load()->SetPixel(x, y, colour); }

BOOL FGBoard::LockBuffer(DWORD waitMs) { return m_buffer.Lock(waitMs); }

BOOL FGBoard::UnlockBuffer() { return m_buffer.Unlock(); }

void FGBoard::SetField(int field)
{
    if (field != 0 && field != 1)
        return;
    std::lock_guard lock(m_mutex);
    m_nextField = field;
}

void FGBoard::SetGrabMode(int mode)
{
    std::lock_guard lock(m_mutex);
    m_grabMode = mode != 0 ? 1 : 0;
}

int FGBoard::GetGrabMode() const
{
    std::lock_guard lock(m_mutex);
    return m_grabMode;
}

bool FGBoard::Deliver(const cv::Mat& frame, const CLiveRun* run, bool& sizeChanged)
{
    int field = -1;
    bool twoChannel = false;
    int channel = 0;
    bool clearOverlay = false;
    {
        std::lock_guard lock(m_mutex);
        field = std::exchange(m_nextField, -1);
        twoChannel = m_grabMode == 1 && run == nullptr;
        channel = m_settings.inputChannel;
        clearOverlay = m_clearOverlayPerFrame;
    }
    const cv::Mat shown = field >= 0 ? singleField(frame, field) : frame;
    Record(shown);

    CSingleLock bufferLock(&m_buffer);
    ++m_bufferWaiters;
    if (run) {
        // The live thread must notice a stop even while a reader holds on.
        while (!bufferLock.Lock(kLiveWaitSliceMs) && !run->stop) {
        }
    } else {
        bufferLock.Lock(kStillGrabWaitMs);
    }
    --m_bufferWaiters;
    if (!bufferLock.IsLocked())
        return false;

    CDIB& page = *m_target.load();
    const int oldWidth = page.GetWidth();
    const int oldHeight = page.GetHeight();
    const int oldBits = page.GetBitCount();
    if (twoChannel) {
        const cv::Size whole(shown.cols * 2, shown.rows);
        cv::Mat current = page.GetMat();
        const bool fits = page.GetBpp() == 24 && current.size() == whole;
        cv::Mat combined = fits ? current : cv::Mat(whole, CV_8UC3, cv::Scalar::all(0));
        shown.copyTo(combined(cv::Rect((channel % 2) * shown.cols, 0, shown.cols, shown.rows)));
        if (!fits)
            page.AssignMat(combined);
    } else {
        page.AssignMat(shown);
    }
    m_width = page.GetWidth();
    m_height = page.GetHeight();
    m_bitCount = page.GetBitCount();
    sizeChanged = oldWidth != page.GetWidth() || oldHeight != page.GetHeight() || oldBits != page.GetBitCount();
    ++m_frameCount;
    if (clearOverlay)
        m_overlay.TryClear();
    return true;
}

// ---- acquisition ---------------------------------------------------------------

double FGBoard::GrabFrame(int mode)
{
    if (mode != 0)
        return StartLive() ? 1.0 : 0.0;
    StopLive();
    CString error;
    cv::Mat frame;
    if (!EnsureOpen(error) || !ReadSourceFrame(frame, error)) {
        Report(FormatString("No frame from \"%s\". %s", GetName().GetString(), error.GetString()));
        return 0.0;
    }
    bool sizeChanged = false;
    if (!Deliver(frame, nullptr, sizeChanged)) {
        Report("The frame buffer stayed locked; the frame was dropped.");
        return 0.0;
    }
    return 1.0;
}

BOOL FGBoard::StartLive()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_run && !m_run->stop)
            return TRUE;
    }
    // A run that ended by itself is collected first.
    StopLive();
    CString error;
    if (!EnsureOpen(error)) {
        Report(FormatString("The video source \"%s\" cannot be opened. %s", GetName().GetString(), error.GetString()));
        return FALSE;
    }
    auto run = std::make_unique<CLiveRun>();
    CLiveRun& started = *run;
    {
        std::lock_guard sourceLock(m_sourceMutex);
        run->pushed = m_source->PushesFrames();
    }
    {
        std::lock_guard lock(m_mutex);
        if (m_run) // another caller was quicker
            return TRUE;
        run->clock = m_clock;
        m_measuredRate = 0.0;
        m_run = std::move(run);
        if (!started.pushed) {
            started.thread = std::thread([this, &started] { LiveLoop(started); });
            return TRUE;
        }
    }
    // The run is in place before the source's first frame can come.
    bool pushing = false;
    {
        std::lock_guard sourceLock(m_sourceMutex);
        pushing = m_source->StartPushing();
        if (!pushing)
            error = m_source->GetLastError();
    }
    if (!pushing) {
        StopLive();
        Report(FormatString("Live video from \"%s\" cannot start. %s", GetName().GetString(), error.GetString()));
        return FALSE;
    }
    return TRUE;
}

void FGBoard::StopLive()
{
    std::unique_ptr<CLiveRun> run;
    {
        std::lock_guard lock(m_mutex);
        run = std::move(m_run);
        if (run) {
            run->stop = true;
            if (run->pushed && run->framesInFlight == 0)
                run->ended.SetEvent();
        }
    }
    if (run) {
        if (OnLiveThread()) {
            // Stopped from its own callback: it ends when the callback returns.
            std::lock_guard lock(m_mutex);
            m_stoppedRuns.push_back(std::move(run));
            return;
        }
        // Its callback may be sending to this thread's windows: deliver
        // while waiting.
        kestrun::WaitPumping(run->ended, INFINITE);
        if (run->thread.joinable())
            run->thread.join();
    }
    ReapStoppedRuns();
}

void FGBoard::ReapStoppedRuns()
{
    if (OnLiveThread())
        return;
    std::vector<std::unique_ptr<CLiveRun>> runs;
    {
        std::lock_guard lock(m_mutex);
        runs.swap(m_stoppedRuns);
    }
    for (const auto& run : runs) {
        kestrun::WaitPumping(run->ended, INFINITE);
        if (run->thread.joinable())
            run->thread.join();
    }
}

bool FGBoard::OnLiveThread() const { return t_liveBoard == this; }

BOOL FGBoard::IsLive() const
{
    std::lock_guard lock(m_mutex);
    return m_run && !m_run->stop ? TRUE : FALSE;
}

BOOL FGBoard::SetClock(kestrun::IClock* clock)
{
    std::lock_guard lock(m_mutex);
    if (m_run)
        return FALSE;
    m_clock = clock ? clock : &kestrun::DefaultClock();
    return TRUE;
}

void FGBoard::WaitUntil(const CLiveRun& run, kestrun::IClock& clock, double dueMs)
{
    for (;;) {
        const double now = static_cast<double>(clock.NowMs());
        if (run.stop || now >= dueMs)
            return;
        clock.SleepMs(static_cast<DWORD>(std::min<double>(std::ceil(dueMs - now), kLiveWaitSliceMs)));
    }
}

void FGBoard::LiveLoop(CLiveRun& run)
{
    t_liveBoard = this;
    kestrun::IClock& clock = *run.clock;
    double dueMs = static_cast<double>(clock.NowMs());
    cv::Mat frame;
    while (!run.stop) {
        bool selfPaced = false;
        double rate = 0.0;
        {
            std::lock_guard lock(m_mutex);
            selfPaced = m_info.selfPaced;
            rate = m_info.frameRate > 0.0 ? m_info.frameRate : m_settings.frameRate;
        }
        if (!selfPaced) {
            WaitUntil(run, clock, dueMs);
            if (run.stop)
                break;
            const double period = 1000.0 / std::clamp(rate, 0.001, kMaxFrameRate);
            const double now = static_cast<double>(clock.NowMs());
            // Behind by more than a frame: start the beat afresh.
            dueMs = now - dueMs > period ? now + period : dueMs + period;
        }

        CString error;
        bool sizeChanged = false;
        bool delivered = false;
        try {
            if (ReadSourceFrame(frame, error))
                delivered = Deliver(frame, &run, sizeChanged);
            else
                run.stop = true;
        } catch (const CException& e) {
            error = e.GetErrorMessage();
            run.stop = true;
        } catch (const std::exception& e) {
            error = e.what();
            run.stop = true;
        }
        if (run.stop && !error.IsEmpty())
            Report(FormatString("Live video from \"%s\" stopped. %s", GetName().GetString(), error.GetString()));
        if (delivered)
            FrameDelivered(run, sizeChanged);
    }
    t_liveBoard = nullptr;
    // The last touch of the board: StopLive may destroy it right after.
    run.ended.SetEvent();
}

void FGBoard::FrameDelivered(CLiveRun& run, bool sizeChanged)
{
    const ULONGLONG now = run.clock->NowMs();
    {
        std::lock_guard lock(m_mutex);
        run.stamps.push_back(now);
        if (run.stamps.size() > kRateWindow)
            run.stamps.pop_front();
        if (run.stamps.size() > 1 && run.stamps.back() > run.stamps.front())
            m_measuredRate = static_cast<double>(run.stamps.size() - 1) * 1000.0 /
                             static_cast<double>(run.stamps.back() - run.stamps.front());
    }

    InvokeCallBack();
    if (const HWND display = GetDisplayWnd()) {
        // A view follows a new size of the board's own frames with a still
        // grab; for a plug-in that grab would be a camera picture.
        if (sizeChanged)
            Post(display, m_msgToApp,
                 run.pushed ? kestrun::fgevent::kUpdateViews : kestrun::fgevent::kFormatChangedLive);
        Post(display, m_msgGrabber, kestrun::fgevent::kPictureReady);
    }
}

void FGBoard::OnPushedFrame(const cv::Mat& frame)
{
    CLiveRun* run = nullptr;
    {
        std::lock_guard lock(m_mutex);
        // Frames that come while live video is stopped are not wanted.
        if (!m_run || m_run->stop || !m_run->pushed)
            return;
        run = m_run.get();
        ++run->framesInFlight;
    }
    const FGBoard* previous = std::exchange(t_liveBoard, this);
    try {
        bool sizeChanged = false;
        if (!frame.empty() && Deliver(frame, run, sizeChanged))
            FrameDelivered(*run, sizeChanged);
    } catch (const CException& e) {
        SetLastReport(CString("A live frame was dropped. ") + e.GetErrorMessage());
    } catch (const std::exception& e) {
        SetLastReport(CString("A live frame was dropped. ") + e.what());
    }
    t_liveBoard = previous;
    // The last touch of the run: StopLive may destroy it right after.
    std::lock_guard lock(m_mutex);
    if (--run->framesInFlight == 0 && run->stop)
        run->ended.SetEvent();
}

// ---- recording ------------------------------------------------------------------

BOOL FGBoard::RecordSequence(const CString& file)
{
    CString refusal;
    {
        std::lock_guard recordLock(m_recordMutex);
        const std::filesystem::path target(file.GetString());
        std::error_code error;
        if (m_recording)
            refusal = "A sequence is being recorded already.";
        else if (file.IsEmpty() || !std::filesystem::is_directory(target.parent_path(), error))
            refusal = FormatString("The sequence cannot be recorded to %s: its folder does not exist.", file.GetString());
        else {
            auto recording = std::make_unique<CRecording>();
            recording->file = file;
            const double rate = GetParameterDouble(kestrun::fgparam::kFrameRate);
            if (rate > 0.0 && rate <= kMaxFrameRate)
                recording->framesPerSecond = rate;
            m_recording = std::move(recording);
        }
    }
    if (!refusal.IsEmpty()) {
        Report(refusal);
        return FALSE;
    }
    return TRUE;
}

void FGBoard::Record(const cv::Mat& frame)
{
    CString report;
    {
        std::lock_guard recordLock(m_recordMutex);
        if (!m_recording)
            return;
        kestrun::CAviWriter& writer = m_recording->writer;
        if (!writer.IsOpen() &&
            !writer.Open(m_recording->file, frame.size(), m_recording->framesPerSecond, kRecordingQuality)) {
            report = FormatString("The sequence cannot be recorded to %s.", m_recording->file.GetString());
            m_recording.reset();
        } else if (!writer.Write(frame)) {
            bool written = false;
            report = FormatString("The frame size changed: the recording %s ends after %d frames.",
                                  m_recording->file.GetString(), writer.GetFrameCount());
            const CString failure = FinishRecording(written);
            if (!failure.IsEmpty())
                report = failure;
        }
    }
    if (!report.IsEmpty())
        Report(report);
}

CString FGBoard::FinishRecording(bool& written)
{
    std::unique_ptr<CRecording> recording = std::move(m_recording);
    written = false;
    if (!recording || !recording->writer.IsOpen() || recording->writer.GetFrameCount() == 0)
        return recording ? CString("No frame came while recording; no sequence was written.") : CString();
    written = recording->writer.Commit();
    return written ? CString() : FormatString("The sequence %s cannot be written.", recording->file.GetString());
}

BOOL FGBoard::StopRecording()
{
    bool written = false;
    CString report;
    {
        std::lock_guard recordLock(m_recordMutex);
        if (!m_recording)
            return FALSE;
        report = FinishRecording(written);
    }
    if (!report.IsEmpty())
        Report(report);
    return written ? TRUE : FALSE;
}

BOOL FGBoard::IsRecording() const
{
    std::lock_guard recordLock(m_recordMutex);
    return m_recording ? TRUE : FALSE;
}

int FGBoard::GetRecordingFrames() const
{
    std::lock_guard recordLock(m_recordMutex);
    return m_recording ? m_recording->writer.GetFrameCount() : 0;
}

// ---- the frame callback -------------------------------------------------------

void FGBoard::SetCallBack(FGCallBack callBack, void* context)
{
    {
        std::lock_guard lock(m_callBackMutex);
        m_callBack = callBack;
        m_callBackContext = callBack ? context : nullptr;
    }
    if (!OnLiveThread())
        kestrun::WaitPumping(m_callBacksIdle, INFINITE);
}

void FGBoard::InvokeCallBack()
{
    FGCallBack callBack = nullptr;
    void* context = nullptr;
    {
        std::lock_guard lock(m_callBackMutex);
        callBack = m_callBack;
        context = m_callBackContext;
        if (!callBack)
            return;
        if (m_callBacksRunning++ == 0)
            m_callBacksIdle.ResetEvent();
    }
    try {
        callBack(context);
    } catch (...) {
        // A callback's failure must not end live video.
    }
    std::lock_guard lock(m_callBackMutex);
    if (--m_callBacksRunning == 0)
        m_callBacksIdle.SetEvent();
}

// ---- overlay --------------------------------------------------------------------

void FGBoard::ClearOverlay() { m_overlay.Clear(); }

CDC* FGBoard::GetDC() { return m_overlay.Begin(CSize(GetWidth(), GetHeight())); }

void FGBoard::ReleaseDC(CDC* dc) { m_overlay.End(dc); }

void FGBoard::PaintOverlay(CDC& target) { m_overlay.Paint(target); }

// ---- parameters -----------------------------------------------------------------

int FGBoard::GetParameter(int id) const
{
    namespace p = kestrun::fgparam;
    std::lock_guard lock(m_mutex);
    const CSize size = m_info.frameSize.cx > 0 ? m_info.frameSize : CSize(m_width.load(), m_height.load());
    switch (id) {
    case p::kLiveWidth:
        return static_cast<int>(size.cx);
    case p::kLiveHeight:
        return static_cast<int>(size.cy);
    case p::kClearOverlay:
        return m_clearOverlayPerFrame ? 1 : 0;
    case p::kReportToWindow:
        return m_reportToWindow ? 1 : 0;
    case p::kRecordedFrames:
        return m_info.recordedFrames;
    case p::kSimulatedType:
        return m_settings.simulatedBoardType;
    case p::kSimulatedSeed:
        return m_settings.simulatedSeed;
    case p::kSimulatedScene:
        return m_settings.simulatedScene;
    case p::kNotAcquiring:
        return m_run && !m_run->stop ? 0 : 1;
    default:
        return 0;
    }
}

BOOL FGBoard::SetParameter(int id, int value)
{
    namespace p = kestrun::fgparam;
    {
        std::lock_guard lock(m_mutex);
        switch (id) {
        case p::kClearOverlay:
            m_clearOverlayPerFrame = value != 0;
            return TRUE;
        case p::kReportToWindow:
            m_reportToWindow = value != 0;
            break;
        case p::kLiveWidth:
        case p::kLiveHeight:
            if (value < 1 || value > kMaxSimulatedSide)
                return FALSE;
            (id == p::kLiveWidth ? m_settings.simulatedWidth : m_settings.simulatedHeight) = value;
            break;
        case p::kSimulatedType:
            if (value != 1 && value != 2)
                return FALSE;
            m_settings.simulatedBoardType = value;
            break;
        case p::kSimulatedSeed:
            m_settings.simulatedSeed = value;
            break;
        case p::kSimulatedScene:
            if (value != 0 && value != 1)
                return FALSE;
            m_settings.simulatedScene = value;
            break;
        default:
            return FALSE;
        }
    }
    if (id == p::kReportToWindow) {
        if (kestrun::CPlugInLibrary* plugIn = CurrentPlugIn())
            plugIn->SetParameter(kestrun::camplugin::kParamReportToWindow, value != 0 ? 1.0 : 0.0);
        return TRUE;
    }
    ApplySettings();
    return TRUE;
}

double FGBoard::GetParameterDouble(int id) const
{
    if (id != kestrun::fgparam::kFrameRate)
        return GetParameter(id);
    std::lock_guard lock(m_mutex);
    if (m_run && !m_run->stop && m_measuredRate > 0.0)
        return m_measuredRate;
    if (m_info.frameRate > 0.0)
        return m_info.frameRate;
    // Sources the board paces run at the nominal rate.
    return m_info.selfPaced ? 0.0 : m_settings.frameRate;
}

BOOL FGBoard::SetParameterDouble(int id, double value)
{
    if (id != kestrun::fgparam::kFrameRate)
        return std::isfinite(value) ? SetParameter(id, static_cast<int>(value)) : FALSE;
    if (!(value > 0.0 && value <= kMaxFrameRate))
        return FALSE;
    {
        std::lock_guard lock(m_mutex);
        m_settings.frameRate = value;
    }
    ApplySettings();
    return TRUE;
}

BOOL FGBoard::IsFrameRateAvailable() const
{
    return GetParameterDouble(kestrun::fgparam::kFrameRate) > 0.0 ? TRUE : FALSE;
}

CString FGBoard::GetParameterString(int id) const
{
    namespace p = kestrun::fgparam;
    std::lock_guard lock(m_mutex);
    switch (id) {
    case p::kProfile:
        return m_profileName;
    case p::kFolder:
        return m_folder;
    case p::kPlaybackFolder:
        return m_settings.playbackFolder;
    case p::kVideoFile:
        return m_settings.videoFile;
    default:
        return {};
    }
}

BOOL FGBoard::SetParameterString(int id, const CString& value)
{
    namespace p = kestrun::fgparam;
    switch (id) {
    case p::kProfile: {
        const BOOL selected = SelectProfile(value);
        // After the board's own profile, which may have changed the source.
        ForwardToPlugIn(kestrun::camplugin::kParamProfileName, value);
        return selected;
    }
    case p::kSaveProfile: {
        CString folder;
        kestrun::CBoardSettings settings;
        {
            std::lock_guard lock(m_mutex);
            folder = m_folder;
            settings = m_settings;
        }
        ForwardToPlugIn(kestrun::camplugin::kParamSaveProfile, value);
        if (!kestrun::CBoardProfiles(folder).Save(value, settings))
            return FALSE;
        std::lock_guard lock(m_mutex);
        m_profileName = value;
        return TRUE;
    }
    case p::kFolder: {
        if (value.IsEmpty())
            return FALSE;
        std::lock_guard lock(m_mutex);
        m_folder = kestrun::NativePath(value);
        return TRUE;
    }
    case p::kPlaybackFolder: {
        {
            std::lock_guard lock(m_mutex);
            m_settings.playbackFolder = kestrun::NativePath(value);
        }
        ApplySettings();
        return TRUE;
    }
    case p::kVideoFile: {
        std::lock_guard lock(m_mutex);
        m_settings.videoFile = kestrun::NativePath(value);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

void FGBoard::ForwardToPlugIn(int id, const CString& value)
{
    kestrun::CPlugInLibrary* plugIn = CurrentPlugIn();
    // A plug-in that is not initialised has not read its profile file yet:
    // storing into it would write a file without the stored profiles.
    if (plugIn == nullptr || plugIn->SetParameterString == nullptr || !m_opened)
        return;
    plugIn->SetParameterString(id, value);
}

BOOL FGBoard::SelectProfile(const CString& name)
{
    CString folder;
    kestrun::CBoardSettings loaded;
    {
        std::lock_guard lock(m_mutex);
        folder = m_folder;
        loaded = m_settings;
    }
    if (!kestrun::CBoardProfiles(folder).Load(name, loaded))
        return FALSE;
    // Values a hand-edited file may have spoilt fall back to the defaults.
    const kestrun::CBoardSettings defaults;
    if (loaded.simulatedWidth < 1 || loaded.simulatedWidth > kMaxSimulatedSide || loaded.simulatedHeight < 1 ||
        loaded.simulatedHeight > kMaxSimulatedSide) {
        loaded.simulatedWidth = defaults.simulatedWidth;
        loaded.simulatedHeight = defaults.simulatedHeight;
    }
    if (loaded.simulatedBoardType != 1 && loaded.simulatedBoardType != 2)
        loaded.simulatedBoardType = defaults.simulatedBoardType;
    if (loaded.simulatedScene != 0 && loaded.simulatedScene != 1)
        loaded.simulatedScene = defaults.simulatedScene;
    if (!(loaded.frameRate > 0.0 && loaded.frameRate <= kMaxFrameRate))
        loaded.frameRate = defaults.frameRate;
    {
        // Source and channel change through their own operations below.
        std::lock_guard lock(m_mutex);
        const int source = m_settings.videoSource;
        const int channel = m_settings.inputChannel;
        m_settings = loaded;
        m_settings.videoSource = source;
        m_settings.inputChannel = channel;
        m_profileName = name;
    }
    ApplySettings();
    if (loaded.inputChannel >= 0 && loaded.inputChannel <= kMaxInputChannel)
        SetInpChannel(static_cast<BYTE>(loaded.inputChannel));
    // With the profile's folders in place; a source that is not there now
    // keeps the current one.
    SetVideoSource(loaded.videoSource);
    return TRUE;
}

// ---- reports ---------------------------------------------------------------------

void FGBoard::SetLastReport(const CString& text)
{
    std::lock_guard lock(m_mutex);
    m_lastReport = text;
}

CString FGBoard::GetLastReport() const
{
    std::lock_guard lock(m_mutex);
    return m_lastReport;
}

void FGBoard::Report(const CString& text)
{
    const char* kept = nullptr;
    HWND owner = nullptr;
    bool toWindow = false;
    {
        std::lock_guard lock(m_mutex);
        m_lastReport = text;
        kept = m_reportTexts.insert(text.str()).first->c_str();
        owner = m_ownerWnd;
        // The board's thread shows no boxes: it must not wait on a user.
        toWindow = m_reportToWindow || OnLiveThread();
    }
    if (!toWindow) {
        AfxMessageBox(text, MB_ICONEXCLAMATION);
        return;
    }
    if (owner)
        Post(owner, m_msgToApp, kestrun::fgevent::kStatusText, reinterpret_cast<LPARAM>(kept));
}

// ---- the export ------------------------------------------------------------------

extern "C" FGBoard* GetFG()
{
    try {
        static FGBoard board;
        return &board;
    } catch (...) {
        return nullptr;
    }
}
