#pragma once
// The sources a frame-grabber board takes its frames from. The board picks
// one by its video source index, opens it, and reads frames from it on its
// own thread (live) or on the caller's (still grabs); it never reads one
// source from two threads at once.
//
// A camera plug-in is a source that pushes its live frames: the board
// starts them with StartPushing and takes them through its frame sink on
// the camera's thread; ReadFrame is the plug-in's snapshot.

#include "platform/core/cstring.h"
#include "platform/core/geometry.h"

#include <opencv2/core/mat.hpp>

namespace kestrun {

// What a board remembers of its sources; also what a board profile stores.
struct CBoardSettings
{
    int videoSource = 0;
    int inputChannel = 0;
    double frameRate = 25.0; // nominal, for sources that do not pace themselves
    int simulatedWidth = 640;
    int simulatedHeight = 480;
    int simulatedSeed = 1;
    int simulatedBoardType = 1; // 1 a live camera, 2 a board with two inputs
    int simulatedScene = 0;     // 0 drifting discs, 1 a chessboard through a lens
    CString playbackFolder;     // empty: the board's folder
    CString videoFile;

    bool operator==(const CBoardSettings&) const = default;
};

class CVideoSource
{
public:
    virtual ~CVideoSource();
    CVideoSource(const CVideoSource&) = delete;
    CVideoSource& operator=(const CVideoSource&) = delete;

    // False, with the reason in GetLastError, when the source cannot serve.
    virtual bool Open() = 0;
    // Whether the source could be opened, for a board that is not
    // initialised; a source whose opening starts a device answers without.
    virtual bool Probe() { return Open(); }
    // The next frame as 8-bit blue-green-red pixels. False, with the
    // reason in GetLastError, when no frame can be had.
    virtual bool ReadFrame(cv::Mat& frame) = 0;
    // Takes changed settings while open.
    virtual void Apply(const CBoardSettings& settings) = 0;

    // The size of the frames; (0, 0) while not known.
    virtual CSize GetFrameSize() const = 0;
    // Frames per second; 0 when the source cannot tell.
    virtual double GetFrameRate() const = 0;
    // A source that blocks in ReadFrame until its next frame is due; the
    // board paces the others by their frame rate.
    virtual bool IsSelfPaced() const { return false; }
    // A recording played back, and its number of frames.
    virtual bool IsPlayback() const { return false; }
    virtual int GetRecordedFrames() const { return 0; }
    // The board-type word the callers read: 0 a source that starts with a
    // still grab, 1 a live camera, 2 a board with two input channels.
    virtual int GetBoardType() const { return 1; }
    // Paints the display window itself.
    virtual bool PaintsWindow() const { return false; }
    // Live frames come from the source's own thread once StartPushing has
    // started them, not from ReadFrame.
    virtual bool PushesFrames() const { return false; }
    virtual bool StartPushing() { return Fail("This source has no live frames of its own."); }
    // 0 .. 3; sources with one input ignore it.
    virtual void SetInputChannel(int /*channel*/) {}

    const CString& GetLastError() const { return m_lastError; }

protected:
    CVideoSource() = default;
    // Records the reason and answers false.
    bool Fail(const CString& reason);

private:
    CString m_lastError;
};

} // namespace kestrun
