#pragma once
// The pages of the measurement set-up sheet "Configuration": CDataDlg1
// (method, curves, x axis, interval, run time, clock start, count),
// CDataDlg11 (its playback form: run time in hours, minutes, seconds),
// CDataDlg2 (AVI and BMP output, live filter) and CDataDlg3 (limits and
// the signal outputs). Each page edits the set-up it is given; leaving a
// page checks it (kestrun::CheckSetup) and keeps it open on a refusal,
// with the focus on the field outside its range.

#include "series/measurementsetup.h"

#include "platform/ui/propsheet.h"

#include <utility>
#include <vector>

class CSetupPage : public CPropertyPage
{
    DECLARE_DYNAMIC(CSetupPage)

public:
    CSetupPage(UINT nIDTemplate, CMeasurementSetup& setup);
    ~CSetupPage() override;

    BOOL OnKillActive() override;

protected:
    // The page's whole-number fields and their edits.
    using FieldControl = std::pair<int CMeasurementSetup::*, UINT>;
    virtual std::vector<FieldControl> Fields() const { return {}; }
    // The page's own checks after the fields' ranges; empty accepts.
    virtual CString CheckPage() const { return {}; }
    void DoDataExchange(CDataExchange* pDX) override;

    CMeasurementSetup& m_setup;
};

// "Measurement Options" and its playback form: the method, its curves and
// the timing.
class CDataDlg1 : public CSetupPage
{
    DECLARE_DYNAMIC(CDataDlg1)

public:
    enum
    {
        IDD = 413,
        IDD_PLAYBACK = 472,
    };
    static constexpr UINT IDC_METHOD = 1001;
    static constexpr UINT IDC_CURVES = 1002;
    static constexpr UINT IDC_XAXIS = 1003;
    static constexpr UINT IDC_INTERVAL_MIN = 1004;
    static constexpr UINT IDC_INTERVAL_SEC = 1005;
    static constexpr UINT IDC_INTERVAL_MSEC = 1006;
    static constexpr UINT IDC_RUN_DAYS = 1007;
    static constexpr UINT IDC_RUN_HOURS = 1008;
    static constexpr UINT IDC_RUN_MIN = 1009;
    static constexpr UINT IDC_CLOCK_SYNCHRON = 1010;
    static constexpr UINT IDC_START_HOUR = 1011;
    static constexpr UINT IDC_START_MIN = 1012;
    static constexpr UINT IDC_COUNT = 1013;
    static constexpr UINT IDC_RUN_SEC = 1014;

    explicit CDataDlg1(CMeasurementSetup& setup, UINT nIDTemplate = IDD);
    ~CDataDlg1() override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    std::vector<FieldControl> Fields() const override;
    CString CheckPage() const override;
    // A new method shows its curves, all chosen.
    void OnSelChangeMethod();
    void FillCurves();
    bool IsPlaybackPage() const;

    DECLARE_MESSAGE_MAP()
};

class CDataDlg11 : public CDataDlg1
{
    DECLARE_DYNAMIC(CDataDlg11)

public:
    explicit CDataDlg11(CMeasurementSetup& setup);
    ~CDataDlg11() override;
};

// "Configuration": outputs and the live filter.
class CDataDlg2 : public CSetupPage
{
    DECLARE_DYNAMIC(CDataDlg2)

public:
    enum
    {
        IDD = 442
    };
    static constexpr UINT IDC_WRITE_AVI = 1020;
    static constexpr UINT IDC_WRITE_FILE = 1021;
    static constexpr UINT IDC_IMAGE_FILTER = 1022;
    static constexpr UINT IDC_FILTER_BLUR = 1023;
    static constexpr UINT IDC_FILTER_MEDIAN = 1024;
    static constexpr UINT IDC_FILTER_DIFFERENCE = 1025;

    explicit CDataDlg2(CMeasurementSetup& setup);
    ~CDataDlg2() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

// "Signal Control": limits, the parallel-port outputs and the lid scanner.
class CDataDlg3 : public CSetupPage
{
    DECLARE_DYNAMIC(CDataDlg3)

public:
    enum
    {
        IDD = 439
    };
    static constexpr UINT IDC_UPPER_LIMIT = 1030;
    static constexpr UINT IDC_LOWER_LIMIT = 1031;
    static constexpr UINT IDC_LPT_EXTERN = 1032;
    static constexpr UINT IDC_DELAY1 = 1033;
    static constexpr UINT IDC_DELAY2 = 1034;
    static constexpr UINT IDC_UW_SCANNER = 1035;
    static constexpr UINT IDC_UW_SCANNER_INFO = 1036;

    explicit CDataDlg3(CMeasurementSetup& setup);
    ~CDataDlg3() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    std::vector<FieldControl> Fields() const override;
};

namespace kestrun {
// The sheet "Configuration" over a copy of the set-up; on OK the copy
// becomes the set-up. A recording's playback shows the playback form of
// the options page.
bool EditMeasurementSetup(CMeasurementSetup& setup, CWnd* pParentWnd);
} // namespace kestrun
