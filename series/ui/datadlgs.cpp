// The set-up pages and the sheet "Configuration".

#include "series/ui/datadlgs.h"

#include "platform/core/messagebox.h"
#include "platform/ui/ddx.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/listboxes.h"

#include <algorithm>
#include <mutex>

IMPLEMENT_DYNAMIC(CSetupPage, CPropertyPage)
IMPLEMENT_DYNAMIC(CDataDlg1, CSetupPage)
IMPLEMENT_DYNAMIC(CDataDlg11, CDataDlg1)
IMPLEMENT_DYNAMIC(CDataDlg2, CSetupPage)
IMPLEMENT_DYNAMIC(CDataDlg3, CSetupPage)

namespace {

using S = CMeasurementSetup;
using D1 = CDataDlg1;
using D2 = CDataDlg2;
using D3 = CDataDlg3;

// The method, curve and axis part both option pages share.
std::vector<CDialogItem> MethodItems()
{
    using namespace kestrun;
    return {
        LText("Method", IDC_STATIC, 7, 9, 40, 8),
        ComboBox(D1::IDC_METHOD, 50, 7, 120, 100, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP),
        LText("Curves", IDC_STATIC, 7, 26, 40, 8),
        ListBox(D1::IDC_CURVES, 50, 24, 120, 50, LBS_NOTIFY | LBS_MULTIPLESEL | WS_VSCROLL | WS_TABSTOP),
        LText("X Axis", IDC_STATIC, 7, 80, 40, 8),
        ComboBox(D1::IDC_XAXIS, 50, 78, 120, 40, CBS_DROPDOWNLIST | WS_TABSTOP),
        GroupBox("Interval (min, sec, msec)", IDC_STATIC, 7, 96, 163, 28),
        EditText(D1::IDC_INTERVAL_MIN, 14, 107, 40, 12),
        EditText(D1::IDC_INTERVAL_SEC, 64, 107, 40, 12),
        EditText(D1::IDC_INTERVAL_MSEC, 114, 107, 40, 12),
    };
}

void registerTemplates()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        std::vector<CDialogItem> timed = MethodItems();
        timed.insert(timed.end(), {
                                      GroupBox("Run Time (days, hours, min)", IDC_STATIC, 7, 128, 163, 28),
                                      EditText(D1::IDC_RUN_DAYS, 14, 139, 40, 12),
                                      EditText(D1::IDC_RUN_HOURS, 64, 139, 40, 12),
                                      EditText(D1::IDC_RUN_MIN, 114, 139, 40, 12),
                                      CheckBox("Clock Synchron", D1::IDC_CLOCK_SYNCHRON, 7, 162, 70, 10),
                                      LText("Start (hour, min)", IDC_STATIC, 7, 178, 60, 8),
                                      EditText(D1::IDC_START_HOUR, 70, 176, 40, 12),
                                      EditText(D1::IDC_START_MIN, 120, 176, 40, 12),
                                      LText("Count", IDC_STATIC, 7, 196, 60, 8),
                                      EditText(D1::IDC_COUNT, 70, 194, 60, 12),
                                  });
        RegisterDialogTemplate(D1::IDD, {"Measurement Options", CRect(0, 0, 180, 215), std::move(timed)});

        std::vector<CDialogItem> playback = MethodItems();
        playback.insert(playback.end(), {
                                            GroupBox("Run Time (hours, min, sec)", IDC_STATIC, 7, 128, 163, 28),
                                            EditText(D1::IDC_RUN_HOURS, 14, 139, 40, 12),
                                            EditText(D1::IDC_RUN_MIN, 64, 139, 40, 12),
                                            EditText(D1::IDC_RUN_SEC, 114, 139, 40, 12),
                                        });
        RegisterDialogTemplate(D1::IDD_PLAYBACK, {"Measurement Options", CRect(0, 0, 180, 165), std::move(playback)});

