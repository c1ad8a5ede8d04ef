#pragma once
// CFGOstrel: the EOS plug-in's grabber object, one per library. It starts
// and ends the SDK, finds the first camera, makes the model and the
// controller with its command thread, takes snapshots, runs live view and
// answers the board's numbered parameters. As an observer of the model it
// hands live frames to the board's frame sink (never to a window), sets
// the download-complete event and reports camera errors.

#include "cameraplugins/common/picturename.h"
#include "cameraplugins/eos/actions.h"
#include "cameraplugins/eos/cameracontroller.h"
#include "cameraplugins/eos/cameramodel.h"

#include "platform/core/clock.h"
#include "platform/core/cstring.h"
#include "platform/core/sync.h"
#include "platform/core/types.h"

#include <atomic>
#include <memory>

namespace kestrun::camplugin {
class CPluginFrameSink;
}

class CDIB;

class CFGOstrel : public ActionSource, public Observer
{
public:
    // How long a snapshot waits for its picture.
    static constexpr DWORD kSnapshotWaitMs = 5000;
    // The live-image size the plug-in reports; stretched frames get it.
    static constexpr int kLiveWidth = 768;
    static constexpr int kLiveHeight = 512;

    CFGOstrel();
    ~CFGOstrel() override;
    CFGOstrel(const CFGOstrel&) = delete;
    CFGOstrel& operator=(const CFGOstrel&) = delete;

    // 1 when the SDK runs, the first camera is found and the command
    // thread started; else 0 after a report.
    int Init(HWND hHostWnd);
    // Closes the session, releases the camera and ends the SDK. Safe after
    // a failed Init and twice.
    void Exit();

    // The picture downloaded and loaded into the image (a temporary one
    // when null); 1 when it loaded.
    int TakeSnapshot(CDIB* pImage);
    void StartLiveView();
    void update(Observable* from, CameraEvent* event) override;

    double GetParameter(int nId) const;
    void SetParameter(int nId, double dValue);
    // Never null.
    const char* GetParameterString(int nId) const;
    const char* GetInfo() const { return m_strInfo; }
    void SetImageDir(const char* lpszFolder);
    const CString& GetImageDir() const { return m_strImageDir; }
    void SetFrameSink(kestrun::camplugin::CPluginFrameSink* pSink) { m_pFrameSink = pSink; }

    // Time for the command thread's waits and the snapshot's; null: the
    // machine's. Takes effect at the next Init.
    void SetClock(kestrun::IClock* pClock) { m_pClock = pClock; }
    void SetLocalClock(CLocalClock clock) { m_localClock = std::move(clock); }
    kestrun::IClock& Clock() const;

    CameraModel* Model() const { return m_model.get(); }
    CameraController* Controller() const { return m_controller.get(); }
    EdsCameraRef Camera() const { return m_camera; }
    bool IsLiveViewActive() const { return m_bLiveViewActive; }
    bool IsSnapshotInProgress() const { return m_bSnapshotInProgress; }
    int GetAFOnSnapshot() const { return m_bAFOnSnapshot; }
    void SetAFOnSnapshot(int bOn) { m_bAFOnSnapshot = bOn != 0; }
    int Stretch() const { return m_nStretch; }
    // Live frames that did not decode and were skipped.
    int BadFrames() const { return m_nBadFrames; }

    ActionSource m_takePicture{"TakePicture"};
    ActionSource m_startEvf{"startEVF"};
    ActionSource m_endEvf{"endEVF"};

private:
    // 0 on success, else the code to report.
    EdsError FindFirstCamera(EdsUInt32& subType);
    EdsError StartController();
    bool WaitForDownload();
    void OnEvfData(const struct EvfDataSet& data);
    void OnOutputDevice();
    void OnShutDown();

    HWND m_hHostWnd = nullptr;
    UINT m_nMsgShutDown = 0;
    UINT m_nMsgVideoFormatChanged = 0;
    UINT m_nMsgGrabber = 0;
    CString m_strInfo;
    CString m_strImageDir;
    bool m_bSdkInitialised = false;
    // Released by Exit or, on the command thread, at the camera's shut-down.
    std::atomic<EdsCameraRef> m_camera = nullptr;
    std::unique_ptr<CameraModel> m_model;
    std::unique_ptr<CameraController> m_controller;
    CEvent m_downloadComplete{FALSE, FALSE};
    std::atomic<bool> m_bLiveViewActive = false;
    std::atomic<bool> m_bSnapshotInProgress = false;
    std::atomic<bool> m_bAFOnSnapshot = false;
    std::atomic<int> m_nStretch = 0;
    std::atomic<int> m_nBadFrames = 0;
    std::atomic<kestrun::camplugin::CPluginFrameSink*> m_pFrameSink = nullptr;
    kestrun::IClock* m_pClock = nullptr;
    CLocalClock m_localClock;
};

CFGOstrel& FGOstrel();
