#include "analysis/ui/thresdlg.h"

#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/thresextdlg.h"
#include "analysis/ui/thresowner.h"

#include "outside/grabwell/fgboard.h"
#include "outside/pixmere/dib.h"
#include "platform/core/messages.h"
#include "platform/ui/ddx.h"
#include "platform/ui/rangectrls.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <utility>

using namespace kestrun::analysisui;

namespace {

using Channels = std::array<int, 3>; // red, green, blue

constexpr UINT kLowerSliders[] = {IDC_THRES_LOWER_RED, IDC_THRES_LOWER_GREEN, IDC_THRES_LOWER_BLUE};
constexpr UINT kUpperSliders[] = {IDC_THRES_UPPER_RED, IDC_THRES_UPPER_GREEN, IDC_THRES_UPPER_BLUE};
constexpr UINT kModeButtons[] = {IDC_THRES_DARK, IDC_THRES_BRIGHT, IDC_THRES_MIDDLE, IDC_THRES_DARK_BRIGHT};
constexpr int kStep = 5;
constexpr int kOffsetMin = -50;
constexpr int kOffsetMax = 50;

Channels split(COLORREF color)
{
    return {GetRValue(color), GetGValue(color), GetBValue(color)};
}

COLORREF join(const Channels& c)
{
    return RGB(std::clamp(c[0], 0, 255), std::clamp(c[1], 0, 255), std::clamp(c[2], 0, 255));
}

COLORREF greyOf(COLORREF color)
{
    const int g = GetGValue(color);
    return RGB(g, g, g);
}

// Each lower limit at or below its upper one: the limit the mode tests
// wins (the lower one in the dark mode, the upper one in the bright mode).
void keepOrdered(Channels& lower, Channels& upper, int mode)
{
    for (int i = 0; i < 3; ++i) {
        if (mode == CSegThres::modeBright)
            lower[i] = std::min(lower[i], upper[i]);
        else
            upper[i] = std::max(upper[i], lower[i]);
    }
}

// The bound nearer to the colour moves just past it, so that the colour
// changes sides (limits are inclusive), as long as the bounds stay
// ordered in every channel; false when nothing moved.
bool moveNearerBound(Channels& lower, Channels& upper, const Channels& c)
{
    int dL = 0;
    int dU = 0;
    for (int i = 0; i < 3; ++i) {
        dL += std::max(0, c[i] - lower[i]);
        dU += std::max(0, upper[i] - c[i]);
    }
    auto all = [](auto test) {
        for (int i = 0; i < 3; ++i)
            if (!test(i))
                return false;
        return true;
    };
    if (dL >= dU) {
        if (!all([&](int i) { return upper[i] - c[i] >= 1 && c[i] - 1 >= lower[i]; }))
            return false;
        for (int i = 0; i < 3; ++i)
            upper[i] = c[i] - 1;
    } else {
        if (!all([&](int i) { return c[i] - lower[i] >= 1 && c[i] + 1 <= upper[i]; }))
            return false;
        for (int i = 0; i < 3; ++i)
            lower[i] = c[i] + 1;
    }
    return true;
}

} // namespace

BEGIN_MESSAGE_MAP(CThresDlg, CDialog)
    ON_BN_CLICKED(IDC_THRES_DARK, OnMode)
    ON_BN_CLICKED(IDC_THRES_BRIGHT, OnMode)
    ON_BN_CLICKED(IDC_THRES_MIDDLE, OnMode)
    ON_BN_CLICKED(IDC_THRES_DARK_BRIGHT, OnMode)
    ON_BN_CLICKED(IDC_DEFAULT, OnDefault)
    ON_BN_CLICKED(IDC_THRES_PREVIEW, OnPreview)
    ON_BN_CLICKED(IDC_THRES_PSEUDO_LIVE, OnPseudoLive)
    ON_BN_CLICKED(IDC_THRES_LEARN_OBJECT, OnLearnObject)
    ON_BN_CLICKED(IDC_THRES_LEARN_BACK, OnLearnBack)
    ON_BN_CLICKED(IDC_THRES_TIGHTEN, OnTighten)
    ON_BN_CLICKED(IDC_THRES_LOOSEN, OnLoosen)
    ON_BN_CLICKED(IDC_THRES_AUTOMATIC, OnAutomatic)
    ON_BN_CLICKED(IDC_THRES_EXPERT, OnExpert)
END_MESSAGE_MAP()

CThresDlg::CThresDlg(CThresOwner* pOwner)
    : CDialog((RegisterAnalysisDialogs(), IDD_THRESHOLDS), nullptr), m_pOwner(pOwner)
{
    BuildMessageMap();
}

