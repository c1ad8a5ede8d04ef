#pragma once
// CIntegrationDlg: "Image integration". "Start" grabs a number of frames in
// a row into the document's active page and writes their average or their
// sum (limited to 255) back into it; a progress bar over the main window's
// status bar follows. Messages are dispatched between the frames: OK is
// ignored meanwhile, and closing the view ends the run after the frame
// and leaves the page as the last grab left it. Frames that change size
// or depth midway (the source was switched) stop the run with a message;
// nothing is written back. Closing posts WM_USER+5 (1, 437) to the owner.

#include "imaging/ui/toolloopdlg.h"

class CDIB;
class CDIBExt;
class CProgressCtrl;

class CIntegrationDlg : public CToolLoopDlg
{
    DECLARE_DYNAMIC(CIntegrationDlg)

public:
    static constexpr LPARAM kReportId = 437;
    // More frames than this are refused with the range message: a longer
    // run gains nothing over it and holds the program for minutes.
    static constexpr int kMaxImages = 1000;

    enum
    {
        IDD = 437,
        IDC_AVERAGE = 2730,
        IDC_NUMBER = 2731,
        IDC_ADDITION = 2732,
        IDC_START = 2955,
    };
    enum
    {
        methodAverage = 0,
        methodAddition = 1,
    };

    explicit CIntegrationDlg(CWnd* pOwner = nullptr);
    ~CIntegrationDlg() override;


    void OnStart();
    bool IsBusy() const { return m_bBusy != 0; }

    int m_nImages = 2;
    int m_nMethod = methodAverage;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;
    void OnNumberChanged();
    void StopLoop() override;
    // The progress in percent after a frame.
    virtual void ShowProgress(int nPercent);

    DECLARE_MESSAGE_MAP()

private:
    // The run; false when the dialog is gone afterwards.
    bool Integrate();
    // Frame nFrame of nImages into the accumulator; false ends the run.
    bool AddFrame(CDIBExt& sum, int nFrame, int nImages);
    void WriteBack(const CDIBExt& sum);
    void CreateProgressBar();

    int m_bBusy = 0;
    bool m_bStop = false;
    std::unique_ptr<CProgressCtrl> m_pProgress;
};
