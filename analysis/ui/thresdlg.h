#pragma once
// CThresDlg: the modeless dialog that edits a copy of a colour threshold on
// the owner view's image: six limits, the object appearance, learning by
// clicks on object or background, automatic, narrower and wider limits,
// and a black-and-white preview page in the owner's document. Closing it
// posts WM_USER+5 to the owner's window (wParam the result, 1 OK or 2
// Cancel; lParam 422); after OK the owner takes m_SegThres over.
//
// "Pseudo Live": a worker thread grabs still frames from the board and
// makes their preview into buffers of its own; it never touches the
// owner's document or windows, but posts "THRES_LIVE_FRAME" to the owner's
// window, whose handler calls TakeLiveFrame on the user-interface thread.
// The dialog stops the worker (and waits for it) before it drops the
// preview page and when it closes.

#include "analysis/segthres.h"
#include "platform/ui/dialog.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class CDIB;
class CThresOwner;

class CThresDlg : public CDialog
{
public:
    static constexpr UINT kCloseReport = WM_USER + 5;
    static constexpr LPARAM kReportId = 422;

    enum
    {
        learnNone = 0,
        learnObject = 1,
        learnBackground = 2,
    };

    explicit CThresDlg(CThresOwner* pOwner);
    ~CThresDlg() override;

    // Creates the modeless dialog over the owner's window.
    BOOL Create(CWnd* pParentWnd);
    using CDialog::Create;

    // No close report any more: for an owner that deletes the dialog itself.
    void ForgetOwnerWindow() { m_hOwner = nullptr; }

    // A colour the user clicked while a learn state is set.
    void LearnFromColor(COLORREF color);

    // On the user-interface thread, for the owner's "THRES_LIVE_FRAME": the
    // worker's last frame into the active page and its preview into the
    // preview page.
    void TakeLiveFrame();
    bool IsWorkerRunning() const { return m_worker.joinable(); }
    static UINT LiveFrameMessage();

    CSegThres m_SegThres;
    CString m_strFilePath; // for the expert dialog's files
    int m_bExpert = 0;     // the application's "Auto Threshold On"
    int m_nResult = 2; // 1 after OK, 2 after Cancel
    int m_nLearn = learnNone;
    // Read by the worker, written only by the dialog.
    std::atomic<int> m_bPreview = 0;

protected:
    BOOL OnInitDialog() override;
    // The offset field, read only when it is not empty and not "-".
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) override;

    void OnMode();
    void OnDefault();
    void OnPreview();
    void OnLearnObject();
    void OnLearnBack();
    void OnTighten();
    void OnLoosen();
    void OnAutomatic();
    void OnExpert();
    void OnPseudoLive();

    DECLARE_MESSAGE_MAP()

private:
    void ToggleLearn(int nState, LPCTSTR lpszStatus);
    // Bounds into the sliders and their labels.
    void ShowLimits();
    void EnableControls();
    void RefreshPreview();
    void FillPreview();
    void SetStatus(LPCTSTR lpszText);
    void Close(int nResult);
    // Limits changed by a button or a click: sliders and preview.
    void LimitsChanged();

    // The worker: started by "Pseudo Live", stopped and joined here only.
    void StartWorker();
    void StopWorker();
    void WorkerLoop(HWND owner);
    // The thresholds the worker applies from now on.
    void PublishThresholds();
    // The page made black where the threshold accepts, white elsewhere.
    static void FillPreviewOf(const CDIB& page, const CSegThres& thres, CDIB& preview);

    CThresOwner* m_pOwner;
    HWND m_hOwner = nullptr;

    std::atomic<int> m_bWorker = 0;
    std::thread m_worker;
    // Guards what the worker and the dialog share below.
    std::mutex m_liveMutex;
    std::condition_variable m_liveWake;
    CSegThres m_liveThres;
    unsigned m_nLiveGeneration = 0;
    std::unique_ptr<CDIB> m_pLiveFrame;
    std::unique_ptr<CDIB> m_pLivePreview;
    unsigned m_nPreviewGeneration = 0;
    bool m_bLivePosted = false; // a frame waits for TakeLiveFrame
};