CThresDlg::~CThresDlg()
{
    // The worker goes before anything it reads.
    StopWorker();
    DestroyHandleNow();
}

UINT CThresDlg::LiveFrameMessage()
{
    static const UINT message = RegisterWindowMessage("THRES_LIVE_FRAME");
    return message;
}

BOOL CThresDlg::Create(CWnd* pParentWnd)
{
    return CDialog::Create(IDD_THRESHOLDS, pParentWnd);
}

BOOL CThresDlg::OnInitDialog()
{
    if (m_SegThres.m_bPerChannel == 0) {
        m_SegThres.SetLower(greyOf(m_SegThres.GetLower()));
        m_SegThres.SetUpper(greyOf(m_SegThres.GetUpper()));
    }
    const BOOL result = CDialog::OnInitDialog();
    CWnd* owner = m_pOwner != nullptr ? m_pOwner->GetOwnerWnd() : nullptr;
    m_hOwner = owner != nullptr ? owner->GetSafeHwnd() : nullptr;

    CString title;
    GetWindowText(title);
    const FGBoard* board = GetFG();
    CString caption;
    caption.Format("%s [Channel:%d]", static_cast<LPCTSTR>(title), board != nullptr ? board->GetInpChannel() + 1 : 1);
    SetWindowText(caption);

    const int mode = std::clamp<int>(m_SegThres.m_Mode, 0, 3);
    CheckRadioButton(IDC_THRES_DARK, IDC_THRES_DARK_BRIGHT, static_cast<int>(kModeButtons[mode]));
    for (UINT id : kLowerSliders)
        static_cast<CSliderCtrl*>(GetDlgItem(static_cast<int>(id)))->SetRange(0, 255);
    for (UINT id : kUpperSliders)
        static_cast<CSliderCtrl*>(GetDlgItem(static_cast<int>(id)))->SetRange(0, 255);
    ShowLimits();
    SetStatus("Ready");
    EnableControls();
    return result;
}

void CThresDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    if (pDX->m_bSaveAndValidate) {
        CString text;
        GetDlgItemText(IDC_THRES_OFFSET, text);
        text.Trim();
        if (text.IsEmpty() || text == "-")
            return;
    }
    DDX_Text(pDX, IDC_THRES_OFFSET, m_SegThres.m_AutoOffset);
    DDV_MinMaxInt(pDX, m_SegThres.m_AutoOffset, kOffsetMin, kOffsetMax);
}

void CThresDlg::OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar)
{
    auto* slider = dynamic_cast<CSliderCtrl*>(pScrollBar);
    if (slider == nullptr) {
        CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
        return;
    }
    const UINT id = static_cast<UINT>(slider->GetDlgCtrlID());
    const auto* lowerIt = std::find(std::begin(kLowerSliders), std::end(kLowerSliders), id);
    const auto* upperIt = std::find(std::begin(kUpperSliders), std::end(kUpperSliders), id);
    const bool isLower = lowerIt != std::end(kLowerSliders);
    if (!isLower && upperIt == std::end(kUpperSliders))
        return;
    const int channel = static_cast<int>(isLower ? lowerIt - std::begin(kLowerSliders) : upperIt - std::begin(kUpperSliders));

    Channels lower = split(m_SegThres.GetLower());
    Channels upper = split(m_SegThres.GetUpper());
    int value = isLower ? lower[channel] : upper[channel];
    switch (nSBCode) {
    case SB_LINELEFT:
        value -= 1;
        break;
    case SB_LINERIGHT:
        value += 1;
        break;
    case SB_PAGELEFT:
        value -= 10;
        break;
    case SB_PAGERIGHT:
        value += 10;
        break;
    case SB_THUMBPOSITION:
        value = static_cast<int>(nPos);
        break;
    case SB_ENDSCROLL:
        // A slider dragged reports its release here, with the position it shows.
        value = slider->GetPos();
        break;
    default:
        return; // dragging: taken at the release
    }
    value = std::clamp(value, 0, 255);
    const bool allChannels = m_SegThres.m_bPerChannel == 0 && channel == 1;
    for (int i = 0; i < 3; ++i) {
        if (i != channel && !allChannels)
            continue;
        if (isLower)
            lower[i] = std::min(value, upper[i]);
        else
            upper[i] = std::max(value, lower[i]);
    }
    m_SegThres.SetLower(join(lower));
    m_SegThres.SetUpper(join(upper));
    ShowLimits();
    RefreshPreview();
}

