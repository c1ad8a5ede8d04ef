#pragma once
// FGBoard: the frame-grabber board. One board per process (GetFG); it takes
// frames from one of its video sources into a page, either one still frame
// at a time on the caller's thread or continuously on a thread of its own.
//
// The frame buffer: the page the board writes into is the page a view
// connected (ConnectDisplay), else the board's own. It is written only
// under the buffer lock, and callers read or paint it only between a
// successful LockBuffer and UnlockBuffer.
//
// Live frames: after each one the board calls the frame callback on its own
// thread (the callback must not touch windows: it posts to them) and posts
// "MSG_GRABBER" (23, picture ready) to the display window, which repaints
// from the page. Registered messages of the board:
//   to the display window: "MSG_GRABBER" 23 per live frame;
//     "MSG_GRABWELL_TO_APP" 5 when the frame size changed while live or the
//     source changed while live, 6 when the source changed while stopped;
//   to the owner window: "MSG_GRABWELL_TO_APP" 21 when the input channel
//     changed (lParam the channel), 1 with a status text (lParam its
//     address; the text stays valid for the life of the board).
//
// Video sources by index: 0 the simulated camera, 1 the images of a folder,
// 2 the first V4L2 camera (only when one is connected), 3 a video file,
// 4 the PowerShot plug-in (libpavick.so) and 5 the EOS plug-in
// (libostrel.so), each only when its file lies in the plug-in folder.
//
// Camera plug-ins: a plug-in is loaded when its source is first chosen and
// stays loaded with the board. Opening the source initialises it with the
// host window (SetHostWindow) and the board's frame sink; its live frames
// arrive on the camera's thread and are copied into the display page under
// the buffer lock, then "MSG_GRABBER" 23 is posted to the display window as
// for the board's own frames (a new live size posts "MSG_GRABWELL_TO_APP"
// 20: the views follow it without a still grab, which would be a camera
// picture). A still grab is the plug-in's snapshot. The plug-in's own
// messages (24, 25, ...) go to the host window.

#include "outside/grabwell/boardoverlay.h"
#include "outside/grabwell/pluginlibrary.h"
#include "outside/grabwell/videosource.h"

#include "outside/pixmere/device.h"
#include "outside/pixmere/dib.h"

#include "platform/core/clock.h"
#include "platform/core/cstring.h"
#include "platform/core/geometry.h"
#include "platform/core/sync.h"

#include <array>
#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace kestrun {
struct CPlugInHost;
}

// The frame callback: called for every live frame with the context given
// to SetCallBack; the result is not used.
using FGCallBack = int (*)(void* context);

namespace kestrun {

// Parameter ids of GetParameter / SetParameter and their typed relatives.
namespace fgparam {
inline constexpr int kLiveWidth = 115;        // int; set: the simulated camera's width
inline constexpr int kLiveHeight = 116;       // int; set: the simulated camera's height
inline constexpr int kClearOverlay = 118;     // int 0/1: each new frame clears the overlay (1 at start)
inline constexpr int kFrameRate = 120;        // double: frames per second; set: the nominal rate
inline constexpr int kProfile = 150;          // string: the current profile; set: select one
inline constexpr int kSaveProfile = 151;      // string, set only: store the settings under a name
inline constexpr int kReportToWindow = 152;   // int 0/1: reports go to the owner window, not message boxes
inline constexpr int kFolder = 153;           // string: the folder of the board's files
inline constexpr int kPlaybackFolder = 154;   // string: the folder of source 1 (empty: the board's folder)
inline constexpr int kVideoFile = 155;        // string: the file of source 3, used when it is next opened
inline constexpr int kRecordedFrames = 200;   // int: frames of the recording played back, else 0
inline constexpr int kSimulatedType = 210;    // int 1/2: board type of the simulated camera
inline constexpr int kSimulatedSeed = 211;    // int: the simulated camera's scene
inline constexpr int kSimulatedScene = 212;   // int: 0 drifting discs, 1 a chessboard in a new pose per frame
inline constexpr int kNotAcquiring = 216;     // int: 1 while no continuous acquisition runs
} // namespace fgparam

// wParam values of the board's registered messages.
namespace fgevent {
inline constexpr WPARAM kStatusText = 1;
inline constexpr WPARAM kFormatChangedLive = 5;
inline constexpr WPARAM kFormatChanged = 6;
inline constexpr WPARAM kUpdateViews = 20;
inline constexpr WPARAM kInputChanged = 21;
inline constexpr WPARAM kPictureReady = 23;
} // namespace fgevent

} // namespace kestrun

