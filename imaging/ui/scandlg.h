#pragma once
// CScanDlg: "Scanning Control", a modeless dialog that measures between the
// first two positions set in an image, once per Start on a still image or
// on every live frame of the frame grabber until Stop or Escape: the grey
// profile of the row, or the object width per row by edge search
// ("Differenz") or by the colour thresholds ("Width"). The values are shown
// as a curve, the found points are marked, the time is shown below.
//
// The board calls its frame callback on its own thread: the callback only
// posts "MSG_GRABBER" to the dialog, which measures on the user-interface
// thread; a frame that arrives while one is measured is dropped.

#include "imaging/scanmeasure.h"

#include "platform/ui/dialog.h"
#include "platform/ui/persistentdlg.h"

#include <atomic>
#include <vector>

class CDIBDoc;
class Device;
class FGBoard;

class CScanDlg : public CDialog
{
    DECLARE_DYNAMIC(CScanDlg)

public:
    enum
    {
        IDD = 203,
        IDC_INDICATOR = 2066,
        IDC_DRAW_ONLINE = 2068,
        IDC_GRAY_VALUE = 2069,
        IDC_DIFFERENZ = 2070,
        IDC_WIDTH = 2071,
        IDC_SCAN_VIDEO = 2072,
        IDC_STOP = 2073,
        IDC_FFT = 2181,
        IDC_START = 2567,
        IDC_CHART = 2737,
        IDC_PROCESS = 2744,
        IDC_STATUS = 2856,
        kGrabberFrame = 23,
    };

    CScanDlg();
    ~CScanDlg() override;

    // The modeless dialog over the view.
    BOOL Create(CWnd* pOwnerView);
    // The document whose active page a still measurement takes, and whose
    // positions and thresholds count.
    void SetDocument(CDIBDoc* document) { m_pDocument = document; }
    // The board whose live frames are measured; GetFG() by default.
    void SetBoard(FGBoard* board) { m_pBoard = board; }

    void OnStart();
    void OnStop();
    // Measures one image between the positions (see the class comment).
    void ProcessImage(const Device& image);
    // The frame callback of the board (its thread).
    static int GrabberCallback(void* context);

    const std::vector<float>& GetCurve() const { return m_Curve.values; }
    const std::vector<CPoint>& GetResultPoints() const { return m_arrResultPoints; }
    int GetMeasuredFrames() const { return m_nMeasuredFrames; }
    bool IsRunning() const { return m_bRunning; }

    // Dialog values.
    int m_bDrawOnline = 0;
    int m_nMode = CScanMeasure::modeWidth;
    int m_bScanVideo = 1;
    int m_bFFT = 0;
    CString m_strStatus;

    static UINT s_msgGrabber;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnCancel() override;
    void OnOK() override;
    void OnDestroy() override;
    void OnPaint() override;
    void OnValuesChanged();
    LRESULT OnGrabber(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // The first two positions of the document, clamped to the image;
    // false (and the message once per Start) with fewer.
    bool GetPositions(const Device& image, CPoint& first, CPoint& second);
    void DrawMarks(const Device& image);

    CPersistentDlg m_Placement;
    CDIBDoc* m_pDocument = nullptr;
    CWnd* m_pOwnerView = nullptr;
    FGBoard* m_pBoard = nullptr;
    sScanCurve m_Curve;
    std::vector<CPoint> m_arrResultPoints;
    bool m_bBusy = false;
    bool m_bNoPositionsShown = false;
    bool m_bRunning = false;
    std::atomic<bool> m_bEscape{false};
    // A frame message is on its way or being handled: the board's frames
    // meanwhile are dropped, not queued.
    std::atomic<bool> m_bFramePending{false};
    int m_nMeasuredFrames = 0;
};
