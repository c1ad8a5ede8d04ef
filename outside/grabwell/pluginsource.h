#pragma once
// CPlugInSource: a camera plug-in as a video source of the board. Opening
// initialises the plug-in with the board's host window and hands it the
// board's frame sink; live frames come through that sink on the camera's
// thread; a still frame is the plug-in's snapshot. Closing (destruction)
// ends the plug-in's camera session and takes the sink back.

#include "outside/grabwell/pluginlibrary.h"
#include "outside/grabwell/videosource.h"

#include "outside/pixmere/dib.h"

#include <functional>

namespace kestrun {

// What the board gives a plug-in when it opens it.
struct CPlugInHost
{
    CWnd* window = nullptr; // receives the plug-in's messages; may be null
    bool reportToWindow = false;
    camplugin::CPluginFrameSink* sink = nullptr;
};

class CPlugInSource final : public CVideoSource
{
public:
    // library: null when it could not be loaded (loadError says why); it
    // must outlive the source. host is asked when the source is opened.
    CPlugInSource(CPlugInLibrary* library, const CString& loadError, std::function<CPlugInHost()> host);
    ~CPlugInSource() override;

    bool Open() override;
    // The library is loaded; connecting the camera waits for Open.
    bool Probe() override;
    // Valid until the next call: the picture stays in the source's page.
    bool ReadFrame(cv::Mat& frame) override;
    void Apply(const CBoardSettings& /*settings*/) override {}

    // The plug-in's live-image size while open.
    CSize GetFrameSize() const override;
    double GetFrameRate() const override { return 0.0; }
    bool PushesFrames() const override { return true; }
    bool StartPushing() override;

private:
    CPlugInLibrary* m_library;
    CString m_loadError;
    std::function<CPlugInHost()> m_host;
    bool m_opened = false;
    CDIB m_snapshot;
};

} // namespace kestrun