void CThresDlg::OnMode()
{
    for (int mode = 0; mode < 4; ++mode)
        if (IsDlgButtonChecked(static_cast<int>(kModeButtons[mode])))
            m_SegThres.m_Mode = static_cast<WORD>(mode);
    m_SegThres.UpdateMarkColor();
    UpdateData(TRUE);
    EnableControls();
    RefreshPreview();
}

void CThresDlg::OnDefault()
{
    m_SegThres.SetLower(RGB(80, 80, 80));
    m_SegThres.SetUpper(RGB(240, 240, 240));
    // Learning ends with it, so clicks go back to the view.
    m_nLearn = learnNone;
    if (m_pOwner != nullptr)
        m_pOwner->SetTrackerStyle(0);
    ShowLimits();
    RefreshPreview();
}

void CThresDlg::OnLearnObject()
{
    ToggleLearn(learnObject, "Learn Threshold Object - Push again to leave");
}

void CThresDlg::OnLearnBack()
{
    ToggleLearn(learnBackground, "Learn Threshold Background - Push again to leave");
}

void CThresDlg::ToggleLearn(int nState, LPCTSTR lpszStatus)
{
    const bool on = m_nLearn != nState;
    m_nLearn = on ? nState : learnNone;
    if (m_pOwner != nullptr)
        m_pOwner->SetTrackerStyle(on ? 1 : 0);
    SetStatus(on ? lpszStatus : "Ready");
}

void CThresDlg::LearnFromColor(COLORREF color)
{
    Channels lower = split(m_SegThres.GetLower());
    Channels upper = split(m_SegThres.GetUpper());
    const Channels c = split(color);
    const bool object = m_nLearn == learnObject;
    switch (m_SegThres.m_Mode) {
    case CSegThres::modeDark:
        for (int i = 0; i < 3; ++i) {
            // Object: the colour becomes dark enough. Background: it becomes
            // too bright, the limit one below it in every channel.
            lower[i] = object ? std::max(lower[i], c[i]) : std::min(lower[i], std::max(0, c[i] - 1));
        }
        keepOrdered(lower, upper, CSegThres::modeDark);
        break;
    case CSegThres::modeBright:
        for (int i = 0; i < 3; ++i) {
            upper[i] = object ? std::min(upper[i], c[i]) : std::max(upper[i], std::min(255, c[i] + 1));
        }
        keepOrdered(lower, upper, CSegThres::modeBright);
        break;
    case CSegThres::modeBand:
    case CSegThres::modeOutside: {
        const bool widen = (m_SegThres.m_Mode == CSegThres::modeBand) == object;
        if (widen) {
            for (int i = 0; i < 3; ++i) {
                lower[i] = std::min(lower[i], c[i]);
                upper[i] = std::max(upper[i], c[i]);
            }
        } else if (!moveNearerBound(lower, upper, c)) {
            return;
        }
        break;
    }
    default:
        return;
    }
    m_SegThres.SetLower(join(lower));
    m_SegThres.SetUpper(join(upper));
    LimitsChanged();
}

void CThresDlg::OnTighten()
{
    m_SegThres.Tighten(kStep);
    LimitsChanged();
}

void CThresDlg::OnLoosen()
{
    m_SegThres.Loosen(kStep);
    LimitsChanged();
}

void CThresDlg::OnAutomatic()
{
    if (!UpdateData(TRUE))
        return;
    CDIB* page = m_pOwner != nullptr ? m_pOwner->GetActivePage() : nullptr;
    CAOI* area = m_pOwner != nullptr ? m_pOwner->GetActiveAOI() : nullptr;
    if (page == nullptr || area == nullptr)
        return;
    m_SegThres.AutoThreshold(*page, *area);
    Channels lower = split(m_SegThres.GetLower());
    Channels upper = split(m_SegThres.GetUpper());
    keepOrdered(lower, upper, m_SegThres.m_Mode);
    m_SegThres.SetLower(join(lower));
    m_SegThres.SetUpper(join(upper));
    LimitsChanged();
    EnableControls();
}

void CThresDlg::OnExpert()
{
    CThresExtDlg expert(this);
    expert.m_SegThres = m_SegThres;
    expert.m_strFilePath = m_strFilePath;
    expert.m_bFlag = m_bExpert;
    if (expert.DoModal() != IDOK)
        return;
    m_SegThres = expert.m_SegThres;
    m_bExpert = expert.m_bFlag;
    CheckRadioButton(IDC_THRES_DARK, IDC_THRES_DARK_BRIGHT,
                     static_cast<int>(kModeButtons[std::clamp<int>(m_SegThres.m_Mode, 0, 3)]));
    UpdateData(FALSE);
    EnableControls();
    LimitsChanged();
}