        RegisterDialogTemplate(D2::IDD, {"Configuration",
                                         CRect(0, 0, 180, 120),
                                         {
                                             CheckBox("Create AVI File", D2::IDC_WRITE_AVI, 7, 7, 120, 10),
                                             CheckBox("Save BMP File", D2::IDC_WRITE_FILE, 7, 21, 120, 10),
                                             CheckBox("Activate Filter", D2::IDC_IMAGE_FILTER, 7, 35, 120, 10),
                                             GroupBox("Filter", IDC_STATIC, 7, 49, 163, 54),
                                             RadioButton("Blur", D2::IDC_FILTER_BLUR, 14, 60, 120, 10, WS_GROUP),
                                             RadioButton("Median", D2::IDC_FILTER_MEDIAN, 14, 74, 120, 10),
                                             RadioButton("Difference Image", D2::IDC_FILTER_DIFFERENCE, 14, 88, 120, 10),
                                         }});

        RegisterDialogTemplate(D3::IDD, {"Signal Control",
                                         CRect(0, 0, 180, 140),
                                         {
                                             LText("Threshold max", IDC_STATIC, 7, 9, 70, 8),
                                             EditText(D3::IDC_UPPER_LIMIT, 90, 7, 70, 12),
                                             LText("Threshold min", IDC_STATIC, 7, 25, 70, 8),
                                             EditText(D3::IDC_LOWER_LIMIT, 90, 23, 70, 12),
                                             CheckBox("Extern LPT control", D3::IDC_LPT_EXTERN, 7, 41, 120, 10),
                                             LText("Open System (Pin2)", IDC_STATIC, 7, 57, 80, 8),
                                             EditText(D3::IDC_DELAY1, 90, 55, 70, 12),
                                             LText("Close System (Pin1)", IDC_STATIC, 7, 73, 80, 8),
                                             EditText(D3::IDC_DELAY2, 90, 71, 70, 12),
                                             CheckBox("UW Scanner", D3::IDC_UW_SCANNER, 7, 91, 120, 10),
                                             CheckBox("Show Info", D3::IDC_UW_SCANNER_INFO, 7, 105, 120, 10),
                                         }});
    });
}

UINT Registered(UINT id)
{
    registerTemplates();
    return id;
}

} // namespace

// ---- CSetupPage ------------------------------------------------------------------

CSetupPage::CSetupPage(UINT nIDTemplate, CMeasurementSetup& setup)
    : CPropertyPage(Registered(nIDTemplate)), m_setup(setup)
{
}

CSetupPage::~CSetupPage()
{
    DestroyHandleNow();
}

void CSetupPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    for (const auto& [field, control] : Fields())
        DDX_Text(pDX, static_cast<int>(control), m_setup.*field);
}

BOOL CSetupPage::OnKillActive()
{
    if (!CPropertyPage::OnKillActive())
        return FALSE;
    const std::vector<FieldControl> fields = Fields();
    for (const kestrun::sSetupField& range : kestrun::SetupFields()) {
        const auto found = std::find_if(fields.begin(), fields.end(),
                                        [&](const FieldControl& f) { return f.first == range.field; });
        if (found == fields.end())
            continue;
        const int value = m_setup.*range.field;
        if (value >= range.minimum && value <= range.maximum)
            continue;
        AfxMessageBox(FormatString("%s: please enter a whole number from %d to %d.", range.name, range.minimum,
                                   range.maximum),
                      MB_ICONSTOP);
        if (CWnd* edit = GetDlgItem(static_cast<int>(found->second)))
            GotoDlgCtrl(edit);
        return FALSE;
    }
    if (const CString refused = CheckPage(); !refused.IsEmpty()) {
        AfxMessageBox(refused, MB_ICONSTOP);
        return FALSE;
    }
    return TRUE;
}

// ---- CDataDlg1 and CDataDlg11 ----------------------------------------------------

