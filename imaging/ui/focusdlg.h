#pragma once
// CFocusDlg: "Set Focus", the focus assistant. While the user turns the
// lens, "Start" grabs frame after frame and measures the grey-level
// co-occurrence contrast inside the document's default area; a meter shows
// each value as a percentage of the best seen since the dialog opened, with
// a mark at 95 %. "Set ROI" makes the active area the default area. The
// default area is drawn while the dialog is open. Closing posts WM_USER+5
// (1, 440) to the owner.

#include "imaging/ui/toolloopdlg.h"

#include "outside/flickor/dibpal.h"
#include "outside/flickor/vumeter.h"

class CAOI;
class Device;

class CFocusDlg : public CToolLoopDlg
{
    DECLARE_DYNAMIC(CFocusDlg)

public:
    static constexpr LPARAM kReportId = 440;
    static constexpr int kMark = 95;

    enum
    {
        IDD = 440,
        IDC_FOCUS_VALUE = 2796,
        IDC_FOCUS_PERCENT = 2797,
        IDC_METER_FRAME = 2936,
        IDC_SET_ROI = 2937,
        IDC_START = 2955,
        IDC_METER = 1,
    };

    explicit CFocusDlg(CWnd* pOwner = nullptr);
    ~CFocusDlg() override;


    // The sharpness of the image inside the area: the co-occurrence
    // contrast of grey neighbours one pixel apart; 0 without a pair.
    static double ComputeFocus(const Device& image, const CAOI& area);
    // A measured value: the maximum, the percentage, the mark flag, the
    // fields and the meter follow it.
    void TakeValue(double dValue);

    void OnStart();
    void OnSetROI();

    bool IsRunning() const { return m_bRunning != 0; }
    double GetFocusValue() const { return m_dFocusValue; }
    double GetFocusMax() const { return m_dFocusMax; }
    int GetFocusPercent() const { return m_nFocusPercent; }
    bool IsAboveMark() const { return m_nFocusPercent > kMark; }
    const CVUMeter& GetMeter() const { return m_Meter; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;
    void OnDestroy() override;
    void StopLoop() override;

    DECLARE_MESSAGE_MAP()

private:
    // Grab and measure; false when no frame came.
    bool Measure(double& dValue);
    // One pass of the loop; false ends it.
    bool FocusPass();
    void SetRunning(int bRunning);
    void Close();
    void ShowDefaultArea(BOOL bShow);

    int m_bRunning = 0;
    double m_dFocusMax = 0.0;
    CVUMeter m_Meter;
    CDIBPal m_Palette;
    double m_dFocusValue = 0.0;
    int m_nFocusPercent = 0;
};