void CThresDlg::OnPreview()
{
    m_nLearn = learnNone;
    if (m_pOwner != nullptr)
        m_pOwner->SetTrackerStyle(0);
    m_bPreview = m_bPreview != 0 ? 0 : 1;
    RefreshPreview();
}

void CThresDlg::LimitsChanged()
{
    ShowLimits();
    if (m_bPreview != 0)
        RefreshPreview();
}

void CThresDlg::RefreshPreview()
{
    if (m_nLearn == learnNone)
        SetStatus(m_bPreview != 0 ? "Preview on - Push Preview again to leave" : "Ready");
    PublishThresholds();
    if (m_bPreview != 0) {
        FillPreview();
    } else {
        StopWorker();
        if (m_pOwner != nullptr)
            m_pOwner->DeletePreviewPage();
    }
    EnableControls();
    if (m_pOwner != nullptr)
        m_pOwner->RedrawView();
}

void CThresDlg::FillPreview()
{
    if (m_pOwner == nullptr)
        return;
    const CDIB* page = m_pOwner->GetActivePage();
    if (page == nullptr)
        return;
    CDIB* preview = m_pOwner->EnsurePreviewPage();
    if (preview != nullptr && (preview->GetWidth() != page->GetWidth() || preview->GetHeight() != page->GetHeight())) {
        // The active page changed its size since the preview was made.
        m_pOwner->DeletePreviewPage();
        preview = m_pOwner->EnsurePreviewPage();
    }
    if (preview == nullptr)
        return;
    // The worker's grabs write the board's page, which may be this one.
    FGBoard* board = IsWorkerRunning() ? GetFG() : nullptr;
    const bool locked = board != nullptr && board->LockBuffer(INFINITE);
    FillPreviewOf(*page, m_SegThres, *preview);
    if (locked)
        board->UnlockBuffer();
}

void CThresDlg::FillPreviewOf(const CDIB& page, const CSegThres& thres, CDIB& preview)
{
    const bool grey = page.GetBpp() == 8;
    for (int y = 0; y < page.GetHeight(); ++y) {
        for (int x = 0; x < page.GetWidth(); ++x) {
            const BOOL object = grey ? thres.IsObjectGrey(page.GetPixelIndex(x, y))
                                     : thres.IsObjectColor(page.GetPixelColor(x, y));
            preview.SetPixelIndex(x, y, object ? 0 : 255);
        }
    }
}

// ---- "Pseudo Live" ---------------------------------------------------------------------------

void CThresDlg::OnPseudoLive()
{
    if (m_pOwner == nullptr || !m_pOwner->IsVideo() || m_bPreview == 0)
        return;
    if (IsWorkerRunning()) {
        StopWorker();
        return;
    }
    // A first frame on this thread: a board that delivers none reports it
    // here, and no worker starts.
    if (!m_pOwner->GrabFrame())
        return;
    if (FGBoard* board = GetFG())
        board->SetParameter(kestrun::fgparam::kClearOverlay, 0);
    StartWorker();
}

void CThresDlg::StartWorker()
{
    if (IsWorkerRunning())
        return;
    PublishThresholds();
    m_bWorker = 1;
    // The worker gets the window it posts to now: the dialog may forget
    // it while the worker runs.
    m_worker = std::thread([this, owner = m_hOwner] { WorkerLoop(owner); });
}

void CThresDlg::StopWorker()
{
    if (!m_worker.joinable())
        return;
    {
        std::lock_guard lock(m_liveMutex);
        m_bWorker = 0;
    }
    m_liveWake.notify_all();
    // The worker waits on nothing of this thread, so a plain join ends.
    m_worker.join();
    {
        std::lock_guard lock(m_liveMutex);
        m_pLiveFrame.reset();
        m_pLivePreview.reset();
        m_bLivePosted = false;
    }
    if (FGBoard* board = GetFG())
        board->SetParameter(kestrun::fgparam::kClearOverlay, 1);
}

void CThresDlg::PublishThresholds()
{
    std::lock_guard lock(m_liveMutex);
    m_liveThres = m_SegThres;
    ++m_nLiveGeneration;
}