BEGIN_MESSAGE_MAP(CDataDlg1, CSetupPage)
    ON_CBN_SELCHANGE(IDC_METHOD, OnSelChangeMethod)
END_MESSAGE_MAP()

CDataDlg1::CDataDlg1(CMeasurementSetup& setup, UINT nIDTemplate) : CSetupPage(nIDTemplate, setup)
{
    BuildMessageMap();
}

CDataDlg1::~CDataDlg1() = default;

bool CDataDlg1::IsPlaybackPage() const
{
    return GetSafeHwnd() != nullptr ? GetDlgItem(static_cast<int>(IDC_RUN_SEC)) != nullptr : false;
}

std::vector<CSetupPage::FieldControl> CDataDlg1::Fields() const
{
    std::vector<FieldControl> fields = {
        {&S::m_nIntervalMin, IDC_INTERVAL_MIN},
        {&S::m_nIntervalSec, IDC_INTERVAL_SEC},
        {&S::m_nIntervalMSec, IDC_INTERVAL_MSEC},
        {&S::m_nRunHours, IDC_RUN_HOURS},
        {&S::m_nRunMin, IDC_RUN_MIN},
    };
    if (IsPlaybackPage()) {
        fields.emplace_back(&S::m_nRunSec, IDC_RUN_SEC);
    } else {
        fields.insert(fields.end(), {
                                        {&S::m_nRunDays, IDC_RUN_DAYS},
                                        {&S::m_nStartHour, IDC_START_HOUR},
                                        {&S::m_nStartMin, IDC_START_MIN},
                                        {&S::m_nCount, IDC_COUNT},
                                    });
    }
    return fields;
}

CString CDataDlg1::CheckPage() const
{
    return kestrun::CheckSetup(m_setup);
}

BOOL CDataDlg1::OnInitDialog()
{
    if (auto* methods = DYNAMIC_DOWNCAST(CComboBox, GetDlgItem(static_cast<int>(IDC_METHOD))))
        for (const CString& method : m_setup.m_arrMethods)
            methods->AddString(method);
    if (auto* axis = DYNAMIC_DOWNCAST(CComboBox, GetDlgItem(static_cast<int>(IDC_XAXIS)))) {
        axis->AddString("Time");
        axis->AddString("Count");
    }
    CSetupPage::OnInitDialog();
    FillCurves();
    return TRUE;
}

void CDataDlg1::DoDataExchange(CDataExchange* pDX)
{
    CSetupPage::DoDataExchange(pDX);
    DDX_CBIndex(pDX, static_cast<int>(IDC_METHOD), m_setup.m_nMethod);
    if (!IsPlaybackPage()) {
        DDX_CBIndex(pDX, static_cast<int>(IDC_XAXIS), m_setup.m_nXAxis);
        DDX_Check(pDX, static_cast<int>(IDC_CLOCK_SYNCHRON), m_setup.m_bClockSynchron);
    }
    auto* curves = DYNAMIC_DOWNCAST(CListBox, GetDlgItem(static_cast<int>(IDC_CURVES)));
    if (pDX->m_bSaveAndValidate && curves != nullptr) {
        // Every curve chosen (or none) is the whole method.
        m_setup.m_arrCurves.clear();
        for (int i = 0; i < curves->GetCount(); ++i)
            if (curves->GetSel(i) > 0)
                m_setup.m_arrCurves.push_back(i);
        if (static_cast<int>(m_setup.m_arrCurves.size()) == curves->GetCount())
            m_setup.m_arrCurves.clear();
    }
}