class FGBoard : public Device
{
public:
    static constexpr int kSourceSlots = 6;

    static constexpr int kFirstPlugInSource = 4;
    static constexpr int kPlugInSlots = 2;

    // clock paces live frames (null: the machine's clock); deviceFolder is
    // where V4L2 device nodes are looked for; plugInFolder where camera
    // plug-ins are (empty: beside the program).
    explicit FGBoard(kestrun::IClock* clock = nullptr, const CString& deviceFolder = "/dev",
                     const CString& plugInFolder = CString());
    ~FGBoard() override;
    FGBoard(const FGBoard&) = delete;
    FGBoard& operator=(const FGBoard&) = delete;

    // Device: the frame in the buffer (size 0 before the first frame).
    int GetWidth() const override { return m_width.load(); }
    int GetHeight() const override { return m_height.load(); }
    int GetBitCount() const override { return m_bitCount.load(); }
    // The page frames go to; owned by whoever connected it, else the board.
    CDIB* GetDIB() override { return m_target.load(); }
    COLORREF GetPalEntry(int /*index*/) const override { return 0; }
    COLORREF GetPixel(int x, int y) const override;
    void SetPixel(int x, int y, COLORREF colour) override;

    // (null, null) removes the callback. Returns once no call of the old
    // callback runs any more (handling this thread's messages meanwhile),
    // so its context may go away afterwards.
    void SetCallBack(FGCallBack callBack, void* context);
    // 0 or 1: the next frame carries only that video field (each of its
    // lines twice); then frames are whole again.
    void SetField(int field);
    void ClearOverlay();
    // The current source is open.
    BOOL IsInit() const { return m_opened.load() ? TRUE : FALSE; }
    // Frames go into page (null: the board's own page) and live frames are
    // announced to the view window. Opens the current source; 0 when the
    // window is not a window or the source cannot be opened (reported).
    // The page must outlive the connection.
    int ConnectDisplay(CDIB* page, HWND view, const CRect& displayRect, int reserved = 0);
    // Stops acquisition, keeps the last frame in the board's own page and
    // closes the source.
    void DisconnectDisplay();
    void SetDisplayRect(const CRect& rect);
    // A measurement step is over: the display repaints with its overlay.
    void EndOfStep();
    // Non-zero when accepted. A source that is not there or cannot be
    // opened is refused and everything stays as it was; the reason is
    // kept (GetLastReport) and not shown.
    BOOL SetVideoSource(int index);
    // Frames delivered so far; a change means a new frame.
    int GetFrameCount() const { return m_frameCount.load(); }
    // 1: the next still grabs form a two-channel picture, input channel 0
    // into the left half and channel 1 into the right half of a page twice
    // as wide; 0: single frames.
    void SetGrabMode(int mode);
    // Starts continuous acquisition (as GrabFrame 1).
    BOOL StartLive();
    // 0: ends continuous acquisition and takes one still frame; non-zero:
    // starts continuous acquisition. 1.0 on success, 0.0 on failure
    // (reported).
    double GrabFrame(int mode);
    // Channels 0 to 3; FALSE, and no change, for others.
    BOOL SetInpChannel(BYTE channel);
    BYTE GetInpChannel() const;
    // Integer parameters (kestrun::fgparam); 0 for unknown ids. SetParameter
    // answers FALSE for unknown ids and values out of range.
    int GetParameter(int id) const;
    BOOL SetParameter(int id, int value);
    // TRUE when the buffer was locked within waitMs. The lock is recursive.
    BOOL LockBuffer(DWORD waitMs);
    BOOL UnlockBuffer();
    // The view's shrink-to-fit flag.
    void Stretch(BOOL shrinkToFit);
    // The window that receives the board's registered messages.
    void SetOwnerWnd(HWND owner);
    // The window camera plug-ins are given when their source opens (the
    // view that shows the frames); DisconnectDisplay forgets it. It must
    // stay until then.
    void SetHostWindow(CWnd* host);
    // The current source is a camera plug-in.
    BOOL IsPlugInSource() const;
    // Shows the current plug-in's options dialog over parent (may be null)
    // and returns when it closes; FALSE when the current source has none.
    BOOL OpenDialog(CWnd* parent);
    double GetParameterDouble(int id) const;
    BOOL SetParameterDouble(int id, double value);
    // Recording: from now on every frame the board takes from its source
    // (live or still) also goes into the AVI file, Motion-JPEG at the
    // source's frame rate, until StopRecording. The file is written beside
    // the target and put in place when the recording stops; a frame of
    // another size ends the recording (reported). FALSE, reported, while a
    // recording runs or when the file's folder does not exist.
    BOOL RecordSequence(const CString& file);
    // TRUE when the file now holds the recorded frames; FALSE, and no
    // file, when no frame came or the file could not be written.
    BOOL StopRecording();
    BOOL IsRecording() const;
    // Frames in the running recording.
    int GetRecordingFrames() const;