void CThresDlg::WorkerLoop(HWND owner)
{
    // Lowest priority: the user-interface thread comes first.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
    FGBoard* board = GetFG();
    while (m_bWorker != 0 && m_bPreview != 0 && board != nullptr) {
        if (board->GrabFrame(0) == 0.0)
            break;
        auto frame = std::make_unique<CDIB>();
        if (board->LockBuffer(INFINITE)) {
            if (const CDIB* buffer = board->GetDIB())
                *frame = *buffer;
            board->UnlockBuffer();
        }
        if (frame->GetWidth() == 0 || frame->GetHeight() == 0)
            break;
        CSegThres thres;
        unsigned generation = 0;
        {
            std::lock_guard lock(m_liveMutex);
            thres = m_liveThres;
            generation = m_nLiveGeneration;
        }
        auto preview = std::make_unique<CDIB>();
        if (!preview->InitDIB(frame->GetWidth(), frame->GetHeight(), 8))
            break;
        FillPreviewOf(*frame, thres, *preview);

        std::unique_lock lock(m_liveMutex);
        m_pLiveFrame = std::move(frame);
        m_pLivePreview = std::move(preview);
        m_nPreviewGeneration = generation;
        m_bLivePosted = true;
        if (owner == nullptr || !::PostMessage(owner, LiveFrameMessage(), 0, 0))
            break;
        // One frame at a time: the next after the dialog took this one.
        m_liveWake.wait(lock, [this] { return !m_bLivePosted || m_bWorker == 0; });
    }
}

void CThresDlg::TakeLiveFrame()
{
    std::unique_ptr<CDIB> frame;
    std::unique_ptr<CDIB> preview;
    bool current = false;
    {
        std::lock_guard lock(m_liveMutex);
        if (!m_bLivePosted)
            return;
        frame = std::move(m_pLiveFrame);
        preview = std::move(m_pLivePreview);
        current = m_nPreviewGeneration == m_nLiveGeneration;
        m_bLivePosted = false;
    }
    m_liveWake.notify_all();
    if (m_pOwner == nullptr || !frame || m_bPreview == 0)
        return;
    m_pOwner->TakeLiveFrame(*frame);
    CDIB* target = m_pOwner->EnsurePreviewPage();
    if (target != nullptr && current && preview && target->GetWidth() == preview->GetWidth() &&
        target->GetHeight() == preview->GetHeight()) {
        *target = *preview;
    } else {
        // Limits moved since the worker made it, or the page changed size.
        FillPreview();
    }
    m_pOwner->RedrawView();
}

void CThresDlg::ShowLimits()
{
    const Channels lower = split(m_SegThres.GetLower());
    const Channels upper = split(m_SegThres.GetUpper());
    for (int i = 0; i < 3; ++i) {
        static_cast<CSliderCtrl*>(GetDlgItem(static_cast<int>(kLowerSliders[i])))->SetPos(lower[i]);
        SetDlgItemInt(static_cast<int>(kLowerSliders[i] - 1), static_cast<UINT>(lower[i]));
        static_cast<CSliderCtrl*>(GetDlgItem(static_cast<int>(kUpperSliders[i])))->SetPos(upper[i]);
        SetDlgItemInt(static_cast<int>(kUpperSliders[i] + 1), static_cast<UINT>(upper[i]));
    }
}

void CThresDlg::EnableControls()
{
    const bool perChannel = m_SegThres.m_bPerChannel != 0;
    GetDlgItem(IDC_THRES_PSEUDO_LIVE)->EnableWindow(m_pOwner != nullptr && m_pOwner->IsVideo() && m_bPreview != 0);
    for (int i = 0; i < 3; ++i) {
        const bool channelOn = perChannel || i == 1;
        GetDlgItem(static_cast<int>(kLowerSliders[i]))->EnableWindow(channelOn && m_SegThres.m_Mode != CSegThres::modeBright);
        GetDlgItem(static_cast<int>(kUpperSliders[i]))->EnableWindow(channelOn && m_SegThres.m_Mode != CSegThres::modeDark);
    }
}

void CThresDlg::SetStatus(LPCTSTR lpszText)
{
    SetDlgItemText(IDC_THRES_STATUS, lpszText);
}

void CThresDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    Close(1);
}

void CThresDlg::OnCancel()
{
    Close(2);
}

void CThresDlg::Close(int nResult)
{
    m_nResult = nResult;
    DestroyWindow();
}

void CThresDlg::OnDestroy()
{
    // The worker stops before the preview page goes. The view must not hand
    // clicks to a dialog that is gone, nor show its preview.
    StopWorker();
    if (m_pOwner != nullptr) {
        if (m_nLearn != learnNone)
            m_pOwner->SetTrackerStyle(0);
        m_pOwner->DeletePreviewPage();
        m_pOwner->RedrawView();
    }
    m_nLearn = learnNone;
    CDialog::OnDestroy();
    if (m_hOwner != nullptr)
        ::PostMessage(m_hOwner, kCloseReport, static_cast<WPARAM>(m_nResult), kReportId);
}