void CDataDlg1::FillCurves()
{
    auto* curves = DYNAMIC_DOWNCAST(CListBox, GetDlgItem(static_cast<int>(IDC_CURVES)));
    if (curves == nullptr)
        return;
    curves->ResetContent();
    const auto method = static_cast<size_t>(m_setup.m_nMethod);
    if (m_setup.m_nMethod < 0 || method >= m_setup.m_arrItems.size())
        return;
    const std::vector<CString>& items = m_setup.m_arrItems[method];
    for (size_t i = 0; i < items.size(); ++i) {
        const int entry = curves->AddString(items[i]);
        const bool chosen = m_setup.m_arrCurves.empty() ||
                            std::find(m_setup.m_arrCurves.begin(), m_setup.m_arrCurves.end(),
                                      static_cast<int>(i)) != m_setup.m_arrCurves.end();
        curves->SetSel(entry, chosen ? TRUE : FALSE);
    }
}

void CDataDlg1::OnSelChangeMethod()
{
    const auto* methods = DYNAMIC_DOWNCAST(CComboBox, GetDlgItem(static_cast<int>(IDC_METHOD)));
    if (methods == nullptr)
        return;
    m_setup.m_nMethod = methods->GetCurSel();
    m_setup.m_arrCurves.clear();
    FillCurves();
}

CDataDlg11::CDataDlg11(CMeasurementSetup& setup) : CDataDlg1(setup, IDD_PLAYBACK) {}

CDataDlg11::~CDataDlg11() = default;

// ---- CDataDlg2 -------------------------------------------------------------------

CDataDlg2::CDataDlg2(CMeasurementSetup& setup) : CSetupPage(IDD, setup) {}

CDataDlg2::~CDataDlg2() = default;

void CDataDlg2::DoDataExchange(CDataExchange* pDX)
{
    CSetupPage::DoDataExchange(pDX);
    DDX_Check(pDX, static_cast<int>(IDC_WRITE_AVI), m_setup.m_bWriteAVI);
    DDX_Check(pDX, static_cast<int>(IDC_WRITE_FILE), m_setup.m_bWriteFile);
    DDX_Check(pDX, static_cast<int>(IDC_IMAGE_FILTER), m_setup.m_bImageFilter);
    DDX_Radio(pDX, static_cast<int>(IDC_FILTER_BLUR), m_setup.m_nImageFilterType);
}

// ---- CDataDlg3 -------------------------------------------------------------------

CDataDlg3::CDataDlg3(CMeasurementSetup& setup) : CSetupPage(IDD, setup) {}

CDataDlg3::~CDataDlg3() = default;

std::vector<CSetupPage::FieldControl> CDataDlg3::Fields() const
{
    return {{&S::m_nDelay1, IDC_DELAY1}, {&S::m_nDelay2, IDC_DELAY2}};
}

void CDataDlg3::DoDataExchange(CDataExchange* pDX)
{
    CSetupPage::DoDataExchange(pDX);
    DDX_Text(pDX, static_cast<int>(IDC_UPPER_LIMIT), m_setup.m_dUpperLimit);
    DDX_Text(pDX, static_cast<int>(IDC_LOWER_LIMIT), m_setup.m_dLowerLimit);
    DDX_Check(pDX, static_cast<int>(IDC_LPT_EXTERN), m_setup.m_bLPTExtern);
    DDX_Check(pDX, static_cast<int>(IDC_UW_SCANNER), m_setup.m_bUwScanner);
    DDX_Check(pDX, static_cast<int>(IDC_UW_SCANNER_INFO), m_setup.m_bUwScannerInfo);
}

// ---- the sheet -------------------------------------------------------------------

namespace kestrun {

bool EditMeasurementSetup(CMeasurementSetup& setup, CWnd* pParentWnd)
{
    CMeasurementSetup edited = setup;
    CPropertySheet sheet("Configuration", pParentWnd);
    CDataDlg1 options(edited);
    CDataDlg11 playback(edited);
    CDataDlg2 outputs(edited);
    CDataDlg3 signals(edited);
    sheet.AddPage(edited.m_bPlayback ? static_cast<CPropertyPage*>(&playback) : &options);
    sheet.AddPage(&outputs);
    sheet.AddPage(&signals);
    if (sheet.DoModal() != IDOK)
        return false;
    setup = std::move(edited);
    return true;
}

} // namespace kestrun