    // The overlay's device context in page pixels, held until ReleaseDC.
    CDC* GetDC();
    void ReleaseDC(CDC* dc);

    // What the board remembers of its sources (the options dialog's values).
    kestrun::CBoardSettings GetSettings() const;

    // Empty for an index without a source.
    CString GetVideoSourceNameAt(int index) const;
    BOOL IsPlayback() const;
    BOOL IsFrameRateAvailable() const;
    // The name of the current source.
    CString GetName() const;

    // Texts carried by parameter number (kestrun::fgparam): names and
    // folders. Empty for unknown ids; SetParameterString answers FALSE for
    // unknown ids, unknown profiles and files that cannot be written.
    // Profile names (150, 151) also go to a camera plug-in that is the
    // current, initialised source: it selects or stores its own camera
    // profile of that name. The answer is the board's.
    CString GetParameterString(int id) const;
    BOOL SetParameterString(int id, const CString& value);

    // The words callers read.
    // 0 a source that starts with a still grab, 1 a live camera, 2 a board
    // with two input channels.
    int GetBoardType() const;
    // Continuous acquisition runs (the live-running word and the mode word).
    BOOL IsLive() const;
    BOOL IsContinuous() const { return IsLive(); }
    // 0 while grabbing continuously, 1 in snapshot mode.
    int GetGrabModeWord() const { return IsLive() ? 0 : 1; }
    // A display is connected.
    BOOL IsDisplayRunning() const;
    // The source paints the display window itself; the view then does not.
    BOOL PaintsWindow() const;
    int GetVideoSource() const;
    int GetGrabMode() const;
    CRect GetDisplayRect() const;
    BOOL IsStretched() const;
    HWND GetDisplayWnd() const;
    HWND GetOwnerWnd() const;

    // Ends continuous acquisition without grabbing.
    void StopLive();
    // A new clock for live pacing; refused while live.
    BOOL SetClock(kestrun::IClock* clock);
    // Paints the overlay into a view's context (see CBoardOverlay::Paint).
    void PaintOverlay(CDC& target);
    // The text of the last failure or report.
    CString GetLastReport() const;
    // Threads waiting for the buffer lock to deliver a frame.
    int GetBufferWaiters() const { return m_bufferWaiters.load(); }

private:
    struct CLiveRun;
    struct CRecording;
    // Where a plug-in's live frames come in.
    class CFrameSink final : public kestrun::camplugin::CPluginFrameSink
    {
    public:
        explicit CFrameSink(FGBoard& board) : m_board(board) {}
        void OnLiveFrame(const cv::Mat& frame) override { m_board.OnPushedFrame(frame); }

    private:
        FGBoard& m_board;
    };
    // What callers ask of the current source without waiting for it.
    struct CSourceInfo
    {
        CSize frameSize;
        double frameRate = 0.0;
        bool selfPaced = false;
        bool playback = false;
        bool paintsWindow = false;
        int recordedFrames = 0;
        int boardType = 1;
    };

