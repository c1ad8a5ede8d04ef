#pragma once
// The illumination wizard "Settings": two pages of a modeless wizard sheet.
//
// CSettingWizard1 compares the brightness and contrast of the image with
// those of a stored reference image ("ReferenceImage.jpg" in the images
// folder) and shows "GO" while the brightness lies within 5 % of the full
// scale of the reference's, "STOP" otherwise. "Start Live Video" starts a
// worker thread that grabs still frames from the board into a page of its
// own, measures them over the analysis area and posts the values to the
// page, which shows them and the frame on the user-interface thread. The
// worker touches no document and no window; stopping it (the button
// again, Next, closing) joins it.
//
// CSettingWizard2 shows the red, green and blue histograms of the active
// area, smoothed over 15 values, with the range of each channel around its
// peak.
//
// Cancel and Finish post WM_USER+5 (0, 258) to the owner view, which
// closes the wizard.

#include "series/ui/chartcontrols.h"

#include "analysis/colordouble.h"
#include "outside/pixmere/dib.h"
#include "platform/ui/bitmapbutton.h"
#include "platform/ui/propsheet.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class CAOI;
class CDataArray;
class CDIBDoc;
class Device;
class FGBoard;

namespace kestrun {

// Brightness (grey of the mean colour) and texture of an image over an area.
struct sIllumination
{
    Color_Double mean;
    Color_Double deviation;
    // Energy, contrast, entropy, homogeneity of the grey co-occurrence.
    std::array<double, 4> texture{};

    double Brightness() const { return mean.GetGray(); }
    double Contrast() const { return texture[1]; }
};

sIllumination MeasureIllumination(const Device& image, const CAOI& area);

} // namespace kestrun

class CSettingWizard1 : public CPropertyPage
{
    DECLARE_DYNCREATE(CSettingWizard1)

public:
    static constexpr UINT kCloseReport = WM_USER + 5;
    static constexpr LPARAM kReportId = 258;
    // The largest distance of the brightnesses, in percent of 255, that
    // still shows "GO".
    static constexpr double kGoLimit = 5.0;

    enum
    {
        IDD = 257,
        IDC_CURRENT_BRIGHTNESS = 2294,
        IDC_CURRENT_CONTRAST = 2295,
        IDC_SAVE_REFERENCE = 2296,
        IDC_REFERENCE_FRAME = 2297,
        IDC_REFERENCE_BRIGHTNESS = 2298,
        IDC_REFERENCE_CONTRAST = 2299,
        IDC_SIGN = 2309,
        IDC_LIVE_VIDEO = 2768,
    };

    CSettingWizard1();
    ~CSettingWizard1() override;

    // Whether the live brightness is close enough to the reference's.
    static bool IsGo(double dLiveBrightness, double dReferenceBrightness);

    // The four fields and the sign from the values.
    void UpdateValues();
    void OnLiveVideo();
    void OnSaveReference();
    void StartLiveThread();
    void StopLiveThread();
    bool IsLive() const { return m_worker.joinable(); }
    // The analysis area moved: the worker measures over it from its next
    // frame on, and a page that is not live measures it again now.
    void RefreshArea();

    const CBitmapButton& GetSign() const { return m_Sign; }
    const CDIB& GetReference() const { return m_Reference; }
    int GetLiveFrames() const { return m_nLiveFrames; }
    static UINT LiveValuesMessage();

    CDIBDoc* m_pDoc = nullptr;
    CWnd* m_pOwnerView = nullptr;
    CString m_strReferencePath;
    kestrun::sIllumination m_Live;
    kestrun::sIllumination m_RefValues;

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    void OnCancel() override;
    void OnDestroy() override;
    void OnPaint() override;
    bool WantsPaint() const override { return true; }
    LRESULT OnLiveValues(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    void LoadReference();
    // The page as the reference: statistics over the whole image.
    void TakeReference(const CDIB& page);
    // The area the worker measures over, from the analysis areas.
    void PublishArea();
    void LiveThreadProc(FGBoard* board, HWND page);
    void SetLiveButtonText(LPCTSTR text);

    CDIB m_Reference;
    // Enabled it shows "GO", disabled "STOP".
    CBitmapButton m_Sign;
    int m_nLiveFrames = 0;

    // The worker and what it shares with the page, under m_liveMutex.
    std::thread m_worker;
    std::atomic<int> m_bLive = 0;
    std::mutex m_liveMutex;
    std::condition_variable m_liveWake;
    CRect m_liveArea;
    kestrun::sIllumination m_liveValues;
    CDIB m_liveFrame;
    bool m_bPosted = false; // values wait for the page
    bool m_bEnded = false;  // the worker stopped by itself
};

class CSettingWizard2 : public CPropertyPage
{
    DECLARE_DYNCREATE(CSettingWizard2)

public:
    static constexpr int kFilterWidth = 15;

    enum
    {
        IDD = 258,
        IDC_RED_MIN = 2299,
        IDC_RED_MAX = 2301,
        IDC_GREEN_MIN = 2302,
        IDC_GREEN_MAX = 2303,
        IDC_BLUE_MIN = 2304,
        IDC_BLUE_MAX = 2305,
        IDC_CHART = 2737,
    };

    // A channel's peak bin and the ends of the range falling from it.
    struct sRange
    {
        int peak = 0;
        int minimum = 0;
        int maximum = 0;
    };
    static sRange FindRange(const CDataArray& smoothed);

    CSettingWizard2();
    ~CSettingWizard2() override;

    void FillHistograms();

    CWnd* m_pOwnerView = nullptr;
    CDIBDoc* m_pDoc = nullptr;
    _DBIChart m_wndChart;
    int m_nOverall = 0;
    int m_nRedMin = 0;
    int m_nRedMax = 0;
    int m_nGreenMin = 0;
    int m_nGreenMax = 0;
    int m_nBlueMin = 0;
    int m_nBlueMax = 0;

protected:
    BOOL OnInitDialog() override;
    void OnCreateControls() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnSetActive() override;
    BOOL OnWizardFinish() override;
    void OnCancel() override;

private:
    void PostCloseReport();
};