    std::unique_ptr<kestrun::CVideoSource> CreateSource(int index, const kestrun::CBoardSettings& settings) const;
    // Callers hold m_sourceMutex.
    void RefreshInfo();
    bool EnsureOpen(CString& error);
    void CloseSource();
    void ApplySettings();
    bool ReadSourceFrame(cv::Mat& frame, CString& error);
    // Writes a frame into the buffer; false when the lock could not be had.
    bool Deliver(const cv::Mat& frame, const CLiveRun* run, bool& sizeChanged);
    void LiveLoop(CLiveRun& run);
    void WaitUntil(const CLiveRun& run, kestrun::IClock& clock, double dueMs);
    // After a frame is in the buffer: rate, callback, notices.
    void FrameDelivered(CLiveRun& run, bool sizeChanged);
    // A plug-in's live frame, on the camera's thread.
    void OnPushedFrame(const cv::Mat& frame);
    // A frame of the source into the running recording.
    void Record(const cv::Mat& frame);
    // Ends the recording under way (the caller holds m_recordMutex): the
    // file is put in place when it has frames. The text to report, if any.
    CString FinishRecording(bool& written);
    // The plug-in of a source index, loaded on first use; null (with the
    // reason) when its file is missing or cannot serve.
    kestrun::CPlugInLibrary* PlugInLibrary(int index, CString& error) const;
    // The plug-in of the current source, if that is one and is loaded.
    kestrun::CPlugInLibrary* CurrentPlugIn() const;
    // Passes a profile name to the current plug-in while it is initialised.
    void ForwardToPlugIn(int id, const CString& value);
    kestrun::CPlugInHost PlugInHost() const;
    void InvokeCallBack();
    void ReapStoppedRuns();
    bool OnLiveThread() const;
    BOOL SelectProfile(const CString& name);
    void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam = 0) const;
    // Shows a text as the report flag says: in a message box, or as status
    // text to the owner window (always from the board's thread).
    void Report(const CString& text);
    void SetLastReport(const CString& text);

    const CString m_cameraNode;
    const UINT m_msgGrabber;
    const UINT m_msgToApp;

    // Settings, display, reports. Never held while waiting or calling out;
    // taken after m_sourceMutex when both are needed.
    mutable std::mutex m_mutex;
    kestrun::CBoardSettings m_settings;
    CSourceInfo m_info;
    kestrun::IClock* m_clock;
    CString m_folder;
    CString m_profileName;
    CString m_lastReport;
    std::set<std::string> m_reportTexts; // stable addresses for posted texts
    HWND m_displayWnd = nullptr;
    HWND m_ownerWnd = nullptr;
    CWnd* m_hostWnd = nullptr;
    CRect m_displayRect;
    bool m_stretch = false;
    bool m_reportToWindow = false;
    bool m_clearOverlayPerFrame = true;
    int m_nextField = -1;
    int m_grabMode = 0;
    std::unique_ptr<CLiveRun> m_run;
    std::vector<std::unique_ptr<CLiveRun>> m_stoppedRuns; // stopped from their own thread

    // The current source, opened or not; one reader at a time.
    std::mutex m_sourceMutex;
    std::unique_ptr<kestrun::CVideoSource> m_source;
    std::atomic<bool> m_opened = false;

    // The frame buffer.
    CCriticalSection m_buffer;
    CDIB m_ownPage;
    std::atomic<CDIB*> m_target;
    std::atomic<int> m_width = 0;
    std::atomic<int> m_height = 0;
    std::atomic<int> m_bitCount = 0;
    std::atomic<int> m_frameCount = 0;
    std::atomic<int> m_bufferWaiters = 0;
    std::atomic<double> m_measuredRate = 0.0;

    // The recording; frames are written on the thread that delivers them.
    mutable std::mutex m_recordMutex;
    std::unique_ptr<CRecording> m_recording;

    std::mutex m_callBackMutex;
    FGCallBack m_callBack = nullptr;
    void* m_callBackContext = nullptr;
    int m_callBacksRunning = 0;
    CEvent m_callBacksIdle{TRUE, TRUE};

    kestrun::CBoardOverlay m_overlay;

    // The plug-ins' files (empty: absent) and, once loaded, the libraries,
    // which stay until the board goes.
    std::array<CString, kPlugInSlots> m_plugInFiles;
    mutable std::mutex m_plugInMutex;
    mutable std::array<std::unique_ptr<kestrun::CPlugInLibrary>, kPlugInSlots> m_plugIns;
    CFrameSink m_frameSink{*this};
};

// The process's one board; null only when it cannot be made. Callers never
// free it. Exported for the libraries that look it up by name.
extern "C" FGBoard* GetFG();
